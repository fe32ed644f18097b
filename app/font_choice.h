// The face drawn for a face that the forms name, by what is installed, and
// how it is sized so that text in it keeps to the labels the forms drew for
// the named face.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/form_spec.h"
#include "app/geometry.h"

namespace qvl {

// Sizes in thousandths of an em height.
struct FaceChoice {
  std::string face;
  // 0: the face's own width. Otherwise the average character width, of the
  // named face's em, that the face is squeezed to.
  int width_permille = 0;
  // The face's em height, of the named face's.
  int height_permille = 1000;
  // How far its text is raised in its label, and indented from its left
  // edge, of its own em.
  int raise_permille = 0;
  int indent_permille = 0;
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
  const int em = (named_em * c.height_permille + 500) / 1000;
  return {em, (named_em * c.width_permille + 500) / 1000, (em * c.raise_permille + 500) / 1000,
          (em * c.indent_permille + 500) / 1000};
}

using FaceInstalled = std::function<bool(std::string_view face)>;

// What a toolkit measures of a face as it would draw it for a name (the
// system's substitute, where that face is missing), in thousandths of its
// em: how wide its text runs (the average advance of kWidthSample), its
// average character width (what a face is squeezed by), its ascent and how
// far above the baseline its tallest letters reach.
struct FaceMetrics {
  int sample_width;
  int average_width;
  int ascent;
  int letter_top;
};
inline constexpr std::string_view kWidthSample = "The quick brown fox jumps over the lazy dog";
using FaceMeasure = std::function<FaceMetrics(std::string_view face, bool bold)>;

// "LCARS" is a tall, condensed display face whose capitals fill its em and
// whose letters hardly descend; few machines have it. In its place a
// condensed sans is drawn, squeezed to the same narrow proportions so that
// the countdown sentence keeps to its label, a little smaller, and raised by
// the room that sans keeps above its letters, so that a line of capitals
// starts at the label's top and the tail of a Q stays inside it. "MS Sans
// Serif" is a bitmap face that blurs when scaled; its TrueType successor
// keeps labels crisp at any DPI. Its successor and the faces standing in for
// it draw their lines a little taller and their "t" and "j" a little further
// left than the old face, for which the forms' labels were sized: their
// text is raised and indented by a tenth of the em, so that no stroke falls
// outside. The other Windows faces fall back to their metric twin where they
// are missing. Whatever is left, the system substitutes.
//
// Without `measure` the stand-ins are sized for the faces the choice names
// (Liberation Sans Narrow's proportions for "LCARS"), and a face the system
// substitutes keeps its own width. With it, every stand-in is sized by what
// it measures: squeezed (or widened) until its text runs as wide as the
// named face's, and an "LCARS" stand-in raised by its own room above its
// letters. So text keeps to its label whatever sans the system has: DejaVu
// Sans, where the Liberation faces are missing, runs a seventh wider.
FaceChoice ChooseFace(std::string_view named, const FaceInstalled& installed,
                      const FaceMeasure& measure = {}, bool bold = false);

// Where a label's text is drawn: its box, raised and indented as the face's
// size says (lines that wrap keep to the label's right edge).
constexpr PixelRect TextBox(const PixelRect& label, const FaceSize& size) {
  return {label.left + size.indent, label.top - size.raise, label.right, label.bottom - size.raise};
}

// A toolkit's fonts, each made once per named font and em height by the
// shared choice: the toolkit says how it tells an installed face, how it
// measures one (or not at all) and how it makes its own font.
template <class Handle>
class FontCache {
 public:
  using Make = std::function<Handle(const Font& font, const FaceChoice& choice, const FaceSize&)>;
  struct Entry {
    Font font;
    int pixels;
    Handle handle;
    FaceSize size;
  };

  FontCache(FaceInstalled installed, FaceMeasure measure, Make make)
      : installed_(std::move(installed)), measure_(std::move(measure)), make_(std::move(make)) {}

  const Entry& Get(const Font& font, int pixels) {
    for (const Entry& e : entries_)
      if (e.font == font && e.pixels == pixels) return e;
    const FaceChoice choice = ChooseFace(font.face, installed_, measure_, font.bold);
    const FaceSize size = SizeOf(choice, pixels);
    entries_.push_back({font, pixels, make_(font, choice, size), size});
    return entries_.back();
  }
  std::vector<Entry>& entries() { return entries_; }

 private:
  FaceInstalled installed_;
  FaceMeasure measure_;
  Make make_;
  std::vector<Entry> entries_;
};

}  // namespace qvl
