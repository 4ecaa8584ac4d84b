#include "app/core/reports/reports.h"

#include "time/civil_clock.h"

#include <cmath>

#include "app/core/reports/report_format.h"
#include "app/core/year_service.h"
#include "lunisolar/prepare.h"
#include "time/timescales.h"

namespace orv {
namespace {

// Smallest error bound quoted, seconds.
constexpr int kMinimumErrorBoundSeconds = 5;

// Error of PLAN404 against a JPL ephemeris as a polynomial in Julian
// centuries from J2000, seconds; coefficients of t^0 .. t^4.
constexpr double kSolarTermErrorPolynomial[5] = {7.224357425108429, -4.810403796816244, -0.23650910270972128,
                                                  -0.006559323276781566, -8.83516795365565e-05};
constexpr double kSyzygyErrorPolynomial[5] = {-1.47594653612563, 0.540690113610049, 0.0385453125192433,
                                              0.00781174776525533, 2.4326096207058e-05};

}  // namespace

IncompleteYearError::IncompleteYearError(int failedYear)
    : std::runtime_error("the search for the solar terms or the new and full moons of " + std::to_string(failedYear) +
                         " failed under these settings"),
      year(failedYear) {}

std::string IncompleteYearMessage(int year) {
  return Format("%d년의 절기와 합삭·망을 이 설정으로 모두 찾지 못했습니다.\n음력 날짜가 없는 날이 있습니다.", year);
}

namespace {

bool LoadYear(ReportInputs& in, int year) {
  if (in.years != nullptr) {
    // The service decides the correction of each year by its rule, so a
    // table of thirty years follows the records only in their years.
    const YearOutcome outcome = in.years->Prepare(in.engine, in.tables, year, in.correctionWanted);
    if (outcome != YearOutcome::OutsideFileYears) return outcome == YearOutcome::Prepared;
    // Callers check the years first; should one slip through, the engine
    // reports the instant the file cannot serve.
    return PrepareYear(in.engine, in.tables, year,
                       LunarOptionsOf(year, in.engine.settings.PlaceIndex, in.correctionWanted));
  }
  if (in.tables.Prepared && in.tables.LoadedYear == year &&
      SameListSettings(in.tables.PreparedWith, in.engine.settings))
    return EveryDayNumbered(in.tables);
  return PrepareYear(in.engine, in.tables, year, in.lunar);
}

}  // namespace

void EnsureYearLoaded(ReportInputs& in, int year) {
  if (!LoadYear(in, year)) throw IncompleteYearError(year);
}

const YearTables& HolidayCalendar(ReportInputs& in, int year) {
  EnsureYearLoaded(in, year);
  if (in.years == nullptr) return in.tables;
  return in.years->KoreanCalendar(in.engine, in.tables, year);
}

CalendarOfDays HolidayDays(ReportInputs& in, int year) {
  EnsureYearLoaded(in, year);
  DaysOptions options;
  options.screenEclipses = false;
  options.koreanDates = true;
  const CivilDate first{year, 1, 1};
  const int count = static_cast<int>(std::lround(CalendarToJulianDay(year + 1, 1, 1) - CalendarToJulianDay(year, 1, 1)));
  if (in.years != nullptr) return in.years->Days(in.engine, in.tables, MemoTable{}, first, count, options);
  DaysSources sources;
  sources.place = sources.korean = sources.anniversaries = &in.tables;
  return BuildCalendarOfDays(in.engine, sources, MemoTable{}, first, count, options);
}

double ShownOnCivilClock(const ReportInputs& in, double jdStandard, std::string& label) {
  return ShownOnCivilClock(in.engine.settings, in.timeZone, jdStandard, label);
}

double ShownOnCivilClock(const CalcSettings& s, const std::string& timeZone, double jdStandard, std::string& label) {
  label.clear();
  if (s.TimeSystemCode != kTimeCivil || timeZone.empty()) return jdStandard;
  const CivilClock clock(timeZone);
  if (!clock.valid()) return jdStandard;
  const double jdUT = jdStandard - s.ZoneOffsetDays;
  const ClockState state = clock.StateAt(JulianDayToUnix(jdUT));
  label = " UTC" + FormatUtcOffset(state.offsetSeconds);
  return jdUT + state.offsetSeconds / kSecondsPerDay;
}

std::string TimeSystemNote(const CalcSettings& settings) {
  switch (settings.TimeSystemCode) {
    case kTimeTT: return "적용된 시간체계는 TT(지구시))";
    case kTimeUT: return "적용된 시간체계는 UT(세계시))";
    case kTimeCivil: return "적용된 시간체계는 ST(표준시), 시각은 현지 시계)";
    default: return "적용된 시간체계는 ST(표준시))";
  }
}

int Plan404ErrorBoundSeconds(int year, ErrorBoundKind kind) {
  // The fit's argument is kept in single precision.
  const float centuries =
      static_cast<float>((CalendarToJulianDay(year, 1, 1) - kJ2000) / kDaysPerJulianCentury);
  const double* c = kind == ErrorBoundKind::SolarTerms ? kSolarTermErrorPolynomial : kSyzygyErrorPolynomial;
  const double t = centuries;
  const double p = (((c[4] * t + c[3]) * t + c[2]) * t + c[1]) * t + c[0];
  const double bound = std::trunc(std::fabs(p));
  if (!(bound < 2147483647.0)) return 2147483647;
  return bound < kMinimumErrorBoundSeconds ? kMinimumErrorBoundSeconds : static_cast<int>(bound);
}

double DeltaTOnNewYear(EngineContext& ctx, int year) {
  TimeState newYear;
  newYear.CurrentJD = CalendarToJulianDay(year, 1, 1);
  UpdateTimeScales(newYear, ctx.settings);
  return DeltaTAt(ctx.settings, newYear.CurrentUT);
}

std::string ReferenceNote(EngineContext& ctx, int year, ErrorBoundKind kind) {
  const double deltaT = DeltaTOnNewYear(ctx, year);
  const std::string deltaTText = FormatDeltaT(deltaT);
  if (ctx.settings.EphemerisCode == kEphemerisPlan404) {
    const char* format = kind == ErrorBoundKind::SolarTerms
                             ? "\n\n[참고] :\t위 시각의 최대예측오차  = %d 초\n\t이 해 1월1일의 Delta_T = %.3lfs = %s"
                             : "\n\n[참고] :\t위 시각의 최대예측오차 = %d 초\n\t이 해 1월1일의 Delta_T = %.3lfs = %s";
    return report::Format(format, Plan404ErrorBoundSeconds(year, kind), deltaT, deltaTText.c_str());
  }
  return report::Format("\n\n[참고] :\t이 해 1월1일의 Delta_T = %.3lfs = %s", deltaT, deltaTText.c_str());
}

std::string CorrectionNote(bool historicalCorrection) {
  return historicalCorrection ? "[음력은 보정됨]" : "[음력은 미보정]";
}

namespace report {

TenthsTime RoundToTenths(int y, int m, int d, int h, int mi, double seconds) {
  constexpr long long kTenthsPerMinute = 600;
  // Anything but seconds of a minute (with a little slack) is a caller's bug;
  // it prints as 00.0 rather than looping.
  constexpr double kMaxAbsSeconds = 3600.0;
  if (!std::isfinite(seconds) || std::fabs(seconds) > kMaxAbsSeconds) seconds = 0.0;
  long long tenths = std::llround(seconds * 10.0);
  long long carryMinutes = 0;
  while (tenths >= kTenthsPerMinute) {
    tenths -= kTenthsPerMinute;
    ++carryMinutes;
  }
  while (tenths < 0) {
    tenths += kTenthsPerMinute;
    --carryMinutes;
  }
  TenthsTime t{y, m, d, h, mi, static_cast<double>(tenths) / 10.0};
  if (carryMinutes != 0) AddMinutes(carryMinutes, y, m, d, h, mi, t.year, t.month, t.day, t.hour, t.minute);
  return t;
}

TenthsTime JulianDayToTenths(double jd) {
  const CivilDateTime c = JulianDayToCalendar(jd);
  return RoundToTenths(c.year, c.month, c.day, c.hour, c.minute, c.seconds);
}

}  // namespace report
}  // namespace orv
