// Runway designators: code digits, letters and the reciprocal runway number.
#include "runways/runway_designator.h"

#include <cstdio>
#include <cstring>

namespace orvante {

int WriteDesignatorLetter(char designator[5]) {
  size_t length = strnlen(designator, 4);
  if (length == 0) return kDesignatorCodeUnknown;
  char& last = designator[length - 1];
  switch (last) {
    case '0': last = '\0'; return kDesignatorCodeNone;
    case '1': last = 'L'; return kDesignatorCodeLeft;
    case '2': last = 'R'; return kDesignatorCodeRight;
    case '3': last = 'C'; return kDesignatorCodeCentre;
    case '4': last = 'W'; return kDesignatorCodeWater;
    default: return kDesignatorCodeUnknown;
  }
}

static int DigitValue(char c) { return (c >= '0' && c <= '9') ? c - '0' : -1; }

int DesignatorRunwayNumber(const char* designator) {
  // Read like atoi over at most two characters: leading digits only.
  const char* digits = designator[0] == '0' ? designator + 1 : designator;
  int number = 0;
  for (int i = 0; i < 2; ++i) {
    int value = DigitValue(digits[i]);
    if (value < 0) break;
    number = number * 10 + value;
    if (digits == designator + 1) break;  // "0x": the second character alone
  }
  return number;
}

int ReciprocalRunwayNumber(int number) {
  int reciprocal = ((number + 18) % 36 + 36) % 36;
  return reciprocal == 0 ? 36 : reciprocal;
}

void WriteOppositeDesignator(char opposite[5], int number, int code) {
  static const char kOppositeCodeDigit[] = {'0', '2', '1', '3', '4'};
  memset(opposite, 0, 5);
  if (code < kDesignatorCodeNone || code > kDesignatorCodeWater) return;
  // The number is at most 36 here, so the text always fits.
  snprintf(opposite, 5, "%02d%c", number % 100, kOppositeCodeDigit[code]);
}

}  // namespace orvante
