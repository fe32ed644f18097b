// The rules by which the forms keep numbers in label captions: numbers (date
// parts among them) become text and text is read back as a number. Texts are
// compared exactly (std::string's ==) and joined without anything added at
// the seam (its +).
#pragma once

#include <string>
#include <string_view>

namespace qvl {

// Shortest decimal form: no leading blank, "-" for negatives, no point for
// whole numbers (92 -> "92", -1 -> "-1").
std::string NumberToText(double value);

// Reads a decimal number ("6", "-9", " 22 "); anything else, the empty text
// and a design caption such as "TotalDays" among it, raises a type mismatch.
double TextToNumber(std::string_view text);

}  // namespace qvl
