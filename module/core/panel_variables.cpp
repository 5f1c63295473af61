// Exchanging the named panel variables with the aircraft's panels.
#include "core/panel_variables.h"

#include <mutex>

#include "advisories/nearest_runway.h"
#include "core/advisory_unit.h"
#include "core/main_settings.h"
#include "core/module_state.h"
#include "voice/announcement_playback.h"

namespace orvante {
namespace {

// A panel's float narrowed to single precision, then truncated toward zero.
int32_t PanelWhole(double value) {
  float narrowed = static_cast<float>(value);
  if (!(narrowed == narrowed) || narrowed >= 2147483647.0f || narrowed <= -2147483648.0f) return 0;
  return static_cast<int32_t>(narrowed);
}

int32_t DigitValue(char c) { return c >= '0' && c <= '9' ? c - '0' : 0; }

}  // namespace

RunwayIdentifierDigits RunwayIdentifier(const RunwayRecord* runwayEnd) {
  RunwayIdentifierDigits digits;
  if (runwayEnd == nullptr) return digits;
  const char* designator = runwayEnd->designator;
  digits.digit1 = DigitValue(designator[0]);
  digits.digit2 = designator[0] ? DigitValue(designator[1]) : 0;
  char suffix = designator[0] && designator[1] ? designator[2] : '\0';
  switch (suffix) {
    case 'L': digits.suffix = 1; break;
    case 'C': digits.suffix = 2; break;
    case 'R': digits.suffix = 3; break;
    case '\0': digits.suffix = designator[0] ? 4 : 0; break;
    case 'W': digits.suffix = 5; break;
    default: digits.suffix = 0; break;
  }
  return digits;
}

void ExchangePanelVariables(AdvisoryUnit& unit, const PANELS* panels) {
  if (panels == nullptr || g_module.suspended.load() != 0) return;
  auto registerVariable = GaugeFunction<register_named_variable_fn>(panels, kRegisterNamedVariable);
  auto get = GaugeFunction<get_named_variable_value_fn>(panels, kGetNamedVariableValue);
  auto set = GaugeFunction<set_named_variable_value_fn>(panels, kSetNamedVariableValue);
  if (registerVariable == nullptr || get == nullptr || set == nullptr) return;
  PanelVariableIds& ids = unit.panelVariables;
  ProfileSettings& profile = unit.profile.settings;

  if (unit.cycle.panelVarsPending.load() == 1) {
    // After a simulation start: register, then write the module's own values.
    ids.volumeAdjust = registerVariable("ORVA_Volume_Adjust");
    ids.rwyVar1 = registerVariable("ORVA_Rwy_Var1");
    ids.rwyVar2 = registerVariable("ORVA_Rwy_Var2");
    ids.rwyVar3 = registerVariable("ORVA_Rwy_Var3");
    ids.enable = registerVariable("ORVA_Enable");
    ids.alert = registerVariable("ORVA_Alert");
    ids.mute = registerVariable("ORVA_Mute");
    ids.registered = true;
    set(ids.volumeAdjust, static_cast<double>(static_cast<float>(profile.MasterVolume.load()) / 10.0f));
    set(ids.enable, profile.MasterSwitch.load());
    set(ids.alert, unit.state.previousAlertWord.load());
    set(ids.mute, unit.state.muted.load());
    unit.cycle.panelVarsPending = 0;
  } else if (ids.registered) {
    // The panels' switches, mute and volume.
    profile.MasterSwitch = static_cast<uint32_t>(PanelWhole(get(ids.enable)));
    // 0.0 to 1.0 is volume 0 to 10; a panel's value beyond is held to the range.
    int32_t volume =
        ClampMasterVolume(PanelWhole(static_cast<double>(static_cast<float>(get(ids.volumeAdjust)) * 10.0f)));
    unit.state.muted = static_cast<uint32_t>(PanelWhole(get(ids.mute)));
    if (volume != profile.MasterVolume.load()) ChangeMasterVolume(profile, volume);
    set(ids.alert, unit.state.previousAlertWord.load());
  }

  // Every 5 s of cycle time: the nearest runway end's identifier.
  if (ids.registered && static_cast<int32_t>(unit.cycle.panelVarTimer.load()) >= 5) {
    RunwayIdentifierDigits digits;
    {
      AircraftState now;
      {
        std::lock_guard<std::mutex> lock(unit.frame.lock);
        now = unit.frame.latest;
      }
      std::lock_guard<std::mutex> lock(unit.runwayListLock);
      digits = RunwayIdentifier(
          NearestRunway(unit.runways.runwayList, now.latitudeDeg, now.longitudeDeg, NearestRunwayMode::kEndPoint));
    }
    set(ids.rwyVar1, digits.digit1);
    set(ids.rwyVar2, digits.digit2);
    set(ids.rwyVar3, digits.suffix);
    unit.cycle.panelVarTimer = 0;
  }
}

void ShowMasterSwitch(AdvisoryUnit& unit, const PANELS* panels) {
  if (panels == nullptr || !unit.panelVariables.registered || unit.cycle.panelVarsPending.load() != 0) return;
  auto set = GaugeFunction<set_named_variable_value_fn>(panels, kSetNamedVariableValue);
  if (set == nullptr) return;
  set(unit.panelVariables.enable, unit.profile.settings.MasterSwitch.load());
}

void RefreshPanelVariables(AdvisoryUnit& unit, const PANELS* panels) {
  if (panels == nullptr || !unit.panelVariables.registered || unit.cycle.panelVarsPending.load() != 0) return;
  auto set = GaugeFunction<set_named_variable_value_fn>(panels, kSetNamedVariableValue);
  if (set == nullptr) return;
  const ProfileSettings& profile = unit.profile.settings;
  set(unit.panelVariables.volumeAdjust, static_cast<double>(static_cast<float>(profile.MasterVolume.load()) / 10.0f));
  set(unit.panelVariables.enable, profile.MasterSwitch.load());
}

}  // namespace orvante
