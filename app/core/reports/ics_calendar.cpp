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

// Civil date of a lunar date (regular month) of the loaded year; false when absent.
bool SolarOfLunar(const YearTables& t, int year, int month, int day, int& y, int& m, int& d) {
  const int slot = SlotOfLunarDate(t, year, month, day, false);
  if (slot < 0) return false;
  UnpackDate(t.DayTable[slot].solarDate, y, m, d);
  return true;
}

// The name the rules give a holiday on its date, the row's own without one.
std::string HolidayName(const char* key, const char* rowName, int y, int m, int d) {
  const std::string name = PublicHolidayName(key, PackDate(y, m, d));
  return name.empty() ? rowName : name;
}

// The holidays of `year`, dated by the Korean calendar's tables `t`.
void AddHolidays(const YearTables& t, int year, std::vector<IcsEvent>& events) {
  for (const SolarHoliday& h : kSolarHolidays)
    events.push_back(AllDay(Format("holiday-%s-%d@orvanta", h.key, year), year, h.month, h.day,
                            HolidayName(h.key, h.name, year, h.month, h.day), "기념일"));
  for (const LunarHoliday& h : kLunarHolidays) {
    int y, m, d;
    bool found;
    if (h.day == 0) {  // the eve of the lunar new year: the day before 1/1
      const int slot = SlotOfLunarDate(t, year, 1, 1, false);
      found = slot > 0;
      if (found) UnpackDate(t.DayTable[slot - 1].solarDate, y, m, d);
    } else {
      found = SolarOfLunar(t, year, h.month, h.day, y, m, d);
    }
    if (found)
      events.push_back(
          AllDay(Format("holiday-%s-%d@orvanta", h.key, year), y, m, d, HolidayName(h.key, h.name, y, m, d), "기념일"));
  }
  // The days off the rows above do not name: substitute holidays and the
  // holidays of earlier rules.
  for (const PublicHoliday& h : PublicHolidaysOfYear(t, year))
    if (h.dayOff && !ShownByHolidayReportRows(h))
      events.push_back(AllDay(Format("holiday-%s-%04d%02d%02d@orvanta", h.key.c_str(), h.year, h.month, h.day),
                              h.year, h.month, h.day, h.name, "공휴일"));
}

// The memo anniversaries of `year`, lunar ones by the place's calendar `t`.
void AddMemos(const YearTables& t, int year, const MemoTable& memos, std::vector<IcsEvent>& events) {
  for (const MemoEntry& e : memos) {
    if (e.year > year || e.month < 1 || e.month > 12 || e.day < 1 || e.day > 31) continue;
    const std::string uid =
        Format("memo-%s-%02d%02d-%08x-%d@orvanta", IsLunarMemo(e.kind) ? "lunar" : "solar", e.month, e.day,
               NameKey(e.name), year);
    // The title is the name alone; what its marker asked of the month view
    // becomes a category.
    const std::string title = MemoDisplayName(e.name);
    const MemoMark mark = MemoMarkOf(e.name);
    const char* markCategory = mark == MemoMark::Holiday ? "공휴일" : mark == MemoMark::Highlight ? "강조" : "";
    if (e.kind == kMemoSolar) {
      if (IsValidDate(year, e.month, e.day)) {
        events.push_back(AllDay(uid, year, e.month, e.day, title, "비망일"));
        events.back().secondCategory = markCategory;
      }
    } else if (IsLunarMemo(e.kind)) {
      bool leap = false;
      int day = 0;
      const int slot = LunarMemoSlot(t, e, year, leap, day);
      if (slot < 0) continue;
      int y, m, d;
      UnpackDate(t.DayTable[slot].solarDate, y, m, d);
      events.push_back(AllDay(uid, y, m, d, title, "비망일"));
      events.back().secondCategory = markCategory;
      events.back().description = Format(leap ? "음력 윤%d월 %d일" : "음력 %d월 %d일", e.month, day);
    }
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
    for (int year = options.fromYear; year <= options.toYear; ++year) {
      years.Prepare(ctx, tables, year, options.correctionWanted);
      if (options.holidays) AddHolidays(years.KoreanCalendar(ctx, tables, year), year, events);
      if (haveMemos) AddMemos(tables, year, memos, events);
    }
  }
  return FormatIcs(events, place.meridian, PlaceReportName(place), stampUtc);
}

}  // namespace orv
