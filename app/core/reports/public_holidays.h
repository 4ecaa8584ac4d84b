// The public holidays of a year as the rules in force then make them: the
// fixed and lunar days off, the national and memorial days that are not days
// off, and the substitute holidays (data/public_holiday_rules.h).
#pragma once

#include <string>
#include <vector>

#include "lunisolar/year_tables.h"

namespace orv {

struct PublicHoliday {
  int year = 0, month = 0, day = 0;  // civil date
  std::string key;                   // rule key; substitutes: "substitute-<key>"
  std::string name;                  // "설날", "대체공휴일(설날)", ...
  bool dayOff = true;                // false: named on the calendar, not a day off
  bool substitute = false;
};

// The holidays dated in civil year `year`, by date, from the lunar calendar of
// `tables` (regular months; a lunar holiday the tables do not hold is left
// out). Empty before 1949. Every day off comes first on its date.
std::vector<PublicHoliday> PublicHolidaysOfYear(const YearTables& tables, int year);

// The name the rules give the holiday `key` on `date`: that of the rule in
// force then, else of the rule nearest in time; "" for an unknown key. One
// name per holiday in the grid, the lists and the iCalendar file.
std::string PublicHolidayName(const std::string& key, PackedDate date);
std::string PublicHolidayName(const std::string& key, const CivilDate& date);

// Whether a holiday is one of those the twelve rows of the holiday report
// already show (신정, 설날 and its eve and morrow, 3·1절, ..., 성탄절).
bool ShownByHolidayReportRows(const PublicHoliday& holiday);
bool ShownByHolidayReportRows(const std::string& key);

// "date,name,day_off" and one row per day: the names of a day joined by "/",
// day_off 1 when any of them is a day off.
std::string PublicHolidaysCsv(const std::vector<PublicHoliday>& holidays);

}  // namespace orv
