#include "app/core/calendar_days.h"

#include <cmath>
#include <map>

#include "app/core/reports/public_holidays.h"
#include "eclipses/eclipse_global.h"
#include "lunisolar/lunar_calendar.h"
#include "lunisolar/sexagenary.h"

namespace orv {
namespace {

// Sexagenary day names are taken at 11:59, clear of the 23:30 day change.
constexpr int kNoonHour = 11, kNoonMinute = 59;
constexpr int kSexagenaryCycle = 60;

// A day's record in `tables`: the slot of the same civil date, found once
// from the first day and then stepped (the tables of one year share their
// slots), or looked up when they are another year's.
class SlotWalker {
 public:
  SlotWalker(const YearTables* tables, const CivilDate& first) : tables_(tables) {
    if (tables_ != nullptr) slot_ = SlotOfSolarDate(*tables_, first.year, first.month, first.day);
  }
  // The record of the day `offset` days after the first, nullptr when the
  // tables do not hold it.
  const DayRecord* At(int offset, const CivilDate& date) const {
    if (tables_ == nullptr || slot_ < 0) return nullptr;
    int slot = slot_ + offset;
    if (slot < 0 || slot >= tables_->DayTableCount || tables_->DayTable[slot].solarDate != PackDate(date.year, date.month, date.day))
      slot = SlotOfSolarDate(*tables_, date.year, date.month, date.day);
    if (slot < 0 || slot >= tables_->DayTableCount) return nullptr;
    return &tables_->DayTable[slot];
  }

 private:
  const YearTables* tables_;
  int slot_ = -1;
};

LunarDay LunarOf(const DayRecord* r) {
  LunarDay out;
  if (r == nullptr || r->lunarDate == 0) return out;
  UnpackDate(r->lunarDate, out.year, out.month, out.day);
  out.leap = r->leap != 0;
  out.monthLength = r->monthLength;
  return out;
}

// Index of a civil date among the days, -1 outside.
int DayIndex(double firstJd, int count, int y, int m, int d) {
  const long i = std::lround(CalendarToJulianDay(y, m, d) - firstJd);
  return i >= 0 && i < count ? static_cast<int>(i) : -1;
}

void AddEvents(EngineContext& ctx, const YearTables& tables, double firstJd, std::vector<CalendarDay>& days,
               const DaysOptions& options) {
  const int count = static_cast<int>(days.size());
  for (const SolarTermRecord& r : tables.SolarTermList) {
    if (r.date == 0) break;
    if (r.termIndex < 0 || r.termIndex > 23) continue;
    DayTerm term;
    term.termIndex = r.termIndex;
    ListedMinute& t = term.minute;
    UnpackDateTime(r.date, r.time(), t.y, t.m, t.d, t.h, t.mi);
    const int i = DayIndex(firstJd, count, t.y, t.m, t.d);
    if (i >= 0) days[static_cast<size_t>(i)].terms.push_back(term);
  }
  for (const SyzygyRecord& r : tables.SyzygyList) {
    if (r.date == 0) break;
    DaySyzygy syzygy;
    syzygy.newMoon = r.isNewMoon();
    ListedMinute& t = syzygy.minute;
    UnpackDateTime(r.date, r.time(), t.y, t.m, t.d, t.h, t.mi);
    const int i = DayIndex(firstJd, count, t.y, t.m, t.d);
    if (i < 0) continue;
    const double dayJd = CalendarToJulianDay(t.y, t.m, t.d);
    const double screenFromJd =
        CalendarToJulianDay(options.screenFrom.year, options.screenFrom.month, options.screenFrom.day);
    const bool inScreen = options.screenDays == 0 || (dayJd >= screenFromJd && dayJd < screenFromJd + options.screenDays);
    if (options.screenEclipses && inScreen) {
      syzygy.screened = true;
      const double jd = t.Jd() - ctx.settings.ZoneOffsetDays;
      syzygy.eclipse =
          QuickEclipseCheck(ctx, jd, syzygy.newMoon ? SyzygyKind::kNewMoon : SyzygyKind::kFullMoon).score > 0;
    }
    days[static_cast<size_t>(i)].syzygies.push_back(syzygy);
  }
}

void AddSeasonalDays(EngineContext& ctx, const YearTables& tables, double firstJd, std::vector<CalendarDay>& days) {
  // The seasonal days of the tables' own civil year: the days before and
  // after it belong to other years' tables.
  const int count = static_cast<int>(days.size());
  const int year = tables.LoadedYear;
  auto mark = [&](int month, int day, SeasonalDay what) {
    const int i = DayIndex(firstJd, count, year, month, day);
    if (i >= 0 && days[static_cast<size_t>(i)].seasonal == SeasonalDay::None) days[static_cast<size_t>(i)].seasonal = what;
  };
  int dogDays[3];
  SambokDays(tables, dogDays[0], dogDays[1], dogDays[2]);
  const SeasonalDay dogKinds[3] = {SeasonalDay::FirstDogDay, SeasonalDay::MiddleDogDay, SeasonalDay::LastDogDay};
  for (int i = 0; i < 3; ++i)
    if (dogDays[i] > 0) mark(dogDays[i] / 100, dogDays[i] % 100, dogKinds[i]);
  int month, day;
  if (HansikDay(ctx, tables, year, month, day)) mark(month, day, SeasonalDay::ColdFood);
  if (DanoDay(tables, year, month, day)) mark(month, day, SeasonalDay::Dano);
}

void AddHolidays(const YearTables& korean, double firstJd, std::vector<CalendarDay>& days) {
  const int count = static_cast<int>(days.size());
  std::map<int, bool> yearsDone;
  for (const CalendarDay& day : days) {
    if (!yearsDone.emplace(day.solar.year, true).second) continue;
    for (const PublicHoliday& h : PublicHolidaysOfYear(korean, day.solar.year)) {
      const int i = DayIndex(firstJd, count, h.year, h.month, h.day);
      if (i < 0) continue;
      days[static_cast<size_t>(i)].holidays.push_back({h.key, h.name, h.dayOff, h.substitute});
    }
  }
}

void AddAnniversaries(const YearTables* lunarTables, const MemoTable& memos, std::vector<CalendarDay>& days,
                      const std::vector<LunarDay>& anniversaryLunar) {
  bool anyLunar = false;
  for (const MemoEntry& e : memos) anyLunar = anyLunar || IsLunarMemo(e.kind);
  for (size_t k = 0; k < days.size(); ++k) {
    CalendarDay& day = days[k];
    const CivilDate& s = day.solar;
    for (size_t i = 0; i < memos.size(); ++i) {
      const MemoEntry& e = memos[i];
      if (e.kind != kMemoSolar || e.year > s.year || e.month != s.month || e.day != s.day) continue;
      DayAnniversary a;
      a.memoIndex = static_cast<int>(i);
      a.name = MemoDisplayName(e.name);
      a.mark = MemoMarkOf(e.name);
      a.count = AnniversaryCountText(e, s.year);
      day.anniversaries.push_back(std::move(a));
    }
    if (!anyLunar || lunarTables == nullptr) continue;
    const LunarDay& l = anniversaryLunar[k];
    if (!l.Known()) continue;
    int leapChecked = -1;  // whether lunar year l.year has a leap month l.month, once asked
    for (size_t i = 0; i < memos.size(); ++i) {
      const MemoEntry& e = memos[i];
      if (!IsLunarMemo(e.kind) || e.year > l.year || e.month != l.month) continue;
      if (e.kind == kMemoLunarLeap && !l.leap && leapChecked < 0)
        leapChecked = SlotOfLunarDate(*lunarTables, l.year, l.month, 1, true) >= 0 ? 1 : 0;
      if (!LunarMemoFallsOn(e, l.month, l.day, l.leap, l.monthLength, leapChecked == 1)) continue;
      DayAnniversary a;
      a.memoIndex = static_cast<int>(i);
      a.lunar = true;
      a.name = MemoDisplayName(e.name);
      a.mark = MemoMarkOf(e.name);
      a.count = AnniversaryCountText(e, l.year);
      a.lunarDate = l;
      day.anniversaries.push_back(std::move(a));
    }
  }
}

}  // namespace

const char* AnniversaryCalendarKey(AnniversaryCalendar calendar) {
  return calendar == AnniversaryCalendar::Local ? "local" : "korean";
}

bool ParseAnniversaryCalendarKey(const std::string& key, AnniversaryCalendar& calendar) {
  for (AnniversaryCalendar c : {AnniversaryCalendar::Korean, AnniversaryCalendar::Local})
    if (key == AnniversaryCalendarKey(c)) {
      calendar = c;
      return true;
    }
  return false;
}

bool CalendarDay::DayOff() const {
  for (const DayHoliday& h : holidays)
    if (h.dayOff) return true;
  return false;
}

const CalendarDay* CalendarOfDays::Find(const CivilDate& date) const {
  if (days_.empty()) return nullptr;
  const CivilDate& first = days_.front().solar;
  const long i = std::lround(CalendarToJulianDay(date.year, date.month, date.day) -
                             CalendarToJulianDay(first.year, first.month, first.day));
  if (i < 0 || i >= static_cast<long>(days_.size())) return nullptr;
  return &days_[static_cast<size_t>(i)];
}

CalendarOfDays BuildCalendarOfDays(EngineContext& ctx, const DaysSources& sources, const MemoTable& memos,
                                   const CivilDate& first, int count, const DaysOptions& options) {
  std::vector<CalendarDay> days;
  if (sources.place == nullptr || count < 1) return CalendarOfDays{};
  const YearTables& place = *sources.place;
  const SlotWalker placeSlots(&place, first);
  const SlotWalker koreanSlots(sources.korean, first);
  const SlotWalker anniversarySlots(sources.anniversaries, first);
  const double firstJd = CalendarToJulianDay(first.year, first.month, first.day);
  std::vector<LunarDay> anniversaryLunar;
  days.reserve(static_cast<size_t>(count));
  anniversaryLunar.reserve(static_cast<size_t>(count));
  int pillar0 = -1;
  for (int i = 0; i < count; ++i) {
    const CivilDateTime c = JulianDayToCalendar(firstJd + i);
    const CivilDate date{c.year, c.month, c.day};
    const DayRecord* r = placeSlots.At(i, date);
    if (r == nullptr) break;
    CalendarDay day;
    day.solar = date;
    day.weekday = WeekdayOf(date.year, date.month, date.day);
    day.lunar = LunarOf(r);
    day.koreanLunar = sources.korean == sources.place ? day.lunar : LunarOf(koreanSlots.At(i, date));
    if (pillar0 < 0) pillar0 = SexagenaryOfInstant(place, date.year, date.month, date.day, kNoonHour, kNoonMinute).day;
    day.dayPillar = (pillar0 + i) % kSexagenaryCycle;
    anniversaryLunar.push_back(sources.anniversaries == sources.place    ? day.lunar
                               : sources.anniversaries == sources.korean ? day.koreanLunar
                                                                         : LunarOf(anniversarySlots.At(i, date)));
    days.push_back(std::move(day));
  }
  if (days.empty()) return CalendarOfDays{};
  AddEvents(ctx, place, firstJd, days, options);
  AddSeasonalDays(ctx, place, firstJd, days);
  if (sources.korean != nullptr) AddHolidays(*sources.korean, firstJd, days);
  AddAnniversaries(sources.anniversaries, memos, days, anniversaryLunar);
  return CalendarOfDays(std::move(days));
}

std::optional<CivilDate> SolarDateOfLunar(const YearTables& tables, int year, int month, int day, bool leap) {
  const int slot = SlotOfLunarDate(tables, year, month, day, leap);
  if (slot < 0 || slot >= tables.DayTableCount || tables.DayTable[slot].solarDate == 0) return std::nullopt;
  CivilDate date;
  UnpackDate(tables.DayTable[slot].solarDate, date.year, date.month, date.day);
  return date;
}

LunarDay LunarDayOf(const YearTables& tables, const CivilDate& date) {
  const int slot = SlotOfSolarDate(tables, date.year, date.month, date.day);
  if (slot < 0 || slot >= tables.DayTableCount) return LunarDay{};
  return LunarOf(&tables.DayTable[slot]);
}

DaysHeld DaysHeldBy(const YearTables& tables) {
  DaysHeld held;
  int first = -1, last = -1;
  for (int slot = 0; slot < tables.DayTableCount; ++slot) {
    if (tables.DayTable[slot].solarDate == 0) continue;
    if (first < 0) first = slot;
    last = slot;
  }
  if (first < 0) return held;
  UnpackDate(tables.DayTable[first].solarDate, held.first.year, held.first.month, held.first.day);
  held.count = last - first + 1;
  return held;
}

std::vector<CivilDate> NoMajorTermMonthStarts(const YearTables& tables) {
  std::vector<CivilDate> starts;
  for (int slot : tables.NoMajorTermStarts) {
    if (slot < 0 || slot >= tables.DayTableCount || tables.DayTable[slot].solarDate == 0) continue;
    CivilDate date;
    UnpackDate(tables.DayTable[slot].solarDate, date.year, date.month, date.day);
    starts.push_back(date);
  }
  return starts;
}

}  // namespace orv
