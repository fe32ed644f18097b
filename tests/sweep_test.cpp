// Drives the real form through whole countdowns: hour by hour, and minute by
// minute across every midnight, where the day total changes.
#include <gtest/gtest.h>

#include <ctime>

#include "harness.h"

namespace qvl::test {
namespace {

// The sweep's own calendar is the C library's, apart from the program's.
std::time_t SecondsOf(int year, int month, int day) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  return timegm(&tm);
}

LocalTime CivilOf(std::time_t seconds) {
  std::tm tm{};
  gmtime_r(&seconds, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

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
int Step(const LocalTime& t) {
  return t.hour == 23 || t.hour == 0 ? 60 : 3600;
}

void Sweep(int year, int month, int day, int festival_year) {
  const std::time_t start = SecondsOf(year, month, day);
  const std::time_t festival = SecondsOf(festival_year, 6, 22);
  const std::time_t stop = festival + 86400;  // through the whole festival day
  Program p(CivilOf(start));
  std::string frozen;
  long long expected = 0;
  int expected_day = 0, steps = 0;
  for (std::time_t s = start; s < stop; s += Step(CivilOf(s)), ++steps) {
    const LocalTime t = CivilOf(s);
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
  // 22 hours a day by the hour and 120 minutes across midnight.
  const int days = static_cast<int>((stop - start) / 86400);
  EXPECT_EQ(steps, days * (22 + 120));
  EXPECT_EQ(frozen, "It is 0 days 24 Hours 60 Minutes  and 60 Seconds ");
  EXPECT_TRUE(p.tk.boxes.empty());
  EXPECT_FALSE(p.runtime.ended());
}

TEST(YearSweep, LeapYearFromNewYear) {
  Sweep(2028, 1, 1, 2028);
}
TEST(YearSweep, CommonYearFromNewYear) {
  Sweep(2027, 1, 1, 2027);
}
TEST(YearSweep, AfterTheFestivalIntoALeapYear) {
  Sweep(2027, 6, 23, 2028);
}
TEST(YearSweep, AfterTheFestivalIntoACommonYear) {
  Sweep(2028, 6, 23, 2029);
}

}  // namespace
}  // namespace qvl::test
