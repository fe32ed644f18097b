// The narrow interface between the form runtime and a window toolkit. A
// toolkit makes windows and draws; every rule of layout, painting, timing and
// input comes from the shared code. It reports raw input to the runtime
// (presses, releases, keys, focus, clicks of its buttons) and does what the
// runtime tells it. Forms never see it: they talk to the runtime.
#pragma once

#include <string_view>

#include "app/interaction.h"
#include "app/message_box.h"

namespace qvl {

class Form;

// What a toolkit keeps for one form's window; each toolkit derives its own.
class NativeWindow {
 public:
  virtual ~NativeWindow() = default;
};

class Toolkit {
 public:
  virtual ~Toolkit() = default;

  // Windows. The runtime owns their life: it creates a form's window (hidden,
  // with every control of its table in the state the form holds now) and
  // keeps what this returns in `form.native`; it says when the window is
  // shown, and for the first time; it destroys it and clears `form.native`.
  virtual NativeWindow* CreateWindowFor(Form& form) = 0;
  virtual void ShowWindowFor(Form& form, bool first) = 0;
  virtual void DestroyWindowFor(Form& form) = 0;
  // control -1 is the form itself.
  virtual void SetText(Form& form, int control, std::string_view text) = 0;
  virtual void SetVisible(Form& form, int control, bool visible) = 0;
  // Puts the keyboard focus on a control.
  virtual void FocusControl(Form& form, int control) = 0;
  // Shows a button as the one Enter presses (-1: none).
  virtual void ShowDefault(Form& form, int control) = 0;

  // One ticker per form and interval: while it runs, the toolkit calls
  // Runtime::Tick(form, interval) once per interval, the first time after
  // `first_ms` (the runtime holds back a ticker with nothing to do).
  virtual void StartTicker(Form& form, int interval_ms, int first_ms) = 0;
  virtual void StopTicker(Form& form, int interval_ms) = 0;

  // Starts an interactive move of the form's window by the pointer, as a
  // press on a title bar does; it ends when `button`, the one whose press
  // started it, is released.
  virtual void DragWindow(Form& form, MouseButton button) = 0;

  // Modal; returns the BoxAnswer of the button that closed the box. Other
  // windows go on receiving events meanwhile.
  virtual int ShowMessageBox(Form* owner, std::string_view text, std::string_view title,
                             const BoxStyle& style) = 0;

  // Ends the message loop.
  virtual void Quit() = 0;
};

}  // namespace qvl
