// Simulation items 11 to 13: the solar terms, the new and full moons by lunar
// month and the months without a major term, year by year. Each item builds
// the years it needs in tables of its own (the window's loaded year stays as
// it is).
#include <memory>

#include "app/core/year_service.h"
#include "app/core/simulation/simulation_internal.h"
#include "lunisolar/prepare.h"
#include "lunisolar/terms.h"

namespace orv::simulation {
namespace {

// Year "built last" before the first repetition: no year at all.
constexpr int kNoYearBuilt = -999999;
// Term index of the winter solstice (longitude 270).
constexpr int kWinterSolsticeIndex = 21;
// Item 12 starts its search this many day-table slots before lunar 1-1.
constexpr int kSlotsBeforeFirstMonth = 5;
// A lunar year has at most 13 lunations; one more is looked at for a leap
// month after month 12.
constexpr int kMaxLunations = 14;
// Terms per year written by item 11: twelve pairs.
constexpr int kTermPairsPerYear = 12;

// The year tables of the items, rebuilt when the year changes.
class YearBuilder {
 public:
  explicit YearBuilder(ItemRun& run) : run_(run), tables_(std::make_unique<YearTables>()) {}
  YearTables& Year(int year) {
    if (year != built_) {
      PrepareYear(run_.ctx(), *tables_, year, LunarOptionsFor(run_.env, year));
      built_ = year;
    }
    return *tables_;
  }

 private:
  ItemRun& run_;
  std::unique_ptr<YearTables> tables_;
  int built_ = kNoYearBuilt;
};

// Civil year of the instant t in the selected time system (standard time: the place's date).
int YearOfInstant(const CalcSettings& settings, double t) {
  return JulianDayToCalendar(t + settings.ZoneOffsetDays).year;
}

// "'%d년%02d월%02d일 %02d시%02d분%04.1f초,%18.9lf" of an event whose seconds
// have been refined (the fields carry the refinement's minute carry), with
// its Julian Day in the selected time system less the zone offset.
std::string EventText(const CalcSettings& settings, const ListedMinute& e, float seconds) {
  const double jd = CalendarToJulianDay(e.y, e.m, e.d) - settings.ZoneOffsetDays +
                    (e.h + (e.mi + seconds / 60.0) / 60.0) / 24.0;
  // Rounded as printed, the carry reaching the date (never "60.0초").
  constexpr int kTenthsPerSecond = 10;
  const CivilDateTime t = RoundCivilSeconds(e.y, e.m, e.d, e.h, e.mi, seconds, kTenthsPerSecond);
  return Format("'%d년%02d월%02d일 %02d시%02d분%04.1f초,%18.9lf", t.year, t.month, t.day, t.hour, t.minute,
                static_cast<double>(t.seconds), jd);
}

// The refined instant, or the listed minute with the middle of the minute
// when the refinement failed.
RefinedMinute OrMiddleOfMinute(const ListedMinute& e, const std::optional<RefinedMinute>& refined) {
  return refined.value_or(RefinedMinute{e, kListedMinuteMiddleSeconds});
}

std::string TermText(ItemRun& run, const ListedMinute& e, int termIndex) {
  const RefinedMinute r = OrMiddleOfMinute(e, RefineTermSeconds(run.ctx(), TermLongitude(termIndex), e));
  return Format("%s,", SolarTermNames[termIndex]) + EventText(run.settings(), r.minute, r.seconds);
}

std::string SyzygyText(ItemRun& run, const ListedMinute& e, SyzygyKind kind) {
  const RefinedMinute r = OrMiddleOfMinute(e, RefineSyzygySeconds(run.ctx(), kind, e));
  return EventText(run.settings(), r.minute, r.seconds);
}

bool NextSyzygy(const YearTables& tables, const ListedMinute& from, SyzygyKind kind, ListedMinute& out) {
  const std::optional<ListedMinute> found = FindSyzygyNear(tables, from, SearchDirection::kAtOrAfter, kind);
  if (found) out = *found;
  return found.has_value();
}

// The lunar month a new moon dated y-m-d begins: year, month and leap flag of
// its day-table slot. When the recorded calendar starts the month a day after
// the new moon, the slot is the last day of the month before; then the next
// month is taken.
bool MonthOfNewMoon(const YearTables& tables, const ListedMinute& newMoon, int& lunarYear, int& month, bool& leap) {
  int slot = SlotOfSolarDate(tables, newMoon.y, newMoon.m, newMoon.d);
  if (slot < 0 || tables.DayTable[slot].lunarDate == 0) return false;
  int ly, lm, ld;
  UnpackDate(tables.DayTable[slot].lunarDate, ly, lm, ld);
  constexpr int kMidMonthDay = 15;
  if (ld > kMidMonthDay) {
    slot += tables.DayTable[slot].monthLength - ld + 1;
    if (slot >= tables.DayTableCount || tables.DayTable[slot].lunarDate == 0) return false;
    UnpackDate(tables.DayTable[slot].lunarDate, ly, lm, ld);
  }
  lunarYear = ly;
  month = lm;
  leap = tables.DayTable[slot].leap != 0;
  return true;
}

void WriteTermsOfYear(ItemRun& run, const YearTables& tables, int year) {
  ListedMinute from{year, 1, 1, 0, 0};
  for (int pair = 0; pair < kTermPairsPerYear; ++pair) {
    const std::optional<ListedTerm> sectional =
        FindSolarTermNear(tables, from, SearchDirection::kAtOrAfter, TermKind::kSectional);
    if (!sectional) return;
    const std::optional<ListedTerm> major =
        FindSolarTermNear(tables, sectional->minute, SearchDirection::kAtOrAfter, TermKind::kMajor);
    if (!major) return;
    run.out.Write("\n" + TermText(run, sectional->minute, sectional->termIndex) + "," +
                  TermText(run, major->minute, major->termIndex));
    from = major->minute;
  }
}

void WriteLunationsOfYear(ItemRun& run, const YearTables& tables, int year) {
  const int firstSlot = SlotOfLunarDate(tables, year, 1, 1, false);
  if (firstSlot < kSlotsBeforeFirstMonth) return;
  ListedMinute from;
  UnpackDate(tables.DayTable[firstSlot - kSlotsBeforeFirstMonth].solarDate, from.y, from.m, from.d);
  ListedMinute newMoon, fullMoon;
  if (!NextSyzygy(tables, from, kNewMoon, newMoon) || !NextSyzygy(tables, newMoon, kFullMoon, fullMoon)) return;
  run.out.Write("\n정월삭," + SyzygyText(run, newMoon, kNewMoon) + ",정월망," + SyzygyText(run, fullMoon, kFullMoon));

  bool leapWritten = false, month12Written = false;
  for (int lunation = 1; lunation < kMaxLunations; ++lunation) {
    if (!NextSyzygy(tables, fullMoon, kNewMoon, newMoon) || !NextSyzygy(tables, newMoon, kFullMoon, fullMoon)) return;
    int lunarYear, month;
    bool leap;
    if (!MonthOfNewMoon(tables, newMoon, lunarYear, month, leap)) return;
    // After month 12 only a leap month still belongs to the year.
    if ((month12Written || lunarYear > year) && !leap) return;
    const std::string newText = SyzygyText(run, newMoon, kNewMoon), fullText = SyzygyText(run, fullMoon, kFullMoon);
    if (leap && !leapWritten) {
      run.out.Write(Format("\n윤%d월삭,", month) + newText + Format(",윤%d월망,", month) + fullText);
      leapWritten = true;
    } else {
      run.out.Write(Format("\n%02d월삭,", month) + newText + Format(",%02d월망,", month) + fullText);
    }
    if (month12Written) return;  // the leap month after month 12
    if (month == 12 && !leap) month12Written = true;
  }
}

// Julian Day (00:00) of a packed date.
double DayJD(PackedDate date) {
  int y, m, d;
  UnpackDate(date, y, m, d);
  return CalendarToJulianDay(y, m, d);
}

void WriteNoMajorTermMonthsOfYear(ItemRun& run, const YearTables& tables) {
  PackedDate solstice[2] = {0, 0};
  int found = 0;
  for (const SolarTermRecord& r : tables.SolarTermList) {
    if (r.date == 0 || found == 2) break;
    if (r.termIndex == kWinterSolsticeIndex) solstice[found++] = r.date;
  }
  if (found < 2) return;
  const double fromJD = DayJD(solstice[0]), belowJD = DayJD(solstice[1]);
  for (const int slot : tables.NoMajorTermStarts) {
    if (slot < 0 || slot >= tables.DayTableCount) continue;
    const DayRecord& day = tables.DayTable[slot];
    const double startJD = DayJD(day.solarDate);
    if (startJD < fromJD || startJD >= belowJD) continue;
    // Running number: the months begun after the first solstice, this one included.
    int number = 0;
    for (const SyzygyRecord& r : tables.SyzygyList) {
      if (r.date == 0) break;
      if (r.isNewMoon() && DayJD(r.date) > fromJD && DayJD(r.date) <= startJD) ++number;
    }
    // The new moon that begins the month: the last one before the next day.
    const CivilDate following = JulianDayToCivilDate(startJD + 1.0);
    const std::optional<ListedMinute> listed = FindSyzygyNear(
        tables, ListedMinute{following.year, following.month, following.day, 0, 0}, SearchDirection::kBefore, kNewMoon);
    if (!listed) continue;
    const RefinedMinute refined = OrMiddleOfMinute(*listed, RefineSyzygySeconds(run.ctx(), kNewMoon, *listed));
    const ListedMinute& newMoon = refined.minute;
    const float seconds = refined.seconds;
    const double newMoonJD = CalendarToJulianDay(newMoon.y, newMoon.m, newMoon.d) - run.settings().ZoneOffsetDays +
                             (newMoon.h + (newMoon.mi + seconds / 60.0) / 60.0) / 24.0;
    int ly, lm, ld, sy, sm, sd;
    UnpackDate(day.lunarDate, ly, lm, ld);
    UnpackDate(day.solarDate, sy, sm, sd);
    run.out.Write(Format(day.leap ? "\n'%d년윤%02d월%02d일,'%d년%02d월%02d일,%18.9lf,%d"
                                  : "\n'%d년%02d월%02d일,'%d년%02d월%02d일,%18.9lf,%d",
                         ly, lm, ld, sy, sm, sd, newMoonJD, number));
  }
}

}  // namespace

void WriteSolarTerms(ItemRun& run) {
  run.out.Write("절기,일시,JD,중기,일시,JD,");
  YearBuilder builder(run);
  run.EachRepetition([&](double t) {
    const int year = YearOfInstant(run.settings(), t);
    WriteTermsOfYear(run, builder.Year(year), year);
  });
}

void WriteSyzygies(ItemRun& run) {
  run.out.Write("월삭,일시,JD,월망,일시,JD");
  YearBuilder builder(run);
  run.EachRepetition([&](double t) {
    const int year = YearOfInstant(run.settings(), t);
    WriteLunationsOfYear(run, builder.Year(year), year);
  });
}

void WriteNoMajorTermMonths(ItemRun& run) {
  run.out.Write("음력,양력,JD,전현 동지사이 연속번호");
  YearBuilder builder(run);
  run.EachRepetition([&](double t) { WriteNoMajorTermMonthsOfYear(run, builder.Year(YearOfInstant(run.settings(), t))); });
}

}  // namespace orv::simulation
