// The check of a sound set: validate the three files together, list the
// cues, and compare them with the names the unit composes.
#include "soundset/sound_set_check.h"

#include <unordered_set>

#include "soundset/composable_cues.h"
#include "xact/xact_sound_bank.h"
#include "xact/xact_validator.h"

namespace orvante::soundset {

SoundSetReport CheckSoundSet(const xact::SoundSetFiles& files) {
  SoundSetReport report;
  xact::XactCheckResult valid = xact::ValidateSoundSet(files.xgs.data(), files.xgs.size(), files.xwb.data(),
                                                       files.xwb.size(), files.xsb.data(), files.xsb.size());
  if (!valid) {
    report.damage = valid.error();
    return report;
  }
  report.sound = true;
  // A sound bank that passed the validator always lists.
  static_cast<void>(xact::ListCueNames(files.xsb.data(), files.xsb.size(), report.cueNames));
  // Lookup in FACT is an exact, case-sensitive comparison.
  std::unordered_set<std::string> present(report.cueNames.begin(), report.cueNames.end());
  for (const std::string& name : ComposableCueNames())
    if (!present.count(name)) report.missing.push_back(name);
  return report;
}

}  // namespace orvante::soundset
