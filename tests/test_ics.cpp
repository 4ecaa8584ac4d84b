// iCalendar export: parsed back with an independent parser (Debian's
// python3-icalendar), event counts, lunar anniversaries on their civil dates
// over several years (KASI lunar calendar), stable UIDs.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>

#include "app/core/reports/ics.h"
#include "cli_runner.h"

namespace orv {
namespace {

using testing::RunCli;
using testing::TempDir;

bool HaveIcalendarParser() {
  return std::system("/usr/bin/python3 -c 'import icalendar' >/dev/null 2>&1") == 0;
}

// UID -> "start<TAB>summary" as the parser reads the file.
std::map<std::string, std::string> Parse(const std::string& file) {
  std::map<std::string, std::string> events;
  const std::string cmd = "/usr/bin/python3 " + std::string(ORVANTA_TEST_DATA) + "/../ics_check.py " + file;
  FILE* pipe = ::popen(cmd.c_str(), "r");
  if (!pipe) return events;
  char line[1024];
  while (std::fgets(line, sizeof line, pipe)) {
    std::string l(line);
    if (!l.empty() && l.back() == '\n') l.pop_back();
    const auto tab = l.find('\t');
    events[l.substr(0, tab)] = l.substr(tab + 1);
  }
  EXPECT_EQ(::pclose(pipe), 0) << "the parser rejected " << file;
  return events;
}

TEST(Ics, FoldingAndEscaping) {
  EXPECT_EQ(IcsEscape("a,b;c\\d\ne"), "a\\,b\\;c\\\\d\\ne");
  // 30 Hangul syllables (90 octets) fold into lines of at most 75 octets
  // without splitting a character.
  std::string text = "SUMMARY:";
  for (int i = 0; i < 30; ++i) text += "가";
  const std::string folded = IcsFold(text);
  std::istringstream in(folded);
  std::string line;
  int lines = 0;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    EXPECT_LE(line.size(), 75u);
    ++lines;
  }
  EXPECT_EQ(lines, 2);
  EXPECT_EQ(folded.substr(0, 8), "SUMMARY:");
}

TEST(Ics, ExportParsesWithLunarAnniversariesAndStableUids) {
  if (!HaveIcalendarParser()) GTEST_SKIP() << "python3-icalendar is not installed";
  TempDir dir;
  dir.write("비망일.txt", "1,1990,5,5,결혼기념일:\n-1,1950,3,15,할머니생신\n-1,2000,12,30,섣달그믐\n");
  auto r = RunCli("ics 2024..2026 -o a.ics", dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  r = RunCli("ics 2024..2026 -o b.ics", dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  const auto a = Parse(dir.file("a.ics"));
  const auto b = Parse(dir.file("b.ics"));
  // 3 years: 72 terms, 74 new and full moons (2024: 12 + 12, 2025: 12 + 12,
  // 2026: 13 + 12 ... counted below), 16 holidays a year of the report's rows
  // and the days off they do not name (the national almanac's lists:
  // 2024 2/12 5/6, 2025 3/3 5/6 10/8, 2026 3/2 5/1 5/25 8/17 10/5), 3 memo
  // rows a year.
  int terms = 0, moons = 0, holidays = 0, memos = 0;
  for (const auto& [uid, value] : a) {
    if (uid.rfind("term-", 0) == 0) ++terms;
    else if (uid.rfind("newmoon-", 0) == 0 || uid.rfind("fullmoon-", 0) == 0) ++moons;
    else if (uid.rfind("holiday-", 0) == 0) ++holidays;
    else if (uid.rfind("memo-", 0) == 0) ++memos;
  }
  EXPECT_EQ(terms, 72);
  EXPECT_GE(moons, 73);
  EXPECT_LE(moons, 75);
  EXPECT_EQ(holidays, 3 * 16 + 2 + 3 + 5);
  EXPECT_EQ(memos, 9);
  // The same events under the same UIDs in both exports.
  ASSERT_EQ(a.size(), b.size());
  for (const auto& [uid, value] : a) EXPECT_EQ(b.count(uid), 1u) << uid;
  // Lunar 3/15 on its civil dates (KASI): 2024-04-23, 2025-04-12, 2026-05-01;
  // 12/30 on the last day of the twelfth month: 2025-01-28 (29 days),
  // 2026-02-16, 2027-02-06.
  std::multiset<std::string> starts;
  for (const auto& [uid, value] : a)
    if (uid.rfind("memo-lunar", 0) == 0) starts.insert(value.substr(0, value.find('\t')));
  for (const char* date : {"2024-04-23", "2025-04-12", "2026-05-01", "2025-01-28", "2026-02-16", "2027-02-06"})
    EXPECT_EQ(starts.count(date), 1u) << date;
  // Timed events carry the place's offset: the 2024 spring equinox at 12:06 KST.
  const std::string equinox = a.at("term-2024-03@orvanta");
  EXPECT_EQ(equinox.substr(0, 17), "2024-03-20T12:06:");
  EXPECT_EQ(equinox.substr(19, 6), "+09:00");
}

TEST(Ics, MemoTitlesCarryTheNameOnly) {
  TempDir dir;
  dir.write("비망일.txt", "1,2000,12,24,성탄전야:\n-1,1950,11,20,할머니생신;\n1,2000,3,3,보통날\n");
  const auto r = RunCli("ics 2026 --memo -o a.ics", dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string ics = dir.read("a.ics");
  // The markers of the month view stay out of the titles; what they meant
  // is a category, and a lunar anniversary's date is described.
  for (const char* line : {"SUMMARY:성탄전야\r\n", "SUMMARY:할머니생신\r\n", "SUMMARY:보통날\r\n",
                           "CATEGORIES:비망일,공휴일\r\n", "CATEGORIES:비망일,강조\r\n", "CATEGORIES:비망일\r\n",
                           "DESCRIPTION:음력 11월 20일\r\n"})
    EXPECT_NE(ics.find(line), std::string::npos) << line;
  for (const char* leak : {"성탄전야:", "할머니생신\\;", "(음 "}) EXPECT_EQ(ics.find(leak), std::string::npos) << leak;
}

TEST(Ics, BadArguments) {
  TempDir dir;
  for (const char* args : {"ics 2024", "ics 2025..2024 -o x.ics", "ics 0 -o x.ics", "ics 1900..2200 -o x.ics",
                           "ics abc -o x.ics"}) {
    const auto r = RunCli(args, dir.path());
    EXPECT_EQ(r.status, 2) << args;
  }
  // An output that cannot be written: status 1 and no file left behind.
  const auto r = RunCli("ics 2024 -o /nonexistent/x.ics", dir.path());
  EXPECT_EQ(r.status, 1);
}

}  // namespace
}  // namespace orv
