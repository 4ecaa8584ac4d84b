// What the command line promises about the files it writes: a read-only
// output is never replaced, Ctrl-C leaves neither a temporary file nor a
// damaged old file, two alike memos are two calendar events, and control
// characters of a memo name never reach a calendar or a table.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/core/files/files.h"
#include "cli_runner.h"

namespace orv {
namespace {

using namespace std::string_literals;
using testing::RunCli;
using testing::TempDir;

// Names in `folder` of temporary files of a replacement.
std::vector<std::string> TemporaryFilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.find(".orvanta-tmp") != std::string::npos) names.push_back(name);
  }
  return names;
}

// Bytes below 0x20 (other than the line ends `allowed`) and DEL.
std::string ControlBytesIn(const std::string& text, const std::string& allowed) {
  std::string found;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && allowed.find(c) == std::string::npos) || byte == 0x7F) found += c;
  }
  return found;
}

TEST(OutputRefusals, ReadOnlyOutputIsNeitherReplacedNorChanged) {
  struct Case {
    std::string args;
    std::string file;
    std::string old;
  };
  std::vector<Case> cases = {
      {"simulate --item 9 --start 2024-01-01 --count 3 -o out.csv", "out.csv", "an earlier table\n"},
      {"ics 2024 --terms -o out.ics", "out.ics", "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n"},
      // The memo file is the program's own table of anniversaries.
      {"memo add --solar 3-1 --name 삼일절", "비망일.txt", "1,2000,12,24,성탄전야\n"},
  };
#ifdef ORVANTA_HAVE_PICTURES
  cases.push_back({"daylight 2024 -o out.svg", "out.svg", "<svg/>\n"});
#endif
  for (const Case& c : cases) {
    TempDir dir;
    dir.write(c.file, c.old);
    ASSERT_EQ(::chmod(dir.file(c.file).c_str(), 0444), 0);
    const auto r = RunCli(c.args, dir.path());
    EXPECT_EQ(r.status, 1) << c.args << ": " << r.err;
    EXPECT_NE(r.err.find(c.file), std::string::npos) << c.args << ": " << r.err;
    EXPECT_EQ(dir.read(c.file), c.old) << c.args;
    struct stat st;
    ASSERT_EQ(::stat(dir.file(c.file).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u) << c.args;
    EXPECT_TRUE(TemporaryFilesIn(dir.path()).empty()) << c.args;
  }
}

// Ctrl-C in the middle of a long table: the process ends as SIGINT ends it,
// its temporary file is gone and the old output is as it was.
TEST(OutputRefusals, InterruptedSimulationLeavesTheOldFile) {
  TempDir dir;
  const std::string old = "an earlier table\n";
  dir.write("old.csv", old);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::chdir(dir.path().c_str()) != 0) ::_exit(127);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDOUT_FILENO);
    ::dup2(null, STDERR_FILENO);
    // Tens of millions of lines: far more than the moments it runs here.
    ::execl(ORVANTA_CLI_PATH, ORVANTA_CLI_PATH, "simulate", "--item", "9", "--start", "2024-01-01", "--unit", "s",
            "--count", "50000000", "-o", "old.csv", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  // Wait (a generous bound, not a speed requirement) for the temporary file.
  bool started = false;
  for (int i = 0; i < 3000 && !started; ++i) {
    started = !TemporaryFilesIn(dir.path()).empty();
    if (!started) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_TRUE(started) << "no temporary file appeared";
  // The file exists a moment before the writer has noted it for the handler.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ::kill(child, SIGINT);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
  EXPECT_TRUE(TemporaryFilesIn(dir.path()).empty());
  EXPECT_EQ(dir.read("old.csv"), old);
}

// The handler the window shares with the command line: SIGTERM removes the
// temporary file of a replacement under way and the old file stays.
TEST(OutputRefusals, TerminatedWriterRemovesItsTemporaryFile) {
  TempDir dir;
  dir.write("settings.txt", "old");
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    RemoveTemporaryFilesOnSignals();
    AtomicFile file;
    if (!file.Create(dir.file("settings.txt")) || !file.Write("new, half written")) ::_exit(1);
    const char byte = 'x';
    if (::write(ready[1], &byte, 1) != 1) ::_exit(1);
    for (;;) ::pause();
  }
  ::close(ready[1]);
  char byte = 0;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  ::close(ready[0]);
  EXPECT_EQ(TemporaryFilesIn(dir.path()).size(), 1u);
  ::kill(child, SIGTERM);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  EXPECT_TRUE(TemporaryFilesIn(dir.path()).empty());
  EXPECT_EQ(dir.read("settings.txt"), "old");
}

TEST(OutputRefusals, AlikeMemosAreDistinctCalendarEvents) {
  TempDir dir;
  dir.write("비망일.txt", "1,2000,5,5,어린이날\n1,2000,5,5,어린이날\n-1,2000,4,8,초파일\n-1,2000,4,8,초파일\n");
  const auto r = RunCli("ics 2024 --memo -o a.ics", dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> uids;
  for (const std::string& line : testing::Lines(dir.read("a.ics")))
    if (line.rfind("UID:", 0) == 0) uids.push_back(line);
  EXPECT_EQ(uids.size(), 4u);
  EXPECT_EQ(std::set<std::string>(uids.begin(), uids.end()).size(), uids.size());
}

TEST(OutputRefusals, ControlCharactersOfAMemoNameStayOut) {
  TempDir dir;
  // A NUL, an escape sequence, a bell, a vertical tab and DEL inside names.
  dir.write("비망일.txt", "1,2000,5,5,어린\0이날\n1,2000,5,6,a\x1b[31mb\x07" "c\x0b" "d\x7f" "e\n"s);
  const auto ics = RunCli("ics 2024 --memo -o a.ics", dir.path());
  ASSERT_EQ(ics.status, 0) << ics.err;
  const std::string calendar = dir.read("a.ics");
  EXPECT_EQ(ControlBytesIn(calendar, "\r\n"), "");
  EXPECT_NE(calendar.find("SUMMARY:"), std::string::npos) << calendar;
  const auto csv = RunCli("upcoming --from 2024-05-01 --days 10 --format csv", dir.path());
  ASSERT_EQ(csv.status, 0) << csv.err;
  EXPECT_EQ(ControlBytesIn(csv.out, "\n"), "");
  EXPECT_NE(csv.out.find("2024-05-06"), std::string::npos) << csv.out;
}

}  // namespace
}  // namespace orv
