// The memo file "비망일.txt" as the anniversary manager edits it: every line
// kept as it was (comments, headings, lines past the end of the table), the
// rows numbered in file order, saved back in the encoding, byte-order mark and
// line ends the file had, through a safe replacement.
//
// A file is saved in the second format (app/core/files/memo.h): its first line
// says so, and each row reads "kind,first year,month,day,name". Older copies
// of the program read such a file as before (a name up to its first blank,
// the first 150 rows). A file in the first format is converted on its first
// save: every row is written out as that format read it (a name cut at its
// first blank and at 15 bytes, fields a short line took from the line before
// written in full), so the file keeps showing exactly what it showed.
#pragma once

#include <string>
#include <vector>

#include "app/core/files/encoding.h"
#include "app/core/files/memo.h"

namespace orv {

struct MemoDocumentLine {
  std::string text;     // UTF-8, without its line end (what is shown and parsed)
  std::string bytes;    // the line as it stood in the file, in its encoding ("" for new lines)
  bool row = false;     // the line gives an anniversary
  bool pastEnd = false; // after the line where reading stops: kept, never read
  bool rewrite = false; // written from `entry` instead of `bytes`
  MemoEntry entry;
};

struct MemoDocument {
  std::vector<MemoDocumentLine> lines;
  TextEncoding encoding = TextEncoding::Utf8;
  bool byteOrderMark = false;
  bool crlf = false;
  bool format2 = true;   // false: a file of the first format, converted on saving
  bool existed = false;  // read from a file (false: a new file from the template)

  // The anniversaries in file order (the numbers of the manager's list and of
  // `orvanta-cli memo list`, counted from 0 here).
  std::vector<MemoEntry> Rows() const;
  int RowCount() const;
  // Adds a row after the last row that is read (before an empty line, which
  // would end the reading of older copies of the program).
  void Add(const MemoEntry& entry);
  // Replaces or removes row `index`; false for no such row.
  bool Replace(int index, const MemoEntry& entry);
  bool Remove(int index);
};

// Reads "비망일.txt" of `folder` ("" = the current folder). A missing file
// gives a new document holding the template's comment lines. False, with the
// reason in `error`, for a file that cannot be read or is not a regular file.
bool LoadMemoDocument(MemoDocument& document, const std::string& folder, std::string* error = nullptr);

// The document as the bytes of its file. False, with the reason in `error`,
// when a name cannot be written in the file's encoding (CP949 lacks the
// character) or holds a line break.
bool SerializeMemoDocument(const MemoDocument& document, std::string& bytes, std::string* error = nullptr);

// Writes the document over "비망일.txt" of `folder` atomically. False, with the
// reason in `error`, when it cannot be written; the old file then stays.
bool SaveMemoDocument(const MemoDocument& document, const std::string& folder, std::string* error = nullptr);

// Whether a text can be written in `encoding` exactly.
bool FitsMemoEncoding(const std::string& utf8, TextEncoding encoding);

// The row as the second format writes it: "1,1990,5,5,결혼기념일:".
std::string MemoRowText(const MemoEntry& entry);

}  // namespace orv
