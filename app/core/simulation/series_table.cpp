#include "app/core/simulation/series_table.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>

#include "time/dates.h"

namespace orv {
namespace {

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, ',')) fields.push_back(field);
  if (!line.empty() && line.back() == ',') fields.emplace_back();
  return fields;
}

std::string Trimmed(const std::string& text) {
  const size_t a = text.find_first_not_of(" \t\r'");
  if (a == std::string::npos) return std::string();
  const size_t b = text.find_last_not_of(" \t\r");
  return text.substr(a, b - a + 1);
}

// "2026-01-01 00:00:0.00" (year may be negative) as a Julian Day.
bool ParseDateTime(const std::string& text, double& jd) {
  int y = 0, m = 0, d = 0, h = 0, mi = 0, consumed = 0;
  double s = 0.0;
  if (std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%lf%n", &y, &m, &d, &h, &mi, &s, &consumed) != 6) return false;
  if (consumed != static_cast<int>(text.size()) || m < 1 || m > 12 || d < 1 || d > 31) return false;
  jd = CalendarToJulianDay(y, m, d) + (h * 3600.0 + mi * 60.0 + s) / kSecondsPerDay;
  return std::isfinite(jd);
}

bool ParseNumber(const std::string& text, double& value) {
  const char* begin = text.data();
  const char* end = text.data() + text.size();
  if (begin != end && *begin == '+') ++begin;
  const auto [ptr, ec] = std::from_chars(begin, end, value);
  return ec == std::errc() && ptr == end && std::isfinite(value);
}

}  // namespace

bool ParseSeriesTable(const std::string& csv, SeriesTable& out) {
  out = SeriesTable{};
  std::string text = csv;
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> header;
  std::istringstream in(text);
  std::string line;
  int timeColumn = -1;
  std::vector<double> times;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields = SplitFields(line);
    // The row's date-time: the first field that reads as one.
    int column = -1;
    double jd = 0.0;
    for (size_t i = 0; i < fields.size() && column < 0; ++i)
      if (ParseDateTime(Trimmed(fields[i]), jd)) column = static_cast<int>(i);
    if (column < 0) {
      if (rows.empty()) header = fields;  // the last line before the rows names the columns
      continue;
    }
    if (timeColumn < 0) {
      timeColumn = column;
      out.firstTime = Trimmed(fields[static_cast<size_t>(column)]);
    }
    if (column != timeColumn) continue;
    times.push_back(jd);
    rows.push_back(std::move(fields));
  }
  if (rows.empty()) return false;
  size_t width = 0;
  for (const auto& r : rows) width = std::max(width, r.size());
  for (size_t c = 0; c < width; ++c) {
    if (static_cast<int>(c) == timeColumn) continue;
    std::vector<double> values(rows.size(), std::numeric_limits<double>::quiet_NaN());
    bool numeric = true, any = false;
    for (size_t r = 0; r < rows.size() && numeric; ++r) {
      if (c >= rows[r].size()) continue;
      const std::string field = Trimmed(rows[r][c]);
      if (field.empty()) continue;
      double v = 0.0;
      if (!ParseNumber(field, v)) numeric = false;
      values[r] = v;
      any = true;
    }
    if (!numeric || !any) continue;
    out.columnNames.push_back(c < header.size() ? Trimmed(header[c]) : "column " + std::to_string(c + 1));
    out.columns.push_back(std::move(values));
  }
  for (double t : times) out.dayOffsets.push_back(t - times.front());
  return !out.columns.empty();
}

}  // namespace orv
