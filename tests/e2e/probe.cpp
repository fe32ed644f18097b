// Looks at a running QVLFEST from another process, as a screen reader or a
// UI-automation tool would: by window title, control IDs and window texts.
//   probe shown <title>             prints the local time and the countdown
//                                   sentence the window shows, tab-separated
//   probe a11y-shown <title>        the same, the sentence as a screen reader
//                                   reads it
//   probe rect <title> <control>    prints the control's screen rectangle
//   probe visible <title> <control> exit 0 once the control is shown
//   probe hidden <title> <control>  exit 0 once the control is hidden, or if
//                                   there is none
//   probe moving <title>            exit 0 once a move of the window has begun
//                                   (its thread holds the pointer for it)
//   probe at <title> <x> <y>        exit 0 once the window's corner is there
//   probe active <title>            exit 0 once the window is in the foreground
//   probe painted <title>           exit 0 once the window and its controls
//                                   have nothing left to paint
//   probe gone <title>              waits until no such window is left
// Those that wait give up after five seconds.
//   probe a11y <title> <control> <name>
//                                   the control's accessible name (MSAA, as a
//                                   screen reader asks for it) is <name>; on
//                                   Windows its role is static text or push
//                                   button too (Wine reports every one as a client)
//   probe close <title>             asks the window to close, as a user would
//   probe offscreen <title> <control>
//                                   exit 0 if a screen reader is told the
//                                   control is off screen
#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/win32/winapi.h"
#include "countdown/main_form.h"

namespace {

HWND WaitForWindow(const char* title, int ms) {
  for (int waited = 0; waited <= ms; waited += 50) {
    HWND h = FindWindowA(nullptr, title);
    if (h && IsWindowVisible(h)) return h;  // shown: every control is there
    Sleep(50);
  }
  return nullptr;
}

// Asks `holds` until it does, five seconds at most.
template <class Holds>
bool Eventually(Holds holds) {
  for (int waited = 0; waited <= 5000; waited += 20) {
    if (holds()) return true;
    Sleep(20);
  }
  return false;
}

bool NothingToPaint(HWND form) {
  bool clean = !GetUpdateRect(form, nullptr, FALSE);
  EnumChildWindows(
      form,
      [](HWND h, LPARAM p) -> BOOL {
        if (GetUpdateRect(h, nullptr, FALSE)) *reinterpret_cast<bool*>(p) = false;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&clean));
  return clean;
}

HWND ChildWithText(HWND form, const std::string& text) {
  struct Search {
    const std::string* text;
    HWND out;
  } s{&text, nullptr};
  EnumChildWindows(
      form,
      [](HWND h, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        char buf[256];
        GetWindowTextA(h, buf, sizeof buf);
        if (*s->text != buf) return TRUE;
        s->out = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.out;
}

// The countdown window's control IDs follow the rows of its table; "text:X"
// names the child whose window text is X.
HWND Control(HWND form, const char* name) {
  if (std::strncmp(name, "text:", 5) == 0) return ChildWithText(form, name + 5);
  const qvl::FormSpec& spec = qvl::MainSpec(qvl::Variant::LcarsFont);
  for (size_t i = 0; i < spec.controls.size(); ++i)
    if (spec.controls[i].name == name && spec.controls[i].array_index < 0) {
      HWND found = nullptr;
      struct Search {
        int id;
        HWND* out;
      } s{static_cast<int>(100 + i), &found};
      EnumChildWindows(
          form,
          [](HWND h, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            if (GetDlgCtrlID(h) != s->id) return TRUE;
            *s->out = h;
            return FALSE;
          },
          reinterpret_cast<LPARAM>(&s));
      return found;
    }
  return nullptr;
}

std::string Text(HWND h) {
  char buf[512];
  const int n = GetWindowTextA(h, buf, sizeof buf);
  return std::string(buf, n > 0 ? n : 0);
}

// mingw-w64's static IID_IAccessible is unusable; the GUID spelt out.
constexpr GUID kIAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

struct Accessible {
  std::string name;
  long role = 0, state = 0;
  bool found = false;
};

Accessible AccessibleOf(HWND h) {
  Accessible out;
  IAccessible* acc = nullptr;
  if (FAILED(AccessibleObjectFromWindow(h, OBJID_CLIENT, kIAccessible,
                                        reinterpret_cast<void**>(&acc))))
    return out;
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  if (SUCCEEDED(acc->get_accName(self, &name)) && name) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, name, -1, nullptr, 0, nullptr, nullptr);
    out.name.resize(n > 0 ? n - 1 : 0);
    WideCharToMultiByte(CP_UTF8, 0, name, -1, out.name.data(), n, nullptr, nullptr);
    SysFreeString(name);
    out.found = true;
  }
  VARIANT role;
  VariantInit(&role);
  if (SUCCEEDED(acc->get_accRole(self, &role)) && role.vt == VT_I4) out.role = role.lVal;
  VARIANT state;
  VariantInit(&state);
  if (SUCCEEDED(acc->get_accState(self, &state)) && state.vt == VT_I4) out.state = state.lVal;
  acc->Release();
  return out;
}

bool UnderWine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

int A11y(HWND target, const std::string& expected) {
  const Accessible a = AccessibleOf(target);
  char cls[32] = {};
  GetClassNameA(target, cls, sizeof cls);
  const long want_role = lstrcmpiA(cls, "Static") == 0   ? ROLE_SYSTEM_STATICTEXT
                         : lstrcmpiA(cls, "Button") == 0 ? ROLE_SYSTEM_PUSHBUTTON
                                                         : 0;
  const bool role_ok = UnderWine() || !want_role || a.role == want_role;
  std::printf("accessible %s \"%s\", role %ld\n", cls, a.name.c_str(), a.role);
  return a.found && a.name == expected && role_ok ? 0 : 1;
}

// What the window shows once its countdown has started, with the local time
// at which it was read, for an oracle of the test's own to judge.
template <class Read>
int Shown(HWND form, Read read) {
  HWND final = Control(form, "Final");
  if (!final) return std::puts("no Final"), 1;
  for (int waited = 0; read(final) == "Label2" && waited < 5000; waited += 50) Sleep(50);
  SYSTEMTIME st;
  GetLocalTime(&st);
  const std::string shown = read(final);
  std::printf("%04d-%02d-%02d %02d:%02d:%02d\t%s\n", st.wYear, st.wMonth, st.wDay, st.wHour,
              st.wMinute, st.wSecond, shown.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string verb = argv[1];
  if (verb == "gone") {
    for (int waited = 0; waited < 10000; waited += 50) {
      if (!FindWindowA(nullptr, argv[2])) return 0;
      Sleep(50);
    }
    return 1;
  }
  HWND form = WaitForWindow(argv[2], 20000);
  if (!form) return std::printf("no window \"%s\"\n", argv[2]), 1;
  if (verb == "shown") return Shown(form, Text);
  if (verb == "close") return PostMessageW(form, WM_CLOSE, 0, 0) ? 0 : 1;
  if (verb == "active") return Eventually([&] { return GetForegroundWindow() == form; }) ? 0 : 1;
  if (verb == "moving") {
    return Eventually([&] {
      GUITHREADINFO info{};
      info.cbSize = sizeof info;
      return GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info) &&
             info.hwndCapture == form;
    })
               ? 0
               : 1;
  }
  if (verb == "painted") return Eventually([&] { return NothingToPaint(form); }) ? 0 : 1;
  if (verb == "at" && argc >= 5) {
    const long x = std::atol(argv[3]), y = std::atol(argv[4]);
    return Eventually([&] {
      RECT rc;
      return GetWindowRect(form, &rc) && rc.left == x && rc.top == y;
    })
               ? 0
               : 1;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (verb == "a11y-shown") return Shown(form, [](HWND h) { return AccessibleOf(h).name; });
  if (argc < 4) return 2;
  HWND target = std::strcmp(argv[3], "-") == 0 ? form : Control(form, argv[3]);
  if (verb == "hidden")
    return !target || Eventually([&] { return !IsWindowVisible(target); }) ? 0 : 1;
  if (!target) return std::printf("no control %s\n", argv[3]), 1;
  if (verb == "visible") return Eventually([&] { return IsWindowVisible(target); }) ? 0 : 1;
  if (verb == "a11y" && argc >= 5) return A11y(target, argv[4]);
  if (verb == "offscreen") return AccessibleOf(target).state & STATE_SYSTEM_OFFSCREEN ? 0 : 1;
  if (verb == "rect") {
    RECT rc;
    GetWindowRect(target, &rc);
    std::printf("%ld %ld %ld %ld\n", rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    return 0;
  }
  return 2;
}
