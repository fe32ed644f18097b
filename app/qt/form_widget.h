// A form's top-level widget and its children: Qt's own push buttons, frames
// and labels, placed by the shared geometry; the form's surface painted by
// the shared paint plan.
#pragma once

#include <QLabel>
#include <QPoint>
#include <QWidget>
#include <map>
#include <vector>

#include "app/form.h"
#include "app/qt/qt_canvas.h"

class QTimer;

namespace qvl {

class FormWidget : public QWidget, public NativeWindow {
 public:
  explicit FormWidget(Form& form);

  Form& form() const { return *form_; }
  QWidget* Child(int control) const { return children_[control]; }
  QWidget* FirstFocus() const;

  void SetControlText(int control, std::string_view text);
  void SetControlVisible(int control, bool visible);
  void StartTicker(int interval_ms);
  void StopTicker(int interval_ms);
  // The form is going: no event of this widget reaches it any more.
  void Detach();

  // Mouse events of labels.
  void Press(int control) { Dispatch(control, Event::MouseDown); }
  void Click(int control) { Dispatch(control, Event::Click); }

  // A press on a label that starts a window drag: the window system moves
  // the window if it can, otherwise the pointer's moves do.
  void BeginDrag();
  void DragTo(const QPoint& global);
  void EndDrag() { dragging_ = false; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void CreateChildren(QWidget* parent, std::string_view container);
  void Dispatch(int control, Event event);

  Form* form_;
  std::vector<QWidget*> children_;  // by control index; none for timers, lines, shapes
  std::map<int, QTimer*> tickers_;
  QtFonts fonts_;
  std::vector<Primitive> plan_;
  bool dragging_ = false;
  QPoint drag_pointer_, drag_window_;
};

// A label: Qt's own, so that screen readers read its text, drawn by the
// form's surface beneath it; it only takes the mouse.
class LabelWidget : public QLabel {
 public:
  LabelWidget(FormWidget& form, int control, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent*) override {}
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  FormWidget& form_;
  int control_;
  bool pressed_ = false;
};

}  // namespace qvl
