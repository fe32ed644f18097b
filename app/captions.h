// The rules by which the forms keep numbers in label captions: numbers (date
// parts among them) become text and text is read back as a number. Texts are
// compared exactly (std::string's ==) and joined without anything added at
// the seam (its +).
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace qvl {

// Shortest decimal form: no leading blank, "-" for negatives, no point for
// whole numbers (92 -> "92", -1 -> "-1").
std::string NumberToText(double value);

// Reads a decimal number ("6", "-9", " 22 "); anything else, the empty text
// and a design caption such as "TotalDays" among it, raises a type mismatch.
double TextToNumber(std::string_view text);

// `parts` joined into `out`, whose storage is reused: for a text rebuilt on
// every tick.
const std::string& JoinInto(std::string& out, std::initializer_list<std::string_view> parts);

}  // namespace qvl
