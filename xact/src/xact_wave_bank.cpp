// Reads an XACT3 wave bank. FACT reads the header and the segments it points
// to with seek-and-read and later hands the mixer a raw pointer into the
// buffer for each wave, so every segment and every wave region must lie
// inside the file.
#include "xact/xact_wave_bank.h"

#include "byte_cursor.h"
#include "refusal.h"

namespace orvante::xact {
namespace {

constexpr uint32_t kXwbMagicSwapped = 0x57424E44;

struct Segment {
  uint32_t offset = 0, length = 0;
};

bool InsideFile(uint64_t offset, uint64_t length, size_t size) { return offset <= size && length <= size - offset; }

}  // namespace

XactCheckResult ReadWaveBank(const uint8_t* data, size_t size, WaveBankInfo& info) {
  info = {};
  if (!data || size < kXwbHeaderSize)
    return Refuse("wave bank: %zu bytes is too short for the %u-byte header", data ? size : 0, kXwbHeaderSize);
  ByteCursor cursor(data, size);
  uint32_t magic = cursor.U32();
  if (magic == kXwbMagicSwapped) return Refuse("wave bank: big-endian (Xbox 360) files are not supported");
  if (magic != kXwbMagic) return Refuse("wave bank: not an XACT wave bank (no WBND signature)");
  uint32_t version = cursor.U32();
  if (version < kContentVersionMin || version > kContentVersionMax)
    return Refuse("wave bank: content version %u is not supported (43 to 46)", version);
  uint32_t headerVersion = cursor.U32();
  if (headerVersion < kXwbHeaderVersionMin || headerVersion > kXwbHeaderVersionMax)
    return Refuse("wave bank: header version %u is not supported (42 to 44)", headerVersion);
  Segment segments[kSegmentCount];
  for (auto& segment : segments) {
    segment.offset = cursor.U32();
    segment.length = cursor.U32();
  }

  const Segment& bankData = segments[kSegmentBankData];
  if (!InsideFile(bankData.offset, kXwbBankDataSize, size))
    return Refuse("wave bank: bank data at %u lies outside the file (%zu bytes)", bankData.offset, size);
  cursor.Seek(bankData.offset);
  info.flags = cursor.U32();
  uint32_t entryCount = cursor.U32();
  info.name = cursor.FixedString(kFixedNameSize);
  if (cursor.failed()) return Refuse("wave bank: bank name is not terminated within 64 bytes");
  uint32_t metadataSize = cursor.U32();
  cursor.U32();  // name element size: always 64 to FACT
  if (info.flags & kXwbFlagStreaming)
    return Refuse("wave bank: streaming wave banks are not supported (in-memory only)");
  if (info.flags & kXwbFlagCompact) return Refuse("wave bank: compact wave banks are not supported");
  // FACT copies each record into a 24-byte entry: a larger size overruns it,
  // a smaller one makes FACT stretch every wave over the whole data segment.
  if (metadataSize != kXwbEntrySize)
    return Refuse("wave bank: entry records of %u bytes are not supported (24)", metadataSize);

  const Segment& metadata = segments[kSegmentEntryMetadata];
  if (!InsideFile(metadata.offset, uint64_t{entryCount} * kXwbEntrySize, size))
    return Refuse("wave bank: the %u entry records at %u run past the end of the file (%zu bytes)", entryCount,
                  metadata.offset, size);
  const Segment& waveData = segments[kSegmentWaveData];
  if (!InsideFile(waveData.offset, waveData.length, size))
    return Refuse("wave bank: wave data (%u bytes at %u) runs past the end of the file (%zu bytes)", waveData.length,
                  waveData.offset, size);

  cursor.Seek(metadata.offset);
  info.entries.resize(entryCount);
  for (uint32_t i = 0; i < entryCount; ++i) {
    WaveEntryInfo& entry = info.entries[i];
    uint32_t flagsAndDuration = cursor.U32();
    entry.format = UnpackWaveFormat(cursor.U32());
    uint32_t playOffset = cursor.U32();
    entry.dataLength = cursor.U32();
    entry.loopStart = cursor.U32();
    entry.loopLength = cursor.U32();
    entry.durationFrames = flagsAndDuration >> 4;

    const PackedWaveFormat& f = entry.format;
    if (f.tag != kFormatPcm)
      return Refuse("wave bank: wave %u is not PCM (format tag %u); only PCM is supported", i, f.tag);
    if (f.channels == 0) return Refuse("wave bank: wave %u has no channels", i);
    if (f.sampleRate < kMinSampleRate || f.sampleRate > kMaxSampleRate)
      return Refuse("wave bank: wave %u has sample rate %u (1000 to 200000)", i, f.sampleRate);
    if (entry.durationFrames == 0) return Refuse("wave bank: wave %u is empty", i);
    if (!InsideFile(playOffset, entry.dataLength, waveData.length))
      return Refuse("wave bank: wave %u (%u bytes at %u) lies outside the wave data (%u bytes)", i, entry.dataLength,
                    playOffset, waveData.length);
    entry.dataOffset = waveData.offset + playOffset;
    // FACT plays Duration frames from the data pointer: more frames than
    // bytes read past the wave and the cue never ends.
    uint64_t frameBytes = uint64_t{f.channels} * (f.bitsPerSample / 8);
    if (uint64_t{entry.durationFrames} * frameBytes > entry.dataLength)
      return Refuse("wave bank: wave %u lasts %u frames but holds only %u bytes", i, entry.durationFrames,
                    entry.dataLength);
    if (entry.loopLength > 0 && uint64_t{entry.loopStart} + entry.loopLength > entry.durationFrames)
      return Refuse("wave bank: wave %u loops beyond its end", i);
  }

  if (info.flags & kXwbFlagEntryNames) {
    const Segment& names = segments[kSegmentEntryNames];
    if (!InsideFile(names.offset, uint64_t{entryCount} * kXwbEntryNameSize, size))
      return Refuse("wave bank: the %u entry names at %u run past the end of the file", entryCount, names.offset);
    cursor.Seek(names.offset);
    for (uint32_t i = 0; i < entryCount; ++i) {
      // Names fill their 64 bytes at most; a name without NUL is taken whole.
      size_t at = cursor.position();
      const char* text = reinterpret_cast<const char*>(data + at);
      size_t length = 0;
      while (length < kXwbEntryNameSize && text[length]) ++length;
      info.entries[i].name.assign(text, length);
      cursor.Skip(kXwbEntryNameSize);
    }
  }

  // Seek tables matter only for compressed formats, but FACT reads them
  // whenever the flag is set: they must lie inside the file too.
  const Segment& seek = segments[kSegmentSeekTables];
  if ((info.flags & kXwbFlagSeekTables) && seek.length > 0) {
    if (!InsideFile(seek.offset, uint64_t{entryCount} * 4, size))
      return Refuse("wave bank: the seek table offsets run past the end of the file");
    uint64_t tablesStart = uint64_t{seek.offset} + uint64_t{entryCount} * 4;
    for (uint32_t i = 0; i < entryCount; ++i) {
      cursor.Seek(uint64_t{seek.offset} + uint64_t{i} * 4);
      int32_t tableOffset = cursor.S32();
      if (tableOffset == -1) continue;
      if (tableOffset < 0 || !cursor.Seek(tablesStart + static_cast<uint32_t>(tableOffset)))
        return Refuse("wave bank: seek table of wave %u lies outside the file", i);
      uint32_t count = cursor.U32();
      if (cursor.failed() || !cursor.Skip(uint64_t{count} * 4))
        return Refuse("wave bank: seek table of wave %u runs past the end of the file", i);
    }
  }
  return Accept();
}

}  // namespace orvante::xact
