// The user's text files (the memo file, the settings file, the place file)
// read with one set of checks and written back in their own form.
//
// Reading: only a regular file (a FIFO, a device or a folder is refused
// without being opened for reading), never one larger than the caller's
// limit; the encodings UTF-8 with or without a byte-order mark, UTF-16 with a
// byte-order mark (either byte order) and CP949; the line ends LF, CRLF and
// CR, in any mix. Every line keeps its bytes and its own line end, so a file
// written back with nothing changed is the same file byte for byte.
//
// Writing: the lines in the file's encoding, byte-order mark and line ends,
// through a safe replacement (AtomicFile), and, for files that several
// programs may change at once, under an advisory lock (FileLock) held across
// the read and the write.
#pragma once

#include <string>
#include <vector>

#include "app/core/files/encoding.h"
#include "app/core/files/files.h"

namespace orv {

// What a save must reproduce of a file's form.
struct TextFileFormat {
  TextEncoding encoding = TextEncoding::Utf8;
  bool bigEndian = false;      // UTF-16 only
  bool byteOrderMark = false;  // always true for UTF-16
  std::string lineEnd = "\n";  // for new lines: the file's first line end ("\n", "\r\n" or "\r")
};

struct TextFileLine {
  std::string text;   // UTF-8, without its line end
  std::string bytes;  // the line as it stands in the file, in its encoding, without the line end
  std::string end;    // its line end as it stands in the file ("" for a last line without one)
  bool changed = false;  // written from `text` (a line added or edited) instead of `bytes`
};

struct TextFile {
  TextFileFormat format;
  std::vector<TextFileLine> lines;
};

// Splits and decodes the bytes of a text file (encoding detected as
// DecodeFileText does).
TextFile ParseTextFile(const std::string& bytes);

// Reads the regular file at `path`, at most `maxBytes` long (see
// ReadRegularFile for the results and the sentence in `error`).
ReadResult ReadTextFile(const std::string& path, unsigned long long maxBytes, TextFile& file,
                        std::string* error = nullptr);

// `utf8` in the file's encoding, exactly; false when a character has no
// counterpart there (CP949 lacks most of Unicode) or the text is not UTF-8.
bool EncodeText(const std::string& utf8, const TextFileFormat& format, std::string& bytes);

// The bytes of a whole file: the byte-order mark, then every line with its
// own line end. A changed line is encoded from its text and ends with the
// file's line end when it has none of its own; so does an unchanged line
// without one that is no longer the last. False, with the line in `error`,
// when a text cannot be written in the file's encoding or holds a line break.
bool SerializeTextFile(const TextFile& file, std::string& bytes, std::string* error = nullptr);

// A line made from text, to be written in the file's encoding with the
// file's line end.
TextFileLine NewTextLine(const std::string& utf8);

// An advisory lock (flock) on "<path>.lock", a file beside `path` that is
// created when missing and left in place. Every program that changes `path`
// takes it around its read-change-write, so changes made at the same time
// follow one another instead of overwriting one another. The lock goes with
// the object (or the process).
class FileLock {
 public:
  FileLock() = default;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock();

  // Waits up to `waitMs` milliseconds for the lock; false, with a sentence
  // in `error`, when it cannot be had.
  bool Acquire(const std::string& path, int waitMs, std::string* error = nullptr);
  void Release();

 private:
  int fd_ = -1;
};

// How long a writer waits for another one before giving up, in milliseconds:
// far longer than any save takes, short enough that a program that hangs
// holding the lock is reported instead of hanging the next one.
inline constexpr int kFileLockWaitMs = 10000;

// A stamp of what is at a path, taken without opening it: whether something
// is there, its kind, size, identity and change times. Two equal stamps mean
// the file was (as far as the system tells) not changed between them.
struct FileStamp {
  bool exists = false;
  unsigned mode = 0;
  unsigned long long device = 0, inode = 0, size = 0;
  long long modifiedNs = 0, changedNs = 0;
  bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const std::string& path);

}  // namespace orv
