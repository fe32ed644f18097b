// Where a form's controls land in pixels. Every toolkit places windows and
// draws by these numbers, so a control sits on the same pixel everywhere.
#pragma once

#include <algorithm>
#include <optional>

#include "app/form_spec.h"

namespace qvl {

// a * b / c rounded to the nearest whole number, halves away from zero (the
// rounding of Windows' MulDiv).
constexpr int MulDivRound(long long a, long long b, long long c) {
  const long long p = a * b;
  return static_cast<int>(p >= 0 ? (p + c / 2) / c : -((-p + c / 2) / c));
}

// 1440 twips to the inch: 15 to a pixel at 96 DPI, 10 at 144.
constexpr int TwipsToPixels(Twips twips, int dpi) {
  return MulDivRound(twips, dpi, 1440);
}

// Em height of a font in pixels (8.25 pt is 11 px at 96 DPI).
constexpr int FontPixelHeight(int centipoints, int dpi) {
  return MulDivRound(centipoints, dpi, 7200);
}

// Line and outline widths are given in pixels at 96 DPI and grow with the
// screen, never below one pixel.
constexpr int PenWidth(int width, int dpi) {
  return std::max(1, MulDivRound(width, dpi, 96));
}

struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  constexpr int width() const { return right - left; }
  constexpr int height() const { return bottom - top; }
  constexpr bool Meets(const PixelRect& o) const {
    return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
  }
  friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A control's rectangle in its container's pixels. Edges are converted, not
// sizes, so controls that touch in twips touch in pixels. A line keeps its
// end points: (X1, Y1) - (X2, Y2).
constexpr PixelRect Bounds(const ControlSpec& s, int dpi) {
  if (s.kind == ControlKind::Line)
    return {TwipsToPixels(s.left, dpi), TwipsToPixels(s.top, dpi), TwipsToPixels(s.width, dpi),
            TwipsToPixels(s.height, dpi)};
  return {TwipsToPixels(s.left, dpi), TwipsToPixels(s.top, dpi),
          TwipsToPixels(s.left + s.width, dpi), TwipsToPixels(s.top + s.height, dpi)};
}

constexpr PixelRect ClientRect(const FormSpec& form, int dpi) {
  return {0, 0, TwipsToPixels(form.client_width, dpi), TwipsToPixels(form.client_height, dpi)};
}

// The pixels a control may paint: its rectangle, or for a line the box
// around its end points grown by its pen.
constexpr PixelRect PaintBox(const ControlSpec& s, int dpi) {
  const PixelRect b = Bounds(s, dpi);
  if (s.kind != ControlKind::Line) return b;
  const int pen = PenWidth(s.line_width, dpi);
  return {std::min(b.left, b.right) - pen, std::min(b.top, b.bottom) - pen,
          std::max(b.left, b.right) + pen, std::max(b.top, b.bottom) + pen};
}

// A control wholly outside its form's visible area, the client rectangle (a
// control in a frame is where its frame is): it is never seen, and screen
// readers hear of it as off screen. A label there changes every second
// without anyone seeing it, so the runtime does not tell toolkits its new
// captions: they read them from the form when asked.
constexpr bool Offstage(const FormSpec& form, const ControlSpec& s) {
  if (!s.container.empty()) {
    for (const ControlSpec& c : form.controls)
      if (c.name == s.container) return Offstage(form, c);
    return true;
  }
  int l = s.left, t = s.top, r = s.left + s.width, b = s.top + s.height;
  if (s.kind == ControlKind::Line) {
    l = std::min(s.left, s.width), r = std::max(s.left, s.width) + 1;
    t = std::min(s.top, s.height), b = std::max(s.top, s.height) + 1;
  }
  return !(l < form.client_width && t < form.client_height && r > 0 && b > 0);
}

struct PixelPoint {
  int x = 0, y = 0;
  friend constexpr bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// Where a form with a manual start position puts its client area's corner on
// the screen; none where the window system places the window.
constexpr std::optional<PixelPoint> ClientCorner(const FormSpec& form, int dpi) {
  if (form.start != StartPosition::Manual) return std::nullopt;
  return PixelPoint{TwipsToPixels(form.start_left, dpi), TwipsToPixels(form.start_top, dpi)};
}

}  // namespace qvl
