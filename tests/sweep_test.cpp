// Drives the real form minute by minute through whole countdowns.
#include <gtest/gtest.h>

#include "app/calendar.h"
#include "harness.h"

namespace qvl::test {
namespace {

// The day total a window shows: calendar days to the next 22 June, except
// from 23 to 30 June, where the count runs on below zero.
long long ExpectedTotal(const LocalTime& t) {
  if (t.month == 6 && t.day > 22) return 22 - t.day;
  const long long today = DaysFromCivil(t.year, t.month, t.day);
  long long festival = DaysFromCivil(t.year, 6, 22);
  if (festival < today) festival = DaysFromCivil(t.year + 1, 6, 22);
  return festival - today;
}

void Sweep(LocalTime from, int festival_year) {
  Program p(from);
  const long long start = SecondsFromLocal(from);
  const long long festival = SecondsFromLocal({festival_year, 6, 22, 0, 0, 0});
  const long long stop = festival + 86400;  // through the whole festival day
  std::string frozen;
  for (long long s = start; s < stop; s += 60) {
    const LocalTime t = CivilFromSeconds(s);
    p.At(t);
    if (s < festival) {
      ASSERT_EQ(p.Arrivals(), 0) << t.year << "-" << t.month << "-" << t.day;
      ASSERT_EQ(p.main->operator[]("TotalDays").Number(), ExpectedTotal(t))
          << t.year << "-" << t.month << "-" << t.day;
    } else {
      ASSERT_EQ(p.Arrivals(), 1);
      ASSERT_EQ(p.Caption("TotalDays"), "0");
      if (frozen.empty()) frozen = p.Caption("Final");
      ASSERT_EQ(p.Caption("Final"), frozen);
    }
  }
  EXPECT_EQ(frozen, "It is 0 days 24 Hours 60 Minutes  and 60 Seconds ");
  EXPECT_TRUE(p.tk.boxes.empty());
  EXPECT_FALSE(p.runtime.ended());
}

TEST(YearSweep, LeapYearFromNewYear) {
  Sweep({2028, 1, 1, 0, 0, 0}, 2028);
}
TEST(YearSweep, CommonYearFromNewYear) {
  Sweep({2027, 1, 1, 0, 0, 0}, 2027);
}
TEST(YearSweep, AfterTheFestivalIntoALeapYear) {
  Sweep({2027, 6, 23, 0, 0, 0}, 2028);
}
TEST(YearSweep, AfterTheFestivalIntoACommonYear) {
  Sweep({2028, 6, 23, 0, 0, 0}, 2029);
}

}  // namespace
}  // namespace qvl::test
