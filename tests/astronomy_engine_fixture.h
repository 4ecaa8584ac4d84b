// Reader of tests/data/astronomy_engine_events.csv: eclipse and rise/set
// events computed by the npm package astronomy-engine (see
// tools/reference/gen_eclipse_reference.js for the line layout), and of the
// other astronomy_engine_*.csv files of the same line form.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace orv::testing {

struct ReferenceEvent {
  std::string kind;                // lunar, solar, local, riseset
  std::vector<std::string> fields; // after the kind
  double Num(size_t i) const { return i < fields.size() && !fields[i].empty() ? std::stod(fields[i]) : 0.0; }
  const std::string& Text(size_t i) const { return fields.at(i); }
};

inline std::vector<ReferenceEvent> ReadReferenceEvents(const std::string& kind,
                                                      const std::string& file = "astronomy_engine_events.csv") {
  std::ifstream in(std::string(ORVANTA_TEST_DATA) + "/" + file);
  std::vector<ReferenceEvent> out;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::stringstream ss(line);
    ReferenceEvent e;
    std::getline(ss, e.kind, ',');
    if (e.kind != kind) continue;
    std::string field;
    while (std::getline(ss, field, ',')) e.fields.push_back(field);
    if (!line.empty() && line.back() == ',') e.fields.push_back("");
    out.push_back(e);
  }
  return out;
}

}  // namespace orv::testing
