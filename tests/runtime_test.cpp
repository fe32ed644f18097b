#include <gtest/gtest.h>

#include "app/errors.h"
#include "app/headless/headless_toolkit.h"

namespace qvl {
namespace {

constexpr ControlSpec kProbeControls[] = {
    Label("Value", "Value", 0, 0, 100, 100, 0),
    Button("Throw", "Throw", 0, 0, 100, 100, 1),
    Button("Close", "Close", 0, 0, 100, 100, 2),
    Timer("Ticker", 100, 0, 0),
};
constexpr FormSpec kProbeSpec{"Probe", "Probe",       BorderStyle::FixedDialog,      kBlack,
                              1000,    1000,          StartPosition::WindowsDefault, 0,
                              0,       kProbeControls};

// A form whose handlers exercise the runtime.
class Probe : public Form {
 public:
  explicit Probe(Runtime& rt) : Form(rt, kProbeSpec) {}
  void OnEvent(Control& c, Event e) override {
    if (c.name() == "Throw") (void)(*this)["Value"].Number();
    if (c.name() == "Close") runtime().Unload(*this);
    if (c.name() == "Ticker" && e == Event::Timer) ++ticks;
  }
  int ticks = 0;
};

struct RuntimeTest : ::testing::Test {
  RecordingSystem sys;
  HeadlessToolkit tk{sys.clock};
  Runtime rt{tk, sys, kLcarsFontFacts};
};

TEST_F(RuntimeTest, UnhandledErrorIsReportedByNameThenTheProgramEnds) {
  auto& a = rt.NewForm<Probe>();
  auto& b = rt.NewForm<Probe>();
  rt.Show(a);
  rt.Show(b);
  tk.Click(a, "Throw");
  ASSERT_EQ(tk.boxes.size(), 1u);
  EXPECT_EQ(tk.boxes[0].text, "Run-time error '13':\n\nType mismatch");
  EXPECT_EQ(tk.boxes[0].title, "QVLFEST");
  EXPECT_EQ(tk.boxes[0].style, 16);
  EXPECT_TRUE(rt.ended());
  EXPECT_TRUE(tk.quit);
  EXPECT_EQ(tk.WindowOf(b), nullptr) << "every window closes";
  EXPECT_TRUE(rt.Forms().empty());
  tk.Advance(1000);  // no timer ticks after the end
  EXPECT_EQ(tk.boxes.size(), 1u);
}

TEST_F(RuntimeTest, MessageBoxWithoutTitleBearsTheApplicationTitle) {
  auto& a = rt.NewForm<Probe>();
  rt.Show(a);
  rt.MsgBox("text");
  rt.MsgBox("text", 48, "HEY!");
  ASSERT_EQ(tk.boxes.size(), 2u);
  EXPECT_EQ(tk.boxes[0].title, "QVLFEST");
  EXPECT_EQ(tk.boxes[1].title, "HEY!");
  EXPECT_EQ(tk.boxes[1].style, 48);
}

TEST_F(RuntimeTest, UnloadInOwnHandlerAndLastWindowEndsTheLoop) {
  auto& a = rt.NewForm<Probe>();
  auto& b = rt.NewForm<Probe>();
  rt.Show(a);
  rt.Show(b);
  tk.Click(a, "Close");
  EXPECT_EQ(rt.Forms().size(), 1u);
  EXPECT_FALSE(tk.quit);
  rt.WindowClosed(b);
  EXPECT_TRUE(rt.Forms().empty());
  EXPECT_TRUE(tk.quit);
  EXPECT_FALSE(rt.ended()) << "closing windows is not End";
}

TEST_F(RuntimeTest, UnchangedCaptionIsNotWrittenAgain) {
  auto& a = rt.NewForm<Probe>();
  rt.Show(a);
  const int before = tk.text_writes;
  a["Value"].SetCaption("Value");
  EXPECT_EQ(tk.text_writes, before);
  a["Value"].SetCaption("7");
  a["Value"].SetCaption("7");
  EXPECT_EQ(tk.text_writes, before + 1);
  EXPECT_EQ(tk.WindowOf(a)->texts.at(a.IndexOf("Value")), "7");
}

TEST_F(RuntimeTest, TimersTickPerIntervalUntilDisabled) {
  auto& a = rt.NewForm<Probe>();
  sys.SetClock({2026, 12, 8, 10, 0, 0});
  rt.Show(a);
  tk.Advance(1000);
  EXPECT_EQ(a.ticks, 10);
  EXPECT_EQ(rt.Now(), (LocalTime{2026, 12, 8, 10, 0, 1}));
  a["Ticker"].SetEnabled(false);
  tk.Advance(1000);
  EXPECT_EQ(a.ticks, 10);
}

// A form that lets idle ticks be skipped; its ticker writes the clock's
// second, or a dash, and counts its runs (only to be watched: the count
// changes nothing the handler does).
class Seconds : public Form {
 public:
  Seconds(Runtime& rt, bool clock) : Form(rt, kProbeSpec), clock(clock) {}
  void OnEvent(Control& c, Event) override {
    if (c.name() != "Ticker") return;
    ++runs;
    (*this)["Value"].SetCaption(clock ? std::to_string(runtime().Now().second) : "-");
  }
  bool TimersFollowFormsAndClock() const override { return true; }
  const bool clock;
  int runs = 0;
};

// A run that changed nothing is not repeated, and the process is not woken
// for it, until the second read or something else changes.
TEST_F(RuntimeTest, IdleTicksAreSkippedUntilTheClockOrAControlChanges) {
  struct Step {
    int advance_ms;
    const char* outside;  // written to the label by someone else first
    int runs, wakes;
  };
  const struct {
    bool clock;
    std::vector<Step> steps;
  } forms[] = {
      // Writes the second: ticks at 0.1 ("0"), 0.2 (no change), 1.0 ("1").
      {true,
       {{1000, nullptr, 3, 3},
        {100, nullptr, 4, 4},  // no change: held until 2.0
        {100, "x", 5, 5},      // puts "1" back at once
        {100, nullptr, 6, 6},  // no change
        {600, nullptr, 6, 6},
        {100, nullptr, 7, 7}}},  // 2.0: "2"
      // Writes a dash: once it has, nothing but a change wakes it.
      {false, {{5000, nullptr, 2, 2}, {200, "x", 4, 4}, {5000, nullptr, 4, 4}}},
  };
  for (const auto& f : forms) {
    RecordingSystem system;
    HeadlessToolkit toolkit{system.clock};
    Runtime runtime{toolkit, system, kLcarsFontFacts};
    auto& a = runtime.NewForm<Seconds>(f.clock);
    system.SetClock({2026, 12, 8, 10, 0, 0});
    runtime.Show(a);
    for (const Step& step : f.steps) {
      if (step.outside) a["Value"].SetCaption(step.outside);
      toolkit.Advance(step.advance_ms);
      EXPECT_EQ(a.runs, step.runs) << "clock " << f.clock << " after " << system.clock.ms();
      EXPECT_EQ(toolkit.ticks_fired, step.wakes)
          << "clock " << f.clock << " after " << system.clock.ms();
    }
  }
}

constexpr ControlSpec kClockControls[] = {
    Timer("T2", 100, 0, 0),
    Timer("T1", 100, 0, 0),
    Timer("Fast", 50, 0, 0),
};
constexpr FormSpec kClockSpec{"Clocks", "Clocks",      BorderStyle::FixedDialog,      kBlack,
                              1000,     1000,          StartPosition::WindowsDefault, 0,
                              0,        kClockControls};

// Records its timers' ticks; T2 can stop T1 or fail.
class Clocks : public Form {
 public:
  explicit Clocks(Runtime& rt) : Form(rt, kClockSpec) {}
  void OnEvent(Control& c, Event) override {
    fired.emplace_back(c.name());
    if (c.name() == "T2" && stop_t1) (*this)["T1"].SetEnabled(false);
    if (c.name() == "T2" && fail) throw TypeMismatch();
  }
  std::vector<std::string> fired;
  bool stop_t1 = false, fail = false;
};

// Timers of one interval share a ticker and fire in declaration order, so
// T2 comes before T1; one disabled by an earlier one in that tick stays quiet.
TEST_F(RuntimeTest, TimersOfOneIntervalFireInDeclarationOrder) {
  auto& f = rt.NewForm<Clocks>();
  rt.Show(f);
  tk.Advance(100);
  EXPECT_EQ(f.fired, (std::vector<std::string>{"Fast", "T2", "T1", "Fast"}));
  f.fired.clear();
  f.stop_t1 = true;
  tk.Advance(100);
  EXPECT_EQ(f.fired, (std::vector<std::string>{"Fast", "T2", "Fast"}));
}

// A failing timer handler is reported once: while the box is open nothing
// else runs, and the program ends when it closes.
TEST_F(RuntimeTest, UnhandledErrorIsReportedOnceAndNothingRunsMeanwhile) {
  auto& f = rt.NewForm<Clocks>();
  rt.Show(f);
  f.fail = true;
  std::vector<std::string> during;
  tk.inside_box = [&](const auto&) {
    f.fired.clear();
    tk.Advance(1000);
    during = f.fired;
    EXPECT_FALSE(rt.ended());
  };
  tk.Advance(100);
  EXPECT_TRUE(during.empty());
  EXPECT_EQ(tk.boxes.size(), 1u);
  EXPECT_TRUE(rt.ended());
}

}  // namespace
}  // namespace qvl
