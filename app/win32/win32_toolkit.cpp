#include "app/win32/win32_toolkit.h"

#include <algorithm>
#include <vector>

#include "app/geometry.h"
#include "app/paint_plan.h"
#include "app/win32/controls.h"
#include "app/win32/form_window.h"

namespace qvl {

namespace {

// The top-level window a message is for, if it is of window class `cls`.
HWND RootOfClass(const MSG& msg, const wchar_t* cls) {
  HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  wchar_t name[16];
  return root && GetClassNameW(root, name, 16) && lstrcmpW(name, cls) == 0 ? root : nullptr;
}

// The keys of a form's window go to the runtime, whose rules say what they
// do: Tab and Shift+Tab move the focus in the form's tab order, Enter and
// Escape press the button they name, and a character key (with Alt or
// without) may press the button of that access key. The space bar is the
// focused button's own. Only keyboard messages are looked at: the ten timer
// messages a second go straight to their window. True if the message was
// the runtime's.
bool PreTranslate(const MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  HWND root = RootOfClass(msg, kFormClass);
  if (!root) return false;
  FormWindow* fw = FromHwnd(root);
  if (!fw) return false;
  Runtime& runtime = RuntimeOf(*fw);
  const WPARAM key = msg.wParam;
  switch (msg.message) {
    case WM_KEYDOWN:
      if (key == VK_TAB) {
        // The focus is now shown, as the dialog manager shows it on Tab.
        SendMessageW(root, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
        runtime.TabDown(*fw->form, GetKeyState(VK_SHIFT) < 0);
        return true;
      }
      if (key == VK_RETURN || key == VK_ESCAPE) {
        runtime.KeyDown(*fw->form, key == VK_RETURN ? Key::Enter : Key::Escape);
        return true;
      }
      return false;
    case WM_KEYUP:
    case WM_CHAR:
      // The characters of Tab, Enter and Escape share their keys' codes.
      if (key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE) return true;
      if (msg.message == WM_CHAR && key > L' ' && key < 0x7F)
        return runtime.CharacterDown(*fw->form, static_cast<char>(key), false);
      return false;
    case WM_SYSKEYDOWN:
      if (key == VK_MENU)
        SendMessageW(root, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEACCEL), 0);
      return false;
    case WM_SYSCHAR:
      // Alt+Space stays the window menu's; other Alt keys are the form's,
      // and make no beep where they press nothing.
      if (key == L' ') return false;
      if (key > L' ' && key < 0x7F) runtime.CharacterDown(*fw->form, static_cast<char>(key), true);
      return true;
  }
  return false;
}

// The system's message boxes open now, as described, the latest last.
std::vector<BoxDescription> g_boxes;

// A box whose style has no Escape answer takes no Escape and offers no close
// button, as Windows' own box does (Wine's answers Cancel to Escape whatever
// its buttons). True if the message is not the box's to have.
bool BoxFilter(const MSG& msg) {
  if (g_boxes.empty() || g_boxes.back().escape) return false;
  HWND root = RootOfClass(msg, L"#32770");
  if (!root) return false;
  EnableMenuItem(GetSystemMenu(root, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  return (msg.message == WM_KEYDOWN || msg.message == WM_CHAR) && msg.wParam == VK_ESCAPE;
}

// While a message box (or any dialog of the system's) waits, its own loop
// runs: the forms' keys are handed to the runtime from there as well, so
// that the other windows take keys as they take clicks.
LRESULT CALLBACK MessageFilter(int code, WPARAM wp, LPARAM lp) {
  const MSG& msg = *reinterpret_cast<const MSG*>(lp);
  if (code >= 0 && (PreTranslate(msg) || BoxFilter(msg))) return TRUE;
  return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

Win32Toolkit::Win32Toolkit() {
  static const bool registered = [] {
    RegisterFormClass();
    RegisterControlClasses();
    return true;
  }();
  (void)registered;
  filter_ = SetWindowsHookExW(WH_MSGFILTER, MessageFilter, nullptr, GetCurrentThreadId());
}

Win32Toolkit::~Win32Toolkit() {
  if (filter_) UnhookWindowsHookEx(filter_);
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

NativeWindow* Win32Toolkit::CreateWindowFor(Form& form) {
  return CreateFormWindow(form);
}

void Win32Toolkit::ShowWindowFor(Form& form, bool) {
  FormWindow* fw = FromForm(form);
  if (!fw) return;
  ShowWindow(fw->hwnd, SW_SHOWNORMAL);
  SetForegroundWindow(fw->hwnd);
  UpdateWindow(fw->hwnd);
}

void Win32Toolkit::DestroyWindowFor(Form& form) {
  if (FormWindow* fw = FromForm(form)) DestroyWindow(fw->hwnd);
}

// Only in the active window: activating it puts the focus back again.
void Win32Toolkit::FocusControl(Form& form, int control) {
  FormWindow* fw = FromForm(form);
  if (fw && fw->controls[control] && GetActiveWindow() == fw->hwnd) SetFocus(fw->controls[control]);
}

void Win32Toolkit::ShowDefault(Form& form, int control) {
  FormWindow* fw = FromForm(form);
  if (!fw) return;
  for (int button : {fw->looks_default, control})
    if (button >= 0 && fw->controls[button])
      SendMessageW(fw->controls[button], BM_SETSTYLE,
                   button == control ? BS_DEFPUSHBUTTON | BS_NOTIFY : BS_PUSHBUTTON | BS_NOTIFY,
                   TRUE);
  fw->looks_default = control;
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
  if (HWND child = fw->controls[control]) {
    ShowWindow(child, visible ? SW_SHOWNA : SW_HIDE);
    return;
  }
  // A line or shape: the labels it meets are windows of their own.
  const PixelRect r = RepaintArea(form.spec().controls[control], fw->dpi);
  const RECT rc{r.left, r.top, r.right, r.bottom};
  RedrawWindow(fw->hwnd, &rc, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void Win32Toolkit::StartTicker(Form& form, int interval_ms, int first_ms) {
  if (FormWindow* fw = FromForm(form)) StartFormTicker(*fw, interval_ms, first_ms);
}

void Win32Toolkit::StopTicker(Form& form, int interval_ms) {
  if (FormWindow* fw = FromForm(form)) StopFormTicker(*fw, interval_ms);
}

namespace {

MouseButton ReleasedButton(UINT msg) {
  return msg == WM_RBUTTONUP   ? MouseButton::Right
         : msg == WM_MBUTTONUP ? MouseButton::Middle
                               : MouseButton::Left;
}

// Windows' own move loop ends only when the left button is released: a move
// that another button started is followed here instead, until that button
// is released. Other messages go on meanwhile, as in Windows' loop.
void FollowPointer(HWND hwnd, MouseButton button) {
  POINT at;
  RECT rc;
  GetCursorPos(&at);
  GetWindowRect(hwnd, &rc);
  PointerDrag drag;
  drag.Begin(button, {at.x, at.y}, {rc.left, rc.top});
  SetCapture(hwnd);
  MSG msg;
  while (drag.active() && GetCapture() == hwnd && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_MOUSEMOVE) {
      GetCursorPos(&at);
      if (const auto to = drag.Follow({at.x, at.y}))
        SetWindowPos(hwnd, nullptr, to->x, to->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONUP ||
               msg.message == WM_MBUTTONUP) {
      drag.Release(ReleasedButton(msg.message));
    } else if ((msg.message < WM_MOUSEFIRST || msg.message > WM_MOUSELAST) && !PreTranslate(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (GetCapture() == hwnd) ReleaseCapture();
}

}  // namespace

// As a press on a title bar: the window system moves the window with the
// pointer until the button is released.
void Win32Toolkit::DragWindow(Form& form, MouseButton button) {
  ReleaseCapture();
  if (button == MouseButton::Left) {
    SendMessageA(WindowOf(form), WM_NCLBUTTONDOWN, HTCAPTION, 0);
  } else {
    FollowPointer(WindowOf(form), button);
  }
}

// The system's own box shows each style as described: its buttons, their
// order and access keys are the system's, and match. The focus is given as
// described, where a style names a default beyond its buttons; Escape is
// held to the description (BoxFilter), and a box dismissed by it answers
// the described Escape answer.
int Win32Toolkit::ShowMessageBox(Form* owner, std::string_view text, std::string_view title,
                                 const BoxStyle& style) {
  const BoxDescription d = Describe(style);
  BoxStyle shown = style;
  shown.default_button = d.focus;
  g_boxes.push_back(d);
  int answer = MessageBoxW(owner ? WindowOf(*owner) : nullptr, Widen(text).c_str(),
                           Widen(title).c_str(), static_cast<UINT>(EncodeBoxStyle(shown)));
  g_boxes.pop_back();
  const bool cancel_shown = std::any_of(d.buttons.begin(), d.buttons.end(),
                                        [](const BoxButton& b) { return b.answer == kCancel; });
  if (answer == IDCANCEL && !cancel_shown) answer = DismissedAnswer(d, d.focus);
  return answer;
}

void Win32Toolkit::Quit() {
  if (quit_) return;
  quit_ = true;
  PostQuitMessage(0);
}

int Win32Toolkit::Run() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (PreTranslate(msg)) continue;
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) TranslateMessage(&msg);
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
