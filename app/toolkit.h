// The narrow interface between the form runtime and a window toolkit. A
// toolkit makes windows and draws; every rule of layout, painting and timing
// comes from the shared code. Forms never see it: they talk to the runtime.
#pragma once

#include <string_view>

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

  // Windows. A form's window is created hidden with every control of its
  // table in the state the form holds now; it sets `form.native`.
  virtual void CreateWindowFor(Form& form) = 0;
  virtual void ShowWindowFor(Form& form) = 0;
  virtual void DestroyWindowFor(Form& form) = 0;
  // control -1 is the form itself.
  virtual void SetText(Form& form, int control, std::string_view text) = 0;
  virtual void SetVisible(Form& form, int control, bool visible) = 0;

  // One ticker per form and interval: while it runs, the toolkit calls
  // Runtime::Tick(form, interval) once per interval.
  virtual void StartTicker(Form& form, int interval_ms) = 0;
  virtual void StopTicker(Form& form, int interval_ms) = 0;

  // Starts an interactive move of the form's window by the pointer, as a
  // press on a title bar does.
  virtual void DragWindow(Form& form) = 0;

  // Modal; returns the BoxAnswer of the button that closed the box. Other
  // windows go on receiving events meanwhile.
  virtual int ShowMessageBox(Form* owner, std::string_view text, std::string_view title,
                             const BoxStyle& style) = 0;

  // Ends the message loop.
  virtual void Quit() = 0;
};

}  // namespace qvl
