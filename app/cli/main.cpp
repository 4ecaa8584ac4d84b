// orvanta-cli: the calendar from the command line. Every number and text comes
// from the engine and app/core; this file only parses arguments.
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "app/cli/cli.h"
#include "app/cli/cli_settings.h"
#include "app/core/files/files.h"
#include "app/core/reports/reports.h"

namespace orv::cli {

std::optional<std::string> Invocation::Get(const std::string& name) const {
  auto it = options.find(name);
  if (it == options.end()) return std::nullopt;
  return it->second;
}

namespace {

// Julian Days beyond this are outside any calendar the program handles.
constexpr double kMaxAbsJulianDay = 1e8;
// Years a date argument may name (the civil calendar's arithmetic reaches
// further; no ephemeris does).
constexpr int kMaxAbsDateYear = 200000;

// A leading '+' is accepted on numbers; std::from_chars takes none.
std::string_view WithoutPlus(std::string_view text) {
  if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+') text.remove_prefix(1);
  return text;
}

}  // namespace

int ParseIntArg(const std::string& text, const char* what) {
  const long long v = ParseInt64Arg(text, what);
  if (v < INT_MIN || v > INT_MAX) throw UsageError(std::string("number out of range for ") + what + ": " + text);
  return static_cast<int>(v);
}

// Decimal digits only: no blanks, no base prefix ("0x10"), no fraction.
long long ParseInt64Arg(const std::string& text, const char* what) {
  const std::string_view digits = WithoutPlus(text);
  long long v = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
  if (ec == std::errc::result_out_of_range)
    throw UsageError(std::string("number out of range for ") + what + ": " + text);
  if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty())
    throw UsageError(std::string("bad number for ") + what + ": '" + text + "'");
  return v;
}

// Decimal notation with an optional exponent ("2451545", "-1.5e3"); no
// hexadecimal, no blanks, and never an infinity or NaN.
double ParseDoubleArg(const std::string& text, const char* what) {
  const std::string_view digits = WithoutPlus(text);
  double v = 0.0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v, std::chars_format::general);
  if (ec == std::errc::result_out_of_range)
    throw UsageError(std::string("number out of range for ") + what + ": " + text);
  if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty())
    throw UsageError(std::string("bad number for ") + what + ": '" + text + "'");
  if (!std::isfinite(v)) throw UsageError(std::string(what) + " must be a finite number, not '" + text + "'");
  return v;
}

double ParseJulianDayArg(const std::string& text) {
  const double jd = ParseDoubleArg(text, "the Julian Day");
  if (std::fabs(jd) > kMaxAbsJulianDay) throw UsageError("Julian Day out of range: " + text);
  return jd;
}

std::vector<int> ParseIntFields(const std::string& text, char separator, size_t count, const std::string& expected) {
  std::vector<int> fields;
  const char* p = text.data();
  const char* const end = text.data() + text.size();
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) {
      if (p == end || *p != separator) throw UsageError(expected);
      ++p;
    }
    // Only the first number may carry a sign (a minus: a year before 1 AD).
    const bool signAllowed = i == 0 && p != end && *p == '-';
    if (p == end || (!signAllowed && (*p < '0' || *p > '9'))) throw UsageError(expected);
    int v = 0;
    const auto [next, ec] = std::from_chars(p, end, v);
    if (ec == std::errc::result_out_of_range) throw UsageError("number out of range in '" + text + "'");
    if (ec != std::errc()) throw UsageError(expected);
    fields.push_back(v);
    p = next;
  }
  if (p != end) throw UsageError(expected);
  return fields;
}

CivilDate ParseDateArg(const std::string& text) {
  const std::vector<int> f =
      ParseIntFields(text, '-', 3, "bad date '" + text + "' (expected Y-M-D, e.g. 2024-02-10 or -44-03-15)");
  const int y = f[0], m = f[1], d = f[2];
  if (y < -kMaxAbsDateYear || y > kMaxAbsDateYear || m < 1 || m > 12 || d < 1 || !IsValidDate(y, m, d))
    throw UsageError("the date " + text + " does not exist in the calendar");
  return {y, m, d};
}

CivilDate ParseLunarDateArg(const std::string& text, int lastDay) {
  const std::vector<int> f = ParseIntFields(text, '-', 3, "bad lunar date '" + text + "' (expected Y-M-D)");
  if (f[0] < -kMaxAbsDateYear || f[0] > kMaxAbsDateYear || f[1] < 1 || f[1] > 12 || f[2] < 1 || f[2] > lastDay)
    throw UsageError("bad lunar date '" + text + "' (expected Y-M-D, month 1..12, day 1.." +
                     std::to_string(lastDay) + ")");
  return {f[0], f[1], f[2]};
}

EphemerisSpan EphemerisYearLimits(const CliContext& cli) {
  return ServedEphemerisSpan(cli.settings.EphemerisCode, cli.jpl.get());
}

std::string EphemerisName(const CliContext& cli) {
  if (!cli.jpl) return "PLAN404";
  return "DE" + std::to_string(cli.jpl->header.FileDeNumber);
}

void RequireYearInEphemeris(const CliContext& cli, int year) {
  const EphemerisSpan limits = EphemerisYearLimits(cli);
  if (!limits.Contains(year))
    throw UsageError("year " + std::to_string(year) + " is outside " + std::to_string(limits.lower) + ".." +
                     std::to_string(limits.upper) + ", the years of " + EphemerisName(cli));
}

void RequireInstantInEphemeris(const CliContext& cli, double jd) {
  const EphemerisSpan limits = EphemerisYearLimits(cli);
  const int year = JulianDayToCivilDate(jd).year;
  if (!limits.Contains(year)) {
    char text[48];
    std::snprintf(text, sizeof text, "%.6f", jd);
    throw UsageError(std::string("the Julian Day ") + text + " (year " + std::to_string(year) + ") is outside " +
                     std::to_string(limits.lower) + ".." + std::to_string(limits.upper) + ", the years of " +
                     EphemerisName(cli));
  }
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
              "  --tidal on|off, --correction on|off\ncommands:\n");
  for (const auto& c : commands) std::printf("  %s\n", c.usage);
}

const OptionSpec* FindOption(const std::vector<OptionSpec>& options, const std::string& name) {
  for (const auto& o : options)
    if (name == o.name) return &o;
  return nullptr;
}

// The option as the user writes it.
std::string OptionText(const std::string& name) { return (name.size() == 1 ? "-" : "--") + name; }

// A global option, or the option of that name of any command (the command may
// not be known yet when the option comes first).
const OptionSpec* FindAnyOption(const std::vector<CommandSpec>& commands, const std::vector<OptionSpec>& globalOptions,
                                const std::string& name) {
  if (const OptionSpec* global = FindOption(globalOptions, name)) return global;
  for (const auto& c : commands)
    if (const OptionSpec* own = FindOption(c.options, name)) return own;
  return nullptr;
}

}  // namespace

Invocation ParseInvocation(int argc, char** argv, const std::vector<CommandSpec>& commands,
                           const std::vector<OptionSpec>& globalOptions) {
  Invocation inv;
  auto add = [&inv](const std::string& name, const std::string& value) {
    if (inv.options.count(name)) throw UsageError("option " + OptionText(name) + " given twice");
    inv.options[name] = value;
    inv.optionOrder.push_back(name);
  };
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
      const OptionSpec* known = name.size() > 1 ? FindAnyOption(commands, globalOptions, name) : nullptr;
      if (!known) throw UsageError("unknown option --" + name);
      if (known->takesValue && !hasInlineValue) {
        if (i + 1 >= argc) throw UsageError("option --" + name + " needs a value");
        value = argv[++i];
      } else if (!known->takesValue && hasInlineValue) {
        throw UsageError("option --" + name + " takes no value");
      }
      add(name, value);
    } else if (arg == "-o") {
      if (i + 1 >= argc) throw UsageError("option -o needs a file name");
      add("o", argv[++i]);
    } else if (inv.command.empty()) {
      inv.command = arg;
    } else {
      inv.positional.push_back(arg);
    }
  }
  return inv;
}

const CommandSpec& CommandOf(const Invocation& inv, const std::vector<CommandSpec>& commands,
                             const std::vector<OptionSpec>& globalOptions) {
  if (inv.command.empty()) throw UsageError("no command given (try orvanta-cli help)");
  const CommandSpec* command = nullptr;
  for (const auto& c : commands)
    if (inv.command == c.name) command = &c;
  if (!command) throw UsageError("unknown command '" + inv.command + "' (try orvanta-cli help)");
  for (const std::string& name : inv.optionOrder)
    if (!FindOption(globalOptions, name) && !FindOption(command->options, name))
      throw UsageError(inv.command + " does not take " + OptionText(name));
  const int n = static_cast<int>(inv.positional.size());
  if (n < command->minArgs || n > command->maxArgs) throw UsageError(std::string("usage: orvanta-cli ") + command->usage);
  return *command;
}

}  // namespace orv::cli

int main(int argc, char** argv) {
  using namespace orv::cli;
  // Ctrl-C during a long export leaves no temporary file behind.
  orv::RemoveTemporaryFilesOnSignals();
  std::vector<CommandSpec> commands;
  std::vector<OptionSpec> globalOptions;
  RegisterCommands(commands, globalOptions);
  try {
    CliContext ctx;
    ctx.inv = ParseInvocation(argc, argv, commands, globalOptions);
    if (ctx.inv.command == "help" || ctx.inv.Has("help")) {
      PrintUsage(commands);
      return 0;
    }
    const CommandSpec& command = CommandOf(ctx.inv, commands, globalOptions);
    LoadCliSettings(ctx);
    return command.run(ctx);
  } catch (const UsageError& e) {
    std::fprintf(stderr, "orvanta-cli: %s\n", e.what());
    return 2;
  } catch (const RuntimeFailure& e) {
    std::fprintf(stderr, "orvanta-cli: %s\n", e.what());
    return 1;
  } catch (const orv::IncompleteYearError& e) {
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
