// Validation of a sound set before FACT sees it: each file on its own, then
// the references FACT resolves at play time without checks.
#include "xact/xact_validator.h"

#include <algorithm>

#include "refusal.h"
#include "xact/xact_global_settings.h"
#include "xact/xact_layout.h"
#include "xact/xact_sound_bank.h"
#include "xact/xact_wave_bank.h"

namespace orvante::xact {
namespace {

XactCheckResult CheckWaveReference(const WaveReference& ref, const SoundBankInfo& sounds, const WaveBankInfo& waves,
                                   const char* user, uint32_t code) {
  // With one wave bank loaded, FACT falls back to it whatever name the sound
  // bank gives; a different name means the files do not belong together.
  const std::string& bankName = sounds.waveBankNames[ref.waveBank];
  if (bankName != waves.name)
    return Refuse("sound set: %s at %u plays from wave bank \"%s\", but the wave bank is \"%s\"", user, code,
                  bankName.c_str(), waves.name.c_str());
  if (ref.wave >= waves.entries.size())
    return Refuse("sound set: %s at %u plays wave %u, but the wave bank holds %zu waves", user, code, ref.wave,
                  waves.entries.size());
  return Accept();
}

}  // namespace

XactCheckResult ValidateGlobalSettings(const uint8_t* xgs, size_t xgsSize) {
  GlobalSettingsInfo info;
  return ReadGlobalSettings(xgs, xgsSize, info);
}

XactCheckResult ValidateWaveBank(const uint8_t* xwb, size_t xwbSize) {
  WaveBankInfo info;
  return ReadWaveBank(xwb, xwbSize, info);
}

XactCheckResult ValidateSoundBank(const uint8_t* xsb, size_t xsbSize) {
  SoundBankInfo info;
  return ReadSoundBank(xsb, xsbSize, info);
}

XactCheckResult ValidateSoundSet(const uint8_t* xgs, size_t xgsSize, const uint8_t* xwb, size_t xwbSize,
                                 const uint8_t* xsb, size_t xsbSize) {
  GlobalSettingsInfo settings;
  WaveBankInfo waves;
  SoundBankInfo sounds;
  if (auto r = ReadGlobalSettings(xgs, xgsSize, settings); !r) return r;
  if (auto r = ReadWaveBank(xwb, xwbSize, waves); !r) return r;
  if (auto r = ReadSoundBank(xsb, xsbSize, sounds); !r) return r;

  // FACT's 3D initialisation looks this global up and dereferences the
  // result without checking it.
  int speedOfSound = FindGlobalVariable(settings, "SpeedOfSound");
  if (speedOfSound < 0) return Refuse("sound set: the global settings lack the variable \"SpeedOfSound\"");
  if (settings.variables[speedOfSound].accessibility & kVariableCueInstance)
    return Refuse("sound set: \"SpeedOfSound\" is a cue variable, it must be global");

  std::vector<uint32_t> rpcCodes = settings.rpcCodes, dspCodes = settings.dspPresetCodes;
  std::sort(rpcCodes.begin(), rpcCodes.end());
  std::sort(dspCodes.begin(), dspCodes.end());
  for (const SoundInfo& sound : sounds.sounds) {
    if (sound.category >= settings.categoryNames.size())
      return Refuse("sound set: sound at %u is in category %u, but the global settings define %zu", sound.code,
                    sound.category, settings.categoryNames.size());
    for (uint32_t code : sound.rpcCodes)
      if (!std::binary_search(rpcCodes.begin(), rpcCodes.end(), code))
        return Refuse("sound set: sound at %u uses an RPC at %u that the global settings do not hold", sound.code,
                      code);
    for (uint32_t code : sound.dspCodes)
      if (!std::binary_search(dspCodes.begin(), dspCodes.end(), code))
        return Refuse("sound set: sound at %u uses a DSP preset at %u that the global settings do not hold", sound.code,
                      code);
    for (const WaveReference& ref : sound.waves)
      if (auto r = CheckWaveReference(ref, sounds, waves, "sound", sound.code); !r) return r;
  }
  for (const WaveReference& ref : sounds.variationWaves)
    if (auto r = CheckWaveReference(ref, sounds, waves, "variation table", 0); !r) return r;
  for (uint16_t variable : sounds.variationVariables)
    if (variable >= settings.variables.size())
      return Refuse("sound set: an interactive variation uses variable %u, but the global settings define %zu",
                    variable, settings.variables.size());
  return Accept();
}

}  // namespace orvante::xact
