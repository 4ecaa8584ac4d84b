// The anniversary manager: the memo file edited and saved (UTF-8, CP949, a
// file in the first format), checks of a typed row, Korean day counts, and
// the days that come next.
//
// Lunar dates are those of the Korea Astronomy and Space Science Institute
// (npm korean-lunar-calendar 0.4.0, tests/data/kasi_months_1900_2050.csv):
// lunar 2025 month 6 from 2025-06-25 (30 days), leap month 6 from 2025-07-25
// (29 days); 2026 month 2 from 2026-03-19 (29 days); 2026 month 11 from
// 2026-12-09 and month 12 from 2027-01-08. Solar terms of KASI's almanac:
// 冬至 2026-12-22, 小寒 2027-01-05. Holidays: 신정 1 January, 성탄절 25 December.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "app/core/anniversaries.h"
#include "app/core/files/memo.h"
#include "app/core/files/memo_document.h"
#include "cli_runner.h"
#include "app/core/year_service.h"
#include "lunisolar_fixture.h"
#include "time/dates.h"

namespace orv {
namespace {

using testing::TempDir;

// "가나다라마바사아" (eight syllables, 16 bytes) and "설날" in CP949.
const std::string kCp949EightSyllables = "\xb0\xa1\xb3\xaa\xb4\xd9\xb6\xf3\xb8\xb6\xb9\xd9\xbb\xe7\xbe\xc6";
const std::string kCp949Seollal = "\xbc\xb3\xb3\xaf";

MemoTable ReadFolder(const TempDir& dir) {
  MemoTable memos;
  EXPECT_TRUE(ReadMemoFile(memos, dir.path()));
  return memos;
}

MemoDocument Load(const TempDir& dir) {
  MemoDocument document;
  std::string error;
  EXPECT_TRUE(LoadMemoDocument(document, dir.path(), &error)) << error;
  return document;
}

// Applies `change` to the memo file through its one writer.
void Change(const TempDir& dir, const std::function<void(MemoDocument&)>& change) {
  std::string error;
  ASSERT_TRUE(ChangeMemoFile(
      dir.path(),
      [&](MemoDocument& document, std::string&) {
        change(document);
        return true;
      },
      nullptr, &error))
      << error;
}

MemoEntry Entry(int kind, int year, int month, int day, const std::string& name) {
  MemoEntry e;
  e.kind = kind;
  e.year = year;
  e.month = month;
  e.day = day;
  e.name = name;
  return e;
}

void ExpectEntry(const MemoEntry& e, int kind, int year, int month, int day, const std::string& name) {
  EXPECT_EQ(e.kind, kind);
  EXPECT_EQ(e.year, year);
  EXPECT_EQ(e.month, month);
  EXPECT_EQ(e.day, day);
  EXPECT_EQ(e.name, name);
}

// --- Reading names -----------------------------------------------------------

TEST(MemoFormats, NamesRunToTheLineEndInEitherFormat) {
  const std::string rows =
      "1,2000,5,5,띄어 쓴 이름\n"
      "-1.1990.1.1.점.과,쉼표가 있는 이름:\n"
      "1,2000,3,2,아주긴기념일이름이랍니다  \n";
  // Older copies of the program showed a first-format name up to its first
  // blank and cut it at 15 bytes; a save then wrote the cut name and the
  // rest was gone. Both formats now read the whole name (points read as
  // commas before the name only).
  for (bool format2 : {false, true}) {
    TempDir dir;
    dir.write(kMemoFileName, (format2 ? std::string(kMemoFormat2Line) + "\n" : std::string()) + rows);
    const MemoTable m = ReadFolder(dir);
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0].name, "띄어 쓴 이름") << format2;
    ExpectEntry(m[1], kMemoLunar, 1990, 1, 1, "점.과,쉼표가 있는 이름:");
    EXPECT_EQ(m[2].name, "아주긴기념일이름이랍니다");
  }
}

TEST(MemoFormats, SecondFormatHasNoRowLimitAndReadsLeapMonthRows) {
  std::string text = std::string(kMemoFormat2Line) + "\n";
  for (int i = 0; i < 400; ++i) text += "1,2000,1," + std::to_string(i % 28 + 1) + ",n" + std::to_string(i) + "\n";
  text += "-2,2020,6,15,윤달 생일\n";
  TempDir dir;
  dir.write(kMemoFileName, text);
  const MemoTable m = ReadFolder(dir);
  ASSERT_EQ(m.size(), 401u);
  EXPECT_EQ(m[399].name, "n399");
  ExpectEntry(m[400], kMemoLunarLeap, 2020, 6, 15, "윤달 생일");
}

// --- The manager's round trip through the file ---------------------------------

TEST(MemoDocument, AddEditDeleteKeepsEveryOtherLineOfAUtf8File) {
  TempDir dir;
  const std::string original = std::string(kMemoFormat2Line) +
                               "\r\n# 우리 집 기념일\r\n1,1990,5,5,결혼기념일:\r\n-1,1950,3,15,할머니생신;\r\n"
                               "\r\n1,2000,1,1,빈 줄 뒤의 줄은 읽지 않음\r\n";
  dir.write(kMemoFileName, "\xEF\xBB\xBF" + original);
  MemoDocument doc = Load(dir);
  EXPECT_TRUE(doc.format2);
  EXPECT_TRUE(doc.format.byteOrderMark);
  EXPECT_EQ(doc.format.lineEnd, "\r\n");
  ASSERT_EQ(doc.RowCount(), 2);

  // Saved unchanged: byte for byte the same file.
  Change(dir, [](MemoDocument&) {});
  EXPECT_EQ(dir.read(kMemoFileName), "\xEF\xBB\xBF" + original);

  Change(dir, [](MemoDocument& d) {
    d.Add(Entry(kMemoSolar, 2010, 10, 9, "첫 만남 기념일"));
    ASSERT_TRUE(d.Replace(0, Entry(kMemoSolar, 1991, 5, 5, "결혼 기념일:")));
    ASSERT_TRUE(d.Remove(1));
    EXPECT_FALSE(d.Remove(5));
  });
  EXPECT_EQ(dir.read(kMemoFileName),
            "\xEF\xBB\xBF" + std::string(kMemoFormat2Line) +
                "\r\n# 우리 집 기념일\r\n1,1991,5,5,결혼 기념일:\r\n1,2010,10,9,첫 만남 기념일\r\n"
                "\r\n1,2000,1,1,빈 줄 뒤의 줄은 읽지 않음\r\n");
  // What the month view reads, and the manager again.
  const MemoTable m = ReadFolder(dir);
  ASSERT_EQ(m.size(), 2u);
  ExpectEntry(m[0], kMemoSolar, 1991, 5, 5, "결혼 기념일:");
  ExpectEntry(m[1], kMemoSolar, 2010, 10, 9, "첫 만남 기념일");
  EXPECT_EQ(Load(dir).RowCount(), 2);
}

TEST(MemoDocument, Cp949FileStaysCp949AndRefusesNamesItCannotHold) {
  TempDir dir;
  const std::string original = "# memo\n-1,1990,1,1," + kCp949Seollal + ":\n";
  dir.write(kMemoFileName, original);
  MemoDocument doc = Load(dir);
  EXPECT_EQ(doc.Encoding(), TextEncoding::Cp949);
  // A first-format file: converted on its first change, its bytes kept.
  EXPECT_FALSE(doc.format2);
  Change(dir, [](MemoDocument& d) { d.Add(Entry(kMemoSolar, 2000, 2, 2, "가나다라마바사아 모임")); });
  const std::string bytes = dir.read(kMemoFileName);
  EXPECT_EQ(dir.read(std::string(kMemoFileName) + ".bak"), original);
  ASSERT_TRUE(FitsMemoEncoding(kMemoFormat2Line, TextEncoding::Cp949));
  EXPECT_NE(bytes.find("-1,1990,1,1," + kCp949Seollal + ":\n1,2000,2,2," + kCp949EightSyllables + " \xb8\xf0\xc0\xd3\n"),
            std::string::npos);
  EXPECT_FALSE(IsValidUtf8(bytes));
  const MemoTable m = ReadFolder(dir);
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[0].name, "설날:");
  EXPECT_EQ(m[1].name, "가나다라마바사아 모임");

  // A character CP949 lacks: refused by the check and by the writer, the
  // file left as it was.
  AnniversaryDraft draft;
  draft.name = "생일 🎂";
  const DraftCheck check = CheckAnniversaryDraft(draft, TextEncoding::Cp949);
  EXPECT_FALSE(check.ok);
  EXPECT_NE(check.error.find("CP949"), std::string::npos) << check.error;
  EXPECT_TRUE(CheckAnniversaryDraft(draft, TextEncoding::Utf8).ok);
  EXPECT_TRUE(CheckAnniversaryDraft(draft, TextEncoding::Utf16).ok);
  std::string error;
  EXPECT_FALSE(ChangeMemoFile(
      dir.path(),
      [&](MemoDocument& d, std::string&) {
        d.Add(EntryOfDraft(draft));
        return true;
      },
      nullptr, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(dir.read(kMemoFileName), bytes);
}

TEST(MemoDocument, AFileOfTheFirstFormatKeepsEveryByteWhenConverted) {
  // Written by the first rule: a heading, trailing words, a name longer than
  // 15 bytes, points for commas, a short line (skipped, and kept), 156 rows
  // more (older copies read 150), and lines after an empty line that nothing
  // reads.
  std::string rows =
      "기념일 목록\n"
      "1, 1950, 6, 25, 육이오;  뒤에 붙은 말\n"
      "1,1960,3,16,아빠 생신\n"
      "1,2000,2,2,가나다라마바사아\n"
      "-1.1990.1.1.설날:\n"
      "-1,1999,8\n";
  for (int i = 0; i < 156; ++i) rows += "1,2001,7," + std::to_string(i % 28 + 1) + ",r" + std::to_string(i) + "\n";
  const std::string tail = "\n1,2002,1,1,읽지않음\n";
  TempDir dir;
  dir.write(kMemoFileName, rows + tail);
  const MemoTable before = ReadFolder(dir);
  ASSERT_EQ(before.size(), 160u);
  ExpectEntry(before[0], kMemoSolar, 1950, 6, 25, "육이오;  뒤에 붙은 말");
  ExpectEntry(before[1], kMemoSolar, 1960, 3, 16, "아빠 생신");
  EXPECT_EQ(before[2].name, "가나다라마바사아");
  ExpectEntry(before[3], kMemoLunar, 1990, 1, 1, "설날:");
  EXPECT_EQ(before[4].name, "r0");

  MemoDocument doc = Load(dir);
  EXPECT_FALSE(doc.format2);
  EXPECT_EQ(doc.RowCount(), 160);
  Change(dir, [](MemoDocument& d) { d.Add(Entry(kMemoSolar, 2026, 12, 24, "성탄 전야")); });

  const MemoTable after = ReadFolder(dir);
  ASSERT_EQ(after.size(), 161u);
  for (size_t i = 0; i < before.size(); ++i) {
    SCOPED_TRACE(i);
    ExpectEntry(after[i], before[i].kind, before[i].year, before[i].month, before[i].day, before[i].name);
  }
  ExpectEntry(after[160], kMemoSolar, 2026, 12, 24, "성탄 전야");
  // The second format's first line, then every line as it was, the new row
  // before the empty line; the original kept beside it.
  EXPECT_EQ(dir.read(kMemoFileName), std::string(kMemoFormat2Line) + "\n" + rows + "1,2026,12,24,성탄 전야\n" + tail);
  EXPECT_EQ(dir.read(std::string(kMemoFileName) + ".bak"), rows + tail);
}

TEST(MemoDocument, AMissingFileStartsFromTheTemplate) {
  TempDir dir;
  MemoDocument doc = Load(dir);
  EXPECT_FALSE(doc.existed);
  EXPECT_EQ(doc.RowCount(), 0);
  Change(dir, [](MemoDocument& d) { d.Add(Entry(kMemoLunar, 1950, 11, 20, "할머니 생신")); });
  EXPECT_EQ(dir.read(kMemoFileName), MemoFileTemplate() + "-1,1950,11,20,할머니 생신\n");
  EXPECT_FALSE(std::filesystem::exists(dir.file(std::string(kMemoFileName) + ".bak")));
}

// --- Checks as the user types ---------------------------------------------------

TEST(AnniversaryDraft, ChecksAndNotes) {
  struct Case {
    const char* name;
    bool lunar, leap;
    int month, day, year;
    bool ok;
    const char* errorOrNote;  // a part of the error, or of the note when ok
  } cases[] = {
      {"결혼기념일", false, false, 5, 5, 1990, true, ""},
      {"", false, false, 5, 5, 1990, false, "이름을"},
      {" 앞 빈칸", false, false, 5, 5, 1990, false, "빈칸"},
      {"성탄전야:", false, false, 12, 24, 1990, false, "':'"},
      {"x", false, false, 2, 30, 1990, false, "29일까지"},
      {"x", false, false, 4, 31, 1990, false, "30일까지"},
      {"x", false, false, 2, 29, 1990, true, "윤년"},
      {"x", false, true, 2, 2, 1990, false, "윤달"},
      {"x", true, false, 2, 31, 1990, false, "30일까지"},
      {"x", true, false, 2, 30, 1990, true, "마지막 날"},
      {"x", true, false, 12, 29, 1990, true, "섣달그믐"},
      {"x", true, true, 6, 15, 2025, true, "윤6월이 없는 해"},
      {"x", false, false, 13, 1, 1990, false, "월은"},
      {"x", false, false, 1, 1, 20000, false, "첫해"},
  };
  for (const Case& c : cases) {
    AnniversaryDraft d;
    d.name = c.name;
    d.lunar = c.lunar;
    d.leapMonth = c.leap;
    d.month = c.month;
    d.day = c.day;
    d.firstYear = c.year;
    const DraftCheck check = CheckAnniversaryDraft(d, TextEncoding::Utf8);
    SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.month) + "/" + std::to_string(c.day));
    EXPECT_EQ(check.ok, c.ok) << check.error;
    EXPECT_NE((c.ok ? check.note : check.error).find(c.errorOrNote), std::string::npos)
        << check.error << check.note;
  }
  std::string longName(kAnniversaryNameMaxChars + 1, 'a');
  AnniversaryDraft d;
  d.name = longName;
  EXPECT_FALSE(CheckAnniversaryDraft(d, TextEncoding::Utf8).ok);
  d.name.pop_back();
  EXPECT_TRUE(CheckAnniversaryDraft(d, TextEncoding::Utf8).ok);
}

TEST(AnniversaryDraft, MarksAndKindsRoundTrip) {
  for (MemoMark mark : {MemoMark::None, MemoMark::Holiday, MemoMark::Highlight})
    for (int kind : {kMemoSolar, kMemoLunar, kMemoLunarLeap}) {
      const MemoEntry e = Entry(kind, 1990, 6, 15, MemoNameWithMark("띄어 쓴 이름", mark));
      EXPECT_EQ(MemoRowText(EntryOfDraft(DraftOfEntry(e))), MemoRowText(e));
      EXPECT_EQ(MemoMarkOf(e.name), mark);
      EXPECT_EQ(MemoDisplayName(e.name), "띄어 쓴 이름");
    }
}

// --- Counting ---------------------------------------------------------------------

TEST(Anniversaries, CountsOfYearsAndDays) {
  EXPECT_EQ(AnniversaryCountText(Entry(kMemoSolar, 1990, 5, 5, "결혼기념일:"), 2026), "36주년");
  EXPECT_EQ(AnniversaryCountText(Entry(kMemoLunar, 1950, 11, 20, "할머니생신"), 2026), "76번째 생일");
  EXPECT_EQ(AnniversaryCountText(Entry(kMemoSolar, 2020, 3, 1, "아기 생일"), 2021), "1번째 생일");
  EXPECT_EQ(AnniversaryCountText(Entry(kMemoSolar, 2026, 3, 1, "x"), 2026), "");

  // Korean usage: the first day is day 1, so day 100 of 1 January is 10
  // April; adding 100 days (the date tools' "100 일째") gives 11 April.
  const CivilDate birth{2026, 1, 1};
  EXPECT_EQ(DateOfDayNumber(birth, 100), (CivilDate{2026, 4, 10}));
  EXPECT_EQ(DayNumberOf(birth, {2026, 4, 10}), 100);
  EXPECT_EQ(DayNumberOf(birth, birth), 1);
  const CivilDateTime added = JulianDayToCalendar(CalendarToJulianDay(2026, 1, 1) + 100);
  EXPECT_EQ((CivilDate{added.year, added.month, added.day}), (CivilDate{2026, 4, 11}));
  // Across a leap day: day 365 of 2024-01-01 is 2024-12-30.
  EXPECT_EQ(DateOfDayNumber({2024, 1, 1}, 365), (CivilDate{2024, 12, 30}));
}

// --- What comes next ------------------------------------------------------------------

struct UpcomingCase {
  testing::CalendarFixture fixture;
  YearService years;
  std::vector<UpcomingDay> List(const MemoTable& memos, CivilDate from, int days) {
    return UpcomingDays(
        [&](int year) { return years.DaysOfYear(*fixture.ctx, *fixture.tables, year, true, memos, DaysOptions{}); },
        from, days);
  }
};

const UpcomingDay* Find(const std::vector<UpcomingDay>& list, const std::string& name) {
  for (const UpcomingDay& d : list)
    if (d.name == name) return &d;
  return nullptr;
}

TEST(Upcoming, AcrossTheYearBoundaryInDateOrder) {
  const MemoTable memos = {Entry(kMemoSolar, 2000, 12, 24, "성탄 전야:"), Entry(kMemoLunar, 1950, 11, 20, "할머니생신"),
                           Entry(kMemoLunar, 2020, 12, 1, "섣달 초하루"), Entry(kMemoSolar, 2030, 1, 2, "미래")};
  UpcomingCase c;
  const auto list = c.List(memos, {2026, 12, 20}, 30);
  ASSERT_FALSE(list.empty());
  EXPECT_TRUE(std::is_sorted(list.begin(), list.end(),
                             [](const UpcomingDay& a, const UpcomingDay& b) { return a.daysLeft < b.daysLeft; }));
  struct Want {
    const char* name;
    CivilDate date;
    int daysLeft;
    UpcomingKind kind;
    const char* count;
  } wants[] = {
      {"冬至동지", {2026, 12, 22}, 2, UpcomingKind::Term, ""},
      {"성탄 전야", {2026, 12, 24}, 4, UpcomingKind::MemoSolar, "26주년"},
      {"할머니생신", {2026, 12, 28}, 8, UpcomingKind::MemoLunar, "76번째 생일"},
      {"신정", {2027, 1, 1}, 12, UpcomingKind::Holiday, ""},
      {"小寒소한", {2027, 1, 5}, 16, UpcomingKind::Term, ""},
      {"섣달 초하루", {2027, 1, 8}, 19, UpcomingKind::MemoLunar, "6주년"},
  };
  for (const Want& w : wants) {
    const UpcomingDay* d = Find(list, w.name);
    ASSERT_NE(d, nullptr) << w.name;
    EXPECT_EQ(d->date, w.date) << w.name;
    EXPECT_EQ(d->daysLeft, w.daysLeft) << w.name;
    EXPECT_EQ(d->kind, w.kind) << w.name;
    EXPECT_EQ(d->count, w.count) << w.name;
  }
  EXPECT_EQ(Find(list, "미래"), nullptr);
  EXPECT_EQ(list.back().date.year, 2027);
  EXPECT_LE(list.back().daysLeft, 29);
  EXPECT_EQ(Find(list, "할머니생신")->lunarDate, "음 11.20");
  EXPECT_FALSE(SomethingTodayOrTomorrow(list));
  EXPECT_TRUE(SomethingTodayOrTomorrow(c.List(memos, {2026, 12, 23}, 3)));
}

TEST(Upcoming, LeapMonthAndLunarThirtieth) {
  const MemoTable memos = {Entry(kMemoLunar, 2000, 6, 15, "평달 기념"), Entry(kMemoLunarLeap, 2000, 6, 15, "윤달 기념"),
                           Entry(kMemoLunarLeap, 2000, 6, 30, "윤달 그믐"),
                           Entry(kMemoLunar, 2000, 2, 30, "이월 그믐")};
  UpcomingCase c;
  struct Want {
    const char* name;
    CivilDate date;
    const char* lunar;
  } wants2025[] = {
      {"평달 기념", {2025, 7, 9}, "음 6.15"},
      {"윤달 기념", {2025, 8, 8}, "음 윤6.15"},
      // The leap month of 2025 has 29 days: its 30th is its 29th.
      {"윤달 그믐", {2025, 8, 22}, "음 윤6.29"},
  };
  const auto list2025 = c.List(memos, {2025, 7, 1}, 60);
  for (const Want& w : wants2025) {
    const UpcomingDay* d = Find(list2025, w.name);
    ASSERT_NE(d, nullptr) << w.name;
    EXPECT_EQ(d->date, w.date) << w.name;
    EXPECT_EQ(d->lunarDate, w.lunar) << w.name;
  }
  // Each falls once: the leap-month anniversary not on the regular month.
  EXPECT_EQ(std::count_if(list2025.begin(), list2025.end(), [](const UpcomingDay& d) { return d.name == "윤달 기념"; }),
            1);

  // 2026 has no leap month 6: the leap-month anniversary keeps the regular
  // month (6.15 = 2026-07-28 by KASI: month 6 from 2026-07-14).
  const auto list2026 = c.List(memos, {2026, 3, 1}, 200);
  const UpcomingDay* leapInRegular = Find(list2026, "윤달 기념");
  ASSERT_NE(leapInRegular, nullptr);
  EXPECT_EQ(leapInRegular->lunarDate, "음 6.15");
  EXPECT_EQ(leapInRegular->date, Find(list2026, "평달 기념")->date);
  // Lunar 2026 month 2 has 29 days: its 30th falls on 2/29, 2026-04-16.
  const UpcomingDay* short30 = Find(list2026, "이월 그믐");
  ASSERT_NE(short30, nullptr);
  EXPECT_EQ(short30->date, (CivilDate{2026, 4, 16}));
  EXPECT_EQ(short30->lunarDate, "음 2.29");
}

TEST(Upcoming, TextAndCsv) {
  std::vector<UpcomingDay> list(2);
  list[0].date = {2026, 12, 25};
  list[0].name = "기독탄신일";
  list[0].kind = UpcomingKind::Holiday;
  list[1].date = {2026, 12, 28};
  list[1].daysLeft = 3;
  list[1].name = "생신, 할머니";
  list[1].kind = UpcomingKind::MemoLunar;
  list[1].lunarDate = "음 11.20";
  list[1].count = "76번째 생일";
  EXPECT_EQ(UpcomingCsv(list),
            "date,days_left,name,kind\n2026-12-25,0,기독탄신일,holiday\n2026-12-28,3,\"생신, 할머니\",memo-lunar\n");
  EXPECT_EQ(UpcomingText(list),
            "2026-12-25(금) D-day  기독탄신일 [공휴일]\n2026-12-28(월) D-3    생신, 할머니 [음 11.20, 76번째 생일]\n");
}

// --- The command line -----------------------------------------------------------------

TEST(CliMemo, AddListRemoveAndUpcoming) {
  using testing::RunCli;
  TempDir dir;
  EXPECT_EQ(RunCli("memo add --solar 12-24 --name '성탄 전야' --since 2000 --mark holiday", dir.path()).status, 0);
  EXPECT_EQ(RunCli("memo add --lunar 11-20 --name 할머니생신 --since 1950", dir.path()).status, 0);
  const auto leap = RunCli("memo add --lunar 6-30 --leap --name '윤달 그믐' --since 2000 --mark highlight", dir.path());
  EXPECT_EQ(leap.status, 0);
  EXPECT_NE(leap.err.find("마지막 날"), std::string::npos) << leap.err;
  EXPECT_EQ(RunCli("memo list", dir.path()).out,
            "#\tkind\tdate\tsince\tmark\tname\n"
            "1\tsolar\t12-24\t2000\tholiday\t성탄 전야\n"
            "2\tlunar\t11-20\t1950\tnone\t할머니생신\n"
            "3\tlunar-leap\t6-30\t2000\thighlight\t윤달 그믐\n");
  MemoTable memos;
  ASSERT_TRUE(ReadMemoFile(memos, dir.path()));
  ASSERT_EQ(memos.size(), 3u);
  ExpectEntry(memos[2], kMemoLunarLeap, 2000, 6, 30, "윤달 그믐;");

  const auto csv = RunCli("upcoming --from 2026-12-20 --days 30 --format csv", dir.path());
  ASSERT_EQ(csv.status, 0) << csv.err;
  const auto lines = testing::Lines(csv.out);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], "date,days_left,name,kind");
  EXPECT_NE(std::find(lines.begin(), lines.end(), "2026-12-24,4,성탄 전야,memo-solar"), lines.end()) << csv.out;
  EXPECT_NE(std::find(lines.begin(), lines.end(), "2026-12-28,8,할머니생신,memo-lunar"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "2027-01-01,12,신정,holiday"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "2026-12-22,2,冬至동지,term"), lines.end());
  EXPECT_TRUE(std::is_sorted(lines.begin() + 1, lines.end()));

  EXPECT_EQ(RunCli("memo remove 2", dir.path()).status, 0);
  EXPECT_EQ(testing::Lines(RunCli("memo list", dir.path()).out).size(), 3u);
  EXPECT_EQ(RunCli("memo remove 9", dir.path()).status, 2);
  EXPECT_EQ(RunCli("memo add --solar 2-30 --name x", dir.path()).status, 2);
  EXPECT_EQ(RunCli("memo add --solar 2-3 --lunar 2-3 --name x", dir.path()).status, 2);
  EXPECT_EQ(RunCli("memo add --solar 2-3 --name x --mark red", dir.path()).status, 2);
  EXPECT_EQ(RunCli("upcoming --days 0", dir.path()).status, 2);
  EXPECT_EQ(RunCli("upcoming --format xml", dir.path()).status, 2);
}

}  // namespace
}  // namespace orv
