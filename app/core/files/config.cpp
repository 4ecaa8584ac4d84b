#include "app/core/files/config.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/core/files/files.h"
#include "time/dates.h"

namespace orv {
namespace {

constexpr const char* kConfigFormat =
    "%d,0\t1;3/9,\t\t3,9\n%d,\t2;1/2,\t\t1,1\n%d,\t3;0/2,\t\t2,0\n%d,\t4;1/2,\t\t1,1\n"
    "%d,\t5;1~3,\t\t3,3\n%d,%f,\t6;1~3,\t\t3,2\n%d,\t7;0/1,\t\t1,1\n%d,\t8;0/1,\t\t0,1\n"
    "%d,\t9;20,\t\t30,1\n%d,\t10;0~650,\t0,0\n%d,\t11;0/1,\t\t1,1\n";

// Longest solar-term search step the file may set, seconds.
constexpr int kMaxTermSearchStepSeconds = 3600;
// The UTF-8 byte-order mark some editors put at the start of a text file.
constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

// Parses an int at `p` the way "%d" does (leading blanks, optional sign);
// numbers that do not fit an int do not parse.
bool ParseInt(const char*& p, int& out) {
  while (*p == ' ' || *p == '\t') ++p;
  const char* start = p;
  if (*p == '+' || *p == '-') ++p;
  if (*p < '0' || *p > '9') {
    p = start;
    return false;
  }
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(start, &end, 10);
  if (errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
  p = end;
  out = static_cast<int>(v);
  return true;
}

// A user Delta T: a decimal number (no hexadecimal, no infinity or NaN).
// One that reads but lies outside the range is reported through `outOfRange`.
bool ParseUserDeltaT(const char*& p, double& out, bool& outOfRange) {
  while (*p == ' ' || *p == '\t') ++p;
  const char* start = p;
  if (*start == '+') ++start;
  const char* end = start;
  while (*end != '\0' && *end != ',' && *end != ' ' && *end != '\t' && *end != '\r' && *end != '\n') ++end;
  double v = 0.0;
  const auto [stop, ec] = std::from_chars(start, end, v, std::chars_format::general);
  if (stop == start || stop != end) return false;
  if (ec == std::errc::result_out_of_range || !UserDeltaTInRange(v)) {
    outOfRange = true;
    return false;
  }
  if (ec != std::errc()) return false;
  p = end;
  out = v;
  return true;
}

// "%d,%d" or "%d,%lf": the first value is assigned even when the second fails.
template <typename Second, typename ParseSecond>
void ParsePair(const std::string& line, int& first, Second& second, ParseSecond parseSecond) {
  const char* p = line.c_str();
  if (!ParseInt(p, first)) return;
  if (*p != ',') return;
  ++p;
  parseSecond(p, second);
}

void ParseSingle(const std::string& line, int& field) {
  const char* p = line.c_str();
  ParseInt(p, field);
}

}  // namespace

bool UserDeltaTInRange(double seconds) {
  return std::isfinite(seconds) && std::fabs(seconds) <= kMaxUserDeltaTSeconds;
}

namespace {

// The fields a configuration line sets, by line (0-based).
void DefaultLineFields(CalcSettings& s, const CalcSettings& d, int line) {
  switch (line) {
    case 0: s.EphemerisCode = d.EphemerisCode; s.De431Selectable = d.De431Selectable; break;
    case 1: s.PrecessionModel = d.PrecessionModel; break;
    case 2: s.NutationModel = d.NutationModel; break;
    case 3: s.ObliquityModel = d.ObliquityModel; break;
    case 4: s.TimeSystemCode = d.TimeSystemCode; break;
    case 5: s.DeltaTModelCode = d.DeltaTModelCode; s.UserDeltaT = d.UserDeltaT; break;
    case 6: s.TidalCompensation = d.TidalCompensation; break;
    case 7: s.TermSearchBisection = d.TermSearchBisection; break;
    case 8: s.TermSearchStepSeconds = d.TermSearchStepSeconds; break;
    case 9: s.PlaceIndex = d.PlaceIndex; break;
    default: s.EopCorrection = d.EopCorrection; break;
  }
}

// A field whose value the engine has no model for takes its default, with
// the message naming the default.
struct FieldCheck {
  int CalcSettings::*field;
  bool (*hasModel)(int value);
  const char* message;
};

bool PrecessionHasModel(int v) { return v == kPrecessionOwen1990 || v == kPrecessionIau2006; }
bool ObliquityHasModel(int v) { return v == kObliquityOwen1990 || v == kObliquityIau2006; }
bool NutationHasModel(int v) { return v == kNutationInternal || v == kNutationIau2000B; }
bool TimeSystemHasModel(int v) { return v >= kTimeDeltaTZero && v <= kTimeCivil; }
bool DeltaTHasModel(int v) { return v >= kDeltaTNasa && v <= kDeltaTHorizonsNasa; }
bool StepIsUsable(int v) { return v > 0 && v <= kMaxTermSearchStepSeconds; }

constexpr FieldCheck kFieldChecks[] = {
    {&CalcSettings::PrecessionModel, PrecessionHasModel, "세차모델식을 IAU2006으로 설정합니다"},
    {&CalcSettings::NutationModel, NutationHasModel, "장동모델식을 IAU2000B로 설정합니다"},
    {&CalcSettings::ObliquityModel, ObliquityHasModel, "황도경사모델식을 IAU2006으로 설정합니다"},
    {&CalcSettings::TimeSystemCode, TimeSystemHasModel, "시간계를 Standard T로 설정합니다"},
    {&CalcSettings::DeltaTModelCode, DeltaTHasModel, "Delta T 모델을 Horizons로 설정합니다"},
    {&CalcSettings::TermSearchStepSeconds, StepIsUsable, "절기 탐색 간격을 20초로 설정합니다"},
};

}  // namespace

bool ReadConfiguration(CalcSettings& settings, const std::string& path, MessageSink& messages) {
  // Only a regular file is read: a FIFO or a device given as the settings
  // file would block or never end.
  std::string bytes;
  const ReadResult read = ReadRegularFile(path, bytes);
  if (read == ReadResult::NotRegular) messages.Show(NotRegularFileText(path), "안내");
  std::istringstream in(bytes);
  if (read != ReadResult::Ok) {
    const CalcSettings defaults = DefaultSettings();
    settings.EphemerisCode = defaults.EphemerisCode;
    settings.De431Selectable = defaults.De431Selectable;
    settings.PrecessionModel = defaults.PrecessionModel;
    settings.NutationModel = defaults.NutationModel;
    settings.ObliquityModel = defaults.ObliquityModel;
    settings.TimeSystemCode = defaults.TimeSystemCode;
    settings.DeltaTModelCode = defaults.DeltaTModelCode;
    settings.UserDeltaT = defaults.UserDeltaT;
    settings.TidalCompensation = defaults.TidalCompensation;
    settings.TermSearchBisection = defaults.TermSearchBisection;
    settings.TermSearchStepSeconds = defaults.TermSearchStepSeconds;
    settings.PlaceIndex = defaults.PlaceIndex;
    settings.EopCorrection = defaults.EopCorrection;
    return false;
  }
  int* singles[] = {nullptr, &settings.PrecessionModel, &settings.NutationModel,
                    &settings.ObliquityModel, &settings.TimeSystemCode, nullptr,
                    &settings.TidalCompensation, &settings.TermSearchBisection,
                    &settings.TermSearchStepSeconds, &settings.PlaceIndex,
                    &settings.EopCorrection};
  const CalcSettings defaults = DefaultSettings();
  bool userDeltaTOutOfRange = false;
  std::string line;
  int lines = 0;
  for (; lines < 11 && std::getline(in, line); ++lines) {
    if (lines == 0 && line.rfind(kUtf8Bom, 0) == 0) line.erase(0, sizeof kUtf8Bom - 1);
    if (lines == 0) {
      ParsePair(line, settings.EphemerisCode, settings.De431Selectable,
                [](const char*& p, int& v) { return ParseInt(p, v); });
    } else if (lines == 5) {
      ParsePair(line, settings.DeltaTModelCode, settings.UserDeltaT,
                [&](const char*& p, double& v) { return ParseUserDeltaT(p, v, userDeltaTOutOfRange); });
    } else {
      ParseSingle(line, *singles[lines]);
    }
  }
  for (int missing = lines; missing < 11; ++missing) DefaultLineFields(settings, defaults, missing);
  // Only the built-in theory and the two JPL ephemerides are computed; the
  // other codes of the file's range name sources this program does not have.
  const int code = settings.EphemerisCode;
  if (code != kEphemerisPlan404 && code != kEphemerisDe431 && code != kEphemerisDe441) {
    messages.Show("천체력을 PLAN404로 설정합니다", "안내");
    settings.EphemerisCode = kEphemerisPlan404;
  }
  for (const FieldCheck& check : kFieldChecks) {
    if (check.hasModel(settings.*check.field)) continue;
    messages.Show(check.message, "안내");
    settings.*check.field = defaults.*check.field;
  }
  if (userDeltaTOutOfRange || !UserDeltaTInRange(settings.UserDeltaT)) {
    messages.Show(kUserDeltaTRangeMessage, "안내");
    if (!UserDeltaTInRange(settings.UserDeltaT)) settings.UserDeltaT = defaults.UserDeltaT;
  }
  if (settings.NutationModel == kNutationInternal && !EphemerisCarriesNutation(settings.EphemerisCode)) {
    messages.Show("장동모델식을 IAU2000B로 설정합니다", "안내");
    settings.NutationModel = kNutationIau2000B;
  }
  return true;
}

std::string FormatConfiguration(const CalcSettings& s) {
  const int size = std::snprintf(nullptr, 0, kConfigFormat, s.EphemerisCode, s.PrecessionModel,
                                 s.NutationModel, s.ObliquityModel, s.TimeSystemCode,
                                 s.DeltaTModelCode, s.UserDeltaT, s.TidalCompensation,
                                 s.TermSearchBisection, s.TermSearchStepSeconds, s.PlaceIndex,
                                 s.EopCorrection);
  std::string text(static_cast<size_t>(size) + 1, '\0');
  std::snprintf(text.data(), text.size(), kConfigFormat, s.EphemerisCode, s.PrecessionModel,
                s.NutationModel, s.ObliquityModel, s.TimeSystemCode, s.DeltaTModelCode,
                s.UserDeltaT, s.TidalCompensation, s.TermSearchBisection,
                s.TermSearchStepSeconds, s.PlaceIndex, s.EopCorrection);
  text.resize(static_cast<size_t>(size));
  return text;
}

bool SaveSettings(const CalcSettings& settings, const std::string& path) {
  return WriteFileAtomically(path, FormatConfiguration(settings));
}

void ComputeTodayDate(CalcSettings& settings, const Clock& clock) {
  const ClockReading now = clock.Now();
  const std::tm& u = now.utc;
  const std::tm& l = now.local;
  const std::int64_t offsetMinutes =
      MinutesBetween(u.tm_year + 1900, u.tm_mon + 1, u.tm_mday, u.tm_hour, u.tm_min,
                     l.tm_year + 1900, l.tm_mon + 1, l.tm_mday, l.tm_hour, l.tm_min);
  settings.ComputerZoneMeridian = static_cast<float>(offsetMinutes * 15) * (1.0f / 60.0f);
  const double hours = (settings.PlaceMeridian - settings.ComputerZoneMeridian) * (1.0 / 15.0);
  // Rounded to the nearest minute in both directions (truncating x + 0.5 would
  // lose a minute for zones west of the computer's).
  const auto minutes = static_cast<std::int64_t>(std::llround(hours * 60.0));
  int y, m, d, h, mi;
  AddMinutes(minutes, l.tm_year + 1900, l.tm_mon + 1, l.tm_mday, l.tm_hour, l.tm_min, y, m, d, h, mi);
  settings.TodayDate[0] = y;
  settings.TodayDate[1] = m;
  settings.TodayDate[2] = d;
  settings.LoadedYear = y;
}

}  // namespace orv
