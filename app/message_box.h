// Message-box style codes and answers, as the forms pass and read them.
#pragma once

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

}  // namespace qvl
