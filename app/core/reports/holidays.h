// The national holidays and memorial days of a year with their weekdays and
// anniversary counts.
#pragma once

#include <string>

#include "app/core/calendar_days.h"
#include "app/core/reports/public_holidays.h"
#include "app/core/reports/reports.h"

namespace orv {

inline constexpr const char* kHolidayReportCaption = "기념일";

// "<Y>년의 기념일(국경일,공휴일)" and twelve rows. The lunar holidays are the
// days of `year` (prepared first when another year is loaded) with those
// dates of the Korean calendar, in regular months; counts before their origins print as computed (negative).
// After the rows, under "그 밖의 공휴일", the year's days off that the rows do
// not show (substitute holidays and the like, app/core/reports/public_holidays.h),
// each "<name>\t(양 MM/DD)\t<weekday>".
std::string HolidayReportText(ReportInputs& in, int year);

// The public holidays and memorial days of the days, by date (the days off
// first on each date), as the holiday list and its CSV give them.
std::vector<PublicHoliday> PublicHolidaysOfDays(const CalendarOfDays& days);

// "일요일" .. "토요일" for WeekdayOf 0..6.
const char* WeekdayName(int weekday);

}  // namespace orv
