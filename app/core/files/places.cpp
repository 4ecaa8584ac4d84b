#include "app/core/files/places.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/core/files/encoding.h"
#include "app/core/files/files.h"
#include "app/core/files/text_file.h"
#include "data/place_names_ko.h"
#include "data/places.h"
#include "time/civil_clock.h"
#include "time/timescales.h"

namespace orv {
namespace {

// Fields of a place file line, each followed by a comma.
constexpr int kPlaceFileFields = 6;
// Accepted ranges of the numbers of a user row. Meridians span the zones in
// use (UTC-12 to UTC+15); the altitude admits the shores of the Dead Sea and
// observers in the air.
constexpr double kMinMeridianDeg = -180.0, kMaxMeridianDeg = 225.0;
constexpr double kMaxAbsLongitudeDeg = 180.0;
constexpr double kMaxAbsLatitudeDeg = 90.0;
constexpr double kMinAltitudeM = -1000.0, kMaxAltitudeM = 100000.0;
constexpr int kMinutesPerHour = 60;
constexpr const char* kWarningCaption = "알림";

// Control characters (a NUL or a tab of a damaged file) never reach a name
// shown, a report or an exported file.
std::string WithoutControlCharacters(const std::string& s) {
  std::string out;
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x20 && c != '\x7F') out += c;
  return out;
}

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

// Characters (code points) of a UTF-8 text; a stray byte counts as one.
int CharacterCount(const std::string& utf8) {
  int count = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++count;
  return count;
}

// A number in C decimal notation (surrounding blanks allowed), independent of
// the locale the window toolkit may have set. False unless the whole field is
// one finite number.
bool ParseNumber(const std::string& field, double& value) {
  std::string text = Trim(field);
  if (!text.empty() && text[0] == '+') text.erase(0, 1);
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::general);
  return ec == std::errc() && ptr == end && std::isfinite(value);
}

// Why a line is not a place, or "" when `place` was filled from it.
std::string ParsePlaceLine(const std::string& line, PlaceRecord& place) {
  if (CharacterCount(line) > kPlaceFileMaxLineChars)
    return "줄이 " + std::to_string(kPlaceFileMaxLineChars) + "자를 넘습니다";
  std::string fields[kPlaceFileFields];
  std::size_t start = 0;
  for (int i = 0; i < kPlaceFileFields; ++i) {
    const std::size_t comma = line.find(',', start);
    if (comma == std::string::npos) return "쉼표로 끝나는 항목이 6개보다 적습니다";
    fields[i] = line.substr(start, comma - start);
    start = comma + 1;
  }
  double meridian, longitude, latitude, altitude;
  if (!ParseNumber(fields[0], meridian) || meridian < kMinMeridianDeg || meridian > kMaxMeridianDeg)
    return "표준자오선 값이 잘못되었습니다 (" + Trim(fields[0]) + ")";
  if (!ParseNumber(fields[2], longitude) || std::fabs(longitude) > kMaxAbsLongitudeDeg)
    return "경도 값이 잘못되었습니다 (" + Trim(fields[2]) + ")";
  if (!ParseNumber(fields[3], latitude) || std::fabs(latitude) > kMaxAbsLatitudeDeg)
    return "위도 값이 잘못되었습니다 (" + Trim(fields[3]) + ")";
  if (!ParseNumber(fields[4], altitude) || altitude < kMinAltitudeM || altitude > kMaxAltitudeM)
    return "고도 값이 잘못되었습니다 (" + Trim(fields[4]) + ")";
  const std::string name = Trim(WithoutControlCharacters(fields[1]));
  const std::string rule = Trim(WithoutControlCharacters(fields[5]));
  // An empty name would end the place list of the window.
  if (name.empty()) return "지역 이름이 비어 있습니다";
  if (Cp949Length(name) > kPlaceNameMaxBytes)
    return "지역 이름이 " + std::to_string(kPlaceNameMaxBytes) + "바이트를 넘습니다";
  if (Cp949Length(rule) > kPlaceDaylightSavingMaxBytes)
    return "섬머타임 설명이 " + std::to_string(kPlaceDaylightSavingMaxBytes) + "바이트를 넘습니다";
  place.meridian = static_cast<float>(meridian);
  place.name = name;
  place.longitude = longitude;
  place.latitude = latitude;
  place.altitude = altitude;
  place.daylightSaving = rule;
  return "";
}

// The row selected in the settings, or an empty row when the index is stale.
const PlaceRecord& SelectedPlace(const PlaceTable& table, const CalcSettings& settings) {
  static const PlaceRecord kNoPlace;
  const int index = settings.PlaceIndex;
  if (index < 0 || index >= static_cast<int>(table.rows.size())) return kNoPlace;
  return table.rows[static_cast<std::size_t>(index)];
}

}  // namespace

PlaceTable BuiltInPlaceTable() {
  PlaceTable table;
  table.rows.reserve(static_cast<size_t>(data::kBuiltInPlaceCount + PlaceTable::kMaxUserRows));
  for (int i = 0; i < data::kBuiltInPlaceCount; ++i) {
    const data::BuiltInPlace& p = data::kBuiltInPlaces[i];
    table.rows.push_back({p.meridian, p.name, p.longitudeDeg, p.latitudeDeg, p.altitudeM, p.daylightSaving, p.timeZone});
  }
  table.builtInCount = data::kBuiltInPlaceCount;
  return table;
}

namespace {

// One message for every line skipped: a single line is named in full; more
// are listed up to kSkippedLinesListed, then counted.
std::string SkippedPlaceLinesText(const std::vector<std::string>& skipped, bool allBad) {
  constexpr size_t kSkippedLinesListed = 5;
  const std::string file = kPlaceFileName;
  if (skipped.size() == 1) {
    const std::string& only = skipped.front();
    const size_t colon = only.find(": ");
    return file + " " + only.substr(0, colon) + "을 건너뜁니다" + only.substr(colon);
  }
  std::string text = file + (allBad ? "에서 잘못된 줄 " : "에서 읽지 않은 줄 ") + std::to_string(skipped.size()) +
                     "개를 건너뜁니다:";
  for (size_t i = 0; i < skipped.size() && i < kSkippedLinesListed; ++i) text += "\n" + skipped[i];
  if (skipped.size() > kSkippedLinesListed)
    text += "\n... 외 " + std::to_string(skipped.size() - kSkippedLinesListed) + "줄";
  return text;
}

}  // namespace

bool ReadPlaceFile(PlaceTable& table, const std::string& folder, MessageSink& messages) {
  table.rows.resize(static_cast<size_t>(table.builtInCount));
  std::string error;
  const std::string path = JoinPath(folder, kPlaceFileName);
  // Any encoding and any line ends the file's reader takes
  // (app/core/files/text_file.h).
  TextFile file;
  const ReadResult read = ReadTextFile(path, kMaxPlaceFileBytes, file, &error);
  if (read != ReadResult::Ok && read != ReadResult::Missing)
    messages.Show(error, kWarningCaption, MessageButtons::Ok, MessageIcon::Warning);
  if (read != ReadResult::Ok) return false;
  std::vector<std::string> skipped;  // "<n>번째 줄: <problem>" per bad line

  int userRows = 0;
  int lineNumber = 0;
  bool ended = false;  // at a blank line or the last row the table takes
  int endedAtLine = 0;
  bool full = false;
  bool allBad = true;  // every skipped line a bad one (none merely past the end)
  for (const TextFileLine& fileLine : file.lines) {
    const std::string& line = fileLine.text;
    ++lineNumber;
    if (ended) {
      // Only said aloud: places after the end of the list are not read.
      const char first = line.empty() ? '\0' : line[0];
      if ((first >= '0' && first <= '9') || first == '-') {
        allBad = false;
        skipped.push_back(std::to_string(lineNumber) + "번째 줄: " +
                          (full ? "지역은 " + std::to_string(PlaceTable::kMaxUserRows) + "개까지만 읽습니다"
                                : std::to_string(endedAtLine) + "번째 줄의 빈 줄 뒤에 있어 읽지 않습니다"));
      }
      continue;
    }
    if (line.empty()) {
      ended = true;
      endedAtLine = lineNumber;
      continue;
    }
    const char first = line[0];
    if (!(first >= '0' && first <= '9') && first != '-') continue;
    PlaceRecord place;
    const std::string problem = ParsePlaceLine(line, place);
    if (!problem.empty()) {
      skipped.push_back(std::to_string(lineNumber) + "번째 줄: " + problem);
      continue;
    }
    table.rows.push_back(std::move(place));
    if (++userRows == PlaceTable::kMaxUserRows) ended = full = true;
  }
  if (!skipped.empty())
    messages.Show(SkippedPlaceLinesText(skipped, allBad), kWarningCaption, MessageButtons::Ok, MessageIcon::Warning);
  return true;
}

int FindPlaceByName(const PlaceTable& table, const std::string& name) {
  for (size_t i = 0; i < table.rows.size(); ++i)
    if (table.rows[i].name == name) return static_cast<int>(i);
  return -1;
}

std::string PlaceReportName(const PlaceRecord& place) {
  return place.name.substr(0, place.name.find('('));
}

bool PlaceAllowsHistoricalCorrection(int index) {
  return index >= 0 && index < kRecordedCalendarPlaceCount;
}

void ApplyPlace(CalcSettings& settings, Observer& observer, const PlaceTable& table, int index) {
  const PlaceRecord& place = table.rows.at(static_cast<size_t>(index));
  settings.PlaceIndex = index;
  settings.PlaceMeridian = place.meridian;
  UpdateZoneOffset(settings);
  observer.LongitudeDeg = place.longitude;
  observer.LatitudeDeg = place.latitude;
  observer.AltitudeM = place.altitude;
  ObserverGeocentric(observer);
}

CivilDateTime PlaceNow(const CalcSettings& settings, const Clock& clock) {
  const std::tm local = clock.Now().local;
  const double hours =
      (static_cast<double>(settings.PlaceMeridian) - settings.ComputerZoneMeridian) / kDegreesPerHour;
  const auto minutes = static_cast<std::int64_t>(std::trunc(hours * kMinutesPerHour));
  CivilDateTime t;
  AddMinutes(minutes, local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
             t.year, t.month, t.day, t.hour, t.minute);
  return t;
}

std::string PlaceDaylightSavingText(const PlaceRecord& place) {
  return "섬머타임(확인시점 시각+1시간) ; " + place.daylightSaving;
}

std::string PlaceClockDifferenceText(const CalcSettings& settings) {
  // Single precision, as the meridians are stored.
  const float hours =
      (settings.PlaceMeridian - settings.ComputerZoneMeridian) / static_cast<float>(kDegreesPerHour);
  const int h = static_cast<int>(hours);  // truncation toward zero
  const int m = static_cast<int>((hours - static_cast<float>(h)) * static_cast<float>(kMinutesPerHour));
  char buffer[160];
  if (h != 0)
    std::snprintf(buffer, sizeof buffer, "확인시점 시각(섬머타임 미적용) - 컴퓨터 시각 = %+02d시간 %02d분", h,
                  std::abs(m));
  else
    std::snprintf(buffer, sizeof buffer, "확인시점 시각(섬머타임 미적용) - 컴퓨터 시각 = %02d분", m);
  return buffer;
}

std::string PlaceTimeText(const PlaceRecord& place, const CivilDateTime& placeNow) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "의 확인시점 시각(섬머타임 미적용)은 %02d일 %02d시 %02d분", placeNow.day,
                placeNow.hour, placeNow.minute);
  return PlaceReportName(place) + buffer;
}

namespace {

// Country and city of a row name, without the capital mark, the dash and a
// parenthesised suffix: "대한민국서울" for both Seoul rows.
std::string CountryAndCity(const std::string& name) {
  std::string out;
  for (char c : name.substr(0, name.find('('))) {
    if (c == '*' || c == '-' || c == ' ') continue;
    out += c;
  }
  return out;
}

std::string LowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

}  // namespace

std::string PlaceKoreanNames(const PlaceTable& table, int index) {
  if (index < 0 || index >= table.builtInCount) return "";
  for (int i = 0; i < data::kKoreanPlaceNameCount; ++i) {
    const data::KoreanPlaceName& k = data::kKoreanPlaceNames[i];
    if (k.row != index) continue;
    std::string names = k.city;
    const std::string country = k.country;
    if (!country.empty() && country != names) names += (names.empty() ? "" : ", ") + country;
    return names;
  }
  return "";
}

namespace {

std::string LabelOf(const PlaceTable& table, int index, const std::string& korean, bool alike) {
  const PlaceRecord& row = table.rows[static_cast<size_t>(index)];
  std::string label = row.name;
  if (!korean.empty()) label += " (" + korean + ")";
  if (alike) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, " · 동경 %.2f° 북위 %.2f°", row.longitude, row.latitude);
    label += buffer;
    if (index < kHistoricalPlaceCount) label += ", 음력보정 기준점";
  }
  return label;
}

}  // namespace

std::string PlaceListLabel(const PlaceTable& table, int index) {
  if (index < 0 || index >= static_cast<int>(table.rows.size())) return "";
  const std::string key = CountryAndCity(table.rows[static_cast<size_t>(index)].name);
  bool alike = false;
  for (int i = 0; i < static_cast<int>(table.rows.size()) && !alike; ++i)
    alike = i != index && CountryAndCity(table.rows[static_cast<size_t>(i)].name) == key;
  return LabelOf(table, index, PlaceKoreanNames(table, index), alike);
}

std::vector<std::string> PlaceListLabels(const PlaceTable& table) {
  const int n = static_cast<int>(table.rows.size());
  std::map<std::string, int> keyCount;
  std::vector<std::string> keys(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) ++keyCount[keys[static_cast<size_t>(i)] = CountryAndCity(table.rows[static_cast<size_t>(i)].name)];
  std::vector<std::string> korean(static_cast<size_t>(n));
  for (int k = 0; k < data::kKoreanPlaceNameCount; ++k) {
    const int row = data::kKoreanPlaceNames[k].row;
    if (row >= 0 && row < table.builtInCount && row < n) korean[static_cast<size_t>(row)] = PlaceKoreanNames(table, row);
  }
  std::vector<std::string> labels;
  labels.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i)
    labels.push_back(LabelOf(table, i, korean[static_cast<size_t>(i)], keyCount[keys[static_cast<size_t>(i)]] > 1));
  return labels;
}

bool PlaceMatches(const PlaceTable& table, int index, const std::string& text) {
  if (index < 0 || index >= static_cast<int>(table.rows.size())) return false;
  const std::string wanted = LowerAscii(text);
  return LowerAscii(table.rows[static_cast<size_t>(index)].name).find(wanted) != std::string::npos ||
         PlaceKoreanNames(table, index).find(wanted) != std::string::npos;
}

std::string PlaceCivilTimeText(const PlaceRecord& place, const CalcSettings& settings, const Clock& clock) {
  const CivilClock zone(place.timeZone);
  if (place.timeZone.empty() || !zone.valid()) return PlaceClockDifferenceText(settings);
  const std::tm utc = clock.Now().utc;
  LocalReading reading;
  reading.year = utc.tm_year + 1900;
  reading.month = utc.tm_mon + 1;
  reading.day = utc.tm_mday;
  reading.hour = utc.tm_hour;
  reading.minute = utc.tm_min;
  reading.second = utc.tm_sec;
  const UnixSeconds now = UtcReadingToUnix(reading);
  const ClockState state = zone.StateAt(now);
  const LocalReading local = zone.ReadingAt(now);
  char buffer[160];
  std::snprintf(buffer, sizeof buffer, " 현지시각 %04d-%02d-%02d %02d:%02d %s (UTC%s, %s)", local.year, local.month,
                local.day, local.hour, local.minute, state.abbreviation.c_str(),
                FormatUtcOffset(state.offsetSeconds).c_str(), state.daylightSaving ? "섬머타임 중" : "섬머타임 아님");
  return PlaceReportName(place) + buffer;
}

std::string PlaceReferenceCycle::Press(const PlaceTable& table, const CalcSettings& settings, const Clock& clock) {
  const PlaceRecord& place = SelectedPlace(table, settings);
  const int which = (next >= 0 && next < kTextCount) ? next : 0;
  next = (which + 1) % kTextCount;
  switch (which) {
    case 0:
      return PlaceDaylightSavingText(place);
    case 1:
      return PlaceCivilTimeText(place, settings, clock);
    default:
      return PlaceTimeText(place, PlaceNow(settings, clock));
  }
}

}  // namespace orv
