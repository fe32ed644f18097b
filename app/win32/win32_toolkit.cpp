#include "app/win32/win32_toolkit.h"

#include "app/geometry.h"
#include "app/win32/controls.h"
#include "app/win32/form_window.h"

namespace qvl {

Win32Toolkit::Win32Toolkit() {
  static const bool registered = [] {
    RegisterFormClass();
    RegisterControlClasses();
    return true;
  }();
  (void)registered;
}

HWND Win32Toolkit::WindowOf(const Form& form) {
  const FormWindow* fw = FromForm(form);
  return fw ? fw->hwnd : nullptr;
}

HWND Win32Toolkit::ControlWindow(const Form& form, int control) {
  const FormWindow* fw = FromForm(form);
  return fw && control >= 0 ? fw->controls[control] : nullptr;
}

int Win32Toolkit::DpiOf(const Form& form) {
  const FormWindow* fw = FromForm(form);
  return fw ? fw->dpi : 0;
}

void Win32Toolkit::CreateWindowFor(Form& form) {
  CreateFormWindow(form);
}

void Win32Toolkit::ShowWindowFor(Form& form) {
  FormWindow* fw = FromForm(form);
  if (!fw) return;
  ShowWindow(fw->hwnd, SW_SHOWNORMAL);
  SetForegroundWindow(fw->hwnd);
  if (!fw->focus) {
    fw->focus = FirstFocus(*fw);
    if (fw->focus && GetForegroundWindow() == fw->hwnd) SetFocus(fw->focus);
  }
  UpdateWindow(fw->hwnd);
}

void Win32Toolkit::DestroyWindowFor(Form& form) {
  FormWindow* fw = FromForm(form);
  if (!fw) return;
  form.native = nullptr;
  DestroyWindow(fw->hwnd);
}

void Win32Toolkit::SetText(Form& form, int control, std::string_view text) {
  FormWindow* fw = FromForm(form);
  if (!fw) return;
  HWND target = control < 0 ? fw->hwnd : fw->controls[control];
  if (target) SetWindowTextW(target, Widen(text).c_str());
}

void Win32Toolkit::SetVisible(Form& form, int control, bool visible) {
  FormWindow* fw = FromForm(form);
  if (!fw || control < 0) return;
  HWND child = fw->controls[control];
  if (!child) {
    // A line or shape: every window it meets repaints, labels included.
    const PixelRect r = PaintBox(form.spec().controls[control], fw->dpi);
    const RECT rc{r.left, r.top, r.right, r.bottom};
    RedrawWindow(fw->hwnd, &rc, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    return;
  }
  HWND focus = GetFocus();
  const bool had_focus = !visible && focus && (focus == child || IsChild(child, focus));
  ShowWindow(child, visible ? SW_SHOWNA : SW_HIDE);
  if (had_focus) {
    fw->focus = FirstFocus(*fw);
    if (fw->focus) SetFocus(fw->focus);
  }
}

void Win32Toolkit::StartTicker(Form& form, int interval_ms) {
  if (FormWindow* fw = FromForm(form)) StartFormTicker(*fw, interval_ms);
}

void Win32Toolkit::StopTicker(Form& form, int interval_ms) {
  if (FormWindow* fw = FromForm(form)) StopFormTicker(*fw, interval_ms);
}

// As a press on a title bar: the window system moves the window with the
// pointer until the button is released.
void Win32Toolkit::DragWindow(Form& form) {
  ReleaseCapture();
  SendMessageA(WindowOf(form), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

int Win32Toolkit::ShowMessageBox(Form* owner, std::string_view text, std::string_view title,
                                 const BoxStyle& style) {
  return MessageBoxW(owner ? WindowOf(*owner) : nullptr, Widen(text).c_str(), Widen(title).c_str(),
                     static_cast<UINT>(EncodeBoxStyle(style)));
}

void Win32Toolkit::Quit() {
  if (quit_) return;
  quit_ = true;
  PostQuitMessage(0);
}

namespace {
// Tab, Enter, Escape, the space bar and access keys work in every form as in
// a dialog box. Only keyboard messages need that; the ten timer messages a
// second go straight to their window.
bool PreTranslate(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  if (!root) return false;
  wchar_t cls[16];
  if (!GetClassNameW(root, cls, 16) || lstrcmpW(cls, kFormClass) != 0) return false;
  return IsDialogMessageW(root, &msg) != FALSE;
}
}  // namespace

int Win32Toolkit::Run() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

void Win32Toolkit::Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) continue;
    if (PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace qvl
