// The contract's forms as a page for tests/contract/web.mjs: Board first,
// the style of its Box button's box from the page's address (?style=N).
#include <emscripten.h>

#include "app/web/web_system.h"
#include "app/web/web_toolkit.h"
#include "contract/forms.h"

// clang-format off
EM_JS(int, box_style, (), { return +(new URLSearchParams(location.search).get('style') || 0); });
// clang-format on

int main() {
  const qvl::FormSpec* const forms[] = {&qvl::contract::kBoard, &qvl::contract::kOther};
  static qvl::WebSystem system;
  static qvl::WebToolkit toolkit(forms);
  static qvl::Runtime runtime(toolkit, system, qvl::kLcarsFontFacts);
  runtime.Show(runtime.NewForm<qvl::contract::Board>(box_style()));
  toolkit.Run();
  return 0;
}
