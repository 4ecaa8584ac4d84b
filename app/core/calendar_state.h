// What the window's operations share: the settings in effect and as chosen,
// the place, the open ephemeris, the loaded year's tables with the service
// that prepares them, the month inputs and the selected day. The application
// object owns one; the month view, the reports and the files each hold a
// reference to it. No toolkit code here.
#pragma once

#include <memory>
#include <string>

#include "app/core/calendar_days.h"
#include "app/core/clock.h"
#include "app/core/files/app_folders.h"
#include "app/core/files/config.h"
#include "app/core/files/memo.h"
#include "app/core/files/open_ephemeris.h"
#include "app/core/files/places.h"
#include "app/core/messages.h"
#include "app/core/month_view.h"
#include "app/core/reports/day_report.h"
#include "app/core/reports/year_reports.h"
#include "app/core/year_service.h"
#include "ephemeris/context.h"
#include "lunisolar/lunar_calendar.h"
#include "lunisolar/year_tables.h"
#include "time/dates.h"

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

// The message shown when a year is outside that range (with "%d년 %d월").
const char* YearRangeMessage(int ephemerisCode);

struct CalendarState {
  CalendarState(AppFolders folders, MessageSink& messages, const Clock& clock);
  ~CalendarState();
  CalendarState(const CalendarState&) = delete;
  CalendarState& operator=(const CalendarState&) = delete;

  AppFolders folders;
  MessageSink& messages;
  const Clock& clock;

  CalcSettings settings;  // in effect: every computation reads these
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
  bool leapMonthWanted = false;
  bool historicalCorrection = false;   // derived: the rule for the shown year
  bool correctionWanted = true;        // the user's choice
  bool engineBusy = false;             // a simulation run holds the engine
  bool correctionEnabled = false;      // correctionBox usable
  bool correctionAdviceShown = false;  // the advice is given once per run
  bool thirtyYearsAfter = true;        // yearsAfterButton "후" (else yearsBeforeButton "전")
  // The lunar calendar the lunar anniversaries follow (anniversaryLocalBox).
  AnniversaryCalendar anniversaryCalendar = AnniversaryCalendar::Korean;

  ConfigReadState configRead;     // how the settings file was read
  int unresolvedPlaceIndex = -1;  // a user place of the settings not in the place file
  int ephemerisChoiceIndex = 0;   // item of ephemerisChoice last accepted
  bool de431Selectable = true;    // the "DE431" item enabled
  std::string ephemerisFolder;
  std::string pendingNotice;  // shown once ("알림") after the next build

  std::string referenceText;  // referenceBox
  DaySelection selected;
  ProgressFunction progress;  // progressBar

  const PlaceRecord& Place() const { return places.rows.at(static_cast<size_t>(settings.PlaceIndex)); }
  // Today's date in the selected place's terms, as the month view marks it.
  CivilDate Today() const { return {settings.TodayDate[0], settings.TodayDate[1], settings.TodayDate[2]}; }
  // The lunar build options of `year` at the place (the correction rule).
  LunarBuildOptions Options(int year) const;
  // Whether the loaded tables are `year` as the settings, the place and the
  // correction rule now make it.
  bool TablesCurrent(int year) const;
  void Progress(int percent) const;
  // The loaded year, INT_MIN when none is.
  int LoadedYear() const;
  bool YearInRange(int year) const;
  void ClearSelection();
  // Negative year numbers are astronomical years: shown as BC with their
  // positive number, so that the era always agrees with the number.
  void NormalizeEra();
  // Makes `year` the loaded year (after checking it against the open JPL
  // file's span, which may replace it by this year with a pending notice).
  // Does nothing while a simulation run holds the engine.
  void PrepareYear(int year);
  // Says that the year's tables could not be completed (a failed event
  // search leaves days without a lunar date).
  void ShowYearFailure(int year);
  // How every view asks for its calendar of days.
  DaysOptions DaysOptionsInEffect() const;
  // The years the 30-year tables may reach under the ephemeris in effect.
  EphemerisSpan ReportYearLimits() const;
};

}  // namespace orv
