#include "app/core/files/app_folders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace orv {
namespace {

constexpr const char* kProgramSubfolder = "orvanta";
// Defaults of the XDG base directories below $HOME.
constexpr const char* kDefaultConfigHome = ".config";
constexpr const char* kDefaultDataHome = ".local/share";
// New user folders are private, as the XDG base directory rules ask.
constexpr mode_t kNewFolderMode = 0700;

bool IsAbsolute(const char* path) { return path != nullptr && path[0] == '/'; }

std::string Join(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

// "<variable>/orvanta" for an absolute variable, else "$HOME/<fallback>/orvanta",
// else "". Relative values are ignored, as the XDG rules say.
std::string UserFolder(const char* variable, const char* home, const char* fallback) {
  if (IsAbsolute(variable)) return Join(variable, kProgramSubfolder);
  if (home == nullptr || home[0] == '\0') return "";
  return Join(Join(home, fallback), kProgramSubfolder);
}

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

UserFolders UserFoldersFrom(const char* xdgConfigHome, const char* xdgDataHome, const char* home) {
  return {UserFolder(xdgConfigHome, home, kDefaultConfigHome), UserFolder(xdgDataHome, home, kDefaultDataHome)};
}

UserFolders UserFoldersFromEnvironment() {
  return UserFoldersFrom(std::getenv("XDG_CONFIG_HOME"), std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

bool FolderWritable(const std::string& folder) {
  const std::string path = folder.empty() ? "." : folder;
  if (!IsFolder(path)) return false;
  const int fd = ::open(path.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (fd >= 0) {
    ::close(fd);
    return true;
  }
  // File systems without unnamed files answer one of these.
  if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) return ::access(path.c_str(), W_OK | X_OK) == 0;
  return false;
}

SettingsFolderChoice ChooseSettingsFolder(const std::string& currentFolder, const std::string& userConfigFolder,
                                          const FolderPredicate& writable) {
  if (userConfigFolder.empty() || writable(currentFolder)) return {currentFolder, false};
  return {userConfigFolder, true};
}

std::string SettingsFileToRead(const SettingsFolderChoice& choice, const std::string& currentFolder,
                               const std::string& name) {
  const std::string chosen = choice.folder.empty() ? name : Join(choice.folder, name);
  if (!choice.userConfigFolder || IsRegularFile(chosen)) return chosen;
  const std::string left = currentFolder.empty() ? name : Join(currentFolder, name);
  return IsRegularFile(left) && ::access(left.c_str(), R_OK) == 0 ? left : chosen;
}

std::string SettingsSourceLine(const std::string& readPath, const std::string& savePath) {
  return readPath == savePath ? std::string() : "\n설정을 읽은 파일: " + readPath;
}

bool MakeFolders(const std::string& folder) {
  if (folder.empty()) return true;
  if (IsFolder(folder)) return true;
  const size_t slash = folder.find_last_of('/', folder.size() > 1 ? folder.size() - 2 : 0);
  if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash))) return false;
  if (::mkdir(folder.c_str(), kNewFolderMode) == 0) return true;
  return errno == EEXIST && IsFolder(folder);
}

AppFolders DesktopAppFolders(const std::string& programFolder, const UserFolders& user,
                             const FolderPredicate& writable) {
  AppFolders folders;
  folders.programFolder = programFolder;
  folders.dataFolder = user.data;
  const SettingsFolderChoice choice = ChooseSettingsFolder("", user.config, writable);
  if (choice.userConfigFolder && MakeFolders(choice.folder)) {
    folders.currentFolder = choice.folder;
    folders.userConfigFolder = true;
  }
  return folders;
}

std::string SettingsFolderLine(const std::string& folder) { return "\n\n설정 파일 위치: " + folder; }

}  // namespace orv
