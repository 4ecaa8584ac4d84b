// orvanta-cli accuracy: PLAN404 against a JPL ephemeris.
#include <cstdio>

#include "app/cli/cli.h"
#include "app/core/reports/accuracy.h"

namespace orv::cli {
namespace {

int CmdAccuracy(CliContext& cli) {
  if (!cli.jpl) throw UsageError("accuracy needs a JPL ephemeris: --ephemeris FILE|de431|de441");
  AccuracyOptions options;
  if (auto v = cli.inv.Get("from")) options.fromYear = ParseIntArg(*v, "--from");
  if (auto v = cli.inv.Get("to")) options.toYear = ParseIntArg(*v, "--to");
  if ((options.fromYear != 0) != (options.toYear != 0)) throw UsageError("--from and --to go together");
  if (options.fromYear > options.toYear) throw UsageError("--from must not be after --to");
  options.zoneMeridian = cli.settings.PlaceMeridian;
  std::fputs(AccuracyReport(cli.settings, *cli.jpl, options).c_str(), stdout);
  return 0;
}

}  // namespace

void RegisterAccuracyCommands(std::vector<CommandSpec>& commands) {
  commands.push_back({"accuracy", CmdAccuracy, "accuracy --ephemeris FILE [--from Y --to Y]", 0, 0,
                      {{"from", true}, {"to", true}}});
}

}  // namespace orv::cli
