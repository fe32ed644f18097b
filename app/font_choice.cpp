#include "app/font_choice.h"

#include <initializer_list>

namespace qvl {

namespace {

constexpr int kLcarsSqueeze = 19, kLcarsHeight = 95, kLcarsRaise = 18;
constexpr int kSansSerifRaise = 10, kSansSerifIndent = 9;

const char* FirstInstalled(std::initializer_list<const char*> faces,
                           const FaceInstalled& installed) {
  for (const char* f : faces)
    if (installed(f)) return f;
  return nullptr;
}

}  // namespace

FaceChoice ChooseFace(std::string_view named, const FaceInstalled& installed) {
  if (installed(named)) {
    if (named == "MS Sans Serif") {
      return {installed("Microsoft Sans Serif") ? "Microsoft Sans Serif" : "MS Sans Serif", 0, 100,
              kSansSerifRaise, kSansSerifIndent};
    }
    return {std::string(named)};
  }
  if (named == "LCARS") {
    const char* narrow = FirstInstalled(
        {"Bahnschrift Condensed", "Arial Narrow", "Liberation Sans Narrow"}, installed);
    if (narrow) return {narrow, kLcarsSqueeze, kLcarsHeight, kLcarsRaise};
    const char* plain = FirstInstalled({"Arial", "Liberation Sans"}, installed);
    return {plain ? plain : "Arial", kLcarsSqueeze, kLcarsHeight, kLcarsRaise};
  }
  if (named == "MS Sans Serif" || named == "Arial" || named == "Tahoma") {
    const char* twin = FirstInstalled(
        {named == "MS Sans Serif" ? "Microsoft Sans Serif" : "Arial", "Liberation Sans"},
        installed);
    if (twin && named == "MS Sans Serif") return {twin, 0, 100, kSansSerifRaise, kSansSerifIndent};
    if (twin) return {twin};
  }
  return {std::string(named)};
}

}  // namespace qvl
