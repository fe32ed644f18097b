// The child windows of a form: system buttons, labels that are the system's
// own "Static" windows painted by the shared paint plan, frames and
// picture boxes.
#pragma once

#include "app/win32/form_window.h"

namespace qvl {

void RegisterControlClasses();
// Creates the children of a container (empty: the form) in stacking order,
// which is also the focus order.
void CreateChildren(FormWindow& fw, HWND parent, std::string_view container);
// Places every child by its bounds at the window's DPI, with its font.
void LayoutChildren(FormWindow& fw);

}  // namespace qvl
