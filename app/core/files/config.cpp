#include "app/core/files/config.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <cstring>
#include <vector>

#include "app/core/files/encoding.h"
#include "app/core/files/files.h"
#include "app/core/files/text_file.h"
#include "time/dates.h"

namespace orv {
namespace {

constexpr const char* kConfigFormat =
    "%d,0\t1;3/9,\t\t3,9\n%d,\t2;1/2,\t\t1,1\n%d,\t3;0/2,\t\t2,0\n%d,\t4;1/2,\t\t1,1\n"
    "%d,\t5;1~3,\t\t3,3\n%d,%s,\t6;1~3,\t\t3,2\n%d,\t7;0/1,\t\t1,1\n%d,\t8;0/1,\t\t0,1\n"
    "%d,\t9;20,\t\t30,1\n%d,\t10;0~650,\t0,0\n%d,\t11;0/1,\t\t1,1\n";

// Longest solar-term search step the file may set, seconds.
constexpr int kMaxTermSearchStepSeconds = 3600;

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

namespace {

constexpr int kConfigLines = 11;
constexpr const char* kConfigCaption = "안내";
// Lines named in full in the message about lines not understood.
constexpr std::size_t kProblemLinesListed = 5;
// Characters of a line quoted in that message.
constexpr std::size_t kQuotedLineBytes = 40;

void DefaultAllFields(CalcSettings& settings, const CalcSettings& defaults) {
  for (int line = 0; line < kConfigLines; ++line) DefaultLineFields(settings, defaults, line);
}

bool IsCommentOrBlank(const std::string& line) {
  const std::size_t first = line.find_first_not_of(" \t");
  if (first == std::string::npos) return true;
  return line[first] == '#' || line[first] == ';' || line.compare(first, 2, "//") == 0;
}

// The setting number a line carries after its values ("3,\t2;1/2,..." is line
// 2): the first run of digits followed by ';' that follows a blank or a
// comma. 0 when there is none; `valuesEnd` receives where the tag starts.
int LineTag(const std::string& line, std::size_t& valuesEnd) {
  for (std::size_t i = 1; i < line.size(); ++i) {
    const char before = line[i - 1];
    if (before != '\t' && before != ' ' && before != ',') continue;
    std::size_t j = i;
    int number = 0;
    while (j < line.size() && line[j] >= '0' && line[j] <= '9' && j - i < 3) number = number * 10 + (line[j++] - '0');
    if (j > i && j < line.size() && line[j] == ';') {
      valuesEnd = i;
      return number;
    }
  }
  valuesEnd = line.size();
  return 0;
}

// Whether only blanks and commas are left at p.
bool OnlySeparatorsLeft(const char* p) {
  while (*p == ' ' || *p == '\t' || *p == ',') ++p;
  return *p == '\0';
}

// Parses the values of setting `number` (1..11) from `values` into `s`. "" on
// success, else why the values were not taken (the fields are then left).
std::string ParseLineValues(const std::string& values, int number, CalcSettings& s, bool& userDeltaTOutOfRange) {
  const char* p = values.c_str();
  int first = 0;
  if (!ParseInt(p, first)) return "숫자가 아닙니다";
  if (number == 1 || number == 6) {
    while (*p == ' ' || *p == '\t') ++p;
    if (*p != ',') return "쉼표가 없습니다";
    ++p;
    if (number == 1) {
      int second = 0;
      const char* q = p;
      if (ParseInt(q, second)) {
        p = q;
        s.De431Selectable = second;
      } else if (!OnlySeparatorsLeft(p)) {
        return "두 번째 숫자가 잘못되었습니다";
      }
      s.EphemerisCode = first;
    } else {
      double seconds = 0.0;
      bool outOfRange = false;
      if (!ParseUserDeltaT(p, seconds, outOfRange)) {
        if (!outOfRange) return "사용자 Delta T 값이 잘못되었습니다";
        userDeltaTOutOfRange = true;  // reported with its own message
      } else {
        s.UserDeltaT = seconds;
      }
      s.DeltaTModelCode = first;
      if (outOfRange) return "";
    }
  }
  if (!OnlySeparatorsLeft(p)) return "값 뒤에 알 수 없는 글자가 있습니다";
  switch (number) {
    case 1: case 6: break;
    case 2: s.PrecessionModel = first; break;
    case 3: s.NutationModel = first; break;
    case 4: s.ObliquityModel = first; break;
    case 5: s.TimeSystemCode = first; break;
    case 7: s.TidalCompensation = first; break;
    case 8: s.TermSearchBisection = first; break;
    case 9: s.TermSearchStepSeconds = first; break;
    case 10: s.PlaceIndex = first; break;
    default: s.EopCorrection = first; break;
  }
  return "";
}

std::string Quoted(const std::string& line) {
  std::string shown = line.size() > kQuotedLineBytes ? CutToCp949Length(line, static_cast<int>(kQuotedLineBytes)) + "..." : line;
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  return shown;
}

// One message for every line not understood.
std::string ProblemLinesText(const std::string& path, const std::vector<std::string>& problems) {
  std::string text = path + "에서 알아보지 못한 줄 " + std::to_string(problems.size()) +
                     "개는 건너뛰고 그 설정은 기본값을 씁니다:";
  for (std::size_t i = 0; i < problems.size() && i < kProblemLinesListed; ++i) text += "\n" + problems[i];
  if (problems.size() > kProblemLinesListed)
    text += "\n... 외 " + std::to_string(problems.size() - kProblemLinesListed) + "줄";
  return text;
}

// Flags hold 0 or 1; the place index is never negative (its upper end is
// checked against the place table once that is read).
struct FlagCheck {
  int CalcSettings::*field;
  int number;  // its line
  bool (*valid)(int value);
};
bool IsFlag(int v) { return v == 0 || v == 1; }
bool IsPlaceIndex(int v) { return v >= 0; }
constexpr FlagCheck kFlagChecks[] = {
    {&CalcSettings::TidalCompensation, 7, IsFlag},
    {&CalcSettings::TermSearchBisection, 8, IsFlag},
    {&CalcSettings::PlaceIndex, 10, IsPlaceIndex},
    {&CalcSettings::EopCorrection, 11, IsFlag},
};

}  // namespace

bool ReadConfiguration(CalcSettings& settings, const std::string& path, MessageSink& messages) {
  ConfigReadState state;
  return ReadConfiguration(settings, path, messages, state);
}

bool ReadConfiguration(CalcSettings& settings, const std::string& path, MessageSink& messages,
                       ConfigReadState& state) {
  state = ConfigReadState{};
  state.path = path;
  const CalcSettings defaults = DefaultSettings();
  // Only a regular file is read: a FIFO or a device given as the settings
  // file would block or never end.
  std::string error;
  TextFile file;
  const ReadResult read = ReadTextFile(path, kMaxConfigFileBytes, file, &error);
  struct stat st;
  if (read != ReadResult::Missing && ::stat(path.c_str(), &st) == 0) {
    state.device = static_cast<unsigned long long>(st.st_dev);
    state.inode = static_cast<unsigned long long>(st.st_ino);
  }
  if (read == ReadResult::NotRegular) messages.Show(error, kConfigCaption);
  if (read == ReadResult::Unreadable || read == ReadResult::TooLarge || read == ReadResult::Failed) {
    // There is a file, but not one we could read: the user hears of it, and a
    // later save keeps it beside the new one.
    messages.Show(error + "\n기본 설정을 씁니다.", kConfigCaption, MessageButtons::Ok, MessageIcon::Warning);
    state.found = true;
    state.clean = false;
  }
  if (read != ReadResult::Ok) {
    DefaultAllFields(settings, defaults);
    return false;
  }
  state.found = true;

  // Lines as text, comments and blank lines left out.
  struct Line {
    int number;  // 1-based line of the file
    std::string text;
  };
  std::vector<Line> lines;
  bool cutShort = false;
  // Lines in any encoding and with any line ends the file's reader takes
  // (app/core/files/text_file.h).
  for (std::size_t i = 0; i < file.lines.size(); ++i) {
    const std::string& line = file.lines[i].text;
    if (IsCommentOrBlank(line)) continue;
    lines.push_back({static_cast<int>(i) + 1, line});
  }
  // Every line the program writes carries its setting's number after the
  // values; a file whose lines carry none (typed by hand) is read in order.
  bool tagged = false;
  for (const Line& line : lines) {
    std::size_t valuesEnd = 0;
    const int number = LineTag(line.text, valuesEnd);
    if (number >= 1 && number <= kConfigLines) tagged = true;
  }
  // In a file of numbered lines, a last line without its line end and without
  // its number was cut short (a save interrupted): its setting takes the
  // default without a message, and the file counts as not read cleanly.
  if (tagged && !file.lines.empty() && file.lines.back().end.empty() && !lines.empty()) {
    std::size_t valuesEnd = 0;
    if (LineTag(lines.back().text, valuesEnd) == 0) {
      lines.pop_back();
      cutShort = true;
    }
  }

  CalcSettings read_ = settings;
  DefaultAllFields(read_, defaults);
  bool seen[kConfigLines + 1] = {};
  std::vector<std::string> problems;  // "<n>번째 줄: <why> (<text>)"
  bool userDeltaTOutOfRange = false;
  int untaggedOrder = 0;
  for (const Line& line : lines) {
    std::size_t valuesEnd = line.text.size();
    int number = LineTag(line.text, valuesEnd);
    if (!tagged) {
      number = ++untaggedOrder;
      valuesEnd = line.text.size();
    }
    const std::string where = std::to_string(line.number) + "번째 줄: ";
    std::string why;
    if (number < 1 || number > kConfigLines) {
      why = tagged && number == 0 ? "설정 번호가 없습니다" : "설정 번호 " + std::to_string(number) + "은(는) 없는 번호입니다";
    } else if (seen[number]) {
      why = "설정 " + std::to_string(number) + "번이 앞에 이미 있습니다";
    } else {
      CalcSettings attempt = read_;
      why = ParseLineValues(line.text.substr(0, valuesEnd), number, attempt, userDeltaTOutOfRange);
      if (why.empty()) {
        read_ = attempt;
        seen[number] = true;
      }
    }
    if (!why.empty()) problems.push_back(where + why + " (" + Quoted(line.text) + ")");
  }
  for (const FlagCheck& check : kFlagChecks) {
    const int value = read_.*check.field;
    if (check.valid(value)) continue;
    problems.push_back("설정 " + std::to_string(check.number) + "번의 값 " + std::to_string(value) +
                       (check.field == &CalcSettings::PlaceIndex ? "은(는) 음수입니다" : "은(는) 0이나 1이라야 합니다"));
    read_.*check.field = defaults.*check.field;
  }
  // The values before the read stay for a user Delta T out of range (below).
  if (userDeltaTOutOfRange) read_.UserDeltaT = settings.UserDeltaT;
  settings = read_;
  bool replaced = !problems.empty() || userDeltaTOutOfRange;
  if (!problems.empty()) messages.Show(ProblemLinesText(path, problems), kConfigCaption);

  // Only the built-in theory and the two JPL ephemerides are computed; the
  // other codes of the file's range name sources this program does not have.
  const int code = settings.EphemerisCode;
  if (code != kEphemerisPlan404 && code != kEphemerisDe431 && code != kEphemerisDe441) {
    messages.Show("천체력을 PLAN404로 설정합니다", kConfigCaption);
    settings.EphemerisCode = kEphemerisPlan404;
    replaced = true;
  }
  for (const FieldCheck& check : kFieldChecks) {
    if (check.hasModel(settings.*check.field)) continue;
    messages.Show(check.message, kConfigCaption);
    settings.*check.field = defaults.*check.field;
    replaced = true;
  }
  if (userDeltaTOutOfRange || !UserDeltaTInRange(settings.UserDeltaT)) {
    messages.Show(kUserDeltaTRangeMessage, kConfigCaption);
    if (!UserDeltaTInRange(settings.UserDeltaT)) settings.UserDeltaT = defaults.UserDeltaT;
    replaced = true;
  }
  if (settings.NutationModel == kNutationInternal && !EphemerisCarriesNutation(settings.EphemerisCode)) {
    messages.Show("장동모델식을 IAU2000B로 설정합니다", kConfigCaption);
    settings.NutationModel = kNutationIau2000B;
    replaced = true;
  }
  state.clean = !replaced && !cutShort;
  return true;
}

// "%f" of printf without the locale: a decimal point whatever LC_NUMERIC the
// window toolkit set (a decimal comma would split the field when read back).
std::string SixDecimals(double value) {
  char buffer[400];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
  if (ec != std::errc()) return "0.000000";
  return std::string(buffer, end);
}

std::string FormatConfiguration(const CalcSettings& s) {
  const std::string userDeltaT = SixDecimals(s.UserDeltaT);
  const int size = std::snprintf(nullptr, 0, kConfigFormat, s.EphemerisCode, s.PrecessionModel,
                                 s.NutationModel, s.ObliquityModel, s.TimeSystemCode,
                                 s.DeltaTModelCode, userDeltaT.c_str(), s.TidalCompensation,
                                 s.TermSearchBisection, s.TermSearchStepSeconds, s.PlaceIndex,
                                 s.EopCorrection);
  std::string text(static_cast<size_t>(size) + 1, '\0');
  std::snprintf(text.data(), text.size(), kConfigFormat, s.EphemerisCode, s.PrecessionModel,
                s.NutationModel, s.ObliquityModel, s.TimeSystemCode, s.DeltaTModelCode,
                userDeltaT.c_str(), s.TidalCompensation, s.TermSearchBisection,
                s.TermSearchStepSeconds, s.PlaceIndex, s.EopCorrection);
  text.resize(static_cast<size_t>(size));
  return text;
}

bool SaveSettings(const CalcSettings& settings, const std::string& path) {
  return WriteFileAtomically(path, FormatConfiguration(settings));
}

namespace {

// Keeps the file at `path` as `backup` (replacing an older backup): a second
// name for the same file where the file system allows one, so even a file
// nobody may read is kept as it is; else a copy of its bytes.
bool KeepBackup(const std::string& path, const std::string& backup, std::string& error) {
  const std::string temp = backup + ".tmp" + std::to_string(::getpid());
  ::unlink(temp.c_str());
  if (::link(path.c_str(), temp.c_str()) == 0) {
    if (::rename(temp.c_str(), backup.c_str()) == 0) return true;
    error = std::strerror(errno);
    ::unlink(temp.c_str());
    return false;
  }
  std::string bytes;
  if (ReadRegularFile(path, bytes, &error) != ReadResult::Ok) return false;
  return WriteFileAtomically(backup, bytes, &error);
}

}  // namespace

bool SaveSettings(const CalcSettings& settings, const std::string& path, ConfigReadState& state,
                  MessageSink& messages) {
  struct stat st;
  const bool replacesTheFileRead = state.found && !state.clean && ::stat(path.c_str(), &st) == 0 &&
                                   static_cast<unsigned long long>(st.st_dev) == state.device &&
                                   static_cast<unsigned long long>(st.st_ino) == state.inode;
  if (replacesTheFileRead) {
    const std::string backup = path + ".bak";
    std::string error;
    if (!KeepBackup(path, backup, error)) {
      messages.Show(path + "을(를) 온전히 읽지 못했고 " + backup + "(으)로 보관하지도 못해 설정을 저장하지 않습니다 (" +
                        error + ")",
                    kConfigCaption, MessageButtons::Ok, MessageIcon::Warning);
      return false;
    }
    messages.Show(path + "을(를) 온전히 읽지 못해 원래 파일을 " + backup + "(으)로 남기고 설정을 저장합니다",
                  kConfigCaption);
  }
  if (!WriteFileAtomically(path, FormatConfiguration(settings))) return false;
  // What is there now is what this program wrote.
  if (::stat(path.c_str(), &st) == 0) {
    state.path = path;
    state.found = true;
    state.clean = true;
    state.device = static_cast<unsigned long long>(st.st_dev);
    state.inode = static_cast<unsigned long long>(st.st_ino);
  }
  return true;
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
