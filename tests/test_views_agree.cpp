// Every view reads one calendar of days: the month grid, the printed pages,
// the "다가오는 날" list (orvanta-cli upcoming), the iCalendar file and the
// holiday CSV name the same days off and put each anniversary on the same
// day, at places in Korea and abroad, under either choice of the calendar
// that lunar anniversaries follow.
//
// Dates pinned to KASI's lunar calendar (npm korean-lunar-calendar): 설날
// 2027 is 2027-02-07, lunar 2020-06-01 is 2020-07-21.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>

#include "app/core/calendar_app.h"
#include "app/core/files/files.h"
#include "app/core/month_palette.h"
#include "app/core/print/print_pages.h"
#include "cli_runner.h"
#include "time/text_format.h"

namespace orv {
namespace {

using testing::RunCli;
using testing::TempDir;

// Every printable ASCII character that is not a letter, digit or blank; it
// ends in "~", so no trailing ":" or ";" asks for a style.
const std::string kSymbols = "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";

// A memo file of the second format (names whole to the end of the line).
std::string MemoFile() {
  return std::string(kMemoFormat2Line) + "\n" +
         "-1,1950,6,1,제사\n"
         "1,1950,5,20,C# 공부 모임\n"
         "1,1950,3,16,할머니@생신!\n"
         "1,1950,4,2," + kSymbols + "\n"
         "-1,1950,8,20,외가 제사;\n";
}

std::string DateText(const CivilDate& d) { return Format("%04d-%02d-%02d", d.year, d.month, d.day); }

int PlaceLike(const PlaceTable& places, const std::string& part) {
  for (size_t i = 0; i < places.rows.size(); ++i)
    if (places.rows[i].name.find(part) != std::string::npos) return static_cast<int>(i);
  return -1;
}

// What one view says of a year: the days off and the anniversaries as
// "date name".
struct ViewDays {
  std::set<std::string> daysOff;
  std::set<std::string> anniversaries;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
  }
  return out;
}

// A field of a CSV row as the formats write it (quoted when it holds a
// comma or a quote, quotes doubled).
std::vector<std::string> CsvFields(const std::string& row) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (size_t i = 0; i < row.size(); ++i) {
    const char c = row[i];
    if (quoted) {
      if (c == '"' && i + 1 < row.size() && row[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        fields.back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

// iCalendar text unescaped (RFC 5545, 3.3.11) and unfolded.
std::string IcsText(const std::string& value) {
  std::string out;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) {
      const char n = value[++i];
      out += n == 'n' ? '\n' : n;
    } else {
      out += value[i];
    }
  }
  return out;
}

struct IcsDays {
  ViewDays days;
  std::map<std::string, std::string> holidayByKey;  // "seollal" -> date
};

IcsDays ReadIcs(const std::string& text, int year) {
  std::string unfolded;
  for (const std::string& line : Lines(text)) {
    if (!line.empty() && line[0] == ' ') unfolded += line.substr(1);
    else unfolded += "\n" + line;
  }
  IcsDays out;
  std::string uid, date, summary;
  for (const std::string& line : Lines(unfolded)) {
    if (line.rfind("UID:", 0) == 0) uid = line.substr(4);
    if (line.rfind("DTSTART;VALUE=DATE:", 0) == 0) {
      const std::string d = line.substr(19);
      date = d.substr(0, 4) + "-" + d.substr(4, 2) + "-" + d.substr(6, 2);
    }
    if (line.rfind("SUMMARY:", 0) == 0) summary = IcsText(line.substr(8));
    if (line == "END:VEVENT") {
      if (uid.rfind("memo-", 0) == 0 && date.rfind(std::to_string(year), 0) == 0)
        out.days.anniversaries.insert(date + " " + summary);
      for (const char* key : {"seollal", "chuseok"})
        if (uid == Format("holiday-%s-%d@orvanta", key, year)) out.holidayByKey[key] = date;
      uid.clear();
      date.clear();
    }
  }
  return out;
}

struct Case {
  const char* place;  // a part of the place's name
  int year;
  AnniversaryCalendar anniversaries;
};

class ViewsAgree : public ::testing::TestWithParam<Case> {};

TEST_P(ViewsAgree, OnHolidaysAndAnniversaries) {
  const Case c = GetParam();
  TempDir dir;
  dir.write(kMemoFileName, MemoFile());
  RecordingMessageSink messages;
  FixedClock clock{{MakeTm(2024, 2, 15, 10, 30), MakeTm(2024, 2, 15, 1, 30)}};
  CalendarApp app{{"/nonexistent-program-folder", dir.path()}, messages, clock};
  app.StartUp();
  const int place = PlaceLike(app.Places(), c.place);
  ASSERT_GE(place, 0) << c.place;
  app.ChangePlace(place);
  app.SetAnniversaryCalendar(c.anniversaries);
  const std::string calendarKey = AnniversaryCalendarKey(c.anniversaries);
  const std::string where = std::string(c.place) + " " + std::to_string(c.year) + " " + calendarKey;

  // The month grid, month by month (the days of each month).
  ViewDays grid;
  for (int m = 1; m <= 12; ++m) {
    app.SetMonth(c.year, m, DisplayMode::Solar);
    app.ShowInputs();
    const MonthView& v = app.Month().View();
    ASSERT_TRUE(v.filled) << where << " month " << m;
    for (int k = v.LastCellBefore + 1; k < v.FirstCellAfter; ++k) {
      const MonthCell& cell = v.grid.cells[k];
      const std::string date = DateText(cell.values.solar);
      for (const CellName& n : cell.names) {
        if (n.kind == CellName::Kind::Holiday) grid.daysOff.insert(date);
        else grid.anniversaries.insert(date + " " + n.text);
      }
      // The text drawn holds every name whole.
      for (const CellName& n : cell.names) EXPECT_NE(cell.ThirdLine().find(n.text), std::string::npos);
    }
  }

  // The printed pages.
  PrintDocument doc;
  ASSERT_TRUE(app.Reports().BuildPrint({c.year, 1, 12, false}, doc)) << where;
  ViewDays print;
  for (const PrintMonthPage& page : doc.months)
    for (const PrintDay& d : page.days) {
      if (!d.inMonth) continue;
      for (const CellName& n : d.cell.names) {
        if (n.kind == CellName::Kind::Holiday) print.daysOff.insert(DateText(d.cell.values.solar));
        else print.anniversaries.insert(DateText(d.cell.values.solar) + " " + n.text);
        EXPECT_NE(d.names.find(n.text), std::string::npos) << d.names;
      }
    }

  // orvanta-cli: the upcoming list, the holiday CSV and the iCalendar file.
  const std::string options = " --place " + std::to_string(place) + " --anniversaries " + calendarKey;
  const int daysInYear = c.year % 4 == 0 ? 366 : 365;
  const auto upcoming = RunCli(Format("upcoming --from %d-01-01 --days %d --format csv", c.year, daysInYear) + options,
                               dir.path());
  ASSERT_EQ(upcoming.status, 0) << upcoming.err;
  ViewDays list;
  for (const std::string& row : Lines(upcoming.out)) {
    const std::vector<std::string> f = CsvFields(row);
    if (f.size() != 4) continue;
    if (f[3] == "holiday") list.daysOff.insert(f[0]);
    if (f[3] == "memo-solar" || f[3] == "memo-lunar") list.anniversaries.insert(f[0] + " " + f[2]);
  }
  const auto holidays = RunCli(Format("holidays %d --format csv", c.year) + options, dir.path());
  ASSERT_EQ(holidays.status, 0) << holidays.err;
  ViewDays csv;
  std::map<std::string, std::string> csvDateOfName;
  for (const std::string& row : Lines(holidays.out)) {
    const std::vector<std::string> f = CsvFields(row);
    if (f.size() != 3 || f[0] == "date") continue;
    if (f[2] == "1") csv.daysOff.insert(f[0]);
    csvDateOfName[f[1]] = f[0];
  }
  const auto ics = RunCli(Format("ics %d..%d --holidays --memo -o days.ics", c.year, c.year) + options, dir.path());
  ASSERT_EQ(ics.status, 0) << ics.err;
  const IcsDays calendar = ReadIcs(dir.read("days.ics"), c.year);

  EXPECT_FALSE(grid.daysOff.empty()) << where;
  EXPECT_EQ(print.daysOff, grid.daysOff) << where;
  EXPECT_EQ(list.daysOff, grid.daysOff) << where;
  EXPECT_EQ(csv.daysOff, grid.daysOff) << where;
  EXPECT_EQ(print.anniversaries, grid.anniversaries) << where;
  EXPECT_EQ(list.anniversaries, grid.anniversaries) << where;
  EXPECT_EQ(calendar.days.anniversaries, grid.anniversaries) << where;
  for (const auto& [key, name] : {std::pair<std::string, std::string>{"seollal", "설날"}, {"chuseok", "추석"}}) {
    if (csvDateOfName.count(name) != 0) {
      EXPECT_EQ(calendar.holidayByKey.at(key), csvDateOfName[name]) << where << key;
    }
  }

  // Names keep every character they have.
  for (const char* name : {"C# 공부 모임", "할머니@생신!"}) {
    bool found = false;
    for (const std::string& a : grid.anniversaries) found = found || a.substr(11) == name;
    EXPECT_TRUE(found) << where << " " << name;
  }
  EXPECT_TRUE(grid.anniversaries.count(Format("%d-04-02 ", c.year) + kSymbols)) << where;

  // Pinned to KASI: the Korean 설날 of 2027 wherever the place; the lunar
  // anniversary of 2020 on the Korean calendar's 6/1 unless the place's own
  // calendar is chosen (New York's 6/1 is a day earlier).
  if (c.year == 2027) {
    EXPECT_TRUE(grid.daysOff.count("2027-02-07")) << where;
  }
  if (c.year == 2020) {
    const bool local = c.anniversaries == AnniversaryCalendar::Local && std::string(c.place) == "New York";
    EXPECT_TRUE(grid.anniversaries.count(local ? "2020-07-20 제사" : "2020-07-21 제사")) << where;
  }
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
  std::string place = info.param.place == std::string("서울") ? "Seoul" : info.param.place;
  for (char& ch : place)
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return place + "_" + std::to_string(info.param.year) + "_" + AnniversaryCalendarKey(info.param.anniversaries);
}

constexpr AnniversaryCalendar kKorean = AnniversaryCalendar::Korean;
constexpr AnniversaryCalendar kLocal = AnniversaryCalendar::Local;

INSTANTIATE_TEST_SUITE_P(
    PlacesAndYears, ViewsAgree,
    ::testing::Values(Case{"서울", 2020, kKorean}, Case{"서울", 2027, kKorean}, Case{"서울", 2033, kKorean},
                      Case{"서울", 1990, kKorean}, Case{"New York", 2020, kKorean}, Case{"New York", 2027, kKorean},
                      Case{"New York", 2033, kKorean}, Case{"New York", 1990, kKorean}, Case{"Paris", 2020, kKorean},
                      Case{"Paris", 2027, kKorean}, Case{"Paris", 2033, kKorean}, Case{"Paris", 1990, kKorean},
                      Case{"Wellington", 2020, kKorean}, Case{"Wellington", 2027, kKorean},
                      Case{"Wellington", 2033, kKorean}, Case{"Wellington", 1990, kKorean},
                      Case{"New York", 2020, kLocal}, Case{"New York", 2027, kLocal}, Case{"Wellington", 2033, kLocal}),
    CaseName);

// The command line refuses a calendar it does not know.
TEST(ViewsAgree, UnknownAnniversaryCalendarIsAUsageError) {
  TempDir dir;
  const auto r = RunCli("upcoming --anniversaries lunar", dir.path());
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--anniversaries takes korean or local"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace orv
