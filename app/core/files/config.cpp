#include "app/core/files/config.h"

#include <cerrno>
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

// A user Delta T beyond this (seconds, about 11.6 days) is treated as garbage.
constexpr double kMaxUserDeltaTSeconds = 1e6;

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

bool ParseDouble(const char*& p, double& out) {
  while (*p == ' ' || *p == '\t') ++p;
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(p, &end);
  if (end == p || errno == ERANGE || !std::isfinite(v) || std::fabs(v) > kMaxUserDeltaTSeconds)
    return false;
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

bool EphemerisHasNutation(int code) {
  return code == 7 || code == 8 || code == 9 || code == 12 || code == 13;
}

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
  std::string line;
  for (int i = 0; i < 11 && std::getline(in, line); ++i) {
    if (i == 0) {
      ParsePair(line, settings.EphemerisCode, settings.De431Selectable,
                [](const char*& p, int& v) { return ParseInt(p, v); });
    } else if (i == 5) {
      ParsePair(line, settings.DeltaTModelCode, settings.UserDeltaT,
                [](const char*& p, double& v) { return ParseDouble(p, v); });
    } else {
      ParseSingle(line, *singles[i]);
    }
  }
  if (settings.EphemerisCode < 0 || settings.EphemerisCode > 14) {
    messages.Show("천체력을 PLAN404로 설정합니다", "안내");
    settings.EphemerisCode = kEphemerisPlan404;
  }
  if (settings.NutationModel == kNutationInternal && !EphemerisHasNutation(settings.EphemerisCode)) {
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
