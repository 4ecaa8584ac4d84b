// orvanta-cli: an option belongs to its command. One that the command does
// not take is a usage error (status 2, one line naming the option and the
// command) wherever it stands on the line; the global options stay every
// command's; and every option the README shows with a command is taken by it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli_runner.h"

namespace orv {
namespace {

using testing::Lines;
using testing::RunCli;
using testing::TempDir;

TEST(CliOptions, OptionsOfOtherCommandsAreRefusedNamingBoth) {
  TempDir dir;
  struct Case {
    const char* args;
    const char* message;  // the whole of standard error
  } cases[] = {
      {"jd 2000 1 1 --sex male --luck --format csv", "orvanta-cli: jd does not take --sex\n"},
      {"jd 2000 1 1 --format=csv", "orvanta-cli: jd does not take --format\n"},
      {"--format csv date 2451545", "orvanta-cli: date does not take --format\n"},
      {"days 2024-01-01 2024-02-01 -o days.txt", "orvanta-cli: days does not take -o\n"},
      {"lunar 2024-02-10 --leap", "orvanta-cli: lunar does not take --leap\n"},
      {"terms 2024 --local", "orvanta-cli: terms does not take --local\n"},
      {"day 2024-02-10 --before", "orvanta-cli: day does not take --before\n"},
      {"holidays 2024 --newmoons", "orvanta-cli: holidays does not take --newmoons\n"},
      {"about --format csv", "orvanta-cli: about does not take --format\n"},
      {"pillars 2024-02-10 --twilight", "orvanta-cli: pillars does not take --twilight\n"},
      {"riseset 2024-02-10 --step 5", "orvanta-cli: riseset does not take --step\n"},
      {"eclipse-path 2024-04-08 --body sun", "orvanta-cli: eclipse-path does not take --body\n"},
      {"upcoming --name 생일", "orvanta-cli: upcoming does not take --name\n"},
      {"memo list --days 3", "orvanta-cli: memo does not take --days\n"},
      {"places --search 서울 --mode apparent", "orvanta-cli: places does not take --mode\n"},
      {"position sun 2451545 --model nasa", "orvanta-cli: position does not take --model\n"},
      {"sidereal 2451545 --tt", "orvanta-cli: sidereal does not take --tt\n"},
      {"ics 2024 --today 2024-01-01 -o x.ics", "orvanta-cli: ics does not take --today\n"},
      {"simulate --item 9 --start 2024-01-01 --month 2 -o x.csv", "orvanta-cli: simulate does not take --month\n"},
      {"lunarspan 2000 2001 --before", "orvanta-cli: lunarspan does not take --before\n"},
      {"accuracy --days 3", "orvanta-cli: accuracy does not take --days\n"},
      // Still: names no command knows, and the command's own options misused.
      {"jd 2000 1 1 --bogus", "orvanta-cli: unknown option --bogus\n"},
      {"terms 2024 --format", "orvanta-cli: option --format needs a value\n"},
      {"terms 2024 --format csv --format text", "orvanta-cli: option --format given twice\n"},
  };
  for (const Case& c : cases) {
    const testing::CliResult r = RunCli(c.args, dir.path());
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_EQ(r.err, c.message) << c.args;
    EXPECT_EQ(r.out, "") << c.args;
  }
  // Nothing was written by a refused command.
  EXPECT_FALSE(std::filesystem::exists(dir.file("days.txt")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("x.ics")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("x.csv")));
}

// The commands of `orvanta-cli help`, by the first word of each usage line.
std::set<std::string> Commands(const std::string& folder) {
  std::set<std::string> commands;
  bool listing = false;
  for (const std::string& line : Lines(RunCli("help", folder).out)) {
    if (line == "commands:") listing = true;
    else if (listing && line.rfind("  ", 0) == 0) commands.insert(line.substr(2, line.find(' ', 2) - 2));
  }
  return commands;
}

// Every option of a command in a README example, with a placeholder after
// each, and more positional arguments than any command takes: the options
// pass and the command refuses the arguments ("usage: ..."), before it reads
// any file or computes anything.
TEST(CliOptions, EveryOptionTheReadmeShowsIsTaken) {
  TempDir dir;
  const std::set<std::string> commands = Commands(dir.path());
  ASSERT_TRUE(commands.count("jd") && commands.count("pillars") && commands.count("memo"));
  std::ifstream in(std::string(ORVANTA_SOURCE_DIR) + "/README.md");
  std::stringstream readme;
  readme << in.rdbuf();
  const std::string text = readme.str();
  // Code spans; a table row names several commands as `a` / `b`.
  const std::regex span("`([^`\n]+)`");
  const std::regex option(R"((^|[\s\[\(|])(--[a-z][a-z-]*|-o)\b)");
  std::set<std::string> tried, commandsTried;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), span); it != std::sregex_iterator(); ++it) {
    std::string example = (*it)[1];
    if (example.rfind("orvanta-cli ", 0) == 0) example = example.substr(12);
    const std::string command = example.substr(0, example.find(' '));
    if (!commands.count(command)) continue;
    std::string args = command;
    for (auto o = std::sregex_iterator(example.begin(), example.end(), option); o != std::sregex_iterator(); ++o)
      args += " " + (*o)[2].str() + " x";
    args += " x x x x x x x x";
    if (!tried.insert(args).second) continue;
    commandsTried.insert(command);
    const testing::CliResult r = RunCli(args, dir.path());
    EXPECT_EQ(r.status, 2) << example;
    EXPECT_EQ(r.err.rfind("orvanta-cli: usage: orvanta-cli " + command, 0), 0u) << example << "\n" << r.err;
  }
  // The table was found and read.
  for (const char* command : {"deltat", "pillars", "memo", "simulate", "ics", "eclipse-path"})
    EXPECT_TRUE(commandsTried.count(command)) << command;
}

TEST(CliOptions, GlobalOptionsAreEveryCommands) {
  TempDir dir;
  const std::set<std::string> commands = Commands(dir.path());
  ASSERT_FALSE(commands.empty());
  const std::string global =
      " --config c.cfg --place 1 --time UT --ephemeris plan404 --deltat nasa --tidal on --correction off";
  for (const std::string& command : commands) {
    const testing::CliResult r = RunCli(command + global + " x x x x x x x x", dir.path());
    EXPECT_EQ(r.status, 2) << command;
    EXPECT_EQ(r.err.rfind("orvanta-cli: usage: orvanta-cli " + command, 0), 0u) << command << "\n" << r.err;
  }
}

TEST(CliOptions, CommandsStillRunWithTheirOwnAndGlobalOptions) {
  TempDir dir;
  struct Case {
    const char* args;
    const char* firstLine;
  } cases[] = {
      {"jd 2000 1 1 --time TT", "2451544.500000"},
      // The leap second month of 2023 began on 22 March (KASI).
      {"--place 0 solar 2023-02-01 --leap", "2023-03-22"},
      {"terms 2024 --format csv --correction off", "index,longitude,name,datetime,jd"},
      {"holidays 2024 --format=csv", "date,name,day_off"},
  };
  for (const Case& c : cases) {
    const testing::CliResult r = RunCli(c.args, dir.path());
    EXPECT_EQ(r.status, 0) << c.args << "\n" << r.err;
    EXPECT_EQ(Lines(r.out).empty() ? "" : Lines(r.out).front(), c.firstLine) << c.args;
  }
}

}  // namespace
}  // namespace orv
