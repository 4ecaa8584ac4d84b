// The place table (built-in rows plus the user's rows), the choice of place,
// the civil time at the place and the texts of the reference box.
//
// Daylight saving is only shown as text; no computation ever applies it.
#pragma once

#include <string>
#include <vector>

#include "app/core/clock.h"
#include "app/core/messages.h"
#include "time/dates.h"
#include "time/settings.h"

namespace orv {

// The user's place file, read from the program's current folder.
inline constexpr const char* kPlaceFileName = "지역경위고도.txt";
// Byte limits of the text fields, counted in CP949 (see app/core/files/encoding.h).
inline constexpr int kPlaceNameMaxBytes = 35;
inline constexpr int kPlaceDaylightSavingMaxBytes = 63;
// Longest line of the place file, in characters (without the line end).
inline constexpr int kPlaceFileMaxLineChars = 119;
// Number of rows 0..3 whose lunar calendar may be aligned with the historical
// records (Seoul, the Ming/Qing observatory, the Joseon palace, the middle
// meridian of Korea).
inline constexpr int kHistoricalPlaceCount = 4;
// Of those, the rows whose place code has recorded lunar months (Seoul: the
// Korean calendar, Beijing: the Ming and Qing calendar).
inline constexpr int kRecordedCalendarPlaceCount = 2;
// Degrees of meridian per hour of zone offset.
inline constexpr double kDegreesPerHour = 15.0;

struct PlaceRecord {
  float meridian = 0.0f;      // standard meridian, degrees east
  std::string name;           // UTF-8
  double longitude = 0.0;     // degrees east
  double latitude = 0.0;      // degrees north
  double altitude = 0.0;      // metres
  std::string daylightSaving; // rule text, shown only
  std::string timeZone;       // IANA zone of the civil clock; "" = unknown (user rows)
};

struct PlaceTable {
  static constexpr int kMaxUserRows = 50;
  std::vector<PlaceRecord> rows;  // built-in rows first, then user rows
  int builtInCount = 0;
};

// The built-in rows only.
PlaceTable BuiltInPlaceTable();

// Reads the user place file kPlaceFileName from `folder` ("" = the current
// folder) and appends its rows after the built-in ones, replacing user rows
// read before. Returns whether the file was found.
//
// File format: one place per line, six fields each followed by a comma:
// meridian, name, longitude, latitude, altitude (metres), daylight-saving
// text; numbers in C notation. The file may be UTF-8, UTF-16 with a
// byte-order mark or CP949; a file larger than kMaxPlaceFileBytes, or one
// that cannot be read, is not read, with a message. A line whose first
// character is neither a digit nor "-" is skipped silently (comments,
// headings); an empty line or the end of the file ends the list, and so does
// the 50th row. A line that cannot be a place (fewer than six fields, a bad or
// out-of-range number, an empty name, a name over 35 or a rule text over 63
// CP949 bytes, more than 119 characters) is skipped, and so is every place
// line after the end of the list; all of them are named in one message.
bool ReadPlaceFile(PlaceTable& table, const std::string& folder, MessageSink& messages);

// Index of a row by exact name, -1 when absent.
int FindPlaceByName(const PlaceTable& table, const std::string& name);

// Korean names a built-in row is also found by, joined by ", " (its city
// "뉴욕", its country as CLDR spells it "싱가포르"); "" for none.
std::string PlaceKoreanNames(const PlaceTable& table, int index);
// The row's text in the place list: its name, its Korean names in brackets,
// and for rows that look alike (the same country and city, "대한민국-서울(135.0)"
// and "대한민국*서울") what tells them apart: their coordinates and, for the
// rows of the historical calendars, that they carry the historical correction.
std::string PlaceListLabel(const PlaceTable& table, int index);
// The labels of every row, in table order (the whole list at once, in
// about linear time: the window fills its list with these at start).
std::vector<std::string> PlaceListLabels(const PlaceTable& table);
// Whether row `index` is found by `text` (any part of its name or of its
// Korean names; Latin letters in any case).
bool PlaceMatches(const PlaceTable& table, int index, const std::string& text);

// The name used in reports: up to, not including, the first "(".
std::string PlaceReportName(const PlaceRecord& place);

// Whether the lunar calendar may be aligned with the historical records at
// this row: only where records exist (rows 0 and 1). Whether a year is
// aligned is decided by HistoricalCorrectionApplies (app/core/year_service.h).
bool PlaceAllowsHistoricalCorrection(int index);
// The notice shown when the correction is asked for at any other place.
inline constexpr const char* kHistoricalCorrectionRefused = "명청,조선,대한민국이외는\n보정하지 않습니다.";

// Makes `index` the selected place: PlaceIndex, PlaceMeridian, the zone offset
// and the observer (with its geocentric radius). The index must be valid.
void ApplyPlace(CalcSettings& settings, Observer& observer, const PlaceTable& table, int index);

// The civil date and time now at the selected place, in its standard time:
// the computer's local time plus (PlaceMeridian - ComputerZoneMeridian) / 15
// hours, truncated toward zero to whole minutes. Seconds are 0.
CivilDateTime PlaceNow(const CalcSettings& settings, const Clock& clock);

// The three texts of the reference box, in the order a press shows them:
// the place's daylight-saving rule,
std::string PlaceDaylightSavingText(const PlaceRecord& place);
// the difference between the place's standard time and the computer clock,
std::string PlaceClockDifferenceText(const CalcSettings& settings);
// (the place's civil clock now, when its zone is known: see PlaceCivilTimeText),
// and the place's day and time now (also shown after a change of place).
std::string PlaceTimeText(const PlaceRecord& place, const CivilDateTime& placeNow);

// The place's own civil clock now, from its IANA zone (daylight saving
// included): "미국-New York 현지시각 2026-12-10 07:41 EST (UTC-05:00, 섬머타임 아님)"
// or "... EDT (UTC-04:00, 섬머타임 중)". A row without a known zone (user rows)
// gives the difference text of PlaceClockDifferenceText instead.
std::string PlaceCivilTimeText(const PlaceRecord& place, const CalcSettings& settings, const Clock& clock);

// The reference box's cycle: each press shows the next of the three texts,
// starting with the daylight-saving rule. Lives for the run; redrawing the
// month view does not reset it.
struct PlaceReferenceCycle {
  static constexpr int kTextCount = 3;
  int next = 0;  // 0 rule, 1 the place's civil clock, 2 standard time at the place
  std::string Press(const PlaceTable& table, const CalcSettings& settings, const Clock& clock);
};

}  // namespace orv
