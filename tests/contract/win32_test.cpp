// The contract on the Win32 toolkit, in this process under Wine: real
// windows, input through the system's input queue (SendInput), and what
// they show read back as the system and a screen reader see it.
#include <oleacc.h>

#include <algorithm>

#include "app/win32/win32_system.h"
#include "app/win32/win32_toolkit.h"
#include "contract/contract_test.h"
#include "contract/forms.h"

namespace qvl::contract {
namespace {

std::string TextOf(HWND hwnd) {
  wchar_t buf[256];
  const int n = GetWindowTextW(hwnd, buf, 256);
  return std::string(buf, buf + n);  // the forms' texts are ASCII
}

std::string ClassOf(HWND hwnd) {
  wchar_t buf[64];
  const int n = GetClassNameW(hwnd, buf, 64);
  return std::string(buf, buf + n);
}

// mingw-w64's static IID_IAccessible is unusable; the GUID spelt out.
constexpr GUID kIAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

void Send(std::initializer_list<INPUT> inputs) {
  std::vector<INPUT> list(inputs);
  SendInput(static_cast<UINT>(list.size()), list.data(), sizeof(INPUT));
}

INPUT Mouse(DWORD flags, POINT at = {}) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_ABSOLUTE) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    in.mi.dx = MulDiv(at.x, 65535, w - 1);
    in.mi.dy = MulDiv(at.y, 65535, h - 1);
  }
  return in;
}

INPUT KeyInput(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

DWORD DownFlag(MouseButton b) {
  return b == MouseButton::Right    ? MOUSEEVENTF_RIGHTDOWN
         : b == MouseButton::Middle ? MOUSEEVENTF_MIDDLEDOWN
                                    : MOUSEEVENTF_LEFTDOWN;
}
DWORD UpFlag(MouseButton b) {
  return b == MouseButton::Right    ? MOUSEEVENTF_RIGHTUP
         : b == MouseButton::Middle ? MOUSEEVENTF_MIDDLEUP
                                    : MOUSEEVENTF_LEFTUP;
}

POINT Middle(HWND hwnd) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

class Win32Driver : public Driver {
 public:
  void Run(Runner& runner) {
    runner_ = &runner;
    self_ = this;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, &Win32Driver::Tick);
    tk_.Run();
    KillTimer(nullptr, timer);
    self_ = nullptr;
  }

  void Start(int box_style) override {
    runtime_ = std::make_unique<Runtime>(tk_, sys_, kLcarsFontFacts);
    Form& board = runtime_->NewForm<Board>(box_style);
    runtime_->Show(board);
    RECT rc;
    GetWindowRect(Win32Toolkit::WindowOf(board), &rc);
    first_["Board"] = {rc.left, rc.top};
  }
  void Finish() override {
    if (runtime_) runtime_->End();
    tk_.Quit();
  }

  void Click(const Target& t) override {
    const POINT at = Middle(Window(t));
    Send({Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, at), Mouse(MOUSEEVENTF_LEFTDOWN),
          Mouse(MOUSEEVENTF_LEFTUP)});
    pointer_ = at;
  }
  void ClickBoxButton(int n) override {
    const std::vector<HWND> buttons = BoxButtons(OpenBox());
    if (n >= static_cast<int>(buttons.size())) return;
    pointer_ = Middle(buttons[n]);
    Send({Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, pointer_), Mouse(MOUSEEVENTF_LEFTDOWN),
          Mouse(MOUSEEVENTF_LEFTUP)});
  }
  void Press(const Target& t, MouseButton button) override {
    pointer_ = Middle(Window(t));
    Send({Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, pointer_), Mouse(DownFlag(button))});
  }
  void Release(MouseButton button) override { Send({Mouse(UpFlag(button))}); }
  void Move(int dx, int dy) override {
    const int dpi = static_cast<int>(GetDpiForSystem());
    pointer_ = {pointer_.x + MulDiv(dx, dpi, 96), pointer_.y + MulDiv(dy, dpi, 96)};
    Send({Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, pointer_)});
  }
  void Key(const Chord& chord) override {
    const auto& [alt, shift, key] = chord;
    const WORD vk = key == "Tab"      ? VK_TAB
                    : key == "Enter"  ? VK_RETURN
                    : key == "Escape" ? VK_ESCAPE
                                      : LOBYTE(VkKeyScanW(static_cast<wchar_t>(key[0])));
    const WORD held = alt ? VK_MENU : shift ? VK_SHIFT : 0;
    if (held) Send({KeyInput(held, false)});
    Send({KeyInput(vk, false), KeyInput(vk, true)});
    if (held) Send({KeyInput(held, true)});
  }

  std::string Focus() override {
    HWND focus = GetFocus();
    if (focus && GetAncestor(focus, GA_ROOT) == OpenBox()) return "box";
    for (Form* f : runtime_->Forms())
      for (const Control& c : f->controls())
        if (focus && Win32Toolkit::ControlWindow(*f, c.index()) == focus)
          return std::string(f->spec().name) + "." + std::string(c.name());
    return "";
  }
  std::string Text(const Target& t) override { return TextOf(Window(t)); }
  std::optional<SeenBox> Box() override {
    HWND box = OpenBox();
    if (!box) return std::nullopt;
    SeenBox seen{TextOf(box), {}, -1};
    const std::vector<HWND> buttons = BoxButtons(box);
    for (std::size_t i = 0; i < buttons.size(); ++i) {
      seen.buttons.push_back(TextOf(buttons[i]));
      if (GetFocus() == buttons[i]) seen.focus = static_cast<int>(i);
    }
    return seen;
  }
  std::vector<std::string> Windows() override {
    std::vector<std::string> out;
    HWND active = GetActiveWindow();
    for (Form* f : runtime_->Forms()) {
      HWND w = Win32Toolkit::WindowOf(*f);
      if (!w || !IsWindowVisible(w)) continue;
      out.insert(w == active ? out.begin() : out.end(), std::string(f->spec().name));
    }
    return out;
  }
  PixelPoint Moved(const std::string& form) override {
    Form& f = FormNamed(*runtime_, form);
    RECT rc;
    GetWindowRect(Win32Toolkit::WindowOf(f), &rc);
    const POINT first = first_.at(form);
    const int dpi = Win32Toolkit::DpiOf(f);
    return {MulDiv(rc.left - first.x, 96, dpi), MulDiv(rc.top - first.y, 96, dpi)};
  }
  int Told(const Target& t) override {
    Form& f = FormNamed(*runtime_, t.form);
    return tk_.Told(f, f.IndexOf(t.control));
  }
  std::string Name(const Target& t) override {
    IAccessible* acc = nullptr;
    if (FAILED(AccessibleObjectFromWindow(Window(t), static_cast<DWORD>(OBJID_CLIENT), kIAccessible,
                                          reinterpret_cast<void**>(&acc))))
      return "(no accessible object)";
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::string out;
    if (SUCCEEDED(acc->get_accName(self, &name)) && name) {
      out.assign(name, name + SysStringLen(name));
      SysFreeString(name);
    }
    acc->Release();
    return out;
  }
  bool Ink(const std::string& form, const PixelRect& twips, unsigned rgb) override {
    Form& f = FormNamed(*runtime_, form);
    HWND w = Win32Toolkit::WindowOf(f);
    const int dpi = Win32Toolkit::DpiOf(f);
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(w);
    const COLORREF want = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    bool all = true;
    for (int y = TwipsToPixels(twips.top, dpi); y < TwipsToPixels(twips.bottom, dpi); ++y)
      for (int x = TwipsToPixels(twips.left, dpi); x < TwipsToPixels(twips.right, dpi); ++x)
        all = all && GetPixel(dc, x, y) == want;
    ReleaseDC(w, dc);
    return all;
  }
  long long Ms() override { return static_cast<long long>(GetTickCount64()); }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (self_ && !self_->runner_->Next() && !self_->finished_) {
      self_->finished_ = true;
      self_->Finish();
    }
  }

  HWND Window(const Target& t) {
    Form& f = FormNamed(*runtime_, t.form);
    return Win32Toolkit::ControlWindow(f, f.IndexOf(t.control));
  }
  static HWND OpenBox() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM p) -> BOOL {
          if (!IsWindowVisible(h) || ClassOf(h) != "#32770") return TRUE;
          *reinterpret_cast<HWND*>(p) = h;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
  }
  // The box's buttons from left to right.
  static std::vector<HWND> BoxButtons(HWND box) {
    std::vector<HWND> buttons;
    if (!box) return buttons;
    EnumChildWindows(
        box,
        [](HWND h, LPARAM p) -> BOOL {
          if (IsWindowVisible(h) && ClassOf(h) == "Button")
            reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&buttons));
    std::sort(buttons.begin(), buttons.end(), [](HWND a, HWND b) {
      RECT ra, rb;
      GetWindowRect(a, &ra);
      GetWindowRect(b, &rb);
      return ra.left < rb.left;
    });
    return buttons;
  }

  static inline Win32Driver* self_ = nullptr;
  Runner* runner_ = nullptr;
  bool finished_ = false;
  Win32System sys_;  // the real clock, as the ticks read it
  Counting<Win32Toolkit> tk_;
  std::unique_ptr<Runtime> runtime_;
  std::map<std::string, POINT> first_;
  POINT pointer_{};
};

QVL_CONTRACT_SUITE(Win32, Win32Driver);

}  // namespace
}  // namespace qvl::contract
