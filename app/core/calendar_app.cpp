#include "app/core/calendar_app.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <ctime>
#include <utility>

#include "app/core/files/config.h"
#include "app/core/files/editor.h"
#include "app/core/reports/eclipse_reports.h"
#include "app/core/files/ephemeris_files.h"
#include "app/core/reports/holidays.h"
#include "app/core/reports/ics_calendar.h"
#include "app/core/files/files.h"
#include "data/public_holiday_rules.h"
#include "ephemeris/jpl_reader.h"
#include "lunisolar/prepare.h"
#include "lunisolar/tail_events.h"
#include "lunisolar/terms.h"
#include "time/text_format.h"
#include "time/timescales.h"

namespace orv {
namespace {

// A lunar month is about 29.5 days, so the day 30 days after (before) the
// 15th of a month lies in the month after (before) it.
constexpr int kDaysToNeighbourMonth = 30;
constexpr int kMidMonthDay = 15;

constexpr const char* kEphemerisSubfolder = "Eph/";

constexpr int kEphemerisItemCodes[3] = {kEphemerisPlan404, kEphemerisDe431, kEphemerisDe441};

std::string MissingFileMessage(const std::string& name) {
  return "JPL의 천체력 " + name + "을 바이너리로 변환한\n파일명 " + name +
         ".jpl이 실행폴더에 없습니다.\n만들어 넣어야 합니다.";
}

std::string StartUpMissingFileMessage(const std::string& name) {
  return "JPL의 천체력 " + name + "을(를) 바이너리로 변환한\n파일명 " + name + ".jpl이 실행폴더에 없습니다.\n만들어 넣어야 " +
         name + "을(를) 실행할 수 있습니다.\n기본으로 PLAN404를 실행합니다.";
}

constexpr const char* kNoInternalNutation = "PLAN404에는 내부 장동data가 없습니다.";

}  // namespace

CalendarApp::CalendarApp(AppFolders f, MessageSink& m, const Clock& c)
    : state_(std::move(f), m, c), month_(state_), files_(state_, month_), reports_(state_, month_, files_) {}

CalendarApp::~CalendarApp() = default;

int CalendarApp::LoadSettings(int& jplNumber) {
  ReadConfiguration(state_.settings, files_.ConfigReadPath(), state_.messages, state_.configRead);
  if (state_.settings.EphemerisCode == kEphemerisPlan404 || state_.settings.EphemerisCode == 0)
    state_.ephemerisChoiceIndex = 0;
  else if (state_.settings.EphemerisCode == kEphemerisDe431)
    state_.ephemerisChoiceIndex = 1;
  else if (state_.settings.EphemerisCode == kEphemerisDe441)
    state_.ephemerisChoiceIndex = 2;
  // The file always records 0 here (its format is kept), so the item is
  // also offered whenever a DE431 file is there to be opened.
  std::string de431Path;
  state_.de431Selectable = state_.settings.De431Selectable != 0 || files_.LocateEphemeris("DE431.jpl", de431Path);

  // The place list is filled afresh, so every place is listed once however
  // often the settings are loaded.
  state_.places = BuiltInPlaceTable();
  ReadPlaceFile(state_.places, state_.folders.currentFolder, state_.messages);
  state_.unresolvedPlaceIndex = -1;
  if (state_.settings.PlaceIndex < 0 || state_.settings.PlaceIndex >= static_cast<int>(state_.places.rows.size())) {
    // A user place whose file is missing or unreadable today: shown as place
    // 0 for this run, but kept in the settings file for when it is back.
    if (state_.settings.PlaceIndex >= state_.places.builtInCount) {
      state_.unresolvedPlaceIndex = state_.settings.PlaceIndex;
      state_.messages.Show("설정된 지역 " + std::to_string(state_.settings.PlaceIndex) + "번(사용자 지역)이 " +
                               kPlaceFileName +
                               "에 없어 0번 지역을 보여 줍니다.\n다른 지역을 고르지 않으면 설정 파일에는 " +
                               std::to_string(state_.settings.PlaceIndex) + "번을 그대로 둡니다.",
                           "안내");
    }
    state_.settings.PlaceIndex = 0;
  }
  ApplyPlace(state_.settings, state_.observer, state_.places, state_.settings.PlaceIndex);
  ComputeTodayDate(state_.settings, state_.clock);

  state_.displayMode = DisplayMode::Solar;
  state_.leapMonthWanted = false;
  state_.thirtyYearsAfter = true;
  state_.correctionWanted = true;
  state_.historicalCorrection =
      HistoricalCorrectionApplies(state_.settings.TodayDate[0], state_.settings.PlaceIndex, state_.correctionWanted);
  state_.correctionEnabled = state_.historicalCorrection;
  state_.inputs.eraAD = true;
  state_.inputs.yearNumber = state_.settings.TodayDate[0];
  state_.inputs.month = state_.settings.TodayDate[1];
  month_.Reset();

  state_.chosenSettings = state_.settings;
  jplNumber = JplNumberOfCode(state_.settings.EphemerisCode);
  return state_.settings.TodayDate[0];
}

void CalendarApp::StartUp() {
  if (started) return;
  started = true;
  int jplNumber = 0;
  int year = LoadSettings(jplNumber);

  state_.ephemerisFolder = state_.folders.programFolder;
  if (jplNumber != 0) {
    const std::string name = EphemerisStem(state_.settings.EphemerisCode);
    std::string path;
    const bool found = files_.LocateEphemeris(name + ".jpl", path);
    if (!found) path = JoinPath(JoinPath(state_.folders.programFolder, kEphemerisSubfolder), name + ".jpl");
    std::string error;
    if (state_.ephemeris.Open(state_.ctx, path, jplNumber, &error)) {
      state_.ephemerisFolder = FolderOfPath(path) + "/";
    } else {
      if (!error.empty()) state_.messages.Show(error, "오류", MessageButtons::Ok, MessageIcon::Error);
      state_.messages.Show(files_.NotFoundMessage(StartUpMissingFileMessage(name)), "참고");
      state_.settings.EphemerisCode = kEphemerisPlan404;
      SaveSettings(files_.SettingsWithUnresolvedPlace(state_.settings), files_.ConfigPath(), state_.configRead,
                   state_.messages);
      year = LoadSettings(jplNumber);
      if (jplNumber != 0) {
        // The save did not reach the file: run on PLAN404 all the same.
        state_.settings.EphemerisCode = kEphemerisPlan404;
        if (state_.settings.NutationModel == kNutationInternal) state_.settings.NutationModel = kNutationIau2000B;
        state_.ephemerisChoiceIndex = 0;
      }
    }
  }
  state_.chosenSettings = state_.settings;
  files_.ReadMemos();
  state_.PrepareYear(year);
  month_.Build();
}

void CalendarApp::Close() {
  files_.SaveSettingsFile();
  state_.ephemeris.Close(state_.ctx);
}

void CalendarApp::StepYear(bool up) {
  if (state_.engineBusy) return;
  if (state_.inputs.yearNumber == 0) state_.inputs.eraAD = true;
  MoveYearNumber(up);
  state_.leapMonthWanted = false;
  month_.Build();
  state_.ClearSelection();
}

void CalendarApp::StepMonth(bool up) {
  if (state_.engineBusy) return;
  const bool lunar = state_.displayMode == DisplayMode::Lunar;
  const int year = AstronomicalYear(state_.inputs);
  // Leap flag of the lunar month next to (after or before) the shown regular one.
  auto neighbourIsLeap = [&](int direction) {
    if (year != state_.LoadedYear()) return false;
    const std::optional<CivilDate> mid =
        SolarDateOfLunar(*state_.tables, year, state_.inputs.month, kMidMonthDay, false);
    if (!mid) return false;
    const CivilDateTime other =
        JulianDayToCalendar(CalendarToJulianDay(mid->year, mid->month, mid->day) + direction * kDaysToNeighbourMonth);
    return LunarDayOf(*state_.tables, {other.year, other.month, other.day}).leap;
  };
  if (up) {
    if (lunar && !state_.leapMonthWanted && neighbourIsLeap(+1)) {
      state_.leapMonthWanted = true;  // same number, its leap month
    } else {
      if (lunar) state_.leapMonthWanted = false;
      if (++state_.inputs.month > 12) {
        state_.inputs.month = 1;
        MoveYearNumber(true);
      }
    }
  } else {
    if (lunar && state_.leapMonthWanted) {
      state_.leapMonthWanted = false;  // the regular month of the same number
    } else {
      if (lunar && neighbourIsLeap(-1)) state_.leapMonthWanted = true;
      if (--state_.inputs.month < 1) {
        state_.inputs.month = 12;
        MoveYearNumber(false);
      }
    }
  }
  if (state_.inputs.yearNumber == 0) state_.inputs.eraAD = true;
  month_.Build();
  state_.ClearSelection();
}

void CalendarApp::ShowInputs() {
  if (state_.engineBusy) return;
  if (state_.displayMode == DisplayMode::Lunar) state_.leapMonthWanted = false;
  month_.Build();
}

void CalendarApp::SetInputs(const MonthInputs& typed) { state_.inputs = typed; }

void CalendarApp::SetMonth(int year, int month, DisplayMode mode) {
  state_.displayMode = mode;
  state_.leapMonthWanted = false;
  SetAstronomicalYear(state_.inputs, year);
  state_.inputs.month = month;
}

void CalendarApp::SetThirtyYearsAfter(bool after) { state_.thirtyYearsAfter = after; }

void CalendarApp::SetProgress(ProgressFunction onProgress) { state_.progress = std::move(onProgress); }

SimulationEnvironment CalendarApp::SimulationEnv(MessageSink& runMessages) {
  SimulationEnvironment env(state_.ctx, state_.Place(), runMessages);
  env.lunar.historicalCorrection = state_.historicalCorrection;
  env.lunar.placeIndex = state_.settings.PlaceIndex;
  env.correctionWanted = state_.correctionWanted;
  env.loadedYear = state_.settings.LoadedYear;
  double firstJd = 0.0, lastJd = 0.0;
  if (state_.ephemeris.Span(firstJd, lastJd)) UsableJplYears(firstJd, lastJd, env.jplFirstYear, env.jplLastYear);
  env.folder = state_.folders.currentFolder;
  return env;
}

void CalendarApp::SetAnniversaryCalendar(AnniversaryCalendar calendar) {
  if (state_.engineBusy || calendar == state_.anniversaryCalendar) return;
  state_.anniversaryCalendar = calendar;
  month_.Build();
}

void CalendarApp::SetDisplayMode(DisplayMode mode) {
  if (state_.engineBusy) return;
  if (mode == state_.displayMode) return;
  if (mode == DisplayMode::Solar && month_.View().filled && state_.tables->Prepared) {
    // Back to the solar month that holds the first day of the lunar month shown.
    const MonthCell& first = month_.View().grid.cells[month_.View().LastCellBefore + 1];
    if (first.present) {
      SetAstronomicalYear(state_.inputs, first.values.solar.year);
      state_.inputs.month = first.values.solar.month;
    }
  }
  state_.displayMode = mode;
  if (mode == DisplayMode::Solar) state_.leapMonthWanted = false;
  month_.Build();
}

void CalendarApp::ToggleLeapMonth() {
  if (state_.engineBusy) return;
  if (state_.leapMonthWanted) {
    state_.leapMonthWanted = false;
    month_.Build();
    return;
  }
  const int year = AstronomicalYear(state_.inputs);
  if (year != state_.LoadedYear() && state_.YearInRange(year)) state_.PrepareYear(year);
  if (year != state_.LoadedYear() || SlotOfLunarDate(*state_.tables, year, state_.inputs.month, 1, true) < 0) {
    state_.messages.Show(Format("음력 %d년 %d월은 윤달이 없습니다.", state_.inputs.yearNumber, state_.inputs.month),
                         "참고", MessageButtons::Ok, MessageIcon::Error);
    month_.Build();
    return;
  }
  state_.leapMonthWanted = true;
  month_.Build();
}

void CalendarApp::ToggleCorrection() {
  if (state_.engineBusy) return;
  if (!PlaceAllowsHistoricalCorrection(state_.settings.PlaceIndex) && !state_.historicalCorrection) {
    state_.messages.Show(kHistoricalCorrectionRefused, "안내");
    return;
  }
  // The box shows whether the year follows the records; pressing it asks
  // for the other answer, which every year keeps until pressed again.
  state_.correctionWanted = !state_.historicalCorrection;
  if (state_.displayMode == DisplayMode::Lunar) state_.leapMonthWanted = false;
  month_.Build();
}

void CalendarApp::GoToToday() {
  if (state_.engineBusy) return;
  const int loaded = state_.settings.LoadedYear;
  ComputeTodayDate(state_.settings, state_.clock);
  state_.settings.LoadedYear = loaded;  // the tables in memory are still those of the loaded year
  const int todayYear = state_.settings.TodayDate[0];
  SetAstronomicalYear(state_.inputs, todayYear);
  state_.inputs.month = state_.settings.TodayDate[1];
  if (todayYear != state_.LoadedYear()) state_.PrepareYear(todayYear);
  if (state_.displayMode == DisplayMode::Lunar) {
    const LunarDay today = LunarDayOf(*state_.tables, state_.Today());
    if (today.Known()) {
      SetAstronomicalYear(state_.inputs, today.year);
      state_.inputs.month = today.month;
      state_.leapMonthWanted = today.leap;
    }
  }
  month_.Build();
  state_.ClearSelection();
}

void CalendarApp::ChangePlace(int index) {
  if (state_.engineBusy) return;
  if (index < 0 || index >= static_cast<int>(state_.places.rows.size())) return;
  if (index != state_.settings.PlaceIndex) state_.unresolvedPlaceIndex = -1;  // another place chosen: it is saved
  if (state_.displayMode == DisplayMode::Lunar) state_.leapMonthWanted = false;
  // The new place's zone and coordinates; the month view then prepares the
  // year for that place (its own searches in its own standard time), exactly
  // as a start at that place would.
  ApplyPlace(state_.settings, state_.observer, state_.places, index);
  const CivilDateTime now = PlaceNow(state_.settings, state_.clock);
  state_.settings.TodayDate[0] = now.year;
  state_.settings.TodayDate[1] = now.month;
  state_.settings.TodayDate[2] = now.day;
  month_.Build();
  state_.referenceText = PlaceTimeText(state_.Place(), now);
}

void CalendarApp::PressReferenceBox() {
  state_.referenceText = referenceCycle.Press(state_.places, state_.settings, state_.clock);
}

void CalendarApp::SetPrecessionItem(int item) { state_.chosenSettings.PrecessionModel = item + 1; }

void CalendarApp::SetObliquityItem(int item) { state_.chosenSettings.ObliquityModel = item + 1; }

void CalendarApp::SetDeltaTItem(int item) { state_.chosenSettings.DeltaTModelCode = item + 1; }

void CalendarApp::SetTimeSystemItem(int item) {
  state_.chosenSettings.TimeSystemCode = item + 1;
  UpdateZoneOffset(state_.chosenSettings);
}

void CalendarApp::SetNutationItem(int item) {
  state_.chosenSettings.NutationModel = item == 0 ? kNutationInternal : kNutationIau2000B;
  if (state_.chosenSettings.EphemerisCode == kEphemerisPlan404 &&
      state_.chosenSettings.NutationModel == kNutationInternal) {
    state_.chosenSettings.NutationModel = kNutationIau2000B;
    state_.messages.Show(kNoInternalNutation, "참고");
  }
}

void CalendarApp::ChangeEphemeris(int item) {
  if (item < 0 || item > 2) return;
  if (state_.chosenSettings.EphemerisCode == kEphemerisItemCodes[item]) return;
  if (item != 0) {
    // The file must be there now; it is opened when the choice is applied.
    const std::string name = item == 1 ? "DE431" : "DE441";
    std::string path;
    if (!files_.LocateEphemeris(name + ".jpl", path) || !OpenEphemeris::CanOpen(path)) {
      state_.messages.Show(files_.NotFoundMessage(MissingFileMessage(name)), "참고");
      return;  // the control goes back to ephemerisChoiceIndex_
    }
  } else if (state_.chosenSettings.NutationModel == kNutationInternal) {
    state_.chosenSettings.NutationModel = kNutationIau2000B;
    state_.messages.Show(kNoInternalNutation, "참고");
  }
  state_.chosenSettings.EphemerisCode = kEphemerisItemCodes[item];
  state_.ephemerisChoiceIndex = item;
}

void CalendarApp::SetTidal(bool on) { state_.chosenSettings.TidalCompensation = on ? 1 : 0; }

void CalendarApp::SetEop(bool on) { state_.chosenSettings.EopCorrection = on ? 1 : 0; }

bool CalendarApp::SetUserDeltaT(double seconds) {
  if (!UserDeltaTInRange(seconds)) {
    state_.messages.Show(kUserDeltaTRangeMessage, "오류", MessageButtons::Ok, MessageIcon::Error);
    return false;
  }
  state_.chosenSettings.UserDeltaT = seconds;
  return true;
}

bool CalendarApp::CommitChosenSettings() {
  const int code = state_.chosenSettings.EphemerisCode;
  const int jplNumber = JplNumberOfCode(code);
  if (jplNumber != 0 && (code != state_.settings.EphemerisCode || !state_.ephemeris.IsOpen())) {
    const std::string name = EphemerisStem(code);
    std::string path, error;
    if (!files_.LocateEphemeris(name + ".jpl", path) || !state_.ephemeris.Open(state_.ctx, path, jplNumber, &error)) {
      if (!error.empty()) state_.messages.Show(error, "오류", MessageButtons::Ok, MessageIcon::Error);
      state_.messages.Show(files_.NotFoundMessage(MissingFileMessage(name)), "참고");
      state_.chosenSettings.EphemerisCode = state_.settings.EphemerisCode;
      // Internal nutation needs the file that was not opened.
      if (state_.chosenSettings.NutationModel == kNutationInternal &&
          JplNumberOfCode(state_.settings.EphemerisCode) == 0)
        state_.chosenSettings.NutationModel = state_.settings.NutationModel;
      state_.ephemerisChoiceIndex = state_.settings.EphemerisCode == kEphemerisDe431   ? 1
                                    : state_.settings.EphemerisCode == kEphemerisDe441 ? 2
                                                                                       : 0;
      return false;
    }
    state_.ephemerisFolder = FolderOfPath(path) + "/";
  } else if (jplNumber == 0) {
    state_.ephemeris.Close(state_.ctx);
  }
  const CalcSettings withRow = files_.SettingsToSave();
  state_.settings = withRow;
  UpdateZoneOffset(state_.settings);
  state_.chosenSettings = state_.settings;
  return true;
}

void CalendarApp::Apply() {
  if (state_.engineBusy) return;
  CommitChosenSettings();
  if (state_.displayMode == DisplayMode::Lunar && state_.leapMonthWanted) state_.leapMonthWanted = false;
  const int year = AstronomicalYear(state_.inputs);
  if (state_.YearInRange(year)) state_.PrepareYear(year);
  month_.Build();
}

bool CalendarApp::HorizonsPreset() {
  std::string path;
  if (!files_.LocateEphemeris("DE441.jpl", path) || !OpenEphemeris::CanOpen(path)) {
    state_.messages.Show(files_.NotFoundMessage(MissingFileMessage("DE441")), "참고");
    return false;
  }
  // Chosen like the controls would be; in effect at Apply.
  state_.chosenSettings.EphemerisCode = kEphemerisDe441;
  state_.ephemerisChoiceIndex = 2;
  state_.chosenSettings.PrecessionModel = kPrecessionOwen1990;
  state_.chosenSettings.NutationModel = kNutationInternal;
  state_.chosenSettings.ObliquityModel = kObliquityOwen1990;
  state_.chosenSettings.TimeSystemCode = kTimeST;
  UpdateZoneOffset(state_.chosenSettings);
  state_.chosenSettings.DeltaTModelCode = kDeltaTHorizons;
  state_.chosenSettings.TidalCompensation = 1;
  state_.chosenSettings.EopCorrection = 1;
  return true;
}

void CalendarApp::MoveYearNumber(bool later) {
  const int step = later ? 1 : -1;
  if (state_.inputs.yearNumber == 0 || state_.inputs.eraAD)
    state_.inputs.yearNumber += step;
  else
    state_.inputs.yearNumber -= step;
  if (state_.inputs.yearNumber == 0) state_.inputs.eraAD = true;
  state_.NormalizeEra();
}

}  // namespace orv
