// Reads an XACT3 sound bank the way FACT parses it: header, bank and wave
// bank names, sounds with their tracks and events, cues, variation and
// transition tables, the cue hash, the name index and the names, contiguous
// and in that order. Offsets in the header must match where each section
// lies, since newer FAudio seeks by them while older FAudio reads on.
#include "xact/xact_sound_bank.h"

#include <algorithm>

#include "byte_cursor.h"
#include "refusal.h"
#include "xact/xact_layout.h"

namespace orvante::xact {
namespace {

constexpr uint32_t kXsbMagicSwapped = 0x5344424B;

XactCheckResult CheckSectionAt(const ByteCursor& cursor, int32_t offset, const char* section) {
  if (cursor.failed()) return Refuse("sound bank: file ends before the %s", section);
  if (offset < 0 || static_cast<size_t>(offset) != cursor.position())
    return Refuse("sound bank: %s offset is %d but the section starts at %zu", section, offset, cursor.position());
  return Accept();
}

// The wave references of a track-variation list: u32 count and variation,
// 4 unknown bytes, then per track u16 wave, u8 bank, u8 min and max weight.
XactCheckResult ReadTrackVariation(ByteCursor& cursor, SoundInfo& sound) {
  uint32_t countAndVariation = cursor.U32();
  cursor.Skip(4);
  uint32_t count = countAndVariation & 0xFFFF;
  if (!cursor.failed() && count == 0) return Refuse("sound bank: sound at %u chooses among no waves", sound.code);
  for (uint32_t t = 0; t < count; ++t) {
    WaveReference ref;
    ref.wave = cursor.U16();
    ref.waveBank = cursor.U8();
    cursor.Skip(2);
    sound.waves.push_back(ref);
  }
  return Accept();
}

XactCheckResult ReadTrackEvents(ByteCursor& cursor, SoundInfo& sound) {
  uint8_t eventCount = cursor.U8();
  for (uint8_t e = 0; e < eventCount && !cursor.failed(); ++e) {
    uint32_t eventInfo = cursor.U32();
    cursor.Skip(2 + 1);  // random offset, separator
    uint32_t type = eventInfo & 0x1F;
    switch (type) {
      case kEventStop: cursor.Skip(1); break;
      case kEventPlayWave:
      case kEventPlayWaveEffectVariation: {
        cursor.Skip(1);
        WaveReference ref;
        ref.wave = cursor.U16();
        ref.waveBank = cursor.U8();
        cursor.Skip(1 + 2 + 2);  // loop count, position, angle
        sound.waves.push_back(ref);
        if (type == kEventPlayWaveEffectVariation) cursor.Skip(2 + 2 + 1 + 1 + 16 + 2);
        break;
      }
      case kEventPlayWaveTrackVariation:
      case kEventPlayWaveTrackEffectVariation:
        cursor.Skip(1 + 1 + 2 + 2);  // flags, loop count, position, angle
        if (type == kEventPlayWaveTrackEffectVariation) cursor.Skip(2 + 2 + 1 + 1 + 16 + 2);
        if (auto r = ReadTrackVariation(cursor, sound); !r) return r;
        break;
      case kEventPitch:
      case kEventVolume:
      case kEventPitchRepeating:
      case kEventVolumeRepeating: {
        uint8_t settings = cursor.U8();
        if (settings & 1) {
          cursor.Skip(4 + 4 + 4 + 2);  // ramp
        } else {
          cursor.Skip(1 + 4 + 4 + 5);  // equation
          if (type == kEventPitchRepeating || type == kEventVolumeRepeating) cursor.Skip(2 + 2);
        }
        break;
      }
      case kEventMarker: cursor.Skip(4); break;
      case kEventMarkerRepeating: cursor.Skip(4 + 2 + 2); break;
      default:
        // FACT reads no payload for a type it does not know and misreads
        // everything after it.
        if (cursor.failed()) break;
        return Refuse("sound bank: sound at %u has an event of unknown type %u", sound.code, type);
    }
  }
  if (cursor.failed()) return Refuse("sound bank: file ends inside the events of the sound at %u", sound.code);
  return Accept();
}

// A read past the end leaves the cursor failed, for the caller to test.
void ReadCodeList(ByteCursor& cursor, std::vector<uint32_t>& codes) {
  uint8_t count = cursor.U8();
  for (uint8_t k = 0; k < count; ++k) codes.push_back(cursor.U32());
}

XactCheckResult ReadSound(ByteCursor& cursor, uint16_t contentVersion, SoundInfo& sound) {
  sound.code = static_cast<uint32_t>(cursor.position());
  sound.flags = cursor.U8();
  sound.category = cursor.U16();
  sound.volume = cursor.U8();
  cursor.Skip(2 + 1 + 2);  // pitch, priority, record length
  uint8_t trackCount = 1;
  if (sound.flags & kSoundComplex) {
    trackCount = cursor.U8();
    if (!cursor.failed() && trackCount == 0) return Refuse("sound bank: sound at %u has no tracks", sound.code);
  } else {
    WaveReference ref;
    ref.wave = cursor.U16();
    ref.waveBank = cursor.U8();
    sound.waves.push_back(ref);
  }
  if (sound.flags & kSoundRpcAny) {
    size_t blockStart = cursor.position();
    uint16_t blockLength = cursor.U16();
    if (sound.flags & kSoundRpc) ReadCodeList(cursor, sound.rpcCodes);
    if (sound.flags & kSoundTrackRpc)
      for (uint8_t t = 0; t < trackCount; ++t) ReadCodeList(cursor, sound.rpcCodes);
    if (cursor.failed()) return Refuse("sound bank: file ends inside the RPC codes of the sound at %u", sound.code);
    if (cursor.position() - blockStart != blockLength)
      return Refuse("sound bank: RPC block of the sound at %u is %zu bytes, its length field says %u", sound.code,
                    cursor.position() - blockStart, blockLength);
  }
  if (sound.flags & kSoundDsp) {
    cursor.Skip(2);
    ReadCodeList(cursor, sound.dspCodes);
  }
  if (sound.flags & kSoundComplex) {
    std::vector<uint32_t> eventOffsets;
    for (uint8_t t = 0; t < trackCount; ++t) {
      cursor.Skip(1);  // volume
      eventOffsets.push_back(cursor.U32());
      if (contentVersion != kContentVersionNoTrackFilter) cursor.Skip(2 + 2);
    }
    for (uint8_t t = 0; t < trackCount; ++t) {
      if (cursor.failed()) break;
      if (eventOffsets[t] != cursor.position())
        return Refuse("sound bank: track %u of the sound at %u says its events are at %u, they start at %zu", t,
                      sound.code, eventOffsets[t], cursor.position());
      if (auto r = ReadTrackEvents(cursor, sound); !r) return r;
    }
  }
  if (cursor.failed()) return Refuse("sound bank: file ends inside the sound at %u", sound.code);
  return Accept();
}

bool Contains(const std::vector<uint32_t>& sorted, uint32_t value) {
  return std::binary_search(sorted.begin(), sorted.end(), value);
}

// The header's counts and the offsets of the sections that follow it.
struct SoundBankHeader {
  uint16_t simpleCueCount = 0;
  uint16_t complexCueCount = 0;
  uint16_t cueHashCount = 0;
  uint8_t waveBankCount = 0;
  uint16_t soundCount = 0;
  int32_t simpleCueOffset = 0;
  int32_t complexCueOffset = 0;
  int32_t cueNameOffset = 0;
  int32_t variationOffset = 0;
  int32_t transitionOffset = 0;
  int32_t waveBankNameOffset = 0;
  int32_t cueHashOffset = 0;
  int32_t cueNameIndexOffset = 0;
  int32_t soundOffset = 0;

  size_t CueCount() const { return size_t{simpleCueCount} + complexCueCount; }
};

// The file offsets the variation tables give, for the cross-checks at the end.
struct VariationTables {
  std::vector<uint32_t> codes;      // where each table starts
  std::vector<uint32_t> sounds;     // the sounds the tables choose among
  std::vector<uint32_t> waveCodes;  // where each table that chooses among waves starts
};

// Signature, versions, platform, counts, offsets and the bank's own name.
XactCheckResult ReadHeader(ByteCursor& cursor, SoundBankInfo& info, SoundBankHeader& header) {
  uint32_t magic = cursor.U32();
  if (magic == kXsbMagicSwapped) return Refuse("sound bank: big-endian (Xbox 360) files are not supported");
  if (magic != kXsbMagic) return Refuse("sound bank: not an XACT sound bank (no SDBK signature)");
  info.contentVersion = cursor.U16();
  if (info.contentVersion < kContentVersionMin || info.contentVersion > kContentVersionMax)
    return Refuse("sound bank: content version %u is not supported (43 to 46)", info.contentVersion);
  uint16_t tool = cursor.U16();
  if (tool != kXsbToolVersion) return Refuse("sound bank: tool version %u is not supported (43)", tool);
  cursor.Skip(2 + 8);
  uint8_t platform = cursor.U8();
  if (platform != 0 && platform != 1 && platform != 3)
    return Refuse("sound bank: platform %u is not supported (0, 1 or 3)", platform);

  header.simpleCueCount = cursor.U16();
  header.complexCueCount = cursor.U16();
  cursor.Skip(2);
  header.cueHashCount = cursor.U16();
  header.waveBankCount = cursor.U8();
  header.soundCount = cursor.U16();
  cursor.Skip(2 + 2);  // cue name table length, unknown
  header.simpleCueOffset = cursor.S32();
  header.complexCueOffset = cursor.S32();
  header.cueNameOffset = cursor.S32();
  cursor.Skip(4);
  header.variationOffset = cursor.S32();
  header.transitionOffset = cursor.S32();
  header.waveBankNameOffset = cursor.S32();
  header.cueHashOffset = cursor.S32();
  header.cueNameIndexOffset = cursor.S32();
  header.soundOffset = cursor.S32();

  info.name = cursor.FixedString(kFixedNameSize);
  if (cursor.failed()) return Refuse("sound bank: bank name is not terminated within 64 bytes");
  return Accept();
}

XactCheckResult ReadWaveBankNames(ByteCursor& cursor, const SoundBankHeader& header, SoundBankInfo& info) {
  if (auto r = CheckSectionAt(cursor, header.waveBankNameOffset, "wave bank names"); !r) return r;
  for (uint8_t i = 0; i < header.waveBankCount; ++i) {
    info.waveBankNames.push_back(cursor.FixedString(kFixedNameSize));
    if (cursor.failed()) return Refuse("sound bank: wave bank name %u is cut off or not terminated within 64 bytes", i);
  }
  return Accept();
}

XactCheckResult ReadSounds(ByteCursor& cursor, const SoundBankHeader& header, SoundBankInfo& info) {
  if (auto r = CheckSectionAt(cursor, header.soundOffset, "sounds"); !r) return r;
  for (uint16_t i = 0; i < header.soundCount; ++i) {
    SoundInfo sound;
    if (auto r = ReadSound(cursor, info.contentVersion, sound); !r) return r;
    for (const WaveReference& ref : sound.waves)
      if (ref.waveBank >= header.waveBankCount)
        return Refuse("sound bank: sound at %u uses wave bank slot %u of %u", sound.code, ref.waveBank,
                      header.waveBankCount);
    info.sounds.push_back(std::move(sound));
  }
  return Accept();
}

// The simple cues, then the complex ones; FACT counts the variation and
// transition tables from the complex cues, and so does this reader.
XactCheckResult ReadCues(ByteCursor& cursor, const SoundBankHeader& header, SoundBankInfo& info, size_t& variationCount,
                         size_t& transitionCount) {
  variationCount = 0;
  transitionCount = 0;
  if (header.simpleCueCount > 0)
    if (auto r = CheckSectionAt(cursor, header.simpleCueOffset, "simple cues"); !r) return r;
  for (uint16_t i = 0; i < header.simpleCueCount; ++i) {
    CueInfo cue;
    cue.flags = cursor.U8();
    cue.code = cursor.U32();
    info.cues.push_back(cue);
  }
  if (header.complexCueCount > 0)
    if (auto r = CheckSectionAt(cursor, header.complexCueOffset, "complex cues"); !r) return r;
  for (uint16_t i = 0; i < header.complexCueCount; ++i) {
    CueInfo cue;
    cue.flags = cursor.U8();
    cue.code = cursor.U32();
    uint32_t transition = cursor.U32();
    cursor.Skip(1 + 2 + 2 + 1);
    if (!(cue.flags & kCueCodeIsSound)) ++variationCount;
    if (transition != 0xFFFFFFFF && transition != 0) ++transitionCount;
    info.cues.push_back(cue);
  }
  if (cursor.failed()) return Refuse("sound bank: file ends inside the %zu cues", header.CueCount());
  return Accept();
}

XactCheckResult ReadVariationTables(ByteCursor& cursor, const SoundBankHeader& header, size_t variationCount,
                                    SoundBankInfo& info, VariationTables& tables) {
  if (variationCount > 0)
    if (auto r = CheckSectionAt(cursor, header.variationOffset, "variation tables"); !r) return r;
  for (size_t i = 0; i < variationCount; ++i) {
    tables.codes.push_back(static_cast<uint32_t>(cursor.position()));
    uint32_t countAndFlags = cursor.U32();
    cursor.Skip(2);
    uint16_t variable = static_cast<uint16_t>(cursor.S16());
    uint32_t entries = countAndFlags & 0xFFFF;
    uint32_t kind = (countAndFlags >> 19) & 0x7;
    if (cursor.failed()) break;
    if (entries == 0) return Refuse("sound bank: variation table %zu is empty", i);
    for (uint32_t j = 0; j < entries; ++j) {
      if (kind == 0 || kind == 4) {
        WaveReference ref;
        ref.wave = cursor.U16();
        ref.waveBank = cursor.U8();
        if (kind == 0) cursor.Skip(2);
        if (!cursor.failed() && ref.waveBank >= header.waveBankCount)
          return Refuse("sound bank: variation table %zu uses wave bank slot %u of %u", i, ref.waveBank,
                        header.waveBankCount);
        info.variationWaves.push_back(ref);
      } else if (kind == 1 || kind == 3) {
        tables.sounds.push_back(cursor.U32());
        cursor.Skip(kind == 1 ? 2 : 12);
      } else {
        return Refuse("sound bank: variation table %zu has unknown type %u", i, kind);
      }
    }
    if (kind == 3) info.variationVariables.push_back(variable);
    if (kind == 0 || kind == 4) tables.waveCodes.push_back(tables.codes.back());
  }
  if (cursor.failed()) return Refuse("sound bank: file ends inside the variation tables");
  return Accept();
}

XactCheckResult SkipTransitionTables(ByteCursor& cursor, const SoundBankHeader& header, size_t transitionCount) {
  if (transitionCount > 0)
    if (auto r = CheckSectionAt(cursor, header.transitionOffset, "transition tables"); !r) return r;
  for (size_t i = 0; i < transitionCount && !cursor.failed(); ++i) {
    uint32_t entries = cursor.U32();
    if (!cursor.Skip(uint64_t{entries} * 26)) return Refuse("sound bank: file ends inside transition table %zu", i);
  }
  if (cursor.failed()) return Refuse("sound bank: file ends inside the transition tables");
  return Accept();
}

// The cue hash (skipped), the name index and the names, which must end the file.
XactCheckResult ReadCueNames(ByteCursor& cursor, const SoundBankHeader& header, SoundBankInfo& info) {
  const size_t cueCount = header.CueCount();
  if (header.cueHashOffset != kXsbAbsent) {
    if (auto r = CheckSectionAt(cursor, header.cueHashOffset, "cue hash"); !r) return r;
    if (!cursor.Skip(uint64_t{header.cueHashCount} * 2)) return Refuse("sound bank: file ends inside the cue hash");
  }
  std::vector<uint32_t> nameIndex;
  if (header.cueNameIndexOffset != kXsbAbsent) {
    if (auto r = CheckSectionAt(cursor, header.cueNameIndexOffset, "cue name index"); !r) return r;
    for (size_t i = 0; i < cueCount; ++i) {
      nameIndex.push_back(cursor.U32());
      cursor.U16();
    }
    if (cursor.failed()) return Refuse("sound bank: file ends inside the cue name index");
  }
  // The unit finds every cue by name: a bank without names is of no use,
  // and newer FAudio reads names through the index.
  if (header.cueNameOffset == kXsbAbsent || header.cueNameIndexOffset == kXsbAbsent)
    return Refuse("sound bank: cues carry no names");
  if (auto r = CheckSectionAt(cursor, header.cueNameOffset, "cue names"); !r) return r;
  for (size_t i = 0; i < cueCount; ++i) {
    size_t at = cursor.position();
    info.cues[i].name = cursor.CString();
    if (cursor.failed()) return Refuse("sound bank: cue name %zu is cut off by the end of the file", i);
    if (nameIndex[i] != at)
      return Refuse("sound bank: name index entry %zu points to %u, the name lies at %zu", i, nameIndex[i], at);
  }
  if (!cursor.AtEnd()) return Refuse("sound bank: %zu bytes follow the cue names", cursor.size() - cursor.position());
  return Accept();
}

// Cue and variation codes are file offsets that FACT follows unchecked: each
// must name a sound or a variation table that is there.
XactCheckResult CheckCodes(const SoundBankInfo& info, VariationTables tables) {
  std::vector<uint32_t> soundCodes;
  for (const SoundInfo& sound : info.sounds) soundCodes.push_back(sound.code);
  std::sort(soundCodes.begin(), soundCodes.end());
  std::sort(tables.codes.begin(), tables.codes.end());
  for (const CueInfo& cue : info.cues) {
    bool isSound = cue.flags & kCueCodeIsSound;
    if (!Contains(isSound ? soundCodes : tables.codes, cue.code))
      return Refuse("sound bank: cue \"%s\" refers to %s at %u, and there is none", cue.name.c_str(),
                    isSound ? "a sound" : "a variation table", cue.code);
  }
  for (uint32_t code : tables.sounds)
    if (!Contains(soundCodes, code))
      return Refuse("sound bank: a variation table refers to a sound at %u, and there is none", code);
  // A cue that picks a wave (not a sound) from a variation table plays it as
  // a bare wave; when that wave ends by itself, FAudio 23.02 marks the cue
  // stopped without destroying the wave, and destroying the wave bank later
  // follows the freed cue. Such cues are refused.
  std::sort(tables.waveCodes.begin(), tables.waveCodes.end());
  for (const CueInfo& cue : info.cues)
    if (!(cue.flags & kCueCodeIsSound) && Contains(tables.waveCodes, cue.code))
      return Refuse(
          "sound bank: cue \"%s\" picks a wave from a variation table, which FAudio cannot unload safely; "
          "make its variations sounds",
          cue.name.c_str());
  return Accept();
}

}  // namespace

XactCheckResult ReadSoundBank(const uint8_t* data, size_t size, SoundBankInfo& info) {
  info = {};
  if (!data || size < kXsbHeaderSize + kFixedNameSize)
    return Refuse("sound bank: %zu bytes is too short for the header", data ? size : 0);
  ByteCursor cursor(data, size);
  SoundBankHeader header;
  size_t variationCount = 0, transitionCount = 0;
  VariationTables variations;
  if (auto r = ReadHeader(cursor, info, header); !r) return r;
  if (auto r = ReadWaveBankNames(cursor, header, info); !r) return r;
  if (auto r = ReadSounds(cursor, header, info); !r) return r;
  if (auto r = ReadCues(cursor, header, info, variationCount, transitionCount); !r) return r;
  if (auto r = ReadVariationTables(cursor, header, variationCount, info, variations); !r) return r;
  if (auto r = SkipTransitionTables(cursor, header, transitionCount); !r) return r;
  if (auto r = ReadCueNames(cursor, header, info); !r) return r;
  return CheckCodes(info, std::move(variations));
}

XactCheckResult ListCueNames(const uint8_t* data, size_t size, std::vector<std::string>& names) {
  names.clear();
  SoundBankInfo info;
  XactCheckResult result = ReadSoundBank(data, size, info);
  if (result)
    for (const CueInfo& cue : info.cues) names.push_back(cue.name);
  return result;
}

}  // namespace orvante::xact
