// Machine-readable listings of eclipses and of rising and setting (CSV). The
// window's exports and the command line print the same texts.
#pragma once

#include <string>

#include "eclipses/eclipse_year.h"
#include "lunisolar/year_tables.h"

namespace orv {

// "kind,type,greatest,jd,magnitude,umbral_magnitude,gamma,lon,lat,p1,u1,u2,u3,u4,p4"
// (+ ",visible" when `local`): the eclipses of `year` (greatest phase dated
// in the year). Date-times are in the selected time system; jd is the
// instant less the zone offset; an empty field is a contact that does not
// occur or a value without meaning for the row. Lunar rows: magnitude is the
// penumbral one, lon/lat the place with the Moon in the zenith. Local solar
// rows: the local maximum, type and magnitude, the contacts C1, C2, C3, C4 in
// p1, u1, u4, p4. `tables` must hold `year`.
std::string EclipsesCsv(EngineContext& ctx, const YearTables& tables, int year, bool local);

// Bodies of RiseSetCsv.
enum RiseSetBodies : int { kRiseSetSun = 1, kRiseSetMoon = 2, kRiseSetBoth = 3 };

// "body,rise,set": the Sun's and/or the Moon's rise and set belonging to the
// upper transit on the civil date y-m-d at the observer of the context, in
// the selected time system (under the civil clock with a known `timeZone`,
// the clock's reading followed by the offset in force, " UTC-04:00", as the
// day report gives it); empty for an event that does not occur. When
// neither of the Moon's events falls on the date, those of the day before
// are given, as the day report does. With `twilight` (and the Sun among the
// bodies) the rows "civil", "nautical" and "astronomical" follow the Sun's,
// dawn and dusk in the rise and set columns (empty where the Sun does not
// reach that depression or height).
std::string RiseSetCsv(EngineContext& ctx, const std::string& timeZone, int year, int month, int day, int bodies,
                       bool twilight = false);

// "2024-04-08 18:17:16.3": date and time of an instant in the selected time
// system (`jd` less the zone offset, as the engine returns it).
std::string EclipseDateTimeText(const CalcSettings& settings, double jd);

}  // namespace orv
