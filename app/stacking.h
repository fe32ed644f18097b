// What stands in front of what, the order in which a window is read, and
// the order of the keyboard focus.
#pragma once

#include <string_view>
#include <vector>

#include "app/form_spec.h"

namespace qvl {

// The controls of one container (empty: the form), front first. Windowed
// controls (buttons, frames, picture boxes) stand in front, by TabIndex;
// then the rest in declaration order, an earlier one in front of a later
// one, so "DISCLAIMER:" stands in front of the disclaimer it shares a line
// with. Toolkits stack their child windows in this order.
std::vector<int> StackingOrder(const FormSpec& form, std::string_view container = {});

// The controls of one container (empty: the form) in the order a reader
// meets them: from top to bottom, and from left to right along a row. A
// screen reader reads a window in this order, whatever stands in front.
std::vector<int> ReadingOrder(const FormSpec& form, std::string_view container = {});

// The controls that take the focus, in TabIndex order, across containers.
std::vector<int> TabOrder(const FormSpec& form);

}  // namespace qvl
