// The shared layout and paint rules against literal pixels.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "about/frm_about.h"
#include "app/paint_plan.h"
#include "app/placement.h"
#include "harness.h"
#include "layout_expected.h"

namespace qvl::test {
namespace {

const FormSpec& SpecOf(std::string_view form, Variant v) {
  if (form == "Main") return MainSpec(v);
  if (form == "BWF2D") return kBWF2DSpec;
  return AboutSpec(v);
}

TEST(Geometry, Numbers) {
  const struct {
    const char* what;
    int got, want;
  } rows[] = {
      {"7 twips at 96 DPI", TwipsToPixels(7, 96), 0},
      {"8 twips at 96 DPI", TwipsToPixels(8, 96), 1},
      {"2175 twips at 144 DPI, a half up", TwipsToPixels(2175, 144), 218},
      {"-15 twips at 96 DPI", TwipsToPixels(-15, 96), -1},
      {"8.25 pt at 96 DPI", FontPixelHeight(825, 96), 11},
      {"8.25 pt at 144 DPI", FontPixelHeight(825, 144), 17},
      {"26.25 pt at 96 DPI", FontPixelHeight(2625, 96), 35},
      {"18 pt at 144 DPI", FontPixelHeight(1800, 144), 36},
      {"pen 1 at 96 DPI", PenWidth(1, 96), 1},
      {"pen 1 at 144 DPI", PenWidth(1, 144), 2},
      {"pen 2 at 144 DPI", PenWidth(2, 144), 3},
      {"pen 0", PenWidth(0, 96), 1},
  };
  for (const auto& r : rows) EXPECT_EQ(r.got, r.want) << r.what;
  EXPECT_EQ(ClientCorner(AboutSpec(Variant::PlainFont), 96), (PixelPoint{156, 129}));
  EXPECT_EQ(ClientCorner(AboutSpec(Variant::LcarsFont), 144), (PixelPoint{234, 194}));
  EXPECT_FALSE(ClientCorner(MainSpec(Variant::PlainFont), 96));
}

// A page is the desktop of its windows: they open inside it, keep their title
// strips reachable, and on a touch screen every button is a 24-pixel target.
TEST(Placement, InsideThePage) {
  const FormSpec& main = MainSpec(Variant::LcarsFont);
  EXPECT_EQ(TargetDpi(main, 24, 96), 134) << "X 24 x 24 at last; at 133 it is 23 wide";
  EXPECT_EQ(TargetDpi(AboutSpec(Variant::PlainFont), 24, 96), 99) << "OK 345 twips high";
  EXPECT_EQ(TargetDpi(kBWF2DSpec, 24, 96), 96);
  const auto label2 = std::find_if(main.controls.begin(), main.controls.end(),
                                   [](const ControlSpec& c) { return c.name == "Label2"; });
  const PixelRect strip = TitleStrip(main, static_cast<int>(label2 - main.controls.begin()), 96);
  EXPECT_EQ(strip, (PixelRect{0, 2, 198, 21})) << "up to Menu";
  constexpr PixelRect kPhone{0, 0, 390, 844}, kDesk{0, 0, 1024, 720};
  const struct {
    const char* what;
    PixelPoint got, want;
  } rows[] = {
      {"the about box at its own place on a phone",
       OpenInside({155, 106}, {384, 261}, kPhone),
       {6, 106}},
      {"a window wider than the page", OpenInside({40, 40}, {715, 573}, kPhone), {0, 40}},
      {"a window that fits stays", OpenInside({16, 16}, {256, 145}, kPhone), {16, 16}},
      {"higher than the page", OpenInside({0, 300}, {300, 900}, kPhone), {0, 0}},
      {"dragged above the page", KeepReachable({100, -208}, strip, kDesk, 48), {100, -2}},
      {"dragged off to the left", KeepReachable({-500, 10}, strip, kDesk, 48), {-150, 10}},
      {"off to the right and below", KeepReachable({2000, 800}, strip, kDesk, 48), {976, 699}},
      {"a narrow strip stays whole", KeepReachable({-50, 0}, {10, 0, 30, 20}, kDesk, 48), {-10, 0}},
      {"a page lower than the strip: its top wins",
       KeepReachable({0, 50}, strip, {0, 0, 300, 10}, 48),
       {0, -2}},
  };
  for (const auto& r : rows) EXPECT_EQ(r.got, r.want) << r.what;
}

TEST(Geometry, EveryVisibleControlAtBothDpis) {
  // Besides the listed ones, only these lines and shapes reach the visible area.
  const std::set<std::string_view> graphics = {"Line3", "Shape1", "Line1"};
  for (Variant v : {Variant::PlainFont, Variant::LcarsFont}) {
    for (const ExpectedLayout& l : ExpectedLayouts()) {
      if (!Applies(l, v)) continue;
      SCOPED_TRACE(std::string(l.form) + " at " + std::to_string(l.dpi));
      const FormSpec& spec = SpecOf(l.form, v);
      EXPECT_EQ(ClientRect(spec, l.dpi), (PixelRect{0, 0, l.client_width, l.client_height}));
      std::set<std::string_view> listed;
      for (const Placed& p : l.controls) {
        listed.insert(p.name);
        const auto row = std::find_if(spec.controls.begin(), spec.controls.end(),
                                      [&](const ControlSpec& c) { return c.name == p.name; });
        ASSERT_NE(row, spec.controls.end()) << p.name;
        EXPECT_EQ(Bounds(*row, l.dpi), p.rect) << p.name;
      }
      for (const ControlSpec& c : spec.controls)
        EXPECT_EQ(!Offstage(spec, c), listed.count(c.name) + graphics.count(c.name) > 0)
            << c.name;
    }
  }
}

std::string Describe(const Primitive& p) {
  char color[16];
  if (p.color.system) {
    std::snprintf(color, sizeof color, "sys %u", p.color.value);
  } else {
    std::snprintf(color, sizeof color, "#%02x%02x%02x", Red(p.color.value), Green(p.color.value),
                  Blue(p.color.value));
  }
  char out[160];
  const PixelRect& b = p.box;
  switch (p.kind) {
    case Primitive::Kind::Fill:
      std::snprintf(out, sizeof out, "fill %d,%d,%d,%d %s", b.left, b.top, b.right, b.bottom,
                    color);
      break;
    case Primitive::Kind::Line:
    case Primitive::Kind::Outline:
      std::snprintf(out, sizeof out, "%s %d,%d,%d,%d pen %d %s",
                    p.kind == Primitive::Kind::Line ? "line" : "outline", b.left, b.top, b.right,
                    b.bottom, p.pen, color);
      break;
    case Primitive::Kind::Text:
      std::snprintf(out, sizeof out, "text %d,%d,%d,%d %s %d%s %s '%s'", b.left, b.top, b.right,
                    b.bottom, std::string(p.font.face).c_str(), p.font_px,
                    p.font.bold ? " bold" : "", color, std::string(p.text.substr(0, 16)).c_str());
      break;
    case Primitive::Kind::Picture:
      std::snprintf(out, sizeof out, "picture %d %d,%d,%d,%d", p.picture, b.left, b.top, b.right,
                    b.bottom);
      break;
  }
  return out;
}

// Whole plans of each form as designed, back to front. Earlier controls
// stand in front: the grey member of the about box's rule over the white.
TEST(PaintPlan, EveryFormAtBothDpis) {
  const struct {
    const char* form;
    Variant v;
    int dpi;
    std::vector<std::string> plan;
  } rows[] = {
      {"Main",
       Variant::LcarsFont,
       96,
       {"fill 0,0,256,145 #000000", "text 8,104,257,145 LCARS 35 #8080ff 'Until Quorvell F'",
        "text 8,24,257,105 LCARS 35 #8080ff 'Label2'", "fill 0,2,705,21 sys 2",
        "text 0,2,705,21 Tahoma 11 bold sys 9 '  Time until Quo'",
        "outline 1,1,257,145 pen 2 sys 10", "line 0,20,280,20 pen 2 sys 10"}},
      {"Main",
       Variant::LcarsFont,
       144,
       {"fill 0,0,384,218 #000000", "text 12,156,386,218 LCARS 53 #8080ff 'Until Quorvell F'",
        "text 12,36,386,158 LCARS 53 #8080ff 'Label2'", "fill 0,3,1058,32 sys 2",
        "text 0,3,1058,32 Tahoma 17 bold sys 9 '  Time until Quo'",
        "outline 2,2,386,218 pen 3 sys 10", "line 0,30,420,30 pen 3 sys 10"}},
      {"Main",
       Variant::PlainFont,
       144,
       {"fill 0,0,384,218 #000000", "text 12,156,386,218 Arial 36 #8080ff 'Until Quorvell F'",
        "text 12,36,386,158 Arial 36 #8080ff 'Label2'", "fill 0,3,1058,32 sys 2",
        "text 0,3,1058,32 Tahoma 17 bold sys 9 '  Time until Quo'",
        "outline 2,2,386,218 pen 3 sys 10", "line 0,30,420,30 pen 3 sys 10"}},
      {"BWF2D",
       Variant::PlainFont,
       96,
       {"fill 0,0,505,381 #000000", "text 16,8,505,105 LCARS 96 #ff0000 'GET FUCKING EXIT'",
        "text 48,352,457,377 MS Sans Serif 11 sys 15 '*Also, if this w'",
        "text 16,112,497,201 LCARS 96 #ff0000 'QUORVELL FEST'",
        "text 16,208,497,305 LCARS 96 #ff0000 'IS TODAY!!!'"}},
      {"BWF2D",
       Variant::LcarsFont,
       144,
       {"fill 0,0,758,572 #000000", "text 24,12,758,158 LCARS 144 #ff0000 'GET FUCKING EXIT'",
        "text 72,528,686,566 MS Sans Serif 17 sys 15 '*Also, if this w'",
        "text 24,168,746,302 LCARS 144 #ff0000 'QUORVELL FEST'",
        "text 24,312,746,458 LCARS 144 #ff0000 'IS TODAY!!!'"}},
      {"frmAbout",
       Variant::PlainFont,
       96,
       {"fill 0,0,382,237 sys 15", "fill 9,172,267,211 sys 15",
        "text 9,172,267,211 MS Sans Serif 11 #000000 '                '",
        "fill 8,172,89,187 sys 15", "text 8,172,89,187 MS Sans Serif 11 bold sys 18 'DISCLAIMER:'",
        "fill 8,124,353,157 sys 15",
        "text 8,124,353,157 MS Sans Serif 11 sys 18 'Written by the Q'", "fill 8,79,347,117 sys 15",
        "text 8,79,347,117 MS Sans Serif 11 #000000 'This was based o'",
        "fill 168,52,337,67 sys 15",
        "text 168,52,337,67 MS Sans Serif 11 bold #ff0000 'NON LCARS FONT V'",
        "fill 70,52,161,67 sys 15", "text 70,52,161,67 MS Sans Serif 11 sys 18 'Version'",
        "fill 70,16,329,48 sys 15", "text 70,16,329,48 MS Sans Serif 11 #000000 'Application Titl'",
        "line 7,164,377,164 pen 2 #ffffff", "line 6,163,377,163 pen 1 #808080"}},
      {"frmAbout",
       Variant::LcarsFont,
       144,
       {"fill 0,0,573,345 sys 15", "fill 26,252,413,311 sys 15",
        "text 26,252,413,311 MS Sans Serif 17 #000000 '                '",
        "fill 24,252,146,275 sys 15",
        "text 24,252,146,275 MS Sans Serif 17 bold sys 18 'DISCLAIMER:'",
        "fill 24,180,542,230 sys 15",
        "text 24,180,542,230 MS Sans Serif 17 sys 18 'Written by the Q'",
        "fill 24,113,533,170 sys 15",
        "text 24,113,533,170 MS Sans Serif 17 #000000 'This was based o'",
        "fill 105,78,494,101 sys 15", "text 105,78,494,101 MS Sans Serif 17 sys 18 'Version'",
        "fill 105,24,494,72 sys 15",
        "text 105,24,494,72 MS Sans Serif 17 #000000 'Application Titl'",
        "line 11,240,565,240 pen 3 #ffffff", "line 9,240,565,240 pen 2 #808080"}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.form) + " at " + std::to_string(r.dpi));
    Program p({2027, 4, 21, 10, 20, 30}, r.v);
    Form* form = p.main;
    if (std::string_view(r.form) == "BWF2D") form = &p.runtime.NewForm<BWF2D>();
    if (std::string_view(r.form) == "frmAbout") form = &p.runtime.NewForm<frmAbout>();
    if (form == p.main) (*p.main)["Final"].SetCaption("Label2");
    std::vector<Primitive> plan;
    BuildPlan(*form, r.dpi, ClientRect(form->spec(), r.dpi), plan);
    std::vector<std::string> got;
    for (const Primitive& s : plan) got.push_back(Describe(s));
    EXPECT_EQ(got, r.plan);
  }
}

// A canvas that keeps the pixels it is given, one letter a colour ('P' for
// a picture).
struct GridCanvas : Canvas {
  explicit GridCanvas(int size = 8) : rows(size, std::string(size, '.')) {}
  std::vector<std::string> rows;
  void Paint(const PixelRect& r, char c) {
    const int n = static_cast<int>(rows.size());
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, n); ++y)
      for (int x = std::max(r.left, 0); x < std::min(r.right, n); ++x) rows[y][x] = c;
  }
  void Fill(const PixelRect& r, PaintColor c) override {
    Paint(r, static_cast<char>('a' + c.value));
  }
  void Text(const PixelRect&, std::string_view, const Font&, int, PaintColor, unsigned) override {}
  void SlantedLine(PixelPoint, PixelPoint, int, PaintColor) override {}
  void Picture(const PixelRect& r, int) override { Paint(r, 'P'); }
  std::string Column(int x) const {
    std::string out;
    for (const std::string& row : rows) out += row[x];
    return out;
  }
};

TEST(PaintPlan, LinesAndOutlinesLandOnPixels) {
  GridCanvas canvas;
  auto step = [](Primitive::Kind kind, PixelRect box, unsigned color, int pen) {
    Primitive p;
    p.kind = kind, p.box = box, p.color = {true, color}, p.pen = pen;
    return p;
  };
  canvas.Draw(step(Primitive::Kind::Outline, {0, 0, 6, 5}, 0, 2));
  canvas.Draw(step(Primitive::Kind::Line, {1, 6, 7, 6}, 1, 2));
  canvas.Draw(step(Primitive::Kind::Line, {7, 4, 7, 0}, 2, 1));
  EXPECT_EQ(canvas.rows,
            (std::vector<std::string>{"aaaaaa.c", "aaaaaa.c", "aa..aa.c", "aaaaaa.c", "aaaaaa..",
                                      "........", ".bbbbbb.", ".bbbbbb."}));
}

// The about box's picture fills its box inside a sunken border that grows
// with the DPI: shadow (q) over dark shadow (v) at the top, light (w) over
// highlight (u) at the bottom; a frame's etched edge is shadow, highlight,
// then inside the other way round.
TEST(PaintPlan, PictureBoxAndFrameChrome) {
  const struct {
    const char* name;
    int dpi;
    std::string column;  // at x = 10, top to bottom
  } rows[] = {
      {"picIcon", 96, "qv" + std::string(32, 'P') + "wu"},
      {"picIcon", 144, "qvv" + std::string(48, 'P') + "wwu"},
      {"Frame1", 96, "qu" + std::string(85, 'p') + "qu"},
  };
  for (const auto& r : rows) {
    const FormSpec& spec =
        r.name[0] == 'p' ? AboutSpec(Variant::LcarsFont) : MainSpec(Variant::LcarsFont);
    const auto row = std::find_if(spec.controls.begin(), spec.controls.end(),
                                  [&](const ControlSpec& c) { return c.name == r.name; });
    std::vector<Primitive> plan;
    BuildChromePlan(*row, r.dpi, plan);
    GridCanvas canvas(static_cast<int>(r.column.size()));
    canvas.Draw(plan);
    EXPECT_EQ(canvas.Column(10), r.column) << r.name << " at " << r.dpi;
  }
}

}  // namespace
}  // namespace qvl::test
