// The rules by which the forms keep numbers in label captions: numbers and
// date parts become text, text is read back as a number, texts are compared
// exactly and joined without anything added at the seam.
#pragma once

#include <string>
#include <string_view>

namespace qvl {

// Shortest decimal form: no leading blank, "-" for negatives, no point for
// whole numbers (92 -> "92", -1 -> "-1").
std::string NumberToText(double value);

// A date part without leading zeros (minute nine -> "9").
std::string DatePartToText(int part);

// Reads a decimal number ("6", "-9", " 22 "); anything else, the empty text
// and a design caption such as "TotalDays" among it, raises a type mismatch.
double TextToNumber(std::string_view text);

// Exact, case-sensitive: "March" is not "march" nor "March ".
inline bool TextEquals(std::string_view a, std::string_view b) {
  return a == b;
}

}  // namespace qvl
