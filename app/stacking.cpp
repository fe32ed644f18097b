#include "app/stacking.h"

#include <algorithm>

namespace qvl {

namespace {

std::vector<int> ControlsIn(const FormSpec& form, std::string_view container) {
  std::vector<int> out;
  for (int i = 0; i < static_cast<int>(form.controls.size()); ++i)
    if (form.controls[i].container == container) out.push_back(i);
  return out;
}

}  // namespace

std::vector<int> StackingOrder(const FormSpec& form, std::string_view container) {
  std::vector<int> order = ControlsIn(form, container);
  const auto& c = form.controls;
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    if (c[a].IsWindowed() != c[b].IsWindowed()) return c[a].IsWindowed();
    return c[a].IsWindowed() && c[a].tab_index < c[b].tab_index;
  });
  return order;
}

std::vector<int> ReadingOrder(const FormSpec& form, std::string_view container) {
  std::vector<int> order = ControlsIn(form, container);
  const auto& c = form.controls;
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return c[a].top != c[b].top ? c[a].top < c[b].top : c[a].left < c[b].left;
  });
  return order;
}

std::vector<int> TabOrder(const FormSpec& form) {
  std::vector<int> order;
  const auto& c = form.controls;
  for (int i = 0; i < static_cast<int>(c.size()); ++i)
    if (c[i].CanTakeFocus()) order.push_back(i);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return c[a].tab_index < c[b].tab_index; });
  return order;
}

}  // namespace qvl
