// The memo file "비망일.txt": its one reader and its one writer. The month
// view, the anniversary manager, the window's file watcher and every command
// (memo, upcoming, print, ics) read it here, with the same checks and the
// same rows; every change goes through ChangeMemoFile.
//
// Reading (LoadMemoDocument): only a regular file of at most
// kMaxMemoFileBytes, in UTF-8 (with or without a byte-order mark), UTF-16 with
// a byte-order mark or CP949, with LF, CRLF or CR line ends
// (app/core/files/text_file.h); the rows by the rules of ReadMemoFile
// (app/core/files/memo.h). Every line is kept as it was (comments, headings,
// rows skipped, lines past the end of the table).
//
// Writing (ChangeMemoFile): under an advisory lock on "비망일.txt.lock" the
// file is read again, the change is applied to what was read, and the result
// replaces the file atomically in the file's own encoding, byte-order mark and
// line ends; so two programs changing the file at once never lose a row. A
// file in the first format gets the second format's first line on its first
// change (nothing else of it changes, the rules of reading being the same),
// and its original bytes are kept as "비망일.txt.bak".
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/core/files/encoding.h"
#include "app/core/files/memo.h"
#include "app/core/files/text_file.h"

namespace orv {

struct MemoDocumentLine {
  TextFileLine line;  // the text as read (or as the change made it)
  bool row = false;     // the line gives an anniversary
  bool pastEnd = false; // after the line where reading stops: kept, never read
  MemoEntry entry;
};

struct MemoDocument {
  std::vector<MemoDocumentLine> lines;
  TextFileFormat format;  // encoding, byte-order mark and line end of the file
  bool format2 = true;    // false: a file of the first format, converted on its first change
  bool existed = false;   // read from a file (false: a new file from the template)
  // The lines the reading skipped, "<n>번째 줄: <why>", in file order.
  std::vector<std::string> skipped;

  TextEncoding Encoding() const { return format.encoding; }
  // The anniversaries in file order (the numbers of the manager's list and of
  // `orvanta-cli memo list`, counted from 0 here).
  std::vector<MemoEntry> Rows() const;
  int RowCount() const;
  // Adds a row after the last row that is read (before an empty line, which
  // would end the reading).
  void Add(const MemoEntry& entry);
  // Replaces or removes row `index`; false for no such row.
  bool Replace(int index, const MemoEntry& entry);
  bool Remove(int index);
  // The row a user chose when it read `shown` at number `index`: that row
  // when it still reads so, else the one row that does; -1 when there is none
  // or more than one (the file changed meanwhile).
  int FindRow(int index, const MemoEntry& shown) const;
};

// Reads "비망일.txt" of `folder` ("" = the current folder). A missing file
// gives a new document holding the template's comment lines. False, with a
// whole sentence in `error`, for a file that is there but is not read (not a
// regular file, larger than kMaxMemoFileBytes, not readable).
bool LoadMemoDocument(MemoDocument& document, const std::string& folder, std::string* error = nullptr);

// The document of the bytes of a memo file (for checks and tests).
MemoDocument MemoDocumentOfBytes(const std::string& bytes);

// The document as the bytes of its file; lines not changed are written as
// they were read, so a document saved unchanged is the same file byte for
// byte. False, with the reason in `error`, when a name cannot be written in
// the file's encoding (CP949 lacks the character) or holds a line break.
bool SerializeMemoDocument(const MemoDocument& document, std::string& bytes, std::string* error = nullptr);

// A change to the memo file: applied to the document read inside the lock;
// false (with the reason in `error`) leaves the file as it is.
using MemoChange = std::function<bool(MemoDocument& document, std::string& error)>;

// Applies `change` to "비망일.txt" of `folder` as described above. False,
// with a whole sentence in `error`, when the file cannot be read or written,
// the lock cannot be had, the change refuses, or the result would be larger
// than kMaxMemoFileBytes; the file then stays as it was. `after`, when given,
// receives the document as written.
bool ChangeMemoFile(const std::string& folder, const MemoChange& change, MemoDocument* after = nullptr,
                    std::string* error = nullptr);

// Whether a text can be written in `encoding` exactly.
bool FitsMemoEncoding(const std::string& utf8, TextEncoding encoding);

// The row as the second format writes it: "1,1990,5,5,결혼기념일:".
std::string MemoRowText(const MemoEntry& entry);

}  // namespace orv
