// File helpers shared by the application: safe replacement of text files and
// the folders the program reads from.
#pragma once

#include <string>

namespace orv {

// Writes `contents` over `path` so that a failure at any point leaves the old
// file intact (see AtomicFile). Returns false on failure, with the reason
// (the system's message) in `error` when given.
bool WriteFileAtomically(const std::string& path, const std::string& contents, std::string* error = nullptr);

// A replacement of one file written in pieces. Create makes a new file beside
// the target, exclusively (mkstemp, "<name>.tmp<pid>-XXXXXX"); Commit flushes
// it to the disk (fsync), gives it the target's permission bits and renames
// it over the target. A symbolic link is followed: the file it points to is
// replaced and the link kept. Every failure, and destruction without Commit,
// removes the temporary file; a target that exists but is not a regular file
// (a folder, a FIFO, a device) is refused. Create also removes what killed
// runs left beside the target (temporary files of processes no longer
// running).
class AtomicFile {
 public:
  AtomicFile() = default;
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;
  ~AtomicFile();

  bool Create(const std::string& path);
  bool Write(const std::string& text);
  bool Commit();
  // Drops the temporary file; the target is left as it was.
  void Abandon();

  bool IsOpen() const { return fd_ >= 0; }
  // The system's message for the first failure ("" while none).
  const std::string& Error() const { return error_; }
  // The file replaced on Commit (the end of a symbolic link).
  const std::string& TargetPath() const { return target_; }

 private:
  bool Fail(const std::string& what, int errorNumber);

  int fd_ = -1;
  std::string target_;
  std::string temp_;
  std::string error_;
};

// What reading a file gave.
enum class ReadResult {
  Ok,
  Missing,     // no such file (or no access to it)
  NotRegular,  // a folder, a FIFO, a device or a socket: never opened for reading
  Failed,      // opened but not read to the end
};

// Reads a whole regular file. Other kinds of file are refused without being
// opened for reading (a FIFO would block until a writer came). The reason of
// a failure is in `error` when given.
ReadResult ReadRegularFile(const std::string& path, std::string& contents, std::string* error = nullptr);

// Reads a whole regular file; false when it cannot be opened or is not one.
bool ReadWholeFile(const std::string& path, std::string& contents);

// Opens a regular file for reading without blocking on a FIFO or a device:
// a file descriptor, or -1 with errno set (EINVAL for a file that is not
// regular).
int OpenRegularFile(const std::string& path);

// "<path>은(는) 일반 파일이 아니어서 읽지 않습니다" for a file of the wrong kind.
std::string NotRegularFileText(const std::string& path);

// Joins a folder and a file name ("" folder means the current folder).
std::string JoinPath(const std::string& folder, const std::string& name);

// Whether `path` is a regular file (after following symbolic links).
bool FileExists(const std::string& path);

// Whether something of any kind is at `path` (after following symbolic
// links: a dangling link is nothing).
bool PathExists(const std::string& path);

}  // namespace orv
