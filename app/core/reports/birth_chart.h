// The four-pillars chart of a birth as a 만세력 reader expects it: the
// lunar birth date turned into a civil one, the chart of the pillars (stems
// and branches with their elements, ten gods and hidden stems, the count of
// the elements) and the luck pillars (대운) from the true sectional-term
// instants, with the annual pillars (세운) of ten years.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/core/reports/birth_pillars.h"
#include "data/saju_chart_tables.h"

namespace orv {

// --- Lunar birth dates -------------------------------------------------------

struct LunarBirthDate {
  int year = 2000, month = 1, day = 1;
  bool leap = false;
};

// The civil date of a lunar date, through the year tables of `in` (prepared
// for `lunar.year` as needed). False with a Korean message naming the
// month's real length, or the missing leap month, when the date does not
// exist.
bool SolarDateOfLunarBirth(ReportInputs& in, const LunarBirthDate& lunar, int& year, int& month, int& day,
                           std::string& error);

// The clock a birth time is read on unless the user says otherwise: the
// place's civil clock where the system knows its zone for the year, else the
// standard time of its meridian. `why` tells why the civil clock was not taken.
BirthClock DefaultBirthClock(const PlaceRecord& place, int year, std::string* why = nullptr);

// --- The chart ---------------------------------------------------------------

enum class BirthSex { Unknown, Male, Female };

struct ChartColumn {
  bool known = true;  // false for the hour of an unknown birth time
  int pillar = 0;     // 0..59
  int stem = 0;       // 0..9
  int branch = 0;     // 0..11
  bool isDayStem = false;  // the day stem itself (일간) has no ten god
  TenGod stemGod = TenGod::Companion;
  TenGod branchGod = TenGod::Companion;  // of the branch's main hidden stem
};

// Column order as printed: 시주, 일주, 월주, 년주.
enum ChartColumnIndex { kHourColumn = 0, kDayColumn, kMonthColumn, kYearColumn };
extern const char* const kChartColumnNames[4];  // "시주", "일주", "월주", "년주"

struct BirthChart {
  ChartColumn columns[4];
  int elementCounts[kElementCount] = {};  // stems and branches of the known pillars
};

TenGod TenGodOf(int dayStem, int stem);
BirthChart MakeBirthChart(const SexagenaryIndices& pillars, bool hourKnown);

// --- Luck pillars ------------------------------------------------------------

// An age on the luck scale: 3 days of the interval to the term are a year,
// 1 day 4 months, 2 hours 10 days (a year of 12 months of 30 days).
struct LuckAge {
  int years = 0, months = 0, days = 0;
};

// The age of an interval of `intervalSeconds` (whole days of age, rounded
// down), and the 대운수 almanacs print for it: the whole years, a remainder
// of 2 days of the interval (8 months of age) or more rounded up, at least 1.
LuckAge LuckAgeOfInterval(double intervalSeconds);
int LuckBookNumber(const LuckAge& age);

struct LuckPillar {
  int index = 0;       // 1..10
  int pillar = 0;      // 0..59
  LuckAge start;       // exact age at which it begins
  int startYear = 0;   // calendar year in which it begins
  int bookAge = 0;     // 대운수 + 10 (index - 1), the age printed in almanacs
};

struct LuckCycles {
  bool ok = false;
  std::string error;
  bool forward = true;
  // The sectional term the interval runs to (forward) or from (backward):
  // its index (0 = 立春, 2 = 驚蟄, ...) and instant in the calendar's time
  // system, to the second.
  int termIndex = 0;
  int termYear = 0, termMonth = 0, termDay = 0, termHour = 0, termMinute = 0, termSecond = 0;
  double intervalSeconds = 0.0;  // birth to the term, never negative
  LuckAge start;
  int startYear = 0, startMonth = 0, startDay = 0;  // birth date + the start age
  int bookNumber = 0;  // 대운수: whole years, a remainder of 2 days rounded up
  LuckPillar pillars[10];
  // Annual pillars (세운) of ten years from `firstAnnualYear`.
  int firstAnnualYear = 0;
  int annualPillars[10] = {};
};

// Luck pillars of a computed birth (`birth.ok`, a known hour or the noon
// reading of an unknown one) for `sex` (Male or Female). Reads the sectional
// terms of the year tables of `in`, loading the birth's year as needed.
// `birthYear..birthDay` is the birth date as given (civil), from which the
// start date is counted.
LuckCycles ComputeLuckCycles(ReportInputs& in, const BirthPillars& birth, BirthSex sex, int birthYear, int birthMonth,
                             int birthDay, int firstAnnualYear);

// --- A whole birth -----------------------------------------------------------

struct BirthRequest {
  BirthReading reading;     // date (civil) and time; `hourKnown` below
  std::optional<BirthClock> clock;  // none: DefaultBirthClock of the place
  bool lunar = false;       // the date in `lunarDate` is lunar
  LunarBirthDate lunarDate;
  bool hourKnown = true;
  BirthSex sex = BirthSex::Unknown;
  bool luck = false;        // compute the luck pillars (needs a sex)
  int firstAnnualYear = 0;  // of the annual pillars; 0: the birth year + 1
};

struct BirthReport {
  bool ok = false;
  std::string error;
  BirthReading reading;  // the civil reading computed (lunar date converted)
  bool hourKnown = true;
  BirthPillars pillars;
  BirthChart chart;
  std::vector<std::string> notes;  // corrections, lunar date, unknown hour
  bool hasLuck = false;
  LuckCycles luck;
};

// Everything the 사주 window and `orvanta-cli pillars` show.
BirthReport ComputeBirthReport(ReportInputs& in, const PlaceRecord& place, const BirthRequest& request);

// The pillar names of the first line: four, or three without the hour.
std::string BirthFirstLine(const BirthReport& report);
// The chart as text (columns aligned for a fixed-width font).
std::string BirthChartText(const BirthReport& report);
// The luck pillars and annual pillars as text.
std::string LuckText(const BirthReport& report, BirthSex sex);
// `index,pillar,start_years,start_months,start_days,start_date,direction`.
std::string LuckCsv(const LuckCycles& luck);
// First line, notes, chart and (when computed) the luck: the whole text.
std::string BirthReportText(const BirthReport& report, BirthSex sex);

}  // namespace orv
