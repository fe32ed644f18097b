// The about box: title, version and notes, and the system-information button.
#pragma once

#include "app/form.h"

namespace qvl {

const FormSpec& AboutSpec(Variant variant);

class frmAbout : public Form {
 public:
  explicit frmAbout(Runtime& runtime);
  void OnLoad() override;
  void OnEvent(Control& control, Event event) override;
  void cmdOK_Click();
  void cmdSysInfo_Click();
};

}  // namespace qvl
