// The eclipses of a year as the main window reports them: for the whole
// Earth (type, gamma, Delta T and the contacts of each eclipse) or as seen
// from the selected place (verdict, local maximum and magnitude, contacts
// marked when the body is below the horizon).
#pragma once

#include <string>

#include "app/core/messages.h"
#include "app/core/reports/reports.h"

namespace orv {

inline constexpr const char* kEclipseReportCaption = "일식과 월식";
// Shown (caption "참고") before the local report switches to standard time.
inline constexpr const char* kStandardTimeNotice = "지역표준시로 설정됩니다.";
inline constexpr const char* kStandardTimeNoticeCaption = "참고";

// The local report is computed in the place's standard time. Under TT or UT
// this shows kStandardTimeNotice, switches the settings to standard time and
// returns true (the caller updates its time-system control and month view).
bool SwitchToStandardTimeForLocalEclipses(CalcSettings& settings, MessageSink& messages);

// The eclipses whose greatest phase falls in `year` (by the date of the
// selected time system), for the whole Earth.
std::string GlobalEclipseReportText(ReportInputs& in, int year);

// The same eclipses at the observer of the engine context; the time system
// should be standard time (SwitchToStandardTimeForLocalEclipses).
std::string LocalEclipseReportText(ReportInputs& in, int year);

}  // namespace orv
