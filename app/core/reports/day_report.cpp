#include "app/core/reports/day_report.h"

#include <optional>

#include "app/core/calendar_days.h"
#include "app/core/reports/report_format.h"
#include "eclipses/riseset.h"
#include "ephemeris/sidereal.h"
#include "ephemeris/sunmoon.h"
#include "lunisolar/sexagenary.h"
#include "lunisolar/terms.h"
#include "time/dates.h"
#include "time/timescales.h"

namespace orv {
namespace {

using report::Format;

constexpr int kLunarMansions = 28;
// The tide repeats every half lunar month: day 15 and day 30 are spring tide.
constexpr int kTideCycleDays = 15;
// The day pillar of the report is taken late in the day, the month pillar
// at the day's sectional-term boundary as the month view shows it.
constexpr int kPillarHour = 23, kPillarMinute = 25;
constexpr double kNoonDays = 0.5;
constexpr int kReportRuleLength = 48;

// Lunar mansions in the order LunarMansionOf counts them (角 = 0).
const char* const kMansionNames[kLunarMansions] = {"角", "亢", "저", "房", "心", "尾", "箕", "斗", "牛", "女",
                                                   "虛", "危", "室", "壁", "奎", "婁", "胃", "昴", "畢", "자",
                                                   "參", "井", "鬼", "柳", "星", "張", "翼", "軫"};

// Tide phases of the south coast and the time of high water at Chungmu
// (Tongyeong), by lunar day modulo 15.
const TidePhase kTideTable[kTideCycleDays] = {
    {"사리(7물)", "오전오후8시25분"}, {"8물", "오전오후9시"},       {"9물", "오전오후9시35분"},
    {"10물", "오전오후10시10분"},    {"11물", "오전오후10시50분"}, {"12물", "오전오후11시30분"},
    {"13물", "오전오후12시10분"},    {"14물", "오전오후1시"},      {"조금(0)", "오전오후2시"},
    {"1물", "오전오후3시10분"},      {"2물", "오전오후4시30분"},   {"3물", "오전오후5시40분"},
    {"4물", "오전오후6시30분"},      {"5물", "오전오후7시10분"},   {"6물", "오전오후7시50분"},
};

struct Event {
  bool exists = false;
  report::TenthsTime time;
  std::string offsetLabel;  // the civil clock's offset, " UTC+10:00" ("" otherwise)
};

// An event of RiseSetTimes in the time system shown: the zone offset added.
// The search runs in the selected time system, so under TT its instants are
// already TT; adding Delta T once more would print them about a minute late.
Event ShownEvent(const ReportInputs& in, const std::optional<double>& jd) {
  Event e;
  if (!jd) return e;
  const double shown = ShownOnCivilClock(in, *jd + in.engine.settings.ZoneOffsetDays, e.offsetLabel);
  e.exists = true;
  e.time = report::JulianDayToTenths(shown);
  return e;
}

std::string EventText(const Event& e) {
  return Format("%02d일 %02d:%02d:%04.1f", e.time.day, e.time.hour, e.time.minute, e.time.seconds) + e.offsetLabel;
}

// "日出(양력): ..., 日沒: ...\n" with dashes for a missing event.
std::string RiseSetLine(const char* riseLabel, const char* setLabel, const Event& rise, const Event& set) {
  const std::string dashes = "---------------";
  return std::string(riseLabel) + "(양력): " + (rise.exists ? EventText(rise) : dashes) + ", " + setLabel + ": " +
         (set.exists ? EventText(set) : dashes) + "\n";
}

// Dawn and dusk of the three twilights, in the order of Twilight.
const char* const kTwilightLabels[kTwilightKinds] = {"시민박명", "항해박명", "천문박명"};

// "시민박명 시작: ..., 끝: ...\n" with dashes where the Sun does not reach
// the twilight's depression (white nights) or never rises to it.
std::string TwilightLine(const char* label, const Event& dawn, const Event& dusk) {
  const std::string dashes = "---------------";
  return std::string(label) + " 시작: " + (dawn.exists ? EventText(dawn) : dashes) + ", 끝: " +
         (dusk.exists ? EventText(dusk) : dashes) + "\n";
}

}  // namespace

bool SelectSolarDay(const YearTables& tables, int year, int month, int day, DaySelection& out) {
  const LunarDay lunar = LunarDayOf(tables, CivilDate{year, month, day});
  if (!lunar.Known()) return false;
  out = DaySelection{};
  out.lunarMode = false;
  out.solarYear = year;
  out.solarMonth = month;
  out.solarDay = day;
  out.lunarYear = lunar.year;
  out.lunarMonth = lunar.month;
  out.lunarDay = lunar.day;
  out.leap = lunar.leap;
  return true;
}

bool SelectLunarDay(const YearTables& tables, int lunarYear, int lunarMonth, int lunarDay, bool leap,
                    DaySelection& out) {
  const std::optional<CivilDate> solar = SolarDateOfLunar(tables, lunarYear, lunarMonth, lunarDay, leap);
  if (!solar) return false;
  out = DaySelection{};
  out.lunarMode = true;
  out.lunarYear = lunarYear;
  out.lunarMonth = lunarMonth;
  out.lunarDay = lunarDay;
  out.leap = leap;
  out.solarYear = solar->year;
  out.solarMonth = solar->month;
  out.solarDay = solar->day;
  return true;
}

std::string SelectedDateLine(const DaySelection& day) {
  if (!day.lunarMode) {
    const int y = day.solarYear;
    return y <= 0 ? Format("선택한 날짜는 (양력) 기원전 %d年 %d月 %d日", 1 - y, day.solarMonth, day.solarDay)
                  : Format("선택한 날짜는 (양력) 기원후 %d年 %d月 %d日", y, day.solarMonth, day.solarDay);
  }
  const int y = day.lunarYear;
  const char* format = nullptr;
  if (y <= 0) format = day.leap ? "선택한 날짜는 (음력) 기원전 %d年 閏%d月 %d日" : "선택한 날짜는 (음력) 기원전 %d年 %d月 %d日";
  else format = day.leap ? "선택한 날짜는 (음력) 기원후 %d年 閏%d月 %d日" : "선택한 날짜는 (음력) 기원후 %d年 %d月 %d日";
  return Format(format, y <= 0 ? 1 - y : y, day.lunarMonth, day.lunarDay);
}

TidePhase TideOfLunarDay(int lunarDay) {
  int k = lunarDay % kTideCycleDays;
  if (k < 0) k += kTideCycleDays;
  return kTideTable[k];
}

const char* LunarMansionName(int index) {
  return index >= 0 && index < kLunarMansions ? kMansionNames[index] : "";
}

std::string DayReportText(ReportInputs& in, const DaySelection& day) {
  EngineContext& ctx = in.engine;
  const CalcSettings& s = ctx.settings;
  const YearTables& t = in.tables;
  const int Y = day.solarYear, M = day.solarMonth, D = day.solarDay;
  const double jd0 = CalendarToJulianDay(Y, M, D);
  const double jdLocal = jd0 - s.ZoneOffsetDays;

  std::string out;
  switch (s.TimeSystemCode) {
    case kTimeTT: out += "적용된 시간체계는 TT(지구시) 입니다.\n\n"; break;
    case kTimeUT: out += "적용된 시간체계는 UT(세계시) 입니다.\n\n"; break;
    case kTimeCivil: out += "적용된 시간체계는 ST(표준시) 입니다. 출몰 시각은 현지 시계(섬머타임 포함)입니다.\n\n"; break;
    default: out += "적용된 시간체계는 ST(표준시) 입니다.\n\n"; break;
  }
  out += SelectedDateLine(day);

  const SexagenaryIndices pillars = SexagenaryOfInstant(t, Y, M, D, kPillarHour, kPillarMinute);
  out += Format("\n%s年 %s月 %s日 , 28宿 별자리 = %s\n\n", SexagenaryNames[pillars.year],
                SexagenaryNames[pillars.month], SexagenaryNames[pillars.day], LunarMansionName(LunarMansionOf(Y, M, D)));
  out += Format("오늘(%d년 %d월 %d일)부터 차이 ; ", s.TodayDate[0], s.TodayDate[1], s.TodayDate[2]);
  out += Format("%d일\n\n", DaysBetween(s.TodayDate[0], s.TodayDate[1], s.TodayDate[2], Y, M, D));

  // Julian Day, Delta T and sidereal time of 0h of the date.
  const TimeState midnight = InstantAt(s, jd0);
  const double jdUT = midnight.CurrentUT;
  out += Format("[경도 0도, 0시일 때의 Julian Date와 Delta_T, 항성시]\nJulian Date(BC 4713/1/1/12:00~) : %.3lf일\n", jdUT);
  const double deltaT = DeltaTAt(s, jdUT);
  out += Format("Delta_T(TT-UT) = %.3lfs = %s\n", deltaT, FormatDeltaT(deltaT).c_str());
  out += Format("Greenwich Apparent Sidereal Time = %s\n\n", FormatSexagesimal(ApparentSiderealTime(ctx, midnight)).c_str());

  // Places of the Sun and the Moon at 0h of the zone shown.
  out += Format("[경도 %.1f도, 0시일 때의 해와 달의 황경/위, 적경/위]\n", static_cast<double>(s.ZoneMeridian));
  const SunMoonFullPlaces places = ApparentSunMoonFullPlaces(ctx, kBodySunAndMoon, jdLocal);
  const SunMoonPlaces& p = places.ecliptic;
  const EquatorialPlace& sun = places.sun;
  const EquatorialPlace& moon = places.moon;
  out += Format("해(황경) : %12.8lf = %s\n", p.SunLongitudeDeg, FormatSexagesimal(p.SunLongitudeDeg).c_str());
  out += Format("해(황위) : %12.8lf = %s\n", p.SunLatitudeDeg, FormatSexagesimal(p.SunLatitudeDeg).c_str());
  out += Format("달(황경) : %12.8lf = %s\n", p.MoonLongitudeDeg, FormatSexagesimal(p.MoonLongitudeDeg).c_str());
  out += Format("달(황위) : %12.8lf = %s\n", p.MoonLatitudeDeg, FormatSexagesimal(p.MoonLatitudeDeg).c_str());
  out += Format("해(적경/적위) : %012.8lf/%+012.8lf\n", sun.rightAscensionDeg, sun.declinationDeg);
  out += Format("달(적경/적위) : %012.8lf/%+012.8lf\n\n", moon.rightAscensionDeg, moon.declinationDeg);

  // Rising and setting: at the place under standard time; at longitude 0
  // (with the place's latitude) under TT and UT. The observer of the context
  // is left as it is.
  Observer observer = ctx.observer;
  if (ReckonsInStandardTime(s.TimeSystemCode)) {
    out += Format("[%s 지역의 일,월출몰]\n", in.placeName.c_str());
  } else {
    out += "[경도 0.0도 지역의 일,월출몰]\n";
    observer.LongitudeDeg = 0.0;
  }
  EngineContext riseSet(s, observer);
  riseSet.jpl = ctx.jpl;
  const RiseSetInstants sunEvents = RiseSetTimes(riseSet, kBodySun, jd0);
  out += RiseSetLine("日出", "日沒", ShownEvent(in, sunEvents.riseJD), ShownEvent(in, sunEvents.setJD));
  for (int k = 0; k < kTwilightKinds; ++k) {
    const Twilight kind = static_cast<Twilight>(k);
    const TwilightInstants tw = TwilightAroundTransit(riseSet, sunEvents.transitJD, TwilightDepressionDeg(kind));
    out += TwilightLine(kTwilightLabels[k], ShownEvent(in, tw.dawnJD), ShownEvent(in, tw.duskJD));
  }
  RiseSetInstants moonEvents = RiseSetTimes(riseSet, kBodyMoon, jd0);
  Event moonRise = ShownEvent(in, moonEvents.riseJD), moonSet = ShownEvent(in, moonEvents.setJD);
  // The Moon's events belong to the transit of the day and may fall on the
  // dates around it; when neither is on the day, those of the day before.
  if (!(moonRise.exists && moonRise.time.day == D) && !(moonSet.exists && moonSet.time.day == D)) {
    moonEvents = RiseSetTimes(riseSet, kBodyMoon, jd0 - 1.0);
    moonRise = ShownEvent(in, moonEvents.riseJD);
    moonSet = ShownEvent(in, moonEvents.setJD);
  }
  out += RiseSetLine("月出", "月沒", moonRise, moonSet);

  // Age of the Moon at noon: days since the last new moon before noon.
  double age = 0.0;
  if (const std::optional<ListedMinute> n =
          FindSyzygyNear(t, ListedMinute{Y, M, D, 12, 0}, SearchDirection::kBefore, SyzygyKind::kNewMoon))
    age = (jdLocal + kNoonDays) - JulianDayAtMinute(n->DateJd() - s.ZoneOffsetDays, n->h, n->mi);
  out += Format("<선택한 날 정오(낮12시)의 월령(月齡) = %.3lf일>\n", age);

  const TidePhase tide = TideOfLunarDay(day.lunarDay);
  out += std::string("\n선택한 날의 남해안 물때는 ") + tide.name + " 입니다.\n" + "충무지방 해안의 滿潮시각은 " +
         tide.highWater + " 경이고\n충무보다 동쪽지방 해안은 좀 더 이른시각에\n서쪽지방 해안은 늦은 시각에 만조가 됩니다.\n";
  out += "\n" + report::Repeat('-', kReportRuleLength) + "\n비망일.txt를 편집하시려면 다시시도를 누르세요.";
  return out;
}

}  // namespace orv
