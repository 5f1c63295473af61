// A simulator folder for voice tests, with the fake audio library installed
// on request as ORVANTE\DLLs\64bit\ORVAAUDIO64.DLL, log lines collected and
// the headless front end's boxes cleared.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/main_settings.h"
#include "core/module_log.h"
#include "core/module_state.h"
#include "voice/audio_function_table.h"
#include "voice/audio_library_binding.h"
#include "voice/voice_state.h"
#include "platform/process.h"
#include "platform/user_interface.h"
#include "temp_folder.h"

inline std::vector<std::string>& VoiceLogLines() {
  static std::vector<std::string> lines;
  return lines;
}

struct VoiceTest : ::testing::Test {
  TempFolder simulator;

  void SetUp() override {
    std::strcpy(orvante::g_voice.simulatorDir, simulator.Path().c_str());
    orvante::g_voice.soundSetReady = 0;
    orvante::g_mainSettings.masterVolume = 5;
    orvante::g_mainSettings.audioOutputDevice = 0;
    orvante::ResetAudioFunctionTable(orvante::g_audio);
    VoiceLogLines().clear();
    orvante::SetLogObserver([](const char* line) { VoiceLogLines().push_back(line); });
    platform::BuiltInHeadlessUserInterface().Clear();
  }
  void TearDown() override { orvante::SetLogObserver(nullptr); }

  void InstallFakeLibrary() {
    std::filesystem::path target = simulator.Path("ORVANTE/DLLs/64bit/ORVAAUDIO64.DLL");
    if (std::filesystem::exists(target)) return;  // rewriting a loaded library in place would crash it
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(FAKE_AUDIO_LIBRARY_PATH, target);
  }
  // Binds the fake and resets its journal and answers.
  void BindFake(int32_t initializeResult = 1, int32_t quePlaying = 0) {
    InstallFakeLibrary();
    ASSERT_EQ(orvante::BindAudioLibrary(nullptr), 1);
    auto reset = reinterpret_cast<void (*)(int32_t, int32_t)>(
        platform::GetProcAddress(orvante::AudioLibraryHandle(), "FAKE_AUDIO_RESET"));
    ASSERT_NE(reset, nullptr);
    reset(initializeResult, quePlaying);
  }
  std::string Journal() const {
    auto journal = reinterpret_cast<const char* (*)()>(
        platform::GetProcAddress(orvante::AudioLibraryHandle(), "FAKE_AUDIO_JOURNAL"));
    return journal ? journal() : "";
  }
  std::vector<platform::MessageBoxRecord> Boxes() const { return platform::BuiltInHeadlessUserInterface().Boxes(); }
  void WriteDescriptions(const std::string& body) { simulator.Write("VSCORVA/syserrors.ini", "[Errors]\r\n" + body); }
};
