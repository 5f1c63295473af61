// libFuzzer target for the sound-set validator and the readers behind it.
// The first input byte chooses what the rest is:
//   0, 1, 2: a global settings, wave bank or sound bank file, checked on its
//            own and as part of a set whose other two files are sound;
//   3:       a whole set: u16 xgs length, u16 xsb length, xgs, xsb, and the
//            rest as the wave bank.
// Each file is copied into a buffer of exactly its size so AddressSanitizer
// reports any read past its end. Whatever the validator accepts must also
// read back through ListCueNames.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "xact/xact_sound_bank.h"
#include "xact/xact_validator.h"
#include "xact/xact_writer.h"

namespace {

using namespace orvante::xact;

const SoundSetFiles& GoodSet() {
  static const SoundSetFiles files = [] {
    std::vector<NamedWave> waves(3);
    const char* names[] = {"onrwy27l", "feet", "9"};
    for (int i = 0; i < 3; ++i) {
      waves[i].cueName = names[i];
      waves[i].wave.samples.assign(40 + 8 * i, static_cast<uint8_t>(i));
    }
    SoundSetFiles out;
    if (!WriteSoundSet("Fuzz", waves, out)) std::abort();
    return out;
  }();
  return files;
}

void CheckSet(const std::vector<uint8_t>& xgs, const std::vector<uint8_t>& xwb, const std::vector<uint8_t>& xsb) {
  XactCheckResult set = ValidateSoundSet(xgs.data(), xgs.size(), xwb.data(), xwb.size(), xsb.data(), xsb.size());
  if (set) {
    std::vector<std::string> names;
    if (!ListCueNames(xsb.data(), xsb.size(), names)) std::abort();
    if (!ValidateGlobalSettings(xgs.data(), xgs.size()) || !ValidateWaveBank(xwb.data(), xwb.size())) std::abort();
  } else if (set.error().empty()) {
    std::abort();  // every refusal says why
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const SoundSetFiles& good = GoodSet();
  uint8_t mode = data[0] % 4;
  std::vector<uint8_t> body(data + 1, data + size);
  switch (mode) {
    case 0:
      ValidateGlobalSettings(body.data(), body.size());
      CheckSet(body, good.xwb, good.xsb);
      break;
    case 1:
      ValidateWaveBank(body.data(), body.size());
      CheckSet(good.xgs, body, good.xsb);
      break;
    case 2: {
      ValidateSoundBank(body.data(), body.size());
      std::vector<std::string> names;
      ListCueNames(body.data(), body.size(), names);
      CheckSet(good.xgs, good.xwb, body);
      break;
    }
    default: {
      if (body.size() < 4) return 0;
      size_t xgsSize = body[0] | body[1] << 8, xsbSize = body[2] | body[3] << 8;
      if (4 + xgsSize + xsbSize > body.size()) return 0;
      std::vector<uint8_t> xgs(body.begin() + 4, body.begin() + 4 + xgsSize);
      std::vector<uint8_t> xsb(body.begin() + 4 + xgsSize, body.begin() + 4 + xgsSize + xsbSize);
      std::vector<uint8_t> xwb(body.begin() + 4 + xgsSize + xsbSize, body.end());
      CheckSet(xgs, xwb, xsb);
    }
  }
  return 0;
}
