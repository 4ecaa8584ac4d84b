// print YEAR [--month M] [--year-view] -o FILE.pdf: the printed calendar of
// the window's print command as a PDF file. Painting needs QtGui: this file
// is built only when Qt is available (app/print/print_file.h, itself free of
// Qt, paints on the offscreen platform for this command only).
#include <memory>

#include "app/cli/cli.h"
#include "app/cli/cli_settings.h"
#include "app/core/files/memo.h"
#include "app/core/print/print_pages.h"
#include "app/core/reports/reports.h"
#include "app/core/year_service.h"
#include "app/print/print_file.h"

namespace orv::cli {
namespace {

int CmdPrint(CliContext& cli) {
  const int year = ParseIntArg(cli.inv.positional.at(0), "the year");
  RequireYearInEphemeris(cli, year);
  PrintRequest request;
  request.year = year;
  request.yearView = cli.inv.Has("year-view");
  if (const auto month = cli.inv.Get("month")) {
    if (request.yearView) throw UsageError("--month and --year-view exclude each other");
    const int m = ParseIntArg(*month, "the month");
    if (m < 1 || m > 12) throw UsageError("the month must be 1..12: " + *month);
    request.firstMonth = request.lastMonth = m;
  }
  const auto output = cli.inv.Get("o");
  if (!output || output->empty()) throw UsageError("-o FILE.pdf is required");

  MemoTable memos;
  ReadMemoFile(memos, cli.settingsFolder, &cli.messages);
  EngineContext ctx = cli.MakeEngine();
  auto tables = std::make_unique<YearTables>();
  // The year as every other command and the window prepare it.
  if (cli.years->Prepare(ctx, *tables, year, CorrectionWanted(cli)) != YearOutcome::Prepared)
    throw RuntimeFailure(IncompleteYearError(year).what());
  PrintDocument document;
  const PlaceRecord& place = cli.places.rows.at(static_cast<size_t>(cli.settings.PlaceIndex));
  if (!BuildPrintDocument(ctx, *tables, *cli.years, CorrectionWanted(cli), memos, DaysOptionsOf(cli),
                          PlaceReportName(place), request, document))
    throw RuntimeFailure("the calendar of " + std::to_string(year) + " could not be computed");

  std::string error;
  if (!WritePrintFile(document, *output, error)) throw RuntimeFailure("cannot write " + error);
  return 0;
}

}  // namespace

void RegisterPrintCommands(std::vector<CommandSpec>& commands) {
  commands.push_back({"print", CmdPrint, "print YEAR [--month M] [--year-view] -o FILE.pdf", 1, 1,
                      {{"month", true}, {"year-view", false}, {"o", true}}});
}

}  // namespace orv::cli
