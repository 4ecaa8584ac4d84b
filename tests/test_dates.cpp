// Civil calendar and Julian Day. Expected values: the Julian Day epochs
// published with the Meeus algorithms (Astronomical Algorithms, ch. 7) and the
// rules of the Julian and Gregorian calendars.
#include <gtest/gtest.h>

#include <cmath>

#include "time/dates.h"

namespace orv {
namespace {

TEST(Calendar, LeapYearsAndLengths) {
  struct Case { int year; int days; } cases[] = {
      {0, 366}, {-1, 365}, {-4, 366}, {-3, 365}, {1500, 366}, {1582, 355},
      {1600, 366}, {1700, 365}, {1900, 365}, {2000, 366}, {2023, 365}, {2024, 366}};
  for (const auto& c : cases) EXPECT_EQ(DaysInYear(c.year), c.days) << c.year;
  EXPECT_EQ(DaysInMonth(1582, 10), 21);
  EXPECT_EQ(DaysInMonth(1500, 2), 29);
  EXPECT_EQ(DaysInMonth(1700, 2), 28);
  EXPECT_FALSE(IsValidDate(1582, 10, 5));
  EXPECT_FALSE(IsValidDate(1582, 10, 14));
  EXPECT_TRUE(IsValidDate(1582, 10, 4));
  EXPECT_TRUE(IsValidDate(1582, 10, 15));
  EXPECT_TRUE(IsValidDate(1582, 10, 31));
  EXPECT_FALSE(IsValidDate(2023, 2, 29));
  EXPECT_EQ(DayOfYear(1582, 10, 4), 277);
  EXPECT_EQ(DayOfYear(1582, 10, 15), 278);
  EXPECT_EQ(DayOfYear(1582, 12, 31), 355);
}

TEST(Calendar, JulianDayOfDates) {
  struct Case { int y, m, d; double jd; } cases[] = {
      {2000, 1, 1, 2451544.5},   {1582, 10, 4, 2299159.5}, {1582, 10, 15, 2299160.5},
      {-4712, 1, 1, -0.5},       {1957, 10, 4, 2436115.5}, {333, 1, 27, 1842712.5},
      {1987, 6, 19, 2446965.5},  {1600, 12, 31, 2305812.5}, {837, 4, 10, 2026871.5},
      {-1000, 7, 12, 1356000.5}, {-1000, 2, 29, 1355866.5}, {-1001, 8, 17, 1355670.5},
      {-4712, 1, 1, -0.5},       {1900, 1, 1, 2415020.5}};
  for (const auto& c : cases) {
    EXPECT_EQ(CalendarToJulianDay(c.y, c.m, c.d), c.jd) << c.y << "-" << c.m << "-" << c.d;
    const CivilDateTime back = JulianDayToCalendar(c.jd);
    EXPECT_EQ(back.year, c.y);
    EXPECT_EQ(back.month, c.m);
    EXPECT_EQ(back.day, c.d);
    EXPECT_EQ(back.hour, 0);
  }
}

TEST(Calendar, RoundTripOverThirtyThousandYears) {
  // Every 37th day from -13000 to +17000: date -> JD -> date, and consecutive
  // days differ by exactly one in JD.
  double previous = CalendarToJulianDay(-13000, 1, 1) - 1;
  int y = -13000, m = 1, d = 1;
  int checked = 0;
  while (y < 17000) {
    const double jd = CalendarToJulianDay(y, m, d);
    const CivilDate back = JulianDayToCivilDate(jd + 0.3);
    ASSERT_EQ(back, (CivilDate{y, m, d})) << jd;
    if (d == 1 && m == 1) {
      ASSERT_EQ(jd - CalendarToJulianDay(y - 1, 12, 31), 1.0) << y;
    }
    (void)previous;
    int ny, nm, nd, nh, nmi;
    AddMinutes(37LL * kMinutesPerDay, y, m, d, 0, 0, ny, nm, nd, nh, nmi);
    ASSERT_EQ(CalendarToJulianDay(ny, nm, nd) - jd, 37.0);
    y = ny; m = nm; d = nd;
    ++checked;
  }
  EXPECT_GT(checked, 290000);
}

TEST(Calendar, TimeOfDayAndMidnightCarry) {
  CivilDateTime t = JulianDayToCalendar(2299160.4999);
  EXPECT_EQ((CivilDate{t.year, t.month, t.day}), (CivilDate{1582, 10, 4}));
  EXPECT_EQ(t.hour, 23);
  EXPECT_EQ(t.minute, 59);
  EXPECT_NEAR(t.seconds, 51.36, 0.01);
  t = JulianDayToCalendar(2299160.5);
  EXPECT_EQ((CivilDate{t.year, t.month, t.day}), (CivilDate{1582, 10, 15}));
  EXPECT_EQ(t.hour, 0);
  // Half a millisecond before midnight reads 00:00:00.000 of the next day,
  // also across the calendar reform and the end of a year.
  struct Case { double jd; CivilDate next; } cases[] = {
      {2451544.5 - 0.0005 / 86400.0, {2000, 1, 1}},
      {2299160.5 - 0.0005 / 86400.0, {1582, 10, 15}},
      {CalendarToJulianDay(-44, 3, 16) - 0.0005 / 86400.0, {-44, 3, 16}}};
  for (const auto& c : cases) {
    t = JulianDayToCalendar(c.jd);
    EXPECT_EQ((CivilDate{t.year, t.month, t.day}), c.next);
    EXPECT_EQ(t.hour, 0);
    EXPECT_EQ(t.minute, 0);
    EXPECT_EQ(t.seconds, 0.0f);
  }
}

TEST(Calendar, DaysBetweenAgreesWithYearByYearSums) {
  EXPECT_EQ(DaysBetween(1582, 10, 4, 1582, 10, 15), 1);
  EXPECT_EQ(DaysBetween(1582, 10, 15, 1582, 10, 4), -1);
  EXPECT_EQ(DaysBetween(1999, 12, 31, 2000, 1, 1), 1);
  struct Span { int y1, y2; } spans[] = {{-5000, 3000}, {-19999, 19999}, {-250, 1},
                                          {1, 1000}, {-101, 100}, {99, 301}, {-13000, 16998}};
  for (const auto& s : spans) {
    long long sum = 0;
    for (int y = s.y1; y < s.y2; ++y) sum += DaysInYear(y);
    EXPECT_EQ(DaysBetween(s.y1, 1, 1, s.y2, 1, 1), sum) << s.y1 << ".." << s.y2;
    EXPECT_EQ(DaysBetween(s.y2, 1, 1, s.y1, 1, 1), -sum);
    // And it agrees with the Julian Day difference.
    EXPECT_EQ(DaysBetween(s.y1, 3, 7, s.y2, 11, 30),
              CalendarToJulianDay(s.y2, 11, 30) - CalendarToJulianDay(s.y1, 3, 7));
  }
}

TEST(Calendar, MinutesAndAddMinutes) {
  struct Case { long long n; int y, m, d, h, mi; int ey, em, ed, eh, emi; } cases[] = {
      {1440, 1582, 10, 4, 0, 0, 1582, 10, 15, 0, 0},
      {-1, 2000, 1, 1, 0, 0, 1999, 12, 31, 23, 59},
      {60, 2023, 1, 31, 23, 0, 2023, 2, 1, 0, 0},
      {-1440, 1, 1, 1, 0, 0, 0, 12, 31, 0, 0},
      {1440LL * 365, -1, 1, 1, 0, 0, 0, 1, 1, 0, 0},
      {1440LL * 365, 0, 1, 1, 12, 30, 0, 12, 31, 12, 30}};
  for (const auto& c : cases) {
    int y, m, d, h, mi;
    AddMinutes(c.n, c.y, c.m, c.d, c.h, c.mi, y, m, d, h, mi);
    EXPECT_EQ(y, c.ey);
    EXPECT_EQ(m, c.em);
    EXPECT_EQ(d, c.ed);
    EXPECT_EQ(h, c.eh);
    EXPECT_EQ(mi, c.emi);
    EXPECT_EQ(MinutesBetween(c.y, c.m, c.d, c.h, c.mi, y, m, d, h, mi), c.n);
  }
}

TEST(Calendar, WeekdayMansionAndPacking) {
  EXPECT_EQ(WeekdayOf(2000, 1, 1), 6);
  EXPECT_EQ(LunarMansionOf(2000, 1, 1), 16);
  EXPECT_EQ(WeekdayOf(1582, 10, 4), 4);   // Thursday
  EXPECT_EQ(WeekdayOf(1582, 10, 15), 5);  // Friday
  EXPECT_EQ(WeekdayOf(2024, 2, 10), 6);   // Saturday
  EXPECT_EQ(WeekdayOf(-4712, 1, 1), 1);   // JD 0 is a Monday
  EXPECT_EQ(PackDate(-1, 12, 31), -11231);
  EXPECT_EQ(PackDate(0, 3, 5), 305);
  EXPECT_EQ(PackDate(1999, 3, 5), 19990305);
  int y, m, d, h, mi;
  UnpackDate(-11231, y, m, d);
  EXPECT_EQ(y, -1);
  EXPECT_EQ(m, 12);
  EXPECT_EQ(d, 31);
  UnpackTime(1260, h, mi);
  EXPECT_EQ(h, 13);
  EXPECT_EQ(mi, 0);
}

TEST(Calendar, Sexagesimal) {
  EXPECT_EQ(FormatSexagesimal(-0.25), "-0:15:00.000");
  EXPECT_EQ(FormatSexagesimal(-0.5), "-0:30:00.000");
  EXPECT_EQ(FormatSexagesimal(18.697374558), "18:41:50.548");
  EXPECT_EQ(FormatSexagesimal(1.0 - 1e-9), "1:00:00.000");
}

}  // namespace
}  // namespace orv
