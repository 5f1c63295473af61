// The live bridge from FlightGear to the add-ons.
#include "flightgear_bridge.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#endif

#include <algorithm>
#include <chrono>
#include <mutex>
#include <vector>

#include "platform/files.h"

namespace sim {
namespace {

double ProcessCpuSeconds() {
#ifdef _WIN32
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  auto seconds = [](const FILETIME& t) {  // 100 ns units
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
#else
  rusage usage{};
  if (getrusage(RUSAGE_SELF, &usage) != 0) return 0;
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
#endif
}

}  // namespace

std::string FlightGearOptions(const std::string& simulatorDir, uint16_t port, uint16_t textPort) {
  std::string options = "--data=" + platform::JoinPath({simulatorDir, "FlightGear"}) + "\n" +
                        "--generic=socket,out,30,127.0.0.1," + std::to_string(port) + ",udp,orvante\n";
  if (textPort != 0) options += "--generic=socket,in,10,127.0.0.1," + std::to_string(textPort) + ",udp,orvante\n";
  return options;
}

FlightGearBridgeResult RunFlightGearBridge(FlightGearBridgeOptions options, const Simulator::Output& say) {
  FlightGearBridgeResult result;
  options.link.simulatorDir = options.flight.simulator.simulatorDir;
  FlightGearSource source(options.link, say);
  if (common::Result<> opened = source.Open(); !opened) {
    result.flight = common::Fail(opened.error());
    return result;
  }
  say("listening for FlightGear on 127.0.0.1:" + std::to_string(source.Port()) +
      (options.link.textPort != 0 ? "; text lines go to 127.0.0.1:" + std::to_string(options.link.textPort) : ""));

  std::mutex latencyMutex;
  std::vector<double> latencies;
  auto told = options.flight.spokenLatency;
  options.flight.spokenLatency = [&](double t, const std::vector<std::string>& cues, double latency) {
    {
      std::lock_guard<std::mutex> lock(latencyMutex);
      latencies.push_back(latency);
    }
    if (told) told(t, cues, latency);
  };
  options.flight.realtime = true;

  double cpuBefore = ProcessCpuSeconds();
  result.flight = RunFlight(options.flight, source, say);
  result.cpuSeconds = ProcessCpuSeconds() - cpuBefore;
  result.counts = source.Counts();
  {
    std::lock_guard<std::mutex> lock(latencyMutex);
    result.callouts = latencies.size();
    if (!latencies.empty()) {
      std::sort(latencies.begin(), latencies.end());
      result.medianLatency = latencies[latencies.size() / 2];
      result.longestLatency = latencies.back();
    }
  }

  const FlightGearLinkCounts& c = result.counts;
  char summary[400];
  std::snprintf(summary, sizeof summary,
                "FlightGear link: %llu records flown, %llu refused, %llu out of order, %llu clock restarts, "
                "%llu silences, %llu text lines sent",
                static_cast<unsigned long long>(c.records), static_cast<unsigned long long>(c.refused),
                static_cast<unsigned long long>(c.outOfOrder), static_cast<unsigned long long>(c.restarts),
                static_cast<unsigned long long>(c.silences), static_cast<unsigned long long>(c.textLines));
  say(summary);
  if (result.callouts > 0) {
    std::snprintf(summary, sizeof summary,
                  "from the record sampled to the callout's start: median %.0f ms, longest %.0f ms over %zu callouts",
                  result.medianLatency * 1000, result.longestLatency * 1000, result.callouts);
    say(summary);
  }
  if (result.flight && result.flight->wallSeconds > 0) {
    const double wallSeconds = result.flight->wallSeconds;
    std::snprintf(summary, sizeof summary, "the bridge used %.1f s of processor time in %.1f s (%.1f%% of one core)",
                  result.cpuSeconds, wallSeconds, 100 * result.cpuSeconds / wallSeconds);
    say(summary);
  }
  return result;
}

}  // namespace sim
