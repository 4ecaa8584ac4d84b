// The event searches: the crossing and sign-change searches on their own, the
// term and syzygy lists against the exact crossings of the same longitude
// functions and against the lists of earlier versions (tests/data/
// events_1900_2100.csv, made by tools/make-event-fixture.sh with the 0.01 s
// bisection searches), paging from a neighbouring year, the prepared-year
// cache and searches that cannot converge.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/core/reports/calendar_texts.h"
#include "ephemeris/search.h"
#include "ephemeris/sunmoon.h"
#include "lunisolar/prepare.h"
#include "lunisolar/terms.h"
#include "lunisolar_fixture.h"

namespace orv {
namespace {

using testing::CalendarFixture;

constexpr double kSecondDays = 1.0 / 86400.0;
constexpr double kMillisecondDays = 1e-3 * kSecondDays;

// ------------------------------------------------------------ the searches

TEST(FindCrossing, ReachesTheCrossingOfSmoothIncreasingFunctionsInFewSteps) {
  // A mean rate with a periodic part, like the solar longitude and the
  // elongation: f(t) = rate (t - root) + amplitude sin(2 pi (t - root) / period).
  struct Case {
    double rate, amplitude, periodDays, guessError;
  } cases[] = {{0.9856, 1.9, 365.25, 2.5}, {0.9856, 1.9, 365.25, -2.5}, {12.19, 6.3, 27.55, 0.7},
               {12.19, 6.3, 27.55, -0.7}, {12.19, 6.3, 27.55, 0.0}};
  const CrossingSearch sunLike{0.9, 1.1, 0.9856, 1e-9, 16};
  const CrossingSearch moonLike{9.0, 16.5, 12.19, 1e-9, 16};
  for (const Case& c : cases) {
    const double root = 2460000.123456789;
    const auto f = [&](double t) {
      return c.rate * (t - root) + c.amplitude * std::sin(2.0 * M_PI * (t - root) / c.periodDays) *
                                       (c.periodDays / (2.0 * M_PI)) * 0.03;
    };
    const Crossing x = FindCrossing(f, root + c.guessError, c.rate < 2.0 ? sunLike : moonLike);
    ASSERT_TRUE(x.found) << c.rate << " " << c.guessError;
    EXPECT_NEAR(x.jd, root, kMillisecondDays) << c.rate << " " << c.guessError;
    EXPECT_LE(x.evaluations, 6) << c.rate << " " << c.guessError;
    // The same guess gives the same instant, bit for bit.
    EXPECT_EQ(FindCrossing(f, root + c.guessError, c.rate < 2.0 ? sunLike : moonLike).jd, x.jd);
  }
}

TEST(FindCrossing, ReportsFailureInsteadOfLooping) {
  const CrossingSearch s{0.9, 1.1, 1.0, 1e-9, 12};
  int calls = 0;
  const Crossing nan = FindCrossing([&](double) { ++calls; return std::nan(""); }, 2451545.0, s);
  EXPECT_FALSE(nan.found);
  EXPECT_EQ(calls, 1);
  // A function whose rate breaks the bounds: the bracket empties, or the
  // steps run out; either way the search stops.
  calls = 0;
  const Crossing wild =
      FindCrossing([&](double t) { ++calls; return std::sin(1e3 * t) + 2.0; }, 2451545.0, s);
  EXPECT_FALSE(wild.found);
  EXPECT_LE(calls, s.maxEvaluations);
  const Crossing infinite = FindCrossing([](double) { return 1.0; }, 1e300, s);
  EXPECT_FALSE(infinite.found);
}

TEST(FindCrossing, LocatesAJumpOverZero) {
  // The long-term Delta T parabola is taken per whole year: before -3000 it
  // steps by half a minute at each new year, and the elongation with it by
  // 0.004 deg. Across such a step the function may never equal zero; the
  // crossing is then the step itself.
  const CrossingSearch s{9.0, 16.5, 12.19, 1e-9, 16};
  const double jump = 2451545.3;
  for (double before : {-0.001, -0.004}) {
    const auto f = [&](double t) { return t < jump ? before + 12.19 * (t - jump) : 0.003 + 12.19 * (t - jump); };
    const Crossing x = FindCrossing(f, jump + 0.4, s);
    ASSERT_TRUE(x.found) << before;
    EXPECT_NEAR(x.jd, jump, 1e-9) << before;
    EXPECT_LE(x.evaluations, 16 + 64);
  }
}

TEST(SearchSignChange, FindsTheCrossingWithinTheToleranceOrNone) {
  struct Case {
    double root, start, end;
  } cases[] = {{0.3, 0.0, 0.5}, {0.3, 0.5, 0.0}, {0.01, 0.0, 0.25}, {0.2, 0.0, 0.2083}};
  for (const Case& c : cases) {
    int calls = 0;
    // Rising through zero towards `end`, faster and faster like a limb.
    const auto g = [&](double t) {
      ++calls;
      return std::sinh(4.0 * (t - c.root)) * (c.end > c.start ? 1.0 : -1.0);
    };
    const std::optional<double> x = SearchSignChange(g, c.start, c.end, kHundredthSecondDays, 0.0);
    ASSERT_TRUE(x.has_value()) << c.root;
    EXPECT_NEAR(*x, c.root, kHundredthSecondDays) << c.root;
    // Bisection of these windows to 0.01 s takes 21.
    EXPECT_LE(calls, 20) << c.root;
  }
  // No sign change: no crossing, with or without a margin.
  const auto never = [](double t) { return 1.0 + t * t; };
  EXPECT_FALSE(SearchSignChange(never, 0.0, 0.25, kHundredthSecondDays, kTenthSecondDays).has_value());
  EXPECT_FALSE(SearchSignChange(never, 0.0, 0.25, kHundredthSecondDays, 0.0).has_value());
  // A crossing at the end of the window counts as none when a margin is asked.
  EXPECT_FALSE(
      SearchSignChange([](double t) { return t - 0.25; }, 0.0, 0.25, kHundredthSecondDays, kTenthSecondDays).has_value());
  // A crossing at JD 0 is an instant like any other (-4712-01-01 12:00).
  const std::optional<double> atZero =
      SearchSignChange([](double t) { return t; }, -0.25, 0.25, kHundredthSecondDays, kTenthSecondDays);
  ASSERT_TRUE(atZero.has_value());
  EXPECT_NEAR(*atZero, 0.0, kHundredthSecondDays);
}

// --------------------------------------------------- lists and their settings

// Settings under which the lists are checked: the time systems.
struct SettingsCase {
  const char* name;
  int timeSystem;
};
constexpr SettingsCase kSettingsCases[] = {{"ST", kTimeST}, {"TT", kTimeTT}, {"UT", kTimeUT}};

std::unique_ptr<CalendarFixture> FixtureFor(const SettingsCase& c) {
  auto f = std::make_unique<CalendarFixture>();
  f->settings.TimeSystemCode = c.timeSystem;
  UpdateZoneOffset(f->settings);
  return f;
}

// The exact crossing of the same longitude function by bisection to 1e-12
// day, around `jd`.
double ExactCrossing(EngineContext& ctx, bool sun, double targetDeg, double jd) {
  const auto f = [&](double t) {
    const double v = sun ? SunMoonLongitude(ctx, kBodySun, t, kResultSunLongitude)
                         : SunMoonLongitude(ctx, kBodySunAndMoon, t, kResultElongation);
    return std::remainder(v - targetDeg, 360.0);
  };
  double lo = jd - 120.0 * kSecondDays, hi = jd + 120.0 * kSecondDays;
  EXPECT_LT(f(lo), 0.0);
  EXPECT_GT(f(hi), 0.0);
  for (int i = 0; i < 60 && hi - lo > 1e-12; ++i) {
    const double mid = 0.5 * (lo + hi);
    (f(mid) < 0.0 ? lo : hi) = mid;
  }
  return 0.5 * (lo + hi);
}

TEST(EventLists, ListedSecondsStayInTheMinuteThatHoldsTheEvent) {
  // About one event in 120 falls in the last half second of its minute; its
  // record keeps that minute (the day and the month change from it) with
  // 59 s, never 60, and the refined instant still lies in that minute.
  CalendarFixture f;
  int lateInMinute = 0;
  for (int year = 1990; year <= 2060; ++year) {
    const YearTables& t = f.Prepare(year);
    auto check = [&](PackedDate date, PackedTime time, int seconds, bool sun, double target) {
      EXPECT_GE(seconds, 0) << year;
      EXPECT_LE(seconds, 59) << year;
      if (seconds != 59) return;
      ListedMinute e;
      UnpackDateTime(date, time, e.y, e.m, e.d, e.h, e.mi);
      const int minuteBefore = e.h * 60 + e.mi;
      const SyzygyKind kind = target == 360.0 ? SyzygyKind::kNewMoon : SyzygyKind::kFullMoon;
      const std::optional<RefinedMinute> s =
          sun ? RefineTermSeconds(*f.ctx, target, e) : RefineSyzygySeconds(*f.ctx, kind, e);
      ASSERT_TRUE(s.has_value()) << year;
      EXPECT_EQ(s->minute.h * 60 + s->minute.mi, minuteBefore) << year;
      if (s->seconds >= 59.5f) ++lateInMinute;
    };
    for (const SolarTermRecord& r : t.SolarTermList) {
      if (r.date == 0) break;
      check(r.date, r.time(), r.seconds, true, r.longitude);
    }
    for (const SyzygyRecord& r : t.SyzygyList) {
      if (r.date == 0) break;
      check(r.date, r.time(), r.seconds, false, r.isNewMoon() ? 360.0 : 180.0);
    }
  }
  EXPECT_GT(lateInMinute, 0) << "no event in the last half second of a minute: the case is not exercised";
}

TEST(EventLists, RefinedInstantsAreWithinAMillisecondOfTheExactCrossing) {
  for (const SettingsCase& sc : kSettingsCases) {
    auto f = FixtureFor(sc);
    for (int year : {1900, 1951, 2024, 2033, 2100}) {
      const YearTables& t = f->Prepare(year);
      const double zone = f->settings.ZoneOffsetDays;
      for (const SolarTermRecord& r : t.SolarTermList) {
        if (r.date == 0) break;
        ListedMinute e;
        UnpackDateTime(r.date, r.time(), e.y, e.m, e.d, e.h, e.mi);
        const std::optional<RefinedMinute> refined = RefineTermSeconds(*f->ctx, r.longitude, e);
        ASSERT_TRUE(refined.has_value()) << sc.name << " " << year << " term " << r.termIndex;
        const float s = refined->seconds;
        const auto [y, m, d, h, mi] = refined->minute;
        const double got = CalendarToJulianDay(y, m, d) + (h * 3600.0 + mi * 60.0 + s) / 86400.0 - zone;
        const double want = ExactCrossing(*f->ctx, true, r.longitude, got);
        EXPECT_NEAR((got - want) / kSecondDays, 0.0, 1e-3) << sc.name << " " << year << " term " << r.termIndex;
      }
      for (const SyzygyRecord& r : t.SyzygyList) {
        if (r.date == 0) break;
        ListedMinute e;
        UnpackDateTime(r.date, r.time(), e.y, e.m, e.d, e.h, e.mi);
        const std::optional<RefinedMinute> refined =
            RefineSyzygySeconds(*f->ctx, r.isNewMoon() ? SyzygyKind::kNewMoon : SyzygyKind::kFullMoon, e);
        ASSERT_TRUE(refined.has_value()) << sc.name << " " << year << " syzygy";
        const float s = refined->seconds;
        const auto [y, m, d, h, mi] = refined->minute;
        // float seconds: 2e-6 s of rounding at most.
        const double got = CalendarToJulianDay(y, m, d) + (h * 3600.0 + mi * 60.0 + s) / 86400.0 - zone;
        const double want = ExactCrossing(*f->ctx, false, r.isNewMoon() ? 360.0 : 180.0, got);
        EXPECT_NEAR((got - want) / kSecondDays, 0.0, 1e-3) << sc.name << " " << year << " syzygy";
      }
    }
  }
}

// The fixture: year -> lines "event,datetime" in list order.
std::map<int, std::vector<std::string>> ReadEventFixture() {
  std::ifstream in(std::string(ORVANTA_TEST_DATA) + "/events_1900_2100.csv");
  std::map<int, std::vector<std::string>> out;
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    const size_t comma = line.find(',');
    out[std::stoi(line.substr(0, comma))].push_back(line.substr(comma + 1));
  }
  return out;
}

// "Y-MM-DD hh:mm:ss.ss" to seconds from an arbitrary origin (days by the
// Julian Day; the seconds may read 60.xx).
double FixtureSeconds(const std::string& datetime) {
  int y, mo, d, h, mi;
  double s;
  EXPECT_EQ(std::sscanf(datetime.c_str(), "%d-%d-%d %d:%d:%lf", &y, &mo, &d, &h, &mi, &s), 6) << datetime;
  return (CalendarToJulianDay(y, mo, d) - 2400000.5) * 86400.0 + h * 3600.0 + mi * 60.0 + s;
}

// The year's events as the fixture lines, from the CSV texts.
std::vector<std::string> EventLines(EngineContext& ctx, const YearTables& t, int year) {
  std::vector<std::string> out;
  std::istringstream terms(SolarTermsCsv(ctx, t, year));
  std::string line;
  std::getline(terms, line);
  while (std::getline(terms, line)) {
    // index,longitude,name,datetime,jd
    std::vector<std::string> f;
    std::istringstream fields(line);
    for (std::string x; std::getline(fields, x, ',');) f.push_back(x);
    out.push_back("T" + f[0] + "," + f[3]);
  }
  std::istringstream syzygies(SyzygiesCsv(ctx, t, year));
  std::getline(syzygies, line);
  while (std::getline(syzygies, line)) {
    const size_t a = line.find(','), b = line.find(',', a + 1);
    out.push_back(line.substr(0, a) + "," + line.substr(a + 1, b - a - 1));
  }
  return out;
}

void ExpectSameLists(const YearTables& got, const YearTables& want, const std::string& what) {
  for (int i = 0; i < YearTables::kListCapacity; ++i) {
    const SolarTermRecord& a = got.SolarTermList[i];
    const SolarTermRecord& b = want.SolarTermList[i];
    EXPECT_TRUE(a.date == b.date && a.termIndex == b.termIndex && a.time() == b.time() && a.seconds == b.seconds)
        << what << " term record " << i;
    const SyzygyRecord& c = got.SyzygyList[i];
    const SyzygyRecord& d = want.SyzygyList[i];
    EXPECT_TRUE(c.date == d.date && c.newMoonTime == d.newMoonTime && c.fullMoonTime == d.fullMoonTime &&
                c.seconds == d.seconds)
        << what << " syzygy record " << i;
  }
  for (int i = 0; i < YearTables::kDaySlots; ++i)
    EXPECT_TRUE(got.DayTable[i].lunarDate == want.DayTable[i].lunarDate &&
                got.DayTable[i].leap == want.DayTable[i].leap &&
                got.DayTable[i].monthLength == want.DayTable[i].monthLength)
        << what << " day slot " << i;
}

TEST(EventLists, KeepEveryEventOfEarlierVersionsWithinTheirBisectionError) {
  // The earlier searches stopped within 0.0092 s before the crossing and the
  // text rounds to 0.01 s: each time may now read up to 0.01 s later.
  const auto fixture = ReadEventFixture();
  ASSERT_EQ(fixture.size(), 201u);
  CalendarFixture f;
  int changed = 0;
  for (const auto& [year, want] : fixture) {
    const std::vector<std::string> got = EventLines(*f.ctx, f.Prepare(year), year);
    ASSERT_EQ(got.size(), want.size()) << year;
    for (size_t i = 0; i < got.size(); ++i) {
      const size_t a = got[i].find(','), b = want[i].find(',');
      ASSERT_EQ(got[i].substr(0, a), want[i].substr(0, b)) << year;
      const double later = FixtureSeconds(got[i].substr(a + 1)) - FixtureSeconds(want[i].substr(b + 1));
      EXPECT_GE(later, -0.0005) << year << " got " << got[i] << " want " << want[i];
      EXPECT_LE(later, 0.0105) << year << " got " << got[i] << " want " << want[i];
      if (got[i] != want[i]) ++changed;
    }
  }
  // About half of the times move by the last digit; every other character stays.
  EXPECT_LT(changed, 6000);
}

TEST(EventLists, PagingGivesTheFreshListsEveryYearInBothDirections) {
  CalendarFixture forward, backward, fresh;
  forward.Prepare(1899);
  for (int year = 1900; year <= 2100; ++year) {
    forward.Prepare(year);
    fresh.tables->Prepared = false;
    fresh.Prepare(year);
    ExpectSameLists(*forward.tables, *fresh.tables, "forward " + std::to_string(year));
    if (::testing::Test::HasFailure()) return;
  }
  backward.Prepare(2101);
  for (int year = 2100; year >= 1900; --year) {
    backward.Prepare(year);
    fresh.tables->Prepared = false;
    fresh.Prepare(year);
    ExpectSameLists(*backward.tables, *fresh.tables, "backward " + std::to_string(year));
    if (::testing::Test::HasFailure()) return;
  }
}

TEST(EventLists, PagingGivesTheFreshListsUnderEveryTimeSystem) {
  for (const SettingsCase& sc : kSettingsCases) {
    auto paged = FixtureFor(sc), fresh = FixtureFor(sc);
    for (int year : {1992, 2003, 2022, 2030}) {
      for (int from : {year - 1, year + 1}) {
        paged->tables->Prepared = false;
        paged->Prepare(from);
        paged->Prepare(year);
        fresh->tables->Prepared = false;
        fresh->Prepare(year);
        ExpectSameLists(*paged->tables, *fresh->tables,
                        std::string(sc.name) + " " + std::to_string(year) + " from " + std::to_string(from));
      }
    }
  }
}

TEST(EventLists, LinearSteppingFindsTheSameEventsAndPagesLikeAFreshYear) {
  // TermSearchBisection 0 with any TermSearchStepSeconds (the file's linear
  // stepping) finds every event with the crossing search like 1.
  for (int stepSeconds : {20, 60}) {
    CalendarFixture stepped, paged, crossing;
    stepped.settings.TermSearchBisection = 0;
    stepped.settings.TermSearchStepSeconds = stepSeconds;
    paged.settings = stepped.settings;
    for (int year : {1950, 2024}) {
      stepped.tables->Prepared = false;
      const YearTables& s = stepped.Prepare(year);
      const YearTables& c = crossing.Prepare(year);
      for (int i = 0; i < YearTables::kListCapacity; ++i) {
        const std::string what = std::to_string(stepSeconds) + " s, " + std::to_string(year) + " record " +
                                 std::to_string(i);
        ASSERT_EQ(s.SolarTermList[i].date, c.SolarTermList[i].date) << what;
        ASSERT_EQ(s.SyzygyList[i].date, c.SyzygyList[i].date) << what;
        if (s.SolarTermList[i].date == 0) continue;
        ASSERT_EQ(s.SolarTermList[i].termIndex, c.SolarTermList[i].termIndex) << what;
        // The interpolation over a step is good to far below a second.
        const auto seconds = [](PackedTime t, int s) { return (t / 100) * 3600 + (t % 100) * 60 + s; };
        EXPECT_LE(std::abs(seconds(s.SolarTermList[i].time(), s.SolarTermList[i].seconds) -
                           seconds(c.SolarTermList[i].time(), c.SolarTermList[i].seconds)),
                  1)
            << what;
        if (s.SyzygyList[i].date == 0) continue;
        EXPECT_LE(std::abs(seconds(s.SyzygyList[i].time(), s.SyzygyList[i].seconds) -
                           seconds(c.SyzygyList[i].time(), c.SyzygyList[i].seconds)),
                  1)
            << what;
      }
      paged.tables->Prepared = false;
      paged.Prepare(year - 1);
      paged.Prepare(year);
      ExpectSameLists(*paged.tables, s, "stepping, paged to " + std::to_string(year));
    }
  }
}

TEST(EventLists, YearsWhereDeltaTStepsAtTheNewYearArePrepared) {
  // -3400 and -4400: a new moon falls on a step of Delta T under standard time.
  for (int year : {-4400, -3400, -2000, 5000, 9900}) {
    CalendarFixture f;
    EXPECT_TRUE(PrepareYear(*f.ctx, *f.tables, year, f.options)) << year;
    EXPECT_NE(f.tables->SyzygyList[24].date, 0) << year;
    EXPECT_NE(f.tables->SolarTermList[24].date, 0) << year;
  }
}

TEST(EventLists, ASearchThatCannotSucceedEndsAndSaysSo) {
  // A Delta T of 1e50 s puts TT out of any ephemeris: the values are not
  // finite and the searches give up at once.
  for (double deltaT : {1e50, 1e300}) {
    CalendarFixture f;
    f.settings.DeltaTModelCode = kDeltaTUser;
    f.settings.UserDeltaT = deltaT;
    EXPECT_FALSE(PrepareYear(*f.ctx, *f.tables, 2024, f.options)) << deltaT;
    EXPECT_FALSE(RefineTermSeconds(*f.ctx, 360.0, ListedMinute{2024, 3, 20, 12, 6}).has_value())
        << deltaT;  // returns, and says so
  }
}

// --------------------------------------------------------------- the cache

TEST(YearCache, GivesTheYearAsComputedAndOnlyUnderTheSameSettings) {
  CalendarFixture f, reference;
  YearCache cache;
  f.cache = &cache;
  f.Prepare(2024);
  f.Prepare(1700);
  ASSERT_TRUE(f.Prepare(2024).Prepared);
  reference.Prepare(2024);
  ExpectSameLists(*f.tables, *reference.tables, "cached 2024");
  EXPECT_EQ(f.tables->LoadedYear, 2024);

  YearTables probe;
  EXPECT_TRUE(cache.Find(1700, f.settings, f.options, probe));
  EXPECT_EQ(probe.LoadedYear, 1700);
  // Another zone, time system, Delta T or lunar option: not the same lists.
  CalcSettings other = f.settings;
  other.ZoneOffsetDays += 1.0 / 24.0;
  EXPECT_FALSE(cache.Find(1700, other, f.options, probe));
  other = f.settings;
  other.TimeSystemCode = kTimeUT;
  EXPECT_FALSE(cache.Find(1700, other, f.options, probe));
  other = f.settings;
  other.UserDeltaT += 1.0;
  other.DeltaTModelCode = kDeltaTUser;
  EXPECT_FALSE(cache.Find(1700, other, f.options, probe));
  LunarBuildOptions historical = f.options;
  historical.historicalCorrection = true;
  EXPECT_FALSE(cache.Find(1700, f.settings, historical, probe));
  // The place outside the list settings does not matter.
  other = f.settings;
  other.PlaceIndex = 34;
  EXPECT_TRUE(cache.Find(1700, other, f.options, probe));
  EXPECT_EQ(probe.PreparedWith.PlaceIndex, 34);
}

TEST(YearCache, KeepsTheMostRecentlyUsedYears) {
  CalendarFixture f;
  YearCache cache;
  f.cache = &cache;
  for (int year = 2000; year < 2000 + YearCache::kCapacity; ++year) f.Prepare(year);
  YearTables probe;
  ASSERT_TRUE(cache.Find(2000, f.settings, f.options, probe));  // 2000 is now the most recent
  f.Prepare(1990);                                              // replaces 2001
  EXPECT_TRUE(cache.Find(2000, f.settings, f.options, probe));
  EXPECT_FALSE(cache.Find(2001, f.settings, f.options, probe));
  EXPECT_TRUE(cache.Find(1990, f.settings, f.options, probe));
  cache.Clear();
  EXPECT_FALSE(cache.Find(1990, f.settings, f.options, probe));
}

}  // namespace
}  // namespace orv
