// Files the program reads and writes, under the inputs a careless or hostile
// user can give: FIFOs and folders where files are expected, numbers that do
// not fit, full disks, symbolic links, leftovers of killed runs. Expected
// behaviour comes from POSIX (mkstemp, rename, fsync, kill(pid, 0)).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <string>

#include "app/core/calendar_app.h"
#include "app/core/clock.h"
#include "app/core/files/app_folders.h"
#include "app/core/files/config.h"
#include "app/core/files/files.h"
#include "app/core/files/memo.h"
#include "app/core/files/open_ephemeris.h"
#include "app/core/files/places.h"
#include "app/core/messages.h"
#include "cli_runner.h"
#include "ephemeris/jpl_reader.h"

namespace orv {
namespace {

using testing::TempDir;

// Seconds after which a test that blocks is killed (SIGALRM) rather than
// left to hang the run.
constexpr unsigned kBlockingLimitSeconds = 20;

// Cancels the alarm at the end of the scope.
struct AlarmGuard {
  AlarmGuard() { ::alarm(kBlockingLimitSeconds); }
  ~AlarmGuard() { ::alarm(0); }
};

int EntriesIn(const std::string& folder) {
  int n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

// A process id that is not running: the highest pid the kernel hands out is
// below 2^22, so one above it never runs.
constexpr long long kPidNeverRunning = 4194305;

TEST(AtomicWrite, KeepsTheModeOfTheFileItReplaces) {
  TempDir dir;
  dir.write("a.csv", "old");
  ASSERT_EQ(::chmod(dir.file("a.csv").c_str(), 0640), 0);
  ASSERT_TRUE(WriteFileAtomically(dir.file("a.csv"), "new"));
  struct stat st;
  ASSERT_EQ(::stat(dir.file("a.csv").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(dir.read("a.csv"), "new");
  // A new file gets 0666 less the umask, as fopen would make it.
  const mode_t mask = ::umask(022);
  ASSERT_TRUE(WriteFileAtomically(dir.file("b.csv"), "b"));
  ::umask(mask);
  ASSERT_EQ(::stat(dir.file("b.csv").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST(AtomicWrite, WritesThroughASymbolicLink) {
  TempDir dir;
  std::filesystem::create_directory(dir.file("real"));
  dir.write("real/settings", "old");
  std::filesystem::create_symlink("real/settings", dir.file("link"));
  ASSERT_TRUE(WriteFileAtomically(dir.file("link"), "new"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link")));
  EXPECT_EQ(dir.read("real/settings"), "new");
  EXPECT_EQ(EntriesIn(dir.file("real")), 1);
  // A link to a file not yet there makes it.
  std::filesystem::create_symlink("real/later", dir.file("dangling"));
  ASSERT_TRUE(WriteFileAtomically(dir.file("dangling"), "made"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("dangling")));
  EXPECT_EQ(dir.read("real/later"), "made");
}

TEST(AtomicWrite, EveryFailureLeavesTheOldFileAndNoTemporaryFile) {
  TempDir dir;
  dir.write("keep.txt", "old contents");
  std::string error;
  {
    testing::FileSizeLimit limit(4);  // the disk fills after 4 bytes
    EXPECT_FALSE(WriteFileAtomically(dir.file("keep.txt"), "new contents, longer", &error));
  }
  EXPECT_NE(error.find("keep.txt"), std::string::npos) << error;
  EXPECT_EQ(dir.read("keep.txt"), "old contents");
  EXPECT_EQ(EntriesIn(dir.path()), 1);

  // A folder whose parent is a regular file; an empty name.
  EXPECT_FALSE(WriteFileAtomically(dir.file("keep.txt") + "/x", "x", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(WriteFileAtomically("", "x"));

  // Something that is not a regular file stands there: refused, untouched.
  ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
  EXPECT_FALSE(WriteFileAtomically(dir.file("pipe"), "x"));
  struct stat st;
  ASSERT_EQ(::lstat(dir.file("pipe").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_EQ(EntriesIn(dir.path()), 2);

  // Abandoned half way.
  {
    AtomicFile f;
    ASSERT_TRUE(f.Create(dir.file("keep.txt")));
    ASSERT_TRUE(f.Write("partial"));
    EXPECT_EQ(EntriesIn(dir.path()), 3);
  }
  EXPECT_EQ(EntriesIn(dir.path()), 2);
  EXPECT_EQ(dir.read("keep.txt"), "old contents");
}

TEST(AtomicWrite, TemporaryFilesOfKilledRunsAreRemovedNextTime) {
  TempDir dir;
  const std::string dead = std::to_string(kPidNeverRunning);
  dir.write("out.csv.orvanta-tmp" + dead + "-a1B2c3", std::string(10, 'x'));
  // Kept: a running process's file (pid 1 always runs), and every file whose
  // name only looks like a temporary one (the user's own).
  dir.write("out.csv.orvanta-tmp1-zzzzzz", "busy");
  dir.write("out.csv.tmp" + dead, std::string(1000, 'x'));
  dir.write("out.csv.tmp" + dead + "-a1B2c3", "mine");
  dir.write("out.csv.orvanta-tmp" + dead + "-a1B2", "mine too");
  dir.write("out.csv.orvanta-tmp" + dead + "-a1B.c3", "and this");
  dir.write("out.csv.tmpnotes", "mine");
  dir.write("other.csv.orvanta-tmp" + dead + "-a1B2c3", "not ours");
  ASSERT_TRUE(WriteFileAtomically(dir.file("out.csv"), "a,b\n"));
  EXPECT_FALSE(std::filesystem::exists(dir.file("out.csv.orvanta-tmp" + dead + "-a1B2c3")));
  for (const std::string& kept :
       {std::string("out.csv.orvanta-tmp1-zzzzzz"), "out.csv.tmp" + dead, "out.csv.tmp" + dead + "-a1B2c3",
        "out.csv.orvanta-tmp" + dead + "-a1B2", "out.csv.orvanta-tmp" + dead + "-a1B.c3", std::string("out.csv.tmpnotes"),
        "other.csv.orvanta-tmp" + dead + "-a1B2c3"})
    EXPECT_TRUE(std::filesystem::exists(dir.file(kept))) << kept;
  EXPECT_EQ(dir.read("out.csv"), "a,b\n");
}

TEST(AtomicWrite, TemporaryNamesAreNotPredictable) {
  TempDir dir;
  AtomicFile a, b;
  ASSERT_TRUE(a.Create(dir.file("x")));
  ASSERT_TRUE(b.Create(dir.file("x")));  // two at once in one process
  EXPECT_EQ(EntriesIn(dir.path()), 2);
  ASSERT_TRUE(a.Write("a"));
  ASSERT_TRUE(b.Write("b"));
  ASSERT_TRUE(a.Commit());
  ASSERT_TRUE(b.Commit());
  EXPECT_EQ(dir.read("x"), "b");
  EXPECT_EQ(EntriesIn(dir.path()), 1);
}

// Every reader given a FIFO (or a folder) instead of a file answers at once,
// with a message, and reads nothing.
TEST(NonRegularFiles, ReadersRefuseFifosAndFolders) {
  AlarmGuard guard;
  TempDir dir;
  ASSERT_EQ(::mkfifo(dir.file(kConfigFileName).c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(dir.file(kPlaceFileName).c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(dir.file(kMemoFileName).c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(dir.file("DE441.jpl").c_str(), 0600), 0);

  RecordingMessageSink messages;
  CalcSettings settings = DefaultSettings();
  EXPECT_FALSE(ReadConfiguration(settings, dir.file(kConfigFileName), messages));
  EXPECT_EQ(settings.EphemerisCode, DefaultSettings().EphemerisCode);
  PlaceTable places = BuiltInPlaceTable();
  EXPECT_FALSE(ReadPlaceFile(places, dir.path(), messages));
  EXPECT_EQ(places.rows.size(), static_cast<size_t>(places.builtInCount));
  MemoTable memos;
  EXPECT_FALSE(ReadMemoFile(memos, dir.path(), &messages));
  ASSERT_EQ(messages.messages.size(), 3u);
  for (const auto& m : messages.messages)
    EXPECT_NE(m.text.find("일반 파일이 아니어서 읽지 않습니다"), std::string::npos) << m.text;

  JplEphemeris eph;
  EXPECT_FALSE(eph.OpenFile(dir.file("DE441.jpl")));
  EXPECT_FALSE(OpenEphemeris::CanOpen(dir.file("DE441.jpl")));
  EXPECT_FALSE(eph.OpenFile(dir.path()));
  std::string contents, error;
  EXPECT_EQ(ReadRegularFile(dir.path(), contents, &error), ReadResult::NotRegular);
  EXPECT_EQ(ReadRegularFile(dir.file("none"), contents, &error), ReadResult::Missing);
  EXPECT_EQ(ReadRegularFile("/dev/zero", contents), ReadResult::NotRegular);
}

TEST(NonRegularFiles, CommandLineAnswersAtOnce) {
  AlarmGuard guard;
  TempDir dir;
  ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(dir.file(kConfigFileName).c_str(), 0600), 0);
  const auto jpl = testing::RunCli("position sun 2451545 --ephemeris " + dir.file("fifo"), dir.path());
  EXPECT_NE(jpl.status, 0);
  EXPECT_NE(jpl.err.find("not a regular file"), std::string::npos) << jpl.err;
  const auto given = testing::RunCli("config --config " + dir.file("fifo"), dir.path());
  EXPECT_EQ(given.status, 2);
  EXPECT_NE(given.err.find("not a regular file"), std::string::npos) << given.err;
  const auto config = testing::RunCli("config", dir.path());
  EXPECT_EQ(config.status, 0) << config.err;
  EXPECT_NE(config.err.find("일반 파일이 아니어서 읽지 않습니다"), std::string::npos) << config.err;
}

// Memo rows hold what a calendar can show: numbers that overflow int,
// months outside 1-12, days outside 1-31 and years beyond the calendar's
// span are skipped; the lines around them are read as before.
TEST(MemoFields, OutOfRangeRowsAreSkipped) {
  TempDir dir;
  dir.write(kMemoFileName,
            "1,2000,5,5,Kept1\n"
            "1,2000,5,2147483647,MaxDay\n"
            "1,2000,5,99999999999,Overflow\n"
            "1,99999999999,5,5,YearOverflow\n"
            "1,2000,13,1,Month13\n"
            "-1,2000,-3,1,NegativeMonth\n"
            "1,2000,2,32,Day32\n"
            "1,-2000000,1,1,TooEarly\n"
            "1,2000000,1,1,TooLate\n"
            "-1,-12999,12,30,Kept2\n"
            "1,+2024,1,1,Kept3\n");
  MemoTable memos;
  ASSERT_TRUE(ReadMemoFile(memos, dir.path()));
  ASSERT_EQ(memos.size(), 3u);
  EXPECT_EQ(memos[0].name, "Kept1");
  EXPECT_EQ(memos[1].name, "Kept2");
  EXPECT_EQ(memos[1].year, -12999);
  EXPECT_EQ(memos[2].name, "Kept3");
  EXPECT_EQ(memos[2].year, 2024);
  for (const MemoEntry& m : memos) {
    EXPECT_GE(m.month, 1);
    EXPECT_LE(m.month, 12);
    EXPECT_GE(m.day, 1);
    EXPECT_LE(m.day, 31);
  }
}

// The desktop program started in a folder it may not write to, which holds
// settings: they are read, the closing save goes to the user's folder, and
// the about text names both.
TEST(SettingsFolders, ReadOnlyStartFolderSettingsAreReadAndSavedToTheUserFolder) {
  TempDir start, user;
  start.write(kConfigFileName, "3,0\t1;3/9,\n1,\t2;1/2,\n");
  char previous[4096];
  ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(::chdir(start.path().c_str()), 0);
  RecordingMessageSink messages;
  FixedClock clock(SystemClock().Now());
  AppFolders folders{"/nonexistent-program-folder", user.path()};
  folders.userConfigFolder = true;  // as DesktopAppFolders chooses for a read-only start folder
  std::string about;
  int precession = 0;
  {
    CalendarApp app(folders, messages, clock);
    app.StartUp();
    precession = app.Settings().PrecessionModel;
    about = app.Reports().AboutBoxText();
    app.Close();
  }
  ASSERT_EQ(::chdir(previous), 0);
  EXPECT_EQ(precession, 1);
  EXPECT_NE(about.find("설정 파일 위치: " + user.path()), std::string::npos) << about;
  EXPECT_NE(about.find("설정을 읽은 파일: Orvanta.cfg"), std::string::npos) << about;
  EXPECT_TRUE(FileExists(user.file(kConfigFileName)));
  EXPECT_EQ(start.read(kConfigFileName), "3,0\t1;3/9,\n1,\t2;1/2,\n");
}

}  // namespace
}  // namespace orv
