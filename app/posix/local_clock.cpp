#include "app/posix/local_clock.h"

#include <sys/stat.h>

#include <cstdlib>

namespace qvl {

namespace {

long long MonotonicMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &t);
  return t.tv_sec * 1000LL + t.tv_nsec / 1000000;
}

}  // namespace

std::string LocalClock::ZoneFile() {
  const char* tz = std::getenv("TZ");
  if (!tz) return "/etc/localtime";
  std::string name(tz[0] == ':' ? tz + 1 : tz);
  if (name.empty() || name[0] == '/') return name;
  const char* dir = std::getenv("TZDIR");
  return std::string(dir && *dir ? dir : "/usr/share/zoneinfo") + "/" + name;
}

void LocalClock::FollowZone() {
  const long long now = MonotonicMs();
  if (known_ && now - checked_ms_ < check_ms_) return;
  checked_ms_ = now;
  struct stat st {};
  Stamp stamp;  // a zone given by rule, not by file, never changes
  if (stat(ZoneFile().c_str(), &st) == 0) stamp = {st.st_dev, st.st_ino, st.st_mtime, st.st_size};
  if (known_ && stamp == stamp_) return;
  const bool changed = known_;
  stamp_ = stamp;
  known_ = true;
  if (!changed) return tzset();
  // The library reads the file again when TZ differs from what it read last:
  // with TZ unset it looks at /etc/localtime on every tzset; with TZ set, a
  // moment's other value makes it read the named file anew. (TZ exists, so
  // setenv replaces its value in place; no other thread reads the zone.)
  if (const char* tz = std::getenv("TZ")) {
    const std::string value(tz);
    setenv("TZ", "UTC0", 1);
    tzset();
    setenv("TZ", value.c_str(), 1);
  }
  tzset();
}

LocalTime LocalClock::At(std::time_t instant) {
  FollowZone();
  std::tm t{};
  localtime_r(&instant, &t);
  return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}

}  // namespace qvl
