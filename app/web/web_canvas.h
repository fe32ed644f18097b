// The paint plan on a page's <canvas>, in device pixels; the system colours
// of the page's scheme; and the faces the page carries for the shared font
// choice. Text is not painted here: a label's text is the page's own text,
// set in the face and place the font choice gives.
#pragma once

#include <string>

#include "app/font_choice.h"
#include "app/paint_plan.h"

namespace qvl {

// 0xRRGGBB of a colour the plan asks for.
unsigned WebRgb(PaintColor color);
// The same as CSS: a system colour by its variable, so that the page's
// scheme is set in one place (SetSystemColors).
std::string WebCss(PaintColor color);
// Gives the page its system colours.
void SetSystemColors();

// A face in the page's own terms: what the shared font choice draws for a
// named font at the page's scale (`dpi` for its CSS pixels), and how far its
// text is squeezed.
struct WebFace {
  std::string family;
  bool bold;
  FaceSize size;
  double scale;  // horizontal squeeze, 1 for none
};
WebFace FaceOf(const Font& font, int dpi);

class WebCanvas : public Canvas {
 public:
  WebCanvas(int window, int control) : window_(window), control_(control) {}
  void Fill(const PixelRect& r, PaintColor color) override;
  void Text(const PixelRect&, std::string_view, const Font&, int, PaintColor, unsigned) override {}
  void SlantedLine(PixelPoint from, PixelPoint to, int pen, PaintColor color) override;
  void Picture(const PixelRect& box, int picture) override;

 private:
  int window_, control_;
};

}  // namespace qvl
