// The countdown program on the real Win32 toolkit, in the test's process,
// with a clock the test sets and outside requests recorded.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/headless/recording_system.h"
#include "app/win32/win32_toolkit.h"
#include "countdown/main_form.h"

namespace qvl::test {

inline std::string WindowText(HWND hwnd) {
  wchar_t buf[512];
  const int n = GetWindowTextW(hwnd, buf, 512);
  return std::string(buf, buf + n);  // the forms' texts are ASCII
}

inline std::string ClassOf(HWND hwnd) {
  wchar_t buf[64];
  const int n = GetClassNameW(hwnd, buf, 64);
  return std::string(buf, buf + n);
}

// Closes the message boxes that open on this thread, at once or once
// `close_when` holds while the box runs the other windows (at the latest
// after five seconds, so that a wait in vain fails rather than hangs), and
// records what they said.
struct BoxWatcher {
  struct Seen {
    std::string text, title;
  };
  BoxWatcher() {
    self = this;
    timer = SetTimer(nullptr, 0, 10, &BoxWatcher::Tick);
  }
  ~BoxWatcher() {
    KillTimer(nullptr, timer);
    self = nullptr;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!self) return;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM) -> BOOL {
          if (!IsWindowVisible(hwnd) || ClassOf(hwnd) != "#32770") return TRUE;
          BoxWatcher& w = *self;
          if (w.open != hwnd) {
            w.open = hwnd;
            w.opened_at = GetTickCount();
            w.seen.push_back({WindowText(GetDlgItem(hwnd, 0xFFFF)), WindowText(hwnd)});
            if (w.on_open) w.on_open();
          }
          if (!w.close_when || w.close_when() || GetTickCount() - w.opened_at > 5000) {
            PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
            w.open = nullptr;
          }
          return FALSE;
        },
        0);
  }
  static inline BoxWatcher* self = nullptr;
  UINT_PTR timer;
  HWND open = nullptr;
  DWORD opened_at = 0;
  std::function<void()> on_open;
  std::function<bool()> close_when;
  std::vector<Seen> seen;
};

// The real toolkit, with the message boxes it shows written down.
struct RecordingWin32Toolkit : Win32Toolkit {
  struct Box {
    std::string text, title;
    int style;
  };
  int ShowMessageBox(Form* owner, std::string_view text, std::string_view title,
                     const BoxStyle& style) override {
    boxes.push_back({std::string(text), std::string(title), EncodeBoxStyle(style)});
    return Win32Toolkit::ShowMessageBox(owner, text, title, style);
  }
  std::vector<Box> boxes;
};

struct Win32Program {
  // With `system`, the program reaches that system instead of the recording one.
  explicit Win32Program(LocalTime start, Variant variant = Variant::LcarsFont,
                        System* system = nullptr)
      : runtime(tk, system ? *system : sys, FactsOf(variant)) {
    sys.SetClock(start);
    main = &runtime.NewForm<Main>();
    runtime.Show(*main);
    tk.Pump();
  }
  HWND Window(Form& form) { return Win32Toolkit::WindowOf(form); }
  HWND Child(Form& form, std::string_view name, int member = -1) {
    return Win32Toolkit::ControlWindow(form, form.IndexOf(name, member));
  }
  HWND Child(std::string_view name) { return Child(*main, name); }
  // Runs the message loop until `done` or `ms` have passed.
  bool PumpUntil(const std::function<bool()>& done, int ms = 2000) {
    const DWORD start = GetTickCount();
    for (;;) {
      tk.Pump();
      if (done()) return true;
      if (static_cast<int>(GetTickCount() - start) > ms) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
  }
  void PumpFor(int ms) {
    PumpUntil([] { return false; }, ms);
  }
  void Click(HWND button) {
    SendMessageW(button, BM_CLICK, 0, 0);
    tk.Pump();
  }
  void ClickLabel(HWND label) {
    SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    tk.Pump();
  }

  RecordingSystem sys;
  RecordingWin32Toolkit tk;
  Runtime runtime;
  Main* main;
};

}  // namespace qvl::test
