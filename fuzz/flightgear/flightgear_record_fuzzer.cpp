// libFuzzer target for FlightGear's records and captures of them. Besides
// crashes and sanitizer reports it checks what must hold for any input:
//  - a refused record gives a reason and leaves the record it was given
//    alone;
//  - an accepted record has finite values in their ranges and an aircraft
//    name that can name a folder, and gives aircraft values with a heading
//    in [0, 360), a flaps detent among the detents and a gear position in
//    [0, 1];
//  - the same bytes read as a capture either give a reason naming a line or
//    datagrams whose times never go back.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "flightgear_record.h"
#include "flightgear_source.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  sim::FlightGearRecord record;
  record.aircraft = "before";
  if (common::Result<> parsed = sim::ParseFlightGearRecord(input, record); !parsed) {
    Require(!parsed.error().empty());
    Require(record.aircraft == "before");
  } else {
    Require(sim::UsableAircraftName(record.aircraft));
    for (double value : {record.elapsedSeconds, record.latitudeDeg, record.longitudeDeg, record.altitudeFt,
                         record.headingDeg, record.groundSpeedKt, record.flapsHandle, record.gearPosition})
      Require(std::isfinite(value));
    Require(std::fabs(record.latitudeDeg) <= 90 && std::fabs(record.longitudeDeg) <= 180);
    for (size_t detents : {0, 1, 4, 9}) {
      sim::AircraftValues values = sim::ToAircraftValues(record, detents);
      Require(values.headingTrueDeg >= 0 && values.headingTrueDeg < 360);
      Require(values.flapsHandleIndex >= 0 && values.flapsHandleIndex <= (detents < 2 ? 0 : detents - 1));
      Require(values.gearHandle >= 0 && values.gearHandle <= 1);
    }
  }
  std::string screen = sim::FlightGearScreenText(input);
  Require(screen.size() <= 200);
  for (char c : screen) Require(static_cast<unsigned char>(c) >= 0x20 && c != 0x7f);

  common::Result<std::vector<sim::CapturedDatagram>> datagrams = sim::ParseFlightGearCapture(input);
  if (!datagrams) {
    Require(datagrams.error().rfind("line ", 0) == 0);
  } else {
    for (size_t k = 1; k < datagrams->size(); ++k) Require((*datagrams)[k].seconds >= (*datagrams)[k - 1].seconds);
  }
  return 0;
}
