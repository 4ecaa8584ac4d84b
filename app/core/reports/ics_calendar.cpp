#include "app/core/reports/ics_calendar.h"

#include <cstdio>

#include "app/core/anniversaries.h"
#include "app/core/files/memo.h"
#include "app/core/reports/public_holidays.h"
#include "app/core/reports/report_format.h"
#include "app/core/year_service.h"
#include "lunisolar/prepare.h"

namespace orv {
namespace {

struct SolarHoliday {
  const char* key;
  int month, day;
  const char* name;
};
struct LunarHoliday {
  const char* key;
  int month, day;  // lunar, regular month; day 0 = the last day of the month before
  const char* name;
};

// The holidays of the holiday report.
constexpr SolarHoliday kSolarHolidays[] = {
    {"newyear", 1, 1, "신정"},          {"samiljeol", 3, 1, "삼일절"},   {"childrensday", 5, 5, "어린이날"},
    {"memorialday", 6, 6, "현충일"},    {"constitution", 7, 17, "제헌절"}, {"liberation", 8, 15, "광복절"},
    {"foundation", 10, 3, "개천절"},    {"hangul", 10, 9, "한글날"},     {"christmas", 12, 25, "기독탄신일"}};
constexpr LunarHoliday kLunarHolidays[] = {
    {"seollal-eve", 1, 0, "설날 연휴"}, {"seollal", 1, 1, "설날"},       {"seollal-after", 1, 2, "설날 연휴"},
    {"buddha", 4, 8, "석가탄신일"},     {"chuseok-eve", 8, 14, "추석 연휴"}, {"chuseok", 8, 15, "추석"},
    {"chuseok-after", 8, 16, "추석 연휴"}};

using report::Format;

// The days of a year's tables that a lunar year may reach: from 1 November
// of the year before (some recorded calendars began their year in winter)
// through the two months after the civil year.
constexpr int kMonthBeforeTheYear = 11;
constexpr int kDaysOfTheLunarYearsSpan = 61 + 366 + 62;

// FNV-1a: a stable short key of a memo name.
unsigned NameKey(const std::string& name) {
  unsigned h = 2166136261u;
  for (unsigned char c : name) h = (h ^ c) * 16777619u;
  return h;
}

IcsEvent AllDay(const std::string& uid, int y, int m, int d, const std::string& summary, const char* category) {
  IcsEvent e;
  e.uid = uid;
  e.allDay = true;
  e.year = y;
  e.month = m;
  e.day = d;
  e.summary = summary;
  e.category = category;
  return e;
}

// The name the rules give a holiday on its date, the row's own without one.
std::string HolidayName(const char* key, const char* rowName, const CivilDate& date) {
  const std::string name = PublicHolidayName(key, date);
  return name.empty() ? rowName : name;
}

// The day of a Korean lunar date (regular month) among the days, nullptr when absent.
const CalendarDay* DayOfKoreanLunar(const CalendarOfDays& days, int year, int month, int day) {
  for (const CalendarDay& d : days.Days()) {
    const LunarDay& l = d.koreanLunar;
    if (l.year == year && l.month == month && l.day == day && !l.leap) return &d;
  }
  return nullptr;
}

// The holidays of `year`, dated by the Korean calendar of its days.
void AddHolidays(const CalendarOfDays& days, int year, std::vector<IcsEvent>& events) {
  for (const SolarHoliday& h : kSolarHolidays)
    events.push_back(AllDay(Format("holiday-%s-%d@orvanta", h.key, year), year, h.month, h.day,
                            HolidayName(h.key, h.name, {year, h.month, h.day}), "기념일"));
  for (const LunarHoliday& h : kLunarHolidays) {
    const CalendarDay* found = nullptr;
    if (h.day == 0) {  // the eve of the lunar new year: the day before 1/1
      const CalendarDay* newYear = DayOfKoreanLunar(days, year, 1, 1);
      if (newYear != nullptr && newYear != &days.Days().front()) found = newYear - 1;
    } else {
      found = DayOfKoreanLunar(days, year, h.month, h.day);
    }
    if (found != nullptr) {
      const CivilDate& d = found->solar;
      events.push_back(AllDay(Format("holiday-%s-%d@orvanta", h.key, year), d.year, d.month, d.day,
                              HolidayName(h.key, h.name, d), "기념일"));
    }
  }
  // The days off the rows above do not name: substitute holidays and the
  // holidays of earlier rules.
  for (const CalendarDay& d : days.Days())
    for (const DayHoliday& h : d.holidays)
      if (d.solar.year == year && h.dayOff && !ShownByHolidayReportRows(h.key))
        events.push_back(AllDay(Format("holiday-%s-%04d%02d%02d@orvanta", h.key.c_str(), d.solar.year,
                                       d.solar.month, d.solar.day),
                                d.solar.year, d.solar.month, d.solar.day, h.name, "공휴일"));
}

// The anniversaries of the days, in the memo table's order.
void AddMemos(const CalendarOfDays& days, int year, const MemoTable& memos, std::vector<IcsEvent>& events) {
  std::vector<std::pair<const CalendarDay*, const DayAnniversary*>> byRow(memos.size(), {nullptr, nullptr});
  for (const CalendarDay& d : days.Days())
    for (const DayAnniversary& a : d.anniversaries) {
      // A lunar anniversary counts in the lunar year it was reckoned in, a
      // solar one in the civil year.
      if (a.lunar ? a.lunarDate.year != year : d.solar.year != year) continue;
      if (a.memoIndex >= 0 && static_cast<size_t>(a.memoIndex) < byRow.size() && byRow[a.memoIndex].first == nullptr)
        byRow[static_cast<size_t>(a.memoIndex)] = {&d, &a};
    }
  for (size_t i = 0; i < memos.size(); ++i) {
    const auto [day, a] = byRow[i];
    if (day == nullptr) continue;
    const MemoEntry& e = memos[i];
    const std::string uid =
        Format("memo-%s-%02d%02d-%08x-%d@orvanta", a->lunar ? "lunar" : "solar", e.month, e.day, NameKey(e.name), year);
    // The title is the name alone; what its marker asked of the month view
    // becomes a category.
    const char* markCategory = a->mark == MemoMark::Holiday ? "공휴일" : a->mark == MemoMark::Highlight ? "강조" : "";
    events.push_back(AllDay(uid, day->solar.year, day->solar.month, day->solar.day, a->name, "비망일"));
    events.back().secondCategory = markCategory;
    if (a->lunar)
      events.back().description =
          Format(a->lunarDate.leap ? "음력 윤%d월 %d일" : "음력 %d월 %d일", e.month, a->lunarDate.day);
  }
}

}  // namespace

std::string BuildIcsCalendar(EngineContext& ctx, YearTables& tables, YearService& years, const PlaceRecord& place,
                             const IcsCalendarOptions& options, MessageSink& messages,
                             const std::string& stampUtc) {
  std::vector<IcsEvent> events =
      AstronomicalIcsEvents(ctx, tables, years, options.correctionWanted, options.fromYear, options.toYear,
                            options.selection);
  MemoTable memos;
  const bool haveMemos = options.memo && ReadMemoFile(memos, options.memoFolder, &messages);
  if (options.holidays || haveMemos) {
    DaysOptions daysOptions = options.days;
    daysOptions.screenEclipses = false;  // the eclipses come from their own search
    daysOptions.koreanDates = options.holidays;
    for (int year = options.fromYear; year <= options.toYear; ++year) {
      // A lunar anniversary of the lunar year `year` may fall before or
      // after the civil year, on days that the year's tables still hold.
      if (years.Prepare(ctx, tables, year, options.correctionWanted) == YearOutcome::OutsideFileYears) continue;
      const CalendarOfDays days = years.Days(ctx, tables, haveMemos ? memos : MemoTable{},
                                             {year - 1, kMonthBeforeTheYear, 1}, kDaysOfTheLunarYearsSpan, daysOptions);
      if (options.holidays) AddHolidays(days, year, events);
      if (haveMemos) AddMemos(days, year, memos, events);
    }
  }
  return FormatIcs(events, place.meridian, PlaceReportName(place), stampUtc);
}

}  // namespace orv
