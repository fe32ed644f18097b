// Start-up: the runtime creates, loads and shows the countdown window, then
// waits for events. The command line is not read.
#include "app/win32/win32_system.h"
#include "app/win32/win32_toolkit.h"
#include "countdown/main_form.h"

#ifndef QVLFEST_PLAIN_FONT
#error "QVLFEST_PLAIN_FONT selects the build variant: 1 plain-font, 0 LCARS-font"
#endif

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  constexpr qvl::Variant kVariant =
      QVLFEST_PLAIN_FONT ? qvl::Variant::PlainFont : qvl::Variant::LcarsFont;
  qvl::Win32System system;
  qvl::Win32Toolkit toolkit;
  qvl::Runtime runtime(toolkit, system, qvl::FactsOf(kVariant));
  try {
    runtime.Show(runtime.NewForm<qvl::Main>());
  } catch (const std::exception& e) {
    MessageBoxA(nullptr, e.what(), "QVLFEST", MB_ICONERROR);
    return 1;
  }
  return runtime.ended() || runtime.Forms().empty() ? 0 : toolkit.Run();
}
