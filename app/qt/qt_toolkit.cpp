#include "app/qt/qt_toolkit.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <vector>

#include "app/qt/form_widget.h"
#include "app/qt/qstring.h"

namespace qvl {

namespace {

FormWidget* WidgetOf(const Form& form) {
  return static_cast<FormWidget*>(form.native);
}

QMessageBox::Icon IconOf(BoxIcon i) {
  switch (i) {
    case BoxIcon::Critical:
      return QMessageBox::Critical;
    case BoxIcon::Question:
      return QMessageBox::Question;
    case BoxIcon::Exclamation:
      return QMessageBox::Warning;
    case BoxIcon::Information:
      return QMessageBox::Information;
    case BoxIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

QWidget* QtToolkit::WindowOf(const Form& form) {
  return WidgetOf(form);
}

QWidget* QtToolkit::ControlWidget(const Form& form, int control) {
  const FormWidget* w = WidgetOf(form);
  return w && control >= 0 ? w->Child(control) : nullptr;
}

NativeWindow* QtToolkit::CreateWindowFor(Form& form) {
  return new FormWidget(form);
}

void QtToolkit::ShowWindowFor(Form& form, bool first) {
  if (FormWidget* w = WidgetOf(form)) w->Show(first);
}

void QtToolkit::DestroyWindowFor(Form& form) {
  FormWidget* w = WidgetOf(form);
  if (!w) return;
  w->Detach();
  w->hide();
  w->deleteLater();
}

void QtToolkit::FocusControl(Form& form, int control) {
  if (QWidget* c = ControlWidget(form, control)) c->setFocus();
}

void QtToolkit::ShowDefault(Form& form, int control) {
  if (FormWidget* w = WidgetOf(form)) w->ShowDefault(control);
}

void QtToolkit::SetText(Form& form, int control, std::string_view text) {
  FormWidget* w = WidgetOf(form);
  if (!w) return;
  if (control < 0) {
    w->setWindowTitle(ToQString(text));
  } else {
    w->SetControlText(control, text);
  }
}

void QtToolkit::SetVisible(Form& form, int control, bool visible) {
  if (FormWidget* w = WidgetOf(form); w && control >= 0) w->SetControlVisible(control, visible);
}

void QtToolkit::StartTicker(Form& form, int interval_ms, int first_ms) {
  if (FormWidget* w = WidgetOf(form)) w->StartTicker(interval_ms, first_ms);
}

void QtToolkit::StopTicker(Form& form, int interval_ms) {
  if (FormWidget* w = WidgetOf(form)) w->StopTicker(interval_ms);
}

void QtToolkit::DragWindow(Form& form, MouseButton button) {
  if (FormWidget* w = WidgetOf(form)) w->BeginDrag(button);
}

// Modal; the other windows' timers go on ticking meanwhile, as on Windows.
// Qt's own box, with the buttons the style describes in their order: all of
// one role, so that no desktop's button order rearranges them.
int QtToolkit::ShowMessageBox(Form* owner, std::string_view text, std::string_view title,
                              const BoxStyle& style) {
  QWidget* parent = owner ? WidgetOf(*owner) : nullptr;
  const BoxDescription d = Describe(style);
  QPointer<QMessageBox> box = new QMessageBox(IconOf(style.icon), ToQString(title), ToQString(text),
                                              QMessageBox::NoButton, parent);
  std::vector<QPushButton*> buttons;
  for (const BoxButton& b : d.buttons) {
    buttons.push_back(box->addButton(ToQString(b.caption), QMessageBox::ActionRole));
    if (b.answer == d.escape) box->setEscapeButton(buttons.back());
  }
  box->setDefaultButton(buttons[d.focus]);
  box->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
  box->exec();
  // A box whose owner went while it was open answers as its Escape would.
  int answer = d.escape ? d.escape : d.buttons[d.focus].answer;
  if (!box) return answer;
  for (std::size_t i = 0; i < buttons.size(); ++i)
    if (box->clickedButton() == buttons[i]) answer = d.buttons[i].answer;
  delete box.data();
  return answer;
}

void QtToolkit::Quit() {
  QCoreApplication::exit(0);
}

}  // namespace qvl
