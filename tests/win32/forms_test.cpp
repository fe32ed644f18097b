// The real windows: layout by DPI, styles, fonts, texts, focus, the menu
// panel, the arrival window, message boxes, the about box and End.
#include <cstdlib>

#include "about/frm_about.h"
#include "app/errors.h"
#include "app/paint_plan.h"
#include "app/win32/gdi_canvas.h"
#include "arrival/bwf2d.h"
#include "layout_expected.h"
#include "win32_harness.h"

namespace qvl::test {
namespace {

constexpr LocalTime kApril{2027, 4, 21, 10, 20, 30};
constexpr LocalTime kFestival{2027, 6, 22, 9, 5, 7};

RECT ClientRect(HWND hwnd) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  return rc;
}

// A control's rectangle in its container's client coordinates.
RECT PlacedRect(HWND child) {
  RECT rc;
  GetWindowRect(child, &rc);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

LOGFONTW FontOf(HWND hwnd) {
  LOGFONTW lf{};
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
  GetObjectW(font, sizeof lf, &lf);
  return lf;
}

std::string Face(const LOGFONTW& lf) {
  std::wstring w(lf.lfFaceName);
  return std::string(w.begin(), w.end());
}

// Every control with a window sits where the literal tables put it at the
// window's DPI, and carries its caption as its window text.
void CheckLayout(Form& form, Variant v) {
  const int dpi = Win32Toolkit::DpiOf(form);
  if (const char* expected = std::getenv("QVL_EXPECT_DPI")) {
    EXPECT_EQ(dpi, std::atoi(expected));
  }
  const ExpectedLayout* layout = nullptr;
  for (const ExpectedLayout& l : ExpectedLayouts())
    if (l.form == form.spec().name && l.dpi == dpi && Applies(l, v)) layout = &l;
  ASSERT_NE(layout, nullptr) << form.spec().name << " has no table at " << dpi << " DPI";
  const RECT client = ClientRect(Win32Toolkit::WindowOf(form));
  EXPECT_EQ(client.right, layout->client_width);
  EXPECT_EQ(client.bottom, layout->client_height);
  for (const Placed& p : layout->controls) {
    HWND child = Win32Toolkit::ControlWindow(form, form.IndexOf(p.name));
    ASSERT_NE(child, nullptr) << p.name;
    const RECT rc = PlacedRect(child);
    EXPECT_EQ((PixelRect{rc.left, rc.top, rc.right, rc.bottom}), p.rect) << p.name;
  }
  for (const Control& c : form.controls()) {
    HWND child = Win32Toolkit::ControlWindow(form, c.index());
    const ControlSpec& s = c.spec();
    if (!s.IsWindowed() && s.kind != ControlKind::Label) {
      EXPECT_EQ(child, nullptr) << s.name;
      continue;
    }
    ASSERT_NE(child, nullptr) << s.name;
    EXPECT_EQ(WindowText(child), c.Caption()) << s.name;
    EXPECT_EQ(GetParent(child), s.container.empty()
                                    ? Win32Toolkit::WindowOf(form)
                                    : Win32Toolkit::ControlWindow(form, form.IndexOf(s.container)));
  }
}

TEST(Win32Layout, EveryFormAtTheScreensDpi) {
  for (Variant v : {Variant::PlainFont, Variant::LcarsFont}) {
    Win32Program p(kFestival, v);
    p.PumpUntil([&] { return !p.runtime.FormsOf<BWF2D>().empty(); });
    p.Click(p.Child("Command8"));
    CheckLayout(*p.main, v);
    CheckLayout(*p.runtime.FormsOf<BWF2D>().at(0), v);
    CheckLayout(*p.runtime.FormsOf<frmAbout>().at(0), v);
  }
}

TEST(Win32Windows, Styles) {
  Win32Program p(kFestival);
  p.PumpUntil([&] { return !p.runtime.FormsOf<BWF2D>().empty(); });
  p.Click(p.Child("Command8"));
  const struct {
    Form* form;
    const char* title;
  } rows[] = {
      {p.main, "time until qvlfest"},
      {p.runtime.FormsOf<BWF2D>().at(0), "YEAH!"},
      {p.runtime.FormsOf<frmAbout>().at(0), "About QVLFEST"},
  };
  for (const auto& r : rows) {
    HWND hwnd = p.Window(*r.form);
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    EXPECT_EQ(WindowText(hwnd), r.title);
    EXPECT_TRUE(IsWindowVisible(hwnd)) << r.title;
    EXPECT_FALSE(style & WS_THICKFRAME) << r.title << ": not resizable";
    EXPECT_FALSE(style & WS_MAXIMIZEBOX) << r.title;
    EXPECT_EQ(GetWindow(hwnd, GW_OWNER), nullptr) << r.title;
    if (r.form == p.main) {
      EXPECT_TRUE(style & WS_POPUP);
      EXPECT_FALSE(style & WS_CAPTION) << "borderless";
      EXPECT_FALSE(style & WS_BORDER);
    } else {
      EXPECT_EQ(style & WS_CAPTION, WS_CAPTION) << r.title;
      EXPECT_TRUE(style & WS_SYSMENU) << r.title << ": close button";
      EXPECT_FALSE(style & WS_MINIMIZEBOX) << r.title;
    }
  }
  // The about box opens with its client area's corner at (2340, 1935) twips.
  HWND about = p.Window(*p.runtime.FormsOf<frmAbout>().at(0));
  POINT corner{0, 0};
  ClientToScreen(about, &corner);
  const POINT expected = Win32Toolkit::DpiOf(*p.main) == 144 ? POINT{234, 194} : POINT{156, 129};
  EXPECT_EQ(corner.x, expected.x);
  EXPECT_EQ(corner.y, expected.y);
}

TEST(Win32Windows, FontsPerBuild) {
  // Em heights in pixels at 96 and 144 DPI: Arial 18 pt; LCARS 26.25 pt
  // (35 and 53 pixels), where a condensed face stands in a little smaller.
  const struct {
    Variant v;
    const char* face;
    int em96, em144;
  } rows[] = {
      {Variant::PlainFont, "Arial", 24, 36},
      {Variant::LcarsFont, nullptr, 33, 50},
  };
  for (const auto& r : rows) {
    Win32Program p(kApril, r.v);
    const int dpi = Win32Toolkit::DpiOf(*p.main);
    for (const char* name : {"Final", "Label12"}) {
      const LOGFONTW lf = FontOf(p.Child(name));
      EXPECT_EQ(lf.lfHeight, -(dpi == 96 ? r.em96 : r.em144)) << name;
      EXPECT_EQ(lf.lfWeight, FW_NORMAL) << name;
      if (r.face) {
        EXPECT_TRUE(Face(lf) == r.face || Face(lf) == "Liberation Sans") << name << Face(lf);
      } else {
        EXPECT_NE(Face(lf), "Arial") << "a condensed face stands in for LCARS";
      }
    }
    const LOGFONTW strip = FontOf(p.Child("Label2"));
    EXPECT_TRUE(Face(strip) == "Tahoma" || Face(strip) == "Liberation Sans") << Face(strip);
    EXPECT_EQ(strip.lfWeight, FW_BOLD);
    EXPECT_EQ(strip.lfHeight, -MulDiv(825, dpi, 7200));
    EXPECT_EQ(FontOf(p.Child("Command4")).lfWeight, FW_BOLD);
    EXPECT_EQ(FontOf(p.Child("Command3")).lfWeight, FW_NORMAL);
  }
}

// Every label that can be seen keeps all the ink of its text inside its
// rectangle, drawn as the form draws it but with nothing cut off: every
// form, both builds, the widest sentence of a year included, at the
// screen's DPI.
TEST(Win32Fonts, LabelsKeepTheirInkUnclipped) {
  for (Variant v : {Variant::PlainFont, Variant::LcarsFont}) {
    Win32Program p(kFestival, v);
    ASSERT_TRUE(p.PumpUntil([&] { return !p.runtime.FormsOf<BWF2D>().empty(); }));
    p.Click(p.Child("Command8"));
    (*p.main)["Final"].SetCaption("It is 356 days 24 Hours 60 Minutes  and 60 Seconds ");
    const int dpi = Win32Toolkit::DpiOf(*p.main);
    for (Form* form :
         {static_cast<Form*>(p.main), static_cast<Form*>(p.runtime.FormsOf<BWF2D>().at(0)),
          static_cast<Form*>(p.runtime.FormsOf<frmAbout>().at(0))}) {
      std::vector<Primitive> plan;
      BuildPlan(*form, dpi, ClientRect(form->spec(), dpi), plan);
      Win32Fonts fonts;
      for (Primitive t : plan) {
        if (t.kind != Primitive::Kind::Text) continue;
        constexpr int kMargin = 100;
        const PixelRect& b = t.box;
        const int w = b.width() + 2 * kMargin, h = b.height() + 2 * kMargin;
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof bi.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, dib);
        SetViewportOrgEx(dc, kMargin - b.left, kMargin - b.top, nullptr);
        {
          GdiCanvas canvas(dc, fonts);
          t.color = {false, 0xFFFFFF};  // ink on black
          t.flags |= kNoClip;
          canvas.Draw(t);
        }
        GdiFlush();
        int outside = 0, inside = 0;
        const auto* px = static_cast<const DWORD*>(bits);
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x) {
            if ((px[y * w + x] & 0xFFFFFF) == 0) continue;
            const bool in =
                x >= kMargin && x < kMargin + b.width() && y >= kMargin && y < kMargin + b.height();
            (in ? inside : outside) += 1;
          }
        SelectObject(dc, old);
        DeleteObject(dib);
        DeleteDC(dc);
        EXPECT_GT(inside, 0) << std::string(t.text);
        EXPECT_EQ(outside, 0) << form->spec().name << ": '" << std::string(t.text) << "' in "
                              << t.font.face << (v == Variant::PlainFont ? ", plain" : ", LCARS")
                              << " at " << dpi << " DPI";
      }
    }
  }
}

// A canvas hands a DC back as it was lent: its font, and its clip after texts
// clipped to their boxes, each of which still gets its ink.
TEST(Win32Fonts, CanvasLeavesTheCallersFontAndClip) {
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof bi.bmiHeader, 64, -64, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, dib);
  const HGDIOBJ own_font = GetCurrentObject(dc, OBJ_FONT);
  IntersectClipRect(dc, 0, 0, 60, 60);
  Win32Fonts fonts;
  {
    GdiCanvas canvas(dc, fonts);
    for (int at : {0, 30})
      canvas.Text({at, at, at + 30, at + 30}, "HH", Font{"Arial", 1200, true}, 16,
                  {false, 0xFFFFFF}, 0);
  }
  GdiFlush();
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), own_font);
  RECT clip{};
  EXPECT_EQ(GetClipBox(dc, &clip), SIMPLEREGION);
  EXPECT_EQ((PixelRect{clip.left, clip.top, clip.right, clip.bottom}), (PixelRect{0, 0, 60, 60}));
  const auto* px = static_cast<const DWORD*>(bits);
  int ink[2] = {};
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      if (px[y * 64 + x] & 0xFFFFFF) ++ink[x >= 30 && y >= 30];
  EXPECT_GT(ink[0], 0);
  EXPECT_GT(ink[1], 0);
  SelectObject(dc, old);
  DeleteObject(dib);
  DeleteDC(dc);
}

TEST(Win32Countdown, SentenceInFinalsWindowText) {
  Win32Program p(kApril);
  // The design caption until the first tick, which may already have come.
  EXPECT_TRUE(p.PumpUntil([&] { return WindowText(p.Child("Final")) != "Label2"; }));
  EXPECT_EQ(WindowText(p.Child("Final")), "It is 62 days 14 Hours 40 Minutes  and 30 Seconds ");
  EXPECT_EQ(WindowText(p.Child("CurMon")), "4");
  EXPECT_EQ(WindowText(p.Child("Label12")), "Until Quorvell Fest !!!");
}

// The outline and the rule under the title strip are drawn, in front of the
// labels they cross; transparent labels let the black form show through.
TEST(Win32Countdown, GraphicsAndTransparency) {
  Win32Program p(kApril);
  HWND main = p.Window(*p.main);
  const bool dpi144 = Win32Toolkit::DpiOf(*p.main) == 144;
  const COLORREF border = GetSysColor(COLOR_ACTIVEBORDER);
  const COLORREF strip = GetSysColor(COLOR_ACTIVECAPTION);
  const struct {
    const char* what;
    POINT at96, at144;
    COLORREF color;
  } rows[] = {
      {"outline, left edge", {1, 120}, {2, 180}, border},
      {"outline across the title strip", {1, 10}, {2, 15}, border},
      {"rule under the title strip", {67, 20}, {100, 30}, border},
      {"title strip", {67, 7}, {100, 10}, strip},
      {"black behind Final", {247, 93}, {370, 140}, RGB(0, 0, 0)},
  };
  HDC dc = GetDC(main);
  auto pixel = [&](POINT at96, POINT at144) {
    const POINT at = dpi144 ? at144 : at96;
    return GetPixel(dc, at.x, at.y);
  };
  auto all_shown = [&] {
    for (const auto& r : rows)
      if (pixel(r.at96, r.at144) != r.color) return false;
    return true;
  };
  p.PumpUntil(all_shown);
  for (const auto& r : rows) EXPECT_EQ(pixel(r.at96, r.at144), r.color) << r.what;
  // Hiding the rule repaints the title strip it crosses.
  (*p.main)["Line3"].SetVisible(false);
  EXPECT_TRUE(p.PumpUntil([&] { return pixel(rows[2].at96, rows[2].at144) == strip; }));
  ReleaseDC(main, dc);
}

// The about box's etched rule: grey rows right above white ones, in both
// builds (15 twips apart in one, on the same height in the other).
TEST(Win32About, EtchedRuleShowsGreyAboveWhite) {
  const struct {
    Variant v;
    int dpi, grey_top, grey_rows, white_rows;
  } rows[] = {
      {Variant::PlainFont, 96, 163, 1, 2},
      {Variant::LcarsFont, 96, 160, 1, 1},
      {Variant::PlainFont, 144, 245, 2, 2},
      {Variant::LcarsFont, 144, 240, 2, 1},
  };
  for (const auto& r : rows) {
    Win32Program p(kApril, r.v);
    if (Win32Toolkit::DpiOf(*p.main) != r.dpi) continue;
    p.Click(p.Child("Command8"));
    HWND about = p.Window(*p.runtime.FormsOf<frmAbout>().at(0));
    RedrawWindow(about, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(about);
    std::string column;
    for (int y = r.grey_top - 1; y <= r.grey_top + r.grey_rows + r.white_rows; ++y) {
      const COLORREF c = GetPixel(dc, r.dpi, y);
      column += c == RGB(128, 128, 128) ? 'g' : c == RGB(255, 255, 255) ? 'w' : '.';
    }
    ReleaseDC(about, dc);
    std::string expected(1, '.');
    expected.append(r.grey_rows, 'g').append(r.white_rows, 'w').push_back('.');
    EXPECT_EQ(column, expected) << (r.v == Variant::PlainFont ? "plain" : "LCARS") << " at "
                                << r.dpi;
  }
}

// The focus starts on Command1, outside the visible area; Tab, then the
// space bar, presses the unseen Command2.
TEST(Win32Countdown, FocusStartsOnTheUnseenCommand1) {
  Win32Program p(kApril);
  EXPECT_EQ(GetFocus(), p.Child("Command1"));
  PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
  p.PumpFor(50);
  EXPECT_EQ(GetFocus(), p.Child("Command2"));
  p.sys.SetClock({2027, 4, 21, 11, 0, 0});
  // A tick in the pump below would write the fields again, with their words.
  (*p.main)["Timer2"].SetEnabled(false);
  SendMessageW(GetFocus(), WM_KEYDOWN, VK_SPACE, 0);
  SendMessageW(GetFocus(), WM_KEYUP, VK_SPACE, 0);
  p.tk.Pump();
  EXPECT_EQ((*p.main)["EndHour"].Caption().find(' '), std::string::npos) << "bare numbers";
}

// Stands in for the window system's move loop: records the title-bar presses
// a window is sent instead of starting a move.
struct DragCatcher {
  explicit DragCatcher(HWND w) : hwnd(w) {
    self = this;
    original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
  }
  ~DragCatcher() {
    if (IsWindow(hwnd)) SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    self = nullptr;
  }
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m != WM_NCLBUTTONDOWN) return CallWindowProcW(self->original, h, m, w, l);
    self->presses.push_back(w);
    self->capture = GetCapture();
    return 0;
  }
  static inline DragCatcher* self = nullptr;
  HWND hwnd;
  WNDPROC original;
  std::vector<WPARAM> presses;
  HWND capture = nullptr;
};

TEST(Win32Countdown, MenuPanelAndLinks) {
  Win32Program p(kApril);
  HWND frame = p.Child("Frame1");
  EXPECT_FALSE(IsWindowVisible(frame)) << "hidden at load";
  p.Click(p.Child("Command3"));
  EXPECT_TRUE(IsWindowVisible(frame));
  p.Click(p.Child("Command3"));
  EXPECT_FALSE(IsWindowVisible(frame));

  const struct {
    const char* name;
    bool label;
    bool hides;
  } rows[] = {
      {"Final", true, true},     {"Label12", true, true},   {"Command5", false, true},
      {"Command6", false, true}, {"Command7", false, true},
  };
  for (const auto& r : rows) {
    p.Click(p.Child("Command3"));
    ASSERT_TRUE(IsWindowVisible(frame));
    if (r.label) {
      p.ClickLabel(p.Child(r.name));
    } else {
      p.Click(p.Child(r.name));
    }
    EXPECT_EQ(!IsWindowVisible(frame), r.hides) << r.name;
  }
  EXPECT_EQ(p.sys.addresses,
            (std::vector<std::string>{std::string(kLinks.author), std::string(kLinks.official),
                                      std::string(kLinks.facebook)}));
  // A press of any button on the title strip starts a move, with the
  // capture released, and hides the panel. The left button's move is Windows'
  // own; another button's is followed until that button is released.
  DragCatcher drags(p.Window(*p.main));
  for (UINT press : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
    p.Click(p.Child("Command3"));
    if (press == WM_RBUTTONDOWN) PostMessageW(p.Window(*p.main), WM_RBUTTONUP, 0, 0);
    if (press == WM_MBUTTONDOWN) PostMessageW(p.Window(*p.main), WM_MBUTTONUP, 0, 0);
    SendMessageW(p.Child("Label2"), press, 0, MAKELPARAM(5, 5));
    p.tk.Pump();
    EXPECT_FALSE(IsWindowVisible(frame));
    EXPECT_EQ(GetCapture(), nullptr) << "the move ended with its button";
  }
  EXPECT_EQ(drags.presses, (std::vector<WPARAM>{HTCAPTION}));
  EXPECT_EQ(drags.capture, nullptr);
  // The background is no handler's.
  p.Click(p.Child("Command3"));
  SendMessageW(p.Window(*p.main), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 130));
  SendMessageW(p.Window(*p.main), WM_LBUTTONUP, 0, MAKELPARAM(200, 130));
  p.tk.Pump();
  EXPECT_TRUE(IsWindowVisible(frame));
}

TEST(Win32Arrival, OnTheDayWithTheCountdownStopped) {
  Win32Program p(kFestival);
  ASSERT_TRUE(p.PumpUntil([&] { return !p.runtime.FormsOf<BWF2D>().empty(); }));
  EXPECT_FALSE((*p.main)["Timer2"].Enabled());
  BWF2D& arrival = *p.runtime.FormsOf<BWF2D>()[0];
  HWND window = p.Window(arrival);
  EXPECT_EQ(WindowText(p.Child(arrival, "Command1")), "Click This.");
  EXPECT_EQ(GetFocus(), p.Child(arrival, "Command1"));
  const std::string sentence = WindowText(p.Child("Final"));
  EXPECT_EQ(sentence, "It is 0 days 15 Hours 55 Minutes  and 53 Seconds ");

  BoxWatcher watcher;
  // Each box moves the clock on a minute and closes once the clock field,
  // behind it, shows that minute.
  int minute = 5, ticked_behind = 0;
  watcher.on_open = [&] { p.sys.SetClock({2027, 6, 22, 9, ++minute, 0}); };
  watcher.close_when = [&] {
    const bool ticked = WindowText(p.Child("CurMin")) == std::to_string(minute);
    ticked_behind += ticked;
    return ticked;
  };
  p.Click(p.Child(arrival, "Command1"));
  p.Click(p.Child(arrival, "Command1"));
  ASSERT_EQ(watcher.seen.size(), 2u);
  EXPECT_EQ(ticked_behind, 2) << "the clock ticks while a box is open";
  for (const auto& box : watcher.seen) {
    EXPECT_EQ(
        box.text,
        "This program will not function anymore, delete it and have a great time at the show.");
    EXPECT_EQ(box.title, "HEY!");
  }
  ASSERT_EQ(p.tk.boxes.size(), 2u);
  EXPECT_EQ(p.tk.boxes[0].style, 48);
  EXPECT_EQ(WindowText(p.Child("Final")), sentence) << "the countdown stays stopped";
  EXPECT_TRUE(IsWindow(window));

  SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(IsWindowVisible(p.Window(*p.main)));
  EXPECT_FALSE(p.tk.quit_requested());
}

TEST(Win32Program, XEndsTheProgramWithEveryWindow) {
  Win32Program p(kFestival);
  ASSERT_TRUE(p.PumpUntil([&] { return !p.runtime.FormsOf<BWF2D>().empty(); }));
  p.Click(p.Child("Command8"));
  p.Click(p.Child("Command8"));
  std::vector<HWND> windows;
  for (Form* f : p.runtime.Forms()) windows.push_back(p.Window(*f));
  ASSERT_EQ(windows.size(), 4u);
  p.Click(p.Child("Command4"));
  for (HWND w : windows) EXPECT_FALSE(IsWindow(w));
  EXPECT_TRUE(p.tk.quit_requested());
  EXPECT_TRUE(p.runtime.Forms().empty());
}

TEST(Win32Program, LastWindowClosedEndsTheLoop) {
  Win32Program p(kApril);
  SendMessageW(p.Window(*p.main), WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.tk.quit_requested());
  EXPECT_FALSE(p.runtime.ended());
}

TEST(Win32Program, UnhandledErrorIsReportedThenTheProgramEnds) {
  Win32Program p(kApril);
  HWND main = p.Window(*p.main);
  (*p.main)["CurMon"].SetCaption("CurMon");  // no number: the next countdown tick fails
  BoxWatcher watcher;
  ASSERT_TRUE(p.PumpUntil([&] { return p.runtime.ended(); }));
  ASSERT_EQ(watcher.seen.size(), 1u);
  EXPECT_EQ(watcher.seen[0].title, "QVLFEST");
  EXPECT_NE(watcher.seen[0].text.find("Type mismatch"), std::string::npos);
  EXPECT_FALSE(IsWindow(main));
  EXPECT_TRUE(p.tk.quit_requested());
}

TEST(Win32About, TextsAndFocus) {
  const struct {
    Variant v;
    const char* version;
    bool red_label;
  } rows[] = {
      {Variant::PlainFont, "Version 2.1.1", true},
      {Variant::LcarsFont, "Version 2.1.0", false},
  };
  for (const auto& r : rows) {
    Win32Program p(kApril, r.v);
    p.Click(p.Child("Command3"));
    p.Click(p.Child("Command8"));
    EXPECT_FALSE(IsWindowVisible(p.Child("Frame1")));
    frmAbout& about = *p.runtime.FormsOf<frmAbout>().at(0);
    HWND box = p.Window(about);
    EXPECT_EQ(WindowText(box), "About QVLFEST");
    EXPECT_EQ(WindowText(p.Child(about, "lblTitle")), "QVLFEST");
    EXPECT_EQ(WindowText(p.Child(about, "lblVersion")), r.version);
    EXPECT_EQ(p.Child(about, "Label4") != nullptr, r.red_label);
    EXPECT_EQ(GetFocus(), p.Child(about, "cmdOK"));
    EXPECT_TRUE(GetWindowLongPtrW(p.Child(about, "cmdOK"), GWL_STYLE) & BS_DEFPUSHBUTTON);
    // "DISCLAIMER:" stands in front of the disclaimer's leading blanks.
    RECT label3 = PlacedRect(p.Child(about, "Label3"));
    const POINT inside{label3.left + 2, label3.top + 2};
    EXPECT_EQ(ChildWindowFromPointEx(box, inside, CWP_SKIPINVISIBLE), p.Child(about, "Label3"));

    EXPECT_TRUE(IsWindow(p.Window(*p.main)));
  }
}

TEST(Win32About, TwoBoxesCloseIndependently) {
  Win32Program p(kApril);
  p.Click(p.Child("Command8"));
  p.Click(p.Child("Command8"));
  auto boxes = p.runtime.FormsOf<frmAbout>();
  ASSERT_EQ(boxes.size(), 2u);
  HWND second = p.Window(*boxes[1]);
  p.Click(p.Child(*boxes[0], "cmdOK"));
  EXPECT_TRUE(IsWindow(second));
  EXPECT_EQ(p.runtime.FormsOf<frmAbout>().size(), 1u);
}

}  // namespace
}  // namespace qvl::test
