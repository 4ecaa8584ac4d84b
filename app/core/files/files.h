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
// the target, exclusively (mkstemp, "<name>.orvanta-tmp<pid>-XXXXXX"); Commit flushes
// it to the disk (fsync), gives it the target's permission bits and renames
// it over the target. A symbolic link is followed: the file it points to is
// replaced and the link kept. Every failure, and destruction without Commit,
// removes the temporary file; a target that exists but is not a regular file
// (a folder, a FIFO, a device) is refused, and so is an existing file without
// any write permission bit (EACCES). Create also removes what killed runs left
// beside the target: temporary files of exactly that name form whose process
// is no longer running (a user's "out.csv.tmp123" is never touched).
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
  int tracked_ = -1;  // slot of the temporary file for the signal handler
  std::string target_;
  std::string temp_;
  std::string error_;
};

// Makes SIGINT, SIGTERM and SIGHUP remove the temporary files of every
// AtomicFile not yet committed before the process ends as the signal would
// end it. For programs (the command line, the window), called once at start.
void RemoveTemporaryFilesOnSignals();

// What reading a file gave.
enum class ReadResult {
  Ok,
  Missing,     // no such file (or no access to the folder it is in)
  NotRegular,  // a folder, a FIFO, a device or a socket: never opened for reading
  Failed,      // opened but not read to the end
  Unreadable,  // a regular file that could not be opened (its permissions)
  TooLarge,    // larger than the caller's limit: never read
};

// Reads a whole regular file. Other kinds of file are refused without being
// opened for reading (a FIFO would block until a writer came), and so is a
// file larger than `maxBytes` (0: no limit), before anything is read. The
// reason of a failure is in `error` when given; for the refusals the user
// should hear of (NotRegular, Unreadable, TooLarge) it is a whole sentence.
ReadResult ReadRegularFile(const std::string& path, std::string& contents, std::string* error = nullptr,
                           unsigned long long maxBytes = 0);

// The largest file each reader takes, in bytes: far above what the program
// writes or a user types, far below what would take noticeable time or
// memory.
inline constexpr unsigned long long kMaxConfigFileBytes = 64ULL << 10;
inline constexpr unsigned long long kMaxPlaceFileBytes = 1ULL << 20;
inline constexpr unsigned long long kMaxMemoFileBytes = 8ULL << 20;

// "<path>은(는) 너무 커서 읽지 않습니다 (<n>바이트, 최대 <max>바이트)".
std::string TooLargeFileText(const std::string& path, unsigned long long bytes, unsigned long long maxBytes);
// "<path>을(를) 읽을 수 없습니다 (<system's reason>)".
std::string UnreadableFileText(const std::string& path, const std::string& reason);

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
