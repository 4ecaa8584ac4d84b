// Where the binary JPL ephemeris files are looked for.
#pragma once

#include <string>
#include <vector>

namespace orv {

// File name of the binary ephemeris of an ephemeris code: "DE431.jpl",
// "DE441.jpl"; "" for PLAN404 (and any other code).
std::string EphemerisFileName(int ephemerisCode);

// A file found by FindEphemerisFile: the folder it is in (with a trailing
// separator, "" for the current folder) and the full path.
struct EphemerisFileLocation {
  std::string folder;
  std::string path;
};

// The folders FindEphemerisFile looks in, in order (each with a trailing
// separator; "" stands for the process's working folder).
std::vector<std::string> EphemerisSearchFolders(const std::string& programFolder, const std::string& currentFolder,
                                                const std::string& userDataFolder = "");

// Looks for `fileName` in the program's folder, then its "Eph/" sub-folder,
// then the current folder ("" = the process's working folder), then its
// "Eph/", then the user's data folder (app_folders.h; "" = none). The first
// file that opens for binary reading wins; false when none.
bool FindEphemerisFile(const std::string& fileName, const std::string& programFolder,
                       const std::string& currentFolder, EphemerisFileLocation& found,
                       const std::string& userDataFolder = "");

}  // namespace orv
