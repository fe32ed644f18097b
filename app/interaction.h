// How the user's input acts on a window's buttons and labels: where the
// focus goes, which button Enter, Escape and an access key press, what makes
// a label's Click, and how a window follows the pointer. Decided here once,
// over plain values and below the form runtime: the runtime asks these rules
// for its forms, and a toolkit whose message box is not the system's asks
// them for the box's buttons. Every toolkit reports raw input and does what
// they return.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/geometry.h"

namespace qvl {

enum class MouseButton { Left, Right, Middle };
enum class Key { Enter, Escape };

// A button as the keyboard sees it. A window's buttons are listed in tab
// order; they are the only controls that take the focus.
struct KeyButton {
  int id;                    // a form's control index, or a box's button number
  std::string_view caption;  // "&" marks the access key
  bool can_be_seen = true;
  bool is_default = false;  // Enter presses it while no button has the focus
  bool is_cancel = false;   // Escape presses it
};
using KeyButtons = std::span<const KeyButton>;

// The button that takes the focus when a window is first shown: the first,
// in tab order, that can be seen; -1 if none. (On the countdown window that
// is Command1, a developer button outside the visible area, as designed.)
int FirstFocus(KeyButtons buttons);

// Where the focus is after controls were shown or hidden: where it was, if
// that button can still be seen, else the first focus.
int FocusAfterChange(KeyButtons buttons, int focused);

// Where Tab (or Shift+Tab, `back`) moves the focus from `focused`: the next
// button in tab order that can be seen, round the window, across frames;
// -1 if none.
int NextFocus(KeyButtons buttons, int focused, bool back);

// The button a key presses, as in a dialog box: Enter the focused button,
// or the default button when no button has the focus; Escape the cancel
// button. Only a button that can be seen is pressed; -1 if none.
int ButtonForKey(KeyButtons buttons, Key key, int focused);

// The button that shows itself as the one Enter presses.
int DefaultLook(KeyButtons buttons, int focused);

// A button's caption as shown: "&" marks the next character as the button's
// access key (shown underlined), "&&" shows one "&".
struct ShownCaption {
  std::string text;
  int key_at = -1;  // the access key's place in `text`, -1 if none
};
ShownCaption ShowCaption(std::string_view caption);

// Access keys. In a form, Alt and a button's key press it (a bare letter is
// only a letter: no single key of a form acts on a button that has no
// focus). A message box's buttons answer their key with or without Alt, as
// the systems' own message boxes do.
enum class AccessKeys { WithAlt, AltOrBare };

// The button whose access key is `key` (letters in either case), if it can
// be seen: the first in tab order; -1 if none, or if the key needs Alt and
// Alt was not held.
int ButtonForAccessKey(KeyButtons buttons, char key, bool alt, AccessKeys rule);

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
  MouseButton button() const { return button_; }
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
