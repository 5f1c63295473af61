// The profile's fields described once: defaults, corrections after reading,
// and the clearing and new-profile defaults that every profile operation
// starts from.
#include "profiles/profile_settings.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "common/text.h"

namespace orvante {

using PS = ProfileSettings;
using SC = SwitchCorrection;

const std::array<SwitchField, 26> kSwitchFields = {{
    {"MasterSwitch", &PS::MasterSwitch, 0, 0, SC::kClampToOne},
    {"AppRwyOnGnd", &PS::AppRwyOnGnd, 1, 1, SC::kClampToOne},
    {"AppRwyInAir", &PS::AppRwyInAir, 1, 1, SC::kClampToOne},
    {"OnRunway", &PS::OnRunway, 1, 1, SC::kClampToOne},
    {"RunwayEnd", &PS::RunwayEnd, 1, 1, SC::kClampToOne},
    {"TaxiwayTakeOff", &PS::TaxiwayTakeOff, 1, 1, SC::kClampToOne},
    {"InsufficientRwyLenOnGnd", &PS::InsufficientRwyLenOnGnd, 1, 1, SC::kClampToOne},
    {"ExtendedHoldingOnRwy", &PS::ExtendedHoldingOnRwy, 1, 1, SC::kClampToOne},
    {"AppShortRwyInAir", &PS::AppShortRwyInAir, 0, 1, SC::kClampToOne},
    {"TaxiwayLanding", &PS::TaxiwayLanding, 1, 1, SC::kClampToOne},
    {"TakeOffFlapMonitor", &PS::TakeOffFlapMonitor, 1, 1, SC::kClampToOne},
    {"LandingDistRemain", &PS::LandingDistRemain, 1, 1, SC::kClampToOne},
    {"RTODistRemain", &PS::RTODistRemain, 1, 1, SC::kClampToOne},
    {"LandingFlapMonitor", &PS::LandingFlapMonitor, 1, 1, SC::kKeep},
    {"ExcessiveApprSpeed", &PS::ExcessiveApprSpeed, 1, 1, SC::kKeep},
    {"ExcessiveApprAngle", &PS::ExcessiveApprAngle, 1, 1, SC::kKeep},
    {"UnstableApproach", &PS::UnstableApproach, 1, 1, SC::kKeep},
    {"AltSettingAbove", &PS::AltSettingAbove, 1, 1, SC::kKeep},
    {"AltSettingBelow", &PS::AltSettingBelow, 1, 1, SC::kKeep},
    {"LongLanding", &PS::LongLanding, 1, 1, SC::kKeep},
    {"CautionEnabled", &PS::CautionEnabled, 1, 1, SC::kClampToOne},
    {"ExcludeShortRwys", &PS::ExcludeShortRwys, 0, 0, SC::kClampToOne},
    {"AirbusSupprZone", &PS::AirbusSupprZone, 1, 1, SC::kClampToOne},
    {"AnnunciateUnits", &PS::AnnunciateUnits, 1, 1, SC::kClampToOne},
    {"ShowAltSetMsg", &PS::ShowAltSetMsg, 0, 0, SC::kClampToOne},
    {"RepAltSetCallOut", &PS::RepAltSetCallOut, 1, 1, SC::kClampToOne},
}};

const std::array<LimitField, 12> kLimitFields = {{
    {"MinTakeOffLength", &PS::MinTakeOffLength, 1000},
    {"MinLandingLength", &PS::MinLandingLength, 800},
    {"TouchdownZoneLen", &PS::TouchdownZoneLen, 25},
    {"ExtHoldInitialTime", &PS::ExtHoldInitialTime, 60},
    {"ExtHoldRepeatTime", &PS::ExtHoldRepeatTime, 30},
    {"MinTakeOffFlaps", &PS::MinTakeOffFlaps, 1},
    {"MinLandingFlaps", &PS::MinLandingFlaps, 3},
    {"MaxApproachSpeed", &PS::MaxApproachSpeed, 200},
    {"UpperFlapGateAlert", &PS::UpperFlapGateAlert, 950},
    {"LowerFlapGateAlert", &PS::LowerFlapGateAlert, 600},
    {"TransitionAltitude", &PS::TransitionAltitude, 18000},
    {"TransitionLevel", &PS::TransitionLevel, 18000},
}};

void ClearProfileSettings(ProfileSettings& settings) {
  for (const SwitchField& f : kSwitchFields) (settings.*f.field) = 0;
  settings.UnitsOfMeasure = 0;
  for (const LimitField& f : kLimitFields) (settings.*f.field) = 0;
  settings.AltSetTolerance = 0.0f;
  settings.MasterVolume = 0;
  CopyName(settings.SoundSet, "");
  CopyName(settings.profileName, "");
}

void ApplyNewProfileDefaults(ProfileSettings& settings) {
  for (const SwitchField& f : kSwitchFields) (settings.*f.field) = f.newDefault;
  settings.UnitsOfMeasure = kUnitsNewDefault;
  for (const LimitField& f : kLimitFields) (settings.*f.field) = f.defaultValue;
  settings.AltSetTolerance = kDefaultAltSetTolerance;
}

uint8_t CorrectUnitsOfMeasure(int32_t value) {
  uint8_t low = static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFF);
  return low >= 2 ? 1 : low;
}

void CorrectProfileSettings(ProfileSettings& settings, const std::vector<std::string>& soundSetNames) {
  for (const SwitchField& f : kSwitchFields)
    if (f.correction == SwitchCorrection::kClampToOne && (settings.*f.field) > 1) (settings.*f.field) = 1;
  settings.UnitsOfMeasure = CorrectUnitsOfMeasure(settings.UnitsOfMeasure);
  for (const LimitField& f : kLimitFields)
    if (static_cast<int32_t>((settings.*f.field).load()) < 0) (settings.*f.field) = f.defaultValue;
  if (soundSetNames.empty()) return;
  const std::string soundSet = settings.SoundSet;
  bool installed = false;
  for (const std::string& name : soundSetNames) installed = installed || SameName(name, soundSet);
  if (soundSet.empty() || !installed) CopyName(settings.SoundSet, soundSetNames.front());
}

float ParseAltSetTolerance(const std::string& text) {
  if (text.empty()) return kDefaultAltSetTolerance;
  // The leading decimal number: blanks, a sign, digits with an optional
  // fraction and exponent. Parsed without the locale, so a decimal comma in
  // the user's locale changes nothing.
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  size_t start = i;
  auto digits = [&] {
    size_t from = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    return i - from;
  };
  size_t mantissaDigits = digits();
  if (i < text.size() && text[i] == '.') {
    ++i;
    mantissaDigits += digits();
  }
  if (mantissaDigits == 0) return 0.0f;
  size_t end = i;
  bool tinyExponent = false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool negativeExponent = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (digits() > 0) end = i, tinyExponent = negativeExponent;
  }
  double value = 0.0;
  if (std::from_chars(text.data() + start, text.data() + end, value, std::chars_format::general).ec ==
      std::errc::result_out_of_range)
    value = tinyExponent ? 0.0 : std::numeric_limits<float>::max();
  value = std::min<double>(value, std::numeric_limits<float>::max());
  return static_cast<float>(negative ? -value : value);
}

bool SameName(const std::string& a, const std::string& b) { return common::EqualsIgnoringCase(a, b); }

}  // namespace orvante
