#include "app/core/files/memo_document.h"

#include "app/core/files/files.h"
#include "time/text_format.h"

namespace orv {
namespace {

// Index of the line before which added rows go: the first line past the end
// of the table, or the end of the file.
std::size_t InsertionPoint(const std::vector<MemoDocumentLine>& lines) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].pastEnd) return i;
  return lines.size();
}

// Line index of row `index`, or -1.
long LineOfRow(const std::vector<MemoDocumentLine>& lines, int index) {
  int seen = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!lines[i].row) continue;
    if (seen == index) return static_cast<long>(i);
    ++seen;
  }
  return -1;
}

MemoDocumentLine RowLine(const MemoEntry& entry) {
  MemoDocumentLine line;
  line.line = NewTextLine(MemoRowText(entry));
  line.row = true;
  line.entry = entry;
  return line;
}

// Fills the document's lines from a text file and reads them.
void ReadDocument(MemoDocument& document, TextFile&& file) {
  document.format = file.format;
  std::vector<std::string> texts;
  texts.reserve(file.lines.size());
  for (const TextFileLine& line : file.lines) texts.push_back(line.text);
  document.format2 = !texts.empty() && IsMemoFormat2Line(texts.front());
  const std::vector<MemoLineReading> readings = ReadMemoLines(texts);
  document.lines.clear();
  document.lines.reserve(file.lines.size());
  document.skipped.clear();
  for (std::size_t i = 0; i < file.lines.size(); ++i) {
    MemoDocumentLine line;
    line.line = std::move(file.lines[i]);
    line.row = readings[i].row;
    line.pastEnd = readings[i].pastEnd;
    line.entry = readings[i].entry;
    if (!readings[i].skipped.empty())
      document.skipped.push_back(std::to_string(i + 1) + "번째 줄: " + readings[i].skipped);
    document.lines.push_back(std::move(line));
  }
}

void FillFromTemplate(MemoDocument& document) {
  document = MemoDocument{};
  TextFile file = ParseTextFile(MemoFileTemplate());
  for (TextFileLine& line : file.lines) line.changed = true;  // nothing of it is on disk yet
  ReadDocument(document, std::move(file));
}

// The one reading of the file: `bytes` receives what was read.
bool LoadFromPath(MemoDocument& document, const std::string& path, std::string& bytes, std::string* error) {
  document = MemoDocument{};
  bytes.clear();
  std::string why;
  const ReadResult read = ReadRegularFile(path, bytes, &why, kMaxMemoFileBytes);
  if (read == ReadResult::Missing && PathExists(path)) {
    // There but not readable: never replaced by a new file.
    if (error) *error = UnreadableFileText(path, why);
    return false;
  }
  if (read == ReadResult::Missing) {
    FillFromTemplate(document);
    return true;
  }
  if (read != ReadResult::Ok) {
    if (error) *error = why;
    return false;
  }
  ReadDocument(document, ParseTextFile(bytes));
  document.existed = true;
  return true;
}

}  // namespace

bool FitsMemoEncoding(const std::string& utf8, TextEncoding encoding) {
  TextFileFormat format;
  format.encoding = encoding;
  std::string bytes;
  return EncodeText(utf8, format, bytes);
}

std::string MemoRowText(const MemoEntry& entry) {
  return Format("%d,%d,%d,%d,", entry.kind, entry.year, entry.month, entry.day) + entry.name;
}

std::vector<MemoEntry> MemoDocument::Rows() const {
  std::vector<MemoEntry> rows;
  for (const MemoDocumentLine& line : lines)
    if (line.row) rows.push_back(line.entry);
  return rows;
}

int MemoDocument::RowCount() const {
  int n = 0;
  for (const MemoDocumentLine& line : lines) n += line.row ? 1 : 0;
  return n;
}

void MemoDocument::Add(const MemoEntry& entry) {
  lines.insert(lines.begin() + static_cast<long>(InsertionPoint(lines)), RowLine(entry));
}

bool MemoDocument::Replace(int index, const MemoEntry& entry) {
  const long at = LineOfRow(lines, index);
  if (at < 0) return false;
  MemoDocumentLine& line = lines[static_cast<std::size_t>(at)];
  const std::string end = line.line.end;
  line = RowLine(entry);
  line.line.end = end;
  return true;
}

bool MemoDocument::Remove(int index) {
  const long at = LineOfRow(lines, index);
  if (at < 0) return false;
  lines.erase(lines.begin() + at);
  return true;
}

int MemoDocument::FindRow(int index, const MemoEntry& shown) const {
  const std::vector<MemoEntry> rows = Rows();
  const std::string wanted = MemoRowText(shown);
  if (index >= 0 && index < static_cast<int>(rows.size()) && MemoRowText(rows[static_cast<std::size_t>(index)]) == wanted)
    return index;
  int found = -1;
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    if (MemoRowText(rows[static_cast<std::size_t>(i)]) != wanted) continue;
    if (found >= 0) return -1;
    found = i;
  }
  return found;
}

MemoDocument MemoDocumentOfBytes(const std::string& bytes) {
  MemoDocument document;
  ReadDocument(document, ParseTextFile(bytes));
  document.existed = true;
  return document;
}

bool LoadMemoDocument(MemoDocument& document, const std::string& folder, std::string* error) {
  std::string bytes;
  return LoadFromPath(document, JoinPath(folder, kMemoFileName), bytes, error);
}

bool SerializeMemoDocument(const MemoDocument& document, std::string& bytes, std::string* error) {
  TextFile file;
  file.format = document.format;
  file.lines.reserve(document.lines.size() + 1);
  if (!document.format2) file.lines.push_back(NewTextLine(kMemoFormat2Line));
  for (const MemoDocumentLine& line : document.lines) file.lines.push_back(line.line);
  return SerializeTextFile(file, bytes, error);
}

bool ChangeMemoFile(const std::string& folder, const MemoChange& change, MemoDocument* after, std::string* error) {
  const std::string path = JoinPath(folder, kMemoFileName);
  std::string why;
  auto fail = [&](const std::string& sentence) {
    if (error) *error = sentence;
    return false;
  };
  FileLock lock;
  if (!lock.Acquire(path, kFileLockWaitMs, &why)) return fail(why);
  MemoDocument document;
  std::string original;
  if (!LoadFromPath(document, path, original, &why)) return fail(why);
  if (!change(document, why)) return fail(why);
  std::string bytes;
  if (!SerializeMemoDocument(document, bytes, &why)) return fail(why);
  if (bytes.size() > kMaxMemoFileBytes)
    return fail(path + "이(가) " + std::to_string(kMaxMemoFileBytes) + "바이트를 넘게 되어 저장하지 않습니다");
  // A file of the first format is converted by this save: its bytes as they
  // were stay beside it.
  if (document.existed && !document.format2 && !WriteFileAtomically(path + ".bak", original, &why))
    return fail(path + ".bak을(를) 남기지 못해 저장하지 않습니다 (" + why + ")");
  if (!WriteFileAtomically(path, bytes, &why)) return fail(why);
  if (after) *after = MemoDocumentOfBytes(bytes);
  return true;
}

}  // namespace orv
