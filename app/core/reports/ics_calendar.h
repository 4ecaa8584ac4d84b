// The iCalendar export as the window and the command line offer it: the
// astronomical events, the holidays of the holiday report and the memo file's
// anniversaries (lunar ones placed on their civil dates year by year, the way
// the month view places them).
#pragma once

#include <string>

#include "app/core/calendar_days.h"
#include "app/core/reports/ics.h"
#include "app/core/messages.h"
#include "app/core/files/places.h"

namespace orv {

class YearService;

struct IcsCalendarOptions {
  int fromYear = 0;
  int toYear = 0;
  IcsSelection selection;
  bool holidays = true;
  bool memo = true;
  std::string memoFolder;  // folder of "비망일.txt" ("" = current folder)
  // The user's choice of the historical correction; the year service applies
  // its rule to each year of the span.
  bool correctionWanted = true;
  DaysOptions days;  // which lunar calendar the anniversaries follow
};

// Prepares each year of the span through `years` and reads its calendar of
// days (the public holidays by the Korean calendar, the anniversaries as
// options.days says).
std::string BuildIcsCalendar(EngineContext& ctx, YearTables& tables, YearService& years, const PlaceRecord& place,
                             const IcsCalendarOptions& options, MessageSink& messages, const std::string& stampUtc);

}  // namespace orv
