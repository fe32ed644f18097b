#include "app/qt/form_widget.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QShortcutEvent>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include "app/geometry.h"
#include "app/qt/qstring.h"
#include "app/qt/wayland_compositor.h"
#include "app/stacking.h"

namespace qvl {

namespace {

// Logical pixels: 15 twips each; Qt applies the screen's scale on top.
constexpr int kDpi = 96;
constexpr char kOffscreen[] = "qvlOffscreen";

QRect QRectOf(const PixelRect& r) {
  return QRect(r.left, r.top, r.width(), r.height());
}

PixelPoint PointOf(const QPoint& p) {
  return {p.x(), p.y()};
}

bool OnWayland() {
  return QGuiApplication::platformName() == "wayland";
}

// A fixed dialog draws its own title bar (caption, icon and a close button)
// on a Wayland compositor that draws none: Qt's own offers maximise and
// minimise whatever the window's size, and maximise moved a fixed box into
// the screen's corner.
constexpr int kTitleBarHeight = 30;
int TitleBarOf(const FormSpec& spec) {
  const bool drawn =
      spec.border == BorderStyle::FixedDialog && OnWayland() && !Compositor().decorates;
  return drawn ? kTitleBarHeight : 0;
}

Qt::WindowFlags FlagsOf(const FormSpec& spec) {
  if (spec.border == BorderStyle::None || TitleBarOf(spec) > 0)
    return Qt::Window | Qt::FramelessWindowHint;
  return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
}

HeldButtons HeldOf(Qt::MouseButtons b) {
  return {b.testFlag(Qt::LeftButton), b.testFlag(Qt::RightButton), b.testFlag(Qt::MiddleButton)};
}

MouseButton ButtonOf(Qt::MouseButton b) {
  return b == Qt::RightButton    ? MouseButton::Right
         : b == Qt::MiddleButton ? MouseButton::Middle
                                 : MouseButton::Left;
}

// A fixed dialog tells an X11 window manager that it is a dialog
// (_NET_WM_WINDOW_TYPE_DIALOG), without becoming transient for another
// window as a Qt::Dialog would: it is an ordinary window with no owner. Its
// flags already ask for no minimise and no maximise button (Motif hints) and
// its size is fixed. Qt's X11 platform reads the type from a property of the
// native window when the window's flags are applied.
void MarkAsDialog(QWidget* w) {
  if (QGuiApplication::platformName() != "xcb") return;
  w->winId();
  QWindow* window = w->windowHandle();
  constexpr int kXcbDialog = 0x80;
  window->setProperty("_q_xcb_wm_window_type", kXcbDialog);
  const Qt::WindowFlags flags = window->flags();
  window->setFlags(flags | Qt::WindowContextHelpButtonHint);
  window->setFlags(flags);
}

// A control wholly outside the visible area is off screen to screen readers.
// Marked before its text is set, which makes Qt's accessibility look at it.
void MarkIfOffscreen(QWidget* w, const Form& form, int control) {
  if (Offstage(form.spec(), form.spec().controls[control])) w->setProperty(kOffscreen, true);
}

Runtime* RuntimeOf(const FormWidget& w) {
  return w.form() ? &w.form()->runtime() : nullptr;
}

}  // namespace

FormWidget::FormWidget(Form& form)
    : QWidget(nullptr, FlagsOf(form.spec())), form_(&form), title_bar_(TitleBarOf(form.spec())) {
  const FormSpec& spec = form.spec();
  setAttribute(Qt::WA_OpaquePaintEvent);  // the plan paints every pixel
  setWindowTitle(ToQString(form.Caption()));
  const PixelRect client = ClientRect(spec, kDpi);
  // Equal least and greatest sizes: the window system offers no resizing
  // and no maximise.
  setFixedSize(client.width(), client.height() + title_bar_);
  // The client area's corner, not the frame's: where the window system
  // allows a window to place itself.
  if (const auto at = ClientCorner(spec, kDpi))
    setGeometry(at->x, at->y, client.width(), client.height() + title_bar_);
  if (spec.border == BorderStyle::FixedDialog) MarkAsDialog(this);
  if (title_bar_ > 0) {
    close_ = new QToolButton(this);
    close_->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close_->setAutoRaise(true);
    close_->setFocusPolicy(Qt::NoFocus);  // not one of the form's controls
    close_->setAccessibleName(QStringLiteral("Close"));
    close_->setGeometry(width() - title_bar_, 2, title_bar_ - 4, title_bar_ - 4);
    QObject::connect(close_, &QToolButton::clicked, this, &QWidget::close);
  }
  children_.assign(form.controls().size(), nullptr);
  CreateChildren(this, {});
}

// Created front first, which makes the focus chain the tab order; Qt stacks
// a later sibling above an earlier one, so the stacking is set afterwards.
void FormWidget::CreateChildren(QWidget* parent, std::string_view container) {
  const std::vector<int> order = StackingOrder(form_->spec(), container);
  for (int i : order) {
    const Control& c = form_->controls()[i];
    const ControlSpec& s = c.spec();
    QWidget* w = nullptr;
    switch (s.kind) {
      case ControlKind::Label:
        w = new LabelWidget(*this, i, parent);
        break;
      case ControlKind::CommandButton:
        w = new ButtonWidget(*this, i, parent);
        break;
      case ControlKind::Frame:
      case ControlKind::PictureBox:
        w = new ChromeWidget(*this, s, parent);
        break;
      default:
        continue;
    }
    w->setGeometry(QRectOf(Bounds(s, kDpi)).translated(0, parent == this ? title_bar_ : 0));
    if (!c.Visible()) w->hide();
    children_[i] = w;
    if (s.kind == ControlKind::Frame) CreateChildren(w, s.name);
  }
  for (auto it = order.rbegin(); it != order.rend(); ++it)
    if (children_[*it]) children_[*it]->raise();
}

void FormWidget::SetControlText(int control, std::string_view text) {
  QWidget* w = children_[control];
  if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setText(ToQString(text));  // repaints the form beneath it, where it can be seen
  } else if (auto* button = qobject_cast<QPushButton*>(w)) {
    button->setText(ToQString(text));
  }
}

void FormWidget::SetControlVisible(int control, bool visible) {
  if (QWidget* w = children_[control]) {
    w->setVisible(visible);
  } else {  // a line or shape: the labels it meets paint nothing of their own
    update(QRectOf(RepaintArea(form_->spec().controls[control], kDpi)).translated(0, title_bar_));
  }
}

void FormWidget::ShowDefault(int control) {
  for (int button : {looks_default_, control})
    if (auto* b = button >= 0 ? qobject_cast<QPushButton*>(children_[button]) : nullptr)
      b->setDefault(button == control);
  looks_default_ = control;
}

// A window whose timers run shows at their first tick, which writes its
// captions before anything is drawn or read out: neither the screen nor a
// screen reader ever meets the design-time text a tick replaces at once
// ("Label2" where the countdown sentence goes). Shown before the tick's
// handlers run, so that a window a handler opens stands in front of it.
void FormWidget::Show(bool first) {
  if (first && !tickers_.empty()) {
    winId();  // made now, while the program bears the name X11's window class comes from (main.cpp)
    show_at_tick_ = true;
    return;
  }
  ShowNow();
}

void FormWidget::ShowNow() {
  show_at_tick_ = false;
  show();
  raise();
  activateWindow();
}

// A first tick held back comes on time, not early as a coarse timer may:
// the runtime holds a ticker until the clock's next second.
void FormWidget::StartTicker(int interval_ms, int first_ms) {
  auto* timer = new QTimer(this);
  timer->setTimerType(first_ms != interval_ms ? Qt::PreciseTimer : Qt::CoarseTimer);
  timer->setInterval(first_ms);
  QObject::connect(timer, &QTimer::timeout, this, [this, timer, interval_ms] {
    if (timer->interval() != interval_ms) {
      timer->setTimerType(Qt::CoarseTimer);
      timer->setInterval(interval_ms);
    }
    if (show_at_tick_) ShowNow();
    if (form_) form_->runtime().Tick(*form_, interval_ms);
  });
  timer->start();
  tickers_[interval_ms] = timer;
}

void FormWidget::StopTicker(int interval_ms) {
  const auto it = tickers_.find(interval_ms);
  if (it == tickers_.end()) return;
  it->second->stop();
  it->second->deleteLater();  // it may be the one whose tick runs now
  tickers_.erase(it);
  if (tickers_.empty() && show_at_tick_ && form_) ShowNow();
}

void FormWidget::Detach() {
  while (!tickers_.empty()) StopTicker(tickers_.begin()->first);
  form_ = nullptr;
}

// The window system moves the window where it ends the move at the release
// of the button that began it. On X11 Qt asks window managers for a move by
// the left button, so a move by another button is followed here. On Wayland
// no client may move its own window: a move by another button is handed to
// the compositor where it ends one at any button's release, and on GNOME,
// which does not, the window stays where it is.
void FormWidget::BeginDrag(MouseButton button) {
  const bool wayland = OnWayland();
  const bool system = button == MouseButton::Left || (wayland && Compositor().ends_any_move);
  if (system && windowHandle() && windowHandle()->startSystemMove()) return;
  if (!wayland) drag_.Begin(button, PointOf(QCursor::pos()), PointOf(pos()));
}

void FormWidget::DragTo(const QPoint& global, Qt::MouseButtons held) {
  if (const auto to = drag_.Follow(PointOf(global), HeldOf(held))) move(to->x, to->y);
}

void FormWidget::paintEvent(QPaintEvent* event) {
  if (!form_) return;
  QPainter painter(this);
  if (title_bar_ > 0) PaintTitleBar(painter);
  painter.translate(0, title_bar_);
  const QRect r = event->rect().translated(0, -title_bar_) & rect();
  BuildPlan(*form_, kDpi, {r.left(), r.top(), r.right() + 1, r.bottom() + 1}, plan_);
  QtCanvas canvas(painter, fonts_);
  canvas.Draw(plan_);
}

// The window system's colours: the icon at the left, the caption in bold
// across the middle, the close button at the right, a line beneath.
void FormWidget::PaintTitleBar(QPainter& painter) {
  const QRect bar(0, 0, width(), title_bar_);
  painter.fillRect(bar, palette().color(QPalette::Window));
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawLine(bar.bottomLeft(), bar.bottomRight());
  constexpr int kIcon = 16, kMargin = 8;
  const int icon_top = (title_bar_ - kIcon) / 2;
  windowIcon().paint(&painter, kMargin, icon_top, kIcon, kIcon);
  QFont font = painter.font();
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(palette().color(QPalette::WindowText));
  const QRect caption = bar.adjusted(2 * kMargin + kIcon, 0, -title_bar_, 0);
  painter.drawText(
      caption, Qt::AlignCenter | Qt::TextSingleLine,
      painter.fontMetrics().elidedText(windowTitle(), Qt::ElideRight, caption.width()));
}

// A press on the drawn title bar moves the window, as the window system's
// own title bar does.
void FormWidget::mousePressEvent(QMouseEvent* event) {
  if (event->position().y() < title_bar_ && event->button() == Qt::LeftButton && windowHandle()) {
    windowHandle()->startSystemMove();
    return;
  }
  QWidget::mousePressEvent(event);
}

void FormWidget::closeEvent(QCloseEvent* event) {
  event->accept();
  if (form_) form_->runtime().WindowClosed(*form_);
}

void FormWidget::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (form_ && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape)) {
    form_->runtime().KeyDown(*form_, key == Qt::Key_Escape ? Key::Escape : Key::Enter);
    return;
  }
  if (form_ && CharacterKey(*form_, *event)) return;
  QWidget::keyPressEvent(event);
}

// Tab and Shift+Tab, from whichever child has the focus: the form's tab
// order, not the order Qt made the widgets in.
bool FormWidget::focusNextPrevChild(bool next) {
  if (form_) form_->runtime().TabDown(*form_, !next);
  return true;
}

void FormWidget::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && form_)
    form_->runtime().Activated(*form_);
  if (event->type() == QEvent::WindowTitleChange && title_bar_ > 0)
    update(0, 0, width(), title_bar_);
  QWidget::changeEvent(event);
}

LabelWidget::LabelWidget(FormWidget& form, int control, QWidget* parent)
    : QLabel(parent), form_(form), control_(control) {
  MarkIfOffscreen(this, *form.form(), control);
  setTextFormat(Qt::PlainText);
  setText(ToQString(form.form()->controls()[control].Caption()));
}

QString LabelWidget::Caption() const {
  if (const Form* form = form_.form()) return ToQString(form->controls()[control_].Caption());
  return text();
}

void LabelWidget::mousePressEvent(QMouseEvent* event) {
  if (Runtime* rt = RuntimeOf(form_))
    rt->MouseDown(*form_.form(), control_, ButtonOf(event->button()));
}

void LabelWidget::mouseMoveEvent(QMouseEvent* event) {
  form_.DragTo(event->globalPosition().toPoint(), event->buttons());
}

void LabelWidget::mouseReleaseEvent(QMouseEvent* event) {
  const MouseButton button = ButtonOf(event->button());
  form_.EndDrag(button);
  if (Runtime* rt = RuntimeOf(form_))
    rt->MouseUp(*form_.form(), control_, button, rect().contains(event->pos()));
}

// Alt and a letter reaches the runtime either as a key press or, where a
// button's caption names that letter, as Qt's shortcut for it: the runtime's
// rules decide what it presses, either way.
namespace {
// The key's own character, whatever Alt or the layout makes of its text.
char CharacterOf(int key, const QString& text = {}) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<char>('a' + (key - Qt::Key_A));
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<char>('0' + (key - Qt::Key_0));
  if (text.size() == 1 && text[0].unicode() > 32 && text[0].unicode() < 127)
    return static_cast<char>(text[0].unicode());
  return 0;
}
}  // namespace

bool CharacterKey(Form& form, const QKeyEvent& event) {
  const char c = CharacterOf(event.key(), event.text());
  return c && form.runtime().CharacterDown(form, c, event.modifiers() & Qt::AltModifier);
}

ButtonWidget::ButtonWidget(FormWidget& form, int control, QWidget* parent)
    : QPushButton(parent), form_(form), control_(control) {
  MarkIfOffscreen(this, *form.form(), control);
  setText(ToQString(form.form()->controls()[control].Caption()));
  const Font& font = form.form()->spec().controls[control].font;
  setFont(form.fonts().Get(font, FontPixelHeight(font.centipoints, kDpi)));
  setAutoDefault(false);
  QObject::connect(this, &QPushButton::clicked, this, [this] {
    if (Runtime* rt = RuntimeOf(form_)) rt->ButtonClicked(*form_.form(), control_);
  });
}

bool ButtonWidget::event(QEvent* event) {
  if (event->type() != QEvent::Shortcut) return QPushButton::event(event);
  const QKeySequence keys = static_cast<QShortcutEvent*>(event)->key();
  const char c = keys.isEmpty() ? 0 : CharacterOf(keys[0].key());
  if (Runtime* rt = RuntimeOf(form_); rt && c) rt->CharacterDown(*form_.form(), c, true);
  return true;
}

void ButtonWidget::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
    event->ignore();  // on to the form
    return;
  }
  QPushButton::keyPressEvent(event);
}

void ButtonWidget::focusInEvent(QFocusEvent* event) {
  QPushButton::focusInEvent(event);
  if (Runtime* rt = RuntimeOf(form_)) rt->FocusIn(*form_.form(), control_);
}

ChromeWidget::ChromeWidget(FormWidget& form, const ControlSpec& spec, QWidget* parent)
    : QWidget(parent), form_(form), spec_(spec) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChromeWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  BuildChromePlan(spec_, kDpi, plan_);
  QtCanvas canvas(painter, form_.fonts());
  canvas.Draw(plan_);
}

namespace {

// Qt's own account of a label or button, but off screen.
class OffscreenAccessible : public QAccessibleWidget {
 public:
  OffscreenAccessible(QWidget* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.offscreen = true;
    return s;
  }
  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name) return QAccessibleWidget::text(t);
    if (auto* label = dynamic_cast<LabelWidget*>(widget())) return label->Caption();
    if (auto* button = qobject_cast<QAbstractButton*>(widget()))
      return QString(button->text()).remove(QLatin1Char('&'));
    return QAccessibleWidget::text(t);
  }
  QStringList actionNames() const override {
    if (qobject_cast<QAbstractButton*>(widget())) return {pressAction()};
    return QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    auto* button = qobject_cast<QAbstractButton*>(widget());
    if (button && action == pressAction()) return button->click();
    QAccessibleWidget::doAction(action);
  }
};

// What screen readers are told a form's window is: what Orca (43) reads of
// it when it opens. Of a dialog it reads the caption and the texts of three
// words or more; of an alert, every text. So the countdown window is a
// dialog (its caption, title strip and sentence), and the fixed dialogs are
// alerts: the about box's version ("Version 2.1.0", two words) and the
// arrival window's three lines are read too. (A frame gets its caption
// only, and a plain widget, "filler", its caption and focus.)
QAccessible::Role RoleOf(const FormSpec& spec) {
  return spec.border == BorderStyle::None ? QAccessible::Dialog : QAccessible::AlertMessage;
}

QAccessibleInterface* Factory(const QString&, QObject* object) {
  auto* w = qobject_cast<QWidget*>(object);
  if (!w) return nullptr;
  if (auto* form = w->isWindow() ? dynamic_cast<FormWidget*>(w) : nullptr; form && form->form())
    return new QAccessibleWidget(w, RoleOf(form->form()->spec()));
  if (!w->property(kOffscreen).toBool()) return nullptr;
  const bool button = qobject_cast<QAbstractButton*>(w) != nullptr;
  return new OffscreenAccessible(w, button ? QAccessible::Button : QAccessible::StaticText);
}

// Nothing that happens to a control off screen reaches a screen reader: not
// even the focus, which starts on the countdown window's first developer
// button. Every other event goes on to Qt's own handling (the accessibility
// bus), reached by taking this handler out for the moment.
QAccessible::UpdateHandler qt_handler = nullptr;
void Update(QAccessibleEvent* event) {
  if (const QObject* o = event->object(); o && o->property(kOffscreen).toBool()) return;
  QAccessible::installUpdateHandler(qt_handler);
  QAccessible::updateAccessibility(event);
  QAccessible::installUpdateHandler(Update);
}

}  // namespace

void InstallAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(Factory);
    qt_handler = QAccessible::installUpdateHandler(Update);
    return true;
  }();
  (void)installed;
}

}  // namespace qvl
