#include "app/core/anniversaries.h"

#include <algorithm>
#include <cmath>

#include "app/core/calendar_days.h"
#include "app/core/files/memo_document.h"
#include "lunisolar/lunar_calendar.h"
#include "lunisolar/terms.h"
#include "time/text_format.h"

namespace orv {
namespace {

constexpr char kHolidayMarker = ':';
constexpr char kHighlightMarker = ';';
// Days of a full lunar month; a month has 29 or 30.
constexpr int kFullLunarMonthDays = 30;
constexpr const char* kWeekdayShort[7] = {"일", "월", "화", "수", "목", "금", "토"};

// Characters (code points) of a UTF-8 text.
int CharacterCount(const std::string& utf8) {
  int n = 0;
  for (unsigned char c : utf8) n += (c & 0xC0) != 0x80 ? 1 : 0;
  return n;
}

bool HasControlCharacter(const std::string& text) {
  for (unsigned char c : text)
    if (c < 0x20 || c == 0x7F) return true;
  return false;
}

bool IsBirthdayName(const std::string& name) {
  return name.find("생일") != std::string::npos || name.find("생신") != std::string::npos;
}

std::string DateText(const CivilDate& d) { return Format("%04d-%02d-%02d", d.year, d.month, d.day); }

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\n\r") == std::string::npos) return text;
  std::string out = "\"";
  for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

int KindOrder(UpcomingKind kind) { return static_cast<int>(kind); }

// The items of the days of `calendar` between `firstJd` and `lastJd`.
void AddDays(const CalendarOfDays& calendar, double firstJd, double lastJd, std::vector<UpcomingDay>& out) {
  for (const CalendarDay& day : calendar.Days()) {
    const double jd = CalendarToJulianDay(day.solar.year, day.solar.month, day.solar.day);
    if (jd < firstJd || jd > lastJd) continue;
    const int daysLeft = static_cast<int>(std::lround(jd - firstJd));
    auto add = [&](UpcomingKind kind, const std::string& name) -> UpcomingDay& {
      UpcomingDay item;
      item.date = day.solar;
      item.daysLeft = daysLeft;
      item.kind = kind;
      item.name = name;
      out.push_back(item);
      return out.back();
    };
    for (const DayHoliday& h : day.holidays)
      if (h.dayOff) add(UpcomingKind::Holiday, h.name);
    for (const DayTerm& t : day.terms) add(UpcomingKind::Term, SolarTermNames[t.termIndex]);
    for (const DayAnniversary& a : day.anniversaries) {
      UpcomingDay& item = add(a.lunar ? UpcomingKind::MemoLunar : UpcomingKind::MemoSolar, a.name);
      item.count = a.count;
      item.memoIndex = a.memoIndex;
      if (a.lunar) item.lunarDate = Format(a.lunarDate.leap ? "음 윤%d.%d" : "음 %d.%d", a.lunarDate.month, a.lunarDate.day);
    }
  }
}

}  // namespace

namespace {

bool IsMarker(char c) { return c == kHolidayMarker || c == kHighlightMarker; }

// Length of the name without the markers at its end.
std::size_t UnmarkedLength(const std::string& name) {
  std::size_t n = name.size();
  while (n > 0 && IsMarker(name[n - 1])) --n;
  return n;
}

}  // namespace

std::string MemoDisplayName(const std::string& name) { return name.substr(0, UnmarkedLength(name)); }

MemoMark MemoMarkOf(const std::string& name) {
  const std::string markers = name.substr(UnmarkedLength(name));
  if (markers.find(kHolidayMarker) != std::string::npos) return MemoMark::Holiday;
  if (markers.find(kHighlightMarker) != std::string::npos) return MemoMark::Highlight;
  return MemoMark::None;
}

std::string MemoNameWithMark(const std::string& displayName, MemoMark mark) {
  switch (mark) {
    case MemoMark::Holiday: return displayName + kHolidayMarker;
    case MemoMark::Highlight: return displayName + kHighlightMarker;
    case MemoMark::None: break;
  }
  return displayName;
}

const char* MemoMarkKey(MemoMark mark) {
  switch (mark) {
    case MemoMark::Holiday: return "holiday";
    case MemoMark::Highlight: return "highlight";
    case MemoMark::None: break;
  }
  return "none";
}

const char* MemoMarkLabel(MemoMark mark) {
  switch (mark) {
    case MemoMark::Holiday: return "공휴일색";
    case MemoMark::Highlight: return "강조색";
    case MemoMark::None: break;
  }
  return "없음";
}

bool ParseMemoMarkKey(const std::string& key, MemoMark& mark) {
  for (MemoMark m : {MemoMark::None, MemoMark::Holiday, MemoMark::Highlight})
    if (key == MemoMarkKey(m)) {
      mark = m;
      return true;
    }
  return false;
}

DraftCheck CheckAnniversaryDraft(const AnniversaryDraft& draft, TextEncoding encoding) {
  DraftCheck check;
  auto fail = [&](std::string why) {
    check.error = std::move(why);
    return check;
  };
  const std::string& name = draft.name;
  if (name.empty() || name.find_first_not_of(' ') == std::string::npos) return fail("이름을 적으세요.");
  if (name.front() == ' ' || name.back() == ' ') return fail("이름의 앞뒤에는 빈칸을 둘 수 없습니다.");
  if (!IsValidUtf8(name) || HasControlCharacter(name)) return fail("이름에 쓸 수 없는 글자가 있습니다.");
  // A marker at the end would be read back as the display style.
  if (IsMarker(name.back())) return fail("이름 끝에는 ':'와 ';'를 쓸 수 없습니다 (표시 방법에서 고르세요).");
  if (CharacterCount(name) > kAnniversaryNameMaxChars)
    return fail(Format("이름은 %d자까지 쓸 수 있습니다.", kAnniversaryNameMaxChars));
  if (encoding == TextEncoding::Cp949) {
    for (std::size_t i = 0; i < name.size();) {
      std::size_t n = 1;
      const unsigned char c = static_cast<unsigned char>(name[i]);
      if (c >= 0xF0) n = 4;
      else if (c >= 0xE0) n = 3;
      else if (c >= 0xC0) n = 2;
      const std::string ch = name.substr(i, n);
      if (!FitsMemoEncoding(ch, encoding))
        return fail("\"" + ch + "\"은(는) 이 파일의 문자 코드(CP949)로 저장할 수 없습니다.");
      i += n;
    }
  }
  if (draft.firstYear < kMemoFirstYear || draft.firstYear > kMemoLastYear)
    return fail(Format("첫해는 %d부터 %d까지입니다.", kMemoFirstYear, kMemoLastYear));
  if (draft.month < 1 || draft.month > kMemoMaxMonth) return fail("월은 1부터 12까지입니다.");
  if (!draft.lunar) {
    if (draft.leapMonth) return fail("윤달은 음력 날짜에만 있습니다.");
    // Any year will do for the length of a month but February's.
    const int lastDay = draft.month == 2 ? 29 : DaysInMonth(2001, draft.month);
    if (draft.day < 1 || draft.day > lastDay) return fail(Format("양력 %d월은 %d일까지입니다.", draft.month, lastDay));
    if (draft.month == 2 && draft.day == 29) check.note = "2월 29일은 윤년에만 달력에 나옵니다.";
  } else {
    if (draft.day < 1 || draft.day > kFullLunarMonthDays) return fail("음력 날짜는 1일부터 30일까지입니다.");
    if (draft.month == 12 && draft.day >= 29)
      check.note = "음력 12월 29일과 30일은 어느 해에나 섣달그믐(그해 마지막 날)에 나옵니다.";
    else if (draft.day == kFullLunarMonthDays)
      check.note = "음력 30일이 없는 해(작은달)에는 그 달의 마지막 날(29일)에 나옵니다.";
    if (draft.leapMonth) {
      if (!check.note.empty()) check.note += "\n";
      check.note += Format("윤%d월이 없는 해에는 평달 %d월의 같은 날에 나옵니다.", draft.month, draft.month);
    }
  }
  check.ok = true;
  return check;
}

MemoEntry EntryOfDraft(const AnniversaryDraft& draft) {
  MemoEntry e;
  e.kind = !draft.lunar ? kMemoSolar : draft.leapMonth ? kMemoLunarLeap : kMemoLunar;
  e.year = draft.firstYear;
  e.month = draft.month;
  e.day = draft.day;
  e.name = MemoNameWithMark(draft.name, draft.mark);
  return e;
}

AnniversaryDraft DraftOfEntry(const MemoEntry& entry) {
  AnniversaryDraft d;
  d.name = MemoDisplayName(entry.name);
  d.lunar = IsLunarMemo(entry.kind);
  d.leapMonth = entry.kind == kMemoLunarLeap;
  d.month = entry.month;
  d.day = entry.day;
  d.firstYear = entry.year;
  d.mark = MemoMarkOf(entry.name);
  return d;
}

const char* MemoKindLabel(int kind) {
  switch (kind) {
    case kMemoSolar: return "양력";
    case kMemoLunar: return "음력";
    case kMemoLunarLeap: return "음력 윤달";
    default: break;
  }
  return "표시 안 함";
}

std::string AnniversaryCountText(const MemoEntry& entry, int year) {
  const int n = year - entry.year;
  if (n < 1) return "";
  return IsBirthdayName(entry.name) ? Format("%d번째 생일", n) : Format("%d주년", n);
}

CivilDate DateOfDayNumber(const CivilDate& first, int dayNumber) {
  const CivilDateTime d = JulianDayToCalendar(CalendarToJulianDay(first.year, first.month, first.day) + dayNumber - 1);
  return {d.year, d.month, d.day};
}

int DayNumberOf(const CivilDate& first, const CivilDate& date) {
  return static_cast<int>(std::lround(CalendarToJulianDay(date.year, date.month, date.day) -
                                      CalendarToJulianDay(first.year, first.month, first.day))) +
         1;
}

namespace {

// The day of its month a lunar anniversary falls on.
int LunarMemoDay(const MemoEntry& entry, bool leap, int monthLength) {
  if (entry.month == 12 && !leap && (entry.day == 29 || entry.day == 30)) return monthLength;
  if (entry.day == kFullLunarMonthDays && monthLength < kFullLunarMonthDays) return monthLength;
  return entry.day;
}

}  // namespace

bool LunarMemoFallsOn(const MemoEntry& entry, int month, int day, bool leap, int monthLength,
                      bool yearHasLeapMonth) {
  if (!IsLunarMemo(entry.kind) || entry.month != month) return false;
  if (entry.kind == kMemoLunar && leap) return false;
  if (entry.kind == kMemoLunarLeap && !leap && yearHasLeapMonth) return false;
  return LunarMemoDay(entry, leap, monthLength) == day;
}

const char* UpcomingKindKey(UpcomingKind kind) {
  switch (kind) {
    case UpcomingKind::Holiday: return "holiday";
    case UpcomingKind::Term: return "term";
    case UpcomingKind::MemoSolar: return "memo-solar";
    case UpcomingKind::MemoLunar: return "memo-lunar";
  }
  return "";
}

std::vector<UpcomingDay> UpcomingDays(const YearDaysSource& years, const CivilDate& from, int days) {
  std::vector<UpcomingDay> out;
  if (days < 1) return out;
  days = std::min(days, kUpcomingMaxDays);
  const double fromJd = CalendarToJulianDay(from.year, from.month, from.day);
  const double lastJd = fromJd + days - 1;
  const int lastYear = JulianDayToCalendar(lastJd).year;
  for (int year = from.year; year <= lastYear; ++year) AddDays(years(year), fromJd, lastJd, out);
  std::stable_sort(out.begin(), out.end(), [](const UpcomingDay& a, const UpcomingDay& b) {
    if (a.daysLeft != b.daysLeft) return a.daysLeft < b.daysLeft;
    return KindOrder(a.kind) < KindOrder(b.kind);
  });
  return out;
}

std::string DayLabel(int daysLeft) { return daysLeft == 0 ? "D-day" : Format("D-%d", daysLeft); }

std::string UpcomingText(const std::vector<UpcomingDay>& list) {
  std::string text;
  for (const UpcomingDay& item : list) {
    std::string detail;
    switch (item.kind) {
      case UpcomingKind::Holiday: detail = "공휴일"; break;
      case UpcomingKind::Term: detail = "절기"; break;
      case UpcomingKind::MemoSolar: detail = "양력 기념일"; break;
      case UpcomingKind::MemoLunar: detail = item.lunarDate; break;
    }
    if (!item.count.empty()) detail += ", " + item.count;
    const int weekday = WeekdayOf(item.date.year, item.date.month, item.date.day);
    text += Format("%s(%s) %-6s %s [%s]\n", DateText(item.date).c_str(), kWeekdayShort[weekday],
                   DayLabel(item.daysLeft).c_str(), item.name.c_str(), detail.c_str());
  }
  return text;
}

std::string UpcomingCsv(const std::vector<UpcomingDay>& list) {
  std::string csv = "date,days_left,name,kind\n";
  for (const UpcomingDay& item : list)
    csv += DateText(item.date) + "," + std::to_string(item.daysLeft) + "," + CsvField(item.name) + "," +
           UpcomingKindKey(item.kind) + "\n";
  return csv;
}

bool SomethingTodayOrTomorrow(const std::vector<UpcomingDay>& list) {
  return !list.empty() && list.front().daysLeft <= 1;
}

}  // namespace orv
