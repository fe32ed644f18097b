// Where windows stand, and how large forms are laid out, where the program is
// its own window manager: a web page is the whole desktop of its windows, and
// no window may be lost outside it.
#pragma once

#include <algorithm>

#include "app/geometry.h"

namespace qvl {

// The least DPI, from `dpi` up, at which every button in the form's visible
// area is at least `target` pixels wide and high: the layout for a touch
// screen, where a finger needs a target of that size. A button too thin for
// any scale leaves the scale at eight times `dpi`.
constexpr int TargetDpi(const FormSpec& form, int target, int dpi) {
  for (const int most = 8 * dpi; dpi < most; ++dpi) {
    bool large_enough = true;
    for (const ControlSpec& s : form.controls) {
      if (s.kind != ControlKind::CommandButton || Offstage(form, s)) continue;
      const PixelRect b = Bounds(s, dpi);
      large_enough = large_enough && b.width() >= target && b.height() >= target;
    }
    if (large_enough) break;
  }
  return dpi;
}

// Where a window of `size`, asked for at `at`, opens: there, if it lies
// wholly inside `area`; else moved in just as far as it must; a window
// wider or higher than the area starts at the area's left or top edge.
constexpr PixelPoint OpenInside(PixelPoint at, PixelPoint size, const PixelRect& area) {
  return {std::max(area.left, std::min(at.x, area.right - size.x)),
          std::max(area.top, std::min(at.y, area.bottom - size.y))};
}

// The part of a label that moves a borderless window, in its container's
// pixels: the label within the visible area, up to the first button that
// stands in its row (buttons stand in front of labels).
constexpr PixelRect TitleStrip(const FormSpec& form, int control, int dpi) {
  const ControlSpec& strip = form.controls[control];
  const PixelRect client = ClientRect(form, dpi);
  PixelRect r = Bounds(strip, dpi);
  r = {std::max(r.left, client.left), std::max(r.top, client.top), std::min(r.right, client.right),
       std::min(r.bottom, client.bottom)};
  for (const ControlSpec& s : form.controls) {
    if (s.kind != ControlKind::CommandButton || s.container != strip.container) continue;
    const PixelRect b = Bounds(s, dpi);
    if (b.Meets(r) && b.left > r.left) r.right = b.left;
  }
  return r;
}

// Where a window that is moved to `at` (by a drag, or by the area changing
// size) may stand: its title strip, `strip` in the window's own pixels,
// keeps all its height and at least `grip` pixels of its width (all of it,
// where it is narrower) inside `area`, so it can always be taken again. The
// strip's top edge wins where the area is smaller than that.
constexpr PixelPoint KeepReachable(PixelPoint at, const PixelRect& strip, const PixelRect& area,
                                   int grip) {
  const int g = std::min(grip, strip.width());
  return {std::max(area.left - strip.right + g, std::min(at.x, area.right - strip.left - g)),
          std::max(area.top - strip.top, std::min(at.y, area.bottom - strip.bottom))};
}

}  // namespace qvl
