// Where the program keeps its files: the user's folders by the XDG base
// directory rules (freedesktop.org XDG base directories, version 0.8:
// $XDG_CONFIG_HOME defaults to $HOME/.config, $XDG_DATA_HOME to
// $HOME/.local/share, relative values are ignored), the choice between the
// current folder and the user's configuration folder, and the JPL file found
// in the user's data folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/core/files/app_folders.h"
#include "app/core/files/ephemeris_files.h"
#include "cli_runner.h"

namespace orv {
namespace {

using testing::RunCli;
using testing::TempDir;

TEST(AppFolders, UserFoldersFollowTheXdgRules) {
  struct Case {
    const char* config;
    const char* data;
    const char* home;
    const char* wantConfig;
    const char* wantData;
  };
  const Case cases[] = {
      {"/x/cfg", "/x/data", "/home/u", "/x/cfg/orvanta", "/x/data/orvanta"},
      {"/x/cfg/", "/x/data/", "/home/u", "/x/cfg/orvanta", "/x/data/orvanta"},
      {nullptr, nullptr, "/home/u", "/home/u/.config/orvanta", "/home/u/.local/share/orvanta"},
      {"", "", "/home/u/", "/home/u/.config/orvanta", "/home/u/.local/share/orvanta"},
      {"relative/cfg", "data", "/home/u", "/home/u/.config/orvanta", "/home/u/.local/share/orvanta"},
      {"/x/cfg", nullptr, nullptr, "/x/cfg/orvanta", ""},
      {nullptr, nullptr, nullptr, "", ""},
      {nullptr, nullptr, "", "", ""},
  };
  for (const Case& c : cases) {
    const UserFolders f = UserFoldersFrom(c.config, c.data, c.home);
    EXPECT_EQ(f.config, c.wantConfig) << (c.config ? c.config : "(unset)") << " home " << (c.home ? c.home : "(unset)");
    EXPECT_EQ(f.data, c.wantData) << (c.data ? c.data : "(unset)") << " home " << (c.home ? c.home : "(unset)");
  }
}

// The decision with an injected predicate, so that it holds also where
// permissions do not bite (as root).
TEST(AppFolders, SettingsStayInTheCurrentFolderWhenItIsWritable) {
  std::string asked;
  auto writable = [&](const std::string& folder) {
    asked = folder;
    return true;
  };
  auto readOnly = [](const std::string&) { return false; };
  SettingsFolderChoice c = ChooseSettingsFolder("", "/home/u/.config/orvanta", writable);
  EXPECT_EQ(c.folder, "");
  EXPECT_FALSE(c.userConfigFolder);
  EXPECT_EQ(asked, "");
  c = ChooseSettingsFolder("", "/home/u/.config/orvanta", readOnly);
  EXPECT_EQ(c.folder, "/home/u/.config/orvanta");
  EXPECT_TRUE(c.userConfigFolder);
  // No user folder to go to: the current folder all the same.
  c = ChooseSettingsFolder("/opt/orvanta", "", readOnly);
  EXPECT_EQ(c.folder, "/opt/orvanta");
  EXPECT_FALSE(c.userConfigFolder);
}

TEST(AppFolders, WritableFolders) {
  TempDir dir;
  EXPECT_TRUE(FolderWritable(dir.path()));
  EXPECT_FALSE(FolderWritable(dir.path() + "/missing"));
  dir.write("file", "x");
  EXPECT_FALSE(FolderWritable(dir.file("file")));  // a file is no folder
  const std::string locked = dir.file("locked");
  ASSERT_EQ(::mkdir(locked.c_str(), 0555), 0);
  // Root may write anywhere; others may not write into a 0555 folder.
  EXPECT_EQ(FolderWritable(locked), ::geteuid() == 0);
  ::chmod(locked.c_str(), 0755);
}

TEST(AppFolders, DesktopFoldersCreateTheUserFolderWhenChosen) {
  TempDir home;
  const UserFolders user = UserFoldersFrom(nullptr, nullptr, home.path().c_str());
  auto readOnly = [](const std::string&) { return false; };
  auto writable = [](const std::string&) { return true; };

  AppFolders f = DesktopAppFolders("/usr/bin", user, writable);
  EXPECT_EQ(f.programFolder, "/usr/bin");
  EXPECT_EQ(f.currentFolder, "");
  EXPECT_FALSE(f.userConfigFolder);
  EXPECT_EQ(f.dataFolder, home.path() + "/.local/share/orvanta");
  EXPECT_FALSE(std::filesystem::exists(user.config));

  f = DesktopAppFolders("/usr/bin", user, readOnly);
  EXPECT_EQ(f.currentFolder, home.path() + "/.config/orvanta");
  EXPECT_TRUE(f.userConfigFolder);
  EXPECT_TRUE(std::filesystem::is_directory(f.currentFolder));
  struct stat st;
  ASSERT_EQ(::stat(f.currentFolder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  // The second start finds it.
  f = DesktopAppFolders("/usr/bin", user, readOnly);
  EXPECT_TRUE(f.userConfigFolder);

  // A configuration home that cannot be made (a file in the way): the
  // current folder is kept.
  home.write("blocked", "x");
  const UserFolders blocked = UserFoldersFrom(home.file("blocked").c_str(), nullptr, home.path().c_str());
  f = DesktopAppFolders("/usr/bin", blocked, readOnly);
  EXPECT_EQ(f.currentFolder, "");
  EXPECT_FALSE(f.userConfigFolder);
}

TEST(AppFolders, MakeFoldersCreatesEveryLevel) {
  TempDir dir;
  const std::string deep = dir.path() + "/a/b/c/";
  EXPECT_TRUE(MakeFolders(deep));
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() + "/a/b/c"));
  EXPECT_TRUE(MakeFolders(deep));  // already there
  EXPECT_TRUE(MakeFolders(""));
}

TEST(AppFolders, SettingsFolderLine) {
  EXPECT_EQ(SettingsFolderLine("/home/u/.config/orvanta"), "\n\n설정 파일 위치: /home/u/.config/orvanta");
}

// The user's data folder comes after the four other places.
TEST(EphemerisFiles, UserDataFolderIsTheLastPlace) {
  TempDir program, current, data;
  EphemerisFileLocation found;
  data.write("DE441.jpl", "data");
  ASSERT_TRUE(FindEphemerisFile("DE441.jpl", program.path(), current.path(), found, data.path()));
  EXPECT_EQ(found.path, data.path() + "/DE441.jpl");
  EXPECT_EQ(found.folder, data.path() + "/");
  EXPECT_FALSE(FindEphemerisFile("DE441.jpl", program.path(), current.path(), found));
  EXPECT_FALSE(FindEphemerisFile("DE441.jpl", program.path(), current.path(), found, ""));
  std::filesystem::create_directory(current.path() + "/Eph");
  current.write("Eph/DE441.jpl", "current");
  ASSERT_TRUE(FindEphemerisFile("DE441.jpl", program.path(), current.path(), found, data.path()));
  EXPECT_EQ(found.path, current.path() + "/Eph/DE441.jpl");
}

// The command line finds a JPL file in $XDG_DATA_HOME/orvanta (the DE405 file
// of the build under the name DE441.jpl).
TEST(CliFolders, JplFileInTheUserDataFolder) {
  if (!std::filesystem::exists(ORVANTA_DE405_PATH)) GTEST_SKIP() << "no DE405 file in this build";
  TempDir work, dataHome;
  std::filesystem::create_directory(dataHome.path() + "/orvanta");
  std::filesystem::create_symlink(ORVANTA_DE405_PATH, dataHome.path() + "/orvanta/DE441.jpl");
  // Not there without the variable pointing at it.
  const char* old = std::getenv("XDG_DATA_HOME");
  ::setenv("XDG_DATA_HOME", work.path().c_str(), 1);
  EXPECT_EQ(RunCli("config --ephemeris de441", work.path()).status, 1);
  const std::string saved = old ? old : "";
  ::setenv("XDG_DATA_HOME", dataHome.path().c_str(), 1);
  const auto r = RunCli("config --ephemeris de441", work.path());
  if (old) ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
  else ::unsetenv("XDG_DATA_HOME");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("EphemerisCode=9\n"), std::string::npos) << r.out;
}

// Started in a folder it may not write to, the command line reads the
// settings of the user's configuration folder. The folder is one removed
// while the program stands in it: no one, root included, can create a file
// there.
TEST(CliFolders, ReadsTheUserConfigurationFolderWhenTheCurrentOneIsReadOnly) {
  TempDir parent, configHome;
  const std::string work = parent.file("work");
  ASSERT_EQ(::mkdir(work.c_str(), 0755), 0);
  std::filesystem::create_directory(configHome.path() + "/orvanta");
  // The first line of Orvanta.cfg: ephemeris 3, then the precession model.
  std::ofstream(configHome.path() + "/orvanta/Orvanta.cfg") << "3,0\t1;3/9,\n1,\t2;1/2,\n";
  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = old ? old : "";
  ::setenv("XDG_CONFIG_HOME", configHome.path().c_str(), 1);
  // Standard error goes elsewhere: the folder takes no file.
  auto run = [&](const std::string& args) {
    std::string out;
    const std::string cmd = "cd " + testing::ShellQuote(work) + " && rmdir " + testing::ShellQuote(work) +
                            " && " + testing::ShellQuote(ORVANTA_CLI_PATH) + " " + args + " 2>/dev/null";
    if (FILE* pipe = ::popen(cmd.c_str(), "r")) {
      char buffer[4096];
      size_t n;
      while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
      ::pclose(pipe);
    }
    ::mkdir(work.c_str(), 0755);
    return out;
  };
  const std::string config = run("config");
  const std::string about = run("about");
  if (old) ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_NE(config.find("PrecessionModel=1\n"), std::string::npos) << config;
  EXPECT_NE(about.find("설정 파일 위치: " + configHome.path() + "/orvanta\n"), std::string::npos) << about;
}

TEST(AppFolders, RemovedFolderIsNotWritable) {
  TempDir dir;
  const std::string gone = dir.file("gone");
  ASSERT_EQ(::mkdir(gone.c_str(), 0755), 0);
  EXPECT_TRUE(FolderWritable(gone));
  dir.write("plain", "x");
  EXPECT_FALSE(FolderWritable(dir.file("plain")));
  ASSERT_EQ(::rmdir(gone.c_str()), 0);
  EXPECT_FALSE(FolderWritable(gone));
}

// Settings left in a folder the program may not write to are read all the
// same; they are saved to the user's folder, whose file wins from then on.
TEST(AppFolders, SettingsInAReadOnlyFolderAreRead) {
  TempDir current, user;
  auto readOnly = [](const std::string&) { return false; };
  const SettingsFolderChoice choice = ChooseSettingsFolder(current.path(), user.path(), readOnly);
  ASSERT_TRUE(choice.userConfigFolder);
  // Nothing anywhere: the user's file (to be made).
  EXPECT_EQ(SettingsFileToRead(choice, current.path(), "Orvanta.cfg"), user.file("Orvanta.cfg"));
  current.write("Orvanta.cfg", "3,0\n");
  EXPECT_EQ(SettingsFileToRead(choice, current.path(), "Orvanta.cfg"), current.file("Orvanta.cfg"));
  EXPECT_EQ(SettingsSourceLine(current.file("Orvanta.cfg"), user.file("Orvanta.cfg")),
            "\n설정을 읽은 파일: " + current.file("Orvanta.cfg"));
  user.write("Orvanta.cfg", "3,0\n");
  EXPECT_EQ(SettingsFileToRead(choice, current.path(), "Orvanta.cfg"), user.file("Orvanta.cfg"));
  EXPECT_EQ(SettingsSourceLine(user.file("Orvanta.cfg"), user.file("Orvanta.cfg")), "");
  // A writable current folder keeps its own file, whatever the user's holds.
  auto writable = [](const std::string&) { return true; };
  const SettingsFolderChoice here = ChooseSettingsFolder(current.path(), user.path(), writable);
  EXPECT_EQ(SettingsFileToRead(here, current.path(), "Orvanta.cfg"), current.file("Orvanta.cfg"));
}

}  // namespace
}  // namespace orv
