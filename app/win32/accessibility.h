// What screen readers are told of a control that lies wholly outside its
// form's visible area: the system's own account of it, but off screen.
#pragma once

#include "app/win32/winapi.h"

namespace qvl {

// Answers WM_GETOBJECT for such a control; 0 when the system's own object
// should answer (other object ids, or no accessibility support).
LRESULT OffscreenObject(HWND hwnd, WPARAM wp, LPARAM lp);

}  // namespace qvl
