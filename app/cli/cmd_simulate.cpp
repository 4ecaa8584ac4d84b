// orvanta-cli simulate: the simulation window's CSV tables from the command
// line (the same run, the same file).
#include <cstdio>
#include <cstring>

#include "app/cli/cli.h"
#include "app/cli/cli_settings.h"
#include "app/core/files/places.h"
#include "app/core/simulation/simulation.h"

namespace orv::cli {
namespace {

// Target names on the command line, in the order of the window's list.
constexpr const char* kTargetWords[] = {"sun", "moon", "mercury", "venus", "mars",
                                        "jupiter", "saturn", "uranus", "neptune", "pluto"};
constexpr int kTargetWordCount = 10;

struct UnitWord {
  const char* word;
  int unit;
};
constexpr UnitWord kUnitWords[] = {{"s", kUnitSeconds}, {"min", kUnitMinutes}, {"h", kUnitHours},
                                   {"d", kUnitDays},    {"mon", kUnitMonths},  {"y", kUnitYears}};

int ParseTarget(const std::string& text, int ephemerisCode, int item) {
  if (item >= kFirstTargetFreeItem) return 0;  // "지구": the target does not matter
  int target = -1;
  for (int i = 0; i < kTargetWordCount; ++i)
    if (text == kTargetWords[i]) target = i;
  const SimulationTargetList list = SimulationTargets(ephemerisCode, item);
  for (int i = 0; i < static_cast<int>(list.names.size()); ++i)
    if (text == list.names[static_cast<size_t>(i)]) target = i;
  if (target < 0) throw UsageError("unknown target '" + text + "' (sun, moon, mercury .. pluto)");
  if (target >= static_cast<int>(list.names.size()))
    throw UsageError("the target '" + text + "' needs a JPL ephemeris (--ephemeris de431|de441|FILE)");
  return target;
}

int ParseUnit(const std::string& text) {
  for (const UnitWord& u : kUnitWords)
    if (text == u.word) return u.unit;
  throw UsageError("unknown unit '" + text + "' (s, min, h, d, mon, y)");
}

// "Y-M-D", "Y-M-D h:m" or "Y-M-D h:m:s" (seconds may have a fraction).
void ParseStart(const std::string& text, SimulationRequest& request) {
  int y = 0, m = 0, d = 0, h = 0, mi = 0, consumed = 0;
  float s = 0.0f;
  const char* c = text.c_str();
  const int n = std::sscanf(c, "%d-%d-%d%n", &y, &m, &d, &consumed);
  if (n != 3) throw UsageError("bad start '" + text + "' (expected \"Y-M-D h:m:s\")");
  const char* rest = c + consumed;
  if (*rest != '\0') {
    int used = 0;
    const int fields = std::sscanf(rest, " %d:%d%n", &h, &mi, &used);
    if (fields != 2) throw UsageError("bad start time in '" + text + "' (expected h:m or h:m:s)");
    rest += used;
    if (*rest == ':') {
      ++rest;
      if (std::sscanf(rest, "%f%n", &s, &used) != 1) throw UsageError("bad seconds in '" + text + "'");
      rest += used;
    }
    if (*rest != '\0') throw UsageError("bad start '" + text + "' (expected \"Y-M-D h:m:s\")");
    if (h < 0 || h > 23 || mi < 0 || mi > 59 || !(s >= 0.0f && s < 60.0f))
      throw UsageError("the time in '" + text + "' is out of range");
  }
  request.year = y;
  request.month = m;
  request.day = d;
  request.hour = h;
  request.minute = mi;
  request.second = s;
}

int CmdSimulate(CliContext& cli) {
  const auto itemText = cli.inv.Get("item");
  const auto startText = cli.inv.Get("start");
  const auto output = cli.inv.Get("o");
  if (!itemText || !startText || !output)
    throw UsageError("simulate needs --item, --start and -o FILE.csv");
  SimulationRequest request;
  request.item = ParseIntArg(*itemText, "--item");
  if (request.item < 0 || request.item >= kSimulationItemCount)
    throw UsageError("--item takes 0.." + std::to_string(kSimulationItemCount - 1));
  ParseStart(*startText, request);
  request.target = ParseTarget(cli.inv.Get("target").value_or("sun"), cli.settings.EphemerisCode, request.item);
  request.step = ParseDoubleArg(cli.inv.Get("step").value_or("1"), "--step");
  request.unit = ParseUnit(cli.inv.Get("unit").value_or("d"));
  request.repetitions = ParseIntArg(cli.inv.Get("count").value_or("2"), "--count");
  if (request.repetitions < 0) throw UsageError("--count must not be negative");
  if (auto v = cli.inv.Get("extra")) request.extra = ParseDoubleArg(*v, "--extra");
  request.outputName = SimulationItems[request.item].name;

  EngineContext ctx = cli.MakeEngine();
  const PlaceRecord& place = cli.places.rows.at(static_cast<size_t>(cli.settings.PlaceIndex));
  SimulationEnvironment env(ctx, place, cli.messages);
  env.lunar.placeIndex = cli.settings.PlaceIndex;
  if (auto v = cli.inv.Get("correction")) {
    env.lunar.historicalCorrection = ParseOnOff(*v, "correction");
    if (env.lunar.historicalCorrection && !PlaceAllowsHistoricalCorrection(cli.settings.PlaceIndex)) {
      cli.messages.Show(kHistoricalCorrectionRefused, "안내");
      env.lunar.historicalCorrection = false;
    }
  }
  env.loadedYear = cli.settings.LoadedYear;
  if (cli.jpl) UsableJplYears(cli.jpl->header.Span[0], cli.jpl->header.Span[1], env.jplFirstYear, env.jplLastYear);

  const SimulationOutcome outcome = RunSimulationTo(request, env, *output);
  if (!outcome.written) return 1;
  std::printf("%s\n", outcome.path.c_str());
  return 0;
}

}  // namespace

void RegisterSimulationCommands(std::vector<CommandSpec>& commands, std::vector<OptionSpec>& options) {
  commands.push_back({"simulate", CmdSimulate,
                      "simulate --item N --start \"Y-M-D h:m:s\" [--target sun|moon|mercury..pluto] [--step X] "
                      "[--unit s|min|h|d|mon|y] [--count N] [--extra V] [--correction on|off] -o FILE.csv",
                      0, 0});
  options.push_back({"item", true});
  options.push_back({"target", true});
  options.push_back({"start", true});
  options.push_back({"step", true});
  options.push_back({"unit", true});
  options.push_back({"count", true});
  options.push_back({"extra", true});
}

}  // namespace orv::cli
