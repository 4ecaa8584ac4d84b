// orvanta-cli simulate: the simulation window's CSV tables from the command
// line (the same run, the same file).
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>

#include "app/cli/cli.h"
#include "app/cli/cli_settings.h"
#include "app/core/files/places.h"
#include "app/core/simulation/output_size.h"
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
  const std::string expected = "bad start '" + text + "' (expected \"Y-M-D h:m:s\")";
  const auto blank = text.find(' ');
  const std::vector<int> date = ParseIntFields(text.substr(0, blank), '-', 3, expected);
  int h = 0, mi = 0;
  double s = 0.0;
  if (blank != std::string::npos) {
    const auto first = text.find_first_not_of(' ', blank);
    const std::string time = first == std::string::npos ? std::string() : text.substr(first);
    const auto secondsColon = time.find(':', time.find(':') + 1);
    const std::vector<int> hm = ParseIntFields(time.substr(0, secondsColon), ':', 2,
                                               "bad start time in '" + text + "' (expected h:m or h:m:s)");
    h = hm[0];
    mi = hm[1];
    if (secondsColon != std::string::npos) s = ParseDoubleArg(time.substr(secondsColon + 1), "the seconds");
    if (h < 0 || h > 23 || mi < 0 || mi > 59 || !(s >= 0.0 && static_cast<float>(s) < 60.0f))
      throw UsageError("the time in '" + text + "' is out of range");
  }
  request.year = date[0];
  request.month = date[1];
  request.day = date[2];
  request.hour = h;
  request.minute = mi;
  request.second = static_cast<float>(s);
}

// Keeps the first message of a check, as one line.
class FirstMessage : public MessageSink {
 public:
  std::string text;

 protected:
  MessageAnswer ShowMessage(const std::string& message, const std::string&, MessageButtons, MessageIcon) override {
    if (text.empty()) {
      text = message;
      for (char& c : text)
        if (c == '\n') c = ' ';
    }
    return MessageAnswer::Ok;
  }
};

int CmdSimulate(CliContext& cli) {
  const auto itemText = cli.inv.Get("item");
  const auto startText = cli.inv.Get("start");
  const auto output = cli.inv.Get("o");
  if (!itemText || !startText || !output)
    throw UsageError("simulate needs --item, --start and -o FILE.csv");
  if (output->empty()) throw UsageError("-o needs a file name");
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
  env.correctionWanted = CorrectionWanted(cli);
  env.lunar.historicalCorrection =
      HistoricalCorrectionApplies(request.year, cli.settings.PlaceIndex, *env.correctionWanted);
  env.loadedYear = cli.settings.LoadedYear;
  if (cli.jpl) UsableJplYears(cli.jpl->header.Span[0], cli.jpl->header.Span[1], env.jplFirstYear, env.jplLastYear);

  // Every refusal of the run (a date that does not exist, a value or target
  // the item cannot take, years outside the ephemeris) is an argument error,
  // found before the output file is touched.
  {
    FirstMessage refusal;
    SimulationEnvironment check(ctx, place, refusal);
    check.lunar = env.lunar;
    check.correctionWanted = env.correctionWanted;
    check.loadedYear = env.loadedYear;
    check.jplFirstYear = env.jplFirstYear;
    check.jplLastYear = env.jplLastYear;
    if (!CheckSimulationRequest(request, check)) throw UsageError(refusal.text);
  }

  // The expected size first; a table that would not fit on the disk is
  // refused before the output file is touched.
  if (const std::optional<SimulationSizeEstimate> estimate = EstimateSimulationSize(request, env)) {
    std::fprintf(stderr, "%s\n", SimulationSizeText(*estimate).c_str());
    const std::optional<unsigned long long> freeBytes = FreeBytesForFile(*output);
    if (freeBytes && SimulationExceedsFreeSpace(*estimate, *freeBytes))
      throw RuntimeFailure(SimulationTooLargeText(*estimate, *freeBytes, OutputFolderOf(*output)));
  }

  // A long run shows how far it is on standard error (never on standard
  // output, which scripts read): on a terminal, or wherever --progress asks.
  ProgressLine progressLine;
  const bool showProgress = cli.inv.Has("progress") || ::isatty(STDERR_FILENO) == 1;
  const auto started = std::chrono::steady_clock::now();
  if (showProgress) {
    env.progress = [&progressLine, started](int position, int maximum) {
      // Position 0 comes after the last line, before any closing message.
      if (position <= 0) {
        std::fputs(progressLine.Finish().c_str(), stderr);
        return;
      }
      const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
      const std::string text = progressLine.Update(position, maximum, elapsed.count());
      if (!text.empty()) {
        std::fputs(text.c_str(), stderr);
        std::fflush(stderr);
      }
    };
  }
  // An error thrown out of the run still ends the line first.
  struct EndLine {
    ProgressLine& line;
    ~EndLine() { std::fputs(line.Finish().c_str(), stderr); }
  } endLine{progressLine};
  const SimulationOutcome outcome = RunSimulationTo(request, env, *output);
  if (!outcome.written) return 1;
  std::printf("%s\n", outcome.path.c_str());
  return 0;
}

}  // namespace

void RegisterSimulationCommands(std::vector<CommandSpec>& commands) {
  commands.push_back({"simulate", CmdSimulate,
                      "simulate --item N --start \"Y-M-D h:m:s\" [--target sun|moon|mercury..pluto] [--step X] "
                      "[--unit s|min|h|d|mon|y] [--count N] [--extra V] [--correction on|off] [--progress] -o FILE.csv",
                      0, 0,
                      {{"item", true},
                       {"target", true},
                       {"start", true},
                       {"step", true},
                       {"unit", true},
                       {"count", true},
                       {"extra", true},
                       {"progress", false},
                       {"o", true}}});
}

}  // namespace orv::cli
