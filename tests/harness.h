// A countdown program running on the headless toolkit.
#pragma once

#include "app/headless/headless_toolkit.h"
#include "arrival/bwf2d.h"
#include "countdown/main_form.h"

namespace qvl::test {

struct Program {
  explicit Program(LocalTime start, Variant variant = Variant::LcarsFont)
      : runtime(tk, sys, FactsOf(variant)) {
    sys.SetClock(start);
    main = &runtime.NewForm<Main>();
    runtime.Show(*main);
  }
  std::string Caption(std::string_view control) { return (*main)[control].Caption(); }
  // One clock tick, then one countdown tick while its timer runs.
  void Tick() {
    tk.Fire(*main, "Timer1");
    tk.Fire(*main, "Timer2");
  }
  void At(LocalTime t) {
    sys.SetClock(t);
    Tick();
  }
  int Arrivals() const { return static_cast<int>(runtime.FormsOf<BWF2D>().size()); }

  RecordingSystem sys;
  HeadlessToolkit tk{sys.clock};
  Runtime runtime;
  Main* main;
};

}  // namespace qvl::test
