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

  // An engine context over these settings, with the open ephemeris.
  EngineContext MakeEngine() {
    EngineContext ctx(settings, observer);
    ctx.jpl = jpl.get();
    return ctx;
  }
};

using CommandFn = int (*)(CliContext&);

struct CommandSpec {
  const char* name;
  CommandFn run;
  const char* usage;
  int minArgs;
  int maxArgs;
};

struct OptionSpec {
  const char* name;  // without the leading "--"
  bool takesValue;
};

// Each group of commands registers its table here (see main.cpp).
void RegisterCommands(std::vector<CommandSpec>& commands, std::vector<OptionSpec>& options);

// Parsing helpers: each throws UsageError with a clear message.
int ParseIntArg(const std::string& text, const char* what);
long long ParseInt64Arg(const std::string& text, const char* what);
double ParseDoubleArg(const std::string& text, const char* what);
// "Y-M-D" with an optional leading minus for negative (astronomical) years;
// the date must exist in the civil calendar.
CivilDate ParseDateArg(const std::string& text);
std::string FormatDate(int year, int month, int day);

}  // namespace orv::cli
