// Start-up in the browser: the runtime creates, loads and shows the
// countdown window; the program then lives on between the page's turns (it
// is kept when main returns).
#include "about/frm_about.h"
#include "app/web/web_system.h"
#include "app/web/web_toolkit.h"
#include "arrival/bwf2d.h"
#include "countdown/main_form.h"

#ifndef QVLFEST_PLAIN_FONT
#error "QVLFEST_PLAIN_FONT selects the build variant: 1 plain-font, 0 LCARS-font"
#endif

int main() {
  constexpr qvl::Variant kVariant =
      QVLFEST_PLAIN_FONT ? qvl::Variant::PlainFont : qvl::Variant::LcarsFont;
  const qvl::FormSpec* const forms[] = {&qvl::MainSpec(kVariant), &qvl::kBWF2DSpec,
                                        &qvl::AboutSpec(kVariant)};
  static qvl::WebSystem system;
  static qvl::WebToolkit toolkit(forms);
  static qvl::Runtime runtime(toolkit, system, qvl::FactsOf(kVariant));
  runtime.Show(runtime.NewForm<qvl::Main>());
  toolkit.Run();
  return 0;
}
