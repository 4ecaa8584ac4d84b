// The application state behind the main window: settings, place, the loaded
// year's tables, the open ephemeris file, the month inputs and the month
// view, with one operation per thing the user can do. The window mirrors this
// state in its controls and calls these operations from its handlers; tests
// drive them directly. No toolkit code here.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/core/files/app_folders.h"
#include "app/core/files/config.h"
#include "app/core/clock.h"
#include "app/core/reports/birth_chart.h"
#include "app/core/reports/birth_pillars.h"
#include "app/core/reports/day_report.h"
#include "app/core/files/editor.h"
#include "app/core/files/open_ephemeris.h"
#include "app/core/anniversaries.h"
#include "app/core/files/memo.h"
#include "app/core/files/memo_document.h"
#include "app/core/messages.h"
#include "app/core/month_view.h"
#include "app/core/print/print_pages.h"
#include "app/core/files/places.h"
#include "app/core/sky/eclipse_map.h"
#include "app/core/sky/sky_series.h"
#include "app/core/reports/year_reports.h"
#include "app/core/simulation/simulation.h"
#include "app/core/year_service.h"
#include "ephemeris/context.h"
#include "lunisolar/lunar_calendar.h"
#include "lunisolar/prepare.h"
#include "lunisolar/year_tables.h"

namespace orv {

// What the year and month inputs hold: the year number as typed with its era
// (yearInput, eraChoice) and the month number (monthInput).
struct MonthInputs {
  int yearNumber = 0;
  bool eraAD = true;
  int month = 1;
};

// The astronomical year of the inputs: the number itself when it is 0 or the
// era is AD, 1 - number for BC ("5" BC is year -4; "0" is year 0 = BC 1).
int AstronomicalYear(const MonthInputs& inputs);
// The inputs showing an astronomical year (BC for years below 1, AD otherwise).
void SetAstronomicalYear(MonthInputs& inputs, int year);

// Accepted years of an ephemeris code (astronomical numbering).
YearRange EphemerisYearRange(int ephemerisCode);
// The message shown when a year is outside that range (with "%d년 %d월").
const char* YearRangeMessage(int ephemerisCode);

// What the iCalendar export writes: the years (inclusive), the kinds of
// events and the file.
struct IcsExportRequest {
  int fromYear = 0;
  int toYear = 0;
  bool terms = true;
  bool syzygies = true;
  bool eclipses = false;
  bool holidays = true;
  bool memo = true;
  std::string path;
};
// Years an iCalendar file can hold (four-digit Gregorian years) and the most
// years one export writes.
inline constexpr int kIcsFirstYear = 1;
inline constexpr int kIcsLastYear = 9998;
inline constexpr int kIcsMaxYears = 201;

// A date typed into "날짜로 가기": solar, or lunar with the leap flag.
struct DateQuery {
  int year = 0;        // astronomical
  int month = 1;
  int day = 1;
  bool lunar = false;
  bool leap = false;
};
// Reads "2025-6-15", "2025.6.15", "2025/6/15", "6.15" (in `defaultYear`),
// "윤6.15" / "2025.윤6.15" (a lunar leap month) and "음2025.6.15" (lunar);
// `lunar` and `leap` are the dialog's check boxes. False, with the reason in
// `error`, for anything else.
bool ParseDateQuery(const std::string& text, bool lunar, bool leap, int defaultYear, DateQuery& out,
                    std::string& error);

// A day found by name ("찾기"): its next date from the day searched from.
struct NamedDay {
  int year = 0, month = 0, day = 0;  // civil date
  std::string name;                  // without display markers
  std::string kind;                  // "공휴일", "기념일", "비망일(양력)", "비망일(음력)"
  int daysFrom = 0;                  // days after the day searched from (0 = that day)
};

class CalendarApp {
 public:
  CalendarApp(AppFolders folders, MessageSink& messages, const Clock& clock);
  ~CalendarApp();
  CalendarApp(const CalendarApp&) = delete;
  CalendarApp& operator=(const CalendarApp&) = delete;

  // --- Start-up and closing -------------------------------------------------

  // Reads the configuration, fills the place table, selects the place,
  // computes today and sets the window state and inputs to their start values.
  // Returns the year to prepare; jplNumber receives the JPL ephemeris number
  // to open (406, 422, 431, 441) or 0.
  int LoadSettings(int& jplNumber);
  // Everything the first activation of the window does apart from the window
  // itself: settings, the ephemeris file (with the fallback to PLAN404), the
  // memo file, today's year and its month view.
  void StartUp();
  // Saves the settings and closes the ephemeris file.
  void Close();

  // --- Month view -----------------------------------------------------------

  // Rebuilds the month view from the inputs: year range check, historical
  // correction state, year preparation when the year changed, the grid.
  // False when nothing could be shown (bad month number).
  bool MonthViewBuild();
  // Makes `year` the loaded year (after checking it against the open JPL
  // file's span, which may replace it by this year with a pending notice).
  void PrepareYear(int year);
  // While a simulation run uses the engine, every operation that would
  // prepare a year, rebuild the month or run a report does nothing.
  void SetEngineBusy(bool busy) { engineBusy_ = busy; }
  bool EngineBusy() const { return engineBusy_; }

  // Navigation handlers.
  void StepYear(bool up);             // yearStepper
  void StepMonth(bool up);            // monthStepper
  void ShowInputs();                  // Enter in yearInput/monthInput, showMonthButton, eraChoice
  void SetDisplayMode(DisplayMode mode);  // solarViewButton / lunarViewButton
  void ToggleLeapMonth();             // leapMonthBox
  void ToggleCorrection();            // correctionBox
  void GoToToday();                   // todayPanel released
  void SelectCell(int column, int row);  // grid cell selected: the pillars

  // --- Reports --------------------------------------------------------------
  // Each shows its text through `messages`; a report about a year other than
  // the loaded one rebuilds the month view for that year first.

  // Grid pressed at (column, row): selects the day and shows its report.
  void DayReport(int column, int row);
  // The two halves of DayReport. SelectDay checks the year and the cell
  // (with their messages), sets `selected` and shows the selected-date line
  // in referenceBox; false when no day was selected. ShowDayReport shows the report
  // of `selected`; Retry edits the memo file, then reloads it and rebuilds
  // the month view.
  bool SelectDay(int column, int row);
  void ShowDayReport();
  void SolarTermReport();             // solarTermsButton
  void SyzygyReport();                // syzygiesButton
  void EclipseReport(bool local);     // eclipsesButton: left button local, right button global
  void LeapMonthTable();              // leapMonthsButton
  void LunarDatesTable();             // lunarDatesButton
  void SolarDatesTable();             // solarDatesButton
  void HolidayReport();               // holidaysButton
  void AboutBox();                    // aboutButton, right button, settings row hidden
  // The about text with, when the settings live in the user's configuration
  // folder, the line naming it.
  std::string AboutBoxText() const;
  // The pillars of a birth reading at place `placeIndex`, computed over a
  // private copy of the settings with that place applied (sharing the open JPL
  // file), so the loaded year and the settings in effect stay as they are.
  BirthPillars BirthPillarsAt(int placeIndex, const BirthReading& reading) const;
  // The whole birth report (chart, luck) the same way.
  BirthReport BirthReportAt(int placeIndex, const BirthRequest& request) const;
  // True once after the day report's "사주" button was pressed: the window
  // then opens the four-pillars tool on the selected day.
  bool TakePillarsRequest() {
    const bool wanted = pillarsRequested_;
    pillarsRequested_ = false;
    return wanted;
  }
  // The editor used for the memo and help files.
  void SetProgramRunner(ProgramRunner& runner, std::vector<std::vector<std::string>> editorCommands);

  // --- iCalendar export -----------------------------------------------------

  // The years an export may cover under the ephemeris in effect.
  YearLimits IcsYearLimits() const;
  // A request for the displayed year with every kind but the eclipses.
  IcsExportRequest DefaultIcsRequest() const;
  // Writes the file of the request; false (with a message) when the years
  // cannot be exported or the file cannot be written. The displayed year is
  // prepared again and its month view rebuilt afterwards.
  bool ExportIcs(const IcsExportRequest& request);

  // --- Anniversaries ----------------------------------------------------------

  // The memo file as the manager edits it; false (with a message) when it
  // cannot be read.
  bool LoadAnniversaries(MemoDocument& document);
  // Saves the manager's document over the memo file (atomically) and shows
  // the anniversaries in the month view; false (with a message) when it
  // cannot be written, the file then staying as it was.
  bool SaveAnniversaries(const MemoDocument& document);
  // Today's date (the clock's, in the selected place's terms as the month
  // view marks it).
  CivilDate Today() const;
  // The anniversaries, public holidays and solar terms of `days` days from
  // today ("다가오는 날"), with the memo file as last read.
  std::vector<UpcomingDay> Upcoming(int days);
  // The same from `from` for the anniversaries of `memoTable` only.
  std::vector<UpcomingDay> UpcomingOf(const MemoTable& memoTable, const CivilDate& from, int days);

  // --- Places ---------------------------------------------------------------

  void ChangePlace(int index);        // placeChoice
  void PressReferenceBox();           // referenceBox pressed: next of its three texts

  // --- Settings controls ----------------------------------------------------

  void SetPrecessionItem(int item);   // precessionChoice
  void SetObliquityItem(int item);    // obliquityChoice
  void SetDeltaTItem(int item);       // deltaTModelChoice
  void SetTimeSystemItem(int item);   // timeSystemChoice
  void SetNutationItem(int item);     // nutationChoice
  void ChangeEphemeris(int item);     // ephemerisChoice
  void SetTidal(bool on);             // tidalBox
  void SetEop(bool on);               // eopBox
  // userDeltaTInput: false, with kUserDeltaTRangeMessage, for a value that is not
  // finite or beyond +-1e6 s; the setting then keeps its value.
  bool SetUserDeltaT(double seconds);
  void Apply();                       // applyButton "설정적용"
  bool HorizonsPreset();              // horizonsPresetButton "근사"

  // --- Items of the controls (derived from the state) -----------------------

  // The settings row shows the chosen settings (in effect after Apply).
  int PrecessionItem() const { return chosenSettings.PrecessionModel - 1; }
  int NutationItem() const { return chosenSettings.NutationModel == kNutationInternal ? 0 : 1; }
  int ObliquityItem() const { return chosenSettings.ObliquityModel - 1; }
  int TimeSystemItem() const { return chosenSettings.TimeSystemCode - 1; }
  int DeltaTItem() const { return chosenSettings.DeltaTModelCode - 1; }
  std::string ConfigPath() const;
  // Finds a binary ephemeris file ("DE441.jpl") in the folders every search
  // of this program uses (program, its Eph/, current, its Eph/, user data).
  bool LocateEphemeris(const std::string& fileName, std::string& path) const;
  // The message for a JPL file that was not found: `head`, then the folders
  // that were searched.
  std::string NotFoundMessage(const std::string& head) const;
  // The settings saved at closing: those in effect with the settings row as
  // chosen (a choice not yet applied is what the next start begins with).
  CalcSettings SettingsToSave() const;
  // `saved` with the user place the settings file named but the place file
  // lacked, unless another place was chosen since.
  CalcSettings SettingsWithUnresolvedPlace(CalcSettings saved) const;
  // Where the settings are read from: ConfigPath, or the file left in the
  // start folder when the settings moved to the user's folder.
  std::string ConfigReadPath() const;
  const PlaceRecord& Place() const { return places.rows.at(static_cast<size_t>(settings.PlaceIndex)); }
  // Moon's age (days) at noon of the selected day, or of the day the view
  // stands for (today's cell, else the month's first day).
  double ShownMoonAge() const;
  // Moon's age (days) at noon of the day of grid cell `cell`; -1 without one.
  double MoonAgeOfCell(int cell) const;

  // --- Operations of the window besides the controls ---------------------------

  // The year and month inputs as the user typed them (yearInput, monthInput,
  // eraChoice); nothing is rebuilt until ShowInputs.
  void SetInputs(const MonthInputs& typed);
  // The inputs set to `month` of astronomical `year` in `mode`, the leap month
  // not wanted; nothing is rebuilt until ShowInputs.
  void SetMonth(int year, int month, DisplayMode mode);
  // yearsBeforeButton "전" (false) / yearsAfterButton "후" (true): the 30-year tables
  // start at the shown year or end at it.
  void SetThirtyYearsAfter(bool after);
  // Where the preparation steps go (progressBar).
  void SetProgress(ProgressFunction onProgress);
  // The memo file changed: reads it again and rebuilds the month view.
  void ReloadMemoFile();
  // Shows the notice left by the last build ("알림") once, if there is one.
  void ShowPendingNotice();
  // The environment of a simulation run over this state: the engine, the
  // selected place, the historical correction, the loaded year, the usable
  // years of the open JPL file and the output folder.
  SimulationEnvironment SimulationEnv(MessageSink& runMessages);

  // --- Numbers of the pictures (app/gui/pictures) -----------------------------

  // The sky of the selected day at the place; false when no day is selected.
  bool SelectedDaySky(DaySky& out);
  // The daylight of a civil year at the place, on its civil clock.
  DaylightYear DaylightOfYear(int year);
  // The maps of the eclipses of the year of the inputs, in time order (empty
  // when the year cannot be loaded).
  std::vector<EclipseMap> EclipseMapsOfInputYear();

  // --- Keyboard, going to a date, finding days, printing ----------------------
  // (calendar_app_navigation.cpp)

  // showMonthButton "달력보기": like ShowInputs, but a leap month being shown stays
  // shown while the inputs still name its month.
  void ShowInputsKeepingLeap();
  // The pillars by the sectional terms for the month shown (month_view.h).
  const std::string& TermPillarLine() const { return view.termPillarLine; }
  // Grid cell of the selected day in the month shown, -1 when none.
  int SelectedCell() const;
  // The arrow keys: moves the selected day by `days` (into another month when
  // needed, which is then shown); without a selection it starts from today's
  // cell or the month's first day. False when nothing could be selected.
  bool MoveSelectedDay(int days);
  // Shows the month (of the display mode) holding a civil date and selects
  // that day; false (with a message) when the date cannot be shown.
  bool ShowAndSelectDate(int year, int month, int day);
  // "날짜로 가기" (Ctrl+G): a solar or lunar date.
  bool GoToDate(const DateQuery& query);
  // "찾기" (Ctrl+F): public holidays, national days and memo days whose name
  // holds `text`, each with its next date on or after the selected day of the
  // month shown (or today), within the dates the loaded tables hold (November
  // of the year before to June of the next); sorted by date.
  std::vector<NamedDay> FindNamedDays(const std::string& text);
  // The pages of a printed calendar of the request; the year shown is loaded
  // again afterwards. False (with a message) when the year cannot be prepared.
  bool BuildPrint(const PrintRequest& request, PrintDocument& document);

  // --- Read-only state ---------------------------------------------------------

  const AppFolders& Folders() const { return folders; }
  // Where this application's messages go (the window's boxes, a test's record).
  MessageSink& Messages() const { return messages; }
  ClockReading Now() const { return clock.Now(); }
  const CalcSettings& Settings() const { return settings; }
  const CalcSettings& ChosenSettings() const { return chosenSettings; }
  const PlaceTable& Places() const { return places; }
  const MemoTable& Memos() const { return memos; }
  const YearTables& Tables() const { return *tables; }
  const OpenEphemeris& Ephemeris() const { return ephemeris; }
  const MonthInputs& Inputs() const { return inputs; }
  DisplayMode Mode() const { return displayMode; }
  bool LeapMonthWanted() const { return leapMonthWanted_; }
  // Whether the loaded year's lunar months follow the records (the rule of
  // HistoricalCorrectionApplies for the year, the place and the user's choice).
  bool HistoricalCorrection() const { return historicalCorrection_; }
  // The user's choice: on unless switched off with the correction box.
  bool CorrectionWanted() const { return correctionWanted_; }
  bool CorrectionEnabled() const { return correctionEnabled; }
  bool ThirtyYearsAfter() const { return thirtyYearsAfter; }
  int EphemerisChoiceIndex() const { return ephemerisChoiceIndex_; }
  bool De431Selectable() const { return de431Selectable; }
  const std::string& EphemerisFolder() const { return ephemerisFolder_; }
  const MonthView& View() const { return view; }
  const std::string& YearPillarText() const { return yearPillarText_; }
  const std::string& MonthPillarText() const { return monthPillarText_; }
  bool MonthPillarRed() const { return monthPillarRed_; }
  const std::string& ReferenceText() const { return referenceText_; }
  const DaySelection& Selected() const { return selected; }
  bool Started() const { return started; }

 private:
  // --- State ------------------------------------------------------------------

  AppFolders folders;
  MessageSink& messages;
  const Clock& clock;

  CalcSettings settings;               // in effect: every computation reads these
  // The settings row as the user set it. Its controls change only this copy;
  // Apply (and only Apply) makes it the settings in effect, so a report run
  // between a change and Apply still computes with what the month shows.
  CalcSettings chosenSettings;
  Observer observer;
  PlaceTable places;
  MemoTable memos;
  EngineContext ctx;
  std::unique_ptr<YearTables> tables;
  std::unique_ptr<YearService> years;  // prepares every year this state shows or reports
  OpenEphemeris ephemeris;

  MonthInputs inputs;
  DisplayMode displayMode = DisplayMode::Solar;
  bool leapMonthWanted_ = false;
  bool pillarsRequested_ = false;
  bool historicalCorrection_ = false;  // derived: the rule for the shown year
  bool correctionWanted_ = true;       // the user's choice
  bool engineBusy_ = false;            // a simulation run holds the engine
  bool correctionEnabled = false;     // correctionBox usable
  bool correctionAdviceShown = false; // the advice is given once per run
  bool thirtyYearsAfter = true;       // yearsAfterButton "후" (else yearsBeforeButton "전")

  ConfigReadState configRead_;        // how the settings file was read
  int unresolvedPlaceIndex_ = -1;     // a user place of the settings not in the place file
  int ephemerisChoiceIndex_ = 0;       // item of ephemerisChoice last accepted
  bool de431Selectable = true;        // the "DE431" item enabled
  std::string ephemerisFolder_;
  std::string pendingNotice_;          // shown once ("알림") after the next build

  MonthView view;
  std::string yearPillarText_ = "歲次";
  std::string monthPillarText_ = "月建";
  bool monthPillarRed_ = false;
  std::string referenceText_;
  DaySelection selected;
  PlaceReferenceCycle referenceCycle; // next text of the reference box

  ProgressFunction progress;          // progressBar
  bool started = false;

  ProgramRunner* runner;              // starts the editor
  std::vector<std::vector<std::string>> editors;  // editor commands to try, in order

  // The lunar build options of `year` at the place (the correction rule).
  LunarBuildOptions Options(int year) const;
  // Whether the loaded tables are `year` as the settings, the place and the
  // correction rule now make it.
  bool TablesCurrent(int year) const;
  // The tables of civil year `year` for the lists that look ahead (kept apart
  // from the loaded year's, which the month view shows): the one place they
  // are prepared. Null when the year is outside the ephemeris.
  const YearTables* ListYear(int year);
  std::unique_ptr<YearTables> listTables_;
  // The inputs of the report functions over this state.
  ReportInputs ReportIn();
  // `compute(ReportInputs&, const PlaceRecord&)` over a private copy of the
  // settings at place `placeIndex` (the birth pillars of another place).
  template <typename Compute>
  auto AtPlace(int placeIndex, Compute compute) const;
  void Progress(int percent) const;
  // Says that the year's tables could not be completed (a failed event
  // search leaves days without a lunar date).
  void ShowYearFailure(int year);
  int LoadedYear() const;
  bool YearInRange(int year) const;
  void ClearSelection();
  void MoveYearNumber(bool later);
  // Negative year numbers are astronomical years: shown as BC with their
  // positive number, so that the era always agrees with the number.
  void NormalizeEra();
  // Copies the settings row of chosenSettings into the settings in effect,
  // opening or closing the ephemeris file; false (with its message) when the
  // chosen file cannot be opened, the ephemeris then staying as it was.
  bool CommitChosenSettings();

  // The year of the inputs loaded for a report, rebuilding the month view
  // when another year is loaded; false when no year could be loaded.
  bool LoadInputYear(int& year);
  // After a report that prepared other years: the year of the inputs again,
  // with its month view.
  void FollowTables();
  YearLimits ReportYearLimits() const;
  // Shows a 30-year table computed by `table` with the progress bar moving.
  template <typename Table>
  void ThirtyYearTable(int startYear, const char* caption, Table table);

  MonthInputs shownInputs_;           // the inputs of the last month shown
  SystemProgramRunner systemRunner_;
};

}  // namespace orv
