#include "app/core/files/memo.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdio>
#include <iterator>

#include "app/core/files/encoding.h"
#include "app/core/files/files.h"

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

enum class NumberRead { kRead, kAbsent, kOverflow };

// One whole number the way "%d" reads it (leading blanks, an optional sign,
// decimal digits), except that one that does not fit an int is an overflow
// rather than a wrapped value (a year 4294969320 must not become 2024).
NumberRead ReadInt(const char*& p, const char* end, int& out) {
  const char* q = p;
  while (q != end && IsBlank(*q)) ++q;
  bool negative = false;
  if (q != end && (*q == '+' || *q == '-')) negative = *q++ == '-';
  if (q == end || *q < '0' || *q > '9') return NumberRead::kAbsent;
  long long magnitude = 0;
  const auto [stop, ec] = std::from_chars(q, end, magnitude);
  if (ec != std::errc()) return NumberRead::kOverflow;
  const long long v = negative ? -magnitude : magnitude;
  if (v < INT_MIN || v > INT_MAX) return NumberRead::kOverflow;
  out = static_cast<int>(v);
  p = stop;
  return NumberRead::kRead;
}

// Parses one line into `row` with the pattern "%d,%d,%d,%d,%s". Fields the
// pattern does not reach keep their values. False for a line with a number
// too large for its field: the line is dropped.
bool ParseMemoLine(const std::string& line, MemoEntry& row) {
  // The name is one word of at most kMemoLineMaxChars characters of at most
  // 4 bytes ("%316s").
  constexpr std::size_t kNameMaxBytes = 4 * kMemoLineMaxChars;
  const char* p = line.data();
  const char* const end = line.data() + line.size();
  int* const numbers[] = {&row.kind, &row.year, &row.month, &row.day};
  for (std::size_t i = 0; i < std::size(numbers); ++i) {
    if (i > 0) {
      if (p == end || *p != ',') return true;
      ++p;
    }
    int v = 0;
    const NumberRead read = ReadInt(p, end, v);
    if (read == NumberRead::kOverflow) return false;
    if (read == NumberRead::kAbsent) return true;
    *numbers[i] = v;
  }
  if (p == end || *p != ',') return true;
  ++p;
  while (p != end && IsBlank(*p)) ++p;
  const char* nameEnd = p;
  while (nameEnd != end && !IsBlank(*nameEnd) && static_cast<std::size_t>(nameEnd - p) < kNameMaxBytes) ++nameEnd;
  if (nameEnd == p) return true;
  row.name = CutToCp949Length(std::string(p, nameEnd), kMemoNameMaxBytes);
  return true;
}

}  // namespace

bool ReadMemoFile(MemoTable& memos, const std::string& folder) {
  memos.clear();
  std::string bytes;
  if (!ReadWholeFile(JoinPath(folder, kMemoFileName), bytes)) return false;
  const std::string text = DecodeFileText(bytes);

  MemoEntry row;  // carries over the fields a line leaves unread
  std::size_t pos = 0;
  while (pos < text.size() && static_cast<int>(memos.size()) < kMemoCapacity) {
    std::size_t eol = text.find('\n', pos);
    if (eol == std::string::npos) eol = text.size();
    std::string line = text.substr(pos, eol - pos);
    pos = eol + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line.resize(PrefixBytes(line, kMemoLineMaxChars));
    if (line.empty()) break;
    if (line[0] != '-' && line[0] != '1') continue;
    std::replace(line.begin(), line.end(), '.', ',');
    MemoEntry parsed = row;
    if (!ParseMemoLine(line, parsed)) continue;
    row = parsed;
    if (row.month == 0 || row.day == 0) break;
    memos.push_back(row);
  }
  return true;
}

std::string MemoFileTemplate() {
  return "# 비망일(기념일) 파일입니다. 한 줄에 기념일 하나를 다음 순서로 적습니다.\n"
         "#   종류,첫해,월,일,이름\n"
         "# 종류: 양력 날짜는 1, 음력 날짜는 -1 (음력은 평달 기준)\n"
         "# 첫해: 이 해부터 달력에 표시합니다 (기원전 1년은 0, 기원전 2년은 -1)\n"
         "# 이름: 빈칸 없는 한 낱말, 15바이트(한글 7자)까지. 이름에 ':'를 넣으면\n"
         "#       공휴일처럼 붉게, ';'를 넣으면 강조색으로 표시됩니다.\n"
         "# 쉼표 대신 점(.)으로 구분해도 됩니다. 빈 줄을 만나면 읽기를 멈추고,\n"
         "# 첫 글자가 '1'이나 '-'가 아닌 줄은 건너뜁니다. 150개까지 읽습니다.\n"
         "# 예)\n"
         "# 1,1990,5,5,결혼기념일:\n"
         "# -1,1950,3,15,할머니생신;\n";
}

}  // namespace orv
