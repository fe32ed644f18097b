#include "app/win32/gdi_canvas.h"

#include <algorithm>

namespace qvl {

COLORREF ColorRefOf(PaintColor color) {
  return color.system ? GetSysColor(static_cast<int>(color.value)) : color.value;
}

void GdiCanvas::Fill(const PixelRect& r, PaintColor color) {
  const RECT rc{r.left, r.top, r.right, r.bottom};
  SetDCBrushColor(dc_, ColorRefOf(color));
  FillRect(dc_, &rc, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void GdiCanvas::Text(const PixelRect& box, std::string_view text, const Font& font, int font_px,
                     PaintColor color, unsigned flags) {
  SetBkMode(dc_, TRANSPARENT);
  SetTextColor(dc_, ColorRefOf(color));
  HGDIOBJ old = SelectObject(dc_, fonts_.Get(font, font_px));
  const std::wstring w = Widen(text);
  RECT rc{box.left, box.top, box.right, box.bottom};
  UINT format = DT_LEFT | DT_TOP;
  if (flags & kWordBreak) format |= DT_WORDBREAK;
  if (flags & kNoPrefix) format |= DT_NOPREFIX;
  DrawTextW(dc_, w.c_str(), static_cast<int>(w.size()), &rc, format);
  SelectObject(dc_, old);
}

void GdiCanvas::SlantedLine(PixelPoint from, PixelPoint to, int pen, PaintColor color) {
  HPEN p = CreatePen(PS_SOLID, pen, ColorRefOf(color));
  HGDIOBJ old = SelectObject(dc_, p);
  MoveToEx(dc_, from.x, from.y, nullptr);
  LineTo(dc_, to.x, to.y);
  SelectObject(dc_, old);
  DeleteObject(p);
}

HDC PaintBufferDc(int width, int height) {
  static HDC dc = CreateCompatibleDC(nullptr);
  static HBITMAP bitmap = nullptr;
  static int have_w = 0, have_h = 0;
  if (width > have_w || height > have_h) {
    have_w = std::max(width, have_w);
    have_h = std::max(height, have_h);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = have_w;
    bi.bmiHeader.biHeight = -have_h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP grown = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    SelectObject(dc, grown);
    if (bitmap) DeleteObject(bitmap);
    bitmap = grown;
  }
  return dc;
}

}  // namespace qvl
