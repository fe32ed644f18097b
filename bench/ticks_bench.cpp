// The cost of the countdown's work itself, without any window system: one
// tick of the form's timers as the runtime fires them (the countdown, then
// the clock), and a whole year of them minute by minute.
#include <benchmark/benchmark.h>

#include "app/calendar.h"
#include "app/headless/headless_toolkit.h"
#include "countdown/main_form.h"

namespace qvl {
namespace {

void BM_ClockAndCountdownTick(benchmark::State& state) {
  RecordingSystem sys;
  HeadlessToolkit tk(sys.clock);
  Runtime rt(tk, sys, kLcarsFontFacts);
  sys.SetClock({2027, 4, 21, 10, 20, 30});
  Main& main = rt.NewForm<Main>();
  rt.Show(main);
  for (auto _ : state) tk.Advance(100);
}
BENCHMARK(BM_ClockAndCountdownTick);

void BM_YearSweep(benchmark::State& state) {
  for (auto _ : state) {
    RecordingSystem sys;
    HeadlessToolkit tk(sys.clock);
    Runtime rt(tk, sys, kLcarsFontFacts);
    const long long start = SecondsFromLocal({2027, 6, 23, 0, 0, 0});
    sys.SetClock(CivilFromSeconds(start));
    Main& main = rt.NewForm<Main>();
    rt.Show(main);
    for (long long s = start; s < start + 365LL * 86400; s += 60) {
      sys.SetClock(CivilFromSeconds(s));
      tk.Advance(100);
    }
    benchmark::DoNotOptimize(main["Final"].Caption());
  }
}
BENCHMARK(BM_YearSweep)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qvl
