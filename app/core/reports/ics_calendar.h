// The iCalendar export as the window and the command line offer it: the
// astronomical events, the holidays of the holiday report and the memo file's
// anniversaries (lunar ones placed on their civil dates year by year, the way
// the month view places them).
#pragma once

#include <string>

#include "app/core/reports/ics.h"
#include "app/core/messages.h"
#include "app/core/files/places.h"

namespace orv {

struct IcsCalendarOptions {
  int fromYear = 0;
  int toYear = 0;
  IcsSelection selection;
  bool holidays = true;
  bool memo = true;
  std::string memoFolder;  // folder of "비망일.txt" ("" = current folder)
  LunarBuildOptions build;
};

std::string BuildIcsCalendar(EngineContext& ctx, YearTables& tables, const PlaceRecord& place,
                             const IcsCalendarOptions& options, MessageSink& messages, const std::string& stampUtc);

}  // namespace orv
