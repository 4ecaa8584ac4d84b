// The simulation run: item table, targets, start and end instants, range
// check, output naming, run header, stepping and the angle texts. The item
// writers are in simulation_items.cpp and simulation_calendar.cpp.
#include "app/core/year_service.h"
#include "app/core/simulation/simulation.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <unistd.h>

#include "app/core/files/files.h"
#include "app/core/simulation/output_size.h"
#include "app/core/reports/year_reports.h"
#include "app/core/simulation/simulation_internal.h"
#include "ephemeris/earth_orientation.h"
#include "ephemeris/jpl_reader.h"
#include "time/dates.h"
#include "time/settings.h"

namespace orv {

const SimulationItem SimulationItems[kSimulationItemCount] = {
    {"01_천문측정적경_적위", "Astrometric Geocentric Position of a Body"},
    {"02_시적경_적위", "지심좌표계에서 본 행성의 시적경/적위"},
    {"03_시황경_황위", "지심좌표계에서 본 행성의 시황경/황위"},
    {"04_방위각_고도", "Topocentric Local Tangent Coordinate"},
    {"05_해달_임의황경_통과일시", ""},
    {"06_해달_근_원지점", "해와달의 지구와의 근_원지점 통과일시"},
    {"07_세차각도", "지구 지심좌표축의 세차각도(deg)"},
    {"08_장동각도", "지구 지심좌표축의 장동각도(deg)"},
    {"09_황도경사각", "황도경사각도(deg)"},
    {"10_Delta_T", "지구시와 세계시의 차이 (TT-UT)"},
    {"11_그리니치視항성시", "Greenwich Apparent Sidereal Time"},
    {"12_절기", "절기와 중기의 양력날짜 및 Julian Date"},
    {"13_삭망", "합삭과 망(보름)의 양력날짜 및 Julian Date"},
    {"14_무중월_삭일", "무중월의 초하루에 해당하는 양력날짜"},
    {"15_일식과_월식", "일식과 월식의 시각, 최대식관측지, 식분"},
};

const char* const SimulationUnitNames[kSimulationUnitCount] = {"초", "분", "시간", "일", "월", "년"};

namespace {

using simulation::CsvOutput;
using simulation::ItemRun;

// Seconds, minutes and hours per day.
constexpr double kMinutesPerDayD = 1440.0;
constexpr double kHoursPerDay = 24.0;
// Item 14's end instant counts a month as 31 days and a year as 365.5; the
// range check counts a Julian year and its twelfth.
constexpr double kEndMonthDays = 31.0;
constexpr double kEndYearDays = 365.5;
constexpr double kJulianYearDays = 365.25;
// Years a start date may have at all (beyond, the calendar arithmetic overflows).
constexpr int kLargestUsableYear = 1000000;
// Output names tried before giving up.
constexpr int kMaxOutputCounter = 100000;

const char* const kTargetNames[] = {"해", "달", "수성", "금성", "화성", "목성", "토성", "천왕성", "해왕성", "명왕성"};
constexpr int kJplTargetCount = 10;
constexpr int kSunMoonTargetCount = 2;
// JPL body numbers of the targets (the Earth, 3, is not a target).
constexpr int kTargetBodies[kJplTargetCount] = {11, 10, 1, 2, 4, 5, 6, 7, 8, 9};

int EffectiveUnit(const SimulationRequest& request) {
  return ItemUsesYearUnit(request.item) ? static_cast<int>(kUnitYears) : request.unit;
}

// Year range of an ephemeris code and its message.
struct EphemerisRange {
  int first, last;
  std::string message;
};

EphemerisRange RangeOf(int code, const SimulationEnvironment& env) {
  if (EphemerisIsJpl(code))
    return {env.jplFirstYear, env.jplLastYear,
            Format("천체력 적용기간(%d~%d)을 벗어납니다.\n다시 지정하세요.", env.jplFirstYear, env.jplLastYear)};
  return {-4999, 10000, "PLAN404관련과 VSOP87의 경우 연도 범위는\n-4999년 ~ 10000년 입니다.\n다시 지정하세요."};
}

const char* EphemerisLabel(int code) { return EphemerisCodeRow(code).label; }

const char* Label(int value, std::initializer_list<const char*> labels) {
  if (value < 0 || value >= static_cast<int>(labels.size())) return "";
  return labels.begin()[value];
}

const char* DeltaTLabel(int code) {
  switch (code) {
    case 0: return "/M&S2004";
    case 1: return "/NASA_poly";
    case 2: return "/HORIZONS";
    case 3: return "/USER";
    case 4: return "/HRZ+NASA";
    case 5: return "/SWEPH";
    case 6: return "/Beyer2010";
    default: return "";
  }
}

using ItemWriter = void (*)(ItemRun&);
constexpr ItemWriter kWriters[kSimulationItemCount] = {
    simulation::WriteAstrometric,      simulation::WriteApparentEquatorial, simulation::WriteApparentEcliptic,
    simulation::WriteHorizontal,       simulation::WriteLongitudePassage,   simulation::WritePerigeeApogee,
    simulation::WritePrecessionAngles, simulation::WriteNutationAngles,     simulation::WriteObliquity,
    simulation::WriteDeltaT,           simulation::WriteSiderealTime,       simulation::WriteSolarTerms,
    simulation::WriteSyzygies,         simulation::WriteNoMajorTermMonths,  simulation::WriteEclipses,
};

// Steps 1 to 6 of a run: the start date, item 14's series step, the instants
// and the range. False after a message.
bool PrepareRun(const SimulationRequest& request, SimulationEnvironment& env, double& t0, double& end) {
  if (!IsUsableDate(request.year, request.month, request.day)) {
    env.messages.Show(InvalidDateMessage(request.year, request.month, request.day), "오류", MessageButtons::Ok,
                      MessageIcon::Error);
    return false;
  }
  // The series step of item 14 must be positive: zero would never advance,
  // a negative one would run away from the eclipse.
  if (request.item == kItemEclipses && !(request.extra > 0.0 && std::isfinite(request.extra))) {
    env.messages.Show("해/달 운행간격(초)는 0.0 이상이어야 합니다.", "오류", MessageButtons::Ok, MessageIcon::Error);
    return false;
  }
  if (request.item < 0 || request.item >= kSimulationItemCount) return false;
  if (!simulation::AcceptItemInputs(request, env)) return false;
  t0 = SimulationStartInstant(request, env.ctx.settings);
  end = SimulationEndInstant(request, t0);
  return CheckSimulationRange(request, t0, env);
}

// Steps 8 and 9: header and table into `path`, through a temporary file.
SimulationOutcome WriteRun(const SimulationRequest& request, SimulationEnvironment& env, double t0, double end,
                           const std::string& path) {
  SimulationOutcome outcome;
  CsvOutput out;
  if (!out.Create(path)) {
    env.messages.Show(Format("'%s' 파일을 만들 수 없습니다.\n(%s)", path.c_str(), std::strerror(errno)), "오류",
                      MessageButtons::Ok, MessageIcon::Error);
    return outcome;
  }
  out.Write(RunHeaderText(request, env));
  ItemRun run{request, env, out, t0, end};
  try {
    kWriters[request.item](run);
  } catch (const simulation::RunCancelled&) {
    // `out` removes its temporary file: the target is left as it was.
    if (env.progress) env.progress(0, request.repetitions);
    outcome.cancelled = true;
    outcome.path = path;
    return outcome;
  } catch (const JplError& e) {
    // An instant outside the open file (or a body it lacks): nothing is kept.
    if (env.progress) env.progress(0, request.repetitions);
    std::string text = e.what();
    const auto first = text.find_first_not_of(" \n");
    env.messages.Show(first == std::string::npos ? text : text.substr(first), "오류", MessageButtons::Ok,
                      MessageIcon::Error);
    return outcome;
  }
  if (request.item == kItemEclipses && run.eventsFound == 0) {
    // A table of no eclipse would be the run header alone: say so instead.
    env.messages.Show("계산한 기간에는 일식이나 월식이 없습니다.\n파일을 만들지 않았습니다.", "안내",
                      MessageButtons::Ok, MessageIcon::Information);
    return outcome;
  }
  if (!out.Commit()) {
    env.messages.Show(Format("'%s' 파일을 쓰지 못했습니다.\n(%s)", path.c_str(), std::strerror(errno)), "오류",
                      MessageButtons::Ok, MessageIcon::Error);
    return outcome;
  }
  outcome.written = true;
  outcome.path = path;
  return outcome;
}

}  // namespace

// ------------------------------------------------------------------ items and targets

bool ItemUsesYearUnit(int item) {
  return item == kItemSolarTerms || item == kItemSyzygies || item == kItemNoMajorTermMonths;
}

bool ItemUsesExtraValue(int item) { return item == kItemLongitudePassage || item == kItemEclipses; }

const char* ExtraValueLabel(int item) {
  if (item == kItemLongitudePassage) return "통과  황경각도(도):";
  if (item == kItemEclipses) return "해/달 운행간격(초):";
  return "";
}

bool EphemerisIsJpl(int ephemerisCode) { return EphemerisCodeRow(ephemerisCode).deNumber != 0; }

SimulationTargetList SimulationTargets(int ephemerisCode, int item) {
  SimulationTargetList list;
  if (item >= kFirstTargetFreeItem) {
    list.names = {kEarthTargetName};
    list.columns = 1;
    return list;
  }
  const int n = EphemerisIsJpl(ephemerisCode) ? kJplTargetCount : kSunMoonTargetCount;
  list.names.assign(kTargetNames, kTargetNames + n);
  list.columns = n;
  return list;
}

int KeepTargetSelection(int previous, int ephemerisCode, int item) {
  const int n = static_cast<int>(SimulationTargets(ephemerisCode, item).names.size());
  return previous >= 0 && previous < n ? previous : 0;
}

int TargetJplBody(int target) { return target >= 0 && target < kJplTargetCount ? kTargetBodies[target] : -1; }

LunarBuildOptions LunarOptionsFor(const SimulationEnvironment& env, int year) {
  if (!env.correctionWanted) return env.lunar;
  return LunarOptionsOf(year, env.lunar.placeIndex, *env.correctionWanted);
}

void UsableJplYears(double firstJD, double lastJD, int& firstYear, int& lastYear) {
  const EphemerisSpan usable = JplFileSpan(firstJD, lastJD);
  firstYear = usable.lower;
  lastYear = usable.upper;
}

SimulationRequest InitialSimulationRequest(const SimulationRequest& remembered, int nowYear, int nowMonth, int nowDay,
                                           int nowHour, int nowMinute, int nowSecond) {
  SimulationRequest r = remembered;
  if (r.item < 0 || r.item >= kSimulationItemCount) r.item = 0;
  const bool firstOpening = r.year == 0 && r.month == 0 && r.day == 0 && r.hour == 0 && r.minute == 0 &&
                            r.second == 0.0f;
  if (firstOpening) {
    r.year = nowYear;
    r.month = nowMonth;
    r.day = nowDay;
    r.hour = nowHour;
    r.minute = nowMinute;
    r.second = static_cast<float>(nowSecond);
  }
  if (r.step == 0.0) r.step = 1.0;
  if (r.repetitions == 0) r.repetitions = 2;
  if (r.unit < 0 || r.unit >= kSimulationUnitCount) r.unit = kUnitSeconds;
  r.outputName = SimulationItems[r.item].name;
  return r;
}

// ------------------------------------------------------------------ dates and instants

std::string InvalidDateMessage(int year, int month, int day) {
  return Format("%d년%d월%d일은 날짜가 존재하지 않습니다.", year, month, day);
}

bool IsUsableDate(int year, int month, int day) {
  return year >= -kLargestUsableYear && year <= kLargestUsableYear && month >= 1 && month <= 12 && day >= 1 &&
         IsValidDate(year, month, day);
}

double SimulationStartInstant(const SimulationRequest& request, const CalcSettings& settings) {
  return CalendarToJulianDay(request.year, request.month, request.day) - settings.ZoneOffsetDays +
         (request.hour + request.minute / 60.0 + request.second / 3600.0) / kHoursPerDay;
}

double UnitDaysForEnd(int unit) {
  switch (unit) {
    case kUnitSeconds: return 1.0 / kSecondsPerDay;
    case kUnitMinutes: return 1.0 / kMinutesPerDayD;
    case kUnitHours: return 1.0 / kHoursPerDay;
    case kUnitDays: return 1.0;
    case kUnitMonths: return kEndMonthDays;
    default: return kEndYearDays;
  }
}

double UnitDaysForRange(int unit) {
  if (unit == kUnitMonths) return kJulianYearDays / 12.0;
  if (unit == kUnitYears) return kJulianYearDays;
  return UnitDaysForEnd(unit);
}

double SimulationEndInstant(const SimulationRequest& request, double t0) {
  return t0 + request.repetitions * request.step * UnitDaysForEnd(EffectiveUnit(request));
}

bool CheckSimulationRange(const SimulationRequest& request, double t0, const SimulationEnvironment& env) {
  const double last = t0 + request.repetitions * request.step * UnitDaysForRange(EffectiveUnit(request));
  const EphemerisRange range = RangeOf(env.ctx.settings.EphemerisCode, env);
  // Instants far outside every range are refused before the calendar sees them.
  constexpr double kFarJD = 1e10;
  bool ok = std::isfinite(t0) && std::isfinite(last) && std::fabs(t0) < kFarJD && std::fabs(last) < kFarJD;
  if (ok) {
    const int y0 = JulianDayToCalendar(t0).year;
    const int y1 = JulianDayToCalendar(last).year;
    // Both ends are tested against both limits, so a backward series is
    // checked as well as a forward one.
    ok = std::min(y0, y1) >= range.first && std::max(y0, y1) <= range.last;
  }
  if (!ok) env.messages.Show(range.message, "참고", MessageButtons::Ok, MessageIcon::Information);
  return ok;
}

double LineInstant(const SimulationRequest& request, const CalcSettings& settings, double startJD, long long k) {
  if (k == 0) return startJD;
  const int unit = EffectiveUnit(request);
  // From the start and the line's index, never by adding the step line by
  // line: a sum of a million steps would carry a million roundings.
  if (unit <= kUnitDays) return startJD + static_cast<double>(k) * request.step * UnitDaysForEnd(unit);
  // Months and years are reckoned from the start date, so that every line
  // keeps the start day and time of day.
  const double timeOfDay = (request.hour + request.minute / 60.0 + request.second / 3600.0) / kHoursPerDay;
  int year = request.year, month = request.month;
  if (unit == kUnitMonths) {
    const long long count = static_cast<long long>(std::trunc(request.month + static_cast<double>(k) * request.step));
    // count is a month number from January of the start year: carry whole
    // years (floor division, so that counts below 1 go back into earlier years).
    const long long index = count - 1;
    const long long years = index >= 0 ? index / 12 : -((-index + 11) / 12);
    year = static_cast<int>(request.year + years);
    month = static_cast<int>(index - years * 12 + 1);
  } else {
    year = static_cast<int>(std::trunc(request.year + static_cast<double>(k) * request.step));
  }
  return CalendarToJulianDay(year, month, request.day) - settings.ZoneOffsetDays + timeOfDay;
}

std::string FormatAngleText(double value, char mode) {
  const double v = mode == 'H' ? value / 15.0 : value;
  const double d = std::trunc(v);
  const double m = std::trunc((v - d) * 60.0);
  const double s = ((v - d) * 60.0 - m) * 60.0;
  if (v >= 0.0) return Format("%4d:%02d:%06.3lf", static_cast<int>(d), static_cast<int>(m), s);
  // Every part is <= 0 here; fabs keeps a zero from printing as "-0.000".
  return Format("-%4d:%02d:%06.3lf", static_cast<int>(-d), static_cast<int>(-m), std::fabs(s));
}

std::string SimulationDateColumn(const CalcSettings& settings, double t) {
  constexpr int kHundredthsPerSecond = 100;
  const CivilDateTime u = JulianDayToCalendar(t + settings.ZoneOffsetDays);
  // Rounded as printed, the carry reaching the date (never ":60.00").
  const CivilDateTime c = RoundCivilSeconds(u.year, u.month, u.day, u.hour, u.minute, u.seconds, kHundredthsPerSecond);
  return Format("'%d-%02d-%02d %02d:%02d:%04.2f", c.year, c.month, c.day, c.hour, c.minute,
                static_cast<double>(c.seconds));
}

// ------------------------------------------------------------------ output

bool ChooseOutputPath(SimulationRequest& request, const std::string& folder, std::string& path) {
  const std::string name = request.outputName.empty() && request.item >= 0 && request.item < kSimulationItemCount
                               ? SimulationItems[request.item].name
                               : request.outputName;
  request.outputCounter = 0;
  for (;;) {
    const std::string suffix = request.outputCounter == 0 ? "" : std::to_string(request.outputCounter);
    path = JoinPath(folder, name + suffix + ".csv");
    if (::access(path.c_str(), F_OK) != 0) return true;
    if (++request.outputCounter > kMaxOutputCounter) return false;
  }
}

std::string RunHeaderText(const SimulationRequest& request, const SimulationEnvironment& env) {
  const CalcSettings& s = env.ctx.settings;
  std::string text = "기준지역:" + env.place.name + (env.lunar.historicalCorrection ? "/윤달보정함\n" : "/윤달미보정\n");
  text += "계산조건:";
  // An open JPL file is named by its own number (a DE405 file read in place
  // of DE441 is labelled DE405).
  if (EphemerisIsJpl(s.EphemerisCode) && env.ctx.jpl != nullptr)
    text += Format("DE%d", env.ctx.jpl->header.FileDeNumber);
  else
    text += EphemerisLabel(s.EphemerisCode);
  text += Label(s.PrecessionModel, {"/IAU1976", "/Owen1990", "/IAU2006", "/VDR2011"});
  text += Label(s.NutationModel, {"/내장값", "/IAU1980", "/IAU2000B"});
  text += Label(s.ObliquityModel, {"/IAU1980", "/Owen1990", "/IAU2006", "/VDR2011"});
  text += Label(s.TimeSystemCode, {"/dT=0", "/TT", "/UT", "/ST", "/CT"});
  text += DeltaTLabel(s.DeltaTModelCode);
  text += s.TidalCompensation ? "/Tidal보정함" : "/Tidal미보정";
  text += EopCorrectionOn(s) ? "/EOP보정함\n" : "/EOP미보정\n";
  if (request.item == kItemHorizontal)
    text += Format("관측자위치:%s,경도=%+.4lf도/위도=%+.4lf도/고도=%.1fm\n", env.place.name.c_str(),
                   env.place.longitude, env.place.latitude, env.place.altitude);
  return text;
}

// ------------------------------------------------------------------ run

SimulationOutcome RunSimulation(SimulationRequest& request, SimulationEnvironment& env) {
  double t0 = 0.0, end = 0.0;
  if (!PrepareRun(request, env, t0, end)) return {};
  std::string path;
  if (!ChooseOutputPath(request, env.folder, path)) {
    env.messages.Show(Format("'%s' 이름의 파일을 더 만들 수 없습니다.", request.outputName.c_str()), "오류",
                      MessageButtons::Ok, MessageIcon::Error);
    request.outputCounter = 0;
    return {};
  }
  request.outputCounter = 0;
  return WriteRun(request, env, t0, end, path);
}

bool CheckSimulationRequest(const SimulationRequest& request, SimulationEnvironment& env) {
  double t0 = 0.0, end = 0.0;
  return PrepareRun(request, env, t0, end);
}

SimulationOutcome RunSimulationTo(const SimulationRequest& request, SimulationEnvironment& env,
                                  const std::string& path) {
  double t0 = 0.0, end = 0.0;
  if (!PrepareRun(request, env, t0, end)) return {};
  return WriteRun(request, env, t0, end, path);
}

// ------------------------------------------------------------------ size estimate

namespace {

// Keeps no message: the estimate looks at a request before the run, which
// shows its own refusals.
class SilentMessages : public MessageSink {
 protected:
  MessageAnswer ShowMessage(const std::string&, const std::string&, MessageButtons, MessageIcon) override {
    return MessageAnswer::Ok;
  }
};

struct SampleSize {
  double bytes = 0.0;
  double lineEnds = 0.0;
};

// The item's writer for `repetitions` repetitions from `t0`, into nothing.
SampleSize RunSample(const SimulationRequest& request, SimulationEnvironment& env, int repetitions, double t0,
                     double end) {
  SimulationRequest sample = request;
  sample.repetitions = repetitions;
  CsvOutput out;
  out.CreateCounting();
  out.Write(RunHeaderText(sample, env));
  ItemRun run{sample, env, out, t0, end};
  kWriters[sample.item](run);
  out.Commit();
  return {static_cast<double>(out.CountedBytes()), static_cast<double>(out.CountedLineEnds())};
}

}  // namespace

std::optional<SimulationSizeEstimate> EstimateSimulationSize(const SimulationRequest& request,
                                                             const SimulationEnvironment& env) {
  SilentMessages silent;
  SimulationEnvironment quiet(env.ctx, env.place, silent);
  quiet.lunar = env.lunar;
  quiet.correctionWanted = env.correctionWanted;
  quiet.loadedYear = env.loadedYear;
  quiet.jplFirstYear = env.jplFirstYear;
  quiet.jplLastYear = env.jplLastYear;
  quiet.folder = env.folder;
  double t0 = 0.0, end = 0.0;
  if (!PrepareRun(request, quiet, t0, end)) return std::nullopt;
  try {
    const SampleSize header = RunSample(request, quiet, 0, t0, end);
    SimulationSample sample;
    sample.headerBytes = header.bytes;
    if (request.item == kItemEclipses) {
      // One whole year of eclipses, from the first of January of the start
      // year; a repetition writes, on average, the part of such a year that
      // MeanEclipseWindowDays gives.
      const double zone = env.ctx.settings.ZoneOffsetDays;
      const int year = JulianDayToCalendar(t0 + zone).year;
      const double yearStart = CalendarToJulianDay(year, 1, 1) - zone;
      const SampleSize full = RunSample(request, quiet, 1, yearStart, yearStart + kJulianYearDays);
      const double share = MeanEclipseWindowDays(end - t0) / kJulianYearDays;
      sample.bytesPerRepetition = (full.bytes - header.bytes) * share;
      sample.linesPerRepetition = (full.lineEnds - header.lineEnds) * share;
    } else {
      // Two repetitions where a line holds two (item 5) or lines are cheap,
      // one where a repetition is a whole year.
      const int count = ItemUsesYearUnit(request.item) ? 1 : 2;
      const SampleSize some = RunSample(request, quiet, count, t0, end);
      sample.bytesPerRepetition = (some.bytes - header.bytes) / count;
      sample.linesPerRepetition = (some.lineEnds - header.lineEnds) / count;
    }
    return ScaleSimulationSample(sample, request.repetitions);
  } catch (...) {
    // A sample that fails (an instant outside the JPL file, a year that
    // cannot be built) leaves the estimate unknown; the run says why.
    return std::nullopt;
  }
}

// ------------------------------------------------------------------ helpers of the writers

namespace simulation {

// Bytes gathered before one write to the temporary file.
constexpr size_t kCsvBufferBytes = 1 << 16;

bool CsvOutput::Create(const std::string& path) {
  buffer_.clear();
  failed_ = false;
  counting_ = false;
  if (!file_.Create(path)) return false;
  // The byte-order mark tells spreadsheet programs that the text is UTF-8.
  Write("\xEF\xBB\xBF");
  return true;
}

void CsvOutput::CreateCounting() {
  buffer_.clear();
  failed_ = false;
  counting_ = true;
  countedBytes_ = 0;
  countedLineEnds_ = 0;
  Write("\xEF\xBB\xBF");
}

bool CsvOutput::Flush() {
  if (counting_) {
    countedBytes_ += buffer_.size();
    for (char c : buffer_) countedLineEnds_ += c == '\n';
    buffer_.clear();
    return true;
  }
  if (!buffer_.empty() && !file_.Write(buffer_)) failed_ = true;
  buffer_.clear();
  return !failed_;
}

void CsvOutput::Write(const std::string& text) {
  if ((!counting_ && !file_.IsOpen()) || failed_) return;
  // Rows end with "\n" and some labels carry a tab; no other control
  // character (a NUL from a damaged file) belongs in the table.
  for (char c : text)
    if (c == '\n' || c == '\t' || (static_cast<unsigned char>(c) >= 0x20 && c != '\x7F')) buffer_ += c;
  if (buffer_.size() >= kCsvBufferBytes) Flush();
}

bool CsvOutput::Commit() {
  if (counting_) return Flush();
  if (!file_.IsOpen()) return false;
  if (!Flush()) {
    file_.Abandon();
    return false;
  }
  return file_.Commit();
}

}  // namespace simulation
}  // namespace orv
