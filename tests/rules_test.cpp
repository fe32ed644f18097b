// Shared rules with no window behind them: stacking, the font choice,
// message-box styles, registry roots and table checks.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "about/frm_about.h"
#include "about/sysinfo.h"
#include "app/font_choice.h"
#include "app/interaction.h"
#include "app/stacking.h"
#include "arrival/bwf2d.h"
#include "harness.h"

namespace qvl::test {
namespace {

std::vector<std::string_view> Names(const FormSpec& form, const std::vector<int>& order) {
  std::vector<std::string_view> out;
  for (int i : order) out.push_back(form.controls[i].name);
  return out;
}

// Buttons and the picture box stand in front of the labels; of two labels,
// the earlier one: "DISCLAIMER:" in front of the disclaimer it shares a line with.
TEST(Stacking, WindowedInFrontThenEarlierLabels) {
  const FormSpec& about = AboutSpec(Variant::PlainFont);
  EXPECT_EQ(Names(about, StackingOrder(about)),
            (std::vector<std::string_view>{"cmdOK", "picIcon", "cmdSysInfo", "lblTitle",
                                           "lblVersion", "Label4", "lblDescription", "Label1",
                                           "Line1", "Line1", "Label3", "lblDisclaimer"}));
  // Read from top to bottom, whatever stands in front: the arrival window's
  // button after its large text, "DISCLAIMER:" before the disclaimer.
  EXPECT_EQ(Names(kBWF2DSpec, ReadingOrder(kBWF2DSpec)),
            (std::vector<std::string_view>{"Label1", "Label3", "Label4", "Command1", "Label2"}));
  EXPECT_EQ(Names(about, ReadingOrder(about)),
            (std::vector<std::string_view>{"picIcon", "lblTitle", "lblVersion", "Label4",
                                           "lblDescription", "Label1", "Line1", "Line1", "Label3",
                                           "lblDisclaimer", "cmdOK", "cmdSysInfo"}));
}

TEST(FontChoice, ByInstalledFaces) {
  const struct {
    const char* named;
    std::set<std::string_view> installed;
    FaceChoice want;
  } rows[] = {
      {"LCARS", {"LCARS", "Arial"}, {"LCARS", 0}},
      {"LCARS",
       {"Arial Narrow", "Liberation Sans Narrow", "Arial"},
       {"Arial Narrow", 190, 950, 180}},
      {"LCARS",
       {"Liberation Sans Narrow", "Liberation Sans"},
       {"Liberation Sans Narrow", 190, 950, 180}},
      {"LCARS", {"Liberation Sans"}, {"Liberation Sans", 190, 950, 180}},
      {"LCARS", {}, {"Arial", 190, 950, 180}},
      {"MS Sans Serif",
       {"MS Sans Serif", "Microsoft Sans Serif"},
       {"Microsoft Sans Serif", 0, 1000, 100, 90}},
      {"MS Sans Serif", {"MS Sans Serif"}, {"MS Sans Serif", 0, 1000, 100, 90}},
      {"MS Sans Serif", {"Liberation Sans"}, {"Liberation Sans", 0, 1000, 100, 90}},
      {"MS Sans Serif", {"DejaVu Sans"}, {"MS Sans Serif", 0, 1000, 100, 90}},
      {"Tahoma", {"Tahoma", "Arial"}, {"Tahoma", 0}},
      {"Tahoma", {"Arial"}, {"Arial", 0}},
      {"Arial", {"Liberation Sans", "DejaVu Sans"}, {"Liberation Sans", 0}},
      {"Arial", {"DejaVu Sans"}, {"Arial", 0}},
      {"Courier", {"Liberation Sans"}, {"Courier", 0}},
  };
  for (const auto& r : rows) {
    const FaceChoice got =
        ChooseFace(r.named, [&](std::string_view f) { return r.installed.count(f) > 0; });
    EXPECT_EQ(got, r.want) << r.named << " -> " << got.face << " " << got.width_permille;
  }
}

// Measured, a stand-in runs as wide as the face it stands for, and an
// "LCARS" stand-in is raised by its own room above its letters. Widths as
// the faces measure (thousandths of an em): Liberation Sans Narrow keeps its
// calibrated size; DejaVu Sans, a seventh wider than Arial, is squeezed.
TEST(FontChoice, StandInsSizedByWhatTheyMeasure) {
  const std::map<std::pair<std::string_view, bool>, FaceMetrics> measured = {
      {{"Liberation Sans Narrow", false}, {377, 362, 922, 725}},
      {{"DejaVu Sans", false}, {523, 507, 928, 760}},
      {{"DejaVu Sans", true}, {589, 573, 928, 760}},
  };
  const struct {
    const char* named;
    std::set<std::string_view> installed;
    std::string_view substitute;  // what the system draws for a missing face
    bool bold;
    FaceChoice want;
  } rows[] = {
      {"LCARS", {"Liberation Sans Narrow"}, "", false, {"Liberation Sans Narrow", 190, 950, 180}},
      {"LCARS", {"DejaVu Sans"}, "DejaVu Sans", false, {"Arial", 192, 950, 151}},
      {"Arial", {"Liberation Sans"}, "", false, {"Liberation Sans", 0}},
      {"Arial", {"DejaVu Sans"}, "DejaVu Sans", false, {"Arial", 446, 1000}},
      {"Tahoma", {"DejaVu Sans"}, "DejaVu Sans", true, {"Tahoma", 484, 1000}},
      {"MS Sans Serif",
       {"DejaVu Sans"},
       "DejaVu Sans",
       false,
       {"MS Sans Serif", 446, 1000, 100, 90}},
  };
  for (const auto& r : rows) {
    const FaceChoice got = ChooseFace(
        r.named, [&](std::string_view f) { return r.installed.count(f) > 0; },
        [&](std::string_view face, bool bold) {
          return measured.at({r.installed.count(face) ? face : r.substitute, bold});
        },
        r.bold);
    EXPECT_EQ(got, r.want) << r.named << " -> " << got.face << " " << got.width_permille << " "
                           << got.raise_permille;
  }
}

TEST(MessageBoxStyle, DecodedAndEncoded) {
  const struct {
    int style;
    BoxStyle want;
  } rows[] = {
      {0, {BoxButtons::Ok, BoxIcon::None, 0}},
      {16, {BoxButtons::Ok, BoxIcon::Critical, 0}},
      {48, {BoxButtons::Ok, BoxIcon::Exclamation, 0}},
      {1 + 64, {BoxButtons::OkCancel, BoxIcon::Information, 0}},
      {4 + 32 + 256, {BoxButtons::YesNo, BoxIcon::Question, 1}},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(DecodeBoxStyle(r.style), r.want) << r.style;
    EXPECT_EQ(EncodeBoxStyle(r.want), r.style);
  }
  EXPECT_EQ(DecodeBoxStyle(0x40000 + 48), (BoxStyle{BoxButtons::Ok, BoxIcon::Exclamation, 0}))
      << "bits that are not the box's own are dropped";
}

// As <windows.h> defines it: ((HKEY)(ULONG_PTR)((LONG)0x80000002)).
static_assert(sizeof(RegKey) != 8 || PredefinedKey(kHkeyLocalMachine) == 0xFFFFFFFF80000002ull);
static_assert(PredefinedKey(0x00000001u) == 1u);

// The key GetKeyValue opens is closed even when the registry throws.
struct ThrowingRegistry : ScriptedRegistry {
  long RegQueryValueExA(RegKey, const char*, std::uint32_t*, std::uint32_t*, unsigned char*,
                        std::uint32_t*) override {
    throw std::bad_alloc();
  }
};

TEST(GetKeyValue, ClosesTheKeyWhenTheRegistryThrows) {
  ThrowingRegistry reg;
  reg.SetValue("K", "V", {1, "x"});
  std::string val;
  EXPECT_THROW(GetKeyValue(reg, kHkeyLocalMachine, "K", "V", val), std::bad_alloc);
  EXPECT_EQ(reg.open_keys(), 0);
}

// A system without a registry: the about box tells that the tool is not there.
struct NoRegistrySystem : RecordingSystem {
  Registry& registry() override { return none; }
  EmptyRegistry none;
};

TEST(StartSysInfo, WithoutARegistryShowsTheMessage) {
  NoRegistrySystem sys;
  HeadlessToolkit tk(sys.clock);
  Runtime rt(tk, sys, kLcarsFontFacts);
  frmAbout& about = rt.NewForm<frmAbout>();
  rt.Show(about);
  tk.Click(about, "cmdSysInfo");
  ASSERT_EQ(tk.boxes.size(), 1u);
  EXPECT_EQ(tk.boxes[0].text, "System Information Is Unavailable At This Time");
  EXPECT_TRUE(sys.started.empty());
}

// Enter presses the focused button, else the default one; Escape the cancel
// button; a button hidden with its panel is pressed by neither.
TEST(Interaction, KeysPressTheButtonTheRulesName) {
  const struct {
    const char* form;
    const char* focused;  // nullptr: as first shown
    Key key;
    const char* pressed;  // what the key did
  } rows[] = {
      {"frmAbout", nullptr, Key::Enter, "cmdOK"},
      {"frmAbout", nullptr, Key::Escape, "cmdOK"},
      {"frmAbout", "cmdSysInfo", Key::Enter, "cmdSysInfo"},
      {"frmAbout", "cmdSysInfo", Key::Escape, "cmdOK"},
      {"Main", "Command3", Key::Enter, "Command3"},
      {"Main", "Command3", Key::Escape, nullptr},
      {"Main", nullptr, Key::Enter, "Command1"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.form) + (r.focused ? r.focused : "") +
                 (r.key == Key::Enter ? " Enter" : " Escape"));
    Program p({2027, 4, 21, 10, 20, 30});
    Form* form = p.main;
    if (std::string_view(r.form) == "frmAbout") {
      p.tk.Click(*p.main, "Command8");
      form = p.runtime.FormsOf<frmAbout>().at(0);
    }
    if (r.focused) p.runtime.FocusIn(*form, form->IndexOf(r.focused));
    (*p.main)["CurSec"].SetCaption("x");
    const bool pressed = p.tk.Key(*form, r.key);
    EXPECT_EQ(pressed, r.pressed != nullptr);
    const std::string did = !p.tk.boxes.empty()                                       ? "cmdSysInfo"
                            : p.runtime.FormsOf<frmAbout>().empty() && form != p.main ? "cmdOK"
                            : (*p.main)["Frame1"].Visible()                           ? "Command3"
                            : p.Caption("CurSec") != "x"                              ? "Command1"
                                                                                      : "";
    EXPECT_EQ(did, r.pressed ? r.pressed : "");
  }
}

TEST(Interaction, ShownCaptions) {
  const struct {
    const char* caption;
    const char* text;
    int key_at;
  } rows[] = {
      {"&System Info...", "System Info...", 0},
      {"Menu", "Menu", -1},
      {"A && B", "A & B", -1},
      {"Save &As", "Save As", 5},
      {"Trailing &", "Trailing &", -1},
  };
  for (const auto& r : rows) {
    const ShownCaption shown = ShowCaption(r.caption);
    EXPECT_EQ(shown.text, r.text);
    EXPECT_EQ(shown.key_at, r.key_at) << r.caption;
  }
}

TEST(Interaction, WindowFollowsThePointerUntilItsButtonIsReleased) {
  PointerDrag drag;
  drag.Begin(MouseButton::Right, {100, 10}, {40, 30});
  EXPECT_EQ(drag.Follow({150, 70}), (PixelPoint{90, 90}));
  EXPECT_FALSE(drag.Release(MouseButton::Left)) << "another button's release";
  EXPECT_EQ(drag.Follow({90, 0}), (PixelPoint{30, 20}));
  EXPECT_TRUE(drag.Release(MouseButton::Right));
  EXPECT_FALSE(drag.Follow({0, 0}));
  // A move reported with only other buttons held: the drag's button was
  // released where the toolkit did not see it.
  drag.Begin(MouseButton::Middle, {100, 10}, {40, 30});
  EXPECT_EQ(drag.Follow({110, 20}, {.middle = true}), (PixelPoint{50, 40}));
  EXPECT_FALSE(drag.Follow({120, 30}, {.left = true}));
  EXPECT_FALSE(drag.Follow({130, 40}, {.middle = true})) << "ended for good";
}

constexpr ControlSpec kTwoOnTabOne[] = {Button("A", "a", 0, 0, 1, 1, 1),
                                        Button("B", "b", 0, 0, 1, 1, 1)};
constexpr ControlSpec kNoSuchFrame[] = {Button("A", "a", 0, 0, 1, 1, 1).In("Frame9")};
constexpr ControlSpec kSameName[] = {Label("A", "a", 0, 0, 1, 1, 1),
                                     Label("A", "b", 0, 0, 1, 1, 2)};
constexpr ControlSpec kArray[] = {Line("L", 0, 0, 1, 1, 0).Member(1),
                                  Line("L", 0, 0, 1, 1, 0).Member(0), Frame("F", "", 0, 0, 1, 1, 0),
                                  Button("B", "", 0, 0, 1, 1, 1).In("F")};
static_assert(!ValidTable(kTwoOnTabOne));
static_assert(!ValidTable(kNoSuchFrame));
static_assert(!ValidTable(kSameName));
static_assert(ValidTable(kArray));
// A frame's surface paints nothing of its own: no label, line or caption.
constexpr ControlSpec kLabelInFrame[] = {Frame("F", "", 0, 0, 1, 1, 0),
                                         Label("L", "l", 0, 0, 1, 1, 1).In("F")};
constexpr ControlSpec kCaptionedFrame[] = {Frame("F", "Options", 0, 0, 1, 1, 0)};
static_assert(!ValidTable(kLabelInFrame));
static_assert(!ValidTable(kCaptionedFrame));
struct Probe;
constexpr Handler<Probe> kMisspelt[] = {{"Buton", Event::Click, nullptr}};
constexpr Handler<Probe> kClickOnTimer[] = {{"T", Event::Click, nullptr}};
constexpr ControlSpec kWithTimer[] = {Button("Button", "", 0, 0, 1, 1, 0), Timer("T", 100, 0, 0)};
static_assert(!HandlersMatch(kMisspelt, kWithTimer));
static_assert(!HandlersMatch(kClickOnTimer, kWithTimer));

}  // namespace
}  // namespace qvl::test
