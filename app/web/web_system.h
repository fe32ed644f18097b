// The browser as the program's operating system: the local clock is the
// browser's (it follows the device's zone), links open in a new tab, and
// there is neither a registry nor a program to start, so "System Info..."
// says that the tool is unavailable.
#pragma once

#include "app/system.h"

namespace qvl {

class WebSystem : public System {
 public:
  LocalTime Now() override;
  int MsToNextSecond() override;
  void OpenAddress(std::string_view address) override;
  bool StartProgram(std::string_view) override { return false; }
  bool IsOrdinaryFile(std::string_view) override { return false; }
  Registry& registry() override { return registry_; }

 private:
  EmptyRegistry registry_;
};

}  // namespace qvl
