// iCalendar (RFC 5545) export of a span of years: the solar terms and the new
// and full moons as timed events in the place's standard time, eclipses at
// their greatest phase, holidays and memo anniversaries as all-day events.
#pragma once

#include <string>
#include <vector>

#include "ephemeris/context.h"
#include "lunisolar/lunar_calendar.h"
#include "lunisolar/year_tables.h"

namespace orv {

class YearService;

struct IcsEvent {
  std::string uid;          // stable: the same event gets the same UID in every export
  bool allDay = false;
  double jdUT = 0.0;        // timed events: the instant (UT)
  int year = 0, month = 0, day = 0;  // all-day events: the civil date (mixed calendar)
  std::string summary;
  std::string description;
  std::string category;
  std::string secondCategory;  // a further category ("" = none), e.g. what a memo's marker meant
};

// A whole VCALENDAR for the events: timed events carry a VTIMEZONE of the
// fixed offset `zoneMeridianDeg` / 15 hours (no daylight saving); dates are
// written in the proleptic Gregorian calendar that iCalendar uses. Lines end
// with CRLF and are folded at 75 octets without splitting a character.
// `stampUtc` is the DTSTAMP ("YYYYMMDDTHHMMSSZ"). Events that share a UID
// get distinct ones: the second "<uid before @>-2@...", and so on.
std::string FormatIcs(const std::vector<IcsEvent>& events, float zoneMeridianDeg, const std::string& zoneName,
                      const std::string& stampUtc);

// Escapes a TEXT value (backslash, semicolon, comma, newline) and drops every
// other control character (NUL included).
std::string IcsEscape(const std::string& text);
// Folds one content line (without its CRLF) at 75 octets.
std::string IcsFold(const std::string& line);

struct IcsSelection {
  bool terms = true;
  bool syzygies = true;
  bool eclipses = false;
};

// The astronomical events of the years from..to (inclusive): each year is
// prepared in `tables` (which then hold `to`).
std::vector<IcsEvent> AstronomicalIcsEvents(EngineContext& ctx, YearTables& tables, YearService& years,
                                            bool correctionWanted,
                                            int fromYear, int toYear, const IcsSelection& selection);

}  // namespace orv
