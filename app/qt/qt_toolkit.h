// The Linux toolkit on Qt 6 Widgets: every form a top-level widget and every
// control of its table a real widget, laid out and painted by the shared
// rules in logical pixels.
//
// What it cannot do: nothing the contract asks. Its message boxes are Qt's,
// with the described buttons in their order, whose keys Qt handles. A
// window moves by the pointer only where the window system lets it: without
// a window manager or on Wayland it is the window system's to allow.
#pragma once

#include "app/toolkit.h"

class QWidget;

namespace qvl {

class QtToolkit : public Toolkit {
 public:
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

  static QWidget* WindowOf(const Form& form);
  static QWidget* ControlWidget(const Form& form, int control);
};

}  // namespace qvl
