// Whole orvanta-cli commands, parsed and computed: the input is split at NUL
// bytes and newlines into arguments and run as the program's main() runs
// them, in a private folder (the settings, memo and output files live
// there). Any exit status is fine; a fault, a leak or an uncaught exception
// is not.
//
// The work of one input is bounded so that every input ends in well under a
// second under the sanitizers: year ranges span at most kMaxYearSpan years,
// counts at most kMaxCount rows, and a few commands whose cost grows with an
// argument (the ephemeris comparison, the JPL file's span) are left out.
// Paths are refused, so nothing is read or written outside the folder.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"

// The program's own main(), renamed.
#define main orvanta_cli_main
#include "app/cli/main.cpp"
#undef main

namespace {

constexpr long kMaxYearSpan = 1;
constexpr long kMaxCount = 6;
constexpr std::size_t kMaxArguments = 12;

// Commands whose work one input could make unbounded.
constexpr std::string_view kLeftOut[] = {"accuracy"};

bool ParseLong(std::string_view text, long& value) {
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

// Whether the arguments keep one run small and inside the private folder.
bool Acceptable(const std::vector<std::string>& args) {
  if (args.size() > kMaxArguments) return false;
  std::vector<long> numbers;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.find('/') != std::string::npos) return false;
    for (std::string_view left : kLeftOut)
      if (a == left) return false;
    // "A..B": a span of years.
    const std::size_t dots = a.find("..");
    if (dots != std::string::npos) {
      long from = 0, to = 0;
      if (ParseLong(std::string_view(a).substr(0, dots), from) &&
          ParseLong(std::string_view(a).substr(dots + 2), to) && std::labs(to - from) > kMaxYearSpan)
        return false;
    }
    if (args[i - 1] == "--count") {
      long count = 0;
      if (ParseLong(a, count) && count > kMaxCount) return false;
    }
    if (a.rfind("--count=", 0) == 0) {
      long count = 0;
      if (ParseLong(std::string_view(a).substr(8), count) && count > kMaxCount) return false;
    }
    long n = 0;
    if (ParseLong(a, n)) numbers.push_back(n);
  }
  // Two plain numbers (lunarspan FROM TO, days, jd ...): a span of years at most.
  if (args.size() > 1 && args[1] == "lunarspan" && numbers.size() >= 2 &&
      std::labs(numbers[1] - numbers[0]) > kMaxYearSpan)
    return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The private folder is the current folder and the home: no user file of
  // the machine is read, every output stays there.
  const std::string& folder = orv::fuzz::Folder();
  ::setenv("HOME", folder.c_str(), 1);
  ::unsetenv("XDG_CONFIG_HOME");
  ::unsetenv("XDG_DATA_HOME");
  if (::chdir(folder.c_str()) != 0) std::abort();
  // The reports themselves are not looked at.
  const int null = ::open("/dev/null", O_WRONLY);
  if (null >= 0) ::dup2(null, STDOUT_FILENO);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args = orv::fuzz::SplitArguments(data, size);
  if (!Acceptable(args)) return 0;
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  orvanta_cli_main(static_cast<int>(args.size()), argv.data());
  std::fflush(stdout);
  return 0;
}
