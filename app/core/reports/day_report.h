// The report on one day of the month grid: solar and lunar dates, the four
// pillars and the lunar mansion, the distance from today, Julian Day, Delta T
// and sidereal time, the places of the Sun and the Moon, their rising and
// setting, the Moon's age at noon and the tide of the south coast.
#pragma once

#include <string>

#include "app/core/reports/reports.h"

namespace orv {

inline constexpr const char* kDayReportCaption = "歲次,月建,日辰 등";
// Refusals of a click on the grid: the year typed is not the one shown
// (caption "안내"), or the day lies outside the month shown (caption "알림").
inline constexpr const char* kYearNotShownMessage = "입력연도와 표시연도가 다르니\n달력보기를 먼저 실행하세요";
inline constexpr const char* kYearNotShownCaption = "안내";
inline constexpr const char* kDayOutsideMonthMessage = "이 달의 날짜를 선택하세요.";
inline constexpr const char* kDayOutsideMonthCaption = "알림";

// The day selected on the grid (read by the 30-year tables). Years are
// astronomical. `lunarMode` tells which calendar the grid showed, which is
// the calendar the selected-date line names.
struct DaySelection {
  bool lunarMode = false;
  int solarYear = 0, solarMonth = 0, solarDay = 0;
  int lunarYear = 0, lunarMonth = 0, lunarDay = 0;
  bool leap = false;
  // The month steppers clear the day fields; a table of dates then needs a
  // new selection.
  bool selected() const { return solarDay != 0 && lunarDay != 0; }
};

// A solar date and its lunar date from the loaded tables; false when the
// date is not in them.
bool SelectSolarDay(const YearTables& tables, int year, int month, int day, DaySelection& out);
// A lunar date (leap month or not) and its solar date; false when the lunar
// date is not in the tables.
bool SelectLunarDay(const YearTables& tables, int lunarYear, int lunarMonth, int lunarDay, bool leap,
                    DaySelection& out);

// "선택한 날짜는 (양력) 기원후 2024年 2月 10日" and the other forms (기원전 with
// 1 - year for years up to 0; (음력) with 閏 before a leap month).
std::string SelectedDateLine(const DaySelection& day);

// Tide of the south coast on a lunar day: phase name and the time of high
// water at Chungmu, indexed by the lunar day modulo 15.
struct TidePhase {
  const char* name;
  const char* highWater;
};
TidePhase TideOfLunarDay(int lunarDay);

// Name of a lunar mansion 0..27 (LunarMansionOf).
const char* LunarMansionName(int index);

// The whole text of the day report. The tables must hold the day (the window
// only lets a day of the loaded month be selected). Uses the settings'
// TodayDate for the distance from today. Rising and setting are computed at
// the selected place under standard time and at longitude 0 (the place's
// latitude) under TT and UT.
std::string DayReportText(ReportInputs& in, const DaySelection& day);

}  // namespace orv
