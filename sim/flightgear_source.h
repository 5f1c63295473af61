// A running FlightGear as the source of the user's aircraft. Records of our
// generic protocol arrive over UDP on 127.0.0.1; each accepted one is a frame.
//
// Time. The flight's time follows FlightGear's clock (/sim/time/elapsed-sec,
// which runs at the simulation's speed-up, and on while FlightGear is
// paused), so the unit's cycles keep step with the simulated aircraft at any
// speed-up, and the same records give the same cycles. The
// first record is time 0. A record older than the last one by less than a
// second came out of order and is dropped; one older by more (FlightGear was
// restarted or reset) or more than 30 s newer starts the count again from
// the last time, one frame on. While FlightGear sends nothing the unit's time
// stands still; the source says so after 2 s and again when records return.
//
// The aircraft. FlightGear's aircraft name is the model the unit's profiles
// link: the source loads SIM/FlightGear/Aircraft/NAME/NAME.air, whose folder's
// aircraft.cfg (the c172p's ships with us) gives the flap detents, at the
// first record and whenever the name changes; the simulation starts with
// the first record.
//
// Records that cannot be read are dropped and reported: the first few one by
// one, then a count every 10 s. Text lines of the add-ons go to FlightGear
// as a record of the protocol's input, which shows them on its screen.
#pragma once
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "aircraft_source.h"
#include "flightgear_record.h"
#include "loopback_udp.h"
#include "simulator.h"

namespace sim {

struct FlightGearLinkOptions {
  uint16_t port = 5710;      // where FlightGear sends its records (0: any free port)
  uint16_t textPort = 5711;  // where FlightGear reads the text lines (0: none sent)
  std::string simulatorDir;  // for the aircraft folders
  std::string capturePath;   // every datagram as it arrived, to play back later (empty: none)
  // Asked several times a second; true ends the flight.
  std::function<bool()> shouldStop;
  int silenceReportMs = 2000;  // FlightGear quiet this long is reported
};

struct FlightGearLinkCounts {
  uint64_t datagrams = 0;
  uint64_t records = 0;     // accepted as frames
  uint64_t refused = 0;     // not a readable record
  uint64_t unplaced = 0;    // written before FlightGear had placed the aircraft
  uint64_t outOfOrder = 0;  // older than the last record
  uint64_t restarts = 0;    // FlightGear's clock started again
  uint64_t silences = 0;    // times FlightGear fell quiet
  uint64_t textLines = 0;   // sent to FlightGear
};

// A capture (--capture): a comment line, then one line per datagram as it
// arrived: seconds since the first, a tab, the datagram with backslashes and
// control characters other than tab escaped ("\\", "\xNN").
struct CapturedDatagram {
  double seconds = 0;
  std::string datagram;
};
// Reads a capture; a failure says "line N: what is wrong".
common::Result<std::vector<CapturedDatagram>> ParseFlightGearCapture(std::string_view text);

class FlightGearSource : public AircraftSource {
 public:
  FlightGearSource(FlightGearLinkOptions options, Simulator::Output say);
  ~FlightGearSource() override;

  // Opens the sockets (and the capture). Fails with a reason.
  common::Result<> Open();
  uint16_t Port() const { return input_.Port(); }

  bool Next(SourceFrame& frame, bool speaking) override;
  void TextLine(const std::string& text) override;
  const char* SummaryVerb() const override { return "flew"; }

  FlightGearLinkCounts Counts() const {
    FlightGearLinkCounts counts = counts_;
    counts.textLines = textLines_.load();
    return counts;
  }
  // The aircraft folder for a FlightGear aircraft name, and the number of
  // flap detents its aircraft.cfg lists (the first [flaps.N] section of
  // type 1 that lists any), 0 without one.
  static std::string AircraftFolder(const std::string& simulatorDir, const std::string& name);
  static size_t FlapDetents(const std::string& aircraftFolder);

 private:
  using Clock = std::chrono::steady_clock;
  bool Accept(const FlightGearRecord& record, SourceFrame& frame);
  void Refuse(const std::string& reason);
  void Capture(const std::string& datagram);
  void ChangeAircraft(const std::string& name, int64_t at, SourceFrame& frame);

  FlightGearLinkOptions options_;
  Simulator::Output say_;
  LoopbackUdp input_;
  LoopbackUdp output_;
  std::unique_ptr<FILE, int (*)(FILE*)> capture_{nullptr, std::fclose};
  Clock::time_point started_;
  Clock::time_point captureStart_;  // the first datagram's arrival
  Clock::time_point lastDatagram_;
  Clock::time_point lastWaitingNote_;
  Clock::time_point refusalSummaryAt_;
  FlightGearLinkCounts counts_;
  uint64_t refusedUnreported_ = 0;
  std::string lastRefusal_;
  bool connected_ = false;  // a record was accepted
  bool quiet_ = false;      // silence reported, not yet over
  double lastElapsed_ = 0;
  int64_t micro_ = 0;  // the flight's time of the last frame
  double speedUp_ = 1;
  std::string aircraft_;
  size_t flapDetents_ = 0;
  // Text lines come from the add-ons' thread.
  std::atomic<uint64_t> textLines_{0};
  std::atomic<bool> textFailed_{false};
};

}  // namespace sim
