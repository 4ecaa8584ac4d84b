// Every day of a day table carries a lunar date, from its first slot
// (November 1 of the year before, ahead of the first listed new moon) to its
// last (early June of the year after, past the last listed one), and those
// dates are the Korean calendar of the Korea Astronomy and Space Science
// Institute (npm korean-lunar-calendar 0.4.0, tests/data/kasi_months_1900_2050.csv)
// and the dates the tables of the neighbouring years give the same days.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "lunar_calendar_reference.h"
#include "lunisolar/tail_events.h"
#include "lunisolar/terms.h"
#include "lunisolar_fixture.h"

namespace orv {
namespace {

std::string Text(int y, int m, int d, int leap) {
  char text[48];
  std::snprintf(text, sizeof text, "%d-%02d-%02d%s", y, m, d, leap ? " leap" : "");
  return text;
}

TEST(DayTableEnds, EveryDayOfEveryTableIsTheKoreanCalendar) {
  // Tables 1913..2049 lie inside the reference (lunar months from 1900 to
  // 2050) and after the month that straddles 1912 (see test_lunar_kasi.cpp).
  const auto reference = testing::LoadLunarMonths(ORVANTA_TEST_DATA "/kasi_months_1900_2050.csv");
  testing::CalendarFixture f;
  long compared = 0;
  std::vector<std::string> mismatches;
  for (int year = 1913; year <= 2049; ++year) {
    const YearTables& t = f.Prepare(year);
    for (int slot = 0; slot < t.DayTableCount; ++slot) {
      int y, m, d, ly, lm, ld;
      UnpackDate(t.DayTable[slot].solarDate, y, m, d);
      UnpackDate(t.DayTable[slot].lunarDate, ly, lm, ld);
      const auto it = reference.find(static_cast<long>(CalendarToJulianDay(y, m, d)));
      ASSERT_NE(it, reference.end()) << y << "-" << m << "-" << d;
      const testing::LunarDay& want = it->second;
      ++compared;
      if (ly != want.year || lm != want.month || ld != want.day || t.DayTable[slot].leap != want.leap)
        mismatches.push_back("table " + std::to_string(year) + ", " + Text(y, m, d, 0) + ": got " +
                             Text(ly, lm, ld, t.DayTable[slot].leap) + ", want " +
                             Text(want.year, want.month, want.day, want.leap));
    }
  }
  EXPECT_EQ(compared, 137L * 585L);
  std::string report;
  for (size_t i = 0; i < mismatches.size() && i < 40; ++i) report += mismatches[i] + "\n";
  EXPECT_TRUE(mismatches.empty()) << mismatches.size() << " days differ:\n" << report;
}

// Under every time system and both Delta T families: every slot numbered,
// and the days a table shares with the next year's table carry the same
// lunar dates in both (each table computed afresh).
TEST(DayTableEnds, NeighbouringTablesAgreeUnderEverySetting) {
  struct Row {
    int timeSystem, deltaT;
  } rows[] = {{kTimeST, kDeltaTHorizons}, {kTimeST, kDeltaTNasa}, {kTimeUT, kDeltaTNasa},
              {kTimeTT, kDeltaTHorizons}};
  for (const Row& row : rows) {
    for (int year : {-500, 1000, 1582, 2033, 2500}) {
      std::map<long, PackedDate> lunar;
      std::map<long, int> leap;
      for (int y : {year, year + 1}) {
        testing::CalendarFixture f;
        f.settings.TimeSystemCode = row.timeSystem;
        f.settings.DeltaTModelCode = row.deltaT;
        UpdateZoneOffset(f.settings);
        const YearTables& t = f.Prepare(y);
        for (int slot = 0; slot < t.DayTableCount; ++slot) {
          const DayRecord& r = t.DayTable[slot];
          ASSERT_NE(r.lunarDate, 0) << "table " << y << ", slot " << slot;
          ASSERT_TRUE(r.monthLength == 29 || r.monthLength == 30) << "table " << y << ", slot " << slot;
          const long key = static_cast<long>(PackedDateToJulianDay(r.solarDate));
          const auto it = lunar.find(key);
          if (it != lunar.end()) {
            EXPECT_EQ(it->second, r.lunarDate) << "time " << row.timeSystem << ", table " << y << ", slot " << slot;
            EXPECT_EQ(leap[key], r.leap) << "time " << row.timeSystem << ", table " << y << ", slot " << slot;
          }
          lunar[key] = r.lunarDate;
          leap[key] = r.leap;
        }
      }
    }
  }
}

TEST(DayTableEnds, ThePlaceOfTheTablesNumbersEveryDay) {
  // A year prepared at Beijing of the Ming and Qing (116.432 E) numbers every
  // day of its table to the last one, the events past the lists included, as
  // at Seoul; 2006 and 2007 hold the new moon of 2007-02-17 within a second
  // of Beijing's midnight (23:59:59.8).
  for (int year : {1700, 1990, 2006, 2007, 2024, 2027}) {
    testing::CalendarFixture beijing(1);
    const YearTables& t = beijing.Prepare(year);
    for (int slot = 0; slot < t.DayTableCount; ++slot)
      ASSERT_NE(t.DayTable[slot].lunarDate, 0) << year << " slot " << slot;
  }
}

}  // namespace
}  // namespace orv
