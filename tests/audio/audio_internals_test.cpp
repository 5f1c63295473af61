// Inner pieces of the engine that the exports cannot show directly: device
// name narrowing, UTF-16 paths, project file reading and its error codes,
// entry names, named events.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <cstring>
#include <string>
#include <thread>

#include "device_slot.h"
#include "named_event.h"
#include "platform/clock.h"
#include "project_file.h"
#include "sound_entry.h"
#include "temp_folder.h"

using namespace vscaudio;

// FAudio names its devices "0", "1", ... "15"; devices 10 to 15 are not device 1.
TEST(RendererDeviceIndexTest, TheWholeNumberIsTheDevice) {
  auto index = [](const char* id) {
    int16_t wide[0xFF] = {};
    for (size_t i = 0; id[i] != '\0'; ++i) wide[i] = id[i];
    return RendererDeviceIndex(wide, 0xFF);
  };
  EXPECT_EQ(index("0"), 0u);
  EXPECT_EQ(index("1"), 1u);
  EXPECT_EQ(index("9"), 9u);
  EXPECT_EQ(index("10"), 10u);
  EXPECT_EQ(index("15"), 15u);
  EXPECT_EQ(index(""), 0u);
  EXPECT_EQ(index("{0.0.0.00000000}"), 0u);  // not a number: the default device
  EXPECT_EQ(index("99999999999"), 0u);       // no such device count
  int16_t unterminated[2] = {'1', '2'};
  EXPECT_EQ(RendererDeviceIndex(unterminated, 1), 1u);  // read no further than told
}

TEST(DeviceNameTest, EachCharacterKeepsItsLowEightBits) {
  const int16_t wide[] = {'S', 'p', static_cast<int16_t>(0x00E9), static_cast<int16_t>(0x0441), 'k', 0, 'x'};
  char narrow[kDeviceNameSize];
  NarrowDeviceName(wide, 7, narrow, sizeof narrow);
  EXPECT_EQ(std::string(narrow), std::string("Sp\xE9"
                                             "Ak"));  // U+0441 keeps 0x41, 'A'
}

TEST(DeviceNameTest, ANameWithoutTerminatorIsCutToTheBuffer) {
  int16_t wide[0xFF];
  for (auto& c : wide) c = 'n';
  char narrow[kDeviceNameSize];
  std::memset(narrow, 'z', sizeof narrow);
  NarrowDeviceName(wide, 0xFF, narrow, sizeof narrow);
  EXPECT_EQ(std::strlen(narrow), 0xFFu);
  char small[8];
  NarrowDeviceName(wide, 0xFF, small, sizeof small);
  EXPECT_EQ(std::string(small), "nnnnnnn");
}

TEST(Utf16PathTest, ConvertsToUtf8IncludingSurrogatePairs) {
  EXPECT_EQ(Utf16ToUtf8(u"C:/Sound Sets/Default.xgs"), "C:/Sound Sets/Default.xgs");
  EXPECT_EQ(Utf16ToUtf8(u"caf\u00e9"), "caf\xC3\xA9");
  EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  const char16_t lone[] = {u'a', 0xD800, u'b', 0};
  EXPECT_EQ(Utf16ToUtf8(lone),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(Utf16ToUtf8(nullptr), "");
}

class ProjectFileTest : public ::testing::Test {
 protected:
  std::u16string Path(const std::string& name) {
    std::string path = folder_ + "/" + name;
    return std::u16string(path.begin(), path.end());
  }
  TempFolder temp_;
  std::string folder_ = temp_.Path();
};

TEST_F(ProjectFileTest, ReadsAWholeFileAndKeepsItsPath) {
  std::string path = folder_ + "/bank.xsb";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite("SDBK\0\1\2", 1, 7, file);
  std::fclose(file);
  ProjectFile record;
  ASSERT_TRUE(ReadProjectFile(record, Path("bank.xsb").c_str()));
  EXPECT_EQ(record.data.size(), 7u);
  EXPECT_EQ(record.data[6], 2);
  EXPECT_EQ(record.path, Path("bank.xsb"));
  EXPECT_EQ(record.lastError, 0u);
  ReleaseProjectFile(record);
  EXPECT_TRUE(record.data.empty());
  EXPECT_TRUE(record.path.empty());
}

TEST_F(ProjectFileTest, FailuresCarryTheirWin32Errors) {
  ProjectFile record;
  EXPECT_FALSE(ReadProjectFile(record, nullptr));
  EXPECT_EQ(record.lastError, 2u);
  EXPECT_FALSE(ReadProjectFile(record, Path("missing.xgs").c_str()));
  EXPECT_EQ(record.lastError, 2u);
  EXPECT_FALSE(ReadProjectFile(record, Path("no-folder/x.xgs").c_str()));
#ifdef _WIN32
  EXPECT_EQ(record.lastError, 3u) << "Windows tells a missing folder from a missing file";
#else
  EXPECT_EQ(record.lastError, 2u);
#endif
  EXPECT_FALSE(ReadProjectFile(record, Path("").c_str())) << "a folder is not a project file";
  EXPECT_EQ(record.lastError, 5u);
  EXPECT_TRUE(record.data.empty());
}

TEST(SoundEntryTest, NamesUpTo254CharactersAreStoredAndLongerOnesLeaveItEmpty) {
  std::string name254(254, 'q'), name255(255, 'q');
  EXPECT_EQ(std::string(MakeEntry(nullptr, name254.c_str(), 0, 0, 0, 1).name), name254);
  EXPECT_EQ(std::string(MakeEntry(nullptr, name255.c_str(), 0, 0, 0, 1).name), "");
  EXPECT_EQ(std::string(MakeEntry(nullptr, nullptr, 0, 0, 0, 1).name), "");
  SoundEntry entry = MakeEntry(reinterpret_cast<void*>(32), "onrwy27l", 1, 2, 3, 0.5f);
  EXPECT_EQ(entry.stream, reinterpret_cast<void*>(32));
  EXPECT_EQ(entry.x + entry.y + entry.z, 6.0f);
  EXPECT_EQ(entry.volume, 0.5f);
  EXPECT_EQ(entry.cueIndex, 0);
  EXPECT_EQ(entry.cue, nullptr);
  EXPECT_EQ(entry.flags, 0u);
}

TEST(SoundEntryTest, SingleGroupsNeverMeetListGroups) {
  for (int i = 0; i < 100; ++i) {
    uint64_t single = NewSingleGroup();
    EXPECT_EQ(single % 2, 1u);
    EXPECT_NE(single, NewSingleGroup());
  }
  EXPECT_EQ(ListGroup(reinterpret_cast<void*>(0x10010)) % 16, 0u);
}

TEST(NamedEventTest, OpensByNameSignalsAcrossThreadsAndVanishesWithItsLastHolder) {
  EXPECT_EQ(OpenNamedEvent("1fVSCAudioEventExitThread0"), nullptr);
  auto created = CreateNamedEvent("1fVSCAudioEventExitThread0");
  auto opened = OpenNamedEvent("1fVSCAudioEventExitThread0");
  ASSERT_EQ(created, opened);
  EXPECT_EQ(CreateNamedEvent("1fVSCAudioEventExitThread0"), created) << "creating an existing name opens it";
  EXPECT_FALSE(opened->Wait(10));
  std::thread setter([created] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    created->Set();
  });
  EXPECT_TRUE(opened->Wait(5000));
  setter.join();
  EXPECT_TRUE(opened->Wait(0)) << "manual reset: stays signalled";
  opened->Reset();
  EXPECT_FALSE(opened->Wait(0));
  created.reset();
  opened.reset();
  EXPECT_EQ(OpenNamedEvent("1fVSCAudioEventExitThread0"), nullptr);
  EXPECT_EQ(CreateNamedEvent(""), nullptr);
}

// A clock whose time moves only when the test says so, as a host's flight
// clock does.
class HeldClock : public platform::Clock {
 public:
  void Sleep(uint32_t milliseconds) override { SleepUnless(milliseconds, {}); }
  uint64_t TickCount() override { return 0; }
  bool SleepUnless(uint32_t milliseconds, const std::function<bool()>& done) override {
    std::unique_lock<std::mutex> lock(mutex_);
    asked_ = milliseconds;
    ++sleepers_;
    changed_.notify_all();
    changed_.wait(lock, [&] { return moved_ || (done && done()); });
    --sleepers_;
    moved_ = false;
    return done && done();
  }
  void WakeSleepers() override {
    std::lock_guard<std::mutex> lock(mutex_);
    changed_.notify_all();
  }
  // Waits for a sleeper; the milliseconds it asked for.
  uint32_t AwaitSleeper() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return sleepers_ > 0; });
    return asked_;
  }
  void MoveOn() {
    std::lock_guard<std::mutex> lock(mutex_);
    moved_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  uint32_t asked_ = 0;
  int sleepers_ = 0;
  bool moved_ = false;
};

TEST(NamedEventTest, TheWorkersPauseIsCountedOnTheProcessClockAndEndedBySettingTheEvent) {
  HeldClock clock;
  platform::SetClock(&clock);
  auto event = CreateNamedEvent("2aVSCAudioEventExitThread0");
  // The pause lasts as long as the clock says: nothing happens on the wall clock.
  bool signalled = true;
  std::thread pause([&] { signalled = event->WaitOnClock(34); });
  EXPECT_EQ(clock.AwaitSleeper(), 34u);
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  clock.MoveOn();
  pause.join();
  EXPECT_FALSE(signalled) << "the pause ran out on the clock";
  // Setting the event ends a pause at once, however long it was.
  std::thread stopped([&] { signalled = event->WaitOnClock(60000); });
  clock.AwaitSleeper();
  event->Set();
  stopped.join();
  EXPECT_TRUE(signalled);
  EXPECT_TRUE(event->WaitOnClock(60000)) << "a signalled event does not pause";
  platform::SetClock(nullptr);
}
