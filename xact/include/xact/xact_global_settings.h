// Reading an XACT3 global settings file (.xgs): categories, variables, RPC
// and DSP preset codes, with every read bounds-checked.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "xact/xact_validator.h"

namespace orvante::xact {

struct GlobalVariableInfo {
  std::string name;
  uint8_t accessibility = 0;
  float initialValue = 0, minValue = 0, maxValue = 0;
};

struct GlobalSettingsInfo {
  uint16_t contentVersion = 0;
  std::vector<std::string> categoryNames;
  std::vector<uint16_t> categoryParents;
  std::vector<GlobalVariableInfo> variables;
  std::vector<uint32_t> rpcCodes;        // file offsets of the RPC records
  std::vector<uint32_t> dspPresetCodes;  // file offsets of the DSP preset records
};

// Walks the file in the order FACT reads it; refuses truncation, header
// offsets that disagree with the layout, dangling parents and variable
// indices, and trailing bytes.
XactCheckResult ReadGlobalSettings(const uint8_t* data, size_t size, GlobalSettingsInfo& info);

// Index of the named variable, or -1.
int FindGlobalVariable(const GlobalSettingsInfo& info, const std::string& name);

}  // namespace orvante::xact
