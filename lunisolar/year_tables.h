// The tables of one loaded year: the day table with its lunar dates, the
// solar-term and syzygy lists (with the shadows that keep the neighbouring
// year's lists for incremental recomputation) and the month-pillar offsets.
// One object per loaded year; the window holds one, tests make their own.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "time/dates.h"
#include "time/settings.h"

namespace orv {

struct DayRecord {
  PackedDate solarDate = 0;   // 0 = empty slot
  PackedDate lunarDate = 0;   // lunar year, month (1..12), day; 0 = not numbered
  std::int16_t monthLength = 0;  // days of the lunar month: 29 or 30 (28 once in the recorded months, 236)
  std::int8_t leap = 0;       // 1 in a leap month
};

struct SolarTermRecord {
  PackedDate date = 0;          // 0 = empty
  std::int16_t termIndex = -1;  // 0..23
  std::int16_t longitude = 0;   // target longitude, whole degrees (15..360)
  PackedTime sectionalTime = -1;  // set for even term indices
  PackedTime majorTime = -1;      // set for odd term indices
  std::int16_t seconds = 0;     // seconds of the minute, rounded
  PackedTime time() const { return sectionalTime >= 0 ? sectionalTime : majorTime; }
};

struct SyzygyRecord {
  PackedDate date = 0;          // 0 = empty
  PackedTime newMoonTime = -1;  // set for a new moon
  PackedTime fullMoonTime = -1; // set for a full moon
  std::int16_t seconds = 0;
  bool isNewMoon() const { return newMoonTime >= 0; }
  PackedTime time() const { return newMoonTime >= 0 ? newMoonTime : fullMoonTime; }
};

// How the lunar months of a year are numbered.
struct LunarBuildOptions {
  // Follow the recorded calendars (lunar years 2..1911) wherever they reach a
  // table; the same for every year of one calendar, so that a table numbers
  // the days of a neighbouring lunar year as that year's own table does.
  bool historicalCorrection = false;
  int placeIndex = 0;                 // place code of the historical tables (0 Korea, 1 Ming/Qing)
  bool operator==(const LunarBuildOptions&) const = default;
};

struct YearTables {
  static constexpr int kDaySlots = 586;
  static constexpr int kListCapacity = 40;
  static constexpr int kPillarOffsets = 39;
  static constexpr int kNoMajorTermCapacity = 5;

  DayRecord DayTable[kDaySlots];
  int DayTableCount = 0;

  SolarTermRecord SolarTermList[kListCapacity];
  SolarTermRecord SolarTermShadow[kListCapacity];
  SyzygyRecord SyzygyList[kListCapacity];
  SyzygyRecord SyzygyShadow[kListCapacity];

  int NoMajorTermStarts[kNoMajorTermCapacity] = {-1, -1, -1, -1, -1};
  int Month11StartSlot = 0;
  int EarlyLeapFlag = 0;
  int LoadedYear = 0;
  bool Prepared = false;  // the tables describe LoadedYear
  CalcSettings PreparedWith;  // the settings the lists were computed with
  LunarBuildOptions LunarBuiltWith;  // how the lunar months were numbered

  std::int32_t MonthPillarOffsets[kPillarOffsets] = {};
  int SpringStartRecord = -1;  // index of the start-of-spring record the offsets count from

  // The new moons and major terms just past the lists (listed scale: the
  // selected time system with the zone added), so that every day of the
  // table gets a lunar date; see lunisolar/tail_events.h.
  static constexpr int kTailCapacity = 3;
  double TailNewMoons[kTailCapacity] = {};
  int TailNewMoonCount = 0;
  double TailMajorTerms[kTailCapacity] = {};
  int TailMajorTermCount = 0;
  // The new moon before the first listed one and the major term before the
  // first listed term (none while the lists are empty), for the table's
  // first weeks. Any Julian Day, 0 included, is an instant.
  std::optional<double> HeadNewMoon;
  std::optional<double> HeadMajorTerm;

  // The year after, as computed to number this table's last months (its
  // lists and its own lunar months, LoadedYear set, Prepared false), kept so
  // that preparing that year next takes it instead of searching it again.
  std::shared_ptr<const YearTables> NextYearComputed;
};

// Julian Day (00:00) of a packed civil date.
double PackedDateToJulianDay(PackedDate date);

}  // namespace orv
