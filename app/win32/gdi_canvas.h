// The paint plan drawn with GDI, through one off-screen buffer so that a
// tick never shows a half-drawn label.
#pragma once

#include "app/paint_plan.h"
#include "app/win32/fonts.h"
#include "app/win32/winapi.h"

namespace qvl {

// A font is selected only when it changes, and the paint buffer keeps the
// last one: under Wine every font selection reads the X resource database.
class GdiCanvas : public Canvas {
 public:
  GdiCanvas(HDC dc, Win32Fonts& fonts) : dc_(dc), fonts_(fonts) {}
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;
  void Fill(const PixelRect& r, PaintColor color) override;
  void Text(const PixelRect& box, std::string_view text, const Font& font, int font_px,
            PaintColor color, unsigned flags) override;
  void SlantedLine(PixelPoint from, PixelPoint to, int pen, PaintColor color) override;
  void Picture(const PixelRect& box, int picture) override;

 private:
  HDC dc_;
  Win32Fonts& fonts_;
  HGDIOBJ own_font_ = nullptr;  // the DC's font before ours, put back at the end
  HRGN clip_ = nullptr;         // the DC's clip while a text is clipped to its box
};

COLORREF ColorRefOf(PaintColor color);

// Paints `area` (client pixels of `hwnd`) through the buffer: `paint` draws
// into the buffer's DC in the window's client coordinates.
template <class Paint>
void PaintBuffered(HWND hwnd, HDC target, const RECT& area, Paint&& paint);

// One device-independent bitmap serves every paint (there is one UI thread)
// and only grows: a repaint allocates nothing and, under X11, needs no server
// pixmap.
HDC PaintBufferDc(int width, int height);
// The buffer lets go of its font, before the font is deleted.
void ReleasePaintBufferFont();

template <class Paint>
void PaintBuffered(HWND hwnd, HDC target, const RECT& area, Paint&& paint) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  if (rc.right <= 0 || rc.bottom <= 0 || IsRectEmpty(&area)) return;
  HDC mem = PaintBufferDc(rc.right, rc.bottom);
  // Not SaveDC/RestoreDC: restoring selects the font again.
  IntersectClipRect(mem, area.left, area.top, area.right, area.bottom);
  paint(mem);
  SelectClipRgn(mem, nullptr);
  BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, mem,
         area.left, area.top, SRCCOPY);
}

}  // namespace qvl
