#include "app/core/files/memo_document.h"

#include <cerrno>
#include <iconv.h>

#include "app/core/files/files.h"
#include "time/text_format.h"

namespace orv {
namespace {

constexpr const char* kUtf8ByteOrderMark = "\xEF\xBB\xBF";

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

// One line of the file as UTF-8, read in the file's encoding.
std::string DecodeLine(const std::string& bytes, TextEncoding encoding) {
  if (encoding == TextEncoding::Utf8) return bytes;
  std::string text;
  if (ConvertExactly("UTF-8", "CP949", bytes, text)) return text;
  return DecodeFileText(bytes);  // stray bytes: shown replaced, written back as they were
}

bool EncodeLine(const std::string& utf8, TextEncoding encoding, std::string& bytes) {
  if (encoding == TextEncoding::Utf8) {
    bytes = utf8;
    return IsValidUtf8(utf8);
  }
  return ConvertExactly("CP949", "UTF-8", utf8, bytes);
}

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

std::vector<MemoDocumentLine> TemplateLines() {
  std::vector<MemoDocumentLine> lines;
  const std::string text = MemoFileTemplate();
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t eol = text.find('\n', pos);
    if (eol == std::string::npos) eol = text.size();
    MemoDocumentLine line;
    line.text = text.substr(pos, eol - pos);
    lines.push_back(line);
    pos = eol + 1;
  }
  return lines;
}

}  // namespace

bool FitsMemoEncoding(const std::string& utf8, TextEncoding encoding) {
  std::string bytes;
  return EncodeLine(utf8, encoding, bytes);
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
  MemoDocumentLine line;
  line.row = true;
  line.rewrite = true;
  line.entry = entry;
  line.text = MemoRowText(entry);
  lines.insert(lines.begin() + static_cast<long>(InsertionPoint(lines)), line);
}

bool MemoDocument::Replace(int index, const MemoEntry& entry) {
  const long at = LineOfRow(lines, index);
  if (at < 0) return false;
  MemoDocumentLine& line = lines[static_cast<std::size_t>(at)];
  line.entry = entry;
  line.rewrite = true;
  line.text = MemoRowText(entry);
  return true;
}

bool MemoDocument::Remove(int index) {
  const long at = LineOfRow(lines, index);
  if (at < 0) return false;
  lines.erase(lines.begin() + at);
  return true;
}

bool LoadMemoDocument(MemoDocument& document, const std::string& folder, std::string* error) {
  document = MemoDocument{};
  std::string bytes;
  const std::string path = JoinPath(folder, kMemoFileName);
  const ReadResult read = ReadRegularFile(path, bytes, error);
  if (read == ReadResult::Missing && PathExists(path)) {
    // There but not readable: never replaced by a new file.
    if (error && error->empty()) *error = path + ": 읽을 수 없습니다";
    return false;
  }
  if (read == ReadResult::Missing) {
    document.lines = TemplateLines();
    return true;
  }
  if (read == ReadResult::NotRegular) {
    if (error) *error = NotRegularFileText(path);
    return false;
  }
  if (read != ReadResult::Ok) return false;
  document.existed = true;
  DecodeFileText(bytes, &document.encoding);
  if (document.encoding == TextEncoding::Utf8 && bytes.compare(0, 3, kUtf8ByteOrderMark) == 0) {
    document.byteOrderMark = true;
    bytes.erase(0, 3);
  }
  document.crlf = bytes.find("\r\n") != std::string::npos;

  // Split the bytes into lines (a line feed is never part of a CP949
  // character), decode each in the file's encoding, then read them together.
  std::string text;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t eol = bytes.find('\n', pos);
    if (eol == std::string::npos) eol = bytes.size();
    MemoDocumentLine line;
    line.bytes = bytes.substr(pos, eol - pos);
    if (!line.bytes.empty() && line.bytes.back() == '\r') line.bytes.pop_back();
    line.text = DecodeLine(line.bytes, document.encoding);
    text += line.text + "\n";
    document.lines.push_back(std::move(line));
    pos = eol + 1;
  }
  document.format2 = IsMemoFormat2(text);
  const std::vector<MemoLineReading> readings = ReadMemoLines(text, true);
  for (std::size_t i = 0; i < readings.size() && i < document.lines.size(); ++i) {
    document.lines[i].row = readings[i].row;
    document.lines[i].pastEnd = readings[i].pastEnd;
    document.lines[i].entry = readings[i].entry;
  }
  return true;
}

bool SerializeMemoDocument(const MemoDocument& document, std::string& bytes, std::string* error) {
  const std::string lineEnd = document.crlf ? "\r\n" : "\n";
  bytes.clear();
  if (document.byteOrderMark && document.encoding == TextEncoding::Utf8) bytes += kUtf8ByteOrderMark;
  auto put = [&](const std::string& utf8) {
    std::string encoded;
    if (utf8.find_first_of("\r\n") != std::string::npos || !EncodeLine(utf8, document.encoding, encoded)) {
      if (error)
        *error = "\"" + utf8 + "\"" +
                 (document.encoding == TextEncoding::Cp949 ? "에 CP949로 저장할 수 없는 글자가 있습니다"
                                                           : "을(를) 저장할 수 없습니다");
      return false;
    }
    bytes += encoded + lineEnd;
    return true;
  };
  if (!document.format2 && !put(kMemoFormat2Line)) return false;
  for (const MemoDocumentLine& line : document.lines) {
    // A first-format file becomes a second-format one: each row as it was read.
    const bool fromEntry = line.row && (line.rewrite || !document.format2);
    if (fromEntry) {
      if (!put(MemoRowText(line.entry))) return false;
    } else if (!line.bytes.empty() || line.text.empty()) {
      bytes += line.bytes + lineEnd;
    } else if (!put(line.text)) {
      return false;
    }
  }
  return true;
}

bool SaveMemoDocument(const MemoDocument& document, const std::string& folder, std::string* error) {
  std::string bytes;
  if (!SerializeMemoDocument(document, bytes, error)) return false;
  return WriteFileAtomically(JoinPath(folder, kMemoFileName), bytes, error);
}

}  // namespace orv
