// Reads an XACT3 global settings file the way FACT parses it: sequentially,
// section after section, so a file is accepted only when the sections lie
// where the header's offsets say and nothing is left over.
#include "xact/xact_global_settings.h"

#include <utility>

#include "byte_cursor.h"
#include "refusal.h"
#include "xact/xact_layout.h"

namespace orvante::xact {
namespace {

constexpr uint32_t kXgsMagicSwapped = 0x58475346;

// Each section must start where the cursor stands: old FAudio ignores the
// offset and reads on, newer FAudio seeks to it.
XactCheckResult CheckSectionAt(const ByteCursor& cursor, uint32_t offset, const char* section) {
  if (cursor.failed()) return Refuse("global settings: file ends before the %s", section);
  if (offset != cursor.position())
    return Refuse("global settings: %s offset is %u but the section starts at %zu", section, offset, cursor.position());
  return Accept();
}

XactCheckResult ReadNames(ByteCursor& cursor, uint32_t indexOffset, uint32_t namesOffset, size_t count,
                          const char* what, std::vector<std::string>& names) {
  if (auto r = CheckSectionAt(cursor, indexOffset, what); !r) return r;
  std::vector<uint32_t> index(count);
  for (auto& entry : index) {
    entry = cursor.U32();
    cursor.U16();
  }
  if (cursor.failed()) return Refuse("global settings: file ends inside the %s name index", what);
  if (auto r = CheckSectionAt(cursor, namesOffset, what); !r) return r;
  names.clear();
  for (size_t i = 0; i < count; ++i) {
    size_t at = cursor.position();
    names.push_back(cursor.CString());
    if (cursor.failed()) return Refuse("global settings: %s name %zu is cut off by the end of the file", what, i);
    if (index[i] != at)
      return Refuse("global settings: %s name index entry %zu points to %u, the name lies at %zu", what, i, index[i],
                    at);
  }
  return Accept();
}

}  // namespace

XactCheckResult ReadGlobalSettings(const uint8_t* data, size_t size, GlobalSettingsInfo& info) {
  info = {};
  if (!data || size < kXgsHeaderSize)
    return Refuse("global settings: %zu bytes is too short for the %u-byte header", data ? size : 0, kXgsHeaderSize);
  ByteCursor cursor(data, size);
  uint32_t magic = cursor.U32();
  if (magic == kXgsMagicSwapped) return Refuse("global settings: big-endian (Xbox 360) files are not supported");
  if (magic != kXgsMagic) return Refuse("global settings: not an XACT global settings file (no XGSF signature)");
  info.contentVersion = cursor.U16();
  if (info.contentVersion < kContentVersionMin || info.contentVersion > kContentVersionMax)
    return Refuse("global settings: content version %u is not supported (43 to 46)", info.contentVersion);
  uint16_t tool = cursor.U16();
  if (tool != kXgsToolVersion) return Refuse("global settings: tool version %u is not supported (42)", tool);
  cursor.Skip(2 + 8);  // CRC, last-modified time
  uint8_t platform = cursor.U8();
  if (platform != kXgsPlatformWindows && platform != kXgsPlatformXbox)
    return Refuse("global settings: platform %u is not supported (3 or 7)", platform);

  uint16_t categoryCount = cursor.U16();
  uint16_t variableCount = cursor.U16();
  uint16_t blob1Count = cursor.U16();
  uint16_t blob2Count = cursor.U16();
  uint16_t rpcCount = cursor.U16();
  uint16_t dspPresetCount = cursor.U16();
  cursor.U16();  // DSP parameter count: FACT takes the counts from the presets
  uint32_t categoryOffset = cursor.U32();
  uint32_t variableOffset = cursor.U32();
  uint32_t blob1Offset = cursor.U32();
  uint32_t categoryNameIndexOffset = cursor.U32();
  uint32_t blob2Offset = cursor.U32();
  uint32_t variableNameIndexOffset = cursor.U32();
  uint32_t categoryNameOffset = cursor.U32();
  uint32_t variableNameOffset = cursor.U32();
  uint32_t rpcOffset = cursor.U32();
  uint32_t dspPresetOffset = cursor.U32();
  uint32_t dspParameterOffset = cursor.U32();

  if (auto r = CheckSectionAt(cursor, categoryOffset, "categories"); !r) return r;
  for (uint16_t i = 0; i < categoryCount; ++i) {
    cursor.Skip(1 + 2 + 2 + 1);  // instance limit, fades, behaviour
    info.categoryParents.push_back(cursor.U16());
    cursor.Skip(1 + 1);  // volume, visibility
  }
  if (cursor.failed()) return Refuse("global settings: file ends inside the %u categories", categoryCount);
  for (uint16_t i = 0; i < categoryCount; ++i) {
    // FACT follows parents when it computes a category's volume: every chain
    // must end at a root.
    uint16_t at = i;
    for (int steps = 0; info.categoryParents[at] != kNoParentCategory; ++steps) {
      at = info.categoryParents[at];
      if (at >= categoryCount) return Refuse("global settings: category %u has parent %u, out of range", i, at);
      if (steps >= categoryCount) return Refuse("global settings: category %u is its own ancestor", i);
    }
  }

  if (auto r = CheckSectionAt(cursor, variableOffset, "variables"); !r) return r;
  for (uint16_t i = 0; i < variableCount; ++i) {
    GlobalVariableInfo variable;
    variable.accessibility = cursor.U8();
    variable.initialValue = cursor.F32();
    variable.minValue = cursor.F32();
    variable.maxValue = cursor.F32();
    info.variables.push_back(variable);
  }
  if (cursor.failed()) return Refuse("global settings: file ends inside the %u variables", variableCount);

  std::vector<std::pair<uint16_t, uint32_t>> rpcParameters;  // RPC index, DSP parameter it drives
  if (rpcCount > 0) {
    if (auto r = CheckSectionAt(cursor, rpcOffset, "RPCs"); !r) return r;
    for (uint16_t i = 0; i < rpcCount; ++i) {
      uint32_t code = static_cast<uint32_t>(cursor.position());
      uint16_t variable = cursor.U16();
      uint8_t points = cursor.U8();
      uint16_t parameter = cursor.U16();
      for (uint8_t p = 0; p < points; ++p) {
        cursor.Skip(8);
        uint8_t curve = cursor.U8();
        if (!cursor.failed() && curve > 3)
          return Refuse("global settings: RPC %u point %u has unknown curve %u", i, p, curve);
      }
      if (cursor.failed()) return Refuse("global settings: file ends inside RPC %u", i);
      if (variable >= variableCount)
        return Refuse("global settings: RPC %u uses variable %u of %u", i, variable, variableCount);
      // FACT reads the first point without looking at the count.
      if (points == 0) return Refuse("global settings: RPC %u has no points", i);
      if (parameter >= kRpcFirstDspParameter) rpcParameters.emplace_back(i, parameter - kRpcFirstDspParameter);
      info.rpcCodes.push_back(code);
    }
  }

  if (dspPresetCount > 0) {
    if (auto r = CheckSectionAt(cursor, dspPresetOffset, "DSP presets"); !r) return r;
    std::vector<uint16_t> parameterCounts;
    for (uint16_t i = 0; i < dspPresetCount; ++i) {
      info.dspPresetCodes.push_back(static_cast<uint32_t>(cursor.position()));
      cursor.U8();
      parameterCounts.push_back(cursor.U16());
      cursor.Skip(2);
    }
    if (cursor.failed()) return Refuse("global settings: file ends inside the DSP presets");
    if (auto r = CheckSectionAt(cursor, dspParameterOffset, "DSP parameters"); !r) return r;
    for (uint16_t count : parameterCounts) cursor.Skip(uint64_t{count} * kXgsDspParameterSize);
    if (cursor.failed()) return Refuse("global settings: file ends inside the DSP parameters");
    // With presets, FACT creates a reverb and sets it from the first 22
    // parameters of preset 0, without looking at the count.
    for (uint16_t i = 0; i < dspPresetCount; ++i)
      if (parameterCounts[i] < kReverbParameterCount)
        return Refuse("global settings: DSP preset %u has %u parameters, FACT's reverb reads %u", i, parameterCounts[i],
                      kReverbParameterCount);
    // An RPC on a DSP parameter writes that parameter of every preset.
    for (auto [rpc, parameter] : rpcParameters)
      for (uint16_t i = 0; i < dspPresetCount; ++i)
        if (parameter >= parameterCounts[i])
          return Refuse("global settings: RPC %u drives DSP parameter %u, preset %u has %u", rpc, parameter, i,
                        parameterCounts[i]);
  }
  if (dspPresetCount == 0 && !rpcParameters.empty())
    return Refuse("global settings: RPC %u drives a DSP parameter but there are no DSP presets",
                  rpcParameters[0].first);

  if (auto r = CheckSectionAt(cursor, blob1Offset, "first name hash"); !r) return r;
  if (!cursor.Skip(uint64_t{blob1Count} * 2)) return Refuse("global settings: file ends inside the first name hash");
  if (auto r =
          ReadNames(cursor, categoryNameIndexOffset, categoryNameOffset, categoryCount, "category", info.categoryNames);
      !r)
    return r;
  if (auto r = CheckSectionAt(cursor, blob2Offset, "second name hash"); !r) return r;
  if (!cursor.Skip(uint64_t{blob2Count} * 2)) return Refuse("global settings: file ends inside the second name hash");
  std::vector<std::string> variableNames;
  if (auto r = ReadNames(cursor, variableNameIndexOffset, variableNameOffset, variableCount, "variable", variableNames);
      !r)
    return r;
  for (size_t i = 0; i < variableNames.size(); ++i) info.variables[i].name = variableNames[i];

  if (!cursor.AtEnd())
    return Refuse("global settings: %zu bytes follow the last section", cursor.size() - cursor.position());
  return Accept();
}

int FindGlobalVariable(const GlobalSettingsInfo& info, const std::string& name) {
  for (size_t i = 0; i < info.variables.size(); ++i)
    if (info.variables[i].name == name) return static_cast<int>(i);
  return -1;
}

}  // namespace orvante::xact
