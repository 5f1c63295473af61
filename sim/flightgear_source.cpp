// FlightGear's records as frames of the flight.
#include "flightgear_source.h"

#include <cmath>
#include <cstdlib>

#include "platform/files.h"
#include "platform/ini_file.h"

namespace sim {
namespace {

constexpr int kPollMs = 100;
constexpr int64_t kFrameMicro = 1000000 / 30;
constexpr double kOutOfOrderSeconds = 1.0;  // older than this is a restart
constexpr double kLongestStepSeconds = 30.0;
constexpr size_t kRefusalsShown = 5;
constexpr auto kRefusalSummaryPeriod = std::chrono::seconds(10);
constexpr auto kWaitingNotePeriod = std::chrono::seconds(15);

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", seconds);
  return text;
}

// The datagram as one line of the capture: backslash and control
// characters other than tab escaped, so any bytes survive.
std::string Escaped(const std::string& datagram) {
  std::string out;
  for (unsigned char c : datagram) {
    if (c == '\\') out += "\\\\";
    else if ((c < 0x20 && c != '\t') || c == 0x7f) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02x", c);
      out += escape;
    } else out += static_cast<char>(c);
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

common::Result<std::vector<CapturedDatagram>> ParseFlightGearCapture(std::string_view text) {
  std::vector<CapturedDatagram> datagrams;
  int lineNumber = 0;
  double last = 0;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    ++lineNumber;
    auto fail = [&](const std::string& what) {
      return common::Fail("line " + std::to_string(lineNumber) + ": " + what);
    };
    if (line.empty() || line.front() == '#') continue;
    size_t tab = line.find('\t');
    if (tab == std::string_view::npos) return fail("no tab after the time");
    CapturedDatagram captured;
    std::string time(line.substr(0, tab));
    char* timeEnd = nullptr;
    captured.seconds = std::strtod(time.c_str(), &timeEnd);
    if (time.empty() || *timeEnd != '\0' || !std::isfinite(captured.seconds) || captured.seconds < last)
      return fail("\"" + time + "\" is no time at or after the line before");
    last = captured.seconds;
    std::string_view escaped = line.substr(tab + 1);
    for (size_t k = 0; k < escaped.size(); ++k) {
      if (escaped[k] != '\\') {
        captured.datagram += escaped[k];
      } else if (k + 1 < escaped.size() && escaped[k + 1] == '\\') {
        captured.datagram += '\\';
        ++k;
      } else if (k + 3 < escaped.size() && escaped[k + 1] == 'x' && HexDigit(escaped[k + 2]) >= 0 &&
                 HexDigit(escaped[k + 3]) >= 0) {
        captured.datagram += static_cast<char>(HexDigit(escaped[k + 2]) * 16 + HexDigit(escaped[k + 3]));
        k += 3;
      } else {
        return fail("a backslash that escapes nothing");
      }
    }
    datagrams.push_back(std::move(captured));
  }
  return datagrams;
}

FlightGearSource::FlightGearSource(FlightGearLinkOptions options, Simulator::Output say)
    : options_(std::move(options)), say_(std::move(say)) {
  if (!say_) say_ = [](const std::string&) {};
}

FlightGearSource::~FlightGearSource() = default;

std::string FlightGearSource::AircraftFolder(const std::string& simulatorDir, const std::string& name) {
  return platform::JoinPath({simulatorDir, "FlightGear", "Aircraft", name});
}

size_t FlightGearSource::FlapDetents(const std::string& aircraftFolder) {
  std::string cfg = platform::JoinPath({aircraftFolder, "aircraft.cfg"});
  if (!platform::FileExists(cfg)) return 0;
  for (int section = 0; section < 16; ++section) {
    std::string name = "flaps." + std::to_string(section);
    std::string type = platform::ReadProfileString(name.c_str(), "type", "", cfg.c_str());
    if (type.empty()) break;
    if (platform::ParseLeadingInteger(type.c_str()) != 1) continue;
    size_t detents = 0;
    while (!platform::ReadProfileString(name.c_str(), ("flaps-position." + std::to_string(detents)).c_str(), "",
                                        cfg.c_str())
                .empty())
      ++detents;
    if (detents > 0) return detents;
  }
  return 0;
}

common::Result<> FlightGearSource::Open() {
  if (auto bound = input_.Bind(options_.port); !bound) return bound;
  if (options_.textPort != 0) {
    if (auto opened = output_.OpenForSending(); !opened) return opened;
  }
  if (!options_.capturePath.empty()) {
    capture_.reset(std::fopen(platform::NativePath(options_.capturePath).c_str(), "w"));
    if (!capture_) return common::Fail("cannot write the capture " + options_.capturePath);
    std::fprintf(capture_.get(), "# FlightGear records as they arrived: seconds since the first, tab, the record\n");
  }
  started_ = lastDatagram_ = lastWaitingNote_ = refusalSummaryAt_ = Clock::now();
  return {};
}

void FlightGearSource::Capture(const std::string& datagram) {
  if (!capture_) return;
  if (counts_.datagrams == 1) captureStart_ = Clock::now();
  double at = std::chrono::duration<double>(Clock::now() - captureStart_).count();
  std::fprintf(capture_.get(), "%.6f\t%s\n", at, Escaped(datagram).c_str());
  std::fflush(capture_.get());
}

void FlightGearSource::Refuse(const std::string& reason) {
  ++counts_.refused;
  if (counts_.refused <= kRefusalsShown) {
    say_("FlightGear record refused: " + reason +
         (counts_.refused == kRefusalsShown ? " (further refusals are counted every 10 s)" : ""));
    return;
  }
  ++refusedUnreported_;
  lastRefusal_ = reason;
}

void FlightGearSource::ChangeAircraft(const std::string& name, int64_t at, SourceFrame& frame) {
  std::string folder = AircraftFolder(options_.simulatorDir, name);
  aircraft_ = name;
  flapDetents_ = FlapDetents(folder);
  if (flapDetents_ == 0) {
    say_("FlightGear's aircraft \"" + name + "\" has no aircraft.cfg with flap detents in " + folder +
         ": the unit links the model " + name + " but reads its flaps as up");
  } else {
    say_("FlightGear's aircraft \"" + name + "\": model " + name + ", " + std::to_string(flapDetents_) +
         " flap detents from " + platform::JoinPath({folder, "aircraft.cfg"}));
  }
  ReplayEvent loaded;
  loaded.t = static_cast<double>(at) / 1e6;
  loaded.kind = EventKind::AircraftLoaded;
  loaded.text = platform::JoinPath({folder, name + ".air"});
  frame.events.push_back(loaded);
}

bool FlightGearSource::Accept(const FlightGearRecord& record, SourceFrame& frame) {
  if (!connected_) {
    connected_ = true;
    micro_ = 0;
    char where[96];
    std::snprintf(where, sizeof where, "%.5f %.5f", record.latitudeDeg, record.longitudeDeg);
    say_("FlightGear connected: " + record.aircraft + " at " + where + ", FlightGear's clock at " +
         Seconds(record.elapsedSeconds));
    ChangeAircraft(record.aircraft, 0, frame);
    ReplayEvent start;
    start.kind = EventKind::SimStart;
    frame.events.push_back(start);
  } else {
    double step = record.elapsedSeconds - lastElapsed_;
    if (step < 0 && step > -kOutOfOrderSeconds) {
      ++counts_.outOfOrder;
      if (counts_.outOfOrder <= kRefusalsShown)
        say_("FlightGear record out of order (" + Seconds(-step) + " older than the last) dropped");
      return false;
    }
    if (step < 0 || step > kLongestStepSeconds) {
      ++counts_.restarts;
      say_("FlightGear's clock went from " + Seconds(lastElapsed_) + " to " + Seconds(record.elapsedSeconds) +
           (step < 0 ? " (FlightGear restarted or was reset)" : "") + "; the flight goes on from " +
           Seconds(static_cast<double>(micro_) / 1e6));
      micro_ += kFrameMicro;
    } else {
      micro_ += static_cast<int64_t>(std::llround(step * 1e6));
    }
    if (record.aircraft != aircraft_) {
      say_("FlightGear changed aircraft from " + aircraft_ + " to " + record.aircraft);
      ChangeAircraft(record.aircraft, micro_, frame);
    }
  }
  if (record.speedUp != speedUp_) {
    char text[96];
    std::snprintf(text, sizeof text, "FlightGear runs at %gx speed; the unit keeps FlightGear's time", record.speedUp);
    say_(text);
    speedUp_ = record.speedUp;
  }
  lastElapsed_ = record.elapsedSeconds;
  frame.microseconds = micro_;
  frame.aircraft = ToAircraftValues(record, flapDetents_);
  return true;
}

bool FlightGearSource::Next(SourceFrame& frame, bool) {
  for (;;) {
    if (options_.shouldStop && options_.shouldStop()) return false;
    Clock::time_point now = Clock::now();
    if (refusedUnreported_ > 0 && now - refusalSummaryAt_ >= kRefusalSummaryPeriod) {
      say_(std::to_string(refusedUnreported_) + " more FlightGear records refused (the last: " + lastRefusal_ + ")");
      refusedUnreported_ = 0;
      refusalSummaryAt_ = now;
    }
    std::string datagram, error;
    LoopbackUdp::Received received = input_.Receive(kPollMs, datagram, error);
    if (received == LoopbackUdp::Received::Failed) {
      say_("FlightGear link lost: " + error);
      return false;
    }
    now = Clock::now();
    if (received == LoopbackUdp::Received::Timeout) {
      auto quietFor = std::chrono::duration_cast<std::chrono::milliseconds>(now - lastDatagram_);
      if (connected_ && !quiet_ && quietFor.count() >= options_.silenceReportMs) {
        quiet_ = true;
        ++counts_.silences;
        say_("FlightGear has sent nothing for " + Seconds(quietFor.count() / 1000.0) +
             "; the unit waits, its time standing still, until records come again");
      }
      if (!connected_ && now - lastWaitingNote_ >= kWaitingNotePeriod) {
        lastWaitingNote_ = now;
        say_("still waiting for FlightGear's records on 127.0.0.1:" + std::to_string(input_.Port()) +
             " (fgfs needs the options that --print-fgfs-options prints)");
      }
      continue;
    }
    ++counts_.datagrams;
    Capture(datagram);
    if (quiet_) {
      quiet_ = false;
      say_("FlightGear is sending again after " + Seconds(std::chrono::duration<double>(now - lastDatagram_).count()));
    }
    lastDatagram_ = now;
    FlightGearRecord record;
    if (common::Result<> parsed = ParseFlightGearRecord(datagram, record); !parsed) {
      Refuse(parsed.error());
      continue;
    }
    if (!Placed(record)) {
      ++counts_.unplaced;
      if (counts_.unplaced == 1) say_("FlightGear is still placing its aircraft; the flight starts once it has");
      continue;
    }
    frame = SourceFrame{};
    if (!Accept(record, frame)) continue;
    ++counts_.records;
    frame.arrivedMicroseconds = std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count();
    return true;
  }
}

void FlightGearSource::TextLine(const std::string& text) {
  if (options_.textPort == 0) return;
  std::string line = FlightGearScreenText(text);
  if (line.empty()) return;
  common::Result<> sent = output_.Send(options_.textPort, line + "\n");
  if (sent) {
    ++textLines_;
    return;
  }
  if (!textFailed_.exchange(true)) say_("text line not shown in FlightGear: " + sent.error());
}

}  // namespace sim
