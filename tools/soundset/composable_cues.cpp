// The cue names the advisory engine composes: runway cues are a pattern
// filled with the designator and lowered; spelled distances are digits,
// thousands counts, "100", "1000" and the unit and kind words.
#include "soundset/composable_cues.h"

#include <cstdio>

namespace orvante::soundset {

std::vector<std::string> RunwayDesignators() {
  static const char* const kSuffixes[] = {"", "l", "c", "r", "w"};
  std::vector<std::string> designators;
  for (int number = 1; number <= 36; ++number) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%02d", number);
    for (const char* suffix : kSuffixes) designators.push_back(std::string(digits) + suffix);
  }
  return designators;
}

std::vector<std::string> ComposableCueNames() {
  std::vector<std::string> names;
  for (const char* pattern : {"onrwy", "apprwy"})
    for (const std::string& designator : RunwayDesignators()) names.push_back(pattern + designator);
  for (const char* fixed :
       {"apprrunways", "cautionshortrwy", "flapsflaps", "flapsx2pause", "longlanding", "ontaxiwayx2",
        "cautiontaxiwayx2", "toohighx2", "toofastx2", "unstablex2", "altimeter", "audiotestpassed"})
    names.push_back(fixed);
  // Digits serve as hundreds and as thousands below ten; "30" is the metric
  // runway-end callout; ten and more thousands are cues of their own.
  for (int n = 1; n <= 9; ++n) names.push_back(std::to_string(n));
  for (int n = 10; n <= kLargestThousandsCue; ++n) names.push_back(std::to_string(n));
  for (const char* word : {"30", "100", "1000", "feet", "meters", "remaining", "available"}) names.push_back(word);
  return names;
}

}  // namespace orvante::soundset
