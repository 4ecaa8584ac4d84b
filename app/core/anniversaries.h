// The user's anniversaries as the manager, the "다가오는 날" panel and the
// command line present them: names without their display markers, checks of
// a row as it is typed, the years since the first year, Korean day counts,
// and the days that come next (anniversaries, public holidays, solar terms).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/core/files/encoding.h"
#include "app/core/files/memo.h"
#include "lunisolar/year_tables.h"
#include "time/dates.h"

namespace orv {

// How a memo day is painted: the marker at the end of its name in the file.
enum class MemoMark { None, Holiday, Highlight };

// The file's style markers are ":" and ";" at the end of a name; anywhere
// else they are characters of the name like any other.
// The name without its markers, as every view shows it.
std::string MemoDisplayName(const std::string& name);
// The marker of a name: Holiday for a ":" at its end (it wins, as in the
// month view), else Highlight for a ";" there.
MemoMark MemoMarkOf(const std::string& name);
// The name as the file keeps it: the display name with the marker appended.
std::string MemoNameWithMark(const std::string& displayName, MemoMark mark);
// "none", "holiday", "highlight" (command line) / "없음", "공휴일색", "강조색".
const char* MemoMarkKey(MemoMark mark);
const char* MemoMarkLabel(MemoMark mark);
bool ParseMemoMarkKey(const std::string& key, MemoMark& mark);

// An anniversary as the manager's dialog and `memo add` take it.
struct AnniversaryDraft {
  std::string name;       // without markers
  bool lunar = false;
  bool leapMonth = false; // lunar only
  int month = 1;
  int day = 1;
  int firstYear = 2000;   // astronomical
  MemoMark mark = MemoMark::None;
};

// Longest name the manager writes, in characters.
inline constexpr int kAnniversaryNameMaxChars = 40;

struct DraftCheck {
  bool ok = false;
  std::string error;  // why it cannot be saved ("" when ok)
  std::string note;   // what the user should know about a date that is allowed
};

// Checks a draft as it is typed, for a file in `encoding`.
DraftCheck CheckAnniversaryDraft(const AnniversaryDraft& draft, TextEncoding encoding);
// The row a valid draft gives, and the draft of a row.
MemoEntry EntryOfDraft(const AnniversaryDraft& draft);
AnniversaryDraft DraftOfEntry(const MemoEntry& entry);

// "양력", "음력", "음력 윤달" for a row's kind.
const char* MemoKindLabel(int kind);

// "N번째 생일" for a name with 생일 or 생신, else "N주년", N being the years
// from the first year to `year` (the lunar year for a lunar row); "" for N < 1.
std::string AnniversaryCountText(const MemoEntry& entry, int year);

// Korean day counts take the first day as day 1: day 100 of a life that began
// on 1 January is 10 April ("100일째"). The date tools' "N 일째" adds N days
// to the first date instead (1 January + 100 days = 11 April).
CivilDate DateOfDayNumber(const CivilDate& first, int dayNumber);
// The day number of `date` counted from `first` as day 1 (0 the day before).
int DayNumberOf(const CivilDate& first, const CivilDate& date);

// Whether a lunar anniversary falls on lunar day `day` of month `month`
// (leap month when `leap`), a month of `monthLength` days. A 30th that the
// month lacks falls on its last day; 12/29 and 12/30 both mean the year's
// last day. A leap-month anniversary falls in the leap month, and in the
// regular month of that number in a year without the leap month
// (`yearHasLeapMonth` false).
bool LunarMemoFallsOn(const MemoEntry& entry, int month, int day, bool leap, int monthLength,
                      bool yearHasLeapMonth);

enum class UpcomingKind { Holiday, Term, MemoSolar, MemoLunar };
// "holiday", "term", "memo-solar", "memo-lunar".
const char* UpcomingKindKey(UpcomingKind kind);

struct UpcomingDay {
  CivilDate date;
  int daysLeft = 0;       // 0 = the first day of the span (today)
  std::string name;       // without markers
  UpcomingKind kind = UpcomingKind::Holiday;
  std::string count;      // "N주년" / "N번째 생일" of a memo, else ""
  std::string lunarDate;  // "음 3.15" / "음 윤6.1" of a lunar memo, else ""
  int memoIndex = -1;     // row of the memo table, -1 for a holiday or a term
};

class CalendarOfDays;
// The calendar of days of a civil year (year_service.h), empty when the year
// cannot be prepared.
using YearDaysSource = std::function<CalendarOfDays(int year)>;

// Default and largest span of the list, days.
inline constexpr int kUpcomingDefaultDays = 30;
inline constexpr int kUpcomingMaxDays = 3660;

// The anniversaries, public holidays (days off) and solar terms of the
// `days` days from `from` on, by date (on one date: holidays, terms, solar
// and lunar anniversaries in file order), as the calendars of days of
// `years` have them, one civil year at a time.
std::vector<UpcomingDay> UpcomingDays(const YearDaysSource& years, const CivilDate& from, int days);

// "D-day" for 0, "D-N" otherwise.
std::string DayLabel(int daysLeft);
// One line per day: "2026-12-25 (금) D-15  성탄절  [공휴일]" and the like.
std::string UpcomingText(const std::vector<UpcomingDay>& list);
// "date,days_left,name,kind" and one row per item.
std::string UpcomingCsv(const std::vector<UpcomingDay>& list);
// Whether something falls on the first or second day of the list (the panel
// opens by itself at start then).
bool SomethingTodayOrTomorrow(const std::vector<UpcomingDay>& list);

}  // namespace orv
