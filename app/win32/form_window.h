// A form's top-level window and the data it keeps, stored once in the
// window (GWLP_USERDATA) and in the form (Form::native).
#pragma once

#include <vector>

#include "app/form.h"
#include "app/win32/fonts.h"
#include "app/win32/winapi.h"

namespace qvl {

inline constexpr wchar_t kFormClass[] = L"QvlForm";
inline constexpr int kFirstControlId = 100;

struct FormWindow : NativeWindow {
  Form* form = nullptr;
  HWND hwnd = nullptr;
  std::vector<HWND> controls;  // by control index; none for timers, lines and shapes
  int dpi = 96;
  Win32Fonts fonts;              // at `dpi`
  int looks_default = -1;        // the button drawn as the one Enter presses
  std::vector<int> first_ticks;  // intervals whose timer waits for a first tick of its own
};

inline FormWindow* FromForm(const Form& form) {
  return static_cast<FormWindow*>(form.native);
}
inline FormWindow* FromHwnd(HWND hwnd) {
  return reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}
inline int ControlIndex(HWND child) {
  return GetDlgCtrlID(child) - kFirstControlId;
}

// Creates the form's window, hidden, with all its child windows. The window
// owns the FormWindow and deletes it when it goes.
FormWindow* CreateFormWindow(Form& form);
void RegisterFormClass();

inline Runtime& RuntimeOf(const FormWindow& fw) {
  return fw.form->runtime();
}

// One system timer per form and interval; WM_TIMER hands it to the runtime.
void StartFormTicker(FormWindow& fw, int interval_ms, int first_ms);
void StopFormTicker(FormWindow& fw, int interval_ms);

}  // namespace qvl
