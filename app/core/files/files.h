// File helpers shared by the application: safe replacement of text files and
// the folders the program reads from.
#pragma once

#include <string>

namespace orv {

// Writes `contents` to a temporary file beside `path` and renames it over
// `path`, so a failure leaves the old file intact. Returns false on failure.
bool WriteFileAtomically(const std::string& path, const std::string& contents);

// Reads a whole file; false when it cannot be opened.
bool ReadWholeFile(const std::string& path, std::string& contents);

// Joins a folder and a file name ("" folder means the current folder).
std::string JoinPath(const std::string& folder, const std::string& name);

bool FileExists(const std::string& path);

}  // namespace orv
