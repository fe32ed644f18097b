// A countdown program running on the headless toolkit.
#pragma once

#include "app/headless/headless_toolkit.h"
#include "arrival/bwf2d.h"
#include "countdown/main_form.h"

namespace qvl::test {

// The countdown form with every timer tick run, none skipped: what the
// runtime's skipping of idle ticks must be indistinguishable from.
class EveryTickMain : public Main {
 public:
  using Main::Main;
  bool TimersFollowFormsAndClock() const override { return false; }
};

struct Program {
  explicit Program(LocalTime start, Variant variant = Variant::LcarsFont, bool every_tick = false)
      : runtime(tk, sys, FactsOf(variant)) {
    sys.SetClock(start);
    main = every_tick ? &runtime.NewForm<EveryTickMain>() : &runtime.NewForm<Main>();
    runtime.Show(*main);
  }
  std::string Caption(std::string_view control) { return (*main)[control].Caption(); }
  // One tick of the form's 100 ms timers, as the runtime fires them:
  // Timer2 counts from the clock fields the last reading left, then Timer1
  // reads the clock again.
  void Tick() { tk.Advance(100); }
  // The clock set to `t`: the first tick reads it, the second counts from it.
  void At(LocalTime t) {
    sys.SetClock(t);
    Tick();
    Tick();
  }
  int Arrivals() const { return static_cast<int>(runtime.FormsOf<BWF2D>().size()); }

  RecordingSystem sys;
  HeadlessToolkit tk{sys.clock};
  Runtime runtime;
  Main* main;
};

}  // namespace qvl::test
