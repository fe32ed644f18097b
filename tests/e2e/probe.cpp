// Looks at a running QVLFEST from another process, as a screen reader or a
// UI-automation tool would: by window title, control IDs and window texts.
//   probe sentence <title>          the countdown sentence is the one due now
//   probe rect <title> <control>    prints the control's screen rectangle
//   probe visible <title> <control> exit 0 if the control is shown
//   probe gone <title>              waits until no such window is left
#include <cstdio>
#include <cstring>
#include <string>

#include "app/headless/headless_toolkit.h"
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

// The sentence that the countdown window shows at a moment, computed by the
// same form on the headless toolkit.
std::string SentenceAt(const qvl::LocalTime& t) {
  qvl::RecordingSystem sys;
  qvl::HeadlessToolkit tk(sys.clock);
  qvl::Runtime rt(tk, sys, qvl::kLcarsFontFacts);
  sys.SetClock(t);
  auto& main = rt.NewForm<qvl::Main>();
  rt.Show(main);
  tk.Fire(main, "Timer2");
  return main["Final"].Caption();
}

int Sentence(HWND form) {
  HWND final = Control(form, "Final");
  if (!final) return std::puts("no Final"), 1;
  for (int waited = 0; Text(final) == "Label2" && waited < 5000; waited += 50) Sleep(50);
  const std::string shown = Text(final);
  SYSTEMTIME st;
  GetLocalTime(&st);
  const long long now =
      qvl::SecondsFromLocal({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond});
  for (int back = 0; back <= 2; ++back) {
    if (SentenceAt(qvl::CivilFromSeconds(now - back)) == shown) {
      std::printf("sentence ok: \"%s\"\n", shown.c_str());
      return 0;
    }
  }
  std::printf("sentence \"%s\" is not the one due, \"%s\"\n", shown.c_str(),
              SentenceAt(qvl::CivilFromSeconds(now)).c_str());
  return 1;
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
  if (verb == "sentence") return Sentence(form);
  if (argc < 4) return 2;
  HWND target = std::strcmp(argv[3], "-") == 0 ? form : Control(form, argv[3]);
  if (!target) return std::printf("no control %s\n", argv[3]), 1;
  if (verb == "visible") return IsWindowVisible(target) ? 0 : 1;
  if (verb == "rect") {
    RECT rc;
    GetWindowRect(target, &rc);
    std::printf("%ld %ld %ld %ld\n", rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    return 0;
  }
  return 2;
}
