// The calendar as one value per civil day: what every face (the month grid,
// the "다가오는 날" list, printing, the iCalendar file, the holiday lists)
// reads instead of applying a calendar rule itself. A day knows its solar
// date, its lunar date in the place's calendar and in the Korean calendar,
// its sexagenary day, the solar terms and new and full moons that fall on it
// (with their minutes and whether an eclipse comes with them), its seasonal
// day, the public holidays and memorial days the law of its year names, and
// the user's anniversaries that fall on it.
//
// Korean holidays follow the Korean calendar wherever the place; lunar
// anniversaries follow it too unless the user abroad takes them by the
// place's own lunar calendar (AnniversaryCalendar::Local).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/core/anniversaries.h"
#include "app/core/files/memo.h"
#include "ephemeris/context.h"
#include "lunisolar/terms.h"
#include "lunisolar/year_tables.h"
#include "time/dates.h"

namespace orv {

// Which lunar calendar dates the lunar anniversaries.
enum class AnniversaryCalendar {
  Korean,  // the Korean calendar, at any place (the default)
  Local,   // the lunar calendar of the place shown
};
// "korean", "local" (command line).
const char* AnniversaryCalendarKey(AnniversaryCalendar calendar);
bool ParseAnniversaryCalendarKey(const std::string& key, AnniversaryCalendar& calendar);

struct LunarDay {
  int year = 0, month = 0, day = 0;  // month 0: the tables give the day no lunar date
  bool leap = false;
  int monthLength = 0;                // 29 or 30
  bool Known() const { return month != 0; }
};

// A solar term on its day; the minute is on the clock of the lists (the
// selected time system; standard time of the place for ST).
struct DayTerm {
  int termIndex = 0;  // 0 = 立春; even: sectional, odd: major
  ListedMinute minute;
};

struct DaySyzygy {
  bool newMoon = true;
  ListedMinute minute;
  bool screened = false; // the quick eclipse screening ran for it
  bool eclipse = false;  // it found an eclipse at this syzygy
};

enum class SeasonalDay { None, FirstDogDay, MiddleDogDay, LastDogDay, ColdFood, Dano };

struct DayHoliday {
  std::string key;   // rule key; substitutes: "substitute-<key>"
  std::string name;  // as the law of that year names it
  bool dayOff = true;
  bool substitute = false;
};

struct DayAnniversary {
  int memoIndex = -1;  // row of the memo table
  bool lunar = false;
  std::string name;    // as in the file, without the file's trailing style marker
  MemoMark mark = MemoMark::None;
  std::string count;   // "N주년" / "N번째 생일", "" before the first full year
  LunarDay lunarDate;  // lunar anniversaries: the lunar day it was reckoned on
};

struct CalendarDay {
  CivilDate solar;
  int weekday = 0;           // 0 Sunday .. 6 Saturday
  LunarDay lunar;            // the place's calendar
  LunarDay koreanLunar;      // the Korean calendar
  int dayPillar = -1;        // sexagenary index 0..59 of the day
  std::vector<DayTerm> terms;
  std::vector<DaySyzygy> syzygies;
  SeasonalDay seasonal = SeasonalDay::None;
  std::vector<DayHoliday> holidays;
  std::vector<DayAnniversary> anniversaries;

  bool DayOff() const;       // a public holiday that is a day off
};

// Consecutive civil days.
class CalendarOfDays {
 public:
  CalendarOfDays() = default;
  explicit CalendarOfDays(std::vector<CalendarDay> days) : days_(std::move(days)) {}
  const std::vector<CalendarDay>& Days() const { return days_; }
  bool Empty() const { return days_.empty(); }
  // The day of a civil date, nullptr outside.
  const CalendarDay* Find(const CivilDate& date) const;

 private:
  std::vector<CalendarDay> days_;
};

// What shapes a calendar of days besides the year and the place.
struct DaysOptions {
  AnniversaryCalendar anniversaries = AnniversaryCalendar::Korean;
  bool screenEclipses = true;  // mark the syzygies that come with an eclipse
  // Only those of the `screenDays` days from `screenFrom` (screenDays 0: of
  // every day): a view that shows eclipses on some of the days it reads
  // spends the searches on those only.
  CivilDate screenFrom;
  int screenDays = 0;
  // Give every day its Korean lunar date. Without it a day has one only where
  // something follows that calendar (the holidays since 1948, the lunar
  // anniversaries), so that other years at a place abroad prepare one
  // calendar, not two.
  bool koreanDates = false;
};

// The tables a calendar of days is made from, all of the same year: the
// place's, the Korean calendar's (for the public holidays) and the one the
// lunar anniversaries follow (either of the two).
struct DaysSources {
  const YearTables* place = nullptr;
  const YearTables* korean = nullptr;
  const YearTables* anniversaries = nullptr;
};

// The days from `first` on, `count` of them, as far as the tables hold them.
CalendarOfDays BuildCalendarOfDays(EngineContext& ctx, const DaysSources& sources, const MemoTable& memos,
                                   const CivilDate& first, int count, const DaysOptions& options);

// What the core asks of a year's tables besides its days (the faces ask
// these, never the tables):
// the civil date of a lunar date, none when the tables do not hold it;
std::optional<CivilDate> SolarDateOfLunar(const YearTables& tables, int year, int month, int day, bool leap);
// the lunar date of a civil date (unknown when the tables do not hold it);
LunarDay LunarDayOf(const YearTables& tables, const CivilDate& date);
// the civil days the tables number, from the first on (count 0: none);
struct DaysHeld {
  CivilDate first;
  int count = 0;
};
DaysHeld DaysHeldBy(const YearTables& tables);
// the first days of the lunar months without a major term.
std::vector<CivilDate> NoMajorTermMonthStarts(const YearTables& tables);

}  // namespace orv
