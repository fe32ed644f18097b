#include "app/font_choice.h"

#include <initializer_list>

namespace qvl {

namespace {

constexpr int kLcarsSqueeze = 19;

const char* FirstInstalled(std::initializer_list<const char*> faces,
                           const FaceInstalled& installed) {
  for (const char* f : faces)
    if (installed(f)) return f;
  return nullptr;
}

}  // namespace

FaceChoice ChooseFace(std::string_view named, const FaceInstalled& installed) {
  if (installed(named)) {
    if (named == "MS Sans Serif" && installed("Microsoft Sans Serif"))
      return {"Microsoft Sans Serif"};
    return {std::string(named)};
  }
  if (named == "LCARS") {
    const char* narrow = FirstInstalled(
        {"Bahnschrift Condensed", "Arial Narrow", "Liberation Sans Narrow"}, installed);
    if (narrow) return {narrow, kLcarsSqueeze};
    const char* plain = FirstInstalled({"Arial", "Liberation Sans"}, installed);
    return {plain ? plain : "Arial", kLcarsSqueeze};
  }
  if (named == "MS Sans Serif" || named == "Arial" || named == "Tahoma") {
    const char* twin = FirstInstalled(
        {named == "MS Sans Serif" ? "Microsoft Sans Serif" : "Arial", "Liberation Sans"},
        installed);
    if (twin) return {twin};
  }
  return {std::string(named)};
}

}  // namespace qvl
