#include "app/interaction.h"

#include <algorithm>
#include <vector>

#include "app/form.h"
#include "app/stacking.h"

namespace qvl {

bool CanBeSeen(const Form& form, int control) {
  const auto& controls = form.controls();
  if (control < 0 || control >= static_cast<int>(controls.size())) return false;
  const Control& c = controls[control];
  if (!c.Visible()) return false;
  const std::string_view container = c.spec().container;
  return container.empty() || CanBeSeen(form, form.IndexOf(container));
}

int FirstFocus(const Form& form) {
  for (int i : TabOrder(form.spec()))
    if (CanBeSeen(form, i)) return i;
  return -1;
}

int FocusAfterChange(const Form& form, int focused) {
  return focused >= 0 && CanBeSeen(form, focused) ? focused : FirstFocus(form);
}

int NextFocus(const Form& form, int focused, bool back) {
  std::vector<int> order;
  for (int i : TabOrder(form.spec()))
    if (CanBeSeen(form, i)) order.push_back(i);
  if (order.empty()) return -1;
  const auto it = std::find(order.begin(), order.end(), focused);
  if (it == order.end()) return back ? order.back() : order.front();
  const std::size_t n = order.size(), at = static_cast<std::size_t>(it - order.begin());
  return order[(at + (back ? n - 1 : 1)) % n];
}

namespace {
bool IsButton(const Form& form, int control) {
  return control >= 0 && form.spec().controls[control].kind == ControlKind::CommandButton;
}
}  // namespace

int ButtonForKey(const Form& form, Key key, int focused) {
  int button = -1;
  if (key == Key::Enter) {
    button = IsButton(form, focused) ? focused : DefaultButton(form.spec());
  } else {
    button = CancelButton(form.spec());
  }
  return CanBeSeen(form, button) ? button : -1;
}

int DefaultLook(const Form& form, int focused) {
  const int button = IsButton(form, focused) ? focused : DefaultButton(form.spec());
  return CanBeSeen(form, button) ? button : -1;
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

int ButtonForAccessKey(const Form& form, char key) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (const Control& c : form.controls()) {
    if (c.spec().kind != ControlKind::CommandButton || !CanBeSeen(form, c.index())) continue;
    const ShownCaption shown = ShowCaption(c.Caption());
    if (shown.key_at >= 0 && lower(shown.text[shown.key_at]) == lower(key)) return c.index();
  }
  return -1;
}

}  // namespace qvl
