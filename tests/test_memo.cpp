// The memo file: the reading rules of "비망일.txt" in UTF-8 and in CP949.
#include <gtest/gtest.h>

#include "app/core/files/memo.h"
#include "cli_runner.h"

namespace orv {
namespace {

using testing::TempDir;

MemoTable Read(const std::string& contents, bool* found = nullptr) {
  TempDir dir;
  dir.write(kMemoFileName, contents);
  MemoTable memos;
  const bool ok = ReadMemoFile(memos, dir.path());
  if (found) *found = ok;
  return memos;
}

void ExpectRow(const MemoEntry& e, int kind, int year, int month, int day, const std::string& name) {
  EXPECT_EQ(e.kind, kind);
  EXPECT_EQ(e.year, year);
  EXPECT_EQ(e.month, month);
  EXPECT_EQ(e.day, day);
  EXPECT_EQ(e.name, name);
}

TEST(MemoFile, MissingFileGivesAnEmptyTable) {
  TempDir dir;
  MemoTable memos = {MemoEntry{1, 2000, 1, 1, "old"}};
  EXPECT_FALSE(ReadMemoFile(memos, dir.path()));
  EXPECT_TRUE(memos.empty());
}

TEST(MemoFile, PointsReadAsCommasAndCommentsAreSkipped) {
  const MemoTable m = Read(
      "# anniversaries\n"
      "양력 기념일\n"
      "-1.1990.1.1.설날:\n"
      "1,2000,5,5,어린이날:\r\n"
      "1, 1950, 6, 25, 육이오;  trailing words\n");
  ASSERT_EQ(m.size(), 3u);
  ExpectRow(m[0], kMemoLunar, 1990, 1, 1, "설날:");
  ExpectRow(m[1], kMemoSolar, 2000, 5, 5, "어린이날:");
  // The whole rest of the line, inner blanks kept (older copies showed only
  // the first word, and a save then lost the rest).
  ExpectRow(m[2], kMemoSolar, 1950, 6, 25, "육이오;  trailing words");
}

TEST(MemoFile, AnEmptyLineEndsTheFile) {
  const MemoTable m = Read("1,2000,1,1,first\n1,2000,1,2,second\n\n1,2000,1,3,third\n");
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[1].name, "second");
}

TEST(MemoFile, Cp949FileWithWholeNames) {
  // "-1,1990,1,1,설날:" and a name of eight Hangul syllables (16 bytes in CP949),
  // saved in CP949.
  const std::string cp949 = std::string("-1,1990,1,1,") + "\xbc\xb3\xb3\xaf\x3a" + "\n1,2000,2,2," +
                            "\xb0\xa1\xb3\xaa\xb4\xd9\xb6\xf3\xb8\xb6\xb9\xd9\xbb\xe7\xbe\xc6" + "\n";
  const MemoTable m = Read(cp949);
  ASSERT_EQ(m.size(), 2u);
  ExpectRow(m[0], kMemoLunar, 1990, 1, 1, "설날:");
  EXPECT_EQ(m[1].name, "가나다라마바사아");
  EXPECT_EQ(Read("1,2000,1,1,abcdefghijklmnop\n")[0].name, "abcdefghijklmnop");
}

TEST(MemoFile, LongLinesAreReadWholeAndOverlongNamesSkipTheirRow) {
  const std::string padded = "1,2000,3,4," + std::string(64, ' ') + "ABCDEFGH\n";
  const MemoTable m = Read(padded + "1,2000,3,5,next\n");
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[0].name, "ABCDEFGH");
  EXPECT_EQ(m[1].name, "next");
  // A name over the bound is not cut (a save would lose the rest): its row
  // is skipped, the rows around it read.
  const MemoTable n = Read("1,2000,1,1,a\n1,2000,1,2," + std::string(kMemoNameMaxBytes + 1, 'x') + "\n1,2000,1,3,c\n");
  ASSERT_EQ(n.size(), 2u);
  EXPECT_EQ(n[1].name, "c");
  EXPECT_EQ(Read("1,2000,1,1," + std::string(kMemoNameMaxBytes, 'x') + "\n").size(), 1u);
}

TEST(MemoFile, EveryReaderTakesTheSameRowsUpToTheBound) {
  std::string text;
  for (int i = 0; i < kMemoMaxRows + 2; ++i)
    text += "1,2000,1," + std::to_string(i % 28 + 1) + ",n" + std::to_string(i) + "\n";
  const MemoTable m = Read(text);
  ASSERT_EQ(static_cast<int>(m.size()), kMemoMaxRows);
  EXPECT_EQ(m.back().name, "n" + std::to_string(kMemoMaxRows - 1));
}

// A row with a field missing used to take the rest from the row above: it
// invented a date and a name nobody wrote. It is skipped now, and named.
TEST(MemoFile, ShortRowsAreSkippedNotCompletedFromTheRowAbove) {
  const MemoTable m = Read("1,2000,7,17,constitution:\n-1,1999,8\n1,2001\n1,1992,7,4,\n1,1992,7,5,kept\n");
  ASSERT_EQ(m.size(), 2u);
  ExpectRow(m[0], kMemoSolar, 2000, 7, 17, "constitution:");
  ExpectRow(m[1], kMemoSolar, 1992, 7, 5, "kept");
}

TEST(MemoFile, ARowWithoutMonthOrDayEndsTheTable) {
  // A row that does not parse is skipped, not read as the end of the table.
  EXPECT_EQ(Read("1x,2000,1,1,a\n1,2000,1,1,b\n").size(), 1u);
  EXPECT_EQ(Read("1,2000,1,1,a\n1,2000,0,1,b\n1,2000,1,2,c\n").size(), 1u);
}

TEST(MemoFile, TheTemplateHoldsNoAnniversary) {
  bool found = false;
  EXPECT_TRUE(Read(MemoFileTemplate(), &found).empty());
  EXPECT_TRUE(found);
}

TEST(MemoFile, BinaryGarbageDoesNotCrash) {
  std::string junk;
  for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 37 + 11) % 256);
  const MemoTable m = Read("1,2000,1,1," + junk);
  EXPECT_LE(static_cast<int>(m.size()), kMemoMaxRows);
}

}  // namespace
}  // namespace orv
