// The layers of the source tree (README, Layout): each folder includes only
// itself and the folders below it (eclipses -> lunisolar -> ephemeris -> time,
// each may use data; app/core over the engine; app/cli, app/print,
// app/pictures over app/core; app/gui over all but app/cli), and no Qt header
// is reachable from the engine, app/core or app/cli, directly or through the
// headers they include. The build links each layer to the ones below it only;
// this test reads the includes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "cli_runner.h"

namespace {

namespace fs = std::filesystem;

struct Layer {
  std::string folder;                   // relative to the source folder, ending in '/'
  std::vector<std::string> mayInclude;  // folders (ending in '/') or single headers
  bool qtFree;
};

const std::vector<Layer>& Layers() {
  static const std::vector<std::string> engine = {"eclipses/", "lunisolar/", "ephemeris/", "time/", "data/"};
  auto over = [](std::vector<std::string> own) {
    own.insert(own.end(), engine.begin(), engine.end());
    return own;
  };
  static const std::vector<Layer> layers = {
      {"data/", {"data/"}, true},
      {"time/", {"time/", "data/"}, true},
      {"ephemeris/", {"ephemeris/", "time/", "data/"}, true},
      {"lunisolar/", {"lunisolar/", "ephemeris/", "time/", "data/"}, true},
      {"eclipses/", engine, true},
      {"app/core/", over({"app/core/"}), true},
      {"app/print/", over({"app/print/", "app/core/"}), false},
      {"app/pictures/", over({"app/pictures/", "app/core/"}), false},
      // The command line reaches printing and pictures through their
      // headers free of Qt only.
      {"app/cli/", over({"app/cli/", "app/core/", "app/print/print_file.h", "app/pictures/picture_files.h"}), true},
      {"app/gui/", over({"app/gui/", "app/pictures/", "app/print/", "app/core/"}), false},
  };
  return layers;
}

const Layer* LayerOf(const std::string& file) {
  for (const Layer& layer : Layers())
    if (file.rfind(layer.folder, 0) == 0) return &layer;
  return nullptr;  // tests, bench, tools: no rule
}

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

// <QString>, <QtCore/qglobal.h>, <qglobal.h>; not <queue>.
bool IsQtHeader(const std::string& name) {
  static const std::regex qt(R"(^(Q[A-Za-z0-9_]*(/.*)?|q[a-z0-9_]*\.h)$)");
  return std::regex_match(name, qt);
}

// Why `file` may not include `included` ("" when it may). `angle` for <...>.
std::string BrokenRule(const std::string& file, const std::string& included, bool angle) {
  const Layer* layer = LayerOf(file);
  if (layer == nullptr) return "";
  if (angle) return layer->qtFree && IsQtHeader(included) ? "a Qt header in " + layer->folder : "";
  for (const std::string& allowed : layer->mayInclude)
    if (allowed.back() == '/' ? StartsWith(included, allowed) : included == allowed) return "";
  return "above or beside " + layer->folder;
}

struct Include {
  int line;
  std::string name;
  bool angle;
};

std::vector<Include> IncludesOf(const fs::path& path) {
  static const std::regex directive(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
  std::vector<Include> includes;
  std::ifstream in(path);
  std::string text;
  std::smatch match;
  for (int line = 1; std::getline(in, text); ++line)
    if (std::regex_search(text, match, directive)) includes.push_back({line, match[2], match[1] == "<"});
  return includes;
}

bool IsSource(const fs::path& path) {
  const std::string ending = path.extension().string();
  return ending == ".h" || ending == ".cpp" || ending == ".inl";
}

// Every include of the tree under `root` that breaks a rule, as
// "file:line: #include name (why)". A file of a layer free of Qt that reaches
// a Qt header through the project's headers is named with the chain.
std::vector<std::string> LayerViolations(const fs::path& root) {
  std::vector<std::string> violations;
  std::vector<std::string> files;
  for (const Layer& layer : Layers()) {
    if (!fs::exists(root / layer.folder)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(root / layer.folder))
      if (entry.is_regular_file() && IsSource(entry.path()))
        files.push_back(fs::relative(entry.path(), root).generic_string());
  }
  for (const std::string& file : files)
    for (const Include& inc : IncludesOf(root / file)) {
      const std::string why = BrokenRule(file, inc.name, inc.angle);
      if (!why.empty())
        violations.push_back(file + ":" + std::to_string(inc.line) + ": #include " +
                             (inc.angle ? "<" + inc.name + ">" : "\"" + inc.name + "\"") + " (" + why + ")");
    }
  // The chain from a header to the first Qt header it reaches ("" = none).
  std::map<std::string, std::string> qtChain;
  std::function<std::string(const std::string&)> chainOf = [&](const std::string& file) -> std::string {
    const auto known = qtChain.find(file);
    if (known != qtChain.end()) return known->second;
    qtChain[file] = "";  // an include cycle ends here
    std::string chain;
    for (const Include& inc : IncludesOf(root / file)) {
      if (inc.angle) {
        if (IsQtHeader(inc.name)) chain = file + " -> <" + inc.name + ">";
      } else if (fs::exists(root / inc.name)) {
        const std::string further = chainOf(inc.name);
        if (!further.empty()) chain = file + " -> " + further;
      }
      if (!chain.empty()) break;
    }
    qtChain[file] = chain;
    return chain;
  };
  for (const std::string& file : files) {
    const Layer* layer = LayerOf(file);
    if (layer == nullptr || !layer->qtFree) continue;
    for (const Include& inc : IncludesOf(root / file)) {
      if (inc.angle || !fs::exists(root / inc.name)) continue;
      const std::string chain = chainOf(inc.name);
      if (!chain.empty())
        violations.push_back(file + ":" + std::to_string(inc.line) + ": reaches Qt through " + chain);
    }
  }
  return violations;
}

TEST(Layers, IncludeRules) {
  struct Case {
    const char* file;
    const char* included;
    bool angle;
    bool allowed;
  };
  const Case cases[] = {
      {"time/dates.cpp", "ephemeris/sunmoon.h", false, false},
      {"time/timescales.cpp", "data/deltat_tables.h", false, true},
      {"data/places.cpp", "time/dates.h", false, false},
      {"ephemeris/plan404.h", "data/plan404_tables.h", false, true},
      {"ephemeris/sunmoon.cpp", "lunisolar/terms.h", false, false},
      {"lunisolar/prepare.cpp", "ephemeris/sunmoon.h", false, true},
      {"lunisolar/prepare.cpp", "eclipses/eclipse_year.h", false, false},
      {"eclipses/eclipse_year.h", "lunisolar/year_tables.h", false, true},
      {"eclipses/riseset.cpp", "app/core/messages.h", false, false},
      {"time/dates.cpp", "app/cli/cli.h", false, false},
      {"app/core/year_service.cpp", "eclipses/eclipse_year.h", false, true},
      {"app/core/year_service.cpp", "app/gui/month_grid.h", false, false},
      {"app/core/year_service.cpp", "app/print/print_painter.h", false, false},
      {"app/core/files/memo.cpp", "QString", true, false},
      {"app/core/files/memo.cpp", "QtCore/qstring.h", true, false},
      {"app/core/files/memo.cpp", "qglobal.h", true, false},
      {"app/core/files/memo.cpp", "queue", true, true},
      {"lunisolar/terms.cpp", "QDate", true, false},
      {"app/cli/cmd_sky.cpp", "app/pictures/picture_files.h", false, true},
      {"app/cli/cmd_sky.cpp", "app/pictures/pictures.h", false, false},
      {"app/cli/print/cmd_print.cpp", "app/print/print_file.h", false, true},
      {"app/cli/print/cmd_print.cpp", "app/print/print_painter.h", false, false},
      {"app/cli/print/cmd_print.cpp", "QGuiApplication", true, false},
      {"app/cli/main.cpp", "app/gui/main_window.h", false, false},
      {"app/print/print_painter.cpp", "QPdfWriter", true, true},
      {"app/print/print_painter.cpp", "app/gui/controls.h", false, false},
      {"app/pictures/pictures.cpp", "app/cli/cli.h", false, false},
      {"app/gui/month_grid.cpp", "app/pictures/pictures.h", false, true},
      {"app/gui/month_grid.cpp", "app/cli/cli.h", false, false},
      {"tests/test_dates.cpp", "app/gui/main_window.h", false, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BrokenRule(c.file, c.included, c.angle).empty(), c.allowed) << c.file << " includes " << c.included;
}

// The scan itself: a tree with one include of each kind of fault is refused
// at each of them, the Qt reached through an allowed header included.
TEST(Layers, ScanFindsEveryFaultOfAPlantedTree) {
  orv::testing::TempDir dir;
  const fs::path root = dir.path();
  auto put = [&](const std::string& file, const std::string& text) {
    fs::create_directories((root / file).parent_path());
    std::ofstream(root / file) << text;
  };
  put("time/dates.h", "#pragma once\n#include <string>\n");
  put("time/dates.cpp", "#include \"time/dates.h\"\n  #  include \"ephemeris/sunmoon.h\"\n");
  put("ephemeris/sunmoon.h", "#include \"time/dates.h\"\n");
  put("app/core/a.cpp", "#include <QString>\n#include \"app/core/b.h\"\n");
  put("app/core/b.h", "#include \"time/dates.h\"\n");
  put("app/pictures/picture_files.h", "#include \"app/pictures/pictures.h\"\n");
  put("app/pictures/pictures.h", "#include <QPainter>\n");
  put("app/cli/cmd.cpp", "#include \"app/pictures/picture_files.h\"\n");
  put("tests/t.cpp", "#include \"app/gui/w.h\"\n#include <QTest>\n");
  const std::vector<std::string> found = LayerViolations(root);
  const std::vector<std::string> expected = {
      "time/dates.cpp:2: #include \"ephemeris/sunmoon.h\" (above or beside time/)",
      "app/core/a.cpp:1: #include <QString> (a Qt header in app/core/)",
      "app/cli/cmd.cpp:1: reaches Qt through app/pictures/picture_files.h -> app/pictures/pictures.h -> <QPainter>",
  };
  for (const std::string& violation : expected)
    EXPECT_NE(std::find(found.begin(), found.end(), violation), found.end()) << violation;
  for (const std::string& violation : found)
    EXPECT_NE(std::find(expected.begin(), expected.end(), violation), expected.end()) << "also: " << violation;
}

TEST(Layers, SourceTreeKeepsItsLayers) {
  const std::vector<std::string> violations = LayerViolations(ORVANTA_SOURCE_DIR);
  std::string list;
  for (const std::string& v : violations) list += v + "\n";
  EXPECT_TRUE(violations.empty()) << list;
}

}  // namespace
