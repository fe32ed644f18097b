#include "app/interaction.h"

#include <algorithm>

namespace qvl {

namespace {

const KeyButton* Find(KeyButtons buttons, int id) {
  const auto it =
      std::find_if(buttons.begin(), buttons.end(), [&](const KeyButton& b) { return b.id == id; });
  return it == buttons.end() ? nullptr : &*it;
}

bool Seen(KeyButtons buttons, int id) {
  const KeyButton* b = Find(buttons, id);
  return b && b->can_be_seen;
}

int FirstWith(KeyButtons buttons, bool KeyButton::*flag) {
  for (const KeyButton& b : buttons)
    if (b.*flag) return b.id;
  return -1;
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

int FirstFocus(KeyButtons buttons) {
  for (const KeyButton& b : buttons)
    if (b.can_be_seen) return b.id;
  return -1;
}

int FocusAfterChange(KeyButtons buttons, int focused) {
  return Seen(buttons, focused) ? focused : FirstFocus(buttons);
}

int NextFocus(KeyButtons buttons, int focused, bool back) {
  const int n = static_cast<int>(buttons.size());
  int at = -1;
  for (int i = 0; i < n; ++i)
    if (buttons[i].id == focused) at = i;
  for (int step = 1; step <= n; ++step) {
    // From nowhere, Tab starts at the first button and Shift+Tab at the last.
    const int i = at < 0 ? (back ? n - step : step - 1) : (at + (back ? n - step : step)) % n;
    if (buttons[i].can_be_seen) return buttons[i].id;
  }
  return -1;
}

int ButtonForKey(KeyButtons buttons, Key key, int focused) {
  const int button = key == Key::Escape       ? FirstWith(buttons, &KeyButton::is_cancel)
                     : Find(buttons, focused) ? focused
                                              : FirstWith(buttons, &KeyButton::is_default);
  return Seen(buttons, button) ? button : -1;
}

int DefaultLook(KeyButtons buttons, int focused) {
  return ButtonForKey(buttons, Key::Enter, focused);
}

ShownCaption ShowCaption(std::string_view caption) {
  ShownCaption out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) {
      ++i;
      if (caption[i] != '&' && out.key_at < 0) out.key_at = static_cast<int>(out.text.size());
    }
    out.text += caption[i];
  }
  return out;
}

int ButtonForAccessKey(KeyButtons buttons, char key, bool alt, AccessKeys rule) {
  if (!alt && rule == AccessKeys::WithAlt) return -1;
  for (const KeyButton& b : buttons) {
    if (!b.can_be_seen) continue;
    const ShownCaption shown = ShowCaption(b.caption);
    if (shown.key_at >= 0 && Lower(shown.text[shown.key_at]) == Lower(key)) return b.id;
  }
  return -1;
}

}  // namespace qvl
