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

// At most kMemoCapacity rows from a file in the first format, in file order;
// empty without a memo file.
inline constexpr int kMemoCapacity = 150;
// Rows read from a file in the second format (written by the anniversary
// manager): no practical limit, only a bound against runaway input.
inline constexpr int kMemoCapacityFormat2 = 20000;
// The first line of a memo file in the second format. Older readers skip it
// (its first character is neither "-" nor "1") and read the rows as before,
// a name up to its first blank; this reader then takes each name whole.
inline constexpr const char* kMemoFormat2Line = "# 비망일 (orvanta-memo 2): 이름은 다섯째 칸부터 줄 끝까지";
// What identifies that line.
inline constexpr const char* kMemoFormat2Tag = "(orvanta-memo 2)";
using MemoTable = std::vector<MemoEntry>;

// The memo file, in the program's current folder.
inline constexpr const char* kMemoFileName = "비망일.txt";
// Longest name kept from a file in the first format, in bytes as the name
// takes in CP949 (app/core/files/encoding.h).
inline constexpr int kMemoNameMaxBytes = 15;
// Longest name kept from a file in the second format, counted as
// kMemoNameMaxBytes is (a bound against runaway lines, far above what the
// manager writes).
inline constexpr int kMemoNameMaxBytesFormat2 = 400;
// Characters of a line that are read; the rest of a longer line is ignored.
inline constexpr int kMemoLineMaxChars = 79;
// Fields a row may hold: months 1-12, days 1-31 (of either calendar), first
// years within the widest span any ephemeris gives the calendar (DE431 and
// DE441: -12999..16998).
inline constexpr int kMemoMaxMonth = 12;
inline constexpr int kMemoMaxDay = 31;
inline constexpr int kMemoFirstYear = -12999;
inline constexpr int kMemoLastYear = 16998;

// Clears `memos` and loads the memo file of `folder` ("" = the current
// folder). Returns whether the file was found; without it the table stays
// empty. Only a regular file is read; another kind (a FIFO, a folder) is
// reported to `messages` when given.
//
// The file may be UTF-8 or CP949. One anniversary per line: kind (1 solar,
// -1 lunar, -2 lunar leap month), first year, month, day and name, separated
// by commas, e.g. "1,1990,5,5,결혼기념일:". Rules of reading a file in the
// first format (any file whose first line is not kMemoFormat2Line):
// - each line is read up to kMemoLineMaxChars characters;
// - reading stops at the end of the file, at the first empty line, and after
//   kMemoCapacity rows;
// - a line whose first character is neither "-" nor "1" is skipped (titles,
//   comments);
// - every "." before the name is read as ",", so "1.1990.5.5.x" equals
//   "1,1990,5,5,x" (a "." in the name stays);
// - the name is the first blank-free word after the fourth comma, cut to
//   kMemoNameMaxBytes on a character boundary;
// - a line that does not parse completely keeps the previous row's values in
//   the fields it does not reach, and still takes a row;
// - a row whose month or day is 0 ends the table (it and what follows are
//   not kept);
// - a line with a number that does not fit an int, a month outside 1-12, a
//   day outside 1-31 or a first year outside kMemoFirstYear..kMemoLastYear is
//   skipped (it takes no row and lends no field to the next line);
// - the rows so skipped, and the rows after the end of the table (a blank
//   line, the kMemoCapacity-th row, a month or day 0), are named in one
//   message to `messages`, and so is a file that cannot be read or is larger
//   than kMaxMemoFileBytes (it is then not read). The file may also be UTF-16
//   with a byte-order mark.
// A file in the second format is read by the same rules except that lines
// are read whole, points separate only the four numbers, the name is the rest
// of the line without its outer blanks (spaces, points and commas kept, cut to
// kMemoNameMaxBytesFormat2), and up to kMemoCapacityFormat2 rows are read.
bool ReadMemoFile(MemoTable& memos, const std::string& folder, MessageSink* messages = nullptr);

// What the reading rules make of one line of a memo text.
struct MemoLineReading {
  std::string text;       // the line (UTF-8) without its line end
  bool row = false;       // it gives the anniversary `entry`
  bool pastEnd = false;   // after the line where reading stops (not read)
  std::string skipped;    // why a line that looks like a row gave none ("" otherwise)
  MemoEntry entry;
};

// Whether the decoded memo text is in the second format.
bool IsMemoFormat2(const std::string& utf8Text);

// Every line of a decoded memo text with what the rules above make of it.
// With `allRows` the row limit of the first format is lifted (the manager
// keeps the rows beyond it; the month view shows the first kMemoCapacity).
std::vector<MemoLineReading> ReadMemoLines(const std::string& utf8Text, bool allRows);

// Contents of a new, empty memo file: comment lines explaining the format
// with an example, no anniversary.
std::string MemoFileTemplate();

}  // namespace orv
