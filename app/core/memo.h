// The user's anniversaries (memo file "비망일.txt"): the rows the month view
// writes into the days they fall on.
#pragma once

#include <string>
#include <vector>

namespace orv {

enum MemoKind : int {
  kMemoLunar = -1,  // month and day of the lunar calendar
  kMemoSolar = 1,   // month and day of the civil calendar
};

struct MemoEntry {
  int kind = 0;      // kMemoSolar or kMemoLunar; other values are never shown
  int year = 0;      // first year (astronomical) from which it is shown
  int month = 0;     // lunar month for a lunar entry
  int day = 0;
  std::string name;  // UTF-8, one word; ":" marks a holiday, ";" a highlight
};

// At most kMemoCapacity rows, in file order; empty without a memo file.
inline constexpr int kMemoCapacity = 150;
using MemoTable = std::vector<MemoEntry>;

}  // namespace orv
