// The contract on the Qt toolkit, in this process on a real X server with a
// window manager (x11.sh): input through the X server (XTest), as a user's
// would come, and what the windows show read back from Qt's widgets, its
// accessibility and the screen.
#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "app/qt/form_widget.h"
#include "app/qt/qt_system.h"
#include "app/qt/qt_toolkit.h"
#include "contract/contract_test.h"
#include "contract/forms.h"

// Last: Xlib's macros would break the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace qvl::contract {
namespace {

Display* X() {
  return qApp->nativeInterface<QNativeInterface::QX11Application>()->display();
}

unsigned XButton(MouseButton b) {
  return b == MouseButton::Right ? 3 : b == MouseButton::Middle ? 2 : 1;
}

QPoint Middle(const QWidget* w) {
  return w->mapToGlobal(w->rect().center());
}

class QtDriver : public Driver {
 public:
  void Run(Runner& runner) {
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
      if (!runner.Next() && !finished_) {
        finished_ = true;
        Finish();
      }
    });
    timer.start(10);
    QApplication::exec();
  }

  void Start(int box_style) override {
    runtime_ = std::make_unique<Runtime>(tk_, sys_, kLcarsFontFacts);
    Form& board = runtime_->NewForm<Board>(box_style);
    runtime_->Show(board);
    // A user starts once the window is there: mapped, placed by the window
    // manager and active (asked again, where a window manager that has only
    // just started let the first request pass).
    QWidget* window = QtToolkit::WindowOf(board);
    QElapsedTimer waited;
    waited.start();
    for (int asked = 0; waited.elapsed() < 5000 && (QApplication::activeWindow() != window ||
                                                    !window->windowHandle()->isExposed());) {
      QApplication::processEvents(QEventLoop::AllEvents, 20);
      if (waited.elapsed() > 500 * (asked + 1)) {
        ++asked;
        window->activateWindow();
      }
    }
    first_ = window->geometry().topLeft();
  }
  void Finish() override {
    if (runtime_) runtime_->End();
    QCoreApplication::exit(0);
  }

  void Click(const Target& t) override { ClickAt(Middle(Widget(t))); }
  void ClickBoxButton(int n) override {
    const std::vector<QPushButton*> buttons = BoxButtons();
    if (n < static_cast<int>(buttons.size())) ClickAt(Middle(buttons[n]));
  }
  // A hand holds a press a moment before it moves: long enough for the
  // program to have handed a move to the window manager.
  void Press(const Target& t, MouseButton button) override {
    MoveTo(Middle(Widget(t)));
    XTestFakeButtonEvent(X(), XButton(button), True, CurrentTime);
    XSync(X(), False);
    QElapsedTimer held;
    held.start();
    while (held.elapsed() < 150) QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  void Release(MouseButton button) override {
    XTestFakeButtonEvent(X(), XButton(button), False, CurrentTime);
    XFlush(X());
  }
  void Move(int dx, int dy) override { MoveTo(pointer_ + QPoint(dx, dy)); }
  void Key(const Chord& chord) override {
    const auto& [alt, shift, key] = chord;
    const KeySym sym = key == "Tab"      ? XK_Tab
                       : key == "Enter"  ? XK_Return
                       : key == "Escape" ? XK_Escape
                                         : static_cast<KeySym>(key[0]);
    const KeyCode held = XKeysymToKeycode(X(), alt ? XK_Alt_L : XK_Shift_L);
    const KeyCode code = XKeysymToKeycode(X(), sym);
    if (alt || shift) XTestFakeKeyEvent(X(), held, True, CurrentTime);
    XTestFakeKeyEvent(X(), code, True, CurrentTime);
    XTestFakeKeyEvent(X(), code, False, CurrentTime);
    if (alt || shift) XTestFakeKeyEvent(X(), held, False, CurrentTime);
    XFlush(X());
  }

  std::string Focus() override {
    QWidget* focus = QApplication::focusWidget();
    if (focus && qobject_cast<QMessageBox*>(focus->window())) return "box";
    for (Form* f : runtime_->Forms())
      for (const Control& c : f->controls())
        if (focus && QtToolkit::ControlWidget(*f, c.index()) == focus)
          return std::string(f->spec().name) + "." + std::string(c.name());
    return focus ? "a widget of no form" : "";
  }
  std::string Text(const Target& t) override {
    QWidget* w = Widget(t);
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text().toStdString();
    if (auto* button = qobject_cast<QPushButton*>(w)) return button->text().toStdString();
    return {};
  }
  std::optional<SeenBox> Box() override {
    QMessageBox* box = OpenBox();
    if (!box) return std::nullopt;
    SeenBox seen{box->windowTitle().toStdString(), {}, -1};
    const std::vector<QPushButton*> buttons = BoxButtons();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
      seen.buttons.push_back(buttons[i]->text().toStdString());
      if (buttons[i]->hasFocus()) seen.focus = static_cast<int>(i);
    }
    return seen;
  }
  std::vector<std::string> Windows() override {
    std::vector<std::string> out;
    for (Form* f : runtime_->Forms()) {
      QWidget* w = QtToolkit::WindowOf(*f);
      if (!w || !w->isVisible()) continue;
      out.insert(w->isActiveWindow() ? out.begin() : out.end(), std::string(f->spec().name));
    }
    return out;
  }
  PixelPoint Moved(const std::string& form) override {
    const QPoint at = QtToolkit::WindowOf(FormNamed(*runtime_, form))->geometry().topLeft();
    return {at.x() - first_.x(), at.y() - first_.y()};
  }
  int Told(const Target& t) override {
    Form& f = FormNamed(*runtime_, t.form);
    return tk_.Told(f, f.IndexOf(t.control));
  }
  std::string Name(const Target& t) override {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(Widget(t));
    return a ? a->text(QAccessible::Name).toStdString() : "(no accessible object)";
  }
  bool Ink(const std::string& form, const PixelRect& twips, unsigned rgb) override {
    QWidget* w = QtToolkit::WindowOf(FormNamed(*runtime_, form));
    const QImage shot = w->screen()->grabWindow(w->winId()).toImage();
    const double scale = shot.width() / static_cast<double>(w->width());
    for (int y = TwipsToPixels(twips.top, 96); y < TwipsToPixels(twips.bottom, 96); ++y)
      for (int x = TwipsToPixels(twips.left, 96); x < TwipsToPixels(twips.right, 96); ++x)
        if ((shot.pixel(static_cast<int>(x * scale), static_cast<int>(y * scale)) & 0xFFFFFF) !=
            rgb)
          return false;
    return true;
  }
  long long Ms() override { return clock_.elapsed(); }

 private:
  QWidget* Widget(const Target& t) {
    Form& f = FormNamed(*runtime_, t.form);
    return QtToolkit::ControlWidget(f, f.IndexOf(t.control));
  }
  static QMessageBox* OpenBox() {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) return box;
    return nullptr;
  }
  // The box's buttons from left to right.
  static std::vector<QPushButton*> BoxButtons() {
    std::vector<QPushButton*> buttons;
    if (QMessageBox* box = OpenBox())
      for (QPushButton* b : box->findChildren<QPushButton*>())
        if (b->isVisible()) buttons.push_back(b);
    std::sort(buttons.begin(), buttons.end(),
              [](QPushButton* a, QPushButton* b) { return Middle(a).x() < Middle(b).x(); });
    return buttons;
  }
  void MoveTo(QPoint at) {
    pointer_ = at;
    XTestFakeMotionEvent(X(), -1, at.x(), at.y(), CurrentTime);
    XFlush(X());
  }
  // A click lasts a moment, as a hand's does: a window manager that takes
  // the press first (to raise the window) loses the release of a click
  // that takes no time at all.
  void ClickAt(QPoint at) {
    MoveTo(at);
    XTestFakeButtonEvent(X(), 1, True, CurrentTime);
    XTestFakeButtonEvent(X(), 1, False, 30);
    XFlush(X());
  }

  bool finished_ = false;
  QtSystem sys_;  // the real clock, as the ticks read it
  Counting<QtToolkit> tk_;
  std::unique_ptr<Runtime> runtime_;
  QPoint first_, pointer_;
  QElapsedTimer clock_ = [] {
    QElapsedTimer t;
    t.start();
    return t;
  }();
};

QVL_CONTRACT_SUITE(Qt, QtDriver);

}  // namespace
}  // namespace qvl::contract

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  qvl::InstallAccessibility();
  return RUN_ALL_TESTS();
}
