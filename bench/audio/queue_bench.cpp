// How quickly the worker starts a queued cue, and what the worker thread
// costs. Run with SDL_AUDIODRIVER=dummy (or disk) so no device is needed.
//
// The worker's own CPU time is read from the scheduler's account of its
// thread (/proc/self/task/TID/schedstat, nanoseconds on the CPU); the thread
// is identified from inside the queue trace, which the worker calls when it
// starts a cue.
#include <benchmark/benchmark.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "audio_test_support.h"
#include "vscaudio/vscaudio.h"

using namespace audiotest;
using Clock = std::chrono::steady_clock;

namespace {

// Records when the worker starts and stops cues, and which thread it is.
struct StartWatch {
  std::mutex mutex;
  std::condition_variable changed;
  int started = 0;
  int stopped = 0;
  Clock::time_point lastStart;
  std::atomic<long> workerTid{0};

  static void Trace(void* context, int32_t operation, const char*, int32_t) {
    auto* self = static_cast<StartWatch*>(context);
    if (operation != VSC_AUDIO_TRACE_CUE_STARTED && operation != VSC_AUDIO_TRACE_CUE_STOPPED) return;
    self->workerTid = syscall(SYS_gettid);
    std::lock_guard<std::mutex> hold(self->mutex);
    if (operation == VSC_AUDIO_TRACE_CUE_STARTED) {
      ++self->started;
      self->lastStart = Clock::now();
    } else {
      ++self->stopped;
    }
    self->changed.notify_all();
  }
  void WaitStarted(int count) {
    std::unique_lock<std::mutex> hold(mutex);
    changed.wait(hold, [&] { return started >= count; });
  }
  void WaitStopped(int count) {
    std::unique_lock<std::mutex> hold(mutex);
    changed.wait(hold, [&] { return stopped >= count; });
  }
};

// Nanoseconds a thread of this process has spent on a CPU.
double ThreadCpuNanoseconds(long tid) {
  std::ifstream stat("/proc/self/task/" + std::to_string(tid) + "/schedstat");
  double ns = 0;
  stat >> ns;
  return ns;
}

// One engine and stream for all benchmarks of the run.
struct Bench {
  TestSoundSet set{{{"blip", 40}, {"word", 600}}};
  StartWatch watch;
  void* stream = nullptr;
  Bench() {
    if (set.Initialize() != 1) std::abort();
    stream = VSC_AUDIO_CREATE_STREAM(0);
    if (stream == nullptr) std::abort();
    VSC_AUDIO_SET_TRACE(&StartWatch::Trace, &watch);
  }
  // The trace stops and the stream goes before the watch and the set's
  // temporary folder do.
  ~Bench() {
    VSC_AUDIO_SET_TRACE(nullptr, nullptr);
    VSC_AUDIO_EMPTY_QUE();
    VSC_AUDIO_DESTROY_STREAM(stream);
  }
};

Bench& TheBench() {
  static Bench bench;
  return bench;
}

void BM_AddToQueueUntilCueStarts(benchmark::State& state) {
  Bench& bench = TheBench();
  double least = 1e9, most = 0, total = 0;
  int round = 0;
  for (auto _ : state) {
    int before = bench.watch.started;
    auto queued = Clock::now();
    VSC_AUDIO_ADD_TO_QUE(bench.stream, "blip", 0, 0, 0, 1);
    bench.watch.WaitStarted(before + 1);
    double delay = std::chrono::duration<double>(bench.watch.lastStart - queued).count();
    state.SetIterationTime(delay);
    least = std::min(least, delay);
    most = std::max(most, delay);
    total += delay;
    // Let the cue finish and leave the queue, so every add meets an idle queue.
    while (VSC_AUDIO_IS_QUE_PLAYING() != 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    // Land at a different moment of the worker's 34 ms period each time.
    std::this_thread::sleep_for(std::chrono::milliseconds(7 * (round++ % 5)));
  }
  state.counters["min_ms"] = least * 1e3;
  state.counters["mean_ms"] = total * 1e3 / static_cast<double>(state.iterations());
  state.counters["max_ms"] = most * 1e3;
}
BENCHMARK(BM_AddToQueueUntilCueStarts)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

// Worker CPU per second of wall time over an interval, in milliseconds.
void ReportWorkerCpu(benchmark::State& state, long tid, double cpuBefore, Clock::time_point wallBefore) {
  double cpu = ThreadCpuNanoseconds(tid) - cpuBefore;
  double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
  state.counters["worker_cpu_ms_per_s"] = cpu / 1e6 / wall;
  state.counters["worker_cpu_percent"] = 100.0 * cpu / 1e9 / wall;
}

void BM_WorkerIdle(benchmark::State& state) {
  Bench& bench = TheBench();
  VSC_AUDIO_ADD_TO_QUE(bench.stream, "blip", 0, 0, 0, 1);  // to learn the worker's thread
  while (VSC_AUDIO_IS_QUE_PLAYING() != 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  long tid = bench.watch.workerTid;
  for (auto _ : state) {
    double cpu = ThreadCpuNanoseconds(tid);
    auto wall = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(3));
    ReportWorkerCpu(state, tid, cpu, wall);
  }
}
BENCHMARK(BM_WorkerIdle)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_WorkerPlaying(benchmark::State& state) {
  Bench& bench = TheBench();
  VSC_AUDIO_ADD_TO_QUE(bench.stream, "blip", 0, 0, 0, 1);
  while (VSC_AUDIO_IS_QUE_PLAYING() != 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  long tid = bench.watch.workerTid;
  for (auto _ : state) {
    // Four cues back to back in the queue, a single sound beside them whose
    // stream is moved every 20 ms, so the worker mixes as well as plays.
    for (int i = 0; i < 4; ++i) VSC_AUDIO_ADD_TO_QUE(bench.stream, "word", 0, 0, 1, 1);
    void* sound = VSC_AUDIO_PLAY_SOUND(bench.stream, "word", 1, 0, 0, 1);
    (void)sound;
    double cpu = ThreadCpuNanoseconds(tid);
    auto wall = Clock::now();
    float x = 0;
    while (VSC_AUDIO_IS_QUE_PLAYING() != 0) {
      VSC_AUDIO_SET_STREAM_POSITION(bench.stream, x += 0.1f, 0, 0);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ReportWorkerCpu(state, tid, cpu, wall);
    VSC_AUDIO_SET_STREAM_POSITION(bench.stream, 0, 0, 0);
  }
}
BENCHMARK(BM_WorkerPlaying)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
