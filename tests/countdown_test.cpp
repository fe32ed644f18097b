#include <gtest/gtest.h>

#include "about/frm_about.h"
#include "harness.h"

namespace qvl::test {
namespace {

TEST(Countdown, WorkedExamples) {
  const struct {
    LocalTime at;
    const char *mon, *day, *hour, *min, *sec, *name, *end_mon, *end_day, *total, *final;
  } rows[] = {
      {{2027, 4, 21, 10, 20, 30},
       "4",
       "21",
       "10",
       "20",
       "30",
       "April",
       "2",
       "1",
       "62",
       "It is 62 days 14 Hours 40 Minutes  and 30 Seconds "},
      {{2027, 3, 1, 0, 0, 0},
       "3",
       "1",
       "0",
       "0",
       "0",
       "March",
       "3",
       "21",
       "113",
       "It is 113 days 24 Hours 60 Minutes  and 60 Seconds "},
      {{2027, 5, 31, 23, 59, 59},
       "5",
       "31",
       "23",
       "59",
       "59",
       "May",
       "1",
       "-9",
       "22",
       "It is 22 days 1 Hours 1 Minutes  and 1 Seconds "},
      {{2027, 6, 22, 9, 5, 7},
       "6",
       "22",
       "9",
       "5",
       "7",
       "June",
       "0",
       "0",
       "0",
       "It is 0 days 15 Hours 55 Minutes  and 53 Seconds "},
      {{2027, 6, 25, 12, 0, 0},
       "6",
       "25",
       "12",
       "0",
       "0",
       "June",
       "0",
       "-3",
       "-3",
       "It is -3 days 12 Hours 60 Minutes  and 60 Seconds "},
      {{2027, 6, 22, 0, 0, 0},
       "6",
       "22",
       "0",
       "0",
       "0",
       "June",
       "0",
       "0",
       "0",
       "It is 0 days 24 Hours 60 Minutes  and 60 Seconds "},
      // Months other than March to June count calendar days to the next 22 June.
      {{2026, 12, 8, 5, 11, 6},
       "12",
       "8",
       "5",
       "11",
       "6",
       "December",
       "-6",
       "14",
       "196",
       "It is 196 days 19 Hours 49 Minutes  and 54 Seconds "},
      {{2028, 2, 29, 12, 0, 0},
       "2",
       "29",
       "12",
       "0",
       "0",
       "February",
       "4",
       "-7",
       "114",
       "It is 114 days 12 Hours 60 Minutes  and 60 Seconds "},
      {{2027, 7, 1, 1, 2, 3},
       "7",
       "1",
       "1",
       "2",
       "3",
       "July",
       "-1",
       "21",
       "357",
       "It is 357 days 23 Hours 58 Minutes  and 57 Seconds "},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.final);
    Program p(r.at);
    p.Tick();
    EXPECT_EQ(p.Caption("CurMon"), r.mon);
    EXPECT_EQ(p.Caption("CurDay"), r.day);
    EXPECT_EQ(p.Caption("CurHour"), r.hour);
    EXPECT_EQ(p.Caption("CurMin"), r.min);
    EXPECT_EQ(p.Caption("CurSec"), r.sec);
    EXPECT_EQ(p.Caption("MonName"), r.name);
    EXPECT_EQ(p.Caption("EndMon"), r.end_mon);
    EXPECT_EQ(p.Caption("EndDay"), r.end_day);
    EXPECT_EQ(p.Caption("TotalDays"), r.total);
    EXPECT_EQ(p.Caption("EndDays"), std::string(r.total) + " days ");
    EXPECT_EQ(p.Caption("Final"), r.final);
    EXPECT_TRUE(p.tk.boxes.empty());
    EXPECT_EQ(p.Arrivals(), std::string(r.total) == "0" ? 1 : 0);
  }
}

TEST(Countdown, UnitFieldsOfTheFirstExample) {
  Program p({2027, 4, 21, 10, 20, 30});
  p.Tick();
  EXPECT_EQ(p.Caption("EndHour"), "14 Hours ");
  EXPECT_EQ(p.Caption("EndMinute"), "40 Minutes ");
  EXPECT_EQ(p.Caption("EndSecond"), "30 Seconds ");
}

TEST(Countdown, BeforeTheFirstCountdownTickFinalShowsItsDesignCaption) {
  Program p({2027, 4, 21, 10, 20, 30});
  EXPECT_EQ(p.Caption("Final"), "Label2");
  EXPECT_EQ(p.Caption("TotalDays"), "TotalDays");
  EXPECT_EQ(p.Caption("CurSec"), "30") << "the clock fields are filled at load";
  p.Tick();  // the countdown ticks first, on the fields the load filled
  EXPECT_EQ(p.Caption("Final"), "It is 62 days 14 Hours 40 Minutes  and 30 Seconds ");
}

TEST(Countdown, RunningTimersKeepTheSentenceCurrent) {
  Program p({2027, 4, 21, 10, 20, 30});
  // A countdown tick works on the latest clock tick, at most one interval old.
  p.tk.Advance(1100);
  EXPECT_EQ(p.Caption("Final"), "It is 62 days 14 Hours 40 Minutes  and 29 Seconds ");
  EXPECT_TRUE(p.tk.boxes.empty());
}

TEST(Countdown, ArrivalDayShowsOneWindowAndStopsTheCountdown) {
  Program p({2027, 6, 22, 0, 0, 0});
  p.tk.Advance(1000);
  EXPECT_EQ(p.Arrivals(), 1);
  EXPECT_FALSE(p.tk.TimerRunning(*p.main, "Timer2"));
  EXPECT_TRUE(p.tk.TimerRunning(*p.main, "Timer1"));
  const std::string last = p.Caption("Final");
  EXPECT_EQ(last, "It is 0 days 24 Hours 60 Minutes  and 60 Seconds ");
  p.tk.Advance(5000);
  EXPECT_EQ(p.Caption("CurSec"), "6") << "the clock runs on";
  EXPECT_EQ(p.Caption("Final"), last);
  EXPECT_EQ(p.Arrivals(), 1);

  BWF2D& arrival = *p.runtime.FormsOf<BWF2D>()[0];
  EXPECT_TRUE(p.tk.WindowOf(arrival)->shown);
  for (int press = 0; press < 2; ++press) p.tk.Click(arrival, "Command1");
  ASSERT_EQ(p.tk.boxes.size(), 2u);
  for (const auto& box : p.tk.boxes) {
    EXPECT_EQ(
        box.text,
        "This program will not function anymore, delete it and have a great time at the show.");
    EXPECT_EQ(box.title, "HEY!");
    EXPECT_EQ(box.style, 48);
    EXPECT_EQ(box.owner, "BWF2D");
  }
  p.runtime.WindowClosed(arrival);
  EXPECT_EQ(p.runtime.Forms().size(), 1u);
  EXPECT_FALSE(p.tk.quit);
  EXPECT_EQ(p.Caption("Final"), last);
}

TEST(Countdown, TimersTickWhileAMessageBoxIsOpen) {
  Program p({2027, 6, 22, 0, 0, 0});
  p.Tick();
  BWF2D& arrival = *p.runtime.FormsOf<BWF2D>()[0];
  p.tk.inside_box = [&](const auto&) { p.tk.Advance(2000); };
  p.tk.Click(arrival, "Command1");
  EXPECT_EQ(p.Caption("CurSec"), "2");
}

TEST(Countdown, MonthsRollOverWithoutError) {
  Program p({2027, 6, 30, 23, 59, 59});
  p.Tick();
  EXPECT_EQ(p.Caption("TotalDays"), "-8");
  p.At({2027, 7, 1, 0, 0, 0});
  EXPECT_EQ(p.Caption("MonName"), "July");
  EXPECT_EQ(p.Caption("TotalDays"), "357");
  p.At({2027, 7, 22, 12, 0, 0});
  EXPECT_EQ(p.Arrivals(), 0) << "22 July is not the festival";
  for (int m = 1; m <= 12; ++m) {
    p.At({2027, m, 15, 12, 0, 0});
    EXPECT_NO_THROW(p.main->operator[]("TotalDays").Number());
  }
  EXPECT_TRUE(p.tk.boxes.empty());
  EXPECT_FALSE(p.runtime.ended());
}

// The runtime skips the ticks that would change nothing; what can be seen
// must be what running every tick shows, tick by tick, through midnight into
// the festival, with the developer buttons pressed between ticks.
TEST(Countdown, SkippedTicksShowWhatEveryTickShows) {
  Program skipping({2027, 6, 21, 23, 59, 58});
  Program every({2027, 6, 21, 23, 59, 58}, Variant::LcarsFont, true);
  const std::map<int, std::string> presses = {
      {3, "Command2"}, {14, "Command1"}, {15, "Command3"}, {27, "Command2"}, {40, "Command3"}};
  for (int tick = 0; tick < 50; ++tick) {
    for (Program* p : {&skipping, &every}) {
      if (const auto press = presses.find(tick); press != presses.end())
        p->tk.Click(*p->main, press->second);
      p->Tick();
    }
    for (const Control& c : every.main->controls()) {
      const Control& s = (*skipping.main)[c.name()];
      EXPECT_EQ(s.Caption(), c.Caption()) << c.name() << " at tick " << tick;
      EXPECT_EQ(s.Visible(), c.Visible()) << c.name() << " at tick " << tick;
    }
    EXPECT_EQ(skipping.Arrivals(), every.Arrivals()) << "at tick " << tick;
  }
  EXPECT_EQ(every.Arrivals(), 1);
}

TEST(Countdown, Command1RereadsTheClockAndLeavesTheMonthName) {
  Program p({2027, 4, 21, 10, 20, 30});
  p.sys.SetClock({2027, 5, 1, 0, 5, 0});
  p.tk.Click(*p.main, "Command1");
  EXPECT_EQ(p.Caption("CurMon"), "5");
  EXPECT_EQ(p.Caption("CurDay"), "1");
  EXPECT_EQ(p.Caption("CurHour"), "0");
  EXPECT_EQ(p.Caption("CurMin"), "5");
  EXPECT_EQ(p.Caption("CurSec"), "0");
  EXPECT_EQ(p.Caption("MonName"), "April");
}

// The retired button writes bare numbers, and EndMon only for a month value
// (6 minus the month) of 0 or 1: EndDay's caption, or EndDay plus 31.
TEST(Countdown, Command2WritesBareNumbersAndEndMonForJuneAndMay) {
  const struct {
    LocalTime at;
    std::map<std::string, std::string> written;
  } rows[] = {
      {{2027, 4, 21, 10, 20, 30},
       {{"EndDay", "1"}, {"EndHour", "14"}, {"EndMinute", "40"}, {"EndSecond", "30"}}},
      {{2027, 6, 21, 1, 2, 3},
       {{"EndDay", "1"},
        {"EndHour", "23"},
        {"EndMinute", "58"},
        {"EndSecond", "57"},
        {"EndMon", "1"}}},
      {{2027, 5, 2, 0, 0, 0},
       {{"EndDay", "20"},
        {"EndHour", "24"},
        {"EndMinute", "60"},
        {"EndSecond", "60"},
        {"EndMon", "51"}}},
  };
  for (const auto& r : rows) {
    Program p(r.at);
    p.Tick();
    std::map<std::string, std::string> before;
    for (auto& c : p.main->controls()) before[std::string(c.name())] = c.Caption();
    p.tk.Click(*p.main, "Command2");
    for (auto& c : p.main->controls()) {
      const std::string name(c.name());
      const auto w = r.written.find(name);
      EXPECT_EQ(c.Caption(), w == r.written.end() ? before[name] : w->second) << name;
    }
  }
}

TEST(MenuPanel, Rules) {
  Program p({2027, 4, 21, 10, 20, 30});
  auto shown = [&] { return (*p.main)["Frame1"].Visible(); };
  const auto* window = p.tk.WindowOf(*p.main);
  const int frame = p.main->IndexOf("Frame1");
  EXPECT_FALSE(shown()) << "hidden at load, though the design shows it";
  EXPECT_FALSE(window->visible.at(frame));

  constexpr auto kLeft = MouseButton::Left, kRight = MouseButton::Right;
  const struct {
    const char* control;
    bool press_only;  // a press of `button`, else a click
    MouseButton button;
    bool from_shown;
    bool after;
  } rows[] = {
      {"Command3", false, kLeft, false, true}, {"Command3", false, kLeft, true, false},
      {"Final", false, kLeft, true, false},    {"Label12", false, kLeft, true, false},
      {"Label2", true, kLeft, true, false},    {"Label2", true, kRight, true, false},
      {"Label2", true, kLeft, false, false},   {"Command5", false, kLeft, true, false},
      {"Command6", false, kLeft, true, false}, {"Command7", false, kLeft, true, false},
      {"Label1", false, kLeft, true, true},    {"Label4", false, kLeft, true, true},
      {"Final", true, kRight, true, true},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.control);
    (*p.main)["Frame1"].SetVisible(r.from_shown);
    if (r.press_only) {
      p.tk.Press(*p.main, r.control, r.button);
    } else {
      p.tk.Click(*p.main, r.control);
    }
    EXPECT_EQ(shown(), r.after);
    EXPECT_EQ(window->visible.at(frame), r.after);
  }
  // Each press on the title strip moves the window, ending at the release of
  // the button that pressed.
  using Drag = HeadlessToolkit::Drag;
  EXPECT_EQ(p.tk.drags, (std::vector<Drag>{{"Main", kLeft}, {"Main", kRight}, {"Main", kLeft}}));
  EXPECT_EQ(p.sys.addresses,
            (std::vector<std::string>{std::string(kLinks.author), std::string(kLinks.official),
                                      std::string(kLinks.facebook)}));
}

TEST(MenuPanel, AuthorButtonShowsTheHostItOpens) {
  Program p({2027, 4, 21, 10, 20, 30});
  const std::string host(kLinks.author_host);
  EXPECT_EQ(p.Caption("Command5"), host);
  EXPECT_EQ(std::string(kLinks.author).rfind("https://" + host + "/", 0), 0u);
}

TEST(MenuPanel, XEndsTheProgramWithEveryWindow) {
  Program p({2027, 6, 22, 12, 0, 0});
  p.Tick();
  p.tk.Click(*p.main, "Command8");
  p.tk.Click(*p.main, "Command8");
  ASSERT_EQ(p.runtime.Forms().size(), 4u);
  p.tk.Click(*p.main, "Command4");
  EXPECT_TRUE(p.runtime.ended());
  EXPECT_TRUE(p.runtime.Forms().empty());
  p.tk.Advance(1000);
  EXPECT_TRUE(p.tk.boxes.empty());
}

}  // namespace
}  // namespace qvl::test
