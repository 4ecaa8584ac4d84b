// The operations of the keyboard, of "날짜로 가기", "찾기" and printing: they
// move through the calendar and read it, on the same state as the handlers.
#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <map>

#include "app/core/calendar_app.h"
#include "app/core/reports/public_holidays.h"
#include "ephemeris/jpl_reader.h"
#include "lunisolar/lunar_calendar.h"
#include "time/dates.h"
#include "time/text_format.h"

namespace orv {
namespace {

// Noon of a civil date: whole-day arithmetic clear of the day boundaries.
double NoonJd(int y, int m, int d) { return CalendarToJulianDay(y, m, d) + 0.5; }

bool StartsWith(const std::string& s, size_t at, const char* prefix) {
  return s.compare(at, std::char_traits<char>::length(prefix), prefix) == 0;
}

// Lowercase ASCII, other bytes as they are: Hangul has no case.
std::string Folded(const std::string& s) {
  std::string out = s;
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

bool ParseDateQuery(const std::string& text, bool lunar, bool leap, int defaultYear, DateQuery& out,
                    std::string& error) {
  DateQuery q;
  q.lunar = lunar;
  q.leap = leap;
  std::vector<long> numbers;
  int leapBeforeNumber = -1;  // index of the number "윤" stands before
  size_t i = 0;
  const std::string s = text;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (StartsWith(s, i, "윤")) {
      leapBeforeNumber = static_cast<int>(numbers.size());
      i += std::char_traits<char>::length("윤");
    } else if (StartsWith(s, i, "음력") || StartsWith(s, i, "음")) {
      q.lunar = true;
      i += std::char_traits<char>::length(StartsWith(s, i, "음력") ? "음력" : "음");
    } else if (StartsWith(s, i, "양력") || StartsWith(s, i, "양")) {
      q.lunar = false;
      i += std::char_traits<char>::length(StartsWith(s, i, "양력") ? "양력" : "양");
    } else if (std::isdigit(c) ||
               (c == '-' && numbers.empty() && i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
      size_t end = i + 1;
      while (end < s.size() && std::isdigit(static_cast<unsigned char>(s[end]))) ++end;
      if (end - i > 7) {
        error = "숫자가 너무 깁니다.";
        return false;
      }
      numbers.push_back(std::stol(s.substr(i, end - i)));
      i = end;
    } else if (c == '-' || c == '.' || c == '/' || c == ' ' || c == ',' || StartsWith(s, i, "년") ||
               StartsWith(s, i, "월") || StartsWith(s, i, "일")) {
      i += (c < 0x80) ? 1 : std::char_traits<char>::length("년");
    } else {
      error = "날짜는 2025.6.15, 6.15, 윤6.15처럼 입력하세요.";
      return false;
    }
  }
  if (numbers.size() == 2) {
    q.year = defaultYear;
    q.month = static_cast<int>(numbers[0]);
    q.day = static_cast<int>(numbers[1]);
    if (leapBeforeNumber == 0) q.leap = q.lunar = true;
  } else if (numbers.size() == 3) {
    q.year = static_cast<int>(numbers[0]);
    q.month = static_cast<int>(numbers[1]);
    q.day = static_cast<int>(numbers[2]);
    if (leapBeforeNumber == 1) q.leap = q.lunar = true;
    else if (leapBeforeNumber >= 0) {
      error = "'윤'은 달 앞에 씁니다 (윤6.15).";
      return false;
    }
  } else {
    error = "날짜는 2025.6.15, 6.15, 윤6.15처럼 입력하세요.";
    return false;
  }
  if (!q.lunar) q.leap = false;
  if (q.month < 1 || q.month > 12) {
    error = "월은 1에서 12 사이입니다.";
    return false;
  }
  if (q.day < 1 || q.day > (q.lunar ? 30 : 31)) {
    error = q.lunar ? "음력 날짜는 1에서 30 사이입니다." : "날짜는 1에서 31 사이입니다.";
    return false;
  }
  out = q;
  return true;
}

void CalendarApp::ShowInputsKeepingLeap() {
  // The leap month stays while the inputs still name the month shown; typed
  // other numbers show their regular month.
  const bool same = state_.inputs.yearNumber == month_.ShownInputs().yearNumber &&
                    state_.inputs.eraAD == month_.ShownInputs().eraAD &&
                    state_.inputs.month == month_.ShownInputs().month && month_.View().filled;
  if (state_.displayMode == DisplayMode::Lunar && !same) state_.leapMonthWanted = false;
  month_.Build();
}

bool CalendarApp::ShowAndSelectDate(int year, int month, int day) {
  if (!state_.YearInRange(year)) {
    const EphemerisSpan range = NominalEphemerisSpan(state_.settings.EphemerisCode);
    state_.messages.Show(Format("%d년은 계산할 수 있는 연도(%d ~ %d)를 벗어납니다.", year, range.lower, range.upper),
                         "참고");
    return false;
  }
  // The cell of the date when the month shown holds it.
  auto cellOf = [&](int& cell) {
    if (!month_.View().filled || !state_.tables->Prepared) return false;
    cell = month_.View().CellOf({year, month, day});
    return cell >= 0 && month_.View().InMonth(cell) && AstronomicalYear(state_.inputs) == state_.LoadedYear();
  };
  int cell = -1;
  if (!cellOf(cell)) {
    if (state_.displayMode == DisplayMode::Solar) {
      SetAstronomicalYear(state_.inputs, year);
      state_.inputs.month = month;
      state_.leapMonthWanted = false;
    } else {
      // The lunar month holding the date, from the tables of its civil year
      // (which hold the lunar months around it).
      if (state_.LoadedYear() != year || SlotOfSolarDate(*state_.tables, year, month, day) < 0)
        state_.PrepareYear(year);
      const LunarDay lunar = LunarDayOf(*state_.tables, {year, month, day});
      if (!lunar.Known()) return false;
      SetAstronomicalYear(state_.inputs, lunar.year);
      state_.inputs.month = lunar.month;
      state_.leapMonthWanted = lunar.leap;
    }
    state_.ClearSelection();
    if (!month_.Build() || !cellOf(cell)) return false;
  }
  return month_.SelectDay(MonthGrid::CellColumn(cell), MonthGrid::CellRow(cell, 0));
}

bool CalendarApp::MoveSelectedDay(int days) {
  if (!month_.View().filled || !state_.tables->Prepared) return false;
  int y = 0, m = 0, d = 0;
  if (state_.selected.selected() && month_.SelectedCell() >= 0) {
    y = state_.selected.solarYear;
    m = state_.selected.solarMonth;
    d = state_.selected.solarDay;
  } else {
    const int cell = month_.View().todayCell >= 0 ? month_.View().todayCell : month_.View().LastCellBefore + 1;
    if (cell < 0 || cell >= MonthGrid::kCells || !month_.View().grid.cells[cell].present) return false;
    const CivilDate& date = month_.View().grid.cells[cell].values.solar;
    y = date.year;
    m = date.month;
    d = date.day;
    days = 0;  // the first press selects the starting day itself
  }
  const CivilDateTime target = JulianDayToCalendar(NoonJd(y, m, d) + days);
  return ShowAndSelectDate(target.year, target.month, target.day);
}

bool CalendarApp::GoToDate(const DateQuery& query) {
  if (!query.lunar) {
    // A day the month lacks (2/30) is refused by the calendar itself.
    const CivilDateTime check = JulianDayToCalendar(NoonJd(query.year, query.month, query.day));
    if (check.month != query.month || check.day != query.day) {
      state_.messages.Show(Format("%d년 %d월에는 %d일이 없습니다.", query.year, query.month, query.day), "참고");
      return false;
    }
    return ShowAndSelectDate(query.year, query.month, query.day);
  }
  if (!state_.YearInRange(query.year)) return ShowAndSelectDate(query.year, 1, 1);
  if (state_.LoadedYear() != query.year) state_.PrepareYear(query.year);
  std::optional<CivilDate> date = SolarDateOfLunar(*state_.tables, query.year, query.month, query.day, query.leap);
  if (!date && query.day == 30) {
    // A 30th the month lacks: its last day, as the memo days are shown.
    date = SolarDateOfLunar(*state_.tables, query.year, query.month, 29, query.leap);
  }
  if (!date) {
    if (query.leap)
      state_.messages.Show(Format("음력 %d년 %d월은 윤달이 없습니다.", query.year, query.month), "참고",
                           MessageButtons::Ok, MessageIcon::Error);
    else
      state_.messages.Show(Format("음력 %d년 %d월 %d일을 찾을 수 없습니다.", query.year, query.month, query.day),
                           "참고");
    month_.Build();
    return false;
  }
  return ShowAndSelectDate(date->year, date->month, date->day);
}

std::vector<NamedDay> CalendarApp::FindNamedDays(const std::string& text) {
  std::vector<NamedDay> found;
  if (!state_.tables->Prepared) return found;
  const std::string wanted = Folded(text);
  // From the selected day of the month shown, else today when the tables
  // hold it, else the first day of the month shown.
  std::optional<CivilDate> from;
  if (month_.SelectedCell() >= 0)
    from = CivilDate{state_.selected.solarYear, state_.selected.solarMonth, state_.selected.solarDay};
  if (!from && SlotOfSolarDate(*state_.tables, state_.settings.TodayDate[0], state_.settings.TodayDate[1],
                               state_.settings.TodayDate[2]) >= 0)
    from = state_.Today();
  if (!from && month_.View().filled && month_.View().grid.cells[month_.View().LastCellBefore + 1].present)
    from = month_.View().grid.cells[month_.View().LastCellBefore + 1].values.solar;
  if (!from) return found;
  const double fromJd = NoonJd(from->year, from->month, from->day);
  std::map<std::string, NamedDay> firstByName;  // kind + name -> next date
  auto offer = [&](const CivilDate& date, const std::string& name, const char* kind) {
    if (!wanted.empty() && Folded(name).find(wanted) == std::string::npos) return;
    const double jd = NoonJd(date.year, date.month, date.day);
    if (jd < fromJd) return;
    const std::string key = std::string(kind) + "\x1f" + name;
    auto it = firstByName.find(key);
    if (it != firstByName.end() && NoonJd(it->second.year, it->second.month, it->second.day) <= jd) return;
    firstByName[key] = NamedDay{date.year, date.month, date.day, name, kind, static_cast<int>(std::lround(jd - fromJd))};
  };
  // The days the loaded tables hold from there on, as every view has them.
  DaysOptions options = state_.DaysOptionsInEffect();
  options.screenEclipses = false;
  const CalendarOfDays days = state_.years->Days(state_.ctx, *state_.tables, state_.memos, *from,
                                                 YearTables::kDaySlots, options);
  for (const CalendarDay& day : days.Days()) {
    for (const DayHoliday& h : day.holidays) offer(day.solar, h.name, h.dayOff ? "공휴일" : "기념일");
    for (const DayAnniversary& a : day.anniversaries) offer(day.solar, a.name, a.lunar ? "비망일(음력)" : "비망일(양력)");
  }
  for (auto& [key, day] : firstByName) found.push_back(day);
  std::sort(found.begin(), found.end(), [](const NamedDay& a, const NamedDay& b) {
    if (a.daysFrom != b.daysFrom) return a.daysFrom < b.daysFrom;
    return a.name < b.name;
  });
  return found;
}

}  // namespace orv
