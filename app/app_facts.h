// What the program says about itself, fixed per build variant.
#pragma once

#include <cstdint>
#include <string_view>

#include "app/version.h"

namespace qvl {

// "QVLFEST (Non-LCARS)" is the plain-font build, "QVLFEST" the LCARS-font one.
enum class Variant { PlainFont, LcarsFont };

struct AppFacts {
  std::string_view title;
  std::uint16_t major, minor, revision;
  Variant variant;
};

constexpr AppFacts kPlainFontFacts{"QVLFEST", QVL_VERSION_MAJOR, QVL_VERSION_MINOR,
                                   QVL_REVISION_PLAIN_FONT, Variant::PlainFont};
constexpr AppFacts kLcarsFontFacts{"QVLFEST", QVL_VERSION_MAJOR, QVL_VERSION_MINOR,
                                   QVL_REVISION_LCARS_FONT, Variant::LcarsFont};
constexpr const AppFacts& FactsOf(Variant v) {
  return v == Variant::PlainFont ? kPlainFontFacts : kLcarsFontFacts;
}

}  // namespace qvl
