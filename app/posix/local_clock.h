// The local time on a POSIX system, following a change of the time zone
// while the program runs. The C library reads the zone's file once (and
// again only for a changed TZ); Windows' clock follows a new zone at once,
// so this one watches the file and makes the library read it again.
#pragma once

#include <sys/types.h>

#include <ctime>
#include <string>

#include "app/system.h"

namespace qvl {

class LocalClock {
 public:
  // The zone's file is looked at no more often than every `check_ms`.
  explicit LocalClock(int check_ms = 1000) : check_ms_(check_ms) {}
  // Both read the same clock: time() may lag it by a few milliseconds.
  LocalTime Now() { return At(Realtime().tv_sec); }
  static int MsToNextSecond() { return 1000 - static_cast<int>(Realtime().tv_nsec / 1000000); }
  // The local time of an instant, by the zone as it is now.
  LocalTime At(std::time_t instant);

 private:
  static timespec Realtime() {
    timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    return t;
  }
  struct Stamp {
    dev_t dev = 0;
    ino_t ino = 0;
    time_t mtime = 0;
    off_t size = -1;
    friend bool operator==(const Stamp&, const Stamp&) = default;
  };
  // The file that holds the zone: the one TZ names, else /etc/localtime.
  static std::string ZoneFile();
  void FollowZone();

  int check_ms_;
  Stamp stamp_;
  bool known_ = false;
  long long checked_ms_ = 0;
};

}  // namespace qvl
