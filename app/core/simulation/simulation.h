// The ephemeris simulation: tables of one quantity (places of the Sun, the
// Moon and the planets, precession, nutation, obliquity, Delta T, sidereal
// time, solar terms, new and full moons, months without a major term,
// eclipses) over a series of instants, written to a CSV file. The window
// "천체력 추가계산" and `orvanta-cli simulate` both run RunSimulation; nothing
// here draws.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/core/messages.h"
#include "app/core/files/places.h"
#include "ephemeris/context.h"
#include "lunisolar/lunar_calendar.h"

namespace orv {

// ------------------------------------------------------------------ items

enum SimulationItemIndex : int {
  kItemAstrometric = 0,        // astrometric right ascension and declination (JPL)
  kItemApparentEquatorial = 1, // apparent right ascension and declination
  kItemApparentEcliptic = 2,   // apparent ecliptic longitude and latitude
  kItemHorizontal = 3,         // azimuth and altitude at the place
  kItemLongitudePassage = 4,   // Sun or Moon passing a chosen longitude
  kItemPerigeeApogee = 5,      // perigee/apogee (perihelion/aphelion of the Earth for the Sun)
  kItemPrecession = 6,
  kItemNutation = 7,
  kItemObliquity = 8,
  kItemDeltaT = 9,
  kItemSiderealTime = 10,
  kItemSolarTerms = 11,
  kItemSyzygies = 12,
  kItemNoMajorTermMonths = 13,
  kItemEclipses = 14,
};
inline constexpr int kSimulationItemCount = 15;
// Items from this one on do not depend on the target ("지구").
inline constexpr int kFirstTargetFreeItem = kItemPrecession;

struct SimulationItem {
  const char* name;         // also the default output name
  const char* description;  // shown beside the item list ("" for item 4)
};
extern const SimulationItem SimulationItems[kSimulationItemCount];

// Hint of the item list.
inline constexpr const char* kSimulationItemHint = "5,6번째 항목은 해와 달만, 7번째 항목부터는 위 대상과 무관";

// ------------------------------------------------------------------ units

enum SimulationUnit : int {
  kUnitSeconds = 0,
  kUnitMinutes = 1,
  kUnitHours = 2,
  kUnitDays = 3,
  kUnitMonths = 4,
  kUnitYears = 5,
};
inline constexpr int kSimulationUnitCount = 6;
extern const char* const SimulationUnitNames[kSimulationUnitCount];  // "초" ... "년"

// Items 11 to 13 work year by year: the unit is forced to years.
bool ItemUsesYearUnit(int item);
// Items 4 and 14 read the extra value (longitude in degrees, series step in seconds).
bool ItemUsesExtraValue(int item);
// Label of the extra field for items 4 and 14 ("" for the others).
const char* ExtraValueLabel(int item);

// ------------------------------------------------------------------ targets

// Targets of items 0 to 5: the Sun and the Moon, and with a JPL ephemeris
// (codes 6 to 9) the planets Mercury to Pluto. Items 6 and above show the
// single entry "지구".
struct SimulationTargetList {
  std::vector<std::string> names;
  int columns = 2;
};
bool EphemerisIsJpl(int ephemerisCode);
SimulationTargetList SimulationTargets(int ephemerisCode, int item);
// The selection kept when the list is rebuilt: the previous one when the list
// still has it, else 0 (the Sun); 0 for the "지구" list.
int KeepTargetSelection(int previous, int ephemerisCode, int item);
// JPL body number of a target index (0 Sun -> 11, 1 Moon -> 10, 2 Mercury -> 1,
// 3 Venus -> 2, 4 Mars -> 4, ... 9 Pluto -> 9); -1 for an index out of range.
int TargetJplBody(int target);
inline constexpr const char* kEarthTargetName = "지구";

// ------------------------------------------------------------------ request

// Default of the extra field ("60.0").
inline constexpr double kDefaultExtraValue = 60.0;

// What the window remembers between openings (and the command line fills).
struct SimulationRequest {
  int item = 0;
  int year = 0, month = 0, day = 0;  // start date (civil, astronomical years)
  int hour = 0, minute = 0;
  float second = 0.0f;
  double step = 0.0;                 // in `unit`
  int unit = kUnitSeconds;
  int repetitions = 0;
  int target = 0;
  double extra = kDefaultExtraValue; // items 4 and 14
  std::string outputName;            // ".csv" is appended
  int outputCounter = 0;             // suffix tried last; 0 after each run
};

// What outlives the simulation window: the request it shows when it is
// opened again (all zeros before the first opening) and whether a window is
// open and initialised. The main window owns one.
struct SimulationMemory {
  SimulationRequest request;
  bool windowOpen = false;
};

// The request a window shows: the remembered one, with the start taken from
// `now` (the computer's local date and time) when the remembered start is all
// zeros, a step of 1 and 2 repetitions when those are 0, and the output name
// of its item.
SimulationRequest InitialSimulationRequest(const SimulationRequest& remembered, int nowYear, int nowMonth, int nowDay,
                                           int nowHour, int nowMinute, int nowSecond);

// ------------------------------------------------------------------ run

// Position and maximum of the progress bar.
using SimulationProgress = std::function<void(int position, int maximum)>;

// What a run reads from the program besides the request.
struct SimulationEnvironment {
  SimulationEnvironment(EngineContext& c, const PlaceRecord& p, MessageSink& m) : ctx(c), place(p), messages(m) {}
  EngineContext& ctx;            // settings, observer, the open JPL file
  const PlaceRecord& place;      // the selected place (run header, item 3)
  MessageSink& messages;
  LunarBuildOptions lunar;       // historical correction and place code (items 11-14)
  // The user's choice of the historical correction: when given, each year of
  // items 11-14 is numbered by the rule of app/core/year_service.h with it;
  // else every year with `lunar` as it is.
  std::optional<bool> correctionWanted;
  int loadedYear = 0;            // the main window's year (item 14's PLAN404 note)
  // Usable years of the open JPL file (codes 6 to 9): the range of the run.
  int jplFirstYear = 0;
  int jplLastYear = 0;
  std::string folder;            // where the CSV goes ("" = the current folder)
  SimulationProgress progress;   // may be empty
  // Asked at every step of the progress bar; true stops the run, and nothing
  // of it is kept (may be empty).
  std::function<bool()> cancelled;
};

// How the lunar months of `year` are numbered in a run of `env`.
LunarBuildOptions LunarOptionsFor(const SimulationEnvironment& env, int year);

// Usable years of a JPL file spanning [firstJD, lastJD] (JplFileSpan).
void UsableJplYears(double firstJD, double lastJD, int& firstYear, int& lastYear);

struct SimulationOutcome {
  bool written = false;    // a file was created
  bool cancelled = false;  // stopped by env.cancelled: no file
  std::string path;        // its path (also the one a cancelled run would have written)
};

// The whole run of the button "계산": checks the start date (and for item 14
// the series step), the ephemeris range, picks a free output name, writes the
// run header and the item's table to a temporary file and renames it into
// place. Every refusal is a message; a file that cannot be created is
// reported ("오류") and nothing is left behind. The calendar items build the
// years they need in tables of their own, so the caller's loaded year is not
// disturbed. Resets request.outputCounter to 0 after a run that wrote a file.
SimulationOutcome RunSimulation(SimulationRequest& request, SimulationEnvironment& env);

// The checks of a run without the run: the start date, the item's inputs and
// the ephemeris range, each refusal a message. True when the run would go
// ahead (the command line refuses bad arguments with it before any file).
bool CheckSimulationRequest(const SimulationRequest& request, SimulationEnvironment& env);

// Same, into a file of the caller's choosing (overwritten; no name counter).
SimulationOutcome RunSimulationTo(const SimulationRequest& request, SimulationEnvironment& env,
                                  const std::string& path);

// ------------------------------------------------------------------ pieces

// "%d년%d월%d일은 날짜가 존재하지 않습니다."
std::string InvalidDateMessage(int year, int month, int day);
// A civil date the program can work with: IsValidDate, a month of 1..12, a day
// from 1 and a year within +-1000000.
bool IsUsableDate(int year, int month, int day);

// Start instant of a request: Julian Day in the selected time system with the
// zone offset removed (standard time becomes UT).
double SimulationStartInstant(const SimulationRequest& request, const CalcSettings& settings);
// Days per unit for the end instant of item 14 (months 31 days, years 365.5)
// and for the range check (months 365.25/12, years 365.25).
double UnitDaysForEnd(int unit);
double UnitDaysForRange(int unit);
// t0 + repetitions x step x UnitDaysForEnd: the end of item 14's eclipse list.
double SimulationEndInstant(const SimulationRequest& request, double t0);

// Years of the start and last instant against the ephemeris's range; shows the
// range message ("참고") and returns false when outside.
bool CheckSimulationRange(const SimulationRequest& request, double t0, const SimulationEnvironment& env);

// The next output file name: name.csv, else name1.csv, name2.csv ... (the
// first that does not exist in `folder`); request.outputCounter holds the
// suffix used. False when no free name is found.
bool ChooseOutputPath(SimulationRequest& request, const std::string& folder, std::string& path);

// The run header: place and leap correction, then the settings labels, and for
// item 3 the observer's place.
std::string RunHeaderText(const SimulationRequest& request, const SimulationEnvironment& env);

// The instant of line k + 1 (k = 0 is the start, `startJD`): seconds to days
// are start + k x step; months and years are counted from the start date
// (month = trunc(start month + k step), the excess carried into the year) and
// keep the start day and time.
double LineInstant(const SimulationRequest& request, const CalcSettings& settings, double startJD, long long k);

// "%4d:%02d:%06.3lf" of a value in degrees ('D') or of degrees as hours ('H');
// "-%4d:%02d:%06.3lf" when negative.
std::string FormatAngleText(double value, char mode);

// "'%d-%02d-%02d %02d:%02d:%04.2f" of t + ZoneOffsetDays: the first column.
std::string SimulationDateColumn(const CalcSettings& settings, double t);

}  // namespace orv
