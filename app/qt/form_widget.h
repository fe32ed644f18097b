// A form's top-level widget and its children: Qt's own push buttons and
// labels, placed by the shared geometry; the form's surface, frames and
// picture boxes painted by the shared paint plans. Input goes to the runtime
// as it happens; what it means is the runtime's to decide.
#pragma once

#include <QLabel>
#include <QPoint>
#include <QPushButton>
#include <QWidget>
#include <map>
#include <vector>

#include "app/form.h"
#include "app/qt/qt_canvas.h"

class QTimer;
class QToolButton;

namespace qvl {

class FormWidget : public QWidget, public NativeWindow {
 public:
  explicit FormWidget(Form& form);

  Form* form() const { return form_; }
  QWidget* Child(int control) const { return children_[control]; }
  QtFonts& fonts() { return fonts_; }

  void SetControlText(int control, std::string_view text);
  void SetControlVisible(int control, bool visible);
  void ShowDefault(int control);
  // Shows the window in front and active; the first time, at its timers'
  // first tick, if it has any.
  void Show(bool first);
  void StartTicker(int interval_ms, int first_ms);
  void StopTicker(int interval_ms);
  // The form is going: no event of this widget reaches it any more.
  void Detach();

  // A move by the pointer, as from a press on a title bar. The window system
  // moves the window where it can; otherwise the pointer's moves do.
  void BeginDrag(MouseButton button);
  void DragTo(const QPoint& global, Qt::MouseButtons held);
  void EndDrag(MouseButton button) { drag_.Release(button); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  void CreateChildren(QWidget* parent, std::string_view container);
  void ShowNow();
  void PaintTitleBar(QPainter& painter);

  Form* form_;
  // The height of the title bar the window draws itself, where the window
  // system draws none; the form's client area lies below it.
  int title_bar_ = 0;
  QToolButton* close_ = nullptr;
  bool show_at_tick_ = false;
  std::vector<QWidget*> children_;  // by control index; none for timers, lines, shapes
  std::map<int, QTimer*> tickers_;
  QtFonts fonts_;
  std::vector<Primitive> plan_;
  PointerDrag drag_;
  int looks_default_ = -1;
};

// A label: Qt's own, so that screen readers read its text, drawn by the
// form's surface beneath it; it only takes the mouse.
class LabelWidget : public QLabel {
 public:
  LabelWidget(FormWidget& form, int control, QWidget* parent);
  // The caption the form holds now.
  QString Caption() const;

 protected:
  void paintEvent(QPaintEvent*) override {}
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  FormWidget& form_;
  int control_;
};

// A character key, with or without Alt, for the runtime; true if it pressed
// a button.
bool CharacterKey(Form& form, const QKeyEvent& event);

// A command button: Qt's own; Enter, Escape and access keys are the form's
// to decide.
class ButtonWidget : public QPushButton {
 public:
  ButtonWidget(FormWidget& form, int control, QWidget* parent);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  FormWidget& form_;
  int control_;
};

// A frame or picture box, painted by the shared chrome plan.
class ChromeWidget : public QWidget {
 public:
  ChromeWidget(FormWidget& form, const ControlSpec& spec, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  FormWidget& form_;
  const ControlSpec& spec_;
  std::vector<Primitive> plan_;
};

// Registers what screen readers are told of the forms: what each window is,
// and of the controls that lie wholly outside a form's visible area, that
// they are off screen and that nothing happens to them.
void InstallAccessibility();

}  // namespace qvl
