// Project file validation through the sound-set validator. Each file is
// checked on its own first, so a failure names the file at fault; the
// references between the files are checked last and blamed on the sound bank,
// which is the file that makes them.
#include "project_validation.h"

#include <cstring>

#include "audio_engine.h"
#include "xact/xact_validator.h"

namespace vscaudio {

namespace {

// The least every file must show: its magic. An empty or foreign file is
// refused with these short messages before the validator reads further.
bool HasMagic(const ProjectFile& file, const char* magic) {
  return file.data.size() >= 4 && std::memcmp(file.data.data(), magic, 4) == 0;
}

}  // namespace

common::Result<void, ProjectFault> ValidateProjectFiles(const ProjectFile& xgs, const ProjectFile& xwb,
                                                        const ProjectFile& xsb) {
  auto fail = [](int file, const std::string& message) { return common::FailWith(ProjectFault{file, message}); };
  if (!HasMagic(xgs, "XGSF")) return fail(kGlobalSettings, "global settings file: no XGSF header");
  if (!HasMagic(xwb, "WBND")) return fail(kWaveBank, "wave bank file: no WBND header");
  if (!HasMagic(xsb, "SDBK")) return fail(kSoundBank, "sound bank file: no SDBK header");
  using namespace orvante::xact;
  if (auto r = ValidateGlobalSettings(xgs.data.data(), xgs.data.size()); !r) return fail(kGlobalSettings, r.error());
  if (auto r = ValidateWaveBank(xwb.data.data(), xwb.data.size()); !r) return fail(kWaveBank, r.error());
  if (auto r = ValidateSoundBank(xsb.data.data(), xsb.data.size()); !r) return fail(kSoundBank, r.error());
  if (auto r = ValidateSoundSet(xgs.data.data(), xgs.data.size(), xwb.data.data(), xwb.data.size(), xsb.data.data(),
                                xsb.data.size());
      !r) {
    return fail(kSoundBank, r.error());
  }
  return {};
}

}  // namespace vscaudio
