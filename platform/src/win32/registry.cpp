// Registry reads through RegOpenKeyExW and RegQueryValueExW.
#include <windows.h>

#include <vector>

#include "platform/registry.h"
#include "win32/text.h"

namespace platform {
namespace {

// The key opened for reading, or null.
HKEY OpenKey(RegistryHive hive, const std::string& key) {
  std::string path = key;
  while (!path.empty() && path.front() == '\\') path.erase(0, 1);
  HKEY root = hive == RegistryHive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  HKEY opened = nullptr;
  if (::RegOpenKeyExW(root, win32::Wide(path).c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return nullptr;
  return opened;
}

}  // namespace

bool RegistryKeyExists(RegistryHive hive, const std::string& key) {
  HKEY opened = OpenKey(hive, key);
  if (opened) ::RegCloseKey(opened);
  return opened != nullptr;
}

std::optional<std::string> RegistryReadString(RegistryHive hive, const std::string& key, const std::string& value) {
  HKEY opened = OpenKey(hive, key);
  if (opened == nullptr) return std::nullopt;
  std::wstring name = win32::Wide(value);
  DWORD type = 0, size = 0;
  std::optional<std::string> result;
  if (::RegQueryValueExW(opened, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    DWORD bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(opened, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &bytes) ==
        ERROR_SUCCESS) {
      std::wstring text(data.data(), bytes / sizeof(wchar_t));
      while (!text.empty() && text.back() == L'\0') text.pop_back();  // the stored terminator
      result = win32::Utf8(text);
    }
  }
  ::RegCloseKey(opened);
  return result;
}

std::optional<uint32_t> RegistryReadDword(RegistryHive hive, const std::string& key, const std::string& value) {
  HKEY opened = OpenKey(hive, key);
  if (opened == nullptr) return std::nullopt;
  DWORD type = 0, data = 0, size = sizeof data;
  LONG status =
      ::RegQueryValueExW(opened, win32::Wide(value).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
  ::RegCloseKey(opened);
  if (status != ERROR_SUCCESS || type != REG_DWORD) return std::nullopt;
  return data;
}

}  // namespace platform
