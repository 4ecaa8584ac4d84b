// The command groups of orvanta-cli. Each group lives in its own cmd_*.cpp.
#include "app/cli/cli.h"

namespace orv::cli {

void RegisterTimeCommands(std::vector<CommandSpec>&, std::vector<OptionSpec>&);
void RegisterIcsCommands(std::vector<CommandSpec>&, std::vector<OptionSpec>&);
void RegisterAccuracyCommands(std::vector<CommandSpec>&, std::vector<OptionSpec>&);
void RegisterPositionCommands(std::vector<CommandSpec>&, std::vector<OptionSpec>&);
void RegisterCalendarCommands(std::vector<CommandSpec>&, std::vector<OptionSpec>&);
void RegisterOrientationCommands(std::vector<CommandSpec>&, std::vector<OptionSpec>&);
void RegisterPlaceCommands(std::vector<CommandSpec>&, std::vector<OptionSpec>&);
void RegisterEclipseCommands(std::vector<CommandSpec>&, std::vector<OptionSpec>&);
void RegisterReportCommands(std::vector<CommandSpec>&, std::vector<OptionSpec>&);
void RegisterHistoricalCommands(std::vector<CommandSpec>&, std::vector<OptionSpec>&);
void RegisterSimulationCommands(std::vector<CommandSpec>&, std::vector<OptionSpec>&);
void RegisterMemoCommands(std::vector<CommandSpec>&, std::vector<OptionSpec>&);
void RegisterSkyCommands(std::vector<CommandSpec>&, std::vector<OptionSpec>&);
#ifdef ORVANTA_CLI_PRINT
void RegisterPrintCommands(std::vector<CommandSpec>&, std::vector<OptionSpec>&);
#endif

void RegisterCommands(std::vector<CommandSpec>& commands, std::vector<OptionSpec>& options) {
  // Global options, honoured by every command.
  options.push_back({"config", true});
  options.push_back({"place", true});
  options.push_back({"time", true});
  options.push_back({"ephemeris", true});
  options.push_back({"deltat", true});
  options.push_back({"tidal", true});
  options.push_back({"anniversaries", true});
  options.push_back({"help", false});
  RegisterTimeCommands(commands, options);
  RegisterIcsCommands(commands, options);
  RegisterAccuracyCommands(commands, options);
  RegisterPositionCommands(commands, options);
  RegisterCalendarCommands(commands, options);
  RegisterOrientationCommands(commands, options);
  RegisterPlaceCommands(commands, options);
  RegisterEclipseCommands(commands, options);
  RegisterReportCommands(commands, options);
  RegisterHistoricalCommands(commands, options);
  RegisterSimulationCommands(commands, options);
  RegisterMemoCommands(commands, options);
  RegisterSkyCommands(commands, options);
#ifdef ORVANTA_CLI_PRINT
  RegisterPrintCommands(commands, options);
#endif
}

}  // namespace orv::cli
