// The Qt forms in-process: geometry against the literal tables, pixels of a
// grab, what Qt's accessibility reports, and ticks during a message box.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <cmath>

#include "about/frm_about.h"
#include "app/geometry.h"
#include "app/headless/recording_system.h"
#include "app/qt/form_widget.h"
#include "app/qt/icons.h"
#include "app/qt/qt_canvas.h"
#include "app/qt/qt_toolkit.h"
#include "arrival/bwf2d.h"
#include "countdown/main_form.h"
#include "layout_expected.h"

namespace qvl::test {
namespace {

constexpr LocalTime kApril{2027, 4, 21, 10, 20, 30};
constexpr LocalTime kFestival{2027, 6, 22, 9, 5, 7};

// Runs the event loop until `done` or `ms` have passed.
bool PumpUntil(const std::function<bool()>& done, int ms = 2000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > ms) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(5);
  }
  return true;
}

struct QtProgram {
  explicit QtProgram(LocalTime start, Variant v = Variant::LcarsFont)
      : runtime(tk, sys, FactsOf(v)) {
    sys.SetClock(start);
    main = &runtime.NewForm<Main>();
    runtime.Show(*main);
    PumpUntil([&] { return (*main)["Final"].Caption() != "Label2"; });
  }
  QWidget* Child(Form& f, std::string_view name) {
    return QtToolkit::ControlWidget(f, f.IndexOf(name));
  }
  Form& About() {
    static_cast<QPushButton*>(Child(*main, "Command8"))->click();
    QApplication::processEvents();
    return *runtime.FormsOf<frmAbout>().at(0);
  }
  RecordingSystem sys;
  QtToolkit tk;
  Runtime runtime;
  Main* main;
};

double Scale() {
  return qApp->devicePixelRatio();
}

// Logical rectangles are the 96 DPI table; at 1.5 the device pixels come
// within a pixel of the 144 DPI table (Qt places widgets on whole logical
// pixels).
void CheckLayout(Form& form, Variant v) {
  QWidget* window = QtToolkit::WindowOf(form);
  const int dpi = Scale() > 1 ? 144 : 96;
  for (const ExpectedLayout& l : ExpectedLayouts()) {
    if (l.form != form.spec().name || !Applies(l, v) || (l.dpi != 96 && l.dpi != dpi)) continue;
    SCOPED_TRACE(std::string(l.form) + " against " + std::to_string(l.dpi));
    const double f = l.dpi == 96 ? 1 : Scale();
    const int tolerance = l.dpi == 96 ? 0 : 1;
    auto near = [&](int got, int want) {
      return std::abs(int(std::lround(got * f)) - want) <= tolerance;
    };
    EXPECT_TRUE(near(window->width(), l.client_width) && near(window->height(), l.client_height));
    for (const Placed& p : l.controls) {
      const QRect r = QtToolkit::ControlWidget(form, form.IndexOf(p.name))->geometry();
      EXPECT_TRUE(near(r.left(), p.rect.left) && near(r.top(), p.rect.top) &&
                  near(r.right() + 1, p.rect.right) && near(r.bottom() + 1, p.rect.bottom))
          << p.name << " at " << r.left() << "," << r.top() << " " << r.width() << "x"
          << r.height();
    }
  }
}

TEST(QtLayout, EveryFormInBothBuilds) {
  for (Variant v : {Variant::PlainFont, Variant::LcarsFont}) {
    QtProgram p(kFestival, v);
    ASSERT_FALSE(p.runtime.FormsOf<BWF2D>().empty());
    CheckLayout(*p.main, v);
    CheckLayout(*p.runtime.FormsOf<BWF2D>()[0], v);
    Form& about = p.About();
    CheckLayout(about, v);
    // Buttons stand in front of the title strip; "DISCLAIMER:" in front of
    // the disclaimer it shares a line with.
    QWidget* main = QtToolkit::WindowOf(*p.main);
    EXPECT_EQ(main->childAt(210, 10), p.Child(*p.main, "Command3"));
    EXPECT_EQ(main->childAt(245, 10), p.Child(*p.main, "Command4"));
    const QPoint disclaimer = p.Child(about, "Label3")->geometry().topLeft() + QPoint(2, 2);
    EXPECT_EQ(QtToolkit::WindowOf(about)->childAt(disclaimer), p.Child(about, "Label3"));
  }
}

// The pixel of a grab at the middle of a logical pixel.
QRgb At(const QImage& image, int x, int y) {
  return image.pixel(int((x + 0.5) * Scale()), int((y + 0.5) * Scale())) & 0xFFFFFF;
}
QRgb Rgb(const QColor& c) {
  return c.rgb() & 0xFFFFFF;
}

// The window border's colour is the desktop palette's midlight, an active
// title's its highlight.
TEST(QtPaint, OutlineRuleAndTransparentSentence) {
  QtProgram p(kApril);
  const QImage image = QtToolkit::WindowOf(*p.main)->grab().toImage();
  const QPalette palette = QGuiApplication::palette();
  const QRgb border = Rgb(palette.color(QPalette::Midlight));
  EXPECT_EQ(At(image, 1, 70), border) << "outline, left edge";
  EXPECT_EQ(At(image, 128, 143), border) << "outline, bottom edge";
  EXPECT_EQ(At(image, 66, 20), border) << "rule under the title strip";
  EXPECT_EQ(At(image, 180, 8), Rgb(palette.color(QPalette::Active, QPalette::Highlight)))
      << "title strip";
  EXPECT_EQ(At(image, 250, 95), 0u) << "black behind the sentence";
  int periwinkle = 0;
  for (int y = 24; y < 105; ++y)
    for (int x = 8; x < 250; ++x) periwinkle += At(image, x, y) == 0x8080FFu;
  EXPECT_GT(periwinkle, 200) << "the sentence is drawn";
}

TEST(QtPaint, EtchedRuleShowsGreyAboveWhite) {
  for (Variant v : {Variant::PlainFont, Variant::LcarsFont}) {
    QtProgram p(kApril, v);
    const QImage image = QtToolkit::WindowOf(p.About())->grab().toImage();
    std::string column;
    const int top = int(155 * Scale()), x = int(100 * Scale());
    for (int y = top; y < int(170 * Scale()); ++y) {
      const QColor c = image.pixelColor(x, y);
      const char mark = c == QColor(128, 128, 128) ? 'g' : c == QColor(Qt::white) ? 'w' : '.';
      if (column.empty() || column.back() != mark) column += mark;
    }
    EXPECT_EQ(column, ".gw.") << (v == Variant::PlainFont ? "plain" : "LCARS");
  }
}

// Screen readers hear labels as static text named by their text, and
// buttons by their captions without the access-key mark.
TEST(QtAccessibility, LabelsAndButtonsAreNamed) {
  QtProgram p(kApril);
  Form& about = p.About();
  const struct {
    Form* form;
    const char* control;
    QAccessible::Role role;
    QString name;
  } rows[] = {
      {p.main, "Label2", QAccessible::StaticText, "  Time until Quorvell Fest"},
      {p.main, "Final", QAccessible::StaticText,
       "It is 62 days 14 Hours 40 Minutes  and 30 Seconds "},
      {p.main, "Command3", QAccessible::Button, "Menu"},
      {p.main, "Command4", QAccessible::Button, "X"},
      {&about, "cmdSysInfo", QAccessible::Button, "System Info..."},
      {&about, "lblVersion", QAccessible::StaticText, "Version 2.1.0"},
  };
  for (const auto& r : rows) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(p.Child(*r.form, r.control));
    ASSERT_NE(a, nullptr) << r.control;
    EXPECT_EQ(a->role(), r.role) << r.control;
    EXPECT_EQ(a->text(QAccessible::Name), r.name) << r.control;
  }
}

// Every label that can be seen keeps all the ink of its text inside its
// rectangle, drawn as the form draws it but with nothing cut off: every form,
// both builds, the widest sentence of a year included. (Run with the
// Liberation faces, and again with DejaVu alone, where every face is a
// stand-in sized by what it measures.)
TEST(QtFonts, LabelsKeepTheirInkUnclipped) {
  const double dpr = Scale();
  for (Variant v : {Variant::PlainFont, Variant::LcarsFont}) {
    QtProgram p(kFestival, v);
    (*p.main)["Final"].SetCaption("It is 356 days 24 Hours 60 Minutes  and 60 Seconds ");
    for (Form* form : {static_cast<Form*>(p.main),
                       static_cast<Form*>(p.runtime.FormsOf<BWF2D>().at(0)), &p.About()}) {
      std::vector<Primitive> plan;
      BuildPlan(*form, 96, ClientRect(form->spec(), 96), plan);
      QtFonts fonts;
      for (Primitive t : plan) {
        if (t.kind != Primitive::Kind::Text) continue;
        constexpr int kMargin = 100;
        const PixelRect& b = t.box;
        QImage ink(QSize(b.width() + 2 * kMargin, b.height() + 2 * kMargin) * dpr,
                   QImage::Format_ARGB32);
        ink.setDevicePixelRatio(dpr);
        ink.fill(Qt::transparent);
        {
          QPainter painter(&ink);
          painter.translate(kMargin - b.left, kMargin - b.top);
          QtCanvas canvas(painter, fonts);
          t.flags |= kNoClip;
          canvas.Draw(t);
        }
        const int left = int(std::floor(kMargin * dpr)), top = left;
        const int right = int(std::ceil((kMargin + b.width()) * dpr));
        const int bottom = int(std::ceil((kMargin + b.height()) * dpr));
        int outside = 0, inside = 0;
        for (int y = 0; y < ink.height(); ++y)
          for (int x = 0; x < ink.width(); ++x) {
            if (qAlpha(ink.pixel(x, y)) == 0) continue;
            (x < left || x >= right || y < top || y >= bottom ? outside : inside) += 1;
          }
        EXPECT_GT(inside, 0) << std::string(t.text);
        EXPECT_EQ(outside, 0) << form->spec().name << ": '" << std::string(t.text) << "' in "
                              << t.font.face << (v == Variant::PlainFont ? ", plain" : ", LCARS");
      }
    }
  }
}

// Escape and Enter close a freshly opened about box, as in a dialog box;
// with "System Info..." focused, Enter presses it and the box stays.
// The window icon carries the .ico's images and the larger ones of the icon
// theme, each the drawing scaled up by a whole factor.
TEST(QtIcons, ProgramIconHasItsImages) {
  const QIcon icon = ProgramIcon();
  for (int size : {16, 32, 48, 256})
    EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
  const QImage small = icon.pixmap(QSize(32, 32), 1.0).toImage();
  const QImage large = icon.pixmap(QSize(256, 256), 1.0).toImage();
  ASSERT_EQ(large.size(), QSize(256, 256));
  int differ = 0;
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) differ += large.pixel(x, y) != small.pixel(x / 8, y / 8);
  EXPECT_EQ(differ, 0) << "each dot of the 32-pixel image an 8-pixel square";
}

// The arrival box is modal, and the countdown window's timers tick on. With
// nothing to do they wait for the clock's next second: the test's clock
// stands still, so that is a second from when they last ran.
TEST(QtMessageBox, TimersTickWhileItIsOpen) {
  QtProgram p(kFestival);
  BWF2D& arrival = *p.runtime.FormsOf<BWF2D>().at(0);
  QString text, title;
  QTimer::singleShot(50, [&] { p.sys.SetClock({2027, 6, 22, 9, 6, 0}); });
  QTimer::singleShot(1500, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    text = box->text();
    title = box->windowTitle();
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    box->accept();
  });
  static_cast<QPushButton*>(p.Child(arrival, "Command1"))->click();
  EXPECT_EQ(text,
            "This program will not function anymore, delete it and have a great time at the show.");
  EXPECT_EQ(title, "HEY!");
  EXPECT_EQ((*p.main)["CurMin"].Caption(), "6") << "the clock ticked while the box was open";
}

}  // namespace
}  // namespace qvl::test

int main(int argc, char** argv) {
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) {
    if (!m.contains("does not support raise")) fprintf(stderr, "%s\n", qPrintable(m));
  });
  QApplication app(argc, argv);
  qvl::InstallAccessibility();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
