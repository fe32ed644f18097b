// What stands in front of what, and the order of the keyboard focus.
#pragma once

#include <string_view>
#include <vector>

#include "app/form_spec.h"

namespace qvl {

// The controls of one container (empty: the form), front first. Windowed
// controls (buttons, frames, picture boxes) stand in front, by TabIndex;
// then the rest in declaration order, an earlier one in front of a later
// one, so "DISCLAIMER:" stands in front of the disclaimer it shares a line
// with. Toolkits create their child windows in this order, which makes it
// also the focus order.
std::vector<int> StackingOrder(const FormSpec& form, std::string_view container = {});

// The controls that take the focus, in TabIndex order, across containers.
std::vector<int> TabOrder(const FormSpec& form);

}  // namespace qvl
