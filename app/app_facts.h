// What the program says about itself, fixed per build variant.
#pragma once

#include <cstdint>
#include <string_view>

namespace qvl {

// "QVLFEST (Non-LCARS)" is the plain-font build, "QVLFEST" the LCARS-font one.
enum class Variant { PlainFont, LcarsFont };

struct AppFacts {
  std::string_view title;
  std::uint16_t major, minor, revision;
  Variant variant;
};

constexpr AppFacts kPlainFontFacts{"QVLFEST", 2, 1, 1, Variant::PlainFont};
constexpr AppFacts kLcarsFontFacts{"QVLFEST", 2, 1, 0, Variant::LcarsFont};
constexpr const AppFacts& FactsOf(Variant v) {
  return v == Variant::PlainFont ? kPlainFontFacts : kLcarsFontFacts;
}

}  // namespace qvl
