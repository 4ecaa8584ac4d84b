#include "app/core/files/text_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <iconv.h>
#include <thread>

namespace orv {
namespace {

constexpr const char* kUtf8ByteOrderMark = "\xEF\xBB\xBF";
// How often a writer looks again for a lock another one holds.
constexpr int kLockRetryMs = 20;

// Converts `in` between two encodings with iconv; false at the first byte
// sequence that has no counterpart (nothing is replaced or guessed).
bool ConvertExactly(const char* to, const char* from, const std::string& in, std::string& out) {
  out.clear();
  if (in.empty()) return true;
  iconv_t cd = ::iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  char* inPtr = const_cast<char*>(in.data());
  std::size_t inLeft = in.size();
  bool ok = true;
  while (inLeft > 0) {
    char buffer[1024];
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t r = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    out.append(buffer, sizeof buffer - outLeft);
    if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
      ok = false;
      break;
    }
  }
  ::iconv_close(cd);
  return ok;
}

// UTF-8 (already checked) as UTF-16 code units in the given byte order.
std::string Utf16Of(const std::string& utf8, bool bigEndian) {
  std::string out;
  auto unit = [&](unsigned u) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  };
  const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
  for (std::size_t i = 0; i < utf8.size();) {
    unsigned cp = s[i];
    std::size_t len = 1;
    if (cp >= 0xF0) {
      len = 4;
      cp &= 0x07;
    } else if (cp >= 0xE0) {
      len = 3;
      cp &= 0x0F;
    } else if (cp >= 0xC0) {
      len = 2;
      cp &= 0x1F;
    }
    for (std::size_t k = 1; k < len; ++k) cp = (cp << 6) | (s[i + k] & 0x3F);
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      unit(0xD800 + (cp >> 10));
      unit(0xDC00 + (cp & 0x3FF));
    } else {
      unit(cp);
    }
  }
  return out;
}

std::string DecodeLine(const std::string& bytes, const TextFileFormat& format) {
  switch (format.encoding) {
    case TextEncoding::Utf8: return bytes;
    case TextEncoding::Utf16: return DecodeUtf16Text(bytes, format.bigEndian);
    case TextEncoding::Cp949: break;
  }
  return DecodeCp949Text(bytes);
}

// Splits `body` (after the byte-order mark) into lines at LF, CRLF and CR.
// In UTF-16 the line ends are code units; in the byte encodings they are
// bytes, which a CP949 character never contains (its second byte is 0x41 or
// above).
void SplitLines(const std::string& body, TextFile& file) {
  const bool utf16 = file.format.encoding == TextEncoding::Utf16;
  const std::size_t unitBytes = utf16 ? 2 : 1;
  auto unitAt = [&](std::size_t i) -> unsigned {
    if (!utf16) return static_cast<unsigned char>(body[i]);
    const auto a = static_cast<unsigned char>(body[i]), b = static_cast<unsigned char>(body[i + 1]);
    return file.format.bigEndian ? (unsigned{a} << 8 | b) : (unsigned{b} << 8 | a);
  };
  bool firstEnd = true;
  std::size_t start = 0, i = 0;
  const std::size_t n = body.size() - body.size() % unitBytes;  // an odd last byte stays in the last line
  while (i < n) {
    const unsigned u = unitAt(i);
    if (u != '\n' && u != '\r') {
      i += unitBytes;
      continue;
    }
    std::size_t endBytes = unitBytes;
    if (u == '\r' && i + unitBytes < n && unitAt(i + unitBytes) == '\n') endBytes = 2 * unitBytes;
    TextFileLine line;
    line.bytes = body.substr(start, i - start);
    line.end = body.substr(i, endBytes);
    line.text = DecodeLine(line.bytes, file.format);
    if (firstEnd) {
      file.format.lineEnd = endBytes == 2 * unitBytes ? "\r\n" : (u == '\r' ? "\r" : "\n");
      firstEnd = false;
    }
    file.lines.push_back(std::move(line));
    i += endBytes;
    start = i;
  }
  if (start < body.size()) {
    TextFileLine line;
    line.bytes = body.substr(start);
    line.text = DecodeLine(line.bytes, file.format);
    file.lines.push_back(std::move(line));
  }
}

}  // namespace

TextFile ParseTextFile(const std::string& bytes) {
  TextFile file;
  std::size_t bodyStart = 0;
  if (IsValidUtf8(bytes)) {
    file.format.encoding = TextEncoding::Utf8;
    if (bytes.compare(0, 3, kUtf8ByteOrderMark) == 0) {
      file.format.byteOrderMark = true;
      bodyStart = 3;
    }
  } else if (bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'))) {
    file.format.encoding = TextEncoding::Utf16;
    file.format.bigEndian = bytes[0] == '\xFE';
    file.format.byteOrderMark = true;
    bodyStart = 2;
  } else {
    file.format.encoding = TextEncoding::Cp949;
  }
  SplitLines(bytes.substr(bodyStart), file);
  return file;
}

ReadResult ReadTextFile(const std::string& path, unsigned long long maxBytes, TextFile& file, std::string* error) {
  file = TextFile{};
  std::string bytes;
  const ReadResult read = ReadRegularFile(path, bytes, error, maxBytes);
  if (read == ReadResult::Ok) file = ParseTextFile(bytes);
  return read;
}

bool EncodeText(const std::string& utf8, const TextFileFormat& format, std::string& bytes) {
  bytes.clear();
  if (!IsValidUtf8(utf8)) return false;
  switch (format.encoding) {
    case TextEncoding::Utf8: bytes = utf8; return true;
    case TextEncoding::Utf16: bytes = Utf16Of(utf8, format.bigEndian); return true;
    case TextEncoding::Cp949: break;
  }
  return ConvertExactly("CP949", "UTF-8", utf8, bytes);
}

TextFileLine NewTextLine(const std::string& utf8) {
  TextFileLine line;
  line.text = utf8;
  line.changed = true;
  return line;
}

bool SerializeTextFile(const TextFile& file, std::string& bytes, std::string* error) {
  bytes.clear();
  const TextFileFormat& format = file.format;
  if (format.byteOrderMark) {
    if (format.encoding == TextEncoding::Utf8) bytes += kUtf8ByteOrderMark;
    if (format.encoding == TextEncoding::Utf16) bytes += format.bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  }
  std::string lineEnd;
  EncodeText(format.lineEnd, format, lineEnd);
  for (std::size_t i = 0; i < file.lines.size(); ++i) {
    const TextFileLine& line = file.lines[i];
    const bool last = i + 1 == file.lines.size();
    if (line.changed) {
      std::string encoded;
      if (line.text.find_first_of("\r\n") != std::string::npos || !EncodeText(line.text, format, encoded)) {
        if (error)
          *error = "\"" + line.text + "\"" +
                   (format.encoding == TextEncoding::Cp949 ? "에 CP949로 저장할 수 없는 글자가 있습니다"
                                                           : "을(를) 저장할 수 없습니다");
        return false;
      }
      bytes += encoded + (line.end.empty() ? lineEnd : line.end);
    } else {
      bytes += line.bytes + (line.end.empty() && !last ? lineEnd : line.end);
    }
  }
  return true;
}

FileLock::~FileLock() { Release(); }

void FileLock::Release() {
  if (fd_ >= 0) ::close(fd_);  // closing the last descriptor drops the lock
  fd_ = -1;
}

bool FileLock::Acquire(const std::string& path, int waitMs, std::string* error) {
  Release();
  const std::string lockPath = path + ".lock";
  const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
  if (fd < 0) {
    if (error) *error = lockPath + "을(를) 만들 수 없습니다 (" + std::strerror(errno) + ")";
    return false;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    if (error) *error = NotRegularFileText(lockPath);
    return false;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) break;
    const int e = errno;
    if (e == EINTR) continue;
    if (e != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
      ::close(fd);
      if (error)
        *error = e == EWOULDBLOCK ? lockPath + ": 다른 프로그램이 이 파일을 고치고 있어 기다리다 그만두었습니다"
                                  : lockPath + ": " + std::strerror(e);
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(kLockRetryMs));
  }
  fd_ = fd;
  return true;
}

FileStamp StampOf(const std::string& path) {
  FileStamp stamp;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return stamp;
  constexpr long long kNsPerSecond = 1000000000LL;
  stamp.exists = true;
  stamp.mode = static_cast<unsigned>(st.st_mode);
  stamp.device = static_cast<unsigned long long>(st.st_dev);
  stamp.inode = static_cast<unsigned long long>(st.st_ino);
  stamp.size = static_cast<unsigned long long>(st.st_size);
  stamp.modifiedNs = static_cast<long long>(st.st_mtim.tv_sec) * kNsPerSecond + st.st_mtim.tv_nsec;
  stamp.changedNs = static_cast<long long>(st.st_ctim.tv_sec) * kNsPerSecond + st.st_ctim.tv_nsec;
  return stamp;
}

}  // namespace orv
