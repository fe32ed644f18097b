#include "app/font_choice.h"

#include <initializer_list>

namespace qvl {

namespace {

// Liberation Sans Narrow standing in for "LCARS": squeezed to this average
// width, this height and raised this much (as the rule below measures it:
// its room above its letters less kLetterMargin).
constexpr int kLcarsWidth = 190, kLcarsHeight = 950, kLcarsRaise = 180;
constexpr int kSansSerifRaise = 100, kSansSerifIndent = 90;
// How wide text runs (kWidthSample's average advance, of the named face's
// em): "LCARS" as Liberation Sans Narrow squeezed to kLcarsWidth draws it,
// and Arial (as its metric twin, Liberation Sans, measures), regular and
// bold, whose twin stands in for every other face the forms name.
constexpr int kLcarsText = 198, kSansText = 460, kSansBoldText = 498;
// What a raised stand-in leaves above its tallest letters: their
// antialiased edge.
constexpr int kLetterMargin = 17;

const char* FirstInstalled(std::initializer_list<const char*> faces,
                           const FaceInstalled& installed) {
  for (const char* f : faces)
    if (installed(f)) return f;
  return nullptr;
}

// The average width at which a face's text runs `text` wide.
int Squeezed(int text, const FaceMetrics& m) {
  return (text * m.average_width + m.sample_width / 2) / m.sample_width;
}

FaceChoice LcarsStandIn(const char* face, const FaceMeasure& measure, bool bold) {
  if (!measure) return {face, kLcarsWidth, kLcarsHeight, kLcarsRaise};
  const FaceMetrics m = measure(face, bold);
  if (m.sample_width <= 0) return {face, kLcarsWidth, kLcarsHeight, kLcarsRaise};
  return {face, Squeezed(kLcarsText, m), kLcarsHeight, m.ascent - m.letter_top - kLetterMargin};
}

}  // namespace

FaceChoice ChooseFace(std::string_view named, const FaceInstalled& installed,
                      const FaceMeasure& measure, bool bold) {
  const bool sans_serif = named == "MS Sans Serif";
  const int raise = sans_serif ? kSansSerifRaise : 0, indent = sans_serif ? kSansSerifIndent : 0;
  if (installed(named)) {
    if (sans_serif) {
      return {installed("Microsoft Sans Serif") ? "Microsoft Sans Serif" : "MS Sans Serif", 0, 1000,
              raise, indent};
    }
    return {std::string(named)};
  }
  if (named == "LCARS") {
    const char* narrow = FirstInstalled(
        {"Bahnschrift Condensed", "Arial Narrow", "Liberation Sans Narrow"}, installed);
    if (narrow) return LcarsStandIn(narrow, measure, bold);
    const char* plain = FirstInstalled({"Arial", "Liberation Sans"}, installed);
    return LcarsStandIn(plain ? plain : "Arial", measure, bold);
  }
  if (sans_serif || named == "Arial" || named == "Tahoma") {
    const char* twin = FirstInstalled(
        {sans_serif ? "Microsoft Sans Serif" : "Arial", "Liberation Sans"}, installed);
    if (twin) return {twin, 0, 1000, raise, indent};
    // The system's substitute, as wide as the twin.
    const FaceMetrics m = measure ? measure(named, bold) : FaceMetrics{};
    const int width = m.sample_width > 0 ? Squeezed(bold ? kSansBoldText : kSansText, m) : 0;
    return {std::string(named), width, 1000, raise, indent};
  }
  return {std::string(named)};
}

}  // namespace qvl
