#include "app/win32/controls.h"

#include <algorithm>
#include <memory>

#include "app/errors.h"
#include "app/geometry.h"
#include "app/paint_plan.h"
#include "app/stacking.h"
#include "app/win32/accessibility.h"
#include "app/win32/gdi_canvas.h"

namespace qvl {

namespace {

constexpr wchar_t kFrameClass[] = L"QvlFrame";
constexpr wchar_t kPictureClass[] = L"QvlPicture";

WNDPROC g_static_proc = nullptr;  // the system's label procedure
WNDPROC g_button_proc = nullptr;  // the system's button procedure

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

// Screen readers hear of offstage controls as off screen.
LRESULT OffstageObject(HWND hwnd, WPARAM wp, LPARAM lp) {
  FormWindow* fw = FromHwnd(hwnd);
  if (!fw || !Offstage(fw->form->spec(), ControlOf(*fw, hwnd).spec())) return 0;
  return OffscreenObject(hwnd, wp, lp);
}

// The system's button turns the second of two quick presses into a double
// click, which makes no click of its own: here every press is a press, so
// two clicks are two Clicks however soon the second follows.
LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_LBUTTONDBLCLK) msg = WM_LBUTTONDOWN;
  if (msg == WM_GETOBJECT)
    if (const LRESULT r = OffstageObject(hwnd, wp, lp)) return r;
  return CallWindowProcW(g_button_proc, hwnd, msg, wp, lp);
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

// The new text is painted at once, as the system's own labels do: no trip
// through the message queue for the sentence that changes every second.
LRESULT OnLabelSetText(HWND hwnd, WPARAM wp, LPARAM lp) {
  const LRESULT r = DefWindowProcW(hwnd, WM_SETTEXT, wp, lp);
  RECT rc;
  GetClientRect(hwnd, &rc);
  HDC dc = GetDC(hwnd);
  PaintBuffered(hwnd, dc, rc, [&](HDC mem) { PaintLabel(hwnd, mem); });
  ReleaseDC(hwnd, dc);
  return r;
}

// A label's text is the form's caption: an offstage label is not told when
// it changes, and reads it from the form when asked.
LRESULT OnLabelGetText(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  const std::wstring text = Widen(ControlOf(*FromHwnd(hwnd), hwnd).Caption());
  const auto length = static_cast<LRESULT>(text.size());
  if (msg == WM_GETTEXTLENGTH) return length;
  if (wp == 0) return 0;
  const LRESULT n = std::min<LRESULT>(length, static_cast<LRESULT>(wp) - 1);
  auto* out = reinterpret_cast<wchar_t*>(lp);
  std::copy_n(text.data(), n, out);
  out[n] = L'\0';
  return n;
}

MouseButton ButtonOf(UINT msg) {
  switch (msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      return MouseButton::Right;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      return MouseButton::Middle;
  }
  return MouseButton::Left;
}

LRESULT OnLabelPress(HWND hwnd, UINT msg) {
  FormWindow* fw = FromHwnd(hwnd);
  if (!fw) return 0;
  // A press captures the mouse, as it would for any control; a handler that
  // starts a window drag releases it.
  SetCapture(hwnd);
  RuntimeOf(*fw).MouseDown(*fw->form, ControlIndex(hwnd), ButtonOf(msg));
  return 0;
}

LRESULT OnLabelRelease(HWND hwnd, UINT msg, LPARAM lp) {
  FormWindow* fw = FromHwnd(hwnd);
  if (!fw) return 0;
  RECT rc;
  GetClientRect(hwnd, &rc);
  const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  const bool inside = PtInRect(&rc, pt) != FALSE;
  const bool last = !(GetKeyState(VK_LBUTTON) & 0x8000) && !(GetKeyState(VK_RBUTTON) & 0x8000) &&
                    !(GetKeyState(VK_MBUTTON) & 0x8000);
  RuntimeOf(*fw).MouseUp(*fw->form, ControlIndex(hwnd), ButtonOf(msg), inside);
  // The capture ends with the last button held; the handler may have closed
  // the window, which ends it too.
  if (last && GetCapture() == hwnd) ReleaseCapture();
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
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
      if (FromHwnd(hwnd)) return OnLabelGetText(hwnd, msg, wp, lp);
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      return OnLabelPress(hwnd, msg);
    // The system's label class counts double clicks: here every press is a
    // press, so that two quick clicks are two Clicks.
    case WM_LBUTTONDBLCLK:
      return OnLabelPress(hwnd, WM_LBUTTONDOWN);
    case WM_RBUTTONDBLCLK:
      return OnLabelPress(hwnd, WM_RBUTTONDOWN);
    case WM_MBUTTONDBLCLK:
      return OnLabelPress(hwnd, WM_MBUTTONDOWN);
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      return OnLabelRelease(hwnd, msg, lp);
    case WM_CAPTURECHANGED:
      if (FormWindow* fw = FromHwnd(hwnd)) RuntimeOf(*fw).PointerLost(*fw->form);
      return 0;
    case WM_GETOBJECT:
      if (const LRESULT r = OffstageObject(hwnd, wp, lp)) return r;
      break;
  }
  return CallWindowProcW(g_static_proc, hwnd, msg, wp, lp);
}

// Frames and picture boxes draw their face, picture and edge by the shared
// plan.
void PaintChrome(HWND hwnd, HDC dc) {
  FormWindow* fw = FromHwnd(hwnd);
  if (!fw) return;
  static std::vector<Primitive> plan;
  BuildChromePlan(ControlOf(*fw, hwnd).spec(), fw->dpi, plan);
  GdiCanvas canvas(dc, fw->fonts);
  canvas.Draw(plan);
}

// Frames and picture boxes; a frame's buttons report to the form.
LRESULT CALLBACK ChromeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      return Painted(hwnd, [&](HDC dc) { PaintChrome(hwnd, dc); });
    case WM_PRINTCLIENT:
      return PaintChrome(hwnd, reinterpret_cast<HDC>(wp)), 0;
    case WM_COMMAND:
      return SendMessageW(GetAncestor(hwnd, GA_ROOT), msg, wp, lp);
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
      style |= WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY;  // the runtime says which looks default
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
  } else if (s.kind == ControlKind::CommandButton) {
    const auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ButtonProc)));
    if (!g_button_proc) g_button_proc = previous;
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
  wc.lpfnWndProc = ChromeProc;
  wc.lpszClassName = kFrameClass;
  RegisterClassExW(&wc);
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
