// orvanta-cli: the calendar from the command line. Every number and text comes
// from the engine and app/core; this file only parses arguments.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/cli/cli.h"
#include "app/cli/cli_settings.h"

namespace orv::cli {

std::optional<std::string> Invocation::Get(const std::string& name) const {
  auto it = options.find(name);
  if (it == options.end()) return std::nullopt;
  return it->second;
}

int ParseIntArg(const std::string& text, const char* what) {
  const long long v = ParseInt64Arg(text, what);
  if (v < -2147483647LL || v > 2147483647LL) throw UsageError(std::string("number out of range for ") + what + ": " + text);
  return static_cast<int>(v);
}

long long ParseInt64Arg(const std::string& text, const char* what) {
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno == ERANGE)
    throw UsageError(std::string("bad number for ") + what + ": '" + text + "'");
  return v;
}

double ParseDoubleArg(const std::string& text, const char* what) {
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(v))
    throw UsageError(std::string("bad number for ") + what + ": '" + text + "'");
  return v;
}

CivilDate ParseDateArg(const std::string& text) {
  int y = 0, m = 0, d = 0, consumed = 0;
  if (std::sscanf(text.c_str(), "%d-%d-%d%n", &y, &m, &d, &consumed) != 3 ||
      consumed != static_cast<int>(text.size()))
    throw UsageError("bad date '" + text + "' (expected Y-M-D, e.g. 2024-02-10 or -44-03-15)");
  if (m < 1 || m > 12 || d < 1 || !IsValidDate(y, m, d) || y < -200000 || y > 200000)
    throw UsageError("the date " + text + " does not exist in the calendar");
  return {y, m, d};
}

std::string FormatDate(int year, int month, int day) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%d-%02d-%02d", year, month, day);
  return buffer;
}

namespace {

void PrintUsage(const std::vector<CommandSpec>& commands) {
  std::printf("usage: orvanta-cli COMMAND [ARGS] [options]\n"
              "global options: --config FILE, --place INDEX|NAME, --time TT|UT|ST|civil,\n"
              "  --ephemeris plan404|de431|de441|FILE, --deltat nasa|horizons|horizons-nasa|user=SECONDS,\n"
              "  --tidal on|off\ncommands:\n");
  for (const auto& c : commands) std::printf("  %s\n", c.usage);
}

const OptionSpec* FindOption(const std::vector<OptionSpec>& options, const std::string& name) {
  for (const auto& o : options)
    if (name == o.name) return &o;
  return nullptr;
}

Invocation ParseInvocation(int argc, char** argv, const std::vector<OptionSpec>& options) {
  Invocation inv;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    // "--name" options; a lone "-" or a negative number is a positional value.
    if (arg.size() > 2 && arg[0] == '-' && arg[1] == '-') {
      std::string name = arg.substr(2), value;
      const auto eq = name.find('=');
      bool hasInlineValue = false;
      if (eq != std::string::npos) {
        value = name.substr(eq + 1);
        name = name.substr(0, eq);
        hasInlineValue = true;
      }
      const OptionSpec* known = FindOption(options, name);
      if (!known) throw UsageError("unknown option --" + name);
      if (known->takesValue && !hasInlineValue) {
        if (i + 1 >= argc) throw UsageError("option --" + name + " needs a value");
        value = argv[++i];
      } else if (!known->takesValue && hasInlineValue) {
        throw UsageError("option --" + name + " takes no value");
      }
      if (inv.options.count(name)) throw UsageError("option --" + name + " given twice");
      inv.options[name] = value;
    } else if (arg == "-o") {
      if (i + 1 >= argc) throw UsageError("option -o needs a file name");
      inv.options["o"] = argv[++i];
    } else if (inv.command.empty()) {
      inv.command = arg;
    } else {
      inv.positional.push_back(arg);
    }
  }
  return inv;
}

}  // namespace
}  // namespace orv::cli

int main(int argc, char** argv) {
  using namespace orv::cli;
  std::vector<CommandSpec> commands;
  std::vector<OptionSpec> options;
  RegisterCommands(commands, options);
  try {
    CliContext ctx;
    ctx.inv = ParseInvocation(argc, argv, options);
    if (ctx.inv.command == "help" || ctx.inv.Has("help")) {
      PrintUsage(commands);
      return 0;
    }
    if (ctx.inv.command.empty()) throw UsageError("no command given (try orvanta-cli help)");
    const CommandSpec* command = nullptr;
    for (const auto& c : commands)
      if (ctx.inv.command == c.name) command = &c;
    if (!command) throw UsageError("unknown command '" + ctx.inv.command + "' (try orvanta-cli help)");
    const int n = static_cast<int>(ctx.inv.positional.size());
    if (n < command->minArgs || n > command->maxArgs)
      throw UsageError(std::string("usage: orvanta-cli ") + command->usage);
    LoadCliSettings(ctx);
    return command->run(ctx);
  } catch (const UsageError& e) {
    std::fprintf(stderr, "orvanta-cli: %s\n", e.what());
    return 2;
  } catch (const RuntimeFailure& e) {
    std::fprintf(stderr, "orvanta-cli: %s\n", e.what());
    return 1;
  } catch (const orv::JplError& e) {
    // The reader's messages start with blanks and line breaks; one line here.
    std::string text = e.what();
    const auto first = text.find_first_not_of(" \n");
    text = first == std::string::npos ? std::string() : text.substr(first);
    for (char& c : text)
      if (c == '\n') c = ' ';
    std::fprintf(stderr, "orvanta-cli: %s\n", text.c_str());
    return 1;
  }
}
