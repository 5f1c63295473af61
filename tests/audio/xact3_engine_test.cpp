// The Windows side of the engine seam, under Wine: engines are created
// through COM as the SDK's creation routine does it (the registry value
// "DebugEngine" asks for the debug engine, the release engine is the
// fall-back), and COM is initialised per thread, so a caller thread in a
// single-threaded apartment makes the construction's COM step fail as it does
// on Windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>

#include "audio_engine.h"
#include "audio_stream.h"
#include "audio_test_support.h"
#include "play_queue.h"
#include "xact_engine.h"

using namespace vscaudio;
using audiotest::StandardCues;
using audiotest::TestSoundSet;

namespace {

constexpr wchar_t kDebugClassKey[] = L"Software\\Classes\\CLSID\\{02860630-BF3B-42A8-B14E-91EDA2F51EA5}";
constexpr wchar_t kXactKey[] = L"Software\\Microsoft\\XACT";
constexpr uint32_t kChangedMode = 0x80010106;  // RPC_E_CHANGED_MODE

// The test server (debug_engine_server.cpp) beside this program.
std::wstring ServerPath() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"orvante_test_debug_engine.dll";
}

bool SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// Registers the test server as the debug engine's class.
bool RegisterDebugServer() {
  HKEY key = nullptr;
  std::wstring server = std::wstring(kDebugClassKey) + L"\\InprocServer32";
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, server.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  bool ok = SetString(key, nullptr, ServerPath()) && SetString(key, L"ThreadingModel", L"Both");
  RegCloseKey(key);
  return ok;
}

void UnregisterDebugServer() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kDebugClassKey); }

// Sets the DebugEngine value, or removes it when value is negative.
void SetDebugEngineValue(int value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kXactKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  if (value < 0) {
    RegDeleteValueW(key, L"DebugEngine");
  } else {
    DWORD data = static_cast<DWORD>(value);
    RegSetValueExW(key, L"DebugEngine", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
  }
  RegCloseKey(key);
}

// Engines the test server has handed out in this process; 0 before COM first
// loaded it.
LONG DebugEnginesCreated() {
  HMODULE server = GetModuleHandleW(L"orvante_test_debug_engine.dll");
  if (server == nullptr) return 0;
  auto created = reinterpret_cast<LONG (*)()>(GetProcAddress(server, "OrvanteDebugEnginesCreated"));
  return created != nullptr ? created() : -1;
}

class EngineCreationTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(xact::InitializeComMultithreaded(), 0u); }
  void TearDown() override {
    SetDebugEngineValue(-1);
    UnregisterDebugServer();
    xact::UninitializeCom();
  }

  // A whole engine over the test set with one stream that plays a cue.
  void StartEngineAndPlay() {
    ASSERT_EQ(InitializeAudioEngine(set_.xgs().c_str(), set_.xwb().c_str(), set_.xsb().c_str(), nullptr), 1);
    std::shared_ptr<AudioEngine> engine = CurrentEngine();
    ASSERT_TRUE(engine);
    void* stream = CreateStream(*engine, 0);
    ASSERT_NE(stream, nullptr);
    AddToQueue(*engine, stream, "a", 0, 0, 0, 1);
    EXPECT_TRUE(audiotest::WaitFor([&] { return IsQueuePlaying(*engine) == 0; }));
    DestroyStream(*engine, stream);
  }

  TestSoundSet set_{StandardCues()};
};

}  // namespace

TEST_F(EngineCreationTest, TheDebugEngineValuePicksTheDebugClass) {
  ASSERT_TRUE(RegisterDebugServer());
  // Without the value, or with it 0, only the release class is asked.
  SetDebugEngineValue(-1);
  StartEngineAndPlay();
  SetDebugEngineValue(0);
  StartEngineAndPlay();
  EXPECT_EQ(DebugEnginesCreated(), 0);

  // With it set, every engine comes from the debug class: the one that lists
  // the devices and the device's own.
  SetDebugEngineValue(1);
  StartEngineAndPlay();
  EXPECT_EQ(DebugEnginesCreated(), 2);
  xact::Engine* engine = nullptr;
  ASSERT_EQ(xact::CreateEngine(&engine), 0u);
  ASSERT_NE(engine, nullptr);
  EXPECT_EQ(DebugEnginesCreated(), 3);
  xact::ShutDownEngine(engine);
}

TEST_F(EngineCreationTest, WithoutADebugEngineTheReleaseEngineServes) {
  UnregisterDebugServer();
  SetDebugEngineValue(1);
  StartEngineAndPlay();
  xact::Engine* engine = nullptr;
  EXPECT_EQ(xact::CreateEngine(&engine), 0u);
  EXPECT_NE(engine, nullptr);
  xact::ShutDownEngine(engine);
}

TEST(EngineConstruction, COMOfTheConstructingThreadIsTriedForTheMultithreadedApartment) {
  // A caller thread in a single-threaded apartment: the step fails, is
  // recorded, and goes to the default handler (which shows nothing for it).
  AudioEngine inApartment;
  std::thread([&] {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    ConstructEngine(inApartment);
    CoUninitialize();
  }).join();
  EXPECT_NE(inApartment.state.load() & kEngineComFailed, 0u);
  EXPECT_EQ(inApartment.lastResult.load(), kChangedMode);

  // A thread without COM joins the multithreaded apartment.
  AudioEngine fresh;
  std::thread([&] {
    ConstructEngine(fresh);
    // The construction left the thread in the multithreaded apartment.
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
    CoUninitialize();
    CoUninitialize();
  }).join();
  EXPECT_EQ(fresh.state.load() & kEngineComFailed, 0u);
  EXPECT_EQ(fresh.lastResult.load(), 0u);
}
