// The computed lunar calendar against the Korean calendar published by the
// Korea Astronomy and Space Science Institute (npm korean-lunar-calendar
// 0.4.0; tests/data/kasi_months_1900_2050.csv made by
// tools/reference/gen_kasi_months.js). Seoul, standard time (UTC+9), PLAN404,
// no historical correction: every day of 1912..2050 must carry the same lunar
// year, month, day and leap flag.
//
// One month cannot agree: lunar month 11 of 1911 began on 1911-12-20 in the
// calendar of the time, which was reckoned for a meridian west of 135E (the
// new moon fell at 1911-12-20 15:40 UT: 00:40 on December 21 at UTC+9, 23:40
// on December 20 at UTC+8). Its days in January 1912 (1912-01-01..18) belong
// to lunar year 1911 and come out right with the historical correction, which
// covers the calendars up to 1911; here they are one lunar day behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "lunar_calendar_reference.h"
#include "lunisolar_fixture.h"

namespace orv {
namespace {

TEST(LunarCalendarKasi, EveryDayOf1912To2050) {
  const auto reference = testing::LoadLunarMonths(ORVANTA_TEST_DATA "/kasi_months_1900_2050.csv");
  ASSERT_GT(reference.size(), 50000u);
  testing::CalendarFixture f;
  int compared = 0, explainedDays = 0;
  std::vector<std::string> mismatches;
  for (int year = 1912; year <= 2050; ++year) {
    const YearTables& t = f.Prepare(year);
    for (int slot = 0; slot < t.DayTableCount; ++slot) {
      int y, m, d;
      UnpackDate(t.DayTable[slot].solarDate, y, m, d);
      if (y != year) continue;
      const auto it = reference.find(static_cast<long>(CalendarToJulianDay(y, m, d)));
      ASSERT_NE(it, reference.end()) << y << "-" << m << "-" << d;
      const testing::LunarDay& want = it->second;
      int ly, lm, ld;
      UnpackDate(t.DayTable[slot].lunarDate, ly, lm, ld);
      ++compared;
      const bool explained = year == 1912 && m == 1 && d <= 18 && ly == 1911 && lm == 11 && ld + 1 == want.day;
      if (explained) {
        ++explainedDays;
        continue;
      }
      if (ly != want.year || lm != want.month || ld != want.day || t.DayTable[slot].leap != want.leap) {
        char line[160];
        std::snprintf(line, sizeof line, "%d-%02d-%02d: got %d-%02d-%02d%s, want %d-%02d-%02d%s", y, m, d, ly, lm,
                      ld, t.DayTable[slot].leap ? " leap" : "", want.year, want.month, want.day,
                      want.leap ? " leap" : "");
        mismatches.push_back(line);
      }
    }
  }
  EXPECT_EQ(compared, DaysBetween(1912, 1, 1, 2051, 1, 1));
  EXPECT_EQ(explainedDays, 18);
  std::string report;
  for (size_t i = 0; i < mismatches.size() && i < 40; ++i) report += mismatches[i] + "\n";
  EXPECT_TRUE(mismatches.empty()) << mismatches.size() << " days differ:\n" << report;
}

}  // namespace
}  // namespace orv
