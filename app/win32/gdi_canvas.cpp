#include "app/win32/gdi_canvas.h"

#include <algorithm>

namespace qvl {

COLORREF ColorRefOf(PaintColor color) {
  return color.system ? GetSysColor(static_cast<int>(color.value)) : color.value;
}

namespace {

HDC& BufferDc() {
  static HDC dc = nullptr;
  return dc;
}

}  // namespace

GdiCanvas::~GdiCanvas() {
  if (own_font_ && dc_ != BufferDc()) SelectObject(dc_, own_font_);
  if (clip_) DeleteObject(clip_);
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
  HFONT handle = fonts_.Get(font, font_px);
  if (GetCurrentObject(dc_, OBJ_FONT) != handle) {
    HGDIOBJ before = SelectObject(dc_, handle);
    if (!own_font_) own_font_ = before;
  }
  const std::wstring w = Widen(text);
  const PixelRect at = TextBox(box, fonts_.Size(font, font_px));
  RECT rc{at.left, at.top, at.right, at.bottom};
  UINT format = DT_LEFT | DT_TOP | DT_NOCLIP;
  if (flags & kWordBreak) format |= DT_WORDBREAK;
  if (flags & kNoPrefix) format |= DT_NOPREFIX;
  if (flags & kNoClip) {
    DrawTextW(dc_, w.c_str(), static_cast<int>(w.size()), &rc, format);
    return;
  }
  if (!clip_) clip_ = CreateRectRgn(0, 0, 0, 0);
  const bool had_clip = GetClipRgn(dc_, clip_) == 1;
  IntersectClipRect(dc_, box.left, box.top, box.right, box.bottom);
  DrawTextW(dc_, w.c_str(), static_cast<int>(w.size()), &rc, format);
  SelectClipRgn(dc_, had_clip ? clip_ : nullptr);
}

void GdiCanvas::SlantedLine(PixelPoint from, PixelPoint to, int pen, PaintColor color) {
  HPEN p = CreatePen(PS_SOLID, pen, ColorRefOf(color));
  HGDIOBJ old = SelectObject(dc_, p);
  MoveToEx(dc_, from.x, from.y, nullptr);
  LineTo(dc_, to.x, to.y);
  SelectObject(dc_, old);
  DeleteObject(p);
}

namespace {

// A picture is an .ico file kept as raw data (so that the program carries one
// icon only); its 32-pixel image with the most colours, drawn at `size`.
HICON LoadPicture(int id, int size) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!res) return nullptr;
  const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, res)));
  const DWORD length = SizeofResource(module, res);
  if (!data || length < 6) return nullptr;
  const WORD count = *reinterpret_cast<const WORD*>(data + 4);
  int best = -1, best_bits = -1;
  for (int i = 0; i < count && 6 + 16 * (i + 1) <= static_cast<int>(length); ++i) {
    const BYTE* e = data + 6 + 16 * i;
    const int width = e[0] ? e[0] : 256;
    const int bits = *reinterpret_cast<const WORD*>(e + 6);
    if (width == 32 && bits > best_bits) best = i, best_bits = bits;
  }
  if (best < 0) return nullptr;
  const BYTE* e = data + 6 + 16 * best;
  const DWORD bytes = *reinterpret_cast<const DWORD*>(e + 8);
  const DWORD offset = *reinterpret_cast<const DWORD*>(e + 12);
  if (offset + bytes > length) return nullptr;
  return CreateIconFromResourceEx(const_cast<BYTE*>(data + offset), bytes, TRUE, 0x00030000, size,
                                  size, LR_DEFAULTCOLOR);
}

}  // namespace

void GdiCanvas::Picture(const PixelRect& box, int picture) {
  if (HICON icon = LoadPicture(picture, box.width())) {
    DrawIconEx(dc_, box.left, box.top, icon, box.width(), box.height(), 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
  }
}

HDC PaintBufferDc(int width, int height) {
  HDC& dc = BufferDc();
  if (!dc) dc = CreateCompatibleDC(nullptr);
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

void ReleasePaintBufferFont() {
  if (HDC dc = BufferDc()) SelectObject(dc, GetStockObject(SYSTEM_FONT));
}

}  // namespace qvl
