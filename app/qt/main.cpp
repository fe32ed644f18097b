// Start-up on Linux: the runtime creates, loads and shows the countdown
// window, then waits for events. The command line is not read.
#include <QApplication>

#include "app/qt/form_widget.h"
#include "app/qt/icons.h"
#include "app/qt/qstring.h"
#include "app/qt/qt_system.h"
#include "app/qt/qt_toolkit.h"
#include "countdown/main_form.h"

#ifndef QVLFEST_PLAIN_FONT
#error "QVLFEST_PLAIN_FONT selects the build variant: 1 plain-font, 0 LCARS-font"
#endif

int main(int, char** argv) {
  constexpr qvl::Variant kVariant =
      QVLFEST_PLAIN_FONT ? qvl::Variant::PlainFont : qvl::Variant::LcarsFont;
  const qvl::AppFacts& facts = qvl::FactsOf(kVariant);
  static int qt_argc = 1;  // arguments change nothing, Qt's own included
  QApplication app(qt_argc, argv);
  // Each build's windows carry their own X11 class, the name of its desktop
  // file, so that a taskbar groups them by build: Qt takes the class from the
  // application's name when it makes the first window. The application is
  // "QVLFEST" to everything else (screen readers among them).
  QApplication::setApplicationName(QStringLiteral(QVLFEST_DESKTOP_ID));
  QApplication::setApplicationVersion(
      QStringLiteral("%1.%2.%3").arg(facts.major).arg(facts.minor).arg(facts.revision));
  QGuiApplication::setDesktopFileName(QStringLiteral(QVLFEST_DESKTOP_ID));
  QApplication::setWindowIcon(qvl::ProgramIcon());
  QApplication::setQuitOnLastWindowClosed(false);  // the runtime says when
  qvl::InstallAccessibility();

  qvl::QtSystem system;
  qvl::QtToolkit toolkit;
  qvl::Runtime runtime(toolkit, system, facts);
  runtime.Show(runtime.NewForm<qvl::Main>());
  QApplication::setApplicationName(qvl::ToQString(facts.title));
  if (runtime.ended() || runtime.Forms().empty()) return 0;
  return app.exec();
}
