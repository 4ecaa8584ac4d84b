// Where the program keeps its files. Run from a folder it may write to (a
// build or an unpacked archive), it keeps Orvanta.cfg, "비망일.txt" and
// "지역경위고도.txt" in the current folder. Installed and started from a folder
// it cannot write to, it keeps them in the user's configuration folder
// ($XDG_CONFIG_HOME/orvanta, by default ~/.config/orvanta) and looks for JPL
// files also in the user's data folder ($XDG_DATA_HOME/orvanta, by default
// ~/.local/share/orvanta).
#pragma once

#include <functional>
#include <string>
#include <utility>

namespace orv {

// The folders of one run. Every path may be "" (the process's current folder)
// except dataFolder, where "" means none.
struct AppFolders {
  AppFolders() = default;
  AppFolders(std::string program, std::string current)
      : programFolder(std::move(program)), currentFolder(std::move(current)) {}

  std::string programFolder;  // the program's own folder: the ephemeris files ("Eph/" below it)
  std::string currentFolder;  // Orvanta.cfg, the memo, place and help files
  std::string dataFolder;     // a further folder for the ephemeris files ("" = none)
  bool userConfigFolder = false;  // currentFolder is the user's configuration folder
};

// The user's folders of this program: "<config home>/orvanta" and
// "<data home>/orvanta". The homes are $XDG_CONFIG_HOME and $XDG_DATA_HOME when
// they are absolute paths, else "$HOME/.config" and "$HOME/.local/share".
// Empty when neither an absolute variable nor HOME is there.
struct UserFolders {
  std::string config;
  std::string data;
};
UserFolders UserFoldersFrom(const char* xdgConfigHome, const char* xdgDataHome, const char* home);
UserFolders UserFoldersFromEnvironment();

// Whether the process may create files in `folder` ("" = the current folder):
// an unnamed file is made there and dropped (O_TMPFILE), so a read-only
// mount, a removed folder and missing permissions all answer false; where
// the file system cannot make unnamed files, the permissions decide.
bool FolderWritable(const std::string& folder);
using FolderPredicate = std::function<bool(const std::string& folder)>;

// The folder of the settings, memo and place files: `currentFolder` when it is
// writable (or when there is no user folder), else `userConfigFolder`.
struct SettingsFolderChoice {
  std::string folder;
  bool userConfigFolder = false;
};
SettingsFolderChoice ChooseSettingsFolder(const std::string& currentFolder, const std::string& userConfigFolder,
                                          const FolderPredicate& writable = FolderWritable);

// The settings file `name` to read for a choice made from `currentFolder`:
// the one of the chosen folder; when the settings moved to the user's
// configuration folder (the current one takes no file) and that holds none
// yet, the readable one left in the current folder, so that its settings are
// used, and saved to the user's folder from then on.
std::string SettingsFileToRead(const SettingsFolderChoice& choice, const std::string& currentFolder,
                               const std::string& name);

// "\n설정을 읽은 파일: <path>" when the settings were read from another file
// than the one they are saved to, else "".
std::string SettingsSourceLine(const std::string& readPath, const std::string& savePath);

// Creates `folder` and the folders above it that are missing (mode 0700 for
// new ones, as for the user's configuration). True when it exists afterwards.
bool MakeFolders(const std::string& folder);

// The folders of the desktop program started from the current folder: the
// settings folder chosen as above, the user's configuration folder created
// when it is chosen (the current folder is kept when that fails), and the
// user's data folder for the ephemeris files.
AppFolders DesktopAppFolders(const std::string& programFolder, const UserFolders& user,
                             const FolderPredicate& writable = FolderWritable);

// The line the about text ends with when the settings live in the user's
// configuration folder: "\n\n설정 파일 위치: <folder>".
std::string SettingsFolderLine(const std::string& folder);

}  // namespace orv
