#include "about/frm_about.h"

#include "about/sysinfo.h"
#include "app/captions.h"
#include "app/resources.h"

namespace qvl {

namespace {

constexpr Font kSansBold{"MS Sans Serif", 825, true};
constexpr std::string_view kDescription =
    "This was based on the Bellwick Fest countdown I made. There are many improvements due to QVL "
    "Fest being two months away at the time of compilation. ";
constexpr std::string_view kCredit =
    "Written by the QVLFEST developers in C++ with GCC. This particular version was compiled at "
    "10:45am April 21, 2012";
constexpr std::string_view kDisclaimer =
    "                           I have no affiliation with Quorvell records or Quorvell fest, I "
    "did this because I was bored. ";

// clang-format off
constexpr ControlSpec kPlainControls[] = {
    PictureBox("picIcon", 240, 240, 540, 540, 1).Picture(kAboutPicture),
    Label("lblTitle", "Application Title", 1050, 240, 3885, 480, 3).Fore(kBlack),
    Label("lblVersion", "Version", 1050, 780, 1365, 225, 4),
    Label("Label4", "NON LCARS FONT VERSION", 2520, 780, 2535, 225, 5).WithFont(kSansBold).Fore(kRed),
    Label("lblDescription", kDescription, 120, 1185, 5085, 570, 9).Fore(kBlack),
    Label("Label1", kCredit, 120, 1860, 5175, 495, 8),
    Line("Line1", 90, 2445, 5654, 2445, kGrey).Member(1).InsideSolid(),
    Line("Line1", 105, 2460, 5654, 2460, kWhite).Member(0).Width(2),
    Label("Label3", "DISCLAIMER:", 120, 2580, 1215, 225, 6).WithFont(kSansBold),
    Label("lblDisclaimer", kDisclaimer, 135, 2580, 3870, 585, 10).Fore(kBlack),
    Button("cmdOK", "OK", 4245, 2625, 1260, 345, 0).Default().Cancel(),
    Button("cmdSysInfo", "&System Info...", 4260, 3075, 1245, 345, 2),
};
// clang-format on

// clang-format off
constexpr ControlSpec kLcarsControls[] = {
    PictureBox("picIcon", 240, 240, 540, 540, 1).Picture(kAboutPicture),
    Label("lblTitle", "Application Title", 1050, 240, 3885, 480, 5).Fore(kBlack),
    Label("lblVersion", "Version", 1050, 780, 3885, 225, 6),
    Label("lblDescription", kDescription, 240, 1125, 5085, 570, 3).Fore(kBlack),
    Label("Label1", kCredit, 240, 1800, 5175, 495, 7),
    Line("Line1", 90, 2400, 5654, 2400, kGrey).Member(1).InsideSolid(),
    Line("Line1", 105, 2400, 5654, 2400, kWhite).Member(0).Width(2),
    Label("Label3", "DISCLAIMER:", 240, 2520, 1215, 232, 9).WithFont(kSansBold),
    Label("lblDisclaimer", kDisclaimer, 255, 2520, 3870, 585, 4).Fore(kBlack),
    Button("cmdOK", "OK", 4245, 2520, 1260, 345, 0).Default().Cancel(),
    Button("cmdSysInfo", "&System Info...", 4260, 3000, 1245, 345, 2),
};
// clang-format on

static_assert(ValidTable(kPlainControls));
static_assert(ValidTable(kLcarsControls));

constexpr FormSpec kPlainSpec{"frmAbout", "About MyApp", BorderStyle::FixedDialog, kDefaultColor,
                              5730,       3555,          StartPosition::Manual,    2340,
                              1935,       kPlainControls};
constexpr FormSpec kLcarsSpec{"frmAbout", "About MyApp", BorderStyle::FixedDialog, kDefaultColor,
                              5730,       3450,          StartPosition::Manual,    2340,
                              1935,       kLcarsControls};

constexpr Handler<frmAbout> kHandlers[] = {
    {"cmdOK", Event::Click, &frmAbout::cmdOK_Click},
    {"cmdSysInfo", Event::Click, &frmAbout::cmdSysInfo_Click},
};
static_assert(HandlersMatch(kHandlers, kPlainControls));
static_assert(HandlersMatch(kHandlers, kLcarsControls));

}  // namespace

const FormSpec& AboutSpec(Variant variant) {
  return variant == Variant::PlainFont ? kPlainSpec : kLcarsSpec;
}

frmAbout::frmAbout(Runtime& runtime) : Form(runtime, AboutSpec(runtime.App().variant)) {}

void frmAbout::OnEvent(Control& control, Event event) {
  RunHandler(kHandlers, *this, control, event);
}

void frmAbout::OnLoad() {
  const AppFacts& app = runtime().App();
  SetCaption("About " + std::string(app.title));
  (*this)["lblVersion"].SetCaption("Version " + NumberToText(app.major) + "." +
                                   NumberToText(app.minor) + "." + NumberToText(app.revision));
  (*this)["lblTitle"].SetCaption(std::string(app.title));
}

void frmAbout::cmdOK_Click() {
  runtime().Unload(*this);
}

void frmAbout::cmdSysInfo_Click() {
  StartSysInfo(runtime());
}

}  // namespace qvl
