// Shared rules with no window behind them: stacking and focus, the font
// choice, colours, message-box styles, registry roots and table checks.
#include <gtest/gtest.h>

#include <set>

#include "about/frm_about.h"
#include "about/sysinfo.h"
#include "app/colors.h"
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

TEST(Stacking, FrontFirstFocusAndDialogButtons) {
  const FormSpec& about = AboutSpec(Variant::PlainFont);
  EXPECT_EQ(Names(about, StackingOrder(about)),
            (std::vector<std::string_view>{"cmdOK", "picIcon", "cmdSysInfo", "lblTitle",
                                           "lblVersion", "Label4", "lblDescription", "Label1",
                                           "Line1", "Line1", "Label3", "lblDisclaimer"}));
  const FormSpec& main = MainSpec(Variant::LcarsFont);
  EXPECT_EQ(Names(main, StackingOrder(main, "Frame1")),
            (std::vector<std::string_view>{"Command5", "Command6", "Command7", "Command8"}));
  EXPECT_EQ(Names(main, TabOrder(main)),
            (std::vector<std::string_view>{"Command1", "Command2", "Command3", "Command4",
                                           "Command5", "Command6", "Command7", "Command8"}));
  // Read from top to bottom, whatever stands in front: the arrival window's
  // button after its large text, "DISCLAIMER:" before the disclaimer.
  EXPECT_EQ(Names(kBWF2DSpec, ReadingOrder(kBWF2DSpec)),
            (std::vector<std::string_view>{"Label1", "Label3", "Label4", "Command1", "Label2"}));
  EXPECT_EQ(Names(about, ReadingOrder(about)),
            (std::vector<std::string_view>{"picIcon", "lblTitle", "lblVersion", "Label4",
                                           "lblDescription", "Label1", "Line1", "Line1", "Label3",
                                           "lblDisclaimer", "cmdOK", "cmdSysInfo"}));
  EXPECT_EQ(about.controls[DefaultButton(about)].name, "cmdOK");
  EXPECT_EQ(about.controls[CancelButton(about)].name, "cmdOK");
  EXPECT_EQ(DefaultButton(main), -1);
}

TEST(FontChoice, ByInstalledFaces) {
  const struct {
    const char* named;
    std::set<std::string_view> installed;
    FaceChoice want;
  } rows[] = {
      {"LCARS", {"LCARS", "Arial"}, {"LCARS", 0}},
      {"LCARS", {"Arial Narrow", "Liberation Sans Narrow", "Arial"}, {"Arial Narrow", 19, 95, 18}},
      {"LCARS",
       {"Liberation Sans Narrow", "Liberation Sans"},
       {"Liberation Sans Narrow", 19, 95, 18}},
      {"LCARS", {"Liberation Sans"}, {"Liberation Sans", 19, 95, 18}},
      {"LCARS", {}, {"Arial", 19, 95, 18}},
      {"MS Sans Serif",
       {"MS Sans Serif", "Microsoft Sans Serif"},
       {"Microsoft Sans Serif", 0, 100, 10, 9}},
      {"MS Sans Serif", {"MS Sans Serif"}, {"MS Sans Serif", 0, 100, 10, 9}},
      {"MS Sans Serif", {"Liberation Sans"}, {"Liberation Sans", 0, 100, 10, 9}},
      {"Tahoma", {"Tahoma", "Arial"}, {"Tahoma", 0}},
      {"Tahoma", {"Arial"}, {"Arial", 0}},
      {"Arial", {"Liberation Sans", "DejaVu Sans"}, {"Liberation Sans", 0}},
      {"Arial", {"DejaVu Sans"}, {"Arial", 0}},
      {"Courier", {"Liberation Sans"}, {"Courier", 0}},
  };
  for (const auto& r : rows) {
    const FaceChoice got =
        ChooseFace(r.named, [&](std::string_view f) { return r.installed.count(f) > 0; });
    EXPECT_EQ(got, r.want) << r.named << " -> " << got.face << " " << got.width_percent;
  }
}

TEST(Colors, ByRole) {
  const struct {
    Color color;
    ColorRole role;
    PaintColor want;
  } rows[] = {
      {kDefaultColor, ColorRole::FormBack, {true, 15}},
      {kDefaultColor, ColorRole::LabelBack, {true, 15}},
      {kDefaultColor, ColorRole::Text, {true, 18}},
      {kDefaultColor, ColorRole::Line, {true, 8}},
      {0x80000002u, ColorRole::LabelBack, {true, 2}},
      {0x8000000Fu, ColorRole::Text, {true, 15}},
      {0x00FF8080u, ColorRole::Text, {false, 0xFF8080}},
      {0x00000000u, ColorRole::FormBack, {false, 0}},
  };
  for (const auto& r : rows) EXPECT_EQ(Resolve(r.color, r.role), r.want) << std::hex << r.color;
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

// The focus starts on the first button that can be seen in tab order, and
// leaves a button when its panel is hidden; the button that looks default
// follows it.
TEST(Interaction, FocusFollowsWhatCanBeSeen) {
  Program p({2027, 4, 21, 10, 20, 30});
  const auto* window = p.tk.WindowOf(*p.main);
  const int command1 = p.main->IndexOf("Command1"), command6 = p.main->IndexOf("Command6");
  EXPECT_EQ(window->focus, command1);
  EXPECT_FALSE(CanBeSeen(*p.main, command6));
  p.tk.Click(*p.main, "Command3");
  EXPECT_TRUE(CanBeSeen(*p.main, command6));
  p.runtime.FocusIn(*p.main, command6);
  EXPECT_EQ(window->looks_default, command6);
  p.tk.Click(*p.main, "Final");  // hides the panel
  EXPECT_EQ(window->focus, command1);
  EXPECT_EQ(window->looks_default, command1);

  // Tab goes round the buttons that can be seen, in tab order.
  std::vector<std::string_view> round;
  for (int i = 0; i < 5; ++i) {
    p.runtime.TabDown(*p.main, false);
    round.push_back(p.main->controls()[window->focus].name());
  }
  EXPECT_EQ(round, (std::vector<std::string_view>{"Command2", "Command3", "Command4", "Command1",
                                                  "Command2"}));
  p.runtime.TabDown(*p.main, true);
  EXPECT_EQ(window->focus, command1) << "Shift+Tab goes back";

  p.tk.Click(*p.main, "Command8");
  frmAbout& about = *p.runtime.FormsOf<frmAbout>().at(0);
  const auto* box = p.tk.WindowOf(about);
  EXPECT_EQ(box->focus, about.IndexOf("cmdOK"));
  p.runtime.FocusIn(about, about.IndexOf("cmdSysInfo"));
  EXPECT_EQ(box->looks_default, about.IndexOf("cmdSysInfo"));
}

// A label's Click is a left press and release inside that same label; the
// title strip's press starts a drag, which takes the pointer.
TEST(Interaction, LabelClicks) {
  using B = MouseButton;
  struct Step {
    const char* control;
    bool down;
    B button;
    bool inside;
  };
  const struct {
    const char* what;
    std::vector<Step> steps;
    bool clicked;
  } rows[] = {
      {"left press and release",
       {{"Final", true, B::Left, true}, {"Final", false, B::Left, true}},
       true},
      {"released outside",
       {{"Final", true, B::Left, true}, {"Final", false, B::Left, false}},
       false},
      {"right button", {{"Final", true, B::Right, true}, {"Final", false, B::Right, true}}, false},
      {"pressed on another label",
       {{"Label12", true, B::Left, true}, {"Final", false, B::Left, true}},
       false},
      {"released twice",
       {{"Final", true, B::Left, true},
        {"Final", false, B::Left, false},
        {"Final", false, B::Left, true}},
       false},
      {"a right release between",
       {{"Final", true, B::Left, true},
        {"Final", false, B::Right, true},
        {"Final", false, B::Left, true}},
       true},
  };
  for (const auto& r : rows) {
    Program p({2027, 4, 21, 10, 20, 30});
    p.tk.Click(*p.main, "Command3");
    for (const Step& s : r.steps) {
      const int i = p.main->IndexOf(s.control);
      if (s.down) {
        p.runtime.MouseDown(*p.main, i, s.button);
      } else {
        p.runtime.MouseUp(*p.main, i, s.button, s.inside);
      }
    }
    // Final's and Label12's Click hide the menu panel.
    EXPECT_EQ(!(*p.main)["Frame1"].Visible(), r.clicked) << r.what;
  }
}

TEST(Interaction, AccessKeys) {
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
  Program p({2027, 4, 21, 10, 20, 30});
  p.tk.Click(*p.main, "Command8");
  frmAbout& about = *p.runtime.FormsOf<frmAbout>().at(0);
  EXPECT_FALSE(p.runtime.AccessKeyDown(about, 'x'));
  EXPECT_TRUE(p.runtime.AccessKeyDown(about, 's'));
  ASSERT_EQ(p.tk.boxes.size(), 1u) << "System Info... pressed";
  EXPECT_EQ(p.tk.WindowOf(about)->focus, about.IndexOf("cmdSysInfo"));
}

TEST(Interaction, WindowFollowsThePointerUntilItsButtonIsReleased) {
  PointerDrag drag;
  drag.Begin(MouseButton::Right, {100, 10}, {40, 30});
  EXPECT_EQ(drag.Follow({150, 70}), (PixelPoint{90, 90}));
  EXPECT_FALSE(drag.Release(MouseButton::Left)) << "another button's release";
  EXPECT_EQ(drag.Follow({90, 0}), (PixelPoint{30, 20}));
  EXPECT_TRUE(drag.Release(MouseButton::Right));
  EXPECT_FALSE(drag.Follow({0, 0}));
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
struct Probe;
constexpr Handler<Probe> kMisspelt[] = {{"Buton", Event::Click, nullptr}};
constexpr Handler<Probe> kClickOnTimer[] = {{"T", Event::Click, nullptr}};
constexpr ControlSpec kWithTimer[] = {Button("Button", "", 0, 0, 1, 1, 0), Timer("T", 100, 0, 0)};
static_assert(!HandlersMatch(kMisspelt, kWithTimer));
static_assert(!HandlersMatch(kClickOnTimer, kWithTimer));

}  // namespace
}  // namespace qvl::test
