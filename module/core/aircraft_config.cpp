// Reading the flap positions of an aircraft from its aircraft.cfg.
#include "core/aircraft_config.h"

#include <cstdio>

#include "platform/ini_file.h"

namespace orvante {

std::string TrimConfigToken(const std::string& value) {
  size_t begin = value.find_first_not_of(" \t");
  if (begin == std::string::npos) return {};
  size_t end = value.find_first_of(" \t\\/", begin);
  return value.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

void ReadAircraftConfiguration(std::vector<uint32_t>& flapPositions, const std::string& path) {
  if (path.empty()) return;
  flapPositions.clear();
  const char* file = path.c_str();
  for (uint32_t k = 0;; ++k) {
    char section[32];
    std::snprintf(section, sizeof section, "flaps.%u", k);
    std::string type = TrimConfigToken(platform::ReadProfileString(section, "type", "", file));
    if (type.empty()) break;
    if (platform::ParseLeadingInteger(type.c_str()) == 1) {
      for (uint32_t j = 0;; ++j) {
        char key[32];
        std::snprintf(key, sizeof key, "flaps-position.%u", j);
        std::string position = TrimConfigToken(platform::ReadProfileString(section, key, "", file));
        position = position.substr(0, position.find(','));
        if (position.empty()) break;
        flapPositions.push_back(static_cast<uint32_t>(platform::ParseLeadingInteger(position.c_str())));
      }
    }
    if (!flapPositions.empty()) break;
  }
}

}  // namespace orvante
