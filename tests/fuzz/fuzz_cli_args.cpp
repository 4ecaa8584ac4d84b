// The command line's argument parsing: the input is split at NUL bytes and
// newlines into arguments, parsed as orvanta-cli parses them, and each
// positional value is read as a number and a date. Errors must come as
// UsageError (one line, exit status 2), nothing else.
#include <string>
#include <vector>

#include "fuzz_support.h"

// The parser lives beside main() in app/cli/main.cpp: included here with its
// main renamed, so this target exercises the program's own code.
#define main orvanta_cli_main
#include "app/cli/main.cpp"
#undef main

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orv::cli;
  std::vector<std::string> args = orv::fuzz::SplitArguments(data, size);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  static std::vector<CommandSpec> commands;
  static std::vector<OptionSpec> globalOptions;
  if (commands.empty()) RegisterCommands(commands, globalOptions);
  try {
    const Invocation inv = ParseInvocation(static_cast<int>(args.size()), argv.data(), commands, globalOptions);
    try { CommandOf(inv, commands, globalOptions); } catch (const UsageError&) {}
    for (const std::string& value : inv.positional) {
      try { ParseIntArg(value, "fuzz"); } catch (const UsageError&) {}
      try { ParseInt64Arg(value, "fuzz"); } catch (const UsageError&) {}
      try { ParseDoubleArg(value, "fuzz"); } catch (const UsageError&) {}
      try { ParseDateArg(value); } catch (const UsageError&) {}
    }
  } catch (const UsageError&) {
  }
  return 0;
}
