#include "app/core/files/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace orv {
namespace {

// Links followed before giving up (the kernel's own limit, MAXSYMLINKS).
constexpr int kMaxLinksFollowed = 40;
// Bytes read at a time.
constexpr size_t kReadChunkBytes = 1 << 16;
// Permission bits of a new file before the umask, as fopen gives them.
constexpr mode_t kNewFileMode = 0666;
// The random tail mkstemp fills in.
constexpr const char* kTempPattern = "XXXXXX";
constexpr size_t kTempPatternLength = 6;

std::string SystemMessage(int errorNumber) { return std::strerror(errorNumber); }

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a chain of symbolic links ends at (the path itself when it is
// none or missing); "" for a loop.
std::string FollowLinks(std::string path) {
  for (int i = 0; i < kMaxLinksFollowed; ++i) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::vector<char> buffer(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
    const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
    if (n < 0 || static_cast<size_t>(n) >= buffer.size()) return path;
    const std::string link(buffer.data(), static_cast<size_t>(n));
    path = !link.empty() && link[0] == '/' ? link : JoinPath(FolderOf(path), link);
  }
  return "";
}

// The process's umask, read without changing it (Linux 4.7 and later list
// it in /proc/self/status); else set and restored at once.
mode_t CurrentUmask() {
  if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
    char line[256];
    unsigned mask = 0;
    bool found = false;
    while (!found && std::fgets(line, sizeof line, status)) found = std::sscanf(line, "Umask: %o", &mask) == 1;
    std::fclose(status);
    if (found) return static_cast<mode_t>(mask & 0777);
  }
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return mask;
}

// What a temporary file's name holds after the target's name: this tag, the
// process id, "-" and mkstemp's six characters. A name no user would give a
// file, so the clean-up below never takes one of theirs.
constexpr const char* kTempTag = ".orvanta-tmp";

bool IsMkstempCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Removes "<name>.orvanta-tmp<pid>-XXXXXX" beside `target` whose process is
// gone: what a run killed between creating and renaming its temporary file
// left behind. Nothing else is touched.
void RemoveLeftovers(const std::string& target) {
  const std::string folder = FolderOf(target);
  const std::string prefix = NameOf(target) + kTempTag;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    size_t i = prefix.size();
    long long pid = 0;
    while (i < name.size() && name[i] >= '0' && name[i] <= '9' && pid < (1LL << 40))
      pid = pid * 10 + (name[i++] - '0');
    if (i == prefix.size() || pid <= 0) continue;
    if (i + 1 + kTempPatternLength != name.size() || name[i] != '-') continue;
    bool random = true;
    for (size_t k = i + 1; k < name.size(); ++k) random = random && IsMkstempCharacter(name[k]);
    if (!random || pid == ::getpid()) continue;
    if (pid > 0x7fffffff || (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)) {
      const std::string path = JoinPath(folder, name);
      struct stat st;
      if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path.c_str());
    }
  }
  ::closedir(dir);
}

// The temporary files being written, for the handler of SIGINT and SIGTERM.
// A signal handler can reach no object, so this table is the one piece of
// state kept outside one: fixed in size, touched only with atomic flags and
// unlink (async-signal-safe).
constexpr int kTrackedTempFiles = 32;
constexpr size_t kTrackedPathBytes = 4096;
struct TrackedTempFile {
  std::atomic<int> state{0};  // 0 free, 1 being filled, 2 live
  char path[kTrackedPathBytes];
};
TrackedTempFile g_trackedTempFiles[kTrackedTempFiles];

int TrackTempFile(const std::string& path) {
  if (path.size() >= kTrackedPathBytes) return -1;
  for (int i = 0; i < kTrackedTempFiles; ++i) {
    int expected = 0;
    if (!g_trackedTempFiles[i].state.compare_exchange_strong(expected, 1)) continue;
    std::memcpy(g_trackedTempFiles[i].path, path.c_str(), path.size() + 1);
    g_trackedTempFiles[i].state.store(2);
    return i;
  }
  return -1;  // more at once than the table holds: the next run's clean-up takes it
}

void UntrackTempFile(int slot) {
  if (slot >= 0 && slot < kTrackedTempFiles) g_trackedTempFiles[slot].state.store(0);
}

extern "C" void RemoveTempFilesAndDie(int signalNumber) {
  for (TrackedTempFile& tracked : g_trackedTempFiles)
    if (tracked.state.load() == 2) ::unlink(tracked.path);
  ::signal(signalNumber, SIG_DFL);
  ::raise(signalNumber);
}

}  // namespace

AtomicFile::~AtomicFile() { Abandon(); }

bool AtomicFile::Fail(const std::string& what, int errorNumber) {
  if (error_.empty()) error_ = what + ": " + SystemMessage(errorNumber);
  Abandon();
  errno = errorNumber;  // for callers that print strerror(errno)
  return false;
}

void AtomicFile::Abandon() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
  UntrackTempFile(tracked_);
  tracked_ = -1;
}

bool AtomicFile::Create(const std::string& path) {
  Abandon();
  error_.clear();
  if (path.empty()) return Fail("(empty file name)", ENOENT);
  target_ = FollowLinks(path);
  if (target_.empty()) return Fail(path, ELOOP);
  struct stat st;
  if (::stat(target_.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
    return Fail(target_, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
  // An existing file that nobody may write (a read-only output a user kept)
  // is not replaced behind their back.
  if (::stat(target_.c_str(), &st) == 0 && (st.st_mode & 0222) == 0) {
    error_ = target_ + ": 읽기 전용 파일이어서 바꾸지 않습니다";
    return Fail(target_, EACCES);
  }
  RemoveLeftovers(target_);
  std::string name = target_ + kTempTag + std::to_string(::getpid()) + "-" + kTempPattern;
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return Fail(target_, errno);
  fd_ = fd;
  temp_ = name;
  tracked_ = TrackTempFile(temp_);
  return true;
}

bool AtomicFile::Write(const std::string& text) {
  if (fd_ < 0) return false;
  const char* p = text.data();
  size_t left = text.size();
  while (left > 0) {
    const ssize_t n = ::write(fd_, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail(target_, errno);
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

bool AtomicFile::Commit() {
  if (fd_ < 0) return false;
  // The target's permission bits; a new file gets those fopen would give.
  struct stat st;
  const mode_t mode = ::stat(target_.c_str(), &st) == 0 ? (st.st_mode & 07777) : (kNewFileMode & ~CurrentUmask());
  if (::fchmod(fd_, mode) != 0) return Fail(target_, errno);
  if (::fsync(fd_) != 0) return Fail(target_, errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return Fail(target_, errno);
  if (::rename(temp_.c_str(), target_.c_str()) != 0) return Fail(target_, errno);
  temp_.clear();
  UntrackTempFile(tracked_);
  tracked_ = -1;
  // The rename itself reaches the disk with the folder's entry.
  const int folder = ::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return true;
}

void RemoveTemporaryFilesOnSignals() {
  for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction action {};
    action.sa_handler = RemoveTempFilesAndDie;
    sigemptyset(&action.sa_mask);
    struct sigaction previous {};
    // A signal the caller's parent set to be ignored stays ignored.
    if (::sigaction(signalNumber, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
    ::sigaction(signalNumber, &action, nullptr);
  }
}

bool WriteFileAtomically(const std::string& path, const std::string& contents, std::string* error) {
  AtomicFile file;
  const bool ok = file.Create(path) && file.Write(contents) && file.Commit();
  if (error) *error = file.Error();
  return ok;
}

int OpenRegularFile(const std::string& path) {
  // O_NONBLOCK: opening a FIFO for reading would wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return -1;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    errno = EINVAL;
    return -1;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

ReadResult ReadRegularFile(const std::string& path, std::string& contents, std::string* error,
                           unsigned long long maxBytes) {
  contents.clear();
  if (error) error->clear();
  // Looked at before opening: a device may act on open alone.
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    if (error) *error = path + ": " + SystemMessage(errno);
    return ReadResult::Missing;
  }
  if (!S_ISREG(st.st_mode)) {
    if (error) *error = NotRegularFileText(path);
    return ReadResult::NotRegular;
  }
  const auto size = static_cast<unsigned long long>(st.st_size);
  if (maxBytes > 0 && size > maxBytes) {
    if (error) *error = TooLargeFileText(path, size, maxBytes);
    return ReadResult::TooLarge;
  }
  const int fd = OpenRegularFile(path);
  if (fd < 0) {
    const int e = errno;
    if (e == EINVAL) {
      if (error) *error = NotRegularFileText(path);
      return ReadResult::NotRegular;
    }
    if (error) *error = UnreadableFileText(path, SystemMessage(e));
    return e == ENOENT ? ReadResult::Missing : ReadResult::Unreadable;
  }
  std::vector<char> buffer(kReadChunkBytes);
  for (;;) {
    const ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      if (error) *error = path + ": " + SystemMessage(errno);
      ::close(fd);
      return ReadResult::Failed;
    }
    contents.append(buffer.data(), static_cast<size_t>(n));
    // A file that grew after the look at its size is refused all the same.
    if (maxBytes > 0 && contents.size() > maxBytes) {
      if (error) *error = TooLargeFileText(path, contents.size(), maxBytes);
      ::close(fd);
      contents.clear();
      return ReadResult::TooLarge;
    }
  }
  ::close(fd);
  return ReadResult::Ok;
}

std::string TooLargeFileText(const std::string& path, unsigned long long bytes, unsigned long long maxBytes) {
  return path + "은(는) 너무 커서 읽지 않습니다 (" + std::to_string(bytes) + "바이트, 최대 " +
         std::to_string(maxBytes) + "바이트)";
}

std::string UnreadableFileText(const std::string& path, const std::string& reason) {
  return path + "을(를) 읽을 수 없습니다 (" + reason + ")";
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
  return ReadRegularFile(path, contents) == ReadResult::Ok;
}

std::string NotRegularFileText(const std::string& path) { return path + "은(는) 일반 파일이 아니어서 읽지 않습니다"; }

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder == ".") return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool PathExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

}  // namespace orv
