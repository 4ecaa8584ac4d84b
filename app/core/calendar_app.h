// The application behind the main window: it owns the shared calendar state
// (settings, place, the loaded year, the month inputs) and the owners of the
// month view, the files and the reports, wires them together and keeps the
// operations of the settings row, the places and the navigation through the
// calendar. The window mirrors this state in its controls and calls these
// operations from its handlers; tests drive them directly. No toolkit code
// here.
#pragma once

#include <string>
#include <vector>

#include "app/core/calendar_files.h"
#include "app/core/calendar_reports.h"
#include "app/core/calendar_state.h"
#include "app/core/clock.h"
#include "app/core/files/app_folders.h"
#include "app/core/files/places.h"
#include "app/core/messages.h"
#include "app/core/month_view.h"
#include "app/core/month_view_model.h"
#include "app/core/simulation/simulation.h"

namespace orv {

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

  // --- The owners of each concern -----------------------------------------------

  MonthViewModel& Month() { return month_; }
  const MonthViewModel& Month() const { return month_; }
  CalendarReports& Reports() { return reports_; }
  const CalendarReports& Reports() const { return reports_; }
  CalendarFiles& Files() { return files_; }
  const CalendarFiles& Files() const { return files_; }

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

  // While a simulation run uses the engine, every operation that would
  // prepare a year, rebuild the month or run a report does nothing.
  void SetEngineBusy(bool busy) { state_.engineBusy = busy; }
  bool EngineBusy() const { return state_.engineBusy; }

  // --- Navigation -------------------------------------------------------------

  void StepYear(bool up);             // yearStepper
  void StepMonth(bool up);            // monthStepper
  void ShowInputs();                  // Enter in yearInput/monthInput, showMonthButton, eraChoice
  void SetDisplayMode(DisplayMode mode);  // solarViewButton / lunarViewButton
  void ToggleLeapMonth();             // leapMonthBox
  void ToggleCorrection();            // correctionBox
  void GoToToday();                   // todayPanel released
  // Today's date (the clock's, in the selected place's terms as the month
  // view marks it).
  CivilDate Today() const { return state_.Today(); }

  // --- Places ---------------------------------------------------------------

  void ChangePlace(int index);        // placeChoice
  // Which lunar calendar the lunar anniversaries follow in every view
  // (anniversaryLocalBox); the month shown is built again.
  void SetAnniversaryCalendar(AnniversaryCalendar calendar);
  AnniversaryCalendar AnniversaryCalendarInEffect() const { return state_.anniversaryCalendar; }
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
  int PrecessionItem() const { return state_.chosenSettings.PrecessionModel - 1; }
  int NutationItem() const { return state_.chosenSettings.NutationModel == kNutationInternal ? 0 : 1; }
  int ObliquityItem() const { return state_.chosenSettings.ObliquityModel - 1; }
  int TimeSystemItem() const { return state_.chosenSettings.TimeSystemCode - 1; }
  int DeltaTItem() const { return state_.chosenSettings.DeltaTModelCode - 1; }
  const PlaceRecord& Place() const { return state_.Place(); }

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
  // The environment of a simulation run over this state: the engine, the
  // selected place, the historical correction, the loaded year, the usable
  // years of the open JPL file and the output folder.
  SimulationEnvironment SimulationEnv(MessageSink& runMessages);

  // --- Keyboard, going to a date, finding days ----------------------------------
  // (calendar_app_navigation.cpp)

  // showMonthButton "달력보기": like ShowInputs, but a leap month being shown stays
  // shown while the inputs still name its month.
  void ShowInputsKeepingLeap();
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

  // --- Read-only state ---------------------------------------------------------

  const AppFolders& Folders() const { return state_.folders; }
  // Where this application's messages go (the window's boxes, a test's record).
  MessageSink& Messages() const { return state_.messages; }
  ClockReading Now() const { return state_.clock.Now(); }
  const CalcSettings& Settings() const { return state_.settings; }
  const CalcSettings& ChosenSettings() const { return state_.chosenSettings; }
  const PlaceTable& Places() const { return state_.places; }
  const MemoTable& Memos() const { return state_.memos; }
  const YearTables& Tables() const { return *state_.tables; }
  const OpenEphemeris& Ephemeris() const { return state_.ephemeris; }
  const MonthInputs& Inputs() const { return state_.inputs; }
  DisplayMode Mode() const { return state_.displayMode; }
  bool LeapMonthWanted() const { return state_.leapMonthWanted; }
  // Whether the loaded year's lunar months follow the records (the rule of
  // HistoricalCorrectionApplies for the year, the place and the user's choice).
  bool HistoricalCorrection() const { return state_.historicalCorrection; }
  // The user's choice: on unless switched off with the correction box.
  bool CorrectionWanted() const { return state_.correctionWanted; }
  bool CorrectionEnabled() const { return state_.correctionEnabled; }
  bool ThirtyYearsAfter() const { return state_.thirtyYearsAfter; }
  int EphemerisChoiceIndex() const { return state_.ephemerisChoiceIndex; }
  bool De431Selectable() const { return state_.de431Selectable; }
  const std::string& EphemerisFolder() const { return state_.ephemerisFolder; }
  const std::string& ReferenceText() const { return state_.referenceText; }
  const DaySelection& Selected() const { return state_.selected; }
  bool Started() const { return started; }

 private:
  CalendarState state_;
  MonthViewModel month_;
  CalendarFiles files_;
  CalendarReports reports_;

  PlaceReferenceCycle referenceCycle;  // next text of the reference box
  bool started = false;

  void MoveYearNumber(bool later);
  // Copies the settings row of chosenSettings into the settings in effect,
  // opening or closing the ephemeris file; false (with its message) when the
  // chosen file cannot be opened, the ephemeris then staying as it was.
  bool CommitChosenSettings();
};

}  // namespace orv
