#include "app/core/files/memo.h"

#include <algorithm>
#include <cstdio>

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

// Parses one line into `row` with the pattern "%d,%d,%d,%d,%s". Fields the
// pattern does not reach keep their values.
void ParseMemoLine(const std::string& line, MemoEntry& row) {
  // The longest line is kMemoLineMaxChars characters of at most 4 bytes; the
  // width of "%316s" keeps the name inside the buffer.
  constexpr int kNameBufferBytes = 4 * kMemoLineMaxChars + 1;
  static_assert(kNameBufferBytes == 317, "adjust the %s width below");
  char name[kNameBufferBytes] = {};
  int kind = row.kind, year = row.year, month = row.month, day = row.day;
  const int fields = std::sscanf(line.c_str(), "%d,%d,%d,%d,%316s", &kind, &year, &month, &day, name);
  if (fields >= 1) row.kind = kind;
  if (fields >= 2) row.year = year;
  if (fields >= 3) row.month = month;
  if (fields >= 4) row.day = day;
  if (fields >= 5) row.name = CutToCp949Length(name, kMemoNameMaxBytes);
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
    ParseMemoLine(line, row);
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
