#include "app/core/reports/year_reports.h"

#include <algorithm>

#include "app/core/reports/report_format.h"
#include "lunisolar/prepare.h"
#include "lunisolar/sexagenary.h"
#include "lunisolar/terms.h"

namespace orv {
namespace {

using report::Format;
using report::Repeat;
using report::RoundToTenths;
using report::TenthsTime;

// Pairs of lines of the solar-term report (24 terms).
constexpr int kTermPairs = 12;
// Regular months of a lunar year; one more line when a month repeats.
constexpr int kMonthsPerYear = 12;
// Longest span of the 30-year tables, years.
constexpr int kTableSpanYears = 30;
// The syzygy walk starts this many days before lunar New Year.
constexpr int kDaysBeforeNewYear = 5;
// Solar longitudes at which the four earth periods (土旺用事) begin, degrees:
// 18 days before each start of a season.
constexpr double kWinterEarthDeg = 297.0, kSpringEarthDeg = 27.0, kSummerEarthDeg = 117.0,
                 kAutumnEarthDeg = 207.0;
// The leap-month walk samples the civil calendar every 26 days (days past 28
// roll into the next month), which never steps over a lunar month.
constexpr int kLeapWalkStepDays = 26;
constexpr int kLeapWalkMonthDays = 28;
// After a leap month the walk jumps ahead: no two leap months are closer.
constexpr int kLeapWalkJumpMonths = 15;

std::string EraYear(const char* bcFormat, const char* adFormat, int year, const std::string& note) {
  return year <= 0 ? Format(bcFormat, 1 - year, note.c_str()) : Format(adFormat, year, note.c_str());
}

using EventTime = ListedMinute;

// "%02d월%02d일%02d시%02d분%04.1f초" pieces of a refined instant (the listed
// minute with the middle of the minute when the refinement failed).
TenthsTime Refined(const EventTime& e, const std::optional<RefinedMinute>& refined) {
  const RefinedMinute r = refined.value_or(RefinedMinute{e, kListedMinuteMiddleSeconds});
  return RoundToTenths(r.minute.y, r.minute.m, r.minute.d, r.minute.h, r.minute.mi, r.seconds);
}

TenthsTime RefineTerm(EngineContext& ctx, const EventTime& e, int termIndex) {
  return Refined(e, RefineTermSeconds(ctx, (termIndex - 3) * 15.0, e));
}

TenthsTime RefineSyzygy(EngineContext& ctx, const EventTime& e, SyzygyKind kind) {
  return Refined(e, RefineSyzygySeconds(ctx, kind, e));
}

bool NextTerm(const YearTables& t, const EventTime& from, TermKind kind, EventTime& out, int& termIndex) {
  const std::optional<ListedTerm> term = FindSolarTermNear(t, from, SearchDirection::kAtOrAfter, kind);
  if (!term) return false;
  out = term->minute;
  termIndex = term->termIndex;
  return true;
}

bool NextSyzygy(const YearTables& t, const EventTime& from, SyzygyKind kind, EventTime& out) {
  const std::optional<ListedMinute> found = FindSyzygyNear(t, from, SearchDirection::kAtOrAfter, kind);
  if (found) out = *found;
  return found.has_value();
}

// Slot of the lunar month a new moon begins, found by its full moon: a
// recorded month may begin a day or two away from the computed new moon, but
// its full moon always falls inside it.
int MonthSlotOfFullMoon(const YearTables& t, const EventTime& fullMoon) {
  return SlotOfSolarDate(t, fullMoon.y, fullMoon.m, fullMoon.d);
}

// A standard-time event read on the civil clock under kTimeCivil (with the
// offset label), unchanged otherwise.
TenthsTime OnClock(const ReportInputs& in, const TenthsTime& t, std::string& label) {
  label.clear();
  if (in.engine.settings.TimeSystemCode != kTimeCivil) return t;
  const double jd = JulianDayAtSecond(CalendarToJulianDay(t.year, t.month, t.day), t.hour, t.minute, t.seconds);
  return report::JulianDayToTenths(ShownOnCivilClock(in, jd, label));
}

std::string SyzygyPair(const ReportInputs& in, const TenthsTime& newMoon, const TenthsTime& fullMoon) {
  std::string nl, fl;
  const TenthsTime n = OnClock(in, newMoon, nl), f = OnClock(in, fullMoon, fl);
  return Format("%02d월%02d일 %02d시%02d분%04.1f초%s\t%02d월%02d일 %02d시%02d분%04.1f초%s", n.month, n.day, n.hour,
                n.minute, n.seconds, nl.c_str(), f.month, f.day, f.hour, f.minute, f.seconds, fl.c_str());
}

// The year loaded when a table started, prepared again when it ends.
class RestoreLoadedYear {
 public:
  explicit RestoreLoadedYear(ReportInputs& in) : in_(in), year_(in.tables.LoadedYear), was_(in.tables.Prepared) {}
  ~RestoreLoadedYear() {
    if (was_) EnsureYearLoaded(in_, year_);
  }
  RestoreLoadedYear(const RestoreLoadedYear&) = delete;
  RestoreLoadedYear& operator=(const RestoreLoadedYear&) = delete;

 private:
  ReportInputs& in_;
  int year_;
  bool was_;
};

void Report(const ReportProgress& progress, int yearsDone) {
  if (progress) progress(yearsDone);
}

}  // namespace

std::string SolarTermReportText(ReportInputs& in, int year) {
  EnsureYearLoaded(in, year);
  EngineContext& ctx = in.engine;
  const YearTables& t = in.tables;
  std::string out = EraYear("기원전 %d년의 節氣(양력날짜, %s\n\n", "기원후 %d년의 節氣(양력날짜, %s\n\n", year,
                            TimeSystemNote(ctx.settings));
  out += "節氣(절기)\t\t\t中氣(중기)\n" + Repeat('=', 46);

  EventTime from{year, 1, 1, 0, 0};
  for (int pair = 0; pair < kTermPairs; ++pair) {
    EventTime sectional, major;
    int sectionalIndex = 0, majorIndex = 0;
    if (!NextTerm(t, from, TermKind::kSectional, sectional, sectionalIndex) || !NextTerm(t, sectional, TermKind::kMajor, major, majorIndex)) break;
    std::string sl, gl;
    const TenthsTime s = OnClock(in, RefineTerm(ctx, sectional, sectionalIndex), sl);
    const TenthsTime g = OnClock(in, RefineTerm(ctx, major, majorIndex), gl);
    out += Format("\n\n%s %02d월%02d일%02d시%02d분%04.1f초%s\t%s %02d월%02d일%02d시%02d분%04.1f초%s",
                  SolarTermNames[sectionalIndex], s.month, s.day, s.hour, s.minute, s.seconds, sl.c_str(),
                  SolarTermNames[majorIndex], g.month, g.day, g.hour, g.minute, g.seconds, gl.c_str());
    from = major;
  }
  out += "\n" + Repeat('_', 52);

  int hansikMonth = 0, hansikDay = 0, danoMonth = 0, danoDay = 0;
  HansikDay(ctx, t, year, hansikMonth, hansikDay);
  DanoDay(t, year, danoMonth, danoDay);
  out += Format("\n\n[기타] : 寒食한식 %02d월 %02d일, 端午단오 %02d월 %02d일", hansikMonth, hansikDay, danoMonth, danoDay);
  int first = 0, middle = 0, last = 0;
  SambokDays(t, first, middle, last);
  out += Format("\n[복날] : 初伏초복 %02d월 %02d일, 中伏중복 %02d월 %02d일, 末伏말복 %02d월 %02d일", first / 100,
                first % 100, middle / 100, middle % 100, last / 100, last % 100);

  TenthsTime earth[4];
  const double earthLongitudes[4] = {kWinterEarthDeg, kSpringEarthDeg, kSummerEarthDeg, kAutumnEarthDeg};
  for (int i = 0; i < 4; ++i) {
    if (const std::optional<RefinedMinute> r = SolarTermInstantOfYear(ctx, t, year, earthLongitudes[i])) {
      const ListedMinute& e = r->minute;
      earth[i] = RoundToTenths(year, e.m, e.d, e.h, e.mi, r->seconds);
    }
  }
  out += "\n[土旺用事]";
  out += Format("\n  冬土 %02d월 %02d일 %02d시 %02d분 %04.1f초\t春土 %02d월 %02d일 %02d시 %02d분 %04.1f초", earth[0].month,
                earth[0].day, earth[0].hour, earth[0].minute, earth[0].seconds, earth[1].month, earth[1].day,
                earth[1].hour, earth[1].minute, earth[1].seconds);
  out += Format("\n  夏土 %02d월 %02d일 %02d시 %02d분 %04.1f초\t秋土 %02d월 %02d일 %02d시 %02d분 %04.1f초", earth[2].month,
                earth[2].day, earth[2].hour, earth[2].minute, earth[2].seconds, earth[3].month, earth[3].day,
                earth[3].hour, earth[3].minute, earth[3].seconds);
  out += ReferenceNote(ctx, year, ErrorBoundKind::SolarTerms);
  return out;
}

std::string SyzygyReportText(ReportInputs& in, int year) {
  EnsureYearLoaded(in, year);
  EngineContext& ctx = in.engine;
  const YearTables& t = in.tables;
  std::string out = EraYear("  기원전 %d년의 朔望(양력날짜, %s\n\n", "  기원후 %d년의 朔望(양력날짜, %s\n\n", year,
                            TimeSystemNote(ctx.settings));
  out += "  合朔(그믐)\t\t\t望(보름)\n" + Repeat('=', 40);

  const int newYearSlot = SlotOfLunarDate(t, year, 1, 1, false);
  if (newYearSlot >= kDaysBeforeNewYear) {
    EventTime from;
    UnpackDate(t.DayTable[newYearSlot - kDaysBeforeNewYear].solarDate, from.y, from.m, from.d);
    EventTime newMoon, fullMoon;
    if (NextSyzygy(t, from, kNewMoon, newMoon) && NextSyzygy(t, newMoon, kFullMoon, fullMoon)) {
      out += "\n\n  정월달\t" + SyzygyPair(in, RefineSyzygy(ctx, newMoon, kNewMoon), RefineSyzygy(ctx, fullMoon, kFullMoon));
      int lines = kMonthsPerYear;
      int month = 1;
      bool leapPrinted = false;
      bool complete = true;
      for (int position = 2; position <= lines; ++position) {
        if (!NextSyzygy(t, fullMoon, kNewMoon, newMoon) || !NextSyzygy(t, newMoon, kFullMoon, fullMoon)) {
          complete = false;
          break;
        }
        const int slot = MonthSlotOfFullMoon(t, fullMoon);
        const bool leap = slot >= 0 && t.DayTable[slot].leap != 0;
        const std::string pair = SyzygyPair(in, RefineSyzygy(ctx, newMoon, kNewMoon), RefineSyzygy(ctx, fullMoon, kFullMoon));
        if (!leapPrinted && leap) {
          out += Format("\n\n윤%d월달\t", month) + pair;
          leapPrinted = true;
          lines = kMonthsPerYear + 1;
        } else {
          ++month;
          out += Format("\n\n  %02d월달\t", month) + pair;
        }
      }
      // A leap month after the twelfth month closes the year.
      if (complete && NextSyzygy(t, fullMoon, kNewMoon, newMoon) && NextSyzygy(t, newMoon, kFullMoon, fullMoon)) {
        const int slot = MonthSlotOfFullMoon(t, fullMoon);
        if (slot >= 0 && t.DayTable[slot].leap != 0)
          out += Format("\n\n윤%d월달\t", month) +
                 SyzygyPair(in, RefineSyzygy(ctx, newMoon, kNewMoon), RefineSyzygy(ctx, fullMoon, kFullMoon));
      }
    }
  }
  out += ReferenceNote(ctx, year, ErrorBoundKind::Syzygies);
  out += "\n\t" + CorrectionNote(in.lunar.historicalCorrection);
  return out;
}

YearRange ThirtyYearRange(int startYear, bool before, EphemerisSpan limits) {
  if (before) {
    const int span = std::clamp(startYear - limits.lower, 0, kTableSpanYears);
    return {startYear - span, startYear};
  }
  const int span = std::clamp(limits.upper - startYear, 0, kTableSpanYears);
  return {startYear, startYear + span};
}

std::string LeapMonthTableText(ReportInputs& in, YearRange range, const ReportProgress& progress) {
  std::string out = Format("음력 %d년부터 \n%d년까지의 윤달은", range.first, range.last);
  {
    RestoreLoadedYear restore(in);
    int y = range.first, m = 1, d = -1;
    int prepared = y - 1;
    bool havePrepared = false;
    Report(progress, 0);
    while (y < range.last) {
      d += kLeapWalkStepDays;
      if (d > kLeapWalkMonthDays) {
        d -= kLeapWalkMonthDays;
        if (++m > 12) {
          m = 1;
          ++y;
        }
      }
      if (y >= range.last) break;
      if (y == 1582 && m == 10 && d >= 5 && d <= 14) d = 15;  // the days the reform left out
      if (!havePrepared || y != prepared) {
        EnsureYearLoaded(in, y);
        prepared = y;
        havePrepared = true;
        Report(progress, y - range.first);
      }
      const int slot = SlotOfSolarDate(in.tables, y, m, d);
      if (slot < 0 || in.tables.DayTable[slot].leap == 0) continue;
      int ly, lm, ld;
      UnpackDate(in.tables.DayTable[slot].lunarDate, ly, lm, ld);
      out += Format("\n\n%d년 %02d월", ly, lm);
      y += (kLeapWalkJumpMonths + m) / 12;
      m = (kLeapWalkJumpMonths + m) % 12 + 12;
      if (m > 12) {
        m = 1;
        ++y;
      }
      d = -1;
    }
    Report(progress, range.last - range.first);
  }
  out += "\n\n" + CorrectionNote(in.lunar.historicalCorrection);
  return out;
}

std::string LunarDatesTableText(ReportInputs& in, const DaySelection& day, YearRange range,
                                const ReportProgress& progress) {
  std::string out = Format("양력 %d월 %d일에 해당하는 음력\n", day.solarMonth, day.solarDay);
  {
    RestoreLoadedYear restore(in);
    for (int y = range.first; y <= range.last; ++y) {
      EnsureYearLoaded(in, y);
      Report(progress, y - range.first);
      const int slot = SlotOfSolarDate(in.tables, y, day.solarMonth, day.solarDay);
      if (slot < 0 || in.tables.DayTable[slot].lunarDate == 0) {
        out += Format("\n%d년 해당음력 없음", y);
        continue;
      }
      int ly, lm, ld;
      UnpackDate(in.tables.DayTable[slot].lunarDate, ly, lm, ld);
      out += Format(in.tables.DayTable[slot].leap ? "\n%d년 윤%02d월 %02d일" : "\n%d년 %02d월 %02d일", ly, lm, ld);
    }
  }
  out += "\n\n" + CorrectionNote(in.lunar.historicalCorrection);
  return out;
}

std::string SolarDatesTableText(ReportInputs& in, const DaySelection& day, YearRange range,
                                const ReportProgress& progress) {
  std::string out = Format(day.leap ? "음력 윤%d월 %d일에 해당하는 양력\n" : "음력 %d월 %d일에 해당하는 양력\n",
                           day.lunarMonth, day.lunarDay);
  {
    RestoreLoadedYear restore(in);
    for (int y = range.first; y <= range.last; ++y) {
      EnsureYearLoaded(in, y);
      Report(progress, y - range.first);
      const int slot = SlotOfLunarDate(in.tables, y, day.lunarMonth, day.lunarDay, day.leap);
      if (slot < 0) {
        out += Format("\n%d년 해당양력 없음", y);
        continue;
      }
      int sy, sm, sd;
      UnpackDate(in.tables.DayTable[slot].solarDate, sy, sm, sd);
      out += Format("\n%d년 %02d월 %02d일", sy, sm, sd);
    }
  }
  out += "\n\n" + CorrectionNote(in.lunar.historicalCorrection);
  return out;
}

std::string AboutText(const CalcSettings& settings) {
  std::string source;
  switch (settings.EphemerisCode) {
    case kEphemerisDe431: source = "JPL의 DE431과 "; break;
    case kEphemerisDe441: source = "JPL의 DE441과 "; break;
    default: source = "PLAN404D와 "; break;
  }
  std::string precession;
  switch (settings.PrecessionModel) {
    case kPrecessionIau1976: precession = "IAU1976세차, "; break;
    case kPrecessionOwen1990: precession = "Owen1990세차, "; break;
    case kPrecessionVondrak2011: precession = "Vondrak2011세차, "; break;
    default: precession = "IAU2006세차, "; break;
  }
  std::string nutation;
  switch (settings.NutationModel) {
    case kNutationInternal: nutation = "천체력에 내장된 장동보정을\n"; break;
    case kNutationIau1980: nutation = "IAU1980장동보정을\n"; break;
    default: nutation = "IAU2000B장동보정을\n"; break;
  }
  return "이 달력은 " + source + precession + nutation +
         "이용하였습니다. 즉 음력은 계산에 의해서 정한 것입니다.\n\n"
         "고대(삼국,고려,조선)에는 음력을 측정평균에 의해 정하였으니, 고대 자료의\n"
         "음력과 이 달력의 음력이 다를 수 있고, 미래에도 윤달을 정하는 방법에\n"
         "따라 음력날짜가 바뀔 수 있으나, 문헌으로 알 수 있는 시대의 달은 1911년\n"
         "(양력1912년2월)까지 보정하였고, 1912년 부터는 계산결과 그대로 입니다.\n"
         "보정한 음력은 옛 책력의 달(시작일, 윤달, 大小)을 그대로 담은 표를\n"
         "따릅니다. 대한민국/조선(서울)은 1391~1911년에 한국천문연구원이 펴낸\n"
         "음력(1000~1390년은 같은 자료의 복원 음력), 그 이전은 중국 역대 왕조의\n"
         "음력을, 명청(북경)은 서기2~1911년 중국 역대 왕조의 음력을 따랐습니다.\n\n"
         "윤달과 달의 大小는 음력 2년부터 1911년까지 보정되며, 보정된 달은\n"
         "천체력, 시간체계, Delta T 설정과 관계없이 같습니다.\n"
         "# 단, 보정칸이 체크되어야 (대한민국과 중국의 옛 책력으로)보정됩니다.#\n"
         "태양력(Gregory曆)과 60일에 한번씩 순환되는 日辰 및 요일은 정확합니다.\n\n"
         "날짜판을 클릭하면 해당 날의 세차,월건,일진과 해당 달의 절기와\n"
         "합삭, 망 등의 시각들을 볼 수 있습니다. \n"
         "세차는 입춘, 월건은 절기를 기준(傳統四柱)으로 하였습니다.\n\n"
         "비망일.txt 파일은 기념일을 150개까지 넣어 달력에 표시합니다.\n\n"
         "섬머타임(daylight saving time)은 시작은 +1시간, 종료는 -1시간이 되어\n"
         "반복됩니다. (30분이 조정되는 지역도 있음).\n\n"
         "=== 달력의 기원 ===\n"
         "동양에서는 달의 운행에 맞춘 음력을 기본으로 하고 윤달을 넣어 계절의\n"
         "변화에 맞추었으며, 왕의 연호로 년을, 숫자로 월을, 60갑자를 이용한\n"
         "일진으로 날짜를 표시하였습니다. 서양에서도 달의 운행에 따른 달력을\n"
         "사용하다가 BC46년에 현재 달력의 개략적 규칙을 사용한 율리우스력\n"
         "(4로 나누어지는 해의 2월달은 29일)이 제정되고, 이후 여러 번 개정을 거쳐\n"
         "1582년 10월에 그레고리력이 확정되어 현재까지 사용되고 있습니다.\n"
         "그레고리력으로 개정할 때 10일간(5일~14일)을 없앴습니다.\n\n"
         "본 달력은 1582년 10월을 기준으로 이전은 율리우스력, 이후는 그레고리력\n"
         "을 사용하고 있습니다. 한편 Julian Day Number는 천문학에서 사용하는 것\n"
         "으로서 BC 4713년1월1일12:00(그리니치시간)부터 경과한 날짜 수입니다.\n\n"
         "우리나라의 표준자오선은 1908년4월1일부터 127.5도, 1912년1월1일부터\n"
         "135도, 1954년3월21일부터 다시 127.5도, 1961년8월10일부터 또 다시\n"
         "135도로정했고, 음력 날짜는 1911년까지 대략 중국의 것을 따랐습니다.\n\n"
         "그리고 프로그램을 제거하거나 다시 설치하면 비망일.txt도 삭제되므로\n"
         "필요하면 따로 저장하여 덮어쓰기를 하세요.\n\n"
         "상세설명을 더 보시려면 아래의 '다시시도'를, 아니면 '취소'를 누르세요.";
}

}  // namespace orv
