#include "app/core/reports/public_holidays.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "app/core/reports/report_format.h"
#include "data/public_holiday_rules.h"
#include "lunisolar/lunar_calendar.h"
#include "time/dates.h"

namespace orv {
namespace {

constexpr int kSunday = 0;
constexpr int kSaturday = 6;
// A substitute day is searched at most this many days after the lost one
// (a three-day feast next to a weekend needs five).
constexpr int kSubstituteSearchDays = 14;

// Civil date of a rule in `year`, 0 when the tables do not hold it.
PackedDate DateOfRule(const YearTables& t, const data::PublicHolidayRule& r, int year) {
  switch (r.calendar) {
    case data::HolidayCalendar::Solar:
      return IsValidDate(year, r.month, r.day) ? PackDate(year, r.month, r.day) : 0;
    case data::HolidayCalendar::Lunar: {
      const int slot = SlotOfLunarDate(t, year, r.month, r.day, false);
      return slot >= 0 ? t.DayTable[slot].solarDate : 0;
    }
    case data::HolidayCalendar::LunarNewYearEve: {
      const int slot = SlotOfLunarDate(t, year, 1, 1, false);
      return slot > 0 ? t.DayTable[slot - 1].solarDate : 0;
    }
  }
  return 0;
}

bool InForce(int fromDate, int toDate, PackedDate date) {
  return date >= fromDate && (toDate == 0 || date <= toDate);
}

// The substitute flags of a holiday on `date` (0 when none applies).
unsigned SubstituteFlags(const std::string& key, PackedDate date) {
  unsigned when = 0;
  for (int i = 0; i < data::kSubstituteRuleCount; ++i) {
    const data::SubstituteRule& s = data::kSubstituteRules[i];
    if ((std::strcmp(s.key, "*") == 0 || key == s.key) && InForce(s.fromDate, s.toDate, date)) when |= s.when;
  }
  return when;
}

PackedDate AddDays(PackedDate date, int days) {
  int y, m, d, h, mi;
  UnpackDate(date, y, m, d);
  AddMinutes(static_cast<std::int64_t>(days) * 1440, y, m, d, 0, 0, y, m, d, h, mi);
  return PackDate(y, m, d);
}

int Weekday(PackedDate date) {
  int y, m, d;
  UnpackDate(date, y, m, d);
  return WeekdayOf(y, m, d);
}

// The name a substitute day carries: the feast for any of its three days.
std::string FeastName(const PublicHoliday& h) {
  if (h.key.rfind("seollal", 0) == 0) return "설날";
  if (h.key.rfind("chuseok", 0) == 0) return "추석";
  return h.name;
}

}  // namespace

std::vector<PublicHoliday> PublicHolidaysOfYear(const YearTables& tables, int year) {
  std::vector<PublicHoliday> out;
  if (year < data::kFirstPublicHolidayYear) return out;
  std::map<PackedDate, std::vector<PublicHoliday>> byDate;
  for (int i = 0; i < data::kPublicHolidayRuleCount; ++i) {
    const data::PublicHolidayRule& r = data::kPublicHolidayRules[i];
    const PackedDate date = DateOfRule(tables, r, year);
    if (date == 0 || !InForce(r.fromDate, r.toDate, date)) continue;
    PublicHoliday h;
    UnpackDate(date, h.year, h.month, h.day);
    h.key = r.key;
    h.name = r.name;
    h.dayOff = r.dayOff;
    byDate[date].push_back(h);
  }

  std::set<PackedDate> daysOff;
  for (const auto& [date, list] : byDate)
    for (const PublicHoliday& h : list)
      if (h.dayOff) daysOff.insert(date);

  // Lost days, in date order: on a weekend day each holiday whose rule counts
  // that day (a Sunday is itself a holiday, so "another holiday" counts it);
  // on a weekday, where several holidays share the day, all but one of those
  // whose rule counts an overlap.
  std::vector<PublicHoliday> lost;
  for (const auto& [date, list] : byDate) {
    const int weekday = Weekday(date);
    std::vector<const PublicHoliday*> off;
    for (const PublicHoliday& h : list)
      if (h.dayOff) off.push_back(&h);
    if (off.empty()) continue;
    std::vector<const PublicHoliday*> overlapping;
    int lostOnWeekend = 0;
    for (const PublicHoliday* h : off) {
      const unsigned when = SubstituteFlags(h->key, date);
      const bool weekendLoss = (weekday == kSunday && (when & (data::kLostOnSunday | data::kLostOnOtherHoliday))) ||
                               (weekday == kSaturday && (when & data::kLostOnSaturday));
      if (weekendLoss) {
        lost.push_back(*h);
        ++lostOnWeekend;
      } else if (when & data::kLostOnOtherHoliday) {
        overlapping.push_back(h);
      }
    }
    // Holidays sharing a weekday: the day stays one day off, the others are lost.
    const int keep = lostOnWeekend > 0 ? 0 : 1;
    const int sharing = static_cast<int>(off.size()) - lostOnWeekend;
    int losses = std::min(static_cast<int>(overlapping.size()), std::max(0, sharing - keep));
    // The ones listed last in the rules lose their day to those before them.
    for (int i = static_cast<int>(overlapping.size()) - losses; i < static_cast<int>(overlapping.size()) && losses > 0;
         ++i)
      lost.push_back(*overlapping[static_cast<size_t>(i)]);
  }

  for (const PublicHoliday& h : lost) {
    PackedDate date = PackDate(h.year, h.month, h.day);
    for (int step = 0; step < kSubstituteSearchDays; ++step) {
      date = AddDays(date, 1);
      const int weekday = Weekday(date);
      if (weekday != kSunday && weekday != kSaturday && daysOff.count(date) == 0) {
        PublicHoliday s;
        UnpackDate(date, s.year, s.month, s.day);
        s.key = "substitute-" + h.key;
        s.name = "대체공휴일(" + FeastName(h) + ")";
        s.substitute = true;
        daysOff.insert(date);
        // A substitute of a late-December day could fall in January: it
        // belongs to the next year's list.
        if (s.year == year) byDate[date].push_back(s);
        break;
      }
    }
  }

  for (auto& [date, list] : byDate) {
    std::stable_sort(list.begin(), list.end(),
                     [](const PublicHoliday& a, const PublicHoliday& b) { return a.dayOff && !b.dayOff; });
    for (PublicHoliday& h : list) out.push_back(std::move(h));
  }
  return out;
}

std::string PublicHolidayName(const std::string& key, PackedDate date) {
  const char* name = "";
  long long nearest = -1;
  for (int i = 0; i < data::kPublicHolidayRuleCount; ++i) {
    const data::PublicHolidayRule& r = data::kPublicHolidayRules[i];
    if (key != r.key) continue;
    if (InForce(r.fromDate, r.toDate, date)) return r.name;
    // Packed dates order like the days; the distance only ranks the rules.
    const long long distance =
        date < r.fromDate ? static_cast<long long>(r.fromDate) - date : static_cast<long long>(date) - r.toDate;
    if (nearest < 0 || distance < nearest) {
      nearest = distance;
      name = r.name;
    }
  }
  return name;
}

std::string PublicHolidayName(const std::string& key, const CivilDate& date) {
  return PublicHolidayName(key, PackDate(date.year, date.month, date.day));
}

bool ShownByHolidayReportRows(const PublicHoliday& h) { return ShownByHolidayReportRows(h.key); }

bool ShownByHolidayReportRows(const std::string& key) {
  static const char* const kShown[] = {"newyear",     "minsok",        "seollal-eve", "seollal",      "seollal-after",
                                       "samiljeol",   "childrensday",  "buddha",      "memorialday",  "constitution",
                                       "liberation",  "chuseok-eve",   "chuseok",     "chuseok-after", "foundation",
                                       "hangul",      "christmas"};
  for (const char* k : kShown)
    if (key == k) return true;
  return false;
}

std::string PublicHolidaysCsv(const std::vector<PublicHoliday>& holidays) {
  std::string out = "date,name,day_off\n";
  for (size_t i = 0; i < holidays.size();) {
    const PublicHoliday& first = holidays[i];
    std::string names;
    bool dayOff = false;
    size_t j = i;
    for (; j < holidays.size() && holidays[j].year == first.year && holidays[j].month == first.month &&
           holidays[j].day == first.day;
         ++j) {
      if (!names.empty()) names += "/";
      names += holidays[j].name;
      dayOff = dayOff || holidays[j].dayOff;
    }
    out += report::Format("%04d-%02d-%02d,%s,%d\n", first.year, first.month, first.day, names.c_str(),
                          dayOff ? 1 : 0);
    i = j;
  }
  return out;
}

}  // namespace orv
