#include "app/qt/form_widget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include "app/geometry.h"
#include "app/qt/icons.h"
#include "app/stacking.h"

namespace qvl {

namespace {

// Logical pixels: 15 twips each; Qt applies the screen's scale on top.
constexpr int kDpi = 96;

QString Qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

QRect QRectOf(const PixelRect& r) {
  return QRect(r.left, r.top, r.width(), r.height());
}

Qt::WindowFlags FlagsOf(const FormSpec& spec) {
  if (spec.border == BorderStyle::None) return Qt::Window | Qt::FramelessWindowHint;
  return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
}

}  // namespace

FormWidget::FormWidget(Form& form) : QWidget(nullptr, FlagsOf(form.spec())), form_(&form) {
  const FormSpec& spec = form.spec();
  setAttribute(Qt::WA_OpaquePaintEvent);  // the plan paints every pixel
  setWindowTitle(Qs(form.Caption()));
  const PixelRect client = ClientRect(spec, kDpi);
  setFixedSize(client.width(), client.height());
  if (const auto at = ClientCorner(spec, kDpi)) move(at->x, at->y);
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
      case ControlKind::CommandButton: {
        auto* b = new QPushButton(Qs(c.Caption()), parent);
        b->setAutoDefault(false);
        b->setDefault(s.is_default);
        b->setFont(fonts_.Get(s.font, FontPixelHeight(s.font.centipoints, kDpi)));
        QObject::connect(b, &QPushButton::clicked, this, [this, i] { Dispatch(i, Event::Click); });
        w = b;
        break;
      }
      case ControlKind::Frame: {
        auto* f = new QFrame(parent);
        f->setFrameStyle(QFrame::Box | QFrame::Sunken);  // etched
        f->setAutoFillBackground(true);
        f->setBackgroundRole(QPalette::Button);
        w = f;
        break;
      }
      case ControlKind::PictureBox: {
        auto* p = new QLabel(parent);
        p->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        p->setLineWidth(2);
        p->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        p->setPixmap(Picture(s.picture, 32));
        w = p;
        break;
      }
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

QWidget* FormWidget::FirstFocus() const {
  for (int i : TabOrder(form_->spec()))
    if (children_[i] && children_[i]->isVisibleTo(this)) return children_[i];
  return nullptr;
}

void FormWidget::Dispatch(int control, Event event) {
  if (form_) form_->runtime().Dispatch(*form_, control, event);
}

void FormWidget::SetControlText(int control, std::string_view text) {
  QWidget* w = children_[control];
  if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setText(Qs(text));  // repaints the form beneath it, where it can be seen
  } else if (auto* button = qobject_cast<QPushButton*>(w)) {
    button->setText(Qs(text));
  }
}

void FormWidget::SetControlVisible(int control, bool visible) {
  QWidget* w = children_[control];
  if (!w) {  // a line or shape: every widget it meets repaints
    update(QRectOf(PaintBox(form_->spec().controls[control], kDpi)));
    return;
  }
  const bool had_focus = !visible && w->isAncestorOf(QApplication::focusWidget());
  w->setVisible(visible);
  if (had_focus)
    if (QWidget* first = FirstFocus()) first->setFocus();
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

void FormWidget::BeginDrag() {
  if (windowHandle() && windowHandle()->startSystemMove()) return;
  // No window manager to ask: the window follows the pointer itself.
  dragging_ = true;
  drag_pointer_ = QCursor::pos();
  drag_window_ = pos();
}

void FormWidget::DragTo(const QPoint& global) {
  if (dragging_) move(drag_window_ + (global - drag_pointer_));
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

// Enter presses the focused button, or else the form's default button;
// Escape the cancel button; as in a dialog box.
void FormWidget::keyPressEvent(QKeyEvent* event) {
  int control = -1;
  if (form_ && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    if (auto* b = qobject_cast<QPushButton*>(QApplication::focusWidget()); b && isAncestorOf(b))
      return b->click();
    control = DefaultButton(form_->spec());
  } else if (form_ && event->key() == Qt::Key_Escape) {
    control = CancelButton(form_->spec());
  }
  if (control < 0 || !children_[control]->isVisibleTo(this)) return QWidget::keyPressEvent(event);
  Dispatch(control, Event::Click);
}

LabelWidget::LabelWidget(FormWidget& form, int control, QWidget* parent)
    : QLabel(parent), form_(form), control_(control) {
  setTextFormat(Qt::PlainText);
  setText(Qs(form.form().controls()[control].Caption()));
}

void LabelWidget::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  form_.Press(control_);
}

void LabelWidget::mouseMoveEvent(QMouseEvent* event) {
  form_.DragTo(event->globalPosition().toPoint());
}

void LabelWidget::mouseReleaseEvent(QMouseEvent* event) {
  form_.EndDrag();
  const bool clicked =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->pos());
  pressed_ = false;
  if (clicked) form_.Click(control_);
}

}  // namespace qvl
