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

int AstronomicalYear(const MonthInputs& inputs) {
  if (inputs.yearNumber == 0 || inputs.eraAD) return inputs.yearNumber;
  return 1 - inputs.yearNumber;
}

void SetAstronomicalYear(MonthInputs& inputs, int year) {
  inputs.eraAD = year > 0;
  inputs.yearNumber = inputs.eraAD ? year : 1 - year;
  if (year == 0) {
    inputs.eraAD = true;
    inputs.yearNumber = 0;
  }
}

YearRange EphemerisYearRange(int code) {
  switch (code) {
    case kEphemerisDe431: case kEphemerisDe441: return {-12999, 16998};
    default: return {-4999, 10000};
  }
}

const char* YearRangeMessage(int code) {
  switch (code) {
    case kEphemerisDe431:
      return "DE431의 경우 연도 범위는\nBC13000년 ~ 16998년 입니다.\n%d년 %d월로 돌아갑니다.";
    case kEphemerisDe441:
      return "DE441의 경우 연도 범위는\nBC13000년 ~ 16998년 입니다.\n%d년 %d월로 돌아갑니다.";
    default:
      return "연도 범위는 BC5000년 ~ 10000년 입니다.\n%d년 %d월로 돌아갑니다.";
  }
}

CalendarApp::CalendarApp(AppFolders f, MessageSink& m, const Clock& c)
    : folders(std::move(f)),
      messages(m),
      clock(c),
      places(BuiltInPlaceTable()),
      ctx(settings, observer),
      tables(std::make_unique<YearTables>()),
      years(std::make_unique<YearService>()),
      runner(&systemRunner_),
      editors(EditorCommandsFromEnvironment()) {
  LayOutMonthGrid(view.grid, inputs.month, displayMode);
}

CalendarApp::~CalendarApp() { ephemeris.Close(ctx); }

std::string CalendarApp::ConfigPath() const { return JoinPath(folders.currentFolder, kConfigFileName); }

bool CalendarApp::LocateEphemeris(const std::string& fileName, std::string& path) const {
  EphemerisFileLocation found;
  if (!FindEphemerisFile(fileName, folders.programFolder, folders.currentFolder, found, folders.dataFolder))
    return false;
  path = found.path;
  return true;
}

std::string CalendarApp::NotFoundMessage(const std::string& head) const {
  std::string text = head + "\n\n찾아본 폴더:";
  for (const std::string& folder :
       EphemerisSearchFolders(folders.programFolder, folders.currentFolder, folders.dataFolder))
    text += "\n  " + (folder.empty() ? std::string("(현재 폴더)") : folder);
  return text;
}

CalcSettings CalendarApp::SettingsToSave() const {
  CalcSettings saved = settings;
  saved.EphemerisCode = chosenSettings.EphemerisCode;
  saved.PrecessionModel = chosenSettings.PrecessionModel;
  saved.NutationModel = chosenSettings.NutationModel;
  saved.ObliquityModel = chosenSettings.ObliquityModel;
  saved.TimeSystemCode = chosenSettings.TimeSystemCode;
  saved.DeltaTModelCode = chosenSettings.DeltaTModelCode;
  saved.UserDeltaT = chosenSettings.UserDeltaT;
  saved.TidalCompensation = chosenSettings.TidalCompensation;
  saved.EopCorrection = chosenSettings.EopCorrection;
  return SettingsWithUnresolvedPlace(saved);
}

CalcSettings CalendarApp::SettingsWithUnresolvedPlace(CalcSettings saved) const {
  if (unresolvedPlaceIndex_ >= 0 && saved.PlaceIndex == 0) saved.PlaceIndex = unresolvedPlaceIndex_;
  return saved;
}

std::string CalendarApp::ConfigReadPath() const {
  // The desktop program moves to the user's folder from the folder it was
  // started in (""), which may still hold readable settings.
  return SettingsFileToRead({folders.currentFolder, folders.userConfigFolder}, "", kConfigFileName);
}

LunarBuildOptions CalendarApp::Options(int year) const {
  return LunarOptionsOf(year, settings.PlaceIndex, correctionWanted_);
}

bool CalendarApp::TablesCurrent(int year) const {
  return tables->Prepared && tables->LoadedYear == year && SameListSettings(tables->PreparedWith, settings) &&
         tables->LunarBuiltWith == Options(year);
}

void CalendarApp::Progress(int percent) const {
  if (progress) progress(percent);
}

int CalendarApp::LoadedYear() const { return tables->Prepared ? tables->LoadedYear : INT_MIN; }

bool CalendarApp::YearInRange(int year) const {
  const YearRange range = EphemerisYearRange(settings.EphemerisCode);
  return year >= range.first && year <= range.last;
}

void CalendarApp::ClearSelection() { selected = DaySelection{}; }

void CalendarApp::MoveYearNumber(bool later) {
  const int step = later ? 1 : -1;
  if (inputs.yearNumber == 0 || inputs.eraAD) inputs.yearNumber += step;
  else inputs.yearNumber -= step;
  if (inputs.yearNumber == 0) inputs.eraAD = true;
  NormalizeEra();
}

void CalendarApp::NormalizeEra() {
  if (inputs.yearNumber < 0) SetAstronomicalYear(inputs, inputs.yearNumber);
}

// --- Start-up and closing -----------------------------------------------------

int CalendarApp::LoadSettings(int& jplNumber) {
  ReadConfiguration(settings, ConfigReadPath(), messages, configRead_);
  if (settings.EphemerisCode == kEphemerisPlan404 || settings.EphemerisCode == 0) ephemerisChoiceIndex_ = 0;
  else if (settings.EphemerisCode == kEphemerisDe431) ephemerisChoiceIndex_ = 1;
  else if (settings.EphemerisCode == kEphemerisDe441) ephemerisChoiceIndex_ = 2;
  // The file always records 0 here (its format is kept), so the item is
  // also offered whenever a DE431 file is there to be opened.
  std::string de431Path;
  de431Selectable = settings.De431Selectable != 0 || LocateEphemeris("DE431.jpl", de431Path);

  // The place list is filled afresh, so every place is listed once however
  // often the settings are loaded.
  places = BuiltInPlaceTable();
  ReadPlaceFile(places, folders.currentFolder, messages);
  unresolvedPlaceIndex_ = -1;
  if (settings.PlaceIndex < 0 || settings.PlaceIndex >= static_cast<int>(places.rows.size())) {
    // A user place whose file is missing or unreadable today: shown as place
    // 0 for this run, but kept in the settings file for when it is back.
    if (settings.PlaceIndex >= places.builtInCount) {
      unresolvedPlaceIndex_ = settings.PlaceIndex;
      messages.Show("설정된 지역 " + std::to_string(settings.PlaceIndex) + "번(사용자 지역)이 " + kPlaceFileName +
                        "에 없어 0번 지역을 보여 줍니다.\n다른 지역을 고르지 않으면 설정 파일에는 " +
                        std::to_string(settings.PlaceIndex) + "번을 그대로 둡니다.",
                    "안내");
    }
    settings.PlaceIndex = 0;
  }
  ApplyPlace(settings, observer, places, settings.PlaceIndex);
  ComputeTodayDate(settings, clock);

  displayMode = DisplayMode::Solar;
  leapMonthWanted_ = false;
  thirtyYearsAfter = true;
  correctionWanted_ = true;
  historicalCorrection_ = HistoricalCorrectionApplies(settings.TodayDate[0], settings.PlaceIndex, correctionWanted_);
  correctionEnabled = historicalCorrection_;
  inputs.eraAD = true;
  inputs.yearNumber = settings.TodayDate[0];
  inputs.month = settings.TodayDate[1];
  LayOutMonthGrid(view.grid, inputs.month, displayMode);
  view.filled = false;

  chosenSettings = settings;
  jplNumber = JplNumberOfCode(settings.EphemerisCode);
  return settings.TodayDate[0];
}

void CalendarApp::StartUp() {
  if (started) return;
  started = true;
  int jplNumber = 0;
  int year = LoadSettings(jplNumber);

  ephemerisFolder_ = folders.programFolder;
  if (jplNumber != 0) {
    const std::string name = EphemerisStem(settings.EphemerisCode);
    std::string path;
    const bool found = LocateEphemeris(name + ".jpl", path);
    if (!found) path = JoinPath(JoinPath(folders.programFolder, kEphemerisSubfolder), name + ".jpl");
    std::string error;
    if (ephemeris.Open(ctx, path, jplNumber, &error)) {
      ephemerisFolder_ = FolderOfPath(path) + "/";
    } else {
      if (!error.empty()) messages.Show(error, "오류", MessageButtons::Ok, MessageIcon::Error);
      messages.Show(NotFoundMessage(StartUpMissingFileMessage(name)), "참고");
      settings.EphemerisCode = kEphemerisPlan404;
      SaveSettings(SettingsWithUnresolvedPlace(settings), ConfigPath(), configRead_, messages);
      year = LoadSettings(jplNumber);
      if (jplNumber != 0) {
        // The save did not reach the file: run on PLAN404 all the same.
        settings.EphemerisCode = kEphemerisPlan404;
        if (settings.NutationModel == kNutationInternal) settings.NutationModel = kNutationIau2000B;
        ephemerisChoiceIndex_ = 0;
      }
    }
  }
  chosenSettings = settings;
  ReadMemoFile(memos, folders.currentFolder, &messages);
  PrepareYear(year);
  MonthViewBuild();
}

void CalendarApp::Close() {
  SaveSettings(SettingsToSave(), ConfigPath(), configRead_, messages);
  ephemeris.Close(ctx);
}

// --- Month view ---------------------------------------------------------------

void CalendarApp::PrepareYear(int year) {
  if (engineBusy_) return;
  try {
    YearOutcome outcome = years->Prepare(ctx, *tables, year, correctionWanted_);
    if (outcome == YearOutcome::OutsideFileYears) {
      // Whole years inside the file, with a margin for the day table, which
      // runs from November of the year before to June of the year after.
      const YearLimits usable = *YearService::FileYears(ctx);
      year = settings.TodayDate[0];
      pendingNotice_ = Format("천체력 적용기간(%d~%d)을\n벗어남. 올해로 재 지정됨\n", usable.lower, usable.upper);
      SetAstronomicalYear(inputs, year);
      inputs.month = settings.TodayDate[1];
      outcome = years->Prepare(ctx, *tables, year, correctionWanted_);
    }
    if (outcome == YearOutcome::SearchFailed) ShowYearFailure(year);
  } catch (const JplError& e) {
    tables->Prepared = false;
    messages.Show(e.what(), "오류", MessageButtons::Ok, MessageIcon::Error);
    return;
  }
  settings.LoadedYear = year;
}

void CalendarApp::ShowYearFailure(int year) {
  messages.Show(IncompleteYearMessage(year), "오류", MessageButtons::Ok, MessageIcon::Error);
}

bool CalendarApp::MonthViewBuild() {
  if (engineBusy_) return false;
  Progress(0);
  if (inputs.month < 1 || inputs.month > 12) {
    // The month shown stays, with the inputs that show it.
    messages.Show("월은 1에서 12 사이의 숫자로 입력하세요.", "참고");
    if (view.filled) inputs = shownInputs_;
    return false;
  }
  NormalizeEra();
  LayOutMonthGrid(view.grid, inputs.month, displayMode);
  view.filled = false;
  int year = AstronomicalYear(inputs);

  if (!YearInRange(year)) {
    messages.Show(Format(YearRangeMessage(settings.EphemerisCode), settings.TodayDate[0], settings.TodayDate[1]),
                  "참고");
    inputs.yearNumber = settings.TodayDate[0];
    inputs.month = settings.TodayDate[1];
    inputs.eraAD = true;
    leapMonthWanted_ = false;
    year = AstronomicalYear(inputs);
    LayOutMonthGrid(view.grid, inputs.month, displayMode);
  }

  // The box is offered where and when records exist; whether the year
  // follows them is the rule's answer for the user's choice, whatever years
  // were shown before.
  correctionEnabled = HistoricalCorrectionApplies(year, settings.PlaceIndex, true);
  historicalCorrection_ = HistoricalCorrectionApplies(year, settings.PlaceIndex, correctionWanted_);
  if (historicalCorrection_ && !correctionAdviceShown) {
    correctionAdviceShown = true;
    messages.Show("필요에 따라 음력보정 체크해제 하세요", "참고");
  }

  Progress(20);
  if (!TablesCurrent(year)) {
    PrepareYear(year);
    // The span check may have turned the inputs to this year.
    if (AstronomicalYear(inputs) != year) {
      year = AstronomicalYear(inputs);
      correctionEnabled = HistoricalCorrectionApplies(year, settings.PlaceIndex, true);
      historicalCorrection_ = HistoricalCorrectionApplies(year, settings.PlaceIndex, correctionWanted_);
    }
    LayOutMonthGrid(view.grid, inputs.month, displayMode);
  }
  Progress(40);
  if (!tables->Prepared) {
    Progress(0);
    return false;
  }

  MonthRequest request;
  request.year = year;
  request.month = inputs.month;
  request.mode = displayMode;
  request.leapWanted = displayMode == DisplayMode::Lunar && leapMonthWanted_;
  request.eraAD = inputs.eraAD;
  bool ok = false;
  try {
    if (year >= data::kFirstPublicHolidayYear - 1)
      request.holidayCalendar = &years->KoreanCalendar(ctx, *tables, year);
    ok = FillMonthView(ctx, *tables, memos, request, view, progress);
    if (!ok && request.leapWanted) {
      // No such leap month (the inputs changed under it): the regular month.
      leapMonthWanted_ = false;
      request.leapWanted = false;
      LayOutMonthGrid(view.grid, inputs.month, displayMode);
      ok = FillMonthView(ctx, *tables, memos, request, view, progress);
    }
  } catch (const JplError& e) {
    view.filled = false;
    messages.Show(e.what(), "오류", MessageButtons::Ok, MessageIcon::Error);
  }
  if (ok) {
    shownInputs_ = inputs;
    // Lunar months are named by their number, not by a solar month's name.
    if (displayMode == DisplayMode::Lunar)
      view.grid.At(0, 0) = (request.leapWanted ? "윤" : "") + std::to_string(inputs.month) + "월";
    yearPillarText_ = view.yearPillar;
    monthPillarText_ = view.monthPillar;
    monthPillarRed_ = view.monthWithoutMajorTerm;
    referenceText_ = view.calendarNote;
  }
  Progress(0);
  return ok;
}

void CalendarApp::StepYear(bool up) {
  if (engineBusy_) return;
  if (inputs.yearNumber == 0) inputs.eraAD = true;
  MoveYearNumber(up);
  leapMonthWanted_ = false;
  MonthViewBuild();
  ClearSelection();
}

void CalendarApp::StepMonth(bool up) {
  if (engineBusy_) return;
  const bool lunar = displayMode == DisplayMode::Lunar;
  const int year = AstronomicalYear(inputs);
  // Leap flag of the lunar month next to (after or before) the shown regular one.
  auto neighbourIsLeap = [&](int direction) {
    if (year != LoadedYear()) return false;
    const int slot = FindDayTableEntry(*tables, year, inputs.month, kMidMonthDay, 'm', 0);
    if (slot < 0) return false;
    const int other = slot + direction * kDaysToNeighbourMonth;
    return other >= 0 && other < tables->DayTableCount && tables->DayTable[other].leap != 0;
  };
  if (up) {
    if (lunar && !leapMonthWanted_ && neighbourIsLeap(+1)) {
      leapMonthWanted_ = true;  // same number, its leap month
    } else {
      if (lunar) leapMonthWanted_ = false;
      if (++inputs.month > 12) {
        inputs.month = 1;
        MoveYearNumber(true);
      }
    }
  } else {
    if (lunar && leapMonthWanted_) {
      leapMonthWanted_ = false;  // the regular month of the same number
    } else {
      if (lunar && neighbourIsLeap(-1)) leapMonthWanted_ = true;
      if (--inputs.month < 1) {
        inputs.month = 12;
        MoveYearNumber(false);
      }
    }
  }
  if (inputs.yearNumber == 0) inputs.eraAD = true;
  MonthViewBuild();
  ClearSelection();
}

void CalendarApp::ShowInputs() {
  if (engineBusy_) return;
  if (displayMode == DisplayMode::Lunar) leapMonthWanted_ = false;
  MonthViewBuild();
}

void CalendarApp::SetInputs(const MonthInputs& typed) { inputs = typed; }

void CalendarApp::SetMonth(int year, int month, DisplayMode mode) {
  displayMode = mode;
  leapMonthWanted_ = false;
  SetAstronomicalYear(inputs, year);
  inputs.month = month;
}

void CalendarApp::SetThirtyYearsAfter(bool after) { thirtyYearsAfter = after; }

void CalendarApp::SetProgress(ProgressFunction onProgress) { progress = std::move(onProgress); }

void CalendarApp::ReloadMemoFile() {
  if (engineBusy_) return;
  // Whatever editor saved it, and whenever: the month view follows the file.
  ReadMemoFile(memos, folders.currentFolder);
  MonthViewBuild();
}

bool CalendarApp::LoadAnniversaries(MemoDocument& document) {
  std::string error;
  if (LoadMemoDocument(document, folders.currentFolder, &error)) return true;
  messages.Show(JoinPath(folders.currentFolder, kMemoFileName) + "을(를) 읽을 수 없습니다.\n" + error, "오류",
                MessageButtons::Ok, MessageIcon::Error);
  return false;
}

bool CalendarApp::SaveAnniversaries(const MemoDocument& document) {
  std::string error;
  if (!SaveMemoDocument(document, folders.currentFolder, &error)) {
    messages.Show(JoinPath(folders.currentFolder, kMemoFileName) + "을(를) 저장하지 못했습니다.\n" + error, "오류",
                  MessageButtons::Ok, MessageIcon::Error);
    return false;
  }
  ReloadMemoFile();
  return true;
}

CivilDate CalendarApp::Today() const {
  return {settings.TodayDate[0], settings.TodayDate[1], settings.TodayDate[2]};
}

const YearTables* CalendarApp::ListYear(int year) {
  if (!YearInRange(year)) return nullptr;
  if (!listTables_) listTables_ = std::make_unique<YearTables>();
  try {
    if (years->Prepare(ctx, *listTables_, year, correctionWanted_) != YearOutcome::Prepared) return nullptr;
  } catch (const JplError&) {
    return nullptr;
  }
  return listTables_.get();
}

std::vector<UpcomingDay> CalendarApp::Upcoming(int days) { return UpcomingOf(memos, Today(), days); }

std::vector<UpcomingDay> CalendarApp::UpcomingOf(const MemoTable& memoTable, const CivilDate& from, int days) {
  return UpcomingDays([this](int year) { return ListYear(year); }, memoTable, from, days);
}

void CalendarApp::ShowPendingNotice() {
  if (pendingNotice_.empty()) return;
  const std::string notice = pendingNotice_;
  pendingNotice_.clear();
  messages.Show(notice, "알림");
}

SimulationEnvironment CalendarApp::SimulationEnv(MessageSink& runMessages) {
  SimulationEnvironment env(ctx, Place(), runMessages);
  env.lunar.historicalCorrection = historicalCorrection_;
  env.lunar.placeIndex = settings.PlaceIndex;
  env.correctionWanted = correctionWanted_;
  env.loadedYear = settings.LoadedYear;
  double firstJd = 0.0, lastJd = 0.0;
  if (ephemeris.Span(firstJd, lastJd)) UsableJplYears(firstJd, lastJd, env.jplFirstYear, env.jplLastYear);
  env.folder = folders.currentFolder;
  return env;
}

void CalendarApp::SetDisplayMode(DisplayMode mode) {
  if (engineBusy_) return;
  if (mode == displayMode) return;
  if (mode == DisplayMode::Solar && view.filled && tables->Prepared) {
    // Back to the solar month that holds the first day of the lunar month shown.
    const int slot = view.FirstCellIndex + view.LastCellBefore + 1;
    if (slot >= 0 && slot < tables->DayTableCount && tables->DayTable[slot].solarDate != 0) {
      int y, m, d;
      UnpackDate(tables->DayTable[slot].solarDate, y, m, d);
      SetAstronomicalYear(inputs, y);
      inputs.month = m;
    }
  }
  displayMode = mode;
  if (mode == DisplayMode::Solar) leapMonthWanted_ = false;
  MonthViewBuild();
}

void CalendarApp::ToggleLeapMonth() {
  if (engineBusy_) return;
  if (leapMonthWanted_) {
    leapMonthWanted_ = false;
    MonthViewBuild();
    return;
  }
  const int year = AstronomicalYear(inputs);
  if (year != LoadedYear() && YearInRange(year)) PrepareYear(year);
  if (year != LoadedYear() || FindDayTableEntry(*tables, year, inputs.month, 1, 'm', 1) < 0) {
    messages.Show(Format("음력 %d년 %d월은 윤달이 없습니다.", inputs.yearNumber, inputs.month), "참고",
                  MessageButtons::Ok, MessageIcon::Error);
    MonthViewBuild();
    return;
  }
  leapMonthWanted_ = true;
  MonthViewBuild();
}

void CalendarApp::ToggleCorrection() {
  if (engineBusy_) return;
  if (!PlaceAllowsHistoricalCorrection(settings.PlaceIndex) && !historicalCorrection_) {
    messages.Show(kHistoricalCorrectionRefused, "안내");
    return;
  }
  // The box shows whether the year follows the records; pressing it asks
  // for the other answer, which every year keeps until pressed again.
  correctionWanted_ = !historicalCorrection_;
  if (displayMode == DisplayMode::Lunar) leapMonthWanted_ = false;
  MonthViewBuild();
}

void CalendarApp::GoToToday() {
  if (engineBusy_) return;
  const int loaded = settings.LoadedYear;
  ComputeTodayDate(settings, clock);
  settings.LoadedYear = loaded;  // the tables in memory are still those of the loaded year
  const int todayYear = settings.TodayDate[0];
  SetAstronomicalYear(inputs, todayYear);
  inputs.month = settings.TodayDate[1];
  if (todayYear != LoadedYear()) PrepareYear(todayYear);
  if (displayMode == DisplayMode::Lunar) {
    const int slot = FindDayTableEntry(*tables, settings.TodayDate[0], settings.TodayDate[1],
                                       settings.TodayDate[2], 's', 0);
    if (slot >= 0 && tables->DayTable[slot].lunarDate != 0) {
      int ly, lm, ld;
      UnpackDate(tables->DayTable[slot].lunarDate, ly, lm, ld);
      SetAstronomicalYear(inputs, ly);
      inputs.month = lm;
      leapMonthWanted_ = tables->DayTable[slot].leap != 0;
    }
  }
  MonthViewBuild();
  ClearSelection();
}

void CalendarApp::SelectCell(int column, int row) {
  CellPillars(*tables, view, MonthGridTexts::CellAt(column, row), yearPillarText_, monthPillarText_);
}

double CalendarApp::MoonAgeOfCell(int cell) const {
  if (!tables->Prepared || !view.filled || cell < 0 || cell >= MonthGridTexts::kCells) return -1.0;
  const int slot = view.FirstCellIndex + cell;
  if (slot < 0 || slot >= tables->DayTableCount || tables->DayTable[slot].solarDate == 0) return -1.0;
  int y, m, d;
  UnpackDate(tables->DayTable[slot].solarDate, y, m, d);
  return MoonAgeAtNoon(*tables, settings, y, m, d);
}

double CalendarApp::ShownMoonAge() const {
  if (!tables->Prepared) return -1.0;
  if (selected.selected())
    return MoonAgeAtNoon(*tables, settings, selected.solarYear, selected.solarMonth, selected.solarDay);
  return MoonAgeOfCell(view.todayCell >= 0 ? view.todayCell : view.LastCellBefore + 1);
}

// --- Reports ------------------------------------------------------------------

namespace {

// Runs a report computation; a JPL file that cannot serve an instant shows
// its message instead of the report. False then.
template <typename Computation>
bool Guarded(MessageSink& messages, Computation computation) {
  try {
    computation();
    return true;
  } catch (const JplError& e) {
    messages.Show(e.what(), "오류", MessageButtons::Ok, MessageIcon::Error);
    return false;
  } catch (const IncompleteYearError& e) {
    messages.Show(IncompleteYearMessage(e.year), "오류", MessageButtons::Ok, MessageIcon::Error);
    return false;
  }
}

// DTSTAMP of an export: the clock's UTC reading, "YYYYMMDDTHHMMSSZ".
std::string StampUtc(const Clock& clock) {
  std::tm utc = clock.Now().utc;
  char text[32];
  if (std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &utc) == 0) return "19700101T000000Z";
  return text;
}

}  // namespace

ReportInputs CalendarApp::ReportIn() {
  const int year = tables->Prepared ? tables->LoadedYear : AstronomicalYear(inputs);
  return ReportInputs{ctx,       *tables,          Options(year), PlaceReportName(Place()), Place().timeZone,
                      years.get(), correctionWanted_};
}

template <typename Compute>
auto CalendarApp::AtPlace(int placeIndex, Compute compute) const {
  // A private copy of the settings with that place applied, sharing the open
  // JPL file and the year service (so its correction rule and cache apply, as
  // for the command line), leaving the loaded year and the settings in effect
  // as they are.
  CalcSettings placeSettings = settings;
  Observer placeObserver;
  ApplyPlace(placeSettings, placeObserver, places, placeIndex);
  EngineContext engine(placeSettings, placeObserver);
  engine.jpl = ctx.jpl;
  auto placeTables = std::make_unique<YearTables>();
  LunarBuildOptions lunar;
  lunar.placeIndex = placeIndex;
  const PlaceRecord& place = places.rows.at(static_cast<size_t>(placeIndex));
  ReportInputs in{engine, *placeTables, lunar, PlaceReportName(place), place.timeZone, years.get(), correctionWanted_};
  return compute(in, place);
}

BirthPillars CalendarApp::BirthPillarsAt(int placeIndex, const BirthReading& reading) const {
  return AtPlace(placeIndex,
                 [&](ReportInputs& in, const PlaceRecord& place) { return ComputeBirthPillars(in, place, reading); });
}

BirthReport CalendarApp::BirthReportAt(int placeIndex, const BirthRequest& request) const {
  return AtPlace(placeIndex,
                 [&](ReportInputs& in, const PlaceRecord& place) { return ComputeBirthReport(in, place, request); });
}

void CalendarApp::SetProgramRunner(ProgramRunner& r, std::vector<std::vector<std::string>> editorCommands) {
  runner = &r;
  editors = std::move(editorCommands);
}

bool CalendarApp::LoadInputYear(int& year) {
  year = AstronomicalYear(inputs);
  if (year != LoadedYear()) {
    if (displayMode == DisplayMode::Lunar) leapMonthWanted_ = false;
    MonthViewBuild();
    // The range check may have turned the inputs to this year.
    year = AstronomicalYear(inputs);
  }
  return tables->Prepared && LoadedYear() == year;
}

void CalendarApp::FollowTables() {
  const int year = AstronomicalYear(inputs);
  if (tables->Prepared && LoadedYear() == year) return;
  if (YearInRange(year)) PrepareYear(year);
  MonthViewBuild();
}

YearLimits CalendarApp::ReportYearLimits() const {
  double firstJd = 0.0, lastJd = 0.0;
  if (ephemeris.Span(firstJd, lastJd)) return ThirtyYearLimits(settings, JplFileYearLimits(firstJd, lastJd));
  return ThirtyYearLimits(settings);
}

void CalendarApp::DayReport(int column, int row) {
  if (engineBusy_) return;
  if (SelectDay(column, row)) ShowDayReport();
}

bool CalendarApp::SelectDay(int column, int row) {
  if (engineBusy_) return false;
  if (AstronomicalYear(inputs) != LoadedYear()) {
    messages.Show(kYearNotShownMessage, kYearNotShownCaption);
    return false;
  }
  const int cell = MonthGridTexts::CellAt(column, row);
  if (cell < 0) return false;  // the month's name, the weekdays and the line labels
  if (!view.filled || !view.InMonth(cell)) {
    messages.Show(kDayOutsideMonthMessage, kDayOutsideMonthCaption);
    return false;
  }
  const int slot = view.FirstCellIndex + cell;
  if (slot < 0 || slot >= tables->DayTableCount) return false;
  const DayRecord& record = tables->DayTable[slot];
  DaySelection day;
  bool found = false;
  if (displayMode == DisplayMode::Solar) {
    int y, m, d;
    UnpackDate(record.solarDate, y, m, d);
    found = SelectSolarDay(*tables, y, m, d, day);
  } else {
    int y, m, d;
    UnpackDate(record.lunarDate, y, m, d);
    found = SelectLunarDay(*tables, y, m, d, record.leap != 0, day);
  }
  if (!found) return false;
  selected = day;
  referenceText_ = SelectedDateLine(day);
  return true;
}

void CalendarApp::ShowDayReport() {
  if (engineBusy_) return;
  if (!selected.selected()) return;
  std::string text;
  ReportInputs in = ReportIn();
  if (!Guarded(messages, [&] { text = DayReportText(in, selected); })) return;
  const MessageAnswer answer = messages.Show(text, kDayReportCaption, MessageButtons::RetryPillarsCancel);
  if (answer == MessageAnswer::Pillars) pillarsRequested_ = true;
  if (answer != MessageAnswer::Retry) return;
  EditMemoFile(*runner, editors, folders.currentFolder, messages);
  ReadMemoFile(memos, folders.currentFolder, &messages);
  MonthViewBuild();
}

void CalendarApp::SolarTermReport() {
  if (engineBusy_) return;
  int year;
  if (!LoadInputYear(year)) return;
  std::string text;
  ReportInputs in = ReportIn();
  const bool ok = Guarded(messages, [&] { text = SolarTermReportText(in, year); });
  FollowTables();
  if (ok) messages.Show(text, kSolarTermReportCaption);
}

void CalendarApp::SyzygyReport() {
  if (engineBusy_) return;
  int year;
  if (!LoadInputYear(year)) return;
  std::string text;
  ReportInputs in = ReportIn();
  const bool ok = Guarded(messages, [&] { text = SyzygyReportText(in, year); });
  FollowTables();
  if (ok) messages.Show(text, kSyzygyReportCaption);
}

bool CalendarApp::SelectedDaySky(DaySky& out) {
  if (!selected.selected()) return false;
  return Guarded(messages, [&] { out = ComputeDaySky(ctx, selected.solarYear, selected.solarMonth, selected.solarDay); });
}

DaylightYear CalendarApp::DaylightOfYear(int year) {
  DaylightYear out;
  Guarded(messages, [&] { out = ComputeDaylightYear(ctx, year, Place().timeZone); });
  return out;
}

std::vector<EclipseMap> CalendarApp::EclipseMapsOfInputYear() {
  std::vector<EclipseMap> maps;
  int year;
  if (!LoadInputYear(year)) return maps;
  constexpr double kPathStepDays = 1.0 / 1440.0;
  Guarded(messages, [&] {
    auto list = std::make_unique<EclipseList>();
    FindEclipsesOfYear(ctx, *tables, year, *list);
    for (int i = 0; i < list->count; ++i)
      maps.push_back(BuildEclipseMap(ctx, list->items[i], PlaceReportName(Place()), kPathStepDays));
  });
  FollowTables();
  return maps;
}

void CalendarApp::EclipseReport(bool local) {
  if (engineBusy_) return;
  if (local && SwitchToStandardTimeForLocalEclipses(settings, messages)) {
    chosenSettings.TimeSystemCode = settings.TimeSystemCode;
    UpdateZoneOffset(chosenSettings);
    // The loaded lists are in the old time system: the year again in the
    // place's standard time.
    if (displayMode == DisplayMode::Lunar) leapMonthWanted_ = false;
    const int year = AstronomicalYear(inputs);
    if (YearInRange(year)) PrepareYear(year);
    MonthViewBuild();
  }
  int year;
  if (!LoadInputYear(year)) return;
  std::string text;
  ReportInputs in = ReportIn();
  const bool ok = Guarded(messages, [&] {
    text = local ? LocalEclipseReportText(in, year) : GlobalEclipseReportText(in, year);
  });
  FollowTables();
  if (ok) messages.Show(text, kEclipseReportCaption);
}

template <typename Table>
void CalendarApp::ThirtyYearTable(int startYear, const char* caption, Table table) {
  const YearRange range = ThirtyYearRange(startYear, !thirtyYearsAfter, ReportYearLimits());
  const int span = std::max(1, range.last - range.first);
  const ReportProgress advance = [&](int yearsDone) { Progress(yearsDone * 100 / span); };
  std::string text;
  ReportInputs in = ReportIn();
  const bool ok = Guarded(messages, [&] { text = table(in, range, advance); });
  FollowTables();
  if (ok) messages.Show(text, caption);
  Progress(0);
}

void CalendarApp::LeapMonthTable() {
  if (engineBusy_) return;
  int year;
  if (!LoadInputYear(year)) return;
  ThirtyYearTable(year, kLeapMonthTableCaption, [](ReportInputs& in, YearRange range, const ReportProgress& p) {
    return LeapMonthTableText(in, range, p);
  });
}

void CalendarApp::LunarDatesTable() {
  if (engineBusy_) return;
  if (!selected.selected()) {
    messages.Show(kSelectDayFirstMessage, kSelectDayFirstCaption, MessageButtons::Ok, MessageIcon::Error);
    return;
  }
  const DaySelection day = selected;
  ThirtyYearTable(day.solarYear, kLunarDatesTableCaption,
                  [&day](ReportInputs& in, YearRange range, const ReportProgress& p) {
                    return LunarDatesTableText(in, day, range, p);
                  });
}

void CalendarApp::SolarDatesTable() {
  if (engineBusy_) return;
  if (!selected.selected()) {
    messages.Show(kSelectDayFirstMessage, kSelectDayFirstCaption, MessageButtons::Ok, MessageIcon::Error);
    return;
  }
  const DaySelection day = selected;
  ThirtyYearTable(day.lunarYear, kSolarDatesTableCaption,
                  [&day](ReportInputs& in, YearRange range, const ReportProgress& p) {
                    return SolarDatesTableText(in, day, range, p);
                  });
}

void CalendarApp::HolidayReport() {
  if (engineBusy_) return;
  int year;
  if (!LoadInputYear(year)) return;
  std::string text;
  ReportInputs in = ReportIn();
  const bool ok = Guarded(messages, [&] { text = HolidayReportText(in, year); });
  FollowTables();
  if (ok) messages.Show(text, kHolidayReportCaption);
}

std::string CalendarApp::AboutBoxText() const {
  std::string text = AboutText(settings);
  if (folders.userConfigFolder)
    text += SettingsFolderLine(folders.currentFolder) + SettingsSourceLine(ConfigReadPath(), ConfigPath());
  return text;
}

void CalendarApp::AboutBox() {
  if (messages.Show(AboutBoxText(), kAboutCaption, MessageButtons::RetryCancel) == MessageAnswer::Retry)
    OpenHelpFile(*runner, editors, folders.currentFolder, messages);
}

// --- iCalendar export -----------------------------------------------------------

YearLimits CalendarApp::IcsYearLimits() const {
  const YearLimits limits = ReportYearLimits();
  return {std::max(kIcsFirstYear, limits.lower), std::min(kIcsLastYear, limits.upper)};
}

IcsExportRequest CalendarApp::DefaultIcsRequest() const {
  IcsExportRequest request;
  const int year = tables->Prepared ? tables->LoadedYear : AstronomicalYear(inputs);
  request.fromYear = year;
  request.toYear = year;
  return request;
}

bool CalendarApp::ExportIcs(const IcsExportRequest& request) {
  if (engineBusy_) return false;
  if (request.path.empty()) return false;
  if (request.fromYear > request.toYear) {
    messages.Show("시작 연도가 끝 연도보다 늦습니다.", "참고");
    return false;
  }
  const YearLimits limits = IcsYearLimits();
  if (request.fromYear < limits.lower || request.toYear > limits.upper) {
    messages.Show(Format("iCalendar로 내보낼 수 있는 연도는\n%d년 ~ %d년 입니다.", limits.lower, limits.upper),
                  "참고");
    return false;
  }
  if (request.toYear - request.fromYear + 1 > kIcsMaxYears) {
    messages.Show("한 번에 " + std::to_string(kIcsMaxYears) + "년까지 내보낼 수 있습니다.", "참고");
    return false;
  }

  IcsCalendarOptions options;
  options.fromYear = request.fromYear;
  options.toYear = request.toYear;
  options.selection.terms = request.terms;
  options.selection.syzygies = request.syzygies;
  options.selection.eclipses = request.eclipses;
  options.holidays = request.holidays;
  options.memo = request.memo;
  options.memoFolder = folders.currentFolder;
  options.correctionWanted = correctionWanted_;

  const int shownYear = tables->Prepared ? tables->LoadedYear : AstronomicalYear(inputs);
  std::string text;
  const bool built = Guarded(messages, [&] {
    text = BuildIcsCalendar(ctx, *tables, *years, Place(), options, messages, StampUtc(clock));
  });
  // The export left the last year it covered in the tables: back to the one shown.
  if (YearInRange(shownYear)) PrepareYear(shownYear);
  MonthViewBuild();
  if (!built) return false;
  std::string error;
  if (!WriteFileAtomically(request.path, text, &error)) {
    messages.Show(request.path + "\n파일을 쓸 수 없습니다.\n(" + error + ")", "오류", MessageButtons::Ok,
                  MessageIcon::Error);
    return false;
  }
  messages.Show(request.path + "\n파일로 내보냈습니다.", "안내");
  return true;
}

// --- Places -------------------------------------------------------------------

void CalendarApp::ChangePlace(int index) {
  if (engineBusy_) return;
  if (index < 0 || index >= static_cast<int>(places.rows.size())) return;
  if (index != settings.PlaceIndex) unresolvedPlaceIndex_ = -1;  // another place chosen: it is saved
  if (displayMode == DisplayMode::Lunar) leapMonthWanted_ = false;
  // The new place's zone and coordinates; the month view then prepares the
  // year for that place (its own searches in its own standard time), exactly
  // as a start at that place would.
  ApplyPlace(settings, observer, places, index);
  const CivilDateTime now = PlaceNow(settings, clock);
  settings.TodayDate[0] = now.year;
  settings.TodayDate[1] = now.month;
  settings.TodayDate[2] = now.day;
  MonthViewBuild();
  referenceText_ = PlaceTimeText(Place(), now);
}

void CalendarApp::PressReferenceBox() {
  referenceText_ = referenceCycle.Press(places, settings, clock);
}

// --- Settings controls --------------------------------------------------------
// Each control changes chosenSettings only; Apply makes them take effect.

void CalendarApp::SetPrecessionItem(int item) { chosenSettings.PrecessionModel = item + 1; }
void CalendarApp::SetObliquityItem(int item) { chosenSettings.ObliquityModel = item + 1; }
void CalendarApp::SetDeltaTItem(int item) { chosenSettings.DeltaTModelCode = item + 1; }

void CalendarApp::SetTimeSystemItem(int item) {
  chosenSettings.TimeSystemCode = item + 1;
  UpdateZoneOffset(chosenSettings);
}

void CalendarApp::SetNutationItem(int item) {
  chosenSettings.NutationModel = item == 0 ? kNutationInternal : kNutationIau2000B;
  if (chosenSettings.EphemerisCode == kEphemerisPlan404 && chosenSettings.NutationModel == kNutationInternal) {
    chosenSettings.NutationModel = kNutationIau2000B;
    messages.Show(kNoInternalNutation, "참고");
  }
}

void CalendarApp::ChangeEphemeris(int item) {
  if (item < 0 || item > 2) return;
  if (chosenSettings.EphemerisCode == kEphemerisItemCodes[item]) return;
  if (item != 0) {
    // The file must be there now; it is opened when the choice is applied.
    const std::string name = item == 1 ? "DE431" : "DE441";
    std::string path;
    if (!LocateEphemeris(name + ".jpl", path) || !OpenEphemeris::CanOpen(path)) {
      messages.Show(NotFoundMessage(MissingFileMessage(name)), "참고");
      return;  // the control goes back to ephemerisChoiceIndex_
    }
  } else if (chosenSettings.NutationModel == kNutationInternal) {
    chosenSettings.NutationModel = kNutationIau2000B;
    messages.Show(kNoInternalNutation, "참고");
  }
  chosenSettings.EphemerisCode = kEphemerisItemCodes[item];
  ephemerisChoiceIndex_ = item;
}

void CalendarApp::SetTidal(bool on) { chosenSettings.TidalCompensation = on ? 1 : 0; }
void CalendarApp::SetEop(bool on) { chosenSettings.EopCorrection = on ? 1 : 0; }
bool CalendarApp::SetUserDeltaT(double seconds) {
  if (!UserDeltaTInRange(seconds)) {
    messages.Show(kUserDeltaTRangeMessage, "오류", MessageButtons::Ok, MessageIcon::Error);
    return false;
  }
  chosenSettings.UserDeltaT = seconds;
  return true;
}

bool CalendarApp::CommitChosenSettings() {
  const int code = chosenSettings.EphemerisCode;
  const int jplNumber = JplNumberOfCode(code);
  if (jplNumber != 0 && (code != settings.EphemerisCode || !ephemeris.IsOpen())) {
    const std::string name = EphemerisStem(code);
    std::string path, error;
    if (!LocateEphemeris(name + ".jpl", path) || !ephemeris.Open(ctx, path, jplNumber, &error)) {
      if (!error.empty()) messages.Show(error, "오류", MessageButtons::Ok, MessageIcon::Error);
      messages.Show(NotFoundMessage(MissingFileMessage(name)), "참고");
      chosenSettings.EphemerisCode = settings.EphemerisCode;
      // Internal nutation needs the file that was not opened.
      if (chosenSettings.NutationModel == kNutationInternal && JplNumberOfCode(settings.EphemerisCode) == 0)
        chosenSettings.NutationModel = settings.NutationModel;
      ephemerisChoiceIndex_ = settings.EphemerisCode == kEphemerisDe431   ? 1
                             : settings.EphemerisCode == kEphemerisDe441 ? 2
                                                                          : 0;
      return false;
    }
    ephemerisFolder_ = FolderOfPath(path) + "/";
  } else if (jplNumber == 0) {
    ephemeris.Close(ctx);
  }
  const CalcSettings withRow = SettingsToSave();
  settings = withRow;
  UpdateZoneOffset(settings);
  chosenSettings = settings;
  return true;
}

void CalendarApp::Apply() {
  if (engineBusy_) return;
  CommitChosenSettings();
  if (displayMode == DisplayMode::Lunar && leapMonthWanted_) leapMonthWanted_ = false;
  const int year = AstronomicalYear(inputs);
  if (YearInRange(year)) PrepareYear(year);
  MonthViewBuild();
}

bool CalendarApp::HorizonsPreset() {
  std::string path;
  if (!LocateEphemeris("DE441.jpl", path) || !OpenEphemeris::CanOpen(path)) {
    messages.Show(NotFoundMessage(MissingFileMessage("DE441")), "참고");
    return false;
  }
  // Chosen like the controls would be; in effect at Apply.
  chosenSettings.EphemerisCode = kEphemerisDe441;
  ephemerisChoiceIndex_ = 2;
  chosenSettings.PrecessionModel = kPrecessionOwen1990;
  chosenSettings.NutationModel = kNutationInternal;
  chosenSettings.ObliquityModel = kObliquityOwen1990;
  chosenSettings.TimeSystemCode = kTimeST;
  UpdateZoneOffset(chosenSettings);
  chosenSettings.DeltaTModelCode = kDeltaTHorizons;
  chosenSettings.TidalCompensation = 1;
  chosenSettings.EopCorrection = 1;
  return true;
}

}  // namespace orv
