// The operating system on Linux: the local clock, the desktop's default
// browser (xdg-open), starting a program, files, and the registry view that
// finds a system-information tool on PATH.
#pragma once

#include "app/posix/local_clock.h"
#include "app/posix/tool_registry.h"
#include "app/system.h"

namespace qvl {

class QtSystem : public System {
 public:
  LocalTime Now() override { return clock_.Now(); }
  int MsToNextSecond() override { return LocalClock::MsToNextSecond(); }
  void OpenAddress(std::string_view address) override;
  bool StartProgram(std::string_view path) override;
  // A regular file whose name does not start with a dot (hidden).
  bool IsOrdinaryFile(std::string_view path) override;
  Registry& registry() override { return registry_; }

 private:
  ToolRegistry registry_;
  LocalClock clock_;
};

}  // namespace qvl
