// A simulation table read back for plotting: the columns of numbers against
// the time of each row. The CSV is the one the run wrote (UTF-8 with a byte-order
// mark, lines of settings before the header, date-times as 'Y-MM-DD hh:mm:ss.ss).
#pragma once

#include <string>
#include <vector>

namespace orv {

struct SeriesTable {
  std::string firstTime;                 // the first row's date-time as written
  std::vector<double> dayOffsets;        // each row's time, days after the first row's
  std::vector<std::string> columnNames;  // the columns of numbers
  std::vector<std::vector<double>> columns;  // per column, per row (NaN where a row has none)
};

// The rows that carry a date-time and the columns in which every filled
// field is a number; false when there is no such row or column.
bool ParseSeriesTable(const std::string& csv, SeriesTable& out);

}  // namespace orv
