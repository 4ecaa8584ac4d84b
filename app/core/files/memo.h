// The user's anniversaries (memo file "비망일.txt"): the rows the month view
// writes into the days they fall on.
#pragma once

#include <string>
#include <vector>

namespace orv {

class MessageSink;

enum MemoKind : int {
  kMemoLunarLeap = -2,  // month and day of a lunar leap month (the regular month in years without it)
  kMemoLunar = -1,      // month and day of the lunar calendar (regular month)
  kMemoSolar = 1,       // month and day of the civil calendar
};

// Whether a row is dated in the lunar calendar (regular or leap month).
inline bool IsLunarMemo(int kind) { return kind == kMemoLunar || kind == kMemoLunarLeap; }

struct MemoEntry {
  int kind = 0;      // kMemoSolar or kMemoLunar; other values are never shown
  int year = 0;      // first year (astronomical) from which it is shown
  int month = 0;     // lunar month for a lunar entry
  int day = 0;
  std::string name;  // UTF-8; ":" marks a holiday, ";" a highlight
};

// Rows read from a memo file: no practical limit, only a bound against
// runaway input. Every reader takes the same rows.
inline constexpr int kMemoMaxRows = 20000;
// The first line of a memo file in the second format, which the program
// writes. Older copies of the program skip it (its first character is
// neither "-" nor "1") and read the rows as they always did, a name up to its
// first blank; this program reads names whole in either format.
inline constexpr const char* kMemoFormat2Line = "# 비망일 (orvanta-memo 2): 이름은 다섯째 칸부터 줄 끝까지";
// What identifies that line.
inline constexpr const char* kMemoFormat2Tag = "(orvanta-memo 2)";
using MemoTable = std::vector<MemoEntry>;

// The memo file, in the program's current folder.
inline constexpr const char* kMemoFileName = "비망일.txt";
// Longest name read, in bytes as the name takes in CP949
// (app/core/files/encoding.h): a bound against runaway lines, far above what
// the manager writes. A longer name is not cut: its row is skipped (and
// named), the line kept in the file as it is.
inline constexpr int kMemoNameMaxBytes = 400;
// Fields a row may hold: months 1-12, days 1-31 (of either calendar), first
// years within the widest span any ephemeris gives the calendar (DE431 and
// DE441: -12999..16998).
inline constexpr int kMemoMaxMonth = 12;
inline constexpr int kMemoMaxDay = 31;
inline constexpr int kMemoFirstYear = -12999;
inline constexpr int kMemoLastYear = 16998;

// Clears `memos` and loads the memo file of `folder` ("" = the current
// folder) through the file's one reader (LoadMemoDocument,
// app/core/files/memo_document.h). Returns whether the file was read; without
// it the table stays empty. A file that is there but is not read (not a
// regular file, larger than kMaxMemoFileBytes, not readable) and the rows the
// reading skips are reported in one message to `messages` when given.
//
// One anniversary per line: kind (1 solar, -1 lunar, -2 lunar leap month),
// first year, month, day and name, separated by commas, e.g.
// "1,1990,5,5,결혼기념일:". Rules of reading, the same in both formats:
// - reading stops at the end of the file, at the first empty line and after
//   kMemoMaxRows rows;
// - a line whose first character is neither "-" nor "1" is passed over
//   silently (titles, comments);
// - a point among the four numbers separates like a comma, so "1.1990.5.5.x"
//   equals "1,1990,5,5,x" (a point in the name stays);
// - the name is the rest of the line after the fourth separator without its
//   outer blanks, every character kept (older copies of the program showed
//   only its first blank-free word; a name is never shortened, since a save
//   would then drop the rest for good);
// - a row with a field missing ("1,1992,7"), a number that does not fit an
//   int, a kind other than 1, -1, -2, a month outside 1-12, a day outside 1-31,
//   a first year outside kMemoFirstYear..kMemoLastYear, no name or a name
//   longer than kMemoNameMaxBytes is skipped: it takes no row and lends
//   nothing to another row;
// - a row whose month or day is 0 ends the table;
// - every row skipped, and every row after the end of the table, is named in
//   the one message.
bool ReadMemoFile(MemoTable& memos, const std::string& folder, MessageSink* messages = nullptr);
// The same, giving that message in `notice` ("" when there is nothing to say)
// instead of showing it.
bool ReadMemoFile(MemoTable& memos, const std::string& folder, std::string& notice);

// What the reading rules make of one line of a memo file.
struct MemoLineReading {
  bool row = false;       // the line gives the anniversary `entry`
  bool pastEnd = false;   // after the line where reading stops (not read)
  std::string skipped;    // why a line that looks like a row gave none ("" otherwise)
  MemoEntry entry;
};

// Whether a line is the first line of a file in the second format.
bool IsMemoFormat2Line(const std::string& utf8Line);

// What the rules above make of each line (UTF-8, without line ends).
std::vector<MemoLineReading> ReadMemoLines(const std::vector<std::string>& lines);

// The one message naming the skipped lines ("<n>번째 줄: <why>") of the file at
// `path`; "" for none.
std::string MemoSkippedLinesText(const std::string& path, const std::vector<std::string>& skipped);

// Contents of a new, empty memo file: comment lines explaining the format
// with an example, no anniversary.
std::string MemoFileTemplate();

}  // namespace orv
