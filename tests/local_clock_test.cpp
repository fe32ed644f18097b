// The local clock follows a change of the zone's file while it runs, as
// Windows' clock does.
#include "app/posix/local_clock.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace qvl {
namespace {

// Points `link` at a zone, atomically, as a system update does.
void PointAt(const std::string& link, const char* zone) {
  const std::string next = link + ".next";
  std::filesystem::remove(next);
  std::filesystem::create_symlink(std::string("/usr/share/zoneinfo/") + zone, next);
  std::filesystem::rename(next, link);
}

TEST(LocalClock, FollowsTheZoneFileWhileItRuns) {
  const std::string dir = testing::TempDir() + "qvl-zone-" + std::to_string(getpid());
  std::filesystem::create_directories(dir);
  const std::string link = dir + "/localtime";
  PointAt(link, "Europe/Berlin");
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  setenv("TZ", (":" + link).c_str(), 1);

  constexpr std::time_t kJanuary = 1705320000;  // 2024-01-15 12:00:00 UTC
  LocalClock clock(0);
  EXPECT_EQ(clock.At(kJanuary).hour, 13) << "Berlin, an hour ahead";
  PointAt(link, "America/New_York");
  EXPECT_EQ(clock.At(kJanuary).hour, 7) << "New York, five hours behind";
  PointAt(link, "Asia/Kolkata");
  EXPECT_EQ(clock.At(kJanuary).minute, 30) << "India, half an hour off the hour";

  if (old) {
    setenv("TZ", saved.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace qvl
