#include "app/core/reports/ics_calendar.h"

#include <cstdio>

#include "app/core/files/memo.h"
#include "app/core/reports/public_holidays.h"
#include "app/core/reports/report_format.h"
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
    {"foundation", 10, 3, "개천절"},    {"hangul", 10, 9, "한글날"},     {"christmas", 12, 25, "성탄절"}};
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
  const int slot = FindDayTableEntry(t, year, month, day, 'm', 0);
  if (slot < 0) return false;
  UnpackDate(t.DayTable[slot].solarDate, y, m, d);
  return true;
}

// Last day of lunar month 12 of `year`: 30 when it exists, else 29.
int LastDayOfTwelfth(const YearTables& t, int year) {
  return FindDayTableEntry(t, year, 12, 30, 'm', 0) >= 0 ? 30 : 29;
}

void AddHolidaysAndMemos(const YearTables& t, int year, const MemoTable* memos, bool holidays,
                         std::vector<IcsEvent>& events) {
  if (holidays) {
    for (const SolarHoliday& h : kSolarHolidays)
      events.push_back(AllDay(Format("holiday-%s-%d@orvanta", h.key, year), year, h.month, h.day, h.name, "기념일"));
    for (const LunarHoliday& h : kLunarHolidays) {
      int y, m, d;
      bool found;
      if (h.day == 0) {  // the eve of the lunar new year: the day before 1/1
        const int slot = FindDayTableEntry(t, year, 1, 1, 'm', 0);
        found = slot > 0;
        if (found) UnpackDate(t.DayTable[slot - 1].solarDate, y, m, d);
      } else {
        found = SolarOfLunar(t, year, h.month, h.day, y, m, d);
      }
      if (found) events.push_back(AllDay(Format("holiday-%s-%d@orvanta", h.key, year), y, m, d, h.name, "기념일"));
    }
    // The days off the rows above do not name: substitute holidays and the
    // holidays of earlier rules.
    for (const PublicHoliday& h : PublicHolidaysOfYear(t, year))
      if (h.dayOff && !ShownByHolidayReportRows(h))
        events.push_back(AllDay(Format("holiday-%s-%04d%02d%02d@orvanta", h.key.c_str(), h.year, h.month, h.day),
                                h.year, h.month, h.day, h.name, "공휴일"));
  }
  if (!memos) return;
  for (const MemoEntry& e : *memos) {
    if (e.year > year || e.month < 1 || e.month > 12 || e.day < 1 || e.day > 31) continue;
    const std::string uid =
        Format("memo-%s-%02d%02d-%08x-%d@orvanta", e.kind == kMemoLunar ? "lunar" : "solar", e.month, e.day,
               NameKey(e.name), year);
    if (e.kind == kMemoSolar) {
      if (IsValidDate(year, e.month, e.day)) events.push_back(AllDay(uid, year, e.month, e.day, e.name, "비망일"));
    } else if (e.kind == kMemoLunar) {
      int day = e.day;
      // 12/29 and 12/30 mean the last day of the lunar year.
      if (e.month == 12 && (day == 29 || day == 30)) day = LastDayOfTwelfth(t, year);
      int y, m, d;
      if (SolarOfLunar(t, year, e.month, day, y, m, d))
        events.push_back(AllDay(uid, y, m, d, e.name + " (음 " + Format("%d.%d", e.month, e.day) + ")", "비망일"));
    }
  }
}

}  // namespace

std::string BuildIcsCalendar(EngineContext& ctx, YearTables& tables, const PlaceRecord& place,
                             const IcsCalendarOptions& options, MessageSink& messages,
                             const std::string& stampUtc) {
  std::vector<IcsEvent> events =
      AstronomicalIcsEvents(ctx, tables, options.build, options.fromYear, options.toYear, options.selection);
  MemoTable memos;
  const bool haveMemos = options.memo && ReadMemoFile(memos, options.memoFolder, &messages);
  if (options.holidays || haveMemos) {
    for (int year = options.fromYear; year <= options.toYear; ++year) {
      PrepareYear(ctx, tables, year, options.build);
      AddHolidaysAndMemos(tables, year, haveMemos ? &memos : nullptr, options.holidays, events);
    }
  }
  return FormatIcs(events, place.meridian, PlaceReportName(place), stampUtc);
}

}  // namespace orv
