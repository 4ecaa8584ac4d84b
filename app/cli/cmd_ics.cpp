// orvanta-cli ics: an iCalendar file of a span of years.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "app/cli/cli.h"
#include "app/cli/cli_settings.h"
#include "app/core/files/files.h"
#include "app/core/reports/ics.h"
#include "app/core/reports/ics_calendar.h"

namespace orv::cli {
namespace {

// Years iCalendar can write (four-digit Gregorian years).
constexpr int kIcsFirstYear = 1;
constexpr int kIcsLastYear = 9998;

// DTSTAMP: now, or SOURCE_DATE_EPOCH for reproducible files.
std::string StampUtc() {
  std::time_t now = std::time(nullptr);
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
    char* end = nullptr;
    const long long v = std::strtoll(epoch, &end, 10);
    if (end && *end == '\0' && v >= 0) now = static_cast<std::time_t>(v);
  }
  std::tm utc{};
  gmtime_r(&now, &utc);
  char buffer[32];
  std::strftime(buffer, sizeof buffer, "%Y%m%dT%H%M%SZ", &utc);
  return buffer;
}

int CmdIcs(CliContext& cli) {
  const std::string& span = cli.inv.positional[0];
  int from = 0, to = 0;
  if (const auto dots = span.find(".."); dots != std::string::npos) {
    from = ParseIntArg(span.substr(0, dots), "the first year");
    to = ParseIntArg(span.substr(dots + 2), "the last year");
  } else {
    from = to = ParseIntArg(span, "the year");
  }
  if (from > to) throw UsageError("the first year comes after the last: " + span);
  if (from < kIcsFirstYear || to > kIcsLastYear) throw UsageError("iCalendar files hold the years 1..9998");
  if (to - from > 200) throw UsageError("at most 201 years in one file");
  const auto output = cli.inv.Get("o");
  if (!output || output->empty()) throw UsageError("-o FILE.ics is required");

  IcsCalendarOptions options;
  const bool any = cli.inv.Has("terms") || cli.inv.Has("syzygies") || cli.inv.Has("holidays") ||
                   cli.inv.Has("memo") || cli.inv.Has("eclipses");
  options.selection.terms = !any || cli.inv.Has("terms");
  options.selection.syzygies = !any || cli.inv.Has("syzygies");
  options.selection.eclipses = cli.inv.Has("eclipses");
  options.holidays = !any || cli.inv.Has("holidays");
  options.memo = !any || cli.inv.Has("memo");
  options.fromYear = from;
  options.toYear = to;
  options.memoFolder = cli.settingsFolder;
  // Each year of the span is numbered by the correction rule for this choice.
  options.correctionWanted = CorrectionWanted(cli);
  options.days = DaysOptionsOf(cli);

  EngineContext ctx = cli.MakeEngine();
  auto tables = std::make_unique<YearTables>();
  const std::string text =
      BuildIcsCalendar(ctx, *tables, *cli.years, cli.places.rows[static_cast<size_t>(cli.settings.PlaceIndex)], options,
                       cli.messages, StampUtc());
  std::string error;
  if (!WriteFileAtomically(*output, text, &error)) throw RuntimeFailure("cannot write " + error);
  return 0;
}

}  // namespace

void RegisterIcsCommands(std::vector<CommandSpec>& commands) {
  commands.push_back({"ics", CmdIcs,
                      "ics YEAR[..YEAR] [--terms] [--syzygies] [--holidays] [--memo] [--eclipses] -o FILE.ics", 1, 1,
                      {{"terms", false},
                       {"syzygies", false},
                       {"holidays", false},
                       {"memo", false},
                       {"eclipses", false},
                       {"o", true}}});
}

}  // namespace orv::cli
