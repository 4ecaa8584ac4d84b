// orvanta-cli places, and the --place option with built-in and user rows.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli_runner.h"

namespace orv {
namespace {

using testing::Lines;
using testing::RunCli;
using testing::TempDir;

TEST(CliPlaces, ListsEveryRowAsCsv) {
  TempDir dir;
  const auto r = RunCli("places", dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 1u + 652u);
  EXPECT_EQ(lines[0], "index,name,meridian,longitude,latitude,dst");
  EXPECT_EQ(lines[1], "0,대한민국-서울(135.0),135,126.9669,37.5422,없음");
  // A name with a comma is quoted (RFC 4180).
  EXPECT_EQ(lines[2], "1,\"명청-북경(관상대,116.432)\",116.432,116.4321,39.9167,없음");
  EXPECT_EQ(lines[37], "36,뉴질랜드-Chatham Islands,191.25,-176.583328,-44,9월 마지막 일요일2:45~4월 첫째 일요일3:45");
  EXPECT_EQ(lines[652], "651,호주-The Settlement,105,105.666664,-10.5,없음");
}

TEST(CliPlaces, SearchIgnoresAsciiCaseAndQuotesRuleTextsWithCommas) {
  TempDir dir;
  auto r = RunCli("places --search LONDON", dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "index,name,meridian,longitude,latitude,dst\n"
            "367,영국*London,0,-0.116667,51.5,3월 마지막 일요일1시~10월 마지막 일요일2시\n"
            "537,캐나다-London,-75,-81.23304,42.98339,3월 둘째 일요일2시~11월 첫째 일요일2시\n");
  r = RunCli("places --search 'Lord Howe'", dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find(",157.5,159.08333,-31.55,\"10월 첫째 일요일2시(+30분)~4월 첫째 일요일2시(-30분),30분임\"\n"),
            std::string::npos)
      << r.out;
  r = RunCli("places --search 서울", dir.path());
  EXPECT_EQ(Lines(r.out).size(), 1u + 2u);  // the two Seoul rows
  r = RunCli("places --search nowhere-at-all", dir.path());
  EXPECT_EQ(r.out, "index,name,meridian,longitude,latitude,dst\n");
  EXPECT_EQ(RunCli("places extra", dir.path()).status, 2);
}

TEST(CliPlaces, UserRowsAreListedAndSelectable) {
  TempDir dir;
  dir.write("지역경위고도.txt",
            "# my places\n"
            "-75.0,Home(test),-74.006,40.7128,10.0,3월 둘째 일요일2시~11월 첫째 일요일2시,\n"
            "0.0,Too few,1,2,\n"
            "191.25,\"Quoted\" place,1,2,3,없음,\n");
  auto r = RunCli("places --search test", dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "index,name,meridian,longitude,latitude,dst\n"
            "652,Home(test),-75,-74.006,40.7128,3월 둘째 일요일2시~11월 첫째 일요일2시\n");
  // The bad line is reported on standard error and skipped.
  EXPECT_NE(r.err.find("지역경위고도.txt 3번째 줄을 건너뜁니다"), std::string::npos) << r.err;
  r = RunCli("places --search quoted", dir.path());
  EXPECT_NE(r.out.find("653,\"\"\"Quoted\"\" place\",191.25,1,2,없음\n"), std::string::npos) << r.out;

  // --place takes an exact name or an index, user rows included.
  for (const char* place : {"'Home(test)'", "652"}) {
    r = RunCli(std::string("config --place ") + place, dir.path());
    ASSERT_EQ(r.status, 0) << place << r.err;
    EXPECT_NE(r.out.find("PlaceIndex=652\n"), std::string::npos) << place;
    EXPECT_NE(r.out.find("PlaceMeridian=-75\n"), std::string::npos) << place;
  }
  r = RunCli("config --place '영국*London'", dir.path());
  EXPECT_NE(r.out.find("PlaceIndex=367\n"), std::string::npos);
  EXPECT_NE(r.out.find("ZoneOffsetDays=0\n"), std::string::npos);
  EXPECT_EQ(RunCli("config --place 654", dir.path()).status, 2);
  EXPECT_EQ(RunCli("config --place 'No such place'", dir.path()).status, 2);
}

}  // namespace
}  // namespace orv
