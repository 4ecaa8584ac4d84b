#include "app/core/files/ephemeris_files.h"

#include <unistd.h>

#include <cstdio>
#include <vector>

#include "app/core/files/files.h"

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
  switch (ephemerisCode) {
    case 6: return "DE406.jpl";
    case 7: return "DE422.jpl";
    case 8: return "DE431.jpl";
    case 9: return "DE441.jpl";
    default: return "";
  }
}

bool FindEphemerisFile(const std::string& fileName, const std::string& programFolder,
                       const std::string& currentFolder, EphemerisFileLocation& found,
                       const std::string& userDataFolder) {
  if (fileName.empty()) return false;
  const std::string program = WithSeparator(programFolder);
  const std::string current = WithSeparator(currentFolder);
  std::vector<std::string> folders = {program, program + kEphemerisSubFolder, current,
                                      current + kEphemerisSubFolder};
  if (!userDataFolder.empty()) folders.push_back(WithSeparator(userDataFolder));
  for (const std::string& folder : folders) {
    const std::string path = folder + fileName;
    if (OpensForReading(path)) {
      found = {folder, path};
      return true;
    }
  }
  return false;
}

}  // namespace orv
