// The countdown window: a borderless black window whose hidden value labels
// carry the clock and the countdown from one 100 ms tick to the next.
#pragma once

#include "app/form.h"

namespace qvl {

const FormSpec& MainSpec(Variant variant);

// The three pages of the menu panel, in one place.
struct Links {
  std::string_view author_host;  // also the caption of the author's button
  std::string_view author;
  std::string_view official;
  std::string_view facebook;
};
// A search for the festival stands in where no page of its own is known.
inline constexpr Links kLinks{
    "duckduckgo.com",
    "https://duckduckgo.com/?q=QVLFEST+Quorvell+Fest+countdown",
    "https://duckduckgo.com/?q=Quorvell+Fest",
    "https://www.facebook.com/search/events/?q=QVL%20Fest",
};

class Main : public Form {
 public:
  explicit Main(Runtime& runtime);

  void OnLoad() override;
  void OnEvent(Control& control, Event event) override;
  // The ticks read the clock and the labels; what they keep of their own
  // (the year, the sentence's storage) follows from those.
  bool TimersFollowFormsAndClock() const override { return true; }

  // Handlers.
  void Timer1_Timer();  // the clock tick
  void Timer2_Timer();  // the countdown tick
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();
  void Command6_Click();
  void Command7_Click();
  void Command8_Click();
  void Label2_MouseDown();
  void Final_Click();
  void Label12_Click();

 private:
  void ReadClock();
  void HideMenu();
  void Open(std::string_view address);

  Control &CurMon, &CurDay, &CurHour, &CurMin, &CurSec, &MonName;
  Control &EndMon, &EndDay, &EndHour, &EndMinute, &EndSecond, &TotalDays, &EndDays, &Final;
  Control &Frame1, &Timer2;
  int clock_year_ = 0;    // year of the latest clock reading, for months past June
  std::string sentence_;  // built ten times a second, changed once
};

}  // namespace qvl
