// The face drawn for a face that the forms name, by what is installed.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace qvl {

struct FaceChoice {
  std::string face;
  // 0: the face's own width. Otherwise the average character width, in
  // percent of the em height, that the face is squeezed to.
  int width_percent = 0;
  friend bool operator==(const FaceChoice&, const FaceChoice&) = default;
};

using FaceInstalled = std::function<bool(std::string_view face)>;

// "LCARS" is a tall, condensed display face that few machines have: in its
// place a condensed sans is drawn, squeezed to the same narrow proportions
// so that the countdown sentence keeps to its label. "MS Sans Serif" is a
// bitmap face that blurs when scaled; its TrueType successor keeps labels
// crisp at any DPI. The other Windows faces fall back to their metric twin
// where they are missing. Whatever is left, the system substitutes.
FaceChoice ChooseFace(std::string_view named, const FaceInstalled& installed);

}  // namespace qvl
