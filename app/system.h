// What the program asks of the operating system besides windows: the local
// clock, the default browser, starting a program, looking up a file and the
// registry. Injected into the runtime, so tests hand in a recording one.
#pragma once

#include <string_view>

#include "app/registry.h"

namespace qvl {

struct LocalTime {
  int year, month, day, hour, minute, second;
  friend bool operator==(const LocalTime&, const LocalTime&) = default;
};

class System {
 public:
  virtual ~System() = default;
  virtual LocalTime Now() = 0;
  // How long the second Now() reads lasts yet, in milliseconds (1 to 1000).
  virtual int MsToNextSecond() = 0;
  // Opens the address in the default browser without waiting for it.
  virtual void OpenAddress(std::string_view address) = 0;
  // Starts the executable at `path` (never a command line to parse), shown
  // normally with the focus; false if it cannot be started.
  virtual bool StartProgram(std::string_view path) = 0;
  // True if an ordinary file (not a folder, hidden or system file) is there.
  virtual bool IsOrdinaryFile(std::string_view path) = 0;
  virtual Registry& registry() = 0;
};

}  // namespace qvl
