#include "app/qt/qt_system.h"

#include <sys/stat.h>

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

#include "app/qt/qstring.h"

namespace qvl {

void QtSystem::OpenAddress(std::string_view address) {
  QDesktopServices::openUrl(QUrl(ToQString(address)));
}

// The path is the program, started with no arguments and no shell between.
bool QtSystem::StartProgram(std::string_view path) {
  if (path.empty()) return false;
  return QProcess::startDetached(ToQString(path), {});
}

bool QtSystem::IsOrdinaryFile(std::string_view path) {
  const std::string p(path);
  struct stat st {};
  if (stat(p.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  const auto slash = p.find_last_of('/');
  return p[slash == std::string::npos ? 0 : slash + 1] != '.';
}

}  // namespace qvl
