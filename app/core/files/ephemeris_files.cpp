#include "app/core/files/ephemeris_files.h"

#include <unistd.h>

#include <cstdio>
#include <vector>

#include "app/core/files/files.h"
#include "time/settings.h"

namespace orv {
namespace {

constexpr const char* kEphemerisSubFolder = "Eph/";

std::string WithSeparator(const std::string& folder) {
  if (folder.empty() || folder.back() == '/') return folder;
  return folder + "/";
}

bool OpensForReading(const std::string& path) {
  const int fd = OpenRegularFile(path);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

}  // namespace

std::string EphemerisFileName(int ephemerisCode) {
  const EphemerisCodeInfo& row = EphemerisCodeRow(ephemerisCode);
  return row.deNumber == 0 ? std::string() : std::string(row.fileStem) + ".jpl";
}

std::vector<std::string> EphemerisSearchFolders(const std::string& programFolder, const std::string& currentFolder,
                                                const std::string& userDataFolder) {
  const std::string program = WithSeparator(programFolder);
  const std::string current = WithSeparator(currentFolder);
  std::vector<std::string> folders = {program, program + kEphemerisSubFolder, current,
                                      current + kEphemerisSubFolder};
  if (!userDataFolder.empty()) folders.push_back(WithSeparator(userDataFolder));
  return folders;
}

bool FindEphemerisFile(const std::string& fileName, const std::string& programFolder,
                       const std::string& currentFolder, EphemerisFileLocation& found,
                       const std::string& userDataFolder) {
  if (fileName.empty()) return false;
  for (const std::string& folder : EphemerisSearchFolders(programFolder, currentFolder, userDataFolder)) {
    const std::string path = folder + fileName;
    if (OpensForReading(path)) {
      found = {folder, path};
      return true;
    }
  }
  return false;
}

}  // namespace orv
