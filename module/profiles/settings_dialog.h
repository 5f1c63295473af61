// The settings dialog, "Orvante": the user's window onto the loaded profile
// and the module-wide settings (output device, master volume, key-event
// switch). It fills its controls from the settings, enables them by the
// master switch, checks the entries before anything is saved, reads them
// back, and runs the profile commands, the audio test, the error log and the
// About box. Any front end shows it (platform/dialog.h); tests drive it
// directly.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/result.h"
#include "profiles/profile_part.h"
#include "platform/dialog.h"

namespace orvante {

// Identifiers of the main dialog's controls and menu items.
enum SettingsControl : int {
  kProfileNameLabel = 1000,
  kMasterSwitchBox,
  kSoundSetList,
  kMasterVolumeSlider,
  // The 20 advisory check boxes, in the order of kAdvisoryBoxes.
  kFirstAdvisoryBox,
  kUnitsList = kFirstAdvisoryBox + 20,
  kMinTakeOffLengthBox,
  kMinLandingLengthBox,
  kTouchdownZoneBox,
  kExcludeShortRwysBox,
  kAnnunciateUnitsBox,
  kHoldPeriodsLabel,
  kExtHoldInitialBox,
  kExtHoldRepeatBox,
  kMinTakeOffFlapsBox,
  kMinLandingFlapsBox,
  kLowerFlapGateBox,
  kUpperFlapGateBox,
  kMaxApproachSpeedBox,
  kTransitionAltitudeBox,
  kTransitionLevelBox,
  kAltSetToleranceBox,
  kRepAltSetCallOutBox,
  kShowAltSetMsgBox,
  kAirbusZoneButton,
  kBoeingZoneButton,
  kAudioDeviceList,
  kKeyEventApiBox,
  kCloseAndSaveButton,
  // Menu items.
  kMenuCreate = 2000,
  kMenuOpen,
  kMenuSave,
  kMenuDelete,
  kMenuLinkModel,
  kMenuUnlinkModel,
  kMenuAudioTest,
  kMenuErrorLog,
  kMenuAbout,
};

// A check box of the dialog and the profile switch it edits.
struct AdvisoryBox {
  const char* caption;
  std::atomic<uint32_t> ProfileSettings::*field;
};
extern const AdvisoryBox kAdvisoryBoxes[20];

class SettingsDialog : public platform::Dialog {
 public:
  // The output devices by index; ListAudioDevices unless a test says otherwise.
  using DeviceLister = std::function<std::vector<std::string>()>;

  // flapPositions: flap deflection per detent of the loaded aircraft, read
  // when the entries are checked.
  SettingsDialog(ProfilePart& part, const std::vector<uint32_t>& flapPositions, DeviceLister listDevices = {});

  void Open() override;
  void Command(int id) override;
  void SliderReleased(int id) override;
  void CloseRequested() override;

  // Shows the settings in the controls, then enables them by the master switch.
  void Fill();
  // Enables the controls the master switch governs when its box is set.
  void ApplyMasterSwitch();
  // The checks on the boxes as they stand; a failure is the message of the
  // first that fails.
  common::Result<> Validate() const;
  // Copies the controls into the profile and the main settings (the entries
  // must have passed the checks).
  void ReadControls();
  // Checks the entries (showing the first failure), then reads them, saves
  // the profile and writes the main settings. False when a check failed.
  bool Save();

 private:
  ProfilePart& part_;
  const std::vector<uint32_t>& flapPositions_;
  DeviceLister listDevices_;
};

// Runs the settings dialog modally on a profile part and the aircraft's flap
// positions, owned by the given window; returns when it closes.
void RunSettingsDialog(ProfilePart& part, const std::vector<uint32_t>& flapPositions, platform::WindowHandle owner);

}  // namespace orvante
