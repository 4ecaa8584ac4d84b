#include "app/core/files/memo.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "app/core/files/encoding.h"
#include "app/core/files/files.h"
#include "app/core/messages.h"

namespace orv {
namespace {

// Byte length of the first `maxChars` characters (code points) of a UTF-8
// text; a stray byte counts as one character.
std::size_t PrefixBytes(const std::string& utf8, int maxChars) {
  int chars = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
      if (chars == maxChars) return i;
      ++chars;
    }
  }
  return utf8.size();
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// One integer as "%d" reads it (blanks, a sign, decimal digits), with a range
// check: false for no number and for one outside int.
bool ReadInt(const char*& p, const char* end, int& value) {
  while (p < end && IsBlank(*p)) ++p;
  if (p < end && *p == '+' && p + 1 < end && *(p + 1) != '-') ++p;
  const auto [next, ec] = std::from_chars(p, end, value);
  if (ec != std::errc()) return false;
  p = next;
  return true;
}

// Parses one line into `row` as the pattern "%d,%d,%d,%d,%s" reads it. Fields
// the pattern does not reach keep their values. False when a number does not
// fit an int (the line is then not a row).
bool ParseMemoLine(const std::string& line, MemoEntry& row, bool format2) {
  const char* p = line.data();
  const char* end = p + line.size();
  int* fields[] = {&row.kind, &row.year, &row.month, &row.day};
  for (size_t i = 0; i < std::size(fields); ++i) {
    if (i > 0) {
      if (p == end || *p != ',') return true;
      ++p;
    }
    int value = 0;
    const char* start = p;
    if (!ReadInt(p, end, value)) {
      // Digits that do not fit: refused; anything else ends the pattern.
      const char* q = start;
      while (q < end && IsBlank(*q)) ++q;
      if (q < end && (*q == '+' || *q == '-')) ++q;
      return !(q < end && *q >= '0' && *q <= '9');
    }
    *fields[i] = value;
  }
  if (p == end || *p != ',') return true;
  ++p;
  while (p < end && IsBlank(*p)) ++p;
  const char* word = p;
  if (format2) {
    // The whole rest of the line, without trailing blanks.
    const char* last = end;
    while (last > word && IsBlank(*(last - 1))) --last;
    std::string name;
    for (const char* c = word; c < last; ++c)
      if (static_cast<unsigned char>(*c) >= 0x20 && *c != '\x7F') name += *c;  // no NUL or control character
    if (!name.empty()) row.name = CutToCp949Length(name, kMemoNameMaxBytesFormat2);
    return true;
  }
  while (p < end && !IsBlank(*p)) ++p;
  std::string name;
  for (const char* c = word; c < p; ++c)
    if (static_cast<unsigned char>(*c) >= 0x20 && *c != '\x7F') name += *c;  // no NUL or control character
  if (!name.empty()) row.name = CutToCp949Length(name, kMemoNameMaxBytes);
  return true;
}

// Points separate the four numbers like commas; a point inside the name (the
// fifth field) stays, so "1.1990.5.5.Dr.Kim" is named "Dr.Kim".
void PointsToCommas(std::string& line) {
  int separators = 0;
  for (char& c : line) {
    if (separators == 4) return;
    if (c == '.') c = ',';
    if (c == ',') ++separators;
  }
}

// Month, day and first year a calendar can show.
bool FieldsInRange(const MemoEntry& row) {
  return row.month >= 1 && row.month <= kMemoMaxMonth && row.day >= 1 && row.day <= kMemoMaxDay &&
         row.year >= kMemoFirstYear && row.year <= kMemoLastYear;
}

}  // namespace

bool IsMemoFormat2(const std::string& utf8Text) {
  const std::size_t eol = utf8Text.find('\n');
  const std::string first = utf8Text.substr(0, eol);
  return !first.empty() && first[0] == '#' && first.find(kMemoFormat2Tag) != std::string::npos;
}

std::vector<MemoLineReading> ReadMemoLines(const std::string& text, bool allRows) {
  const bool format2 = IsMemoFormat2(text);
  const int capacity = format2 ? kMemoCapacityFormat2 : (allRows ? kMemoCapacityFormat2 : kMemoCapacity);
  std::vector<MemoLineReading> lines;
  MemoEntry row;  // carries over the fields a line leaves unread
  int rows = 0;
  std::string endedBy;  // why the table ended before the text did ("" while reading)
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t eol = text.find('\n', pos);
    if (eol == std::string::npos) eol = text.size();
    MemoLineReading reading;
    reading.text = text.substr(pos, eol - pos);
    pos = eol + 1;
    const int lineNumber = static_cast<int>(lines.size()) + 1;
    if (!reading.text.empty() && reading.text.back() == '\r') reading.text.pop_back();
    std::string line = reading.text;
    if (!format2) line.resize(PrefixBytes(line, kMemoLineMaxChars));
    const bool rowLike = !line.empty() && (line[0] == '-' || line[0] == '1');
    if (endedBy.empty() && rowLike && rows >= capacity)
      endedBy = "기념일은 " + std::to_string(capacity) + "개까지 읽습니다";
    if (!endedBy.empty()) {
      reading.pastEnd = true;
      if (rowLike) reading.skipped = endedBy;
      lines.push_back(std::move(reading));
      continue;
    }
    if (line.empty()) {
      endedBy = std::to_string(lineNumber) + "번째 줄의 빈 줄 뒤에 있습니다";
      reading.pastEnd = true;
      lines.push_back(std::move(reading));
      continue;
    }
    if (rowLike) {
      PointsToCommas(line);
      MemoEntry parsed = row;
      if (!ParseMemoLine(line, parsed, format2)) {
        reading.skipped = "숫자가 너무 큽니다";
      } else if (parsed.month == 0 || parsed.day == 0) {
        reading.skipped = "월이나 일이 0입니다 (여기서 읽기를 멈춥니다)";
        endedBy = std::to_string(lineNumber) + "번째 줄에서 읽기를 멈췄습니다";
        reading.pastEnd = true;
      } else if (parsed.kind != kMemoSolar && !IsLunarMemo(parsed.kind)) {
        // A kind the calendar never shows would not survive the manager's save.
        reading.skipped = "종류는 1(양력), -1(음력), -2(음력 윤달) 가운데 하나입니다";
      } else if (!FieldsInRange(parsed)) {
        reading.skipped = "월, 일 또는 첫해가 범위를 벗어났습니다";
      } else {
        row = parsed;
        reading.row = true;
        reading.entry = row;
        ++rows;
      }
    }
    lines.push_back(std::move(reading));
  }
  return lines;
}

namespace {

// The lines a reading of the memo file passed over, said in one message.
struct MemoSkips {
  std::vector<std::string> lines;  // "<n>번째 줄: <why>"
  void Add(int lineNumber, const std::string& why) {
    lines.push_back(std::to_string(lineNumber) + "번째 줄: " + why);
  }
  std::string Text(const std::string& path) const {
    constexpr std::size_t kListed = 5;
    std::string text = path + "에서 읽지 않은 줄 " + std::to_string(lines.size()) + "개가 있습니다:";
    for (std::size_t i = 0; i < lines.size() && i < kListed; ++i) text += "\n" + lines[i];
    if (lines.size() > kListed) text += "\n... 외 " + std::to_string(lines.size() - kListed) + "줄";
    return text;
  }
};

}  // namespace

bool ReadMemoFile(MemoTable& memos, const std::string& folder, MessageSink* messages) {
  memos.clear();
  std::string bytes, error;
  const std::string path = JoinPath(folder, kMemoFileName);
  const ReadResult read = ReadRegularFile(path, bytes, &error, kMaxMemoFileBytes);
  if (read != ReadResult::Ok && read != ReadResult::Missing && messages) messages->Show(error, "알림");
  if (read != ReadResult::Ok) return false;
  MemoSkips skips;
  int lineNumber = 0;
  for (const MemoLineReading& line : ReadMemoLines(DecodeFileText(bytes), false)) {
    ++lineNumber;
    if (line.row) memos.push_back(line.entry);
    if (!line.skipped.empty()) skips.Add(lineNumber, line.skipped);
  }
  if (!skips.lines.empty() && messages) messages->Show(skips.Text(path), "알림");
  return true;
}

std::string MemoFileTemplate() {
  return std::string(kMemoFormat2Line) + "\n" +
         "# 비망일(기념일) 파일입니다. 한 줄에 기념일 하나를 다음 순서로 적습니다.\n"
         "#   종류,첫해,월,일,이름\n"
         "# 종류: 양력 날짜는 1, 음력 날짜는 -1 (평달), 음력 윤달은 -2\n"
         "# 첫해: 이 해부터 달력에 표시합니다 (기원전 1년은 0, 기원전 2년은 -1)\n"
         "# 이름: 다섯째 칸부터 줄 끝까지 (빈칸 포함). 이름에 ':'를 넣으면\n"
         "#       공휴일처럼 붉게, ';'를 넣으면 강조색으로 표시됩니다.\n"
         "# 쉼표 대신 점(.)으로 구분해도 됩니다. 빈 줄을 만나면 읽기를 멈추고,\n"
         "# 첫 글자가 '1'이나 '-'가 아닌 줄은 건너뜁니다.\n"
         "# 예)\n"
         "# 1,1990,5,5,결혼기념일:\n"
         "# -1,1950,3,15,할머니생신;\n";
}

}  // namespace orv
