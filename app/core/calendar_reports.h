// The reports of the window over the shared calendar state: the day report,
// the solar terms, syzygies, eclipses, the 30-year tables, the holidays, the
// about box, the birth pillars of a place, the numbers of the pictures and the
// printed calendar. Each shows its text through the state's messages; a report
// about a year other than the loaded one rebuilds the month view for that year
// first, and the year of the inputs is loaded again afterwards.
#pragma once

#include <string>
#include <vector>

#include "app/core/calendar_files.h"
#include "app/core/calendar_state.h"
#include "app/core/month_view_model.h"
#include "app/core/print/print_pages.h"
#include "app/core/reports/birth_chart.h"
#include "app/core/reports/birth_pillars.h"
#include "app/core/sky/eclipse_map.h"
#include "app/core/sky/sky_series.h"

namespace orv {

class CalendarReports {
 public:
  CalendarReports(CalendarState& state, MonthViewModel& month, CalendarFiles& files);

  // Grid pressed at (column, row): selects the day and shows its report.
  void DayReport(int column, int row);
  // The report of the selected day; its Retry edits the memo file, then
  // reloads it and rebuilds the month view.
  void ShowDayReport();
  void SolarTermReport();          // solarTermsButton
  void SyzygyReport();             // syzygiesButton
  void EclipseReport(bool local);  // eclipsesButton: left button local, right button global
  void LeapMonthTable();           // leapMonthsButton
  void LunarDatesTable();          // lunarDatesButton
  void SolarDatesTable();          // solarDatesButton
  void HolidayReport();            // holidaysButton
  void AboutBox();                 // aboutButton, right button, settings row hidden
  // The about text with, when the settings live in the user's configuration
  // folder, the line naming it.
  std::string AboutBoxText() const;
  // True once after the day report's "사주" button was pressed: the window
  // then opens the four-pillars tool on the selected day.
  bool TakePillarsRequest() {
    const bool wanted = pillarsRequested_;
    pillarsRequested_ = false;
    return wanted;
  }

  // The pillars of a birth reading at place `placeIndex`, computed over a
  // private copy of the settings with that place applied (sharing the open JPL
  // file), so the loaded year and the settings in effect stay as they are.
  BirthPillars BirthPillarsAt(int placeIndex, const BirthReading& reading) const;
  // The whole birth report (chart, luck) the same way.
  BirthReport BirthReportAt(int placeIndex, const BirthRequest& request) const;

  // --- Numbers of the pictures (app/pictures) ---------------------------------

  // The sky of the selected day at the place; false when no day is selected.
  bool SelectedDaySky(DaySky& out);
  // The daylight of a civil year at the place, on its civil clock.
  DaylightYear DaylightOfYear(int year);
  // The maps of the eclipses of the year of the inputs, in time order (empty
  // when the year cannot be loaded).
  std::vector<EclipseMap> EclipseMapsOfInputYear();

  // The pages of a printed calendar of the request; the year shown is loaded
  // again afterwards. False (with a message) when the year cannot be prepared.
  bool BuildPrint(const PrintRequest& request, PrintDocument& document);

 private:
  CalendarState& state_;
  MonthViewModel& month_;
  CalendarFiles& files_;
  bool pillarsRequested_ = false;

  // The inputs of the report functions over this state.
  ReportInputs ReportIn();
  // `compute(ReportInputs&, const PlaceRecord&)` over a private copy of the
  // settings at place `placeIndex` (the birth pillars of another place).
  template <typename Compute>
  auto AtPlace(int placeIndex, Compute compute) const;
  // The year of the inputs loaded for a report, rebuilding the month view
  // when another year is loaded; false when no year could be loaded.
  bool LoadInputYear(int& year);
  // After a report that prepared other years: the year of the inputs again,
  // with its month view.
  void FollowTables();
  // Shows a 30-year table computed by `table` with the progress bar moving.
  template <typename Table>
  void ThirtyYearTable(int startYear, const char* caption, Table table);
};

}  // namespace orv
