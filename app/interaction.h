// How the user's input acts on a form: what can be seen, where the focus
// goes, which button Enter and Escape press, what makes a label's Click, and
// how a window follows the pointer. Decided here once; every toolkit reports
// raw input to the runtime and does what these rules return.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/geometry.h"

namespace qvl {

class Form;

enum class MouseButton { Left, Right, Middle };
enum class Key { Enter, Escape };

// A control can be seen when it and every container it sits in are visible.
bool CanBeSeen(const Form& form, int control);

// The control that takes the focus when a form is first shown: the first, in
// tab order, that can be seen; -1 if none. (On the countdown window that is
// Command1, a developer button outside the visible area, as designed.)
int FirstFocus(const Form& form);

// Where the focus is after controls were shown or hidden: where it was, if
// that control can still be seen, else the first focus.
int FocusAfterChange(const Form& form, int focused);

// The button a key presses, as in a dialog box: Enter the focused button, or
// the default button when no button has the focus; Escape the cancel
// button. Only a button that can be seen is pressed; -1 if none.
int ButtonForKey(const Form& form, Key key, int focused);

// Where Tab (or Shift+Tab, `back`) moves the focus from `focused`: the next
// control in tab order that can be seen, round the form; -1 if none.
int NextFocus(const Form& form, int focused, bool back);

// The button that shows itself as the one Enter presses.
int DefaultLook(const Form& form, int focused);

// A button's caption as shown: "&" marks the next character as the button's
// access key (shown underlined; Alt and that key press the button), "&&"
// shows one "&".
struct ShownCaption {
  std::string text;
  int key_at = -1;  // the access key's place in `text`, -1 if none
};
ShownCaption ShowCaption(std::string_view caption);

// The button whose access key is `key` (letters in either case), if it can
// be seen; -1 if none.
int ButtonForAccessKey(const Form& form, char key);

// A label's Click is a press and a release of the left button inside the
// same label. A drag that starts from the press takes the pointer away, and
// no Click follows.
class LabelClicks {
 public:
  void Press(int control, MouseButton button) {
    pressed_ = button == MouseButton::Left ? control : -1;
  }
  // True when this release completes a Click on `control`.
  bool Release(int control, MouseButton button, bool inside) {
    const bool click = button == MouseButton::Left && inside && pressed_ == control;
    if (button == MouseButton::Left) pressed_ = -1;
    return click;
  }
  void Cancel() { pressed_ = -1; }

 private:
  int pressed_ = -1;
};

// The mouse buttons held down while the pointer moves, as the window system
// reports them.
struct HeldButtons {
  bool left = false, right = false, middle = false;
  constexpr bool Has(MouseButton b) const {
    return b == MouseButton::Left ? left : b == MouseButton::Right ? right : middle;
  }
};

// A window that the program moves itself (where the window system does not
// move it): it follows the pointer's travel from the press, and the drag ends
// when the button that started it is released, whichever button that is. It
// never moves with that button up: a move reported without it ends the drag
// (its release went elsewhere).
class PointerDrag {
 public:
  void Begin(MouseButton button, PixelPoint pointer, PixelPoint window) {
    active_ = true;
    button_ = button;
    pointer_ = pointer;
    window_ = window;
  }
  bool active() const { return active_; }
  // The window's place for a pointer position, while the drag lasts.
  std::optional<PixelPoint> Follow(PixelPoint pointer, HeldButtons held) {
    if (active_ && !held.Has(button_)) active_ = false;
    return Follow(pointer);
  }
  // The same, where the toolkit sees every release of the drag's button.
  std::optional<PixelPoint> Follow(PixelPoint pointer) const {
    if (!active_) return std::nullopt;
    return PixelPoint{window_.x + pointer.x - pointer_.x, window_.y + pointer.y - pointer_.y};
  }
  // True when this release ends the drag.
  bool Release(MouseButton button) {
    if (!active_ || button_ != button) return false;
    active_ = false;
    return true;
  }
  void Cancel() { active_ = false; }

 private:
  bool active_ = false;
  MouseButton button_ = MouseButton::Left;
  PixelPoint pointer_, window_;
};

}  // namespace qvl
