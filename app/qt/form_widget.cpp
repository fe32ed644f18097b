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
#include <QTimer>
#include <QWindow>

#include "app/geometry.h"
#include "app/qt/qstring.h"
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

Qt::WindowFlags FlagsOf(const FormSpec& spec) {
  if (spec.border == BorderStyle::None) return Qt::Window | Qt::FramelessWindowHint;
  return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
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

FormWidget::FormWidget(Form& form) : QWidget(nullptr, FlagsOf(form.spec())), form_(&form) {
  const FormSpec& spec = form.spec();
  setAttribute(Qt::WA_OpaquePaintEvent);  // the plan paints every pixel
  setWindowTitle(ToQString(form.Caption()));
  const PixelRect client = ClientRect(spec, kDpi);
  setFixedSize(client.width(), client.height());
  // The client area's corner, not the frame's: where the window system
  // allows a window to place itself.
  if (const auto at = ClientCorner(spec, kDpi))
    setGeometry(at->x, at->y, client.width(), client.height());
  if (spec.border == BorderStyle::FixedDialog) MarkAsDialog(this);
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
    w->setGeometry(QRectOf(Bounds(s, kDpi)));
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
    update(QRectOf(RepaintArea(form_->spec().controls[control], kDpi)));
  }
}

void FormWidget::ShowDefault(int control) {
  for (int button : {looks_default_, control})
    if (auto* b = button >= 0 ? qobject_cast<QPushButton*>(children_[button]) : nullptr)
      b->setDefault(button == control);
  looks_default_ = control;
}

void FormWidget::StartTicker(int interval_ms) {
  auto* timer = new QTimer(this);
  timer->setInterval(interval_ms);
  QObject::connect(timer, &QTimer::timeout, this, [this, interval_ms] {
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
}

void FormWidget::Detach() {
  while (!tickers_.empty()) StopTicker(tickers_.begin()->first);
  form_ = nullptr;
}

// Qt asks the window system to move with the left button only (X11 window
// managers then end the move at that button's release), so a move by
// another button is followed here; Wayland's compositors end a move when
// every button is up, whichever started it.
void FormWidget::BeginDrag(MouseButton button) {
  const bool system = button == MouseButton::Left || QGuiApplication::platformName() == "wayland";
  if (system && windowHandle() && windowHandle()->startSystemMove()) return;
  drag_.Begin(button, PointOf(QCursor::pos()), PointOf(pos()));
}

void FormWidget::DragTo(const QPoint& global) {
  if (const auto to = drag_.Follow(PointOf(global))) move(to->x, to->y);
}

void FormWidget::paintEvent(QPaintEvent* event) {
  if (!form_) return;
  QPainter painter(this);
  const QRect r = event->rect();
  BuildPlan(*form_, kDpi, {r.left(), r.top(), r.right() + 1, r.bottom() + 1}, plan_);
  QtCanvas canvas(painter, fonts_);
  canvas.Draw(plan_);
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
  form_.DragTo(event->globalPosition().toPoint());
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

QAccessibleInterface* OffscreenFactory(const QString&, QObject* object) {
  auto* w = qobject_cast<QWidget*>(object);
  if (!w || !w->property(kOffscreen).toBool()) return nullptr;
  const bool button = qobject_cast<QAbstractButton*>(w) != nullptr;
  return new OffscreenAccessible(w, button ? QAccessible::Button : QAccessible::StaticText);
}

}  // namespace

void InstallAccessibility() {
  static const bool installed = (QAccessible::installFactory(OffscreenFactory), true);
  (void)installed;
}

}  // namespace qvl
