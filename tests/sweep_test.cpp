// Drives the real form through whole countdowns: hour by hour, and minute by
// minute across every midnight, where the day total changes.
#include <gtest/gtest.h>

#include "app/calendar.h"
#include "harness.h"

namespace qvl::test {
namespace {

// An oracle independent of the program's calendar: steps a date one day at
// a time until 22 June.
int DaysInMonth(int y, int m) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : kDays[m - 1];
}

// The day total a window shows: days to the next 22 June, except from 23
// to 30 June, where the count runs on below zero.
long long ExpectedTotal(const LocalTime& t) {
  if (t.month == 6 && t.day > 22) return 22 - t.day;
  int y = t.year, m = t.month, d = t.day;
  long long days = 0;
  while (m != 6 || d != 22) {
    ++days;
    if (++d > DaysInMonth(y, m)) d = 1, m = m % 12 + 1, y += m == 1;
  }
  return days;
}

// Every minute from 23:00 to 01:00, else every hour.
long long Step(long long seconds) {
  const long long of_day = ((seconds % 86400) + 86400) % 86400;
  return of_day >= 23 * 3600 || of_day < 3600 ? 60 : 3600;
}

void Sweep(LocalTime from, int festival_year) {
  Program p(from);
  const long long start = SecondsFromLocal(from);
  const long long festival = SecondsFromLocal({festival_year, 6, 22, 0, 0, 0});
  const long long stop = festival + 86400;  // through the whole festival day
  std::string frozen;
  long long expected = 0;
  int expected_day = 0;
  for (long long s = start; s < stop; s += Step(s)) {
    const LocalTime t = CivilFromSeconds(s);
    p.At(t);
    if (t.day != expected_day) expected = ExpectedTotal(t), expected_day = t.day;
    if (s < festival) {
      ASSERT_EQ(p.Arrivals(), 0) << t.year << "-" << t.month << "-" << t.day;
      ASSERT_EQ(p.main->operator[]("TotalDays").Number(), expected)
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
