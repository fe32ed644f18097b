// Message boxes: the style codes and answers the forms pass and read, and
// what each style shows, described once for every toolkit.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "app/interaction.h"

namespace qvl {

enum class BoxButtons { Ok, OkCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
enum class BoxIcon { None, Critical, Question, Exclamation, Information };

// The button codes a box returns.
enum BoxAnswer : int { kOk = 1, kCancel, kAbort, kRetry, kIgnore, kYes, kNo };

struct BoxStyle {
  BoxButtons buttons = BoxButtons::Ok;
  BoxIcon icon = BoxIcon::None;
  int default_button = 0;  // 0 for the first button, up to 3
  friend constexpr bool operator==(const BoxStyle&, const BoxStyle&) = default;
};

// Buttons in the low four bits, the icon in the next four, the default button
// in the four after; bits beyond those are not for a program's own boxes.
constexpr BoxStyle DecodeBoxStyle(int style) {
  BoxStyle s;
  const int buttons = style & 0xF;
  s.buttons = buttons <= 5 ? static_cast<BoxButtons>(buttons) : BoxButtons::Ok;
  switch (style & 0xF0) {
    case 16:
      s.icon = BoxIcon::Critical;
      break;
    case 32:
      s.icon = BoxIcon::Question;
      break;
    case 48:
      s.icon = BoxIcon::Exclamation;
      break;
    case 64:
      s.icon = BoxIcon::Information;
      break;
    default:
      s.icon = BoxIcon::None;
  }
  s.default_button = (style >> 8) & 0x3;
  return s;
}

// The style code of a decoded style (the inverse of DecodeBoxStyle).
constexpr int EncodeBoxStyle(const BoxStyle& s) {
  constexpr int kIcons[] = {0, 16, 32, 48, 64};
  return static_cast<int>(s.buttons) | kIcons[static_cast<int>(s.icon)] | (s.default_button << 8);
}

// What a box of a style shows and how it answers: its buttons left to right
// (captions with their access keys), the one that has the focus when it
// opens (Enter presses the focused one), and the answer of Escape and of the
// title bar's close button, 0 where the box can only be answered by a
// button. A default beyond the last button is the first, as on Windows.
struct BoxButton {
  std::string_view caption;
  int answer;
};
struct BoxDescription {
  std::span<const BoxButton> buttons;
  int focus;
  int escape;
};

inline constexpr BoxButton kOkButtons[] = {{"OK", kOk}};
inline constexpr BoxButton kOkCancelButtons[] = {{"OK", kOk}, {"Cancel", kCancel}};
inline constexpr BoxButton kAbortRetryIgnoreButtons[] = {
    {"&Abort", kAbort}, {"&Retry", kRetry}, {"&Ignore", kIgnore}};
inline constexpr BoxButton kYesNoCancelButtons[] = {
    {"&Yes", kYes}, {"&No", kNo}, {"Cancel", kCancel}};
inline constexpr BoxButton kYesNoButtons[] = {{"&Yes", kYes}, {"&No", kNo}};
inline constexpr BoxButton kRetryCancelButtons[] = {{"&Retry", kRetry}, {"Cancel", kCancel}};

constexpr BoxDescription Describe(const BoxStyle& style) {
  BoxDescription d{kOkButtons, 0, kOk};
  switch (style.buttons) {
    case BoxButtons::Ok:
      break;
    case BoxButtons::OkCancel:
      d = {kOkCancelButtons, 0, kCancel};
      break;
    case BoxButtons::AbortRetryIgnore:
      d = {kAbortRetryIgnoreButtons, 0, 0};
      break;
    case BoxButtons::YesNoCancel:
      d = {kYesNoCancelButtons, 0, kCancel};
      break;
    case BoxButtons::YesNo:
      d = {kYesNoButtons, 0, 0};
      break;
    case BoxButtons::RetryCancel:
      d = {kRetryCancelButtons, 0, kCancel};
      break;
  }
  if (style.default_button < static_cast<int>(d.buttons.size())) d.focus = style.default_button;
  return d;
}

// A box's buttons as the keyboard rules take them: each can be seen, and
// Escape presses the one that gives the Escape answer. A box's access keys
// work with Alt or without, as in the system's own boxes.
inline std::vector<KeyButton> KeyButtonsOf(const BoxDescription& box) {
  std::vector<KeyButton> keys;
  for (int i = 0; i < static_cast<int>(box.buttons.size()); ++i)
    keys.push_back({i, box.buttons[i].caption, true, false, box.buttons[i].answer == box.escape});
  return keys;
}
inline constexpr AccessKeys kBoxAccessKeys = AccessKeys::AltOrBare;

// What a box closed without a button answers: its Escape answer, or where it
// has none the button with the focus.
constexpr int DismissedAnswer(const BoxDescription& box, int focus) {
  return box.escape ? box.escape : box.buttons[focus].answer;
}

}  // namespace qvl
