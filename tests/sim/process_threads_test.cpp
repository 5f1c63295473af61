// Looking at this process's threads through /proc/self: a thread waiting to
// write to a full pipe is seen waiting there, by name, with the pipe's
// descriptors; a thread's sleeps are counted.
#include "process_threads.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "temp_folder.h"

namespace sim {
namespace {

// Polls `done` for up to ten seconds of real time.
template <typename Done>
bool Eventually(Done done) {
  for (int i = 0; i < 10000; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

TEST(ProcessThreads, AThreadWritingToAFullPipeIsSeenWaitingThereWithThePipesDescriptors) {
  if (!threads::Visible()) GTEST_SKIP() << "/proc/self/task cannot be read here";
  TempFolder folder;
  std::string fifo = (folder.path() / "sound.raw").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  char* resolved = realpath(fifo.c_str(), nullptr);
  ASSERT_NE(resolved, nullptr);
  fifo = resolved;
  std::free(resolved);
  int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  fcntl(reader, F_SETPIPE_SZ, 4096);

  std::atomic<int> writerId{0};
  std::thread writer([&] {
    pthread_setname_np(pthread_self(), "pipe writer");
    writerId = gettid();
    // As SDL's disk driver writes: through stdio, more than the pipe holds.
    FILE* out = std::fopen(fifo.c_str(), "wb");
    if (out == nullptr) return;
    std::vector<char> buffer(880, 'x');
    for (int i = 0; i < 40; ++i) std::fwrite(buffer.data(), 1, buffer.size(), out);
    std::fclose(out);
  });
  ASSERT_TRUE(Eventually([&] { return writerId.load() != 0 && threads::WaitsInWriteTo(writerId, fifo); }))
      << "the writer waits on the full pipe";
  std::vector<int> named = threads::Named("pipe writer");
  EXPECT_EQ(named, std::vector<int>{writerId.load()});
  EXPECT_FALSE(threads::WaitsInWriteTo(writerId, fifo + ".other")) << "only the pipe it writes to";
  EXPECT_FALSE(threads::WaitsInWriteTo(gettid(), fifo)) << "this thread runs";
  std::vector<int> all = threads::All();
  EXPECT_NE(std::find(all.begin(), all.end(), writerId.load()), all.end());
  EXPECT_NE(std::find(all.begin(), all.end(), static_cast<int>(gettid())), all.end());
  std::vector<int> open = threads::DescriptorsOn(fifo);
  EXPECT_EQ(open.size(), 2u) << "the reading end and the writer's";
  EXPECT_NE(std::find(open.begin(), open.end(), reader), open.end());

  // Read it all: the writer finishes and goes.
  char chunk[4096];
  size_t total = 0;
  ASSERT_TRUE(Eventually([&] {
    ssize_t n = read(reader, chunk, sizeof chunk);
    if (n > 0) total += static_cast<size_t>(n);
    return n == 0;  // no writer left
  }));
  writer.join();
  EXPECT_EQ(total, 40u * 880u);
  EXPECT_EQ(threads::DescriptorsOn(fifo), std::vector<int>{reader});
  EXPECT_TRUE(threads::Named("pipe writer").empty());
  close(reader);
}

TEST(ProcessThreads, EachSleepOfAThreadIsCounted) {
  if (!threads::Visible()) GTEST_SKIP() << "/proc/self/task cannot be read here";
  std::mutex mutex;
  std::condition_variable changed;
  int phase = 0;  // 0 waiting, 1 sleep five times, 2 done
  std::atomic<int> id{0};
  std::thread sleeper([&] {
    id = gettid();
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return phase == 1; });
    lock.unlock();
    for (int i = 0; i < 5; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    lock.lock();
    phase = 2;
    changed.notify_all();
    changed.wait(lock, [&] { return phase == 3; });
  });
  ASSERT_TRUE(Eventually([&] { return id.load() != 0; }));
  int64_t before = threads::VoluntarySwitches(id);
  ASSERT_GE(before, 0);
  {
    std::unique_lock<std::mutex> lock(mutex);
    phase = 1;
    changed.notify_all();
    changed.wait(lock, [&] { return phase == 2; });
  }
  EXPECT_GE(threads::VoluntarySwitches(id), before + 5);
  {
    std::lock_guard<std::mutex> lock(mutex);
    phase = 3;
    changed.notify_all();
  }
  sleeper.join();
  EXPECT_EQ(threads::VoluntarySwitches(id), -1) << "a thread that has ended";
}

}  // namespace
}  // namespace sim
