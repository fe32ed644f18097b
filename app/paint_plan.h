// What a form's own surface shows, as an ordered list of drawing steps, back
// to front: the form's background, its labels, then its lines and shapes.
// Windowed controls (buttons, frames, picture boxes) are the toolkit's own
// widgets and draw themselves in front of all of it.
#pragma once

#include <string_view>
#include <vector>

#include "app/colors.h"
#include "app/form_spec.h"
#include "app/geometry.h"

namespace qvl {

class Form;

enum TextFlag : unsigned {
  kWordBreak = 1,  // wrap at blanks within the box
  kNoPrefix = 2,   // "&" is an ordinary character
  kNoClip = 4,     // ink may fall outside the box (tests look for it there)
};

struct Primitive {
  enum class Kind { Fill, Line, Outline, Text, Picture };
  Kind kind = Kind::Fill;
  PixelRect box;  // Fill, Outline, Text: the rectangle; Line: (x1, y1) - (x2, y2)
  PaintColor color;
  int pen = 0;            // Line, Outline: width in pixels
  std::string_view text;  // Text: valid until the form's next change
  Font font{};
  int font_px = 0;  // Text: em height in pixels
  unsigned flags = 0;
  int picture = 0;  // Picture: its resource
};

// A surface to draw on, in the form's client pixels. A toolkit provides
// filling, slanted lines and text; how lines and outlines of any width land
// on pixels is decided here, once.
class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void Fill(const PixelRect& r, PaintColor color) = 0;
  virtual void Text(const PixelRect& box, std::string_view text, const Font& font, int font_px,
                    PaintColor color, unsigned flags) = 0;
  // A line that is neither horizontal nor vertical, its pen centred on it.
  virtual void SlantedLine(PixelPoint from, PixelPoint to, int pen, PaintColor color) = 0;
  // A picture resource scaled to fill the box.
  virtual void Picture(const PixelRect& box, int picture) = 0;

  void Draw(const Primitive& p);
  void Draw(const std::vector<Primitive>& plan) {
    for (const Primitive& p : plan) Draw(p);
  }
};

// A pen wider than one pixel lies below a horizontal line and to the right of
// a vertical one, so the line's own row is always painted; a horizontal line
// covers its columns from the left end up to, not including, the right end.
PixelRect LineBand(const PixelRect& ends, int pen);
// The four bands of a rectangle's outline, all inside the rectangle.
std::vector<PixelRect> OutlineBands(const PixelRect& box, int pen);

// Which part of a form's surface a plan paints: all of it, or, for a toolkit
// whose labels' texts are not painted on the surface, what lies behind them
// (the background and the labels' own backgrounds) or what stands in front
// of them (lines and shapes).
enum class PlanLayers { All, BehindText, InFrontOfText };

// The steps that paint `area` (client pixels at `dpi`) of the form's surface
// as its controls stand now: everything that meets the area, back to front.
// Between controls of one kind, one declared earlier stands in front.
void BuildPlan(const Form& form, int dpi, const PixelRect& area, std::vector<Primitive>& out,
               PlanLayers layers = PlanLayers::All);

// The parts of a label that labels in front of it cover with their own
// background, in the label's own pixels, as rectangles that do not overlap:
// its text shows nowhere there.
std::vector<PixelRect> CoveredParts(const Form& form, int control, int dpi);

// The part of a form's surface that shows a line or shape, to repaint with
// everything on it when it is shown or hidden; empty for other controls.
PixelRect RepaintArea(const ControlSpec& control, int dpi);

// A picture box shows its picture, 32 pixels square at 96 DPI and growing
// with the DPI, inside a sunken border two pixels wide at 96 DPI: the box is
// sized to fit both. The picture's place in the box's own pixels.
PixelRect PictureArea(int dpi);
int ChromeWidth(int dpi);

// What a frame or a picture box paints in its own pixels, back to front: its
// face, its picture, and its edge (a frame's etched, a picture box's sunken).
void BuildChromePlan(const ControlSpec& control, int dpi, std::vector<Primitive>& out);

}  // namespace qvl
