#include "app/qt/qt_toolkit.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include "app/qt/form_widget.h"
#include "app/qt/qstring.h"

namespace qvl {

namespace {

FormWidget* WidgetOf(const Form& form) {
  return static_cast<FormWidget*>(form.native);
}

QMessageBox::StandardButtons ButtonsOf(BoxButtons b) {
  switch (b) {
    case BoxButtons::Ok:
      return QMessageBox::Ok;
    case BoxButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case BoxButtons::AbortRetryIgnore:
      return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case BoxButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case BoxButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case BoxButtons::RetryCancel:
      return QMessageBox::Retry | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
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

int AnswerOf(int button) {
  switch (button) {
    case QMessageBox::Cancel:
      return kCancel;
    case QMessageBox::Abort:
      return kAbort;
    case QMessageBox::Retry:
      return kRetry;
    case QMessageBox::Ignore:
      return kIgnore;
    case QMessageBox::Yes:
      return kYes;
    case QMessageBox::No:
      return kNo;
    default:
      return kOk;
  }
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

void QtToolkit::StartTicker(Form& form, int interval_ms) {
  if (FormWidget* w = WidgetOf(form)) w->StartTicker(interval_ms);
}

void QtToolkit::StopTicker(Form& form, int interval_ms) {
  if (FormWidget* w = WidgetOf(form)) w->StopTicker(interval_ms);
}

void QtToolkit::DragWindow(Form& form, MouseButton button) {
  if (FormWidget* w = WidgetOf(form)) w->BeginDrag(button);
}

// Modal; the other windows' timers go on ticking meanwhile, as on Windows.
int QtToolkit::ShowMessageBox(Form* owner, std::string_view text, std::string_view title,
                              const BoxStyle& style) {
  QWidget* parent = owner ? WidgetOf(*owner) : nullptr;
  QPointer<QMessageBox> box = new QMessageBox(IconOf(style.icon), ToQString(title), ToQString(text),
                                              ButtonsOf(style.buttons), parent);
  const auto buttons = box->buttons();
  if (style.default_button < buttons.size())
    box->setDefaultButton(qobject_cast<QPushButton*>(buttons[style.default_button]));
  box->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
  const int button = box->exec();
  if (!box) return kOk;  // its owner went while it was open
  delete box.data();
  return AnswerOf(button);
}

void QtToolkit::Quit() {
  QCoreApplication::exit(0);
}

}  // namespace qvl
