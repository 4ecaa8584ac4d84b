// Text taken back out of a printed PDF or a picture's SVG is the text drawn:
// ideographs, never the CJK radicals that a font draws with the same glyph
// (月 is not U+2F49 KANGXI RADICAL MOON). Read back with poppler's pdftotext.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli_runner.h"

namespace orv {
namespace {

using testing::RunCli;
using testing::TempDir;

// A place whose name holds ideographs that Noto Sans CJK draws with the glyph
// of a radical (乙 U+2F04, 子 U+2F26, 己 U+2F30, 月 U+2F49, 辰 U+2FA0,
// 辛 U+2F9F, 酉 U+2FA3), at Seoul's coordinates; an anniversary adds 巳
// (U+2E92, a CJK radical supplement character).
constexpr char kPlace[] = "乙亥月子己辰辛酉";

void WritePlace(const TempDir& dir) { dir.write("지역경위고도.txt", std::string("135,") + kPlace + ",126.98,37.57,0,없음,\n"); }

// The code points of UTF-8 text in the CJK radical blocks (U+2E80..U+2FDF).
std::string RadicalsIn(const std::string& text) {
  std::string found;
  for (size_t i = 0; i + 2 < text.size(); ++i) {
    const unsigned char a = text[i], b = text[i + 1], c = text[i + 2];
    if (a != 0xE2) continue;
    const unsigned code = ((a & 0x0Fu) << 12) | ((b & 0x3Fu) << 6) | (c & 0x3Fu);
    if ((b & 0xC0) == 0x80 && (c & 0xC0) == 0x80 && code >= 0x2E80 && code <= 0x2FDF) {
      char hex[16];
      std::snprintf(hex, sizeof hex, " U+%04X", code);
      found += hex;
    }
  }
  return found;
}

std::string PdfText(const std::string& pdf) {
  testing::CliResult r;
  FILE* pipe = ::popen(("pdftotext " + testing::ShellQuote(pdf) + " - 2>/dev/null").c_str(), "r");
  if (!pipe) return "";
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
  ::pclose(pipe);
  return r.out;
}

TEST(DrawnText, PrintedPagesGiveBackTheirIdeographs) {
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "poppler-utils is not installed";
  TempDir dir;
  if (RunCli("help", dir.path()).out.find("  print YEAR") == std::string::npos)
    GTEST_SKIP() << "orvanta-cli was built without printing";
  WritePlace(dir);
  dir.write("비망일.txt", "1,1990,1,20,巳月모임\n");
  struct Case {
    const char* args;
    std::vector<std::string> expected;
  } cases[] = {
      // January 1995: the year of 乙亥 from 31 January.
      {"--month 1", {kPlace, "1월", "巳月모임", "乙亥"}},
      {"--year-view", {"1995", "1월", "乙亥"}},
  };
  for (const Case& c : cases) {
    const std::string pdf = dir.file("page.pdf");
    const testing::CliResult r =
        RunCli(std::string("print 1995 ") + c.args + " --place " + kPlace + " -o page.pdf", dir.path());
    ASSERT_EQ(r.status, 0) << c.args << "\n" << r.err;
    const std::string text = PdfText(pdf);
    for (const std::string& piece : c.expected) EXPECT_NE(text.find(piece), std::string::npos) << c.args << ": " << piece;
    EXPECT_EQ(RadicalsIn(text), "") << c.args;
  }
}

#ifdef ORVANTA_HAVE_PICTURES
TEST(DrawnText, PictureSvgTextIsTheTextDrawn) {
  TempDir dir;
  WritePlace(dir);
  for (const char* command : {"day-sky 1995-01-31", "daylight 1995", "eclipse-map 1995-04-29"}) {
    const testing::CliResult r =
        RunCli(std::string(command) + " --place " + kPlace + " -o picture.svg", dir.path());
    ASSERT_EQ(r.status, 0) << command << "\n" << r.err;
    const std::string svg = dir.read("picture.svg");
    EXPECT_NE(svg.find(kPlace), std::string::npos) << command;
    EXPECT_EQ(RadicalsIn(svg), "") << command;
  }
}
#endif

}  // namespace
}  // namespace orv
