// Sweep over every 50th year of each ephemeris range (PLAN404 -4999..10000,
// and the span of the build's DE405 file): every year prepares without a
// crash, a hang or a non-finite instant, its lists are in order, every lunar
// month is 29 or 30 days long and every day of the day table carries a lunar
// date. The facts checked are those of the calendar itself: terms 14-17 days
// apart (the Sun's motion is 0.95-1.02 degrees a day), syzygies 13.5-15.9
// days apart (half the mean synodic month, 14.77 days, moved by the Moon's
// and the Earth's unequal motions by less than a day either way; measured
// over this sweep about 13.9-15.6).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/core/files/files.h"
#include "ephemeris/jpl_reader.h"
#include "lunisolar/prepare.h"
#include "lunisolar/year_tables.h"
#include "time/dates.h"

namespace orv {
namespace {

constexpr int kStepYears = 50;
constexpr int kPlan404FirstSweepYear = -4999;
constexpr int kPlan404LastSweepYear = 10000;
// Days between consecutive solar terms and between a syzygy and the next.
constexpr double kMinTermGapDays = 14.0, kMaxTermGapDays = 17.0;
constexpr double kMinSyzygyGapDays = 13.5, kMaxSyzygyGapDays = 15.9;
constexpr double kMinutesPerDay = 1440.0;

// Julian Day of a list record's date and packed time (hour * 100 + minute).
double RecordInstant(PackedDate date, PackedTime time, int seconds) {
  int hour, minute;
  UnpackTime(time, hour, minute);
  return PackedDateToJulianDay(date) + (hour * 60 + minute) / kMinutesPerDay + seconds / 86400.0;
}

struct Setting {
  const char* name;
  int timeSystem;
  int deltaTModel;
};

// Checks one prepared year; the failures name the year and the setting.
void CheckYear(const YearTables& t, int year, const std::string& what) {
  SCOPED_TRACE(what + " year " + std::to_string(year));
  ASSERT_TRUE(t.Prepared);
  ASSERT_EQ(t.LoadedYear, year);

  // Terms and syzygies: finite, in order, at the right distances.
  double previous = 0.0;
  int terms = 0;
  for (const SolarTermRecord& r : t.SolarTermList) {
    if (r.date == 0) break;
    const double jd = RecordInstant(r.date, r.time(), r.seconds);
    ASSERT_TRUE(std::isfinite(jd));
    if (terms > 0) {
      EXPECT_GE(jd - previous, kMinTermGapDays) << "term " << terms;
      EXPECT_LE(jd - previous, kMaxTermGapDays) << "term " << terms;
    }
    previous = jd;
    ++terms;
  }
  EXPECT_GE(terms, 24);
  int syzygies = 0;
  bool lastNew = false;
  for (const SyzygyRecord& r : t.SyzygyList) {
    if (r.date == 0) break;
    const double jd = RecordInstant(r.date, r.time(), r.seconds);
    ASSERT_TRUE(std::isfinite(jd));
    if (syzygies > 0) {
      EXPECT_GE(jd - previous, kMinSyzygyGapDays) << "syzygy " << syzygies;
      EXPECT_LE(jd - previous, kMaxSyzygyGapDays) << "syzygy " << syzygies;
      EXPECT_NE(r.isNewMoon(), lastNew) << "syzygy " << syzygies << " does not alternate";
    }
    lastNew = r.isNewMoon();
    previous = jd;
    ++syzygies;
  }
  EXPECT_GE(syzygies, 24);

  // The day table: consecutive civil days; lunar months of 29 or 30 days,
  // each day one more than the day before.
  ASSERT_GT(t.DayTableCount, 365);
  int runStart = -1;
  for (int i = 0; i < t.DayTableCount; ++i) {
    const DayRecord& d = t.DayTable[i];
    if (i > 0) {
      ASSERT_EQ(PackedDateToJulianDay(d.solarDate) - PackedDateToJulianDay(t.DayTable[i - 1].solarDate), 1.0)
          << "slot " << i;
    }
    if (d.lunarDate == 0) continue;
    EXPECT_TRUE(d.monthLength == 29 || d.monthLength == 30) << "slot " << i << " month of " << d.monthLength;
    int ly, lm, ld;
    UnpackDate(d.lunarDate, ly, lm, ld);
    EXPECT_GE(lm, 1);
    EXPECT_LE(lm, 12);
    EXPECT_GE(ld, 1);
    EXPECT_LE(ld, d.monthLength) << "slot " << i;
    if (ld == 1) {
      if (runStart >= 0) {
        const int length = i - runStart;
        EXPECT_TRUE(length == 29 || length == 30) << "month ending at slot " << i << " has " << length << " days";
        EXPECT_EQ(length, t.DayTable[i - 1].monthLength) << "slot " << i;
      }
      runStart = i;
    } else if (i > 0 && t.DayTable[i - 1].lunarDate != 0) {
      int py, pm, pd;
      UnpackDate(t.DayTable[i - 1].lunarDate, py, pm, pd);
      EXPECT_EQ(ld, pd + 1) << "slot " << i;
    }
  }
}

// Every day of the table has its lunar date (the lists reach past its last day).
void CheckFullyNumbered(const YearTables& t, int year, const std::string& what) {
  int unnumbered = 0, first = -1;
  for (int i = 0; i < t.DayTableCount; ++i)
    if (t.DayTable[i].lunarDate == 0 && unnumbered++ == 0) first = i;
  EXPECT_EQ(unnumbered, 0) << what << " year " << year << ": " << unnumbered << " days without a lunar date from "
                           << (first >= 0 ? std::to_string(t.DayTable[first].solarDate) : "");
}

std::vector<int> SweepYears(int first, int last) {
  std::vector<int> years;
  for (int y = first; y <= last; y += kStepYears) years.push_back(y);
  if (years.back() != last) years.push_back(last);
  return years;
}

// Settings under which the tables change: the time system and the Delta T
// family. Every 50th year under the default; every 250th under the others.
const Setting kSettings[] = {
    {"ST/Horizons", kTimeST, 0},
    {"UT/NASA", kTimeUT, kDeltaTNasa},
    {"TT/Horizons-NASA", kTimeTT, kDeltaTHorizonsNasa},
};

template <class Check>
void SweepPlan404(Check&& check) {
  const std::vector<int> years = SweepYears(kPlan404FirstSweepYear, kPlan404LastSweepYear);
  for (size_t s = 0; s < std::size(kSettings); ++s) {
    CalcSettings settings = DefaultSettings();
    settings.TimeSystemCode = kSettings[s].timeSystem;
    if (kSettings[s].deltaTModel != 0) settings.DeltaTModelCode = kSettings[s].deltaTModel;
    UpdateZoneOffset(settings);
    Observer observer;
    EngineContext ctx(settings, observer);
    for (size_t i = 0; i < years.size(); ++i) {
      if (s > 0 && i % 5 != 0) continue;
      YearTables tables;
      PrepareYear(ctx, tables, years[i], LunarBuildOptions{});
      check(tables, years[i], std::string("PLAN404 ") + kSettings[s].name);
    }
  }
}

TEST(SweepSlow, EveryFiftiethPlan404YearPrepares) {
  SweepPlan404([](const YearTables& t, int year, const std::string& what) { CheckYear(t, year, what); });
}

TEST(SweepSlow, EveryFiftiethPlan404YearIsFullyNumbered) {
  SweepPlan404([](const YearTables& t, int year, const std::string& what) { CheckFullyNumbered(t, year, what); });
}

// Every 50th year of the DE405 file's span, read as the program reads a JPL
// file (the DE441 code with the file open).
template <class Check>
void SweepJplFile(Check&& check) {
  if (!FileExists(ORVANTA_DE405_PATH)) GTEST_SKIP() << "no DE405 file in this build";
  JplEphemeris eph;
  ASSERT_TRUE(eph.OpenFile(ORVANTA_DE405_PATH));
  JplOpenEphemeris(eph, 405);
  const int firstYear = JulianDayToCivilDate(eph.header.Span[0]).year;
  const int lastYear = JulianDayToCivilDate(eph.header.Span[1]).year;
  // A year's tables reach from November of the year before to June of the
  // year after (and the searches a few weeks beyond).
  const int first = (firstYear + 2 + kStepYears - 1) / kStepYears * kStepYears;
  CalcSettings settings = DefaultSettings();
  settings.EphemerisCode = kEphemerisDe441;
  Observer observer;
  EngineContext ctx(settings, observer);
  ctx.jpl = &eph;
  for (int year : SweepYears(first, lastYear - 2)) {
    YearTables tables;
    PrepareYear(ctx, tables, year, LunarBuildOptions{});
    check(tables, year, "DE405");
  }
}

TEST(SweepSlow, EveryFiftiethYearOfTheJplFilePrepares) {
  SweepJplFile([](const YearTables& t, int year, const std::string& what) { CheckYear(t, year, what); });
}

TEST(SweepSlow, EveryFiftiethYearOfTheJplFileIsFullyNumbered) {
  SweepJplFile([](const YearTables& t, int year, const std::string& what) { CheckFullyNumbered(t, year, what); });
}

}  // namespace
}  // namespace orv
