// The Windows toolkit: every form a real top-level window and every control
// of its table a real child window, laid out and painted by the shared rules
// at the window's DPI.
//
// What it cannot do: nothing the contract asks. Its message boxes are the
// system's, whose button captions the system writes (in the user's
// language) and whose keys the system's dialog manager handles; Escape and
// the close button are held to the described style (Wine's box answers
// Cancel to Escape whatever its buttons).
#pragma once

#include "app/toolkit.h"
#include "app/win32/winapi.h"

namespace qvl {

class Win32Toolkit : public Toolkit {
 public:
  Win32Toolkit();
  ~Win32Toolkit() override;
  Win32Toolkit(const Win32Toolkit&) = delete;
  Win32Toolkit& operator=(const Win32Toolkit&) = delete;

  NativeWindow* CreateWindowFor(Form& form) override;
  void ShowWindowFor(Form& form, bool first) override;
  void DestroyWindowFor(Form& form) override;
  void SetText(Form& form, int control, std::string_view text) override;
  void SetVisible(Form& form, int control, bool visible) override;
  void FocusControl(Form& form, int control) override;
  void ShowDefault(Form& form, int control) override;
  void StartTicker(Form& form, int interval_ms, int first_ms) override;
  void StopTicker(Form& form, int interval_ms) override;
  void DragWindow(Form& form, MouseButton button) override;
  int ShowMessageBox(Form* owner, std::string_view text, std::string_view title,
                     const BoxStyle& style) override;
  void Quit() override;

  // Runs the message loop until Quit; returns the exit code.
  int Run();
  // Handles the messages waiting now, without blocking (for tests).
  void Pump();
  bool quit_requested() const { return quit_; }

  static HWND WindowOf(const Form& form);
  static HWND ControlWindow(const Form& form, int control);
  static int DpiOf(const Form& form);

 private:
  bool quit_ = false;
  HHOOK filter_ = nullptr;  // the forms' keys inside the system's modal loops
};

}  // namespace qvl
