#include "app/core/interim.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace orv {
namespace {

constexpr double kDegreesPerHour = 15.0;

}  // namespace

int InterimCp949Length(const std::string& utf8) {
  int bytes = 0;
  for (size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    size_t length = 1;
    if (c >= 0xF0) length = 4;
    else if (c >= 0xE0) length = 3;
    else if (c >= 0xC0) length = 2;
    // Hangul, Han and the CJK symbols take two bytes in CP949; an ASCII
    // character one; anything else counts with its UTF-8 length.
    bytes += c < 0x80 ? 1 : (length == 3 ? 2 : static_cast<int>(length));
    i += length;
  }
  return bytes;
}

bool InterimReadPlaceFile(PlaceTable&, const std::string&, MessageSink&) { return false; }

CivilDateTime InterimPlaceNow(const CalcSettings& settings, const Clock& clock) {
  const ClockReading now = clock.Now();
  const std::tm& l = now.local;
  const double hours = (settings.PlaceMeridian - settings.ComputerZoneMeridian) / kDegreesPerHour;
  const auto minutes = static_cast<std::int64_t>(hours * 60.0);  // truncated toward zero
  CivilDateTime out;
  AddMinutes(minutes, l.tm_year + 1900, l.tm_mon + 1, l.tm_mday, l.tm_hour, l.tm_min, out.year, out.month,
             out.day, out.hour, out.minute);
  return out;
}

std::string InterimPlaceTimeText(const PlaceRecord& place, const CivilDateTime& placeNow) {
  char text[200];
  std::snprintf(text, sizeof text, "%s의 확인시점 시각(섬머타임 미적용)은 %02d일 %02d시 %02d분",
                PlaceReportName(place).c_str(), placeNow.day, placeNow.hour, placeNow.minute);
  return text;
}

std::string InterimReferenceText(int which, const PlaceTable& table, const CalcSettings& settings,
                                 const Clock& clock) {
  const PlaceRecord& place = table.rows.at(static_cast<size_t>(settings.PlaceIndex));
  char text[200];
  if (which == 0) return "섬머타임(확인시점 시각+1시간) ; " + place.daylightSaving;
  if (which == 1) {
    const float hours = (settings.PlaceMeridian - settings.ComputerZoneMeridian) / 15.0f;
    const int h = static_cast<int>(hours);
    const int m = static_cast<int>((hours - static_cast<float>(h)) * 60.0f);
    if (h != 0)
      std::snprintf(text, sizeof text, "확인시점 시각(섬머타임 미적용) - 컴퓨터 시각 = %+02d시간 %02d분", h,
                    std::abs(m));
    else
      std::snprintf(text, sizeof text, "확인시점 시각(섬머타임 미적용) - 컴퓨터 시각 = %02d분", m);
    return text;
  }
  return InterimPlaceTimeText(place, InterimPlaceNow(settings, clock));
}

int InterimQuickEclipseScore(EngineContext&, double, bool) { return 0; }

void InterimReadMemoFile(MemoTable& memos, const std::string&) { memos.clear(); }

}  // namespace orv
