// Runway designators. The table codes a runway end as its number times ten
// plus a letter code (0 none, 1 L, 2 R, 3 C, 4 W); the query writes that as
// three digits ("271") and the completion pass turns the code digit into the
// letter ("27L") and names the opposite end ("09R").
#pragma once

namespace orvante {

// The letter code of a designator's last character, as the table writes it.
inline constexpr int kDesignatorCodeNone = 0;
inline constexpr int kDesignatorCodeLeft = 1;
inline constexpr int kDesignatorCodeRight = 2;
inline constexpr int kDesignatorCodeCentre = 3;
inline constexpr int kDesignatorCodeWater = 4;
// The designator is empty or ends in a character that is no code (5 to 9).
inline constexpr int kDesignatorCodeUnknown = -1;

// Rewrites the code digit at the end of a designator (five bytes with the
// terminator) into its letter: "270" becomes "27", "092" "09R", "363" "36C".
// A digit 5 to 9 stays, and an empty designator stays empty. Returns the code,
// or kDesignatorCodeUnknown when there was none.
int WriteDesignatorLetter(char designator[5]);

// The runway number of a designator whose letter is already written: the
// second character alone when the first is '0', else the first two.
int DesignatorRunwayNumber(const char* designator);

// The number of the opposite end: (number + 18) mod 36, with 0 written as 36.
int ReciprocalRunwayNumber(int number);

// Writes the opposite end's designator in the table's coded form ("%02d" and
// the opposite code digit: L and R swap, none, C and W stay), or leaves it
// empty when the code is unknown.
void WriteOppositeDesignator(char opposite[5], int number, int code);

}  // namespace orvante
