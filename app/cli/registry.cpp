// The command groups of orvanta-cli. Each group lives in its own cmd_*.cpp.
#include "app/cli/cli.h"

#include <map>
#include <stdexcept>
#include <string>

namespace orv::cli {

void RegisterTimeCommands(std::vector<CommandSpec>&);
void RegisterIcsCommands(std::vector<CommandSpec>&);
void RegisterAccuracyCommands(std::vector<CommandSpec>&);
void RegisterPositionCommands(std::vector<CommandSpec>&);
void RegisterCalendarCommands(std::vector<CommandSpec>&);
void RegisterOrientationCommands(std::vector<CommandSpec>&);
void RegisterPlaceCommands(std::vector<CommandSpec>&);
void RegisterEclipseCommands(std::vector<CommandSpec>&);
void RegisterReportCommands(std::vector<CommandSpec>&);
void RegisterHistoricalCommands(std::vector<CommandSpec>&);
void RegisterSimulationCommands(std::vector<CommandSpec>&);
void RegisterMemoCommands(std::vector<CommandSpec>&);
void RegisterSkyCommands(std::vector<CommandSpec>&);
#ifdef ORVANTA_CLI_PRINT
void RegisterPrintCommands(std::vector<CommandSpec>&);
#endif

void RegisterCommands(std::vector<CommandSpec>& commands, std::vector<OptionSpec>& options) {
  // Global options, honoured by every command (app/cli/cli_settings.cpp).
  // A command's own options are listed with the command.
  options.push_back({"config", true});
  options.push_back({"place", true});
  options.push_back({"time", true});
  options.push_back({"ephemeris", true});
  options.push_back({"deltat", true});
  options.push_back({"tidal", true});
  options.push_back({"correction", true});
  options.push_back({"anniversaries", true});
  options.push_back({"help", false});
  RegisterTimeCommands(commands);
  RegisterIcsCommands(commands);
  RegisterAccuracyCommands(commands);
  RegisterPositionCommands(commands);
  RegisterCalendarCommands(commands);
  RegisterOrientationCommands(commands);
  RegisterPlaceCommands(commands);
  RegisterEclipseCommands(commands);
  RegisterReportCommands(commands);
  RegisterHistoricalCommands(commands);
  RegisterSimulationCommands(commands);
  RegisterMemoCommands(commands);
  RegisterSkyCommands(commands);
#ifdef ORVANTA_CLI_PRINT
  RegisterPrintCommands(commands);
#endif
  // One name, one meaning: the parser knows whether an option takes a value
  // before it knows the command (options may come first).
  std::map<std::string, bool> takesValue;
  auto check = [&takesValue](const OptionSpec& option) {
    const auto [known, added] = takesValue.emplace(option.name, option.takesValue);
    if (!added && known->second != option.takesValue)
      throw std::logic_error(std::string("option --") + option.name + " both takes and lacks a value");
  };
  for (const OptionSpec& option : options) check(option);
  for (const CommandSpec& command : commands)
    for (const OptionSpec& option : command.options) check(option);
}

}  // namespace orv::cli
