#include "contract/forms.h"

#include <string>

namespace qvl::contract {

namespace {

constexpr Color kBlue = 0x00FF0000u;

// Front and Back overlap, Front declared first; Out lies wholly outside the
// visible area. Frame1's buttons take tab places between those outside it,
// unlike the order in which a toolkit would make them.
// clang-format off
constexpr ControlSpec kBoardControls[] = {
    Label("Front", "", 300, 2400, 900, 300, 10).Back(kRed),
    Label("Back", "MMMMMMMMMMMM", 600, 2400, 900, 300, 11).Back(kBlue).Fore(kBlack),
    Label("Log", "", 60, 60, 4680, 255, 12),
    Label("Grip", "Grip", 60, 400, 1500, 255, 13),
    Label("Toggle", "Toggle", 1800, 400, 1200, 255, 14),
    Label("Out", "Out", 6000, 0, 900, 255, 15),
    Label("Clock", "Clock", 3100, 2400, 1200, 255, 16),
    Button("A", "&Alpha", 60, 800, 1200, 375, 0),
    Frame("Frame1", "", 1400, 700, 1500, 1200, 8),
    Button("F1", "&Fox", 120, 120, 1200, 375, 1).In("Frame1"),
    Button("F2", "&Golf", 120, 600, 1200, 375, 3).In("Frame1"),
    Button("B", "&Bravo", 3100, 800, 1200, 375, 2).Default(),
    Button("C", "&Charlie", 3100, 1300, 1200, 375, 4).Cancel(),
    Button("Open", "&Open", 60, 1300, 1200, 375, 5),
    Button("Box", "Bo&x", 60, 1800, 1200, 375, 6),
    Button("Tick", "&Tick", 3100, 1800, 1200, 375, 7),
    Button("Wait", "&Wait", 1400, 1950, 1500, 375, 9),
    Timer("Timer2", 100, 0, 0).With(&ControlSpec::enabled, false),
    Timer("Timer1", 100, 0, 0).With(&ControlSpec::enabled, false),
    Timer("Seconds", 100, 0, 0).With(&ControlSpec::enabled, false),
};
constexpr ControlSpec kOtherControls[] = {
    Button("Ask", "&Ask", 120, 120, 1200, 375, 0),
    Button("Shut", "Close", 1500, 120, 1200, 375, 1).Cancel(),
};
// clang-format on
static_assert(ValidTable(kBoardControls));
static_assert(ValidTable(kOtherControls));

constexpr FormSpec kBoardSpec{"Board", "Board",       BorderStyle::FixedDialog, kDefaultColor,
                              4800,    3000,          StartPosition::Manual,    1500,
                              1500,    kBoardControls};
constexpr FormSpec kOtherSpec{"Other", "Other",       BorderStyle::FixedDialog, kDefaultColor,
                              3000,    1500,          StartPosition::Manual,    9000,
                              1500,    kOtherControls};

}  // namespace

const FormSpec& kBoard = kBoardSpec;
const FormSpec& kOther = kOtherSpec;

Board::Board(Runtime& runtime, int box_style) : Form(runtime, kBoardSpec), box_style_(box_style) {}

void Board::Write(std::string_view entry) {
  Control& log = (*this)["Log"];
  log.SetCaption(log.Caption().empty() ? std::string(entry)
                                       : log.Caption() + " " + std::string(entry));
}

// Every button's Click first writes the button's name.
void Board::OnEvent(Control& c, Event e) {
  const std::string_view name = c.name();
  // Seconds writes each new second it reads into Clock, and logs it.
  if (name == "Seconds") {
    Control& clock = (*this)["Clock"];
    const std::string second = std::to_string(runtime().Now().second);
    if (clock.Caption() == second) return;
    clock.SetCaption(second);
    return Write("s");
  }
  if (e == Event::Timer) {
    Write(name == "Timer2" ? "T2" : "T1");
    c.SetEnabled(false);
    return;
  }
  if (name == "Grip" && e == Event::MouseDown) return runtime().DragWindow(*this);
  if (e != Event::Click) return;
  if (name == "Clock") {
    (*this)["Seconds"].SetEnabled(true);
    return Write("Clock");
  }
  if (name == "Toggle") {
    Control& a = (*this)["A"];
    a.SetVisible(!a.Visible());
    (*this)["Out"].SetCaption(a.Visible() ? "shown" : "hidden");
    return Write("toggle");
  }
  if (c.spec().kind != ControlKind::CommandButton) return;
  Write(name);
  if (name == "Open") runtime().Show(runtime().NewForm<Other>());
  if (name == "Box")
    Write("box" + std::to_string(runtime().MsgBox("Which one?", box_style_, "Question")));
  if (name == "Tick" || name == "Wait") {
    (*this)["Timer1"].SetEnabled(true);
    (*this)["Timer2"].SetEnabled(true);
  }
  if (name == "Wait") Write("wait" + std::to_string(runtime().MsgBox("Waiting", 0, "Waiting")));
}

Other::Other(Runtime& runtime) : Form(runtime, kOtherSpec) {}

void Other::OnEvent(Control& c, Event e) {
  if (e != Event::Click) return;
  if (c.name() == "Shut") return runtime().Unload(*this);
  const int answer = runtime().MsgBox("Waiting", 0, "Waiting");
  for (Board* board : runtime().FormsOf<Board>()) board->Write("ask" + std::to_string(answer));
}

}  // namespace qvl::contract
