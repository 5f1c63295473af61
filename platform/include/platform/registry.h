// Registry reads. On POSIX the registry is that of a Wine prefix: user.reg
// (HKEY_CURRENT_USER) and system.reg (HKEY_LOCAL_MACHINE) under $WINEPREFIX,
// default ~/.wine.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

enum class RegistryHive { CurrentUser, LocalMachine };

// True when the key exists (opened for reading; nothing is created).
bool RegistryKeyExists(RegistryHive hive, const std::string& key);

// A REG_SZ (or REG_EXPAND_SZ) value of a key, without escapes; nothing when
// the key or value is missing.
std::optional<std::string> RegistryReadString(RegistryHive hive, const std::string& key, const std::string& value);

// A REG_DWORD value; nothing when missing or of another type.
std::optional<uint32_t> RegistryReadDword(RegistryHive hive, const std::string& key, const std::string& value);

}  // namespace platform
