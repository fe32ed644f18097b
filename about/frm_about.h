// The about box: title, version and notes, and the system-information button.
#pragma once

#include "app/form.h"

namespace qvl {

const FormSpec& AboutSpec(Variant variant);

// The icon resource that picIcon shows.
constexpr int kAboutPicture = 2;

class frmAbout : public Form {
 public:
  explicit frmAbout(Runtime& runtime);
  void OnLoad() override;
  void OnEvent(Control& control, Event event) override;
  void cmdOK_Click();
  void cmdSysInfo_Click();
};

}  // namespace qvl
