// The arrival window, shown by the countdown on 22 June.
#pragma once

#include "app/form.h"

namespace qvl {

extern const FormSpec kBWF2DSpec;

class BWF2D : public Form {
 public:
  explicit BWF2D(Runtime& runtime) : Form(runtime, kBWF2DSpec) {}
  void OnEvent(Control& control, Event event) override;
  void Command1_Click();
};

}  // namespace qvl
