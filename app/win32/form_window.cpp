#include "app/win32/form_window.h"

#include <memory>

#include "app/errors.h"
#include "app/geometry.h"
#include "app/resources.h"
#include "app/win32/controls.h"
#include "app/win32/gdi_canvas.h"

namespace qvl {

namespace {

constexpr UINT_PTR kFirstTimerId = 1000;

struct Styles {
  DWORD style, ex_style;
};
Styles StylesOf(const FormSpec& spec) {
  if (spec.border == BorderStyle::None)
    return {WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_SYSMENU, WS_EX_CONTROLPARENT};
  return {WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
          WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT};
}

RECT OuterRect(const FormWindow& fw) {
  const Styles s = StylesOf(fw.form->spec());
  const PixelRect client = ClientRect(fw.form->spec(), fw.dpi);
  RECT rc{0, 0, client.right, client.bottom};
  AdjustWindowRectExForDpi(&rc, s.style, FALSE, s.ex_style, fw.dpi);
  return rc;
}

void PaintForm(FormWindow& fw, HDC dc, const RECT& area) {
  static std::vector<Primitive> plan;  // one UI thread: reused, never shared
  BuildPlan(*fw.form, fw.dpi, {area.left, area.top, area.right, area.bottom}, plan);
  GdiCanvas canvas(dc, fw.fonts);
  canvas.Draw(plan);
}

LRESULT OnPaint(FormWindow& fw) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(fw.hwnd, &ps);
  PaintBuffered(fw.hwnd, dc, ps.rcPaint, [&](HDC mem) { PaintForm(fw, mem, ps.rcPaint); });
  EndPaint(fw.hwnd, &ps);
  return 0;
}

LRESULT OnPrintClient(FormWindow& fw, HDC dc) {
  RECT rc;
  GetClientRect(fw.hwnd, &rc);
  PaintForm(fw, dc, rc);
  return 0;
}

// After its own first tick a timer goes on at its interval.
LRESULT OnTimer(FormWindow& fw, WPARAM id) {
  if (id <= kFirstTimerId) return 0;
  const int interval = static_cast<int>(id - kFirstTimerId);
  if (std::erase(fw.first_ticks, interval) > 0)
    ::SetTimer(fw.hwnd, id, static_cast<UINT>(interval), nullptr);
  RuntimeOf(fw).Tick(*fw.form, interval);
  return 0;
}

// A button's click, and where the focus went (buttons notify both).
LRESULT OnCommand(FormWindow& fw, WPARAM wp, LPARAM lp) {
  const int control = LOWORD(wp) - kFirstControlId;
  if (!lp || control < 0 || control >= static_cast<int>(fw.controls.size())) return 0;
  if (HIWORD(wp) == BN_CLICKED) RuntimeOf(fw).ButtonClicked(*fw.form, control);
  if (HIWORD(wp) == BN_SETFOCUS) RuntimeOf(fw).FocusIn(*fw.form, control);
  return 0;
}

LRESULT OnActivate(FormWindow& fw, WPARAM wp) {
  if (LOWORD(wp) != WA_INACTIVE) RuntimeOf(fw).Activated(*fw.form);
  return 0;
}

LRESULT OnDpiChanged(FormWindow& fw, WPARAM wp, LPARAM lp) {
  fw.dpi = HIWORD(wp);
  Win32Fonts old = std::move(fw.fonts);  // still selected into the children until relaid
  const RECT* r = reinterpret_cast<const RECT*>(lp);
  SetWindowPos(fw.hwnd, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  LayoutChildren(fw);
  return 0;
}

LRESULT OnNcDestroy(FormWindow* fw, HWND hwnd, WPARAM wp, LPARAM lp) {
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  delete fw;
  return DefWindowProcW(hwnd, WM_NCDESTROY, wp, lp);
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* fw = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    fw->hwnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(fw));
  }
  FormWindow* fw = FromHwnd(hwnd);
  if (!fw) return DefWindowProcW(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything
    case WM_PAINT:
      return OnPaint(*fw);
    case WM_PRINTCLIENT:
      return OnPrintClient(*fw, reinterpret_cast<HDC>(wp));
    case WM_TIMER:
      return OnTimer(*fw, wp);
    case WM_COMMAND:
      return OnCommand(*fw, wp, lp);
    case WM_ACTIVATE:
      return OnActivate(*fw, wp);
    case WM_CLOSE:
      return RuntimeOf(*fw).WindowClosed(*fw->form), 0;
    case WM_DPICHANGED:
      return OnDpiChanged(*fw, wp, lp);
    case WM_NCDESTROY:
      return OnNcDestroy(fw, hwnd, wp, lp);
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

void RegisterFormClass() {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpfnWndProc = FormProc;
  wc.lpszClassName = kFormClass;
  wc.hIcon = static_cast<HICON>(
      LoadImageW(inst, MAKEINTRESOURCEW(kProgramIcon), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  wc.hIconSm = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(kProgramIcon), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  RegisterClassExW(&wc);
}

FormWindow* CreateFormWindow(Form& form) {
  auto fw = std::make_unique<FormWindow>();
  fw->form = &form;
  fw->controls.assign(form.controls().size(), nullptr);
  fw->dpi = static_cast<int>(GetDpiForSystem());
  const FormSpec& spec = form.spec();
  const Styles s = StylesOf(spec);
  // Created as an ordinary overlapped window so that the system chooses its
  // default place; a borderless form then drops its frame.
  const auto corner = ClientCorner(spec, fw->dpi);
  const RECT outer = OuterRect(*fw);
  HWND hwnd = CreateWindowExW(
      s.ex_style, kFormClass, Widen(form.Caption()).c_str(),
      corner ? s.style : (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN),
      corner ? 0 : CW_USEDEFAULT, corner ? 0 : CW_USEDEFAULT, outer.right - outer.left,
      outer.bottom - outer.top, nullptr, nullptr, GetModuleHandleW(nullptr), fw.get());
  if (!hwnd) throw RuntimeError(7, "Out of memory");
  FormWindow* w = fw.release();  // owned by the window from here on
  w->dpi = static_cast<int>(GetDpiForWindow(hwnd));
  const RECT rc = OuterRect(*w);
  if (const auto at = ClientCorner(spec, w->dpi)) {
    SetWindowPos(hwnd, nullptr, at->x + rc.left, at->y + rc.top, rc.right - rc.left,
                 rc.bottom - rc.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  } else {
    SetWindowLongPtrW(hwnd, GWL_STYLE, s.style);
    SetWindowPos(hwnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  CreateChildren(*w, hwnd, {});
  return w;
}

void StartFormTicker(FormWindow& fw, int interval_ms, int first_ms) {
  ::SetTimer(fw.hwnd, kFirstTimerId + interval_ms, static_cast<UINT>(first_ms), nullptr);
  if (first_ms != interval_ms) fw.first_ticks.push_back(interval_ms);
}

void StopFormTicker(FormWindow& fw, int interval_ms) {
  KillTimer(fw.hwnd, kFirstTimerId + interval_ms);
  std::erase(fw.first_ticks, interval_ms);
}

}  // namespace qvl
