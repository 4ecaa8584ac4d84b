#include "app/core/files/memo.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "app/core/files/encoding.h"
#include "app/core/files/files.h"
#include "app/core/files/memo_document.h"
#include "app/core/messages.h"

namespace orv {
namespace {

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

// Reads "kind,year,month,day,name" into `row`; "" when every field is there,
// else why the line is not a row. Nothing is taken from another line.
std::string ParseMemoLine(const std::string& line, MemoEntry& row) {
  static const std::string kFieldsMissing = "항목이 모자랍니다 (종류,첫해,월,일,이름)";
  const char* p = line.data();
  const char* end = p + line.size();
  int* fields[] = {&row.kind, &row.year, &row.month, &row.day};
  for (size_t i = 0; i < std::size(fields); ++i) {
    if (i > 0) {
      while (p < end && IsBlank(*p)) ++p;
      if (p == end) return kFieldsMissing;
      if (*p != ',') return "종류,첫해,월,일은 쉼표나 점으로 나눈 숫자라야 합니다";
      ++p;
    }
    const char* start = p;
    if (!ReadInt(p, end, *fields[i])) {
      const char* q = start;
      while (q < end && IsBlank(*q)) ++q;
      if (q == end) return kFieldsMissing;
      if (*q == '+' || *q == '-') ++q;
      if (q < end && *q >= '0' && *q <= '9') return "숫자가 너무 큽니다";
      return "종류,첫해,월,일은 쉼표나 점으로 나눈 숫자라야 합니다";
    }
  }
  while (p < end && IsBlank(*p)) ++p;
  if (p == end) return kFieldsMissing;
  if (*p != ',') return "종류,첫해,월,일은 쉼표나 점으로 나눈 숫자라야 합니다";
  ++p;
  // The whole rest of the line without its outer blanks; a control
  // character (a NUL or a tab of a damaged file) never reaches a name shown.
  while (p < end && IsBlank(*p)) ++p;
  const char* last = end;
  while (last > p && IsBlank(*(last - 1))) --last;
  row.name.clear();
  for (const char* c = p; c < last; ++c)
    if (static_cast<unsigned char>(*c) >= 0x20 && *c != '\x7F') row.name += *c;
  if (row.name.empty()) return kFieldsMissing;
  // A name never takes more bytes in CP949 than in UTF-8, and the count stops
  // at the bound, so a file of long lines reads in time.
  if (row.name.size() > static_cast<std::size_t>(kMemoNameMaxBytes) &&
      CutToCp949Length(row.name, kMemoNameMaxBytes).size() < row.name.size())
    return "이름이 " + std::to_string(kMemoNameMaxBytes) + "바이트를 넘습니다";
  return "";
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

bool IsMemoFormat2Line(const std::string& line) {
  return !line.empty() && line[0] == '#' && line.find(kMemoFormat2Tag) != std::string::npos;
}

std::vector<MemoLineReading> ReadMemoLines(const std::vector<std::string>& texts) {
  std::vector<MemoLineReading> lines;
  lines.reserve(texts.size());
  int rows = 0;
  std::string endedBy;  // why the table ended before the text did ("" while reading)
  for (const std::string& text : texts) {
    MemoLineReading reading;
    const int lineNumber = static_cast<int>(lines.size()) + 1;
    const bool rowLike = !text.empty() && (text[0] == '-' || text[0] == '1');
    if (endedBy.empty() && rowLike && rows >= kMemoMaxRows)
      endedBy = "기념일은 " + std::to_string(kMemoMaxRows) + "개까지 읽습니다";
    if (!endedBy.empty()) {
      reading.pastEnd = true;
      if (rowLike) reading.skipped = endedBy;
      lines.push_back(std::move(reading));
      continue;
    }
    if (text.empty()) {
      endedBy = std::to_string(lineNumber) + "번째 줄의 빈 줄 뒤에 있습니다";
      reading.pastEnd = true;
      lines.push_back(std::move(reading));
      continue;
    }
    if (rowLike) {
      std::string line = text;
      PointsToCommas(line);
      MemoEntry parsed;
      const std::string why = ParseMemoLine(line, parsed);
      if (!why.empty()) {
        reading.skipped = why;
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
        reading.row = true;
        reading.entry = std::move(parsed);
        ++rows;
      }
    }
    lines.push_back(std::move(reading));
  }
  return lines;
}

std::string MemoSkippedLinesText(const std::string& path, const std::vector<std::string>& skipped) {
  if (skipped.empty()) return "";
  constexpr std::size_t kListed = 5;
  std::string text = path + "에서 읽지 않은 줄 " + std::to_string(skipped.size()) + "개가 있습니다:";
  for (std::size_t i = 0; i < skipped.size() && i < kListed; ++i) text += "\n" + skipped[i];
  if (skipped.size() > kListed) text += "\n... 외 " + std::to_string(skipped.size() - kListed) + "줄";
  return text;
}

bool ReadMemoFile(MemoTable& memos, const std::string& folder, std::string& notice) {
  memos.clear();
  notice.clear();
  MemoDocument document;
  std::string error;
  if (!LoadMemoDocument(document, folder, &error)) {
    notice = error;
    return false;
  }
  if (!document.existed) return false;
  memos = document.Rows();
  notice = MemoSkippedLinesText(JoinPath(folder, kMemoFileName), document.skipped);
  return true;
}

bool ReadMemoFile(MemoTable& memos, const std::string& folder, MessageSink* messages) {
  std::string notice;
  const bool read = ReadMemoFile(memos, folder, notice);
  if (!notice.empty() && messages) messages->Show(notice, "알림");
  return read;
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
