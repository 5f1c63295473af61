// The aircraft sample and the panel variables: encodings, registration, the
// volume handed to the audio library once per change, and the runway
// identifier every five seconds of cycle time.
#include "core/panel_variables.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/advisory_unit.h"
#include "core/aircraft_sampling.h"
#include "core/key_event_handler.h"
#include "core/main_settings.h"
#include "core/module_state.h"
#include "fake_gauges.h"
#include "voice/audio_function_table.h"

using namespace orvante;

extern "C" PANELS* Panels;  // defined with the cycle's tests

namespace {

int g_volumeCalls = 0;
float g_lastVolume = -1;
int32_t CountVolume(float volume) {
  ++g_volumeCalls;
  g_lastVolume = volume;
  return 1;
}

RunwayRecord End(const char* designator, double lat, double lon) {
  RunwayRecord record{};
  std::strncpy(record.designator, designator, sizeof record.designator - 1);
  record.endLatitude = lat;
  record.endLongitude = lon;
  return record;
}

struct PanelVariablesTest : ::testing::Test {
  FakeGauges gauges;
  AdvisoryUnit unit;
  void SetUp() override {
    g_module.suspended = 0;
    g_volumeCalls = 0;
    g_audio.VSC_AUDIO_SET_VOLUME = &CountVolume;
    unit.profile.settings.MasterVolume = 5;
    unit.profile.settings.MasterSwitch = 1;
    unit.cycle.panelVarsPending = 1;
    ExchangePanelVariables(unit, gauges.Panels());  // the registration after a start
  }
};

}  // namespace

TEST_F(PanelVariablesTest, RegistrationWritesTheModulesValues) {
  EXPECT_EQ(unit.cycle.panelVarsPending.load(), 0);
  EXPECT_DOUBLE_EQ(gauges.Value("ORVA_Volume_Adjust"), 0.5);
  EXPECT_DOUBLE_EQ(gauges.Value("ORVA_Enable"), 1.0);
  EXPECT_DOUBLE_EQ(gauges.Value("ORVA_Mute"), 0.0);
}

TEST_F(PanelVariablesTest, VolumeFromAPanelReachesTheLibraryOncePerChange) {
  gauges.Write("ORVA_Volume_Adjust", 0.75);
  ExchangePanelVariables(unit, gauges.Panels());
  EXPECT_EQ(unit.profile.settings.MasterVolume.load(), 7);
  EXPECT_EQ(g_volumeCalls, 1);
  EXPECT_FLOAT_EQ(g_lastVolume, 7.0f);
  ExchangePanelVariables(unit, gauges.Panels());
  EXPECT_EQ(g_volumeCalls, 1);
}

// The volume is a step from 0 to 10 whatever a panel writes: 1.5 is the
// loudest step, not 15 (a gain of 225), and a negative value is silence.
TEST_F(PanelVariablesTest, APanelsVolumeIsHeldToZeroToTen) {
  gauges.Write("ORVA_Volume_Adjust", 1.5);
  ExchangePanelVariables(unit, gauges.Panels());
  EXPECT_EQ(unit.profile.settings.MasterVolume.load(), 10);
  EXPECT_EQ(g_mainSettings.masterVolume.load(), 10);
  EXPECT_EQ(g_volumeCalls, 1);
  EXPECT_FLOAT_EQ(g_lastVolume, 10.0f);
  gauges.Write("ORVA_Volume_Adjust", 3.0);  // still the loudest step: no new call
  ExchangePanelVariables(unit, gauges.Panels());
  EXPECT_EQ(g_volumeCalls, 1);

  gauges.Write("ORVA_Volume_Adjust", -0.4);
  ExchangePanelVariables(unit, gauges.Panels());
  EXPECT_EQ(unit.profile.settings.MasterVolume.load(), 0);
  EXPECT_EQ(g_mainSettings.masterVolume.load(), 0);
  EXPECT_FLOAT_EQ(g_lastVolume, 0.0f);
}

TEST_F(PanelVariablesTest, SwitchesAreTruncatedAndTheAlertWordIsShown) {
  gauges.Write("ORVA_Enable", 0.6);
  gauges.Write("ORVA_Mute", 1.0);
  unit.state.previousAlertWord = 0x404;
  ExchangePanelVariables(unit, gauges.Panels());
  EXPECT_EQ(unit.profile.settings.MasterSwitch.load(), 0u);
  EXPECT_EQ(unit.state.muted.load(), 1u);
  EXPECT_DOUBLE_EQ(gauges.Value("ORVA_Alert"), 0x404);
  gauges.Write("ORVA_Enable", 1.0);
  ExchangePanelVariables(unit, gauges.Panels());
  EXPECT_EQ(unit.profile.settings.MasterSwitch.load(), 1u);
}

TEST_F(PanelVariablesTest, SuspendedFramesExchangeNothing) {
  g_module.suspended = 1;
  gauges.Write("ORVA_Enable", 0.0);
  ExchangePanelVariables(unit, gauges.Panels());
  EXPECT_EQ(unit.profile.settings.MasterSwitch.load(), 1u);
  g_module.suspended = 0;
}

// The key event toggles the switch for good: the next frames read the panel
// variable, which now shows the toggled switch; a panel that writes the
// variable afterwards still decides.
TEST_F(PanelVariablesTest, TheKeyEventToggleOutlastsTheNextFrame) {
  Panels = const_cast<PANELS*>(gauges.Panels());
  g_module.unit = &unit;
  g_mainSettings.enableKeyEventApi = 1;

  keyEventHandler(kToggleKeyEvent, 0, nullptr);
  EXPECT_EQ(unit.profile.settings.MasterSwitch.load(), 0u);
  ExchangePanelVariables(unit, gauges.Panels());
  ExchangePanelVariables(unit, gauges.Panels());
  EXPECT_EQ(unit.profile.settings.MasterSwitch.load(), 0u);
  EXPECT_DOUBLE_EQ(gauges.Value("ORVA_Enable"), 0.0);

  keyEventHandler(kToggleKeyEvent, 0, nullptr);
  ExchangePanelVariables(unit, gauges.Panels());
  EXPECT_EQ(unit.profile.settings.MasterSwitch.load(), 1u);
  EXPECT_DOUBLE_EQ(gauges.Value("ORVA_Enable"), 1.0);

  gauges.Write("ORVA_Enable", 0.0);  // a panel's switch
  ExchangePanelVariables(unit, gauges.Panels());
  EXPECT_EQ(unit.profile.settings.MasterSwitch.load(), 0u);

  // Another key, or the interface switched off, changes nothing.
  keyEventHandler(kToggleKeyEvent + 1, 0, nullptr);
  g_mainSettings.enableKeyEventApi = 0;
  keyEventHandler(kToggleKeyEvent, 0, nullptr);
  ExchangePanelVariables(unit, gauges.Panels());
  EXPECT_EQ(unit.profile.settings.MasterSwitch.load(), 0u);

  // Before the registration after a start, the registration shows the toggle.
  g_mainSettings.enableKeyEventApi = 1;
  unit.cycle.panelVarsPending = 1;
  keyEventHandler(kToggleKeyEvent, 0, nullptr);
  ExchangePanelVariables(unit, gauges.Panels());
  ExchangePanelVariables(unit, gauges.Panels());
  EXPECT_EQ(unit.profile.settings.MasterSwitch.load(), 1u);
  EXPECT_DOUBLE_EQ(gauges.Value("ORVA_Enable"), 1.0);

  g_mainSettings.enableKeyEventApi = 0;
  g_module.unit = nullptr;
  Panels = nullptr;
}

TEST(RunwayIdentifier, DigitsAndSuffixCodes) {
  RunwayRecord r09l = End("09L", 0, 0), r27 = End("27", 0, 0), r18w = End("18W", 0, 0), r36c = End("36C", 0, 0);
  auto check = [](const RunwayRecord* r, int a, int b, int c) {
    RunwayIdentifierDigits d = RunwayIdentifier(r);
    EXPECT_EQ(d.digit1, a);
    EXPECT_EQ(d.digit2, b);
    EXPECT_EQ(d.suffix, c);
  };
  check(&r09l, 0, 9, 1);
  check(&r27, 2, 7, 4);
  check(&r18w, 1, 8, 5);
  check(&r36c, 3, 6, 2);
  check(nullptr, 0, 0, 0);
}

TEST_F(PanelVariablesTest, RunwayVariablesEveryFiveSecondsFromTheNearestEnd) {
  unit.runways.runwayList.push_back(std::make_unique<RunwayRecord>(End("09L", 51.4775, -0.4850)));
  unit.runways.runwayList.push_back(std::make_unique<RunwayRecord>(End("27R", 51.4775, -0.4330)));
  unit.frame.latest.latitudeDeg = 51.4776;
  unit.frame.latest.longitudeDeg = -0.4840;
  unit.cycle.panelVarTimer = 4.75f;
  ExchangePanelVariables(unit, gauges.Panels());
  EXPECT_TRUE(gauges.Writes("ORVA_Rwy_Var1").empty());
  unit.cycle.panelVarTimer = 5.0f;
  ExchangePanelVariables(unit, gauges.Panels());
  EXPECT_EQ(gauges.Writes("ORVA_Rwy_Var1"), std::vector<double>{0});
  EXPECT_EQ(gauges.Writes("ORVA_Rwy_Var2"), std::vector<double>{9});
  EXPECT_EQ(gauges.Writes("ORVA_Rwy_Var3"), std::vector<double>{1});
  EXPECT_EQ(unit.cycle.panelVarTimer.load(), 0.0f);
  // With no runway in the list the three are written as 0.
  unit.runways.runwayList.clear();
  unit.cycle.panelVarTimer = 5.0f;
  ExchangePanelVariables(unit, gauges.Panels());
  EXPECT_EQ(gauges.Writes("ORVA_Rwy_Var3").back(), 0);
}

TEST(AircraftSampling, EachFieldFromItsExpressionWithItsConversion) {
  FakeGauges gauges;
  gauges.expressions = {{"(A:PLANE LATITUDE, Degrees)", 37.6}, {"(A:PLANE LONGITUDE, Degrees)", -122.4},
                        {"(A:GPS GROUND SPEED, Knots)", 15.9}, {"(A:VERTICAL SPEED, Feet per minute)", -659},
                        {"(A:SIM ON GROUND, Bool)", 1.0},      {"(A:GEAR HANDLE POSITION, Bool)", 1.0},
                        {"(A:FLAPS HANDLE INDEX, Number)", 3}, {"(A:KOHLSMAN SETTING HG, inHg)", 29.92}};
  AircraftState s;
  SampleAircraft(gauges.Panels(), s);
  EXPECT_DOUBLE_EQ(s.latitudeDeg, 37.6);
  EXPECT_DOUBLE_EQ(s.longitudeDeg, -122.4);
  EXPECT_EQ(s.groundSpeedKt, 15);
  EXPECT_EQ(s.verticalSpeedFpm, -659);
  EXPECT_EQ(s.onGround, 1);
  EXPECT_EQ(s.gearHandle, 100);
  EXPECT_EQ(s.flapsHandleIndex, 3);
  EXPECT_DOUBLE_EQ(s.kohlsmanInHg, 29.92);
  gauges.expressions["(A:GEAR HANDLE POSITION, Bool)"] = 0.0;
  SampleAircraft(gauges.Panels(), s);
  EXPECT_EQ(s.gearHandle, 0);
}
