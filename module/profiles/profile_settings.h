// ProfileSettings: the one loaded profile, the user's choices that the advisory
// engine, the voice output and the settings dialog read. The switches and
// limits are read by the worker's cycle while the simulator's or the dialog's
// thread may load or edit the profile, so each of them is an atomic value; the
// names are only touched on the simulator's and the dialog's threads.
//
// The field tables below describe every switch and limit once (INI key,
// default when the key is missing, default of a new profile, correction), so
// reading, writing and correcting walk the same list in the file's order.
#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace orvante {

struct ProfileSettings {
  // Switches, 0 or 1 (a few are kept as read, see kSwitchFields).
  std::atomic<uint32_t> MasterSwitch{0};
  std::atomic<uint32_t> AppRwyOnGnd{0};
  std::atomic<uint32_t> AppRwyInAir{0};
  std::atomic<uint32_t> OnRunway{0};
  std::atomic<uint32_t> RunwayEnd{0};
  std::atomic<uint32_t> TaxiwayTakeOff{0};
  std::atomic<uint32_t> InsufficientRwyLenOnGnd{0};
  std::atomic<uint32_t> ExtendedHoldingOnRwy{0};
  std::atomic<uint32_t> AppShortRwyInAir{0};
  std::atomic<uint32_t> TaxiwayLanding{0};
  std::atomic<uint32_t> TakeOffFlapMonitor{0};
  std::atomic<uint32_t> LandingDistRemain{0};
  std::atomic<uint32_t> RTODistRemain{0};
  std::atomic<uint32_t> LandingFlapMonitor{0};
  std::atomic<uint32_t> ExcessiveApprSpeed{0};
  std::atomic<uint32_t> ExcessiveApprAngle{0};
  std::atomic<uint32_t> UnstableApproach{0};
  std::atomic<uint32_t> AltSettingAbove{0};
  std::atomic<uint32_t> AltSettingBelow{0};
  std::atomic<uint32_t> LongLanding{0};
  std::atomic<uint32_t> CautionEnabled{0};
  std::atomic<uint32_t> ExcludeShortRwys{0};
  std::atomic<uint32_t> AirbusSupprZone{0};
  std::atomic<uint32_t> AnnunciateUnits{0};
  std::atomic<uint32_t> ShowAltSetMsg{0};
  std::atomic<uint32_t> RepAltSetCallOut{0};

  std::atomic<uint8_t> UnitsOfMeasure{0};  // 0 feet, 1 meters

  // Limits.
  std::atomic<uint32_t> MinTakeOffLength{0};    // in the units of measure
  std::atomic<uint32_t> MinLandingLength{0};    // in the units of measure
  std::atomic<uint32_t> TouchdownZoneLen{0};    // percent of the runway
  std::atomic<uint32_t> ExtHoldInitialTime{0};  // seconds
  std::atomic<uint32_t> ExtHoldRepeatTime{0};   // seconds
  std::atomic<uint32_t> MinTakeOffFlaps{0};     // degrees, or lever position (Airbus zone)
  std::atomic<uint32_t> MinLandingFlaps{0};
  std::atomic<uint32_t> MaxApproachSpeed{0};    // knots
  std::atomic<uint32_t> UpperFlapGateAlert{0};  // feet above ground
  std::atomic<uint32_t> LowerFlapGateAlert{0};  // feet above ground
  std::atomic<uint32_t> TransitionAltitude{0};  // feet
  std::atomic<uint32_t> TransitionLevel{0};     // feet

  std::atomic<float> AltSetTolerance{0.0f};  // inches of mercury
  std::atomic<int32_t> MasterVolume{0};      // 0 to 10, equal to the main setting

  char SoundSet[70] = {};
  char profileName[70] = {};  // the loaded profile's file name without ".INI"
};

// What happens to a switch after it is read from a file.
enum class SwitchCorrection {
  kClampToOne,  // above 1 (compared unsigned) becomes 1
  kKeep,        // kept as read
};

struct SwitchField {
  const char* key;
  std::atomic<uint32_t> ProfileSettings::*field;
  uint32_t missingDefault;  // value when the key is missing from a file
  uint32_t newDefault;      // value in a newly created profile
  SwitchCorrection correction;
};

// A limit read as negative takes its default; missing and new defaults agree.
struct LimitField {
  const char* key;
  std::atomic<uint32_t> ProfileSettings::*field;
  uint32_t defaultValue;
};

// The 26 switches and the 12 limits, in the order of the profile file.
extern const std::array<SwitchField, 26> kSwitchFields;
extern const std::array<LimitField, 12> kLimitFields;

inline constexpr uint8_t kUnitsMissingDefault = 0;  // feet
inline constexpr uint8_t kUnitsNewDefault = 1;      // meters
inline constexpr float kDefaultAltSetTolerance = 0.05f;

// Sets every switch, limit, the tolerance, the volume, the sound set and the
// profile name to zero or empty.
void ClearProfileSettings(ProfileSettings& settings);

// The new-profile default of every switch, limit, units and tolerance.
void ApplyNewProfileDefaults(ProfileSettings& settings);

// The corrections made after reading a file, in the order switches, units,
// limits, sound set. Switches and limits hold the values as read (a negative
// limit as its two's-complement bit pattern). The sound set is replaced by the
// first installed one when empty or not installed; with none installed it is
// kept as read.
void CorrectProfileSettings(ProfileSettings& settings, const std::vector<std::string>& soundSetNames);

// UnitsOfMeasure from the integer a file holds: its low 8 bits, 2 or more
// becoming 1.
uint8_t CorrectUnitsOfMeasure(int32_t value);

// AltSetTolerance from the text a file holds: 0.05 when empty, else the
// text's leading decimal number, 0.0 when there is none.
float ParseAltSetTolerance(const std::string& text);

// Copies text into a fixed name buffer, cut to size - 1 characters.
template <size_t N>
void CopyName(char (&buffer)[N], const std::string& text) {
  size_t n = text.size() < N - 1 ? text.size() : N - 1;
  text.copy(buffer, n);
  buffer[n] = '\0';
  for (size_t i = n + 1; i < N; ++i) buffer[i] = '\0';
}

// Whether two names are the same without regard to letter case.
bool SameName(const std::string& a, const std::string& b);

}  // namespace orvante
