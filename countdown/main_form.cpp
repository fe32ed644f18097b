#include "countdown/main_form.h"

#include "about/frm_about.h"
#include "app/calendar.h"
#include "app/captions.h"
#include "arrival/bwf2d.h"

namespace qvl {

namespace {

constexpr Font kTahomaBold{"Tahoma", 825, true};
constexpr Font kSansBold{"MS Sans Serif", 825, true};
constexpr Color kPeriwinkle = 0x00FF8080;

constexpr Font SentenceFont(Variant v) {
  return v == Variant::PlainFont ? Font{"Arial", 1800, false} : Font{"LCARS", 2625, false};
}

// Declaration order; the visible area is (0, 0)-(3840, 2175), everything
// else lies in the developer area and is never seen.
// clang-format off
template <Variant V>
constexpr ControlSpec kControls[] = {
    Button("Command4", "X", 3570, 30, 255, 255, 30).WithFont(kSansBold),
    Button("Command3", "Menu", 2970, 30, 600, 255, 29),
    Timer("Timer2", 100, 2160, 6000),
    Button("Command2", "Press this button to manualy calculate the time until BWF.", 5040, 4920, 1575, 735, 12),
    Button("Command1", "Press this button to manualy calculate the current time.", 5040, 3120, 1575, 735, 1),
    Timer("Timer1", 100, 480, 6000),
    Frame("Frame1", "", 1400, 290, 2175, 1335, 37),
    Button("Command8", "About this program", 120, 999, 1935, 255, 41).In("Frame1"),
    Button("Command7", "QVL Fest Facebook Page", 120, 420, 1935, 255, 40).In("Frame1"),
    Button("Command6", "Official QVL Fest website", 120, 120, 1935, 255, 39).In("Frame1"),
    Button("Command5", kLinks.author_host, 120, 720, 1935, 255, 38).In("Frame1"),
    Line("Line3", 0, 300, 4200, 300, kActiveBorder).Width(2),
    Label("Label11", "ACTUALLY, THIS BUTTON NO LONGER WORKS.", 4920, 4200, 1815, 615, 36),
    Label("TotalDays", "TotalDays", 5160, 1320, 975, 375, 35),
    Label("Label4", "Month (Name)", 8040, 2640, 1095, 255, 34),
    Label("MonName", "MonName", 7200, 2640, 735, 255, 33),
    Label("Label3", "    Hour                  Minute               Day             Second", 240, 4440, 4215, 255, 32),
    Line("Line5", 9240, 6600, 9480, 360, kWhite),
    Line("Line4", 240, 6720, 9240, 6600, kWhite),
    Rectangle("Shape1", 15, 15, 3840, 2160, kActiveBorder).Width(2),
    Label("Label2", "  Time until Quorvell Fest", 0, 30, 10575, 285, 31).WithFont(kTahomaBold).Back(kActiveTitle).Fore(kTitleText),
    Label("Final", "Label2", 120, 360, 3735, 1215, 28).WithFont(SentenceFont(V)).Fore(kPeriwinkle).Transparent(),
    Label("Label1", "This is the same as \"EndDays, but without \"Days\" at the end of it.", 4800, 480, 1815, 615, 27),
    Label("EndDays", "EndDays", 2400, 4080, 975, 255, 26),
    Label("Label20", "THESE BUTTONS HAVE BEEN REPLACED BY THE TIMERS BUT THEY STILL FUNCTION.", 4800, 2160, 2175, 855, 25),
    Label("Label19", "Timer 2 calculate the time to BFW", 1800, 5400, 1575, 495, 24),
    Label("Label18", "Timer 1 calculates the current time.", 120, 5400, 1335, 495, 23),
    Label("Label17", "Current Time:", 7200, 480, 1575, 255, 22),
    Label("Label16", "The automation timers are here, but you cant see them when the program runs.", 120, 4800, 3375, 495, 21),
    Label("Label15", "Everything this side of those lines are for programing purposes only and are basically " "leftovers from programing. Don't delete anything though, most of it does stuff.", 120, 3360, 4455, 615, 20),
    Label("Label14", "Number of months until BFW (it's next month, so it should be 1 or 0)", 7200, 4560, 1695, 615, 19),
    Label("Label13", "Number of days after after this month is done.", 7200, 3480, 1815, 495, 18),
    Label("Label12", "Until Quorvell Fest !!!", 120, 1560, 3735, 615, 17).WithFont(SentenceFont(V)).Fore(kPeriwinkle).Transparent(),
    Label("EndSecond", "EndSecond", 3480, 4080, 975, 255, 16),
    Label("EndMinute", "EndMinute", 1320, 4080, 975, 255, 15),
    Label("EndHour", "EndHour", 240, 4080, 855, 255, 14),
    Label("EndDay", "EndDay", 7800, 4080, 855, 255, 13),
    Label("EndMon", "EndMon", 7800, 5280, 615, 375, 11),
    Label("Label10", "Month", 8040, 840, 735, 255, 10),
    Label("CurMon", "CurMon", 7200, 840, 735, 255, 9),
    Label("Label8", "Second", 8040, 2280, 735, 255, 8),
    Label("Label7", "Minute", 8040, 1920, 735, 255, 7),
    Label("Label6", "Hour", 8040, 1560, 735, 255, 6),
    Label("Label5", "Day", 8040, 1200, 735, 255, 5),
    Label("CurSec", "CurSec", 7200, 2280, 735, 255, 4),
    Label("CurMin", "CurMin", 7200, 1920, 735, 255, 3),
    Label("CurHour", "CurHour", 7200, 1560, 735, 255, 2),
    Label("CurDay", "CurDay", 7200, 1200, 735, 255, 0),
};
// clang-format on

static_assert(ValidTable(kControls<Variant::PlainFont>));
static_assert(ValidTable(kControls<Variant::LcarsFont>));

template <Variant V>
constexpr FormSpec kSpec{"Main",
                         "time until qvlfest",
                         BorderStyle::None,
                         kBlack,
                         3840,
                         2175,
                         StartPosition::WindowsDefault,
                         150,
                         465,
                         kControls<V>};

constexpr Handler<Main> kHandlers[] = {
    {"Timer1", Event::Timer, &Main::Timer1_Timer},
    {"Timer2", Event::Timer, &Main::Timer2_Timer},
    {"Command1", Event::Click, &Main::Command1_Click},
    {"Command2", Event::Click, &Main::Command2_Click},
    {"Command3", Event::Click, &Main::Command3_Click},
    {"Command4", Event::Click, &Main::Command4_Click},
    {"Command5", Event::Click, &Main::Command5_Click},
    {"Command6", Event::Click, &Main::Command6_Click},
    {"Command7", Event::Click, &Main::Command7_Click},
    {"Command8", Event::Click, &Main::Command8_Click},
    {"Label2", Event::MouseDown, &Main::Label2_MouseDown},
    {"Final", Event::Click, &Main::Final_Click},
    {"Label12", Event::Click, &Main::Label12_Click},
};
static_assert(HandlersMatch(kHandlers, kControls<Variant::PlainFont>));
static_assert(HandlersMatch(kHandlers, kControls<Variant::LcarsFont>));

constexpr const char* kMonthNames[] = {"January",   "February", "March",    "April",
                                       "May",       "June",     "July",     "August",
                                       "September", "October",  "November", "December"};

// Calendar days from a date to the next 22 June: this year's up to 22 June,
// next year's after it.
double DaysToNextFestival(int year, int month, int day) {
  const long long today = DaysFromCivil(year, month, day);
  long long festival = DaysFromCivil(year, 6, 22);
  if (festival < today) festival = DaysFromCivil(year + 1, 6, 22);
  return static_cast<double>(festival - today);
}

}  // namespace

const FormSpec& MainSpec(Variant variant) {
  return variant == Variant::PlainFont ? kSpec<Variant::PlainFont> : kSpec<Variant::LcarsFont>;
}

Main::Main(Runtime& runtime)
    : Form(runtime, MainSpec(runtime.App().variant)),
      CurMon((*this)["CurMon"]),
      CurDay((*this)["CurDay"]),
      CurHour((*this)["CurHour"]),
      CurMin((*this)["CurMin"]),
      CurSec((*this)["CurSec"]),
      MonName((*this)["MonName"]),
      EndMon((*this)["EndMon"]),
      EndDay((*this)["EndDay"]),
      EndHour((*this)["EndHour"]),
      EndMinute((*this)["EndMinute"]),
      EndSecond((*this)["EndSecond"]),
      TotalDays((*this)["TotalDays"]),
      EndDays((*this)["EndDays"]),
      Final((*this)["Final"]),
      Frame1((*this)["Frame1"]),
      Timer2((*this)["Timer2"]) {}

void Main::OnEvent(Control& control, Event event) {
  RunHandler(kHandlers, *this, control, event);
}

// The countdown tick reads the clock fields as numbers, so they get their
// first values here, before either timer can fire.
void Main::OnLoad() {
  HideMenu();
  Timer1_Timer();
}

// One reading of the clock for all five fields, so that a tick at midnight
// never mixes two days.
void Main::ReadClock() {
  const LocalTime now = runtime().Now();
  clock_year_ = now.year;
  CurMon.SetCaption(NumberToText(now.month));
  CurDay.SetCaption(NumberToText(now.day));
  CurHour.SetCaption(NumberToText(now.hour));
  CurMin.SetCaption(NumberToText(now.minute));
  CurSec.SetCaption(NumberToText(now.second));
}

void Main::Timer1_Timer() {
  ReadClock();
  const double month = CurMon.Number();
  if (month >= 1 && month <= 12) MonName.SetCaption(kMonthNames[static_cast<int>(month) - 1]);
}

void Main::Timer2_Timer() {
  EndMon.SetCaption(NumberToText(6 - CurMon.Number()));
  EndDay.SetCaption(NumberToText(22 - CurDay.Number()));
  EndHour.SetCaption(NumberToText(24 - CurHour.Number()) + " Hours ");
  EndMinute.SetCaption(NumberToText(60 - CurMin.Number()) + " Minutes ");
  EndSecond.SetCaption(NumberToText(60 - CurSec.Number()) + " Seconds ");

  const std::string& month = MonName.Caption();
  if (month == "March") {
    TotalDays.SetCaption(NumberToText(EndDay.Number() + 31 + 30 + 31));
  } else if (month == "April") {
    TotalDays.SetCaption(NumberToText(EndDay.Number() + 30 + 31));
  } else if (month == "May") {
    TotalDays.SetCaption(NumberToText(EndDay.Number() + 31));
  } else if (month == "June") {
    TotalDays.SetCaption(EndDay.Caption());
  } else {
    // Every other month counts calendar days to the next 22 June.
    TotalDays.SetCaption(NumberToText(DaysToNextFestival(
        clock_year_, static_cast<int>(CurMon.Number()), static_cast<int>(CurDay.Number()))));
  }

  if (TotalDays.Number() == 0) {
    runtime().Show(runtime().NewForm<BWF2D>());
    Timer2.SetEnabled(false);
  }

  EndDays.SetCaption(TotalDays.Caption() + " days ");
  Final.SetCaption(JoinInto(sentence_, {"It is ", EndDays.Caption(), EndHour.Caption(),
                                        EndMinute.Caption(), " and ", EndSecond.Caption()}));
}

void Main::Command1_Click() {
  ReadClock();
}

// A retired developer button: the month value it computes is held by no
// control, so it stays in the handler; the fields it writes are bare numbers.
void Main::Command2_Click() {
  const double month_value = 6 - CurMon.Number();
  EndDay.SetCaption(NumberToText(22 - CurDay.Number()));
  EndHour.SetCaption(NumberToText(24 - CurHour.Number()));
  EndMinute.SetCaption(NumberToText(60 - CurMin.Number()));
  EndSecond.SetCaption(NumberToText(60 - CurSec.Number()));
  if (month_value == 0) {
    EndMon.SetCaption(EndDay.Caption());
  } else if (month_value == 1) {
    EndMon.SetCaption(NumberToText(EndDay.Number() + 31));
  }
}

void Main::Command3_Click() {
  Frame1.SetVisible(!Frame1.Visible());
}

void Main::Command4_Click() {
  runtime().End();
}

void Main::Command5_Click() {
  Open(kLinks.author);
}
void Main::Command6_Click() {
  Open(kLinks.official);
}
void Main::Command7_Click() {
  Open(kLinks.facebook);
}

void Main::Command8_Click() {
  HideMenu();
  runtime().Show(runtime().NewForm<frmAbout>());
}

void Main::Label2_MouseDown() {
  runtime().DragWindow(*this);
  HideMenu();
}

void Main::Final_Click() {
  HideMenu();
}
void Main::Label12_Click() {
  HideMenu();
}

void Main::HideMenu() {
  Frame1.SetVisible(false);
}

void Main::Open(std::string_view address) {
  HideMenu();
  runtime().OpenAddress(address);
}

}  // namespace qvl
