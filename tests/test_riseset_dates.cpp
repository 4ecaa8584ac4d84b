// Rise, transit and set belong to the date asked for, in the zone of the
// place, at every place of the built-in table, on both sides of the date
// line (New Zealand at UTC+12, Samoa and Tonga at UTC+13, Chatham at
// UTC+12:45, Niue at UTC-11). The only outside fact used is the calendar:
// at standard time the civil day of a place runs from its midnight,
// meridian/15 hours before 0h UT.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/core/files/places.h"
#include "cli_runner.h"
#include "app/core/reports/eclipse_texts.h"
#include "eclipses/riseset.h"
#include "ephemeris/horizontal.h"
#include "ephemeris/search.h"
#include "ephemeris/sunmoon.h"
#include "time/dates.h"

namespace orv {
namespace {

struct LocalDate {
  int year, month, day;
};

// The local date of an instant at the zone shown.
LocalDate DateShown(const CalcSettings& settings, double jd) {
  const CivilDateTime t = JulianDayToCalendarTenths(jd + settings.ZoneOffsetDays);
  return {t.year, t.month, t.day};
}

bool Same(const LocalDate& a, const LocalDate& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day;
}

std::string Text(const LocalDate& d) {
  return std::to_string(d.year) + "-" + std::to_string(d.month) + "-" + std::to_string(d.day);
}

// Solstices and an equinox: the days when polar day or night is widest and
// when every place has both events.
const LocalDate kDates[] = {{2024, 6, 21}, {2024, 12, 21}, {2025, 3, 20}};

TEST(RiseSetDates, SunEventsOfEveryPlaceFallOnTheAskedLocalDate) {
  const PlaceTable table = BuiltInPlaceTable();
  ASSERT_GT(table.rows.size(), 100u);
  int dateLinePlaces = 0;
  for (int index = 0; index < static_cast<int>(table.rows.size()); ++index) {
    CalcSettings settings = DefaultSettings();
    Observer observer;
    ApplyPlace(settings, observer, table, index);
    EngineContext ctx(settings, observer);
    if (settings.ZoneOffsetDays >= 0.5f || settings.ZoneOffsetDays <= -0.45f) ++dateLinePlaces;
    for (const LocalDate& want : kDates) {
      const std::string where = table.rows[index].name + " on " + Text(want);
      const double jd0 = CalendarToJulianDay(want.year, want.month, want.day);
      const RiseSetInstants r = RiseSetTimes(ctx, kBodySun, jd0);
      EXPECT_TRUE(Same(DateShown(settings, r.transitJD), want))
          << where << ": transit on " << Text(DateShown(settings, r.transitJD));
      // An event missing is polar day or night: then both are missing.
      EXPECT_EQ(r.riseJD.has_value(), r.setJD.has_value()) << where;
      if (r.riseJD) {
        EXPECT_TRUE(Same(DateShown(settings, *r.riseJD), want))
            << where << ": rise on " << Text(DateShown(settings, *r.riseJD));
      }
      if (r.setJD) {
        // Beyond 60 degrees the midsummer Sun sets after local midnight
        // (Reykjavik about 0:04, Nome about 0:48 standard time): the set of
        // the day's transit, on the next date, within two hours of midnight.
        const double nextMidnight = jd0 + 1.0 - settings.ZoneOffsetDays;
        const bool lateSet = std::fabs(observer.LatitudeDeg) > 60.0 && *r.setJD >= nextMidnight &&
                             *r.setJD < nextMidnight + 2.0 * kHourDays;
        EXPECT_TRUE(Same(DateShown(settings, *r.setJD), want) || lateSet)
            << where << ": set on " << Text(DateShown(settings, *r.setJD));
      }
    }
  }
  // The table reaches both sides of the date line.
  EXPECT_GE(dateLinePlaces, 8);
}

// The Moon transits once in 24.8 hours: on the days it transits, the transit
// is on the asked date; on the day it skips, the highest point of the day is
// one of its ends. Rise and set may fall on the dates around it.
TEST(RiseSetDates, MoonTransitOfEveryPlaceIsInTheAskedLocalDay) {
  const PlaceTable table = BuiltInPlaceTable();
  for (int index = 0; index < static_cast<int>(table.rows.size()); index += 3) {
    CalcSettings settings = DefaultSettings();
    Observer observer;
    ApplyPlace(settings, observer, table, index);
    EngineContext ctx(settings, observer);
    const LocalDate want = kDates[index % 3];
    const double jd0 = CalendarToJulianDay(want.year, want.month, want.day);
    const RiseSetInstants r = RiseSetTimes(ctx, kBodyMoon, jd0);
    const double localMidnight = jd0 - settings.ZoneOffsetDays;
    EXPECT_GE(r.transitJD, localMidnight) << table.rows[index].name;
    EXPECT_LE(r.transitJD, localMidnight + 1.0) << table.rows[index].name;
    if (r.riseJD) {
      EXPECT_LT(*r.riseJD, r.transitJD);
    }
    if (r.setJD) {
      EXPECT_GT(*r.setJD, r.transitJD);
    }
  }
}

// The culmination search finds a transit in the first hour of its day (it
// used to bracket only from the second hour on and then took the next day's).
TEST(RiseSetDates, TransitInTheFirstHourOfTheDay) {
  // Under UT a place at longitude 172 E has its local noon about 0:30 UT.
  CalcSettings settings = DefaultSettings();
  settings.TimeSystemCode = kTimeUT;
  UpdateZoneOffset(settings);
  Observer observer;
  observer.LongitudeDeg = 172.0;
  observer.LatitudeDeg = -41.0;
  ObserverGeocentric(observer);
  EngineContext ctx(settings, observer);
  const double jd0 = CalendarToJulianDay(2024, 6, 21);
  const double t = CulminationInstant(ctx, kHorizontalSun, jd0);
  // Mean noon at 172 E: 12h - 172/15 h = 0.533 h; the equation of time on
  // 21 June is -1.7 min.
  EXPECT_NEAR((t - jd0) * 24.0, 0.533 + 1.7 / 60.0, 0.01);
  const RiseSetInstants r = RiseSetTimes(ctx, kBodySun, jd0);
  EXPECT_NEAR(r.transitJD, t, 1e-5);
}

// The command-line listing and the day report of the case: Wellington
// on 21 June 2024 (NZST, UTC+12).
TEST(RiseSetDates, WellingtonListingShowsTheDateAsked) {
  const PlaceTable table = BuiltInPlaceTable();
  int wellington = -1;
  for (int i = 0; i < static_cast<int>(table.rows.size()); ++i)
    if (table.rows[i].name.find("Wellington") != std::string::npos) wellington = i;
  ASSERT_GE(wellington, 0);
  CalcSettings settings = DefaultSettings();
  Observer observer;
  ApplyPlace(settings, observer, table, wellington);
  EngineContext ctx(settings, observer);
  const std::string csv = RiseSetCsv(ctx, "", 2024, 6, 21, kRiseSetSun);
  // Sunrise about 7:45 and sunset about 16:58 NZST on the shortest day.
  EXPECT_NE(csv.find("sun,2024-06-21 07:4"), std::string::npos) << csv;
  EXPECT_NE(csv.find(",2024-06-21 16:5"), std::string::npos) << csv;
}

// The command line and the day report at places on both sides of the date
// line (UTC+12, UTC+12:45, UTC+13 at 171.8 W, UTC-11): the Sun's rise and set
// of 21 June 2024 are dated 21 June.
TEST(RiseSetDates, CommandLineAndDayReportNearTheDateLine) {
  testing::TempDir dir;
  for (const char* place : {"34", "36", "38", "291"}) {
    const auto listing = testing::RunCli(std::string("riseset 2024-06-21 --body sun --place ") + place, dir.path());
    ASSERT_EQ(listing.status, 0) << listing.err;
    EXPECT_NE(listing.out.find("sun,2024-06-21 "), std::string::npos) << place << "\n" << listing.out;
    EXPECT_NE(listing.out.find(",2024-06-21 ", listing.out.find("sun,") + 5), std::string::npos)
        << place << "\n" << listing.out;
    const auto report = testing::RunCli(std::string("day 2024-06-21 --place ") + place, dir.path());
    ASSERT_EQ(report.status, 0) << report.err;
    EXPECT_NE(report.out.find("日出(양력): 21일 "), std::string::npos) << place;
    EXPECT_NE(report.out.find("日沒: 21일 "), std::string::npos) << place;
  }
}

}  // namespace
}  // namespace orv
