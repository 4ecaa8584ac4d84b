// orvanta-cli: command registry and the shared parsing helpers.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/core/messages.h"
#include "app/core/files/places.h"
#include "app/core/reports/year_reports.h"
#include "app/core/year_service.h"
#include "ephemeris/context.h"
#include "ephemeris/jpl_reader.h"
#include "time/dates.h"
#include "time/settings.h"

namespace orv::cli {

// A usage error: printed as one line on standard error, exit status 2.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
// A failure of the computation (e.g. an ephemeris file): exit status 1.
struct RuntimeFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Invocation {
  std::string command;
  std::vector<std::string> positional;           // after the command name
  std::map<std::string, std::string> options;    // "--name value" / "--flag" ("")
  std::vector<std::string> optionOrder;          // the names of `options` as given
  bool Has(const std::string& name) const { return options.count(name) != 0; }
  std::optional<std::string> Get(const std::string& name) const;
};

struct CliContext {
  Invocation inv;
  CalcSettings settings;
  Observer observer;
  PlaceTable places;
  std::string configPath = "Orvanta.cfg";
  // The folder of Orvanta.cfg, the memo and place files: the current folder,
  // or the user's configuration folder when the current one is not writable
  // (app/core/files/app_folders.h); "" = the current folder.
  std::string settingsFolder;
  bool userConfigFolder = false;
  std::string userDataFolder;             // a further folder for JPL files ("" = none)
  StderrMessageSink messages;
  std::string programFolder;              // folder of the executable (trailing '/')
  std::unique_ptr<JplEphemeris> jpl;      // open when the ephemeris is a JPL file
  // Prepares every year a command reads, as it does for the window.
  std::unique_ptr<YearService> years = std::make_unique<YearService>();

  // An engine context over these settings, with the open ephemeris.
  EngineContext MakeEngine() {
    EngineContext ctx(settings, observer);
    ctx.jpl = jpl.get();
    return ctx;
  }
};

using CommandFn = int (*)(CliContext&);

struct OptionSpec {
  const char* name;  // without the leading "--" ("o" is -o)
  bool takesValue;
};

struct CommandSpec {
  const char* name;
  CommandFn run;
  const char* usage;
  int minArgs;
  int maxArgs;
  // The options this command reads besides the global ones; any other option
  // is a usage error naming the command.
  std::vector<OptionSpec> options = {};
};

// The commands of each group and the global options (honoured by every
// command), registered in registry.cpp.
void RegisterCommands(std::vector<CommandSpec>& commands, std::vector<OptionSpec>& globalOptions);

// The command line split into the command, its positional arguments and its
// options; throws UsageError for an unknown, repeated or incomplete option.
// Whether an option takes a value is known from the global options and from
// the options of every command (one name has one meaning everywhere).
Invocation ParseInvocation(int argc, char** argv, const std::vector<CommandSpec>& commands,
                           const std::vector<OptionSpec>& globalOptions);

// The command that `inv` names; throws UsageError when there is none, it is
// unknown, it does not take one of the options given ("jd does not take
// --sex") or it has too few or too many arguments.
const CommandSpec& CommandOf(const Invocation& inv, const std::vector<CommandSpec>& commands,
                             const std::vector<OptionSpec>& globalOptions);

// Parsing helpers: each throws UsageError with a clear message. Numbers are
// decimal (no base prefixes, no blanks) and must fit their type.
int ParseIntArg(const std::string& text, const char* what);
long long ParseInt64Arg(const std::string& text, const char* what);
// A finite number (never an infinity or NaN).
double ParseDoubleArg(const std::string& text, const char* what);
// A Julian Day, at most 1e8 in magnitude.
double ParseJulianDayArg(const std::string& text);
// `count` whole numbers separated by `separator` ("2024-02-10", "13:05"); only
// the first may carry a minus sign. `expected` is the message for text of
// another shape.
std::vector<int> ParseIntFields(const std::string& text, char separator, size_t count, const std::string& expected);
// "Y-M-D" with an optional leading minus for negative (astronomical) years;
// the date must exist in the civil calendar.
CivilDate ParseDateArg(const std::string& text);
// A lunar "Y-M-D": month 1..12, day 1..lastDay (whether the month has that
// day is the calendar's answer).
CivilDate ParseLunarDateArg(const std::string& text, int lastDay);
std::string FormatDate(int year, int month, int day);

// The years the ephemeris in use serves: PLAN404's (BC 5000 .. AD 10000), or
// the whole years of the open JPL file.
EphemerisSpan EphemerisYearLimits(const CliContext& cli);
// The name lunarspan still reads the span by.
using YearLimits = EphemerisSpan;
// Refuse a year or an instant outside those years, naming them.
void RequireYearInEphemeris(const CliContext& cli, int year);
void RequireInstantInEphemeris(const CliContext& cli, double jd);

}  // namespace orv::cli
