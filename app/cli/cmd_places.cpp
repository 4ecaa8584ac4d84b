// Commands of the place table.
#include <charconv>
#include <cstdio>
#include <string>

#include "app/cli/cli.h"

namespace orv::cli {
namespace {

// One CSV field (RFC 4180): quoted, with its quotes doubled, when it holds a
// comma, a quote or a line end.
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

// The shortest text that reads back as the same value (135, 116.432, -0.25).
template <typename Number>
std::string ShortestText(Number value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// places [--search TEXT]: the rows of the place table (the built-in rows, then
// the user's rows) as CSV; --search keeps the rows whose name or Korean names
// contain TEXT (ASCII letters in any case).
int CmdPlaces(CliContext& ctx) {
  // Korean city and country names find the rows abroad too ("뉴욕").
  const std::string search = ctx.inv.Get("search").value_or("");
  std::string out = "index,name,meridian,longitude,latitude,dst\n";
  for (size_t i = 0; i < ctx.places.rows.size(); ++i) {
    const PlaceRecord& p = ctx.places.rows[i];
    if (!search.empty() && !PlaceMatches(ctx.places, static_cast<int>(i), search)) continue;
    out += std::to_string(i) + "," + CsvField(p.name) + "," + ShortestText(p.meridian) + "," +
           ShortestText(p.longitude) + "," + ShortestText(p.latitude) + "," + CsvField(p.daylightSaving) + "\n";
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

}  // namespace

void RegisterPlaceCommands(std::vector<CommandSpec>& commands) {
  commands.push_back({"places", CmdPlaces, "places [--search TEXT]", 0, 0, {{"search", true}}});
}

}  // namespace orv::cli
