#include "app/win32/controls.h"

#include <memory>

#include "app/errors.h"
#include "app/geometry.h"
#include "app/stacking.h"
#include "app/win32/gdi_canvas.h"

namespace qvl {

namespace {

constexpr wchar_t kFrameClass[] = L"QvlFrame";
constexpr wchar_t kPictureClass[] = L"QvlPicture";

WNDPROC g_static_proc = nullptr;  // the system's label procedure

const Control& ControlOf(const FormWindow& fw, HWND hwnd) {
  return fw.form->controls()[ControlIndex(hwnd)];
}

template <class Paint>
LRESULT Painted(HWND hwnd, Paint&& paint) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  PaintBuffered(hwnd, dc, ps.rcPaint, paint);
  EndPaint(hwnd, &ps);
  return 0;
}

// A label shows the form's surface where it stands: the background, itself
// and any label or line that meets it, as the shared plan orders them.
void PaintLabel(HWND hwnd, HDC dc) {
  FormWindow* fw = FromHwnd(hwnd);
  if (!fw) return;
  const PixelRect box = Bounds(ControlOf(*fw, hwnd).spec(), fw->dpi);
  static std::vector<Primitive> plan;
  BuildPlan(*fw->form, fw->dpi, box, plan);
  SetViewportOrgEx(dc, -box.left, -box.top, nullptr);
  GdiCanvas canvas(dc, fw->fonts);
  canvas.Draw(plan);
  SetViewportOrgEx(dc, 0, 0, nullptr);
}

LRESULT OnLabelSetText(HWND hwnd, WPARAM wp, LPARAM lp) {
  const LRESULT r = DefWindowProcW(hwnd, WM_SETTEXT, wp, lp);
  // Value labels in the developer area change every second but are never
  // seen: only labels in the visible area repaint.
  FormWindow* fw = FromHwnd(hwnd);
  if (!fw || InVisibleArea(fw->form->spec(), ControlOf(*fw, hwnd).spec()))
    InvalidateRect(hwnd, nullptr, FALSE);
  return r;
}

LRESULT OnLabelPress(HWND hwnd, UINT msg) {
  FormWindow* fw = FromHwnd(hwnd);
  if (!fw) return 0;
  // A press captures the mouse, as it would for any control; a handler that
  // starts a window drag releases it.
  SetCapture(hwnd);
  if (msg == WM_LBUTTONDOWN) fw->pressed = ControlIndex(hwnd);
  DispatchEvent(*fw, ControlIndex(hwnd), Event::MouseDown);
  return 0;
}

LRESULT OnLabelRelease(HWND hwnd, UINT msg, LPARAM lp) {
  FormWindow* fw = FromHwnd(hwnd);
  const bool clicked = fw && msg == WM_LBUTTONUP && fw->pressed == ControlIndex(hwnd);
  if (GetCapture() == hwnd) ReleaseCapture();  // sends WM_CAPTURECHANGED
  if (!clicked) return 0;
  RECT rc;
  GetClientRect(hwnd, &rc);
  const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  if (PtInRect(&rc, pt)) DispatchEvent(*fw, ControlIndex(hwnd), Event::Click);
  return 0;
}

// Labels are the system's "Static" windows with our painting and mouse
// handling, so screen readers know them as static text named by their text.
LRESULT CALLBACK LabelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCHITTEST:
      return HTCLIENT;  // the system's label lets clicks through
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      return Painted(hwnd, [&](HDC dc) { PaintLabel(hwnd, dc); });
    case WM_PRINTCLIENT:
      return PaintLabel(hwnd, reinterpret_cast<HDC>(wp)), 0;
    case WM_SETTEXT:
      return OnLabelSetText(hwnd, wp, lp);
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      return OnLabelPress(hwnd, msg);
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      return OnLabelRelease(hwnd, msg, lp);
    case WM_CAPTURECHANGED:
      if (FormWindow* fw = FromHwnd(hwnd)) fw->pressed = -1;
      return 0;
  }
  return CallWindowProcW(g_static_proc, hwnd, msg, wp, lp);
}

void PaintFrame(HWND hwnd, HDC dc) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(dc, &rc, EDGE_ETCHED, BF_RECT);
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      return Painted(hwnd, [&](HDC dc) { PaintFrame(hwnd, dc); });
    case WM_PRINTCLIENT:
      return PaintFrame(hwnd, reinterpret_cast<HDC>(wp)), 0;
    case WM_COMMAND:
      return SendMessageW(GetAncestor(hwnd, GA_ROOT), msg, wp, lp);  // the form's
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// The picture is an .ico file kept as raw data (so that the program carries
// one icon only); the image nearest 32 by 32 is drawn at the window's DPI.
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

void PaintPicture(HWND hwnd, HDC dc) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(dc, &rc, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  FormWindow* fw = FromHwnd(hwnd);
  if (!fw) return;
  const int size = MulDivRound(32, fw->dpi, 96);
  if (HICON icon = LoadPicture(ControlOf(*fw, hwnd).spec().picture, size)) {
    DrawIconEx(dc, rc.left, rc.top, icon, size, size, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
  }
}

LRESULT CALLBACK PictureProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      return Painted(hwnd, [&](HDC dc) { PaintPicture(hwnd, dc); });
    case WM_PRINTCLIENT:
      return PaintPicture(hwnd, reinterpret_cast<HDC>(wp)), 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

HWND CreateControl(FormWindow& fw, const Control& c, HWND parent) {
  const ControlSpec& s = c.spec();
  const wchar_t* cls = nullptr;
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (c.Visible() ? WS_VISIBLE : 0);
  DWORD ex_style = 0;
  switch (s.kind) {
    case ControlKind::Label:
      cls = L"Static";
      style |= SS_LEFT | SS_NOPREFIX;
      break;
    case ControlKind::CommandButton:
      cls = L"BUTTON";
      style |= WS_TABSTOP | (s.is_default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
      break;
    case ControlKind::Frame:
      cls = kFrameClass;
      style |= WS_CLIPCHILDREN;
      ex_style |= WS_EX_CONTROLPARENT;
      break;
    case ControlKind::PictureBox:
      cls = kPictureClass;
      break;
    default:
      return nullptr;
  }
  const PixelRect r = Bounds(s, fw.dpi);
  HWND hwnd = CreateWindowExW(
      ex_style, cls, Widen(c.Caption()).c_str(), style, r.left, r.top, r.width(), r.height(),
      parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + c.index())),
      GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) throw RuntimeError(7, "Out of memory");
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&fw));
  if (s.kind == ControlKind::Label) {
    const auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LabelProc)));
    if (!g_static_proc) g_static_proc = previous;
  }
  SendMessageW(
      hwnd, WM_SETFONT,
      reinterpret_cast<WPARAM>(fw.fonts.Get(s.font, FontPixelHeight(s.font.centipoints, fw.dpi))),
      FALSE);
  return hwnd;
}

}  // namespace

void RegisterControlClasses() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpfnWndProc = FrameProc;
  wc.lpszClassName = kFrameClass;
  RegisterClassExW(&wc);
  wc.lpfnWndProc = PictureProc;
  wc.lpszClassName = kPictureClass;
  RegisterClassExW(&wc);
}

void CreateChildren(FormWindow& fw, HWND parent, std::string_view container) {
  auto& controls = fw.form->controls();
  for (int i : StackingOrder(fw.form->spec(), container)) {
    fw.controls[i] = CreateControl(fw, controls[i], parent);
    if (controls[i].spec().kind == ControlKind::Frame && fw.controls[i])
      CreateChildren(fw, fw.controls[i], controls[i].name());
  }
}

void LayoutChildren(FormWindow& fw) {
  for (const Control& c : fw.form->controls()) {
    HWND child = fw.controls[c.index()];
    if (!child) continue;
    const ControlSpec& s = c.spec();
    const PixelRect r = Bounds(s, fw.dpi);
    SetWindowPos(child, nullptr, r.left, r.top, r.width(), r.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(
        child, WM_SETFONT,
        reinterpret_cast<WPARAM>(fw.fonts.Get(s.font, FontPixelHeight(s.font.centipoints, fw.dpi))),
        FALSE);
  }
  InvalidateRect(fw.hwnd, nullptr, TRUE);
}

}  // namespace qvl
