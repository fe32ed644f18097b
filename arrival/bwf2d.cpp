#include "arrival/bwf2d.h"

namespace qvl {

namespace {

constexpr Font kLcars72{"LCARS", 7200, false};

// Declaration order.
// clang-format off
constexpr ControlSpec kControls[] = {
    Button("Command1", "Click This.", 6000, 4680, 1215, 375, 2),
    Label("Label4", "IS TODAY!!!", 240, 3120, 7215, 1455, 4).WithFont(kLcars72).Fore(kRed).Transparent(),
    Label("Label3", "QUORVELL FEST", 240, 1680, 7215, 1335, 3).WithFont(kLcars72).Fore(kRed).Transparent(),
    Label("Label2", "*Also, if this window came up and the program actually worked, that is pretty good " "reason to be exited too!", 720, 5280, 6135, 375, 1).Fore(kButtonFace).Transparent(),
    Label("Label1", "GET FUCKING EXITED", 240, 120, 7335, 1455, 0).WithFont(kLcars72).Fore(kRed).Transparent(),
};
// clang-format on

static_assert(ValidTable(kControls));

constexpr Handler<BWF2D> kHandlers[] = {
    {"Command1", Event::Click, &BWF2D::Command1_Click},
};
static_assert(HandlersMatch(kHandlers, kControls));

}  // namespace

const FormSpec kBWF2DSpec{"BWF2D", "YEAH!",  BorderStyle::FixedDialog,      kBlack,
                          7575,    5715,     StartPosition::WindowsDefault, 45,
                          360,     kControls};

void BWF2D::OnEvent(Control& control, Event event) {
  RunHandler(kHandlers, *this, control, event);
}

void BWF2D::Command1_Click() {
  runtime().MsgBox(
      "This program will not function anymore, delete it and have a great time at the show.", 48,
      "HEY!");
}

}  // namespace qvl
