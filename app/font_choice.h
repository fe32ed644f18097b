// The face drawn for a face that the forms name, by what is installed.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace qvl {

struct FaceChoice {
  std::string face;
  // 0: the face's own width. Otherwise the average character width, in
  // percent of the named face's em height, that the face is squeezed to.
  int width_percent = 0;
  // The face's em height in percent of the named face's.
  int height_percent = 100;
  // How far its text is raised in its label, and indented from its left
  // edge, in percent of its own em.
  int raise_percent = 0;
  int indent_percent = 0;
  friend bool operator==(const FaceChoice&, const FaceChoice&) = default;
};

// Pixels of a chosen face for a named face's em height.
struct FaceSize {
  int em;             // em height
  int average_width;  // 0: the face's own
  int raise;          // the text's lines start this much above the label's top
  int indent;         // and this much right of its left edge
};
constexpr FaceSize SizeOf(const FaceChoice& c, int named_em) {
  const int em = (named_em * c.height_percent + 50) / 100;
  return {em, (named_em * c.width_percent + 50) / 100, (em * c.raise_percent + 50) / 100,
          (em * c.indent_percent + 50) / 100};
}

using FaceInstalled = std::function<bool(std::string_view face)>;

// "LCARS" is a tall, condensed display face whose capitals fill its em and
// whose letters hardly descend; few machines have it. In its place a
// condensed sans is drawn, squeezed to the same narrow proportions so that
// the countdown sentence keeps to its label, a little smaller, and raised by
// the room that sans keeps above its capitals, so that a line of capitals
// starts at the label's top and the tail of a Q stays inside it. "MS Sans Serif" is a
// bitmap face that blurs when scaled; its TrueType successor keeps labels
// crisp at any DPI. Its successor and the faces standing in for it draw
// their lines a little taller and their "t" and "j" a little further left
// than the old face, for which the forms' labels were sized: their text is
// raised and indented by a tenth of the em, so that no stroke falls outside. The other Windows
// faces fall back to their metric twin where they are missing. Whatever is left, the system
// substitutes.
FaceChoice ChooseFace(std::string_view named, const FaceInstalled& installed);

}  // namespace qvl
