// The place table, the user place file, the time at a place and the texts of
// the reference box; the CP949 helpers they use.
//
// Reference coordinates of the spot checks are the city-centre coordinates
// published by the cities' Wikipedia articles (GeoHack), rounded to 0.001
// degree; the standard UTC offsets are those of the IANA time zone database.
// CP949 byte sequences were produced by GNU iconv (`iconv -t CP949`) and agree
// with the KS X 1001 code table (서 = BC AD, 울 = BF EF, 가 = B0 A1).
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "app/core/clock.h"
#include "app/core/files/config.h"
#include "app/core/files/encoding.h"
#include "app/core/messages.h"
#include "app/core/files/places.h"
#include "cli_runner.h"

namespace orv {
namespace {

using testing::TempDir;

constexpr double kCoordinateToleranceDeg = 0.1;
// Every standard offset in use is a whole number of quarter hours.
constexpr double kQuarterHourDeg = 3.75;

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

// A clock whose local time is `offsetMinutes` ahead of UTC.
FixedClock ClockAt(int year, int month, int day, int hour, int minute, int offsetMinutes) {
  ClockReading r;
  r.local = MakeTm(year, month, day, hour, minute);
  int y, m, d, h, mi;
  AddMinutes(-offsetMinutes, year, month, day, hour, minute, y, m, d, h, mi);
  r.utc = MakeTm(y, m, d, h, mi);
  return FixedClock(r);
}

// Settings with the computer's zone taken from `clock` and place `index`.
CalcSettings SettingsAt(const PlaceTable& table, int index, const Clock& clock, int timeSystem = kTimeST) {
  CalcSettings s = DefaultSettings();
  s.TimeSystemCode = timeSystem;
  Observer observer;
  ApplyPlace(s, observer, table, index);
  ComputeTodayDate(s, clock);
  return s;
}

// ---------------------------------------------------------------------------
// CP949 helpers.

TEST(Encoding, Cp949LengthCountsTwoBytesPerHangulSyllable) {
  struct Case { const char* text; int bytes; } cases[] = {
      {"", 0},
      {"Seoul", 5},
      {"서울", 4},
      {"가나*Accra", 10},
      {"대한민국-서울(135.0)", 20},
      {"섬머타임(확인시점 시각+1시간) ; 없음", 36},
      {"\xF0\x9F\x98\x80", 4},  // U+1F600 has no CP949 form: its UTF-8 length
      {"a\xFF" "b", 3},         // a stray byte counts as one
  };
  for (const auto& c : cases) EXPECT_EQ(Cp949Length(c.text), c.bytes) << c.text;
}

TEST(Encoding, CutKeepsWholeCharacters) {
  EXPECT_EQ(CutToCp949Length("대한민국-서울", 5), "대한");
  EXPECT_EQ(CutToCp949Length("대한민국-서울", 9), "대한민국-");
  EXPECT_EQ(CutToCp949Length("대한민국-서울", 100), "대한민국-서울");
  EXPECT_EQ(CutToCp949Length("가나*Accra", 1), "");
  EXPECT_EQ(CutToCp949Length("Accra", 3), "Acc");
  EXPECT_EQ(CutToCp949Length("Accra", -1), "");
}

TEST(Encoding, DecodesUtf8AsIsAndCp949ThroughIconv) {
  TextEncoding enc;
  EXPECT_EQ(DecodeFileText("\xEF\xBB\xBF서울,", &enc), "서울,");  // byte-order mark dropped
  EXPECT_EQ(enc, TextEncoding::Utf8);
  EXPECT_EQ(DecodeFileText("\xBC\xAD\xBF\xEF,\xBE\xF8\xC0\xBD", &enc), "서울,없음");
  EXPECT_EQ(enc, TextEncoding::Cp949);
  // Not CP949 either: replacement characters, never a failure.
  EXPECT_EQ(DecodeFileText("A\xFF", &enc), "A\xEF\xBF\xBD");
  EXPECT_EQ(DecodeFileText("A\xBC", &enc), "A\xEF\xBF\xBD");  // cut-off pair
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong "/"
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_TRUE(IsValidUtf8("서울 Seoul"));
}

// ---------------------------------------------------------------------------
// The built-in table.

TEST(PlaceTable, FixedRowsKeepTheirValues) {
  const PlaceTable t = BuiltInPlaceTable();
  ASSERT_EQ(t.builtInCount, 652);
  ASSERT_EQ(t.rows.size(), 652u);
  struct Row { int index; const char* name; float meridian; double lon, lat; const char* dst; } rows[] = {
      {0, "대한민국-서울(135.0)", 135.0f, 126.9669, 37.5422, "없음"},
      {1, "명청-북경(관상대,116.432)", 116.432f, 116.4321, 39.9167, nullptr},
      {2, "조선-한양(경복궁,126.976)", 126.976f, 126.976, 37.5422, nullptr},
      {3, "대한민국-중간(127.5)", 127.5f, 127.5, 37.5422, nullptr},
      {4, "가나*Accra", 0.0f, -0.25, 5.55, "없음"},
      {36, "뉴질랜드-Chatham Islands", 191.25f, -176.583328, -44.0, "9월 마지막 일요일2:45~4월 첫째 일요일3:45"},
      {41, "대한민국*서울", 135.0f, 127.050003, 37.583332, nullptr},
      {48, "대한민국-평양", 135.0f, 125.783333, 39.0, nullptr},
      {367, "영국*London", 0.0f, -0.116667, 51.5, "3월 마지막 일요일1시~10월 마지막 일요일2시"},
      {392, "이란*Tehran", 52.5f, 51.5, 35.75, "춘분 12시간후 새날0시~추분 24시간 전날 0시"},
      {449, "일본*Tokyo", 135.0f, 139.733337, 35.683334, nullptr},
      {651, "호주-The Settlement", 105.0f, 105.666664, -10.5, nullptr},
  };
  for (const auto& r : rows) {
    const PlaceRecord& p = t.rows[static_cast<size_t>(r.index)];
    EXPECT_EQ(p.name, r.name) << r.index;
    EXPECT_EQ(p.meridian, r.meridian) << r.index;
    EXPECT_EQ(p.longitude, r.lon) << r.index;
    EXPECT_EQ(p.latitude, r.lat) << r.index;
    if (r.dst) {
      EXPECT_EQ(p.daylightSaving, r.dst) << r.index;
    }
  }
  EXPECT_EQ(t.rows[405].name, "인도*New Delhi");
  EXPECT_EQ(t.rows[405].meridian, 82.5f);
  EXPECT_EQ(t.rows[631].name, "피지*Suva");
  EXPECT_EQ(t.rows[631].meridian, 180.0f);
  EXPECT_EQ(t.rows[631].daylightSaving, "정보불확실");
}

TEST(PlaceTable, EveryRowIsWellFormed) {
  const PlaceTable t = BuiltInPlaceTable();
  std::set<std::string> names;
  int capitals = 0;
  for (size_t i = 0; i < t.rows.size(); ++i) {
    const PlaceRecord& p = t.rows[i];
    SCOPED_TRACE(std::to_string(i) + " " + p.name);
    EXPECT_TRUE(names.insert(p.name).second) << "duplicate name";
    EXPECT_LE(Cp949Length(p.name), kPlaceNameMaxBytes);
    EXPECT_LE(Cp949Length(p.daylightSaving), kPlaceDaylightSavingMaxBytes);
    EXPECT_FALSE(p.daylightSaving.empty());
    EXPECT_TRUE(IsValidUtf8(p.name) && IsValidUtf8(p.daylightSaving));
    EXPECT_GE(p.latitude, -90.0);
    EXPECT_LE(p.latitude, 90.0);
    EXPECT_GE(p.longitude, -180.0);
    EXPECT_LE(p.longitude, 180.0);
    EXPECT_EQ(p.altitude, 0.0);
    if (p.name.find('*') != std::string::npos) ++capitals;
    if (i < static_cast<size_t>(kHistoricalPlaceCount)) continue;  // meridians of observatories
    const double quarters = p.meridian / kQuarterHourDeg;
    EXPECT_EQ(quarters, std::round(quarters)) << "meridian " << p.meridian;
    // Kiritimati keeps UTC+14, the one zone east of UTC+13.
    const double maxMeridian = p.name == "크리스마스 섬-Kiritimati" ? 210.0 : 195.0;
    EXPECT_GE(p.meridian, -180.0f);
    EXPECT_LE(p.meridian, maxMeridian);
  }
  EXPECT_EQ(capitals, 210);
}

TEST(PlaceTable, CitiesLieWhereTheyAreAndKeepTheirZones) {
  const PlaceTable t = BuiltInPlaceTable();
  struct City { const char* name; double lat, lon; float meridian; } cities[] = {
      {"대한민국*서울", 37.567, 126.978, 135.0f},
      {"일본*Tokyo", 35.690, 139.692, 135.0f},
      {"영국*London", 51.507, -0.128, 0.0f},
      {"미국-New York", 40.713, -74.006, -75.0f},
      {"호주-Sydney", -33.869, 151.209, 150.0f},
      {"프랑스*Paris", 48.857, 2.352, 15.0f},
      {"이집트*Cairo", 30.044, 31.236, 30.0f},
      {"러시아*Moscow", 55.756, 37.617, 45.0f},
      {"중국*Beijing", 39.904, 116.407, 120.0f},
      {"아르헨티나*Buenos Aires", -34.604, -58.382, -45.0f},
      {"미국-Los Angeles", 34.052, -118.244, -120.0f},
      {"남아프리카공화국-Cape Town", -33.925, 18.424, 30.0f},
      // Zones off the whole hour.
      {"인도*New Delhi", 28.614, 77.209, 82.5f},
      {"네팔*Katmandu", 27.717, 85.324, 86.25f},
      {"호주-Eucla", -31.677, 128.889, 131.25f},
      {"캐나다-St. John's", 47.562, -52.713, -52.5f},
  };
  for (const auto& c : cities) {
    const int i = FindPlaceByName(t, c.name);
    ASSERT_GE(i, 0) << c.name;
    const PlaceRecord& p = t.rows[static_cast<size_t>(i)];
    EXPECT_NEAR(p.latitude, c.lat, kCoordinateToleranceDeg) << c.name;
    EXPECT_NEAR(p.longitude, c.lon, kCoordinateToleranceDeg) << c.name;
    EXPECT_EQ(p.meridian, c.meridian) << c.name;
  }
}

TEST(PlaceTable, HistoricalCorrectionOnlyWhereMonthsAreRecorded) {
  EXPECT_TRUE(PlaceAllowsHistoricalCorrection(0));
  EXPECT_TRUE(PlaceAllowsHistoricalCorrection(1));
  // Rows 2 and 3 keep fixed coordinates but have no recorded months.
  EXPECT_FALSE(PlaceAllowsHistoricalCorrection(2));
  EXPECT_FALSE(PlaceAllowsHistoricalCorrection(3));
  EXPECT_FALSE(PlaceAllowsHistoricalCorrection(4));
  EXPECT_FALSE(PlaceAllowsHistoricalCorrection(-1));
}

// ---------------------------------------------------------------------------
// Choice of place and the time there.

TEST(Places, ChathamUnderStandardTimeIsUtcPlus1245) {
  const PlaceTable t = BuiltInPlaceTable();
  const int chatham = FindPlaceByName(t, "뉴질랜드-Chatham Islands");
  ASSERT_EQ(chatham, 36);
  CalcSettings s = DefaultSettings();
  Observer o;
  ApplyPlace(s, o, t, chatham);
  EXPECT_EQ(s.PlaceIndex, 36);
  EXPECT_EQ(s.ZoneOffsetDays, 0.53125);
  EXPECT_NEAR(o.LatitudeDeg, -44.0, 1e-12);
  EXPECT_GT(o.ObserverRadius, 0.99);  // geocentric radius set from the row
  s.TimeSystemCode = kTimeTT;
  UpdateZoneOffset(s);
  EXPECT_EQ(s.ZoneOffsetDays, 0.0);
  ApplyPlace(s, o, t, 3);  // 127.5 under TT: no offset
  EXPECT_EQ(s.ZoneOffsetDays, 0.0);
  s.TimeSystemCode = kTimeST;
  ApplyPlace(s, o, t, 3);
  EXPECT_EQ(s.ZoneOffsetDays, 127.5 / 360.0);
}

TEST(Places, PlaceNowTruncatesTowardZero) {
  const PlaceTable t = BuiltInPlaceTable();
  const FixedClock clock = ClockAt(2024, 1, 1, 0, 30, 9 * 60);  // computer in UTC+9
  struct Case { int index; int y, m, d, h, mi; } cases[] = {
      {0, 2024, 1, 1, 0, 30},      // same zone
      {367, 2023, 12, 31, 15, 30}, // London, UTC+0
      {3, 2024, 1, 1, 0, 0},       // 127.5: 30 minutes behind
      // 116.432: -74.27 minutes, truncated to -74 (not -75).
      {1, 2023, 12, 31, 23, 16},
      {36, 2024, 1, 1, 4, 15},     // Chatham UTC+12:45: 3 h 45 min ahead
  };
  for (const auto& c : cases) {
    const CalcSettings s = SettingsAt(t, c.index, clock);
    const CivilDateTime now = PlaceNow(s, clock);
    EXPECT_EQ(now.year, c.y) << c.index;
    EXPECT_EQ(now.month, c.m) << c.index;
    EXPECT_EQ(now.day, c.d) << c.index;
    EXPECT_EQ(now.hour, c.h) << c.index;
    EXPECT_EQ(now.minute, c.mi) << c.index;
  }
}

TEST(Places, ReferenceTextsForAComputerInUtcPlus9) {
  const PlaceTable t = BuiltInPlaceTable();
  const FixedClock clock = ClockAt(2024, 3, 10, 8, 5, 9 * 60);
  const std::string diff = "확인시점 시각(섬머타임 미적용) - 컴퓨터 시각 = ";
  struct Case { int index; const char* text; } cases[] = {
      {367, "-9시간 00분"},  // London: hours form
      {3, "-30분"},          // 127.5: H = -0.5, minutes form
      {0, "00분"},
      {36, "+3시간 45분"},   // Chatham
      {1, "-1시간 14분"},    // 116.432: H = -1.2379
      {405, "-3시간 30분"},  // New Delhi
  };
  for (const auto& c : cases)
    EXPECT_EQ(PlaceClockDifferenceText(SettingsAt(t, c.index, clock)), diff + c.text) << c.index;

  const CalcSettings london = SettingsAt(t, 367, clock);
  EXPECT_EQ(PlaceDaylightSavingText(t.rows[367]),
            "섬머타임(확인시점 시각+1시간) ; 3월 마지막 일요일1시~10월 마지막 일요일2시");
  EXPECT_EQ(PlaceTimeText(t.rows[367], PlaceNow(london, clock)),
            "영국*London의 확인시점 시각(섬머타임 미적용)은 09일 23시 05분");
  EXPECT_EQ(PlaceTimeText(t.rows[0], PlaceNow(SettingsAt(t, 0, clock), clock)),
            "대한민국-서울의 확인시점 시각(섬머타임 미적용)은 10일 08시 05분");

  // Each press shows the next text, starting with the rule, and wraps around.
  PlaceReferenceCycle cycle;
  EXPECT_EQ(cycle.Press(t, london, clock), PlaceDaylightSavingText(t.rows[367]));
  // The second text is the place's own civil clock, daylight saving included.
  EXPECT_EQ(cycle.Press(t, london, clock), "영국*London 현지시각 2024-03-09 23:05 GMT (UTC+00:00, 섬머타임 아님)");
  EXPECT_EQ(cycle.Press(t, london, clock), "영국*London의 확인시점 시각(섬머타임 미적용)은 09일 23시 05분");
  EXPECT_EQ(cycle.Press(t, london, clock), PlaceDaylightSavingText(t.rows[367]));
}

// ---------------------------------------------------------------------------
// The user place file.

TEST(PlaceFile, ReadsPlacesAndSkipsCommentsAndHeadings) {
  TempDir dir;
  dir.write(kPlaceFileName,
            "# my places\n"
            "meridian,name,longitude,latitude,altitude,dst,\n"
            "-75.0,Home(test),-74.0060,40.7128,10.0,3월 둘째 일요일2시~11월 첫째 일요일2시,\n"
            "135,남산타워, 126.9882 ,37.5512,236,없음,trailing text\r\n"
            "\n"
            "0.0,After the end,0,0,0,없음,\n");
  PlaceTable t = BuiltInPlaceTable();
  RecordingMessageSink messages;
  ASSERT_TRUE(ReadPlaceFile(t, dir.path(), messages));
  // The place after the blank line is not read, and the user is told.
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text,
            "지역경위고도.txt 6번째 줄을 건너뜁니다: 5번째 줄의 빈 줄 뒤에 있어 읽지 않습니다");
  ASSERT_EQ(t.rows.size(), 654u);
  const PlaceRecord& home = t.rows[652];
  EXPECT_EQ(home.meridian, -75.0f);
  EXPECT_EQ(home.name, "Home(test)");
  EXPECT_EQ(home.longitude, -74.0060);
  EXPECT_EQ(home.latitude, 40.7128);
  EXPECT_EQ(home.altitude, 10.0);
  EXPECT_EQ(home.daylightSaving, "3월 둘째 일요일2시~11월 첫째 일요일2시");
  EXPECT_EQ(PlaceReportName(home), "Home");
  EXPECT_EQ(FindPlaceByName(t, "Home(test)"), 652);
  EXPECT_EQ(t.rows[653].name, "남산타워");
  EXPECT_EQ(t.rows[653].longitude, 126.9882);
  EXPECT_EQ(t.rows[653].daylightSaving, "없음");

  // Reading again replaces the user rows.
  ASSERT_TRUE(ReadPlaceFile(t, dir.path(), messages));
  EXPECT_EQ(t.rows.size(), 654u);
}

TEST(PlaceFile, BadLinesAreReportedAndSkipped) {
  TempDir dir;
  const std::string name35 = Repeat("가", 17) + "A";  // 35 CP949 bytes
  const std::string name36 = Repeat("가", 18);        // 36
  const std::string rule63 = Repeat("나", 31) + "B";  // 63
  const std::string rule64 = Repeat("나", 32);        // 64
  dir.write(kPlaceFileName,
            "0.0,Too few,1.0,2.0,\n"                         // line 1
            "0.0," + name36 + ",1,2,3,없음,\n"                // 2
            "0.0," + name35 + ",1,2,3," + rule63 + ",\n"      // 3: kept
            "0.0,Long rule,1,2,3," + rule64 + ",\n"           // 4
            "abc,Letters first,1,2,3,없음,\n"                  // 5: skipped silently
            "1x5,Bad meridian,1,2,3,없음,\n"                   // 6
            "0.0,Bad latitude,1,91,3,없음,\n"                  // 7
            "0.0,Bad longitude,nan,2,3,없음,\n"                // 8
            "0.0, ,1,2,3,없음,\n"                              // 9: empty name
            "0.0,Long line,1,2,3," + std::string(120, 'x') + ",\n"  // 10
            "15,Kept,1e1,-2.5,+3,없음,\n");                     // 11: kept
  PlaceTable t = BuiltInPlaceTable();
  RecordingMessageSink messages;
  ASSERT_TRUE(ReadPlaceFile(t, dir.path(), messages));
  ASSERT_EQ(t.rows.size(), 654u);
  EXPECT_EQ(t.rows[652].name, name35);
  EXPECT_EQ(t.rows[652].daylightSaving, rule63);
  EXPECT_EQ(t.rows[653].name, "Kept");
  EXPECT_EQ(t.rows[653].longitude, 10.0);
  EXPECT_EQ(t.rows[653].altitude, 3.0);
  // One message for the eight lines: the first five, then the count.
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text,
            "지역경위고도.txt에서 잘못된 줄 8개를 건너뜁니다:\n"
            "1번째 줄: 쉼표로 끝나는 항목이 6개보다 적습니다\n"
            "2번째 줄: 지역 이름이 35바이트를 넘습니다\n"
            "4번째 줄: 섬머타임 설명이 63바이트를 넘습니다\n"
            "6번째 줄: 표준자오선 값이 잘못되었습니다 (1x5)\n"
            "7번째 줄: 위도 값이 잘못되었습니다 (91)\n"
            "... 외 3줄");
  EXPECT_EQ(messages.messages[0].caption, "알림");
}

// Two hundred bad lines still make one message; a single bad line is named
// in full.
TEST(PlaceFile, ManyBadLinesMakeOneMessage) {
  TempDir dir;
  std::string text;
  for (int i = 0; i < 200; ++i) text += "0.0,Bad latitude,1,91,3,없음,\n";
  dir.write("지역경위고도.txt", text);
  PlaceTable t = BuiltInPlaceTable();
  RecordingMessageSink messages;
  ASSERT_TRUE(ReadPlaceFile(t, dir.path(), messages));
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text.rfind("지역경위고도.txt에서 잘못된 줄 200개를 건너뜁니다:\n", 0), 0u);
  EXPECT_NE(messages.messages[0].text.find("\n... 외 195줄"), std::string::npos);

  dir.write("지역경위고도.txt", "0.0,Good,1,2,3,없음,\n0.0,Bad latitude,1,91,3,없음,\n");
  messages.messages.clear();
  ASSERT_TRUE(ReadPlaceFile(t, dir.path(), messages));
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text, "지역경위고도.txt 2번째 줄을 건너뜁니다: 위도 값이 잘못되었습니다 (91)");
}

TEST(PlaceFile, ReadsCp949Files) {
  TempDir dir;
  // "135.0,서울(집),126.97,37.56,38,없음," saved in CP949.
  dir.write(kPlaceFileName, "135.0,\xBC\xAD\xBF\xEF(\xC1\xFD),126.97,37.56,38,\xBE\xF8\xC0\xBD,\r\n");
  PlaceTable t = BuiltInPlaceTable();
  RecordingMessageSink messages;
  ASSERT_TRUE(ReadPlaceFile(t, dir.path(), messages));
  EXPECT_TRUE(messages.messages.empty());
  ASSERT_EQ(t.rows.size(), 653u);
  EXPECT_EQ(t.rows[652].name, "서울(집)");
  EXPECT_EQ(t.rows[652].daylightSaving, "없음");
  EXPECT_EQ(PlaceReportName(t.rows[652]), "서울");
  EXPECT_EQ(t.rows[652].altitude, 38.0);
}

TEST(PlaceFile, AtMostFiftyRowsAndNothingWithoutAFile) {
  TempDir dir;
  PlaceTable t = BuiltInPlaceTable();
  RecordingMessageSink messages;
  EXPECT_FALSE(ReadPlaceFile(t, dir.path(), messages));
  EXPECT_EQ(t.rows.size(), 652u);

  std::string text;
  for (int i = 0; i < 60; ++i) text += "9.0,Place " + std::to_string(i) + ",1,2,3,없음,\n";
  dir.write(kPlaceFileName, text);
  ASSERT_TRUE(ReadPlaceFile(t, dir.path(), messages));
  EXPECT_EQ(t.rows.size(), 652u + PlaceTable::kMaxUserRows);
  EXPECT_EQ(t.rows.back().name, "Place 49");
  // The ten places past the fiftieth are named, not dropped in silence.
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text.rfind("지역경위고도.txt에서 읽지 않은 줄 10개를 건너뜁니다:\n"
                                            "51번째 줄: 지역은 50개까지만 읽습니다", 0), 0u)
      << messages.messages[0].text;
  messages.messages.clear();

  // Binary garbage neither crashes nor adds rows.
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 131 + 7) % 256);
  dir.write(kPlaceFileName, garbage);
  ReadPlaceFile(t, dir.path(), messages);
  EXPECT_LE(t.rows.size(), 652u + PlaceTable::kMaxUserRows);
}

TEST(Places, CivilTimeTextFollowsTheZoneAndItsSummerTime) {
  const PlaceTable t = BuiltInPlaceTable();
  const int newYork = FindPlaceByName(t, "미국-New York");
  ASSERT_GE(newYork, 0);
  struct Case { int index; int month; const char* text; } cases[] = {
      // 2024-01-15 12:00 UTC and 2024-07-15 12:00 UTC (computer in UTC+9).
      {newYork, 1, "미국-New York 현지시각 2024-01-15 07:00 EST (UTC-05:00, 섬머타임 아님)"},
      {newYork, 7, "미국-New York 현지시각 2024-07-15 08:00 EDT (UTC-04:00, 섬머타임 중)"},
      {367, 7, "영국*London 현지시각 2024-07-15 13:00 BST (UTC+01:00, 섬머타임 중)"},
      {0, 7, "대한민국-서울 현지시각 2024-07-15 21:00 KST (UTC+09:00, 섬머타임 아님)"},
      {36, 1, "뉴질랜드-Chatham Islands 현지시각 2024-01-16 01:45 +1345 (UTC+13:45, 섬머타임 중)"},
  };
  for (const auto& c : cases) {
    const FixedClock clock = ClockAt(2024, c.month, 15, 21, 0, 9 * 60);
    EXPECT_EQ(PlaceCivilTimeText(t.rows[c.index], SettingsAt(t, c.index, clock), clock), c.text) << c.index;
  }
  // A row without a zone (a user row) keeps the difference from the computer clock.
  PlaceRecord user = t.rows[367];
  user.timeZone.clear();
  const FixedClock clock = ClockAt(2024, 3, 10, 8, 5, 9 * 60);
  EXPECT_EQ(PlaceCivilTimeText(user, SettingsAt(t, 367, clock), clock),
            PlaceClockDifferenceText(SettingsAt(t, 367, clock)));
}

}  // namespace
}  // namespace orv
