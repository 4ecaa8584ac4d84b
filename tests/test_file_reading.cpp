// Reading the user's files whatever bytes they hold: the text decoder, the
// configuration file read by its line numbers, size limits, and the messages
// that name what a reader skipped.
//
// CP949 byte sequences were produced by GNU iconv (`iconv -t CP949`) and agree
// with the KS X 1001 code table (가 = B0 A1, 서 = BC AD, 울 = BF EF); A2 E8 is
// the circled postal mark U+327E of KS X 1001:2002.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "app/core/calendar_app.h"
#include "app/core/clock.h"
#include "app/core/files/config.h"
#include "app/core/files/encoding.h"
#include "app/core/files/files.h"
#include "app/core/files/memo.h"
#include "app/core/files/places.h"
#include "app/core/messages.h"
#include "time/text_format.h"
#include "cli_runner.h"

namespace orv {
namespace {

using testing::RunCli;
using testing::TempDir;

constexpr const char* kFffd = "\xEF\xBF\xBD";

struct DecodeCase {
  const char* what;
  std::string bytes;
  std::string utf8;
  TextEncoding encoding;
};

TEST(Decoding, EveryByteStringDecodesWithoutLosingItsNeighbours) {
  const std::string fffd = kFffd;
  const DecodeCase cases[] = {
      {"postal mark at the end", std::string("A\xA2\xE8"), "A\xE3\x89\xBE", TextEncoding::Cp949},
      {"postal mark before a line break", std::string("\xA2\xE8\n1,2"), "\xE3\x89\xBE\n1,2", TextEncoding::Cp949},
      {"postal mark alone", std::string("\xA2\xE8"), "\xE3\x89\xBE", TextEncoding::Cp949},
      {"postal mark then Korean", std::string("\xA2\xE8\xB0\xA1"), "\xE3\x89\xBE가", TextEncoding::Cp949},
      {"lone lead byte at the end", std::string("1,\xB0"), "1," + fffd, TextEncoding::Cp949},
      {"lead byte before a line break", std::string("\xB0\nx"), fffd + "\nx", TextEncoding::Cp949},
      {"lead byte before a comma", std::string("\xB0,x"), fffd + ",x", TextEncoding::Cp949},
      {"unmapped pair keeps the next character", std::string("\xC9\xA1\xB0\xA1"), fffd + "가", TextEncoding::Cp949},
      {"bad lead byte keeps an ASCII letter", std::string("\xFF" "A\xB0\xA1"), fffd + "A가", TextEncoding::Cp949},
      {"0x80 alone", std::string("\x80"), fffd, TextEncoding::Cp949},
      {"Korean and ASCII", std::string("\xBC\xAD\xBF\xEF,1"), "서울,1", TextEncoding::Cp949},
      {"UTF-16LE with a byte-order mark", std::string("\xFF\xFE" "A\0\x00\xAC\n\0", 8), "A가\n", TextEncoding::Utf16},
      {"UTF-16BE with a byte-order mark", std::string("\xFE\xFF\0A\xAC\x00", 6), "A가", TextEncoding::Utf16},
      {"UTF-16 surrogate pair", std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), "\xF0\x9F\x98\x80", TextEncoding::Utf16},
      {"UTF-16 lone surrogate and odd byte", std::string("\xFF\xFE\x3D\xD8" "A", 5), fffd + fffd, TextEncoding::Utf16},
      {"UTF-8 with a byte-order mark", std::string("\xEF\xBB\xBF가"), "가", TextEncoding::Utf8},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.what);
    TextEncoding detected = TextEncoding::Utf8;
    const std::string text = DecodeFileText(c.bytes, &detected);
    EXPECT_EQ(text, c.utf8);
    EXPECT_EQ(detected, c.encoding);
    EXPECT_TRUE(IsValidUtf8(text));
  }
}

TEST(Decoding, PostalMarkTakesTwoBytesInCp949) {
  EXPECT_EQ(Cp949Length("\xE3\x89\xBE"), 2);
  EXPECT_EQ(CutToCp949Length("\xE3\x89\xBE" "ab", 3), "\xE3\x89\xBE" "a");
}

// The place file is read by every command: bytes that once crashed the
// decoder must leave the command working.
TEST(Decoding, PlaceFileEndingInThePostalMarkKeepsCommandsRunning) {
  TempDir dir;
  dir.write("지역경위고도.txt", std::string("135,\xBC\xAD\xBF\xEF,127,37.5,0,\xA2\xE8,\n") +
                                   "135,\xB0\xA1,126,35,0,x,\n\xA2\xE8");
  const testing::CliResult r = RunCli("places", dir.path());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("서울"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("가"), std::string::npos) << r.out;
}

// ------------------------------------------------------------------ Orvanta.cfg

// The file the program writes for these settings: time system UT, user Delta
// T 69.184 s, place 20, E.O.P off, search step 30 s.
CalcSettings Customised() {
  CalcSettings s = DefaultSettings();
  s.TimeSystemCode = kTimeUT;
  s.DeltaTModelCode = kDeltaTUser;
  s.UserDeltaT = 69.184;
  s.TermSearchStepSeconds = 30;
  s.PlaceIndex = 20;
  s.EopCorrection = 0;
  return s;
}

std::vector<std::string> FileLines(const std::string& text) { return testing::Lines(text); }

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

struct ConfigOutcome {
  CalcSettings settings;
  RecordingMessageSink messages;
  ConfigReadState state;
};

void ReadConfigText(const std::string& text, ConfigOutcome& out) {
  TempDir dir;
  dir.write(kConfigFileName, text);
  out.settings = CalcSettings{};  // all zero, as at the program's first load
  ASSERT_TRUE(ReadConfiguration(out.settings, dir.file(kConfigFileName), out.messages, out.state));
}

std::string AllMessages(const RecordingMessageSink& sink) {
  std::string text;
  for (const auto& m : sink.messages) text += m.text + "\n";
  return text;
}

TEST(ConfigByLineNumber, CommentsAndOrderDoNotMoveValues) {
  const std::vector<std::string> lines = FileLines(FormatConfiguration(Customised()));
  ASSERT_EQ(lines.size(), 11u);
  std::vector<std::string> reversed(lines.rbegin(), lines.rend());
  std::vector<std::string> commented = lines;
  commented.insert(commented.begin(), "# my settings");
  commented.insert(commented.begin() + 5, "");
  commented.insert(commented.begin() + 8, "; the Delta T follows");
  struct Case {
    const char* what;
    std::string text;
  } cases[] = {
      {"as written", Joined(lines)},
      {"a comment on top and lines between", Joined(commented)},
      {"lines in reverse order", Joined(reversed)},
      {"CR LF line ends and a byte-order mark", "\xEF\xBB\xBF" + [&] {
         std::string t;
         for (const std::string& l : commented) t += l + "\r\n";
         return t;
       }()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ConfigOutcome r;
    ReadConfigText(c.text, r);
    EXPECT_EQ(FormatConfiguration(r.settings), FormatConfiguration(Customised()));
    EXPECT_TRUE(r.messages.messages.empty()) << AllMessages(r.messages);
    EXPECT_TRUE(r.state.clean);
  }
}

TEST(ConfigByLineNumber, OnlyCommentsGiveTheDefaults) {
  ConfigOutcome r;
  ReadConfigText("# nothing here yet\n\n// nor here\n", r);
  EXPECT_EQ(FormatConfiguration(r.settings), FormatConfiguration(DefaultSettings()));
  EXPECT_TRUE(r.messages.messages.empty());
}

// Each line not understood is named in one message; its setting takes the
// default while every other line keeps its value.
TEST(ConfigByLineNumber, LinesNotUnderstoodAreNamedAndTakeDefaults) {
  const std::vector<std::string> lines = FileLines(FormatConfiguration(Customised()));
  const CalcSettings d = DefaultSettings();
  struct Case {
    const char* what;
    int line;                  // 0-based line replaced
    std::string replacement;   // "" removes nothing: the line is appended
    const char* expectInMessage;
    int CalcSettings::*field;  // the setting that falls back
    int want;
  } cases[] = {
      {"no number", 4, "2,", "5번째 줄: 설정 번호가 없습니다", &CalcSettings::TimeSystemCode, d.TimeSystemCode},
      {"an unknown number", 4, "2,\t12;1~3,", "설정 번호 12은(는) 없는 번호입니다", &CalcSettings::TimeSystemCode,
       d.TimeSystemCode},
      {"not a number", 8, "abc,\t9;20,\t\t30,1", "9번째 줄: 숫자가 아닙니다", &CalcSettings::TermSearchStepSeconds,
       d.TermSearchStepSeconds},
      {"text after the value", 9, "20x,\t10;0~650,\t0,0", "값 뒤에 알 수 없는 글자가 있습니다",
       &CalcSettings::PlaceIndex, d.PlaceIndex},
      {"a flag of 5", 10, "5,\t11;0/1,\t\t1,1", "설정 11번의 값 5은(는) 0이나 1이라야 합니다",
       &CalcSettings::EopCorrection, d.EopCorrection},
      {"a negative place", 9, "-3,\t10;0~650,\t0,0", "설정 10번의 값 -3은(는) 음수입니다", &CalcSettings::PlaceIndex,
       d.PlaceIndex},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> edited = lines;
    edited[static_cast<size_t>(c.line)] = c.replacement;
    ConfigOutcome r;
    ReadConfigText(Joined(edited), r);
    ASSERT_EQ(r.messages.messages.size(), 1u) << AllMessages(r.messages);
    EXPECT_NE(r.messages.messages[0].text.find(c.expectInMessage), std::string::npos) << r.messages.messages[0].text;
    EXPECT_EQ(r.settings.*c.field, c.want);
    EXPECT_FALSE(r.state.clean);
    // The other settings are those of the file.
    EXPECT_EQ(r.settings.UserDeltaT, 69.184);
    if (c.field != &CalcSettings::TimeSystemCode) {
      EXPECT_EQ(r.settings.TimeSystemCode, kTimeUT);
    }
  }
  // A repeated number: the first line counts, the second is named.
  std::vector<std::string> twice = lines;
  twice.push_back("1,\t5;1~3,\t\t3,3");
  ConfigOutcome r;
  ReadConfigText(Joined(twice), r);
  EXPECT_EQ(r.settings.TimeSystemCode, kTimeUT);
  ASSERT_EQ(r.messages.messages.size(), 1u);
  EXPECT_NE(r.messages.messages[0].text.find("12번째 줄: 설정 5번이 앞에 이미 있습니다"), std::string::npos)
      << r.messages.messages[0].text;
}

// A file that is there but cannot be taken is said aloud, and the save that
// follows keeps it as Orvanta.cfg.bak.
TEST(ConfigByLineNumber, AFileNotReadCleanlyIsKeptAsBackupOnSave) {
  struct Case {
    const char* what;
    std::string text;
    const char* expectInMessage;
  } cases[] = {
      {"larger than a settings file can be", std::string(kMaxConfigFileBytes + 1, '#'), "너무 커서 읽지 않습니다"},
      {"a line not understood", "3,0\t1;3/9,\nx,\t5;1~3,\n", "알아보지 못한 줄"},
      {"a value without a model", "3,0\t1;3/9,\n7,\t5;1~3,\n", "시간계를 Standard T로 설정합니다"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string path = dir.file(kConfigFileName);
    dir.write(kConfigFileName, c.text);
    RecordingMessageSink messages;
    ConfigReadState state;
    CalcSettings s = DefaultSettings();
    ReadConfiguration(s, path, messages, state);
    ASSERT_FALSE(messages.messages.empty());
    EXPECT_NE(AllMessages(messages).find(c.expectInMessage), std::string::npos) << AllMessages(messages);
    EXPECT_EQ(s.TimeSystemCode, kTimeST);
    EXPECT_FALSE(state.clean);
    messages.messages.clear();
    ASSERT_TRUE(SaveSettings(s, path, state, messages));
    EXPECT_EQ(dir.read(std::string(kConfigFileName) + ".bak"), c.text);
    EXPECT_EQ(dir.read(kConfigFileName), FormatConfiguration(s));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_NE(messages.messages[0].text.find("Orvanta.cfg.bak"), std::string::npos);
    // What is there now was written here: the next save keeps no backup.
    EXPECT_TRUE(state.clean);
    ASSERT_TRUE(::unlink((path + ".bak").c_str()) == 0);
    ASSERT_TRUE(SaveSettings(s, path, state, messages));
    EXPECT_FALSE(PathExists(path + ".bak"));
  }
}

TEST(ConfigByLineNumber, AFileNobodyMayReadIsReportedAndKept) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop the superuser";
  TempDir dir;
  const std::string path = dir.file(kConfigFileName);
  dir.write(kConfigFileName, FormatConfiguration(Customised()));
  ASSERT_EQ(::chmod(path.c_str(), 0), 0);
  RecordingMessageSink messages;
  ConfigReadState state;
  CalcSettings s;
  EXPECT_FALSE(ReadConfiguration(s, path, messages, state));
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_NE(messages.messages[0].text.find("읽을 수 없습니다"), std::string::npos);
  EXPECT_EQ(FormatConfiguration(s), FormatConfiguration(DefaultSettings()));
  ASSERT_TRUE(SaveSettings(s, path, state, messages));
  ::chmod((path + ".bak").c_str(), 0600);
  EXPECT_EQ(dir.read(std::string(kConfigFileName) + ".bak"), FormatConfiguration(Customised()));
}

// A user place (index 652 and up) whose place file is missing today is shown
// as place 0 with a message, and the settings file keeps the index.
TEST(ConfigByLineNumber, AUserPlaceWithoutItsFileIsKept) {
  TempDir current;
  CalcSettings configured = DefaultSettings();
  configured.PlaceIndex = 655;
  ASSERT_TRUE(SaveSettings(configured, current.file(kConfigFileName)));
  RecordingMessageSink messages;
  FixedClock clock{{MakeTm(2024, 2, 15, 10, 30), MakeTm(2024, 2, 15, 1, 30)}};
  {
    CalendarApp app{{"/nonexistent-program-folder", current.path()}, messages, clock};
    app.StartUp();
    EXPECT_NE(AllMessages(messages).find("655번(사용자 지역)"), std::string::npos) << AllMessages(messages);
    app.Close();
  }
  EXPECT_EQ(current.read(kConfigFileName), FormatConfiguration(configured));
}

// ------------------------------------------------------------------ locale

// A process whose C locale writes a decimal comma, as the window's toolkit
// sets it for a German user: a locale of the system, or one made here.
class CommaDecimalLocale {
 public:
  explicit CommaDecimalLocale(const TempDir& dir) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    previous_ = previous ? previous : "C";
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"})
      if (std::setlocale(LC_NUMERIC, name)) {
        Check();
        return;
      }
    const std::string made = dir.path() + "/locales";
    const std::string command = "mkdir -p " + testing::ShellQuote(made) + " && localedef -i de_DE -f UTF-8 " + testing::ShellQuote(made + "/de_DE.UTF-8") +
                                " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return;
    const char* oldLocpath = std::getenv("LOCPATH");
    ::setenv("LOCPATH", made.c_str(), 1);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) Check();
    if (oldLocpath) ::setenv("LOCPATH", oldLocpath, 1);
    else ::unsetenv("LOCPATH");
  }
  ~CommaDecimalLocale() { std::setlocale(LC_NUMERIC, previous_.c_str()); }
  bool active() const { return active_; }

 private:
  void Check() {
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", 1.5);
    active_ = std::string(text) == "1,5";
  }
  std::string previous_;
  bool active_ = false;
};

TEST(LocaleIndependence, FilesAndTextsKeepTheDecimalPoint) {
  TempDir dir;
  const CommaDecimalLocale german(dir);
  if (!german.active()) GTEST_SKIP() << "no locale with a decimal comma can be made here";
  // The settings file: written and read back.
  const std::string path = dir.file(kConfigFileName);
  ASSERT_TRUE(SaveSettings(Customised(), path));
  EXPECT_NE(dir.read(kConfigFileName).find("\n3,69.184000,\t6;"), std::string::npos) << dir.read(kConfigFileName);
  RecordingMessageSink messages;
  CalcSettings back;
  ASSERT_TRUE(ReadConfiguration(back, path, messages));
  EXPECT_EQ(back.UserDeltaT, 69.184);
  EXPECT_TRUE(messages.messages.empty());
  // The formatting helper of reports, CSV and iCalendar files.
  EXPECT_EQ(Format("%.3f|%g|%e", 1.25, 0.5, 2.0), "1.250|0.5|2.000000e+00");
  // The place file's numbers.
  dir.write(kPlaceFileName, "127.5,Here,126.5,37.25,10.5,none,\n");
  PlaceTable places = BuiltInPlaceTable();
  ASSERT_TRUE(ReadPlaceFile(places, dir.path(), messages));
  ASSERT_EQ(places.rows.size(), static_cast<size_t>(places.builtInCount) + 1);
  EXPECT_EQ(places.rows.back().latitude, 37.25);
}

// ------------------------------------------------------------------ sizes and silent drops

// Files far larger than their kind can be are refused before reading, with a
// message (a sparse file: large, but no disk space taken).
TEST(FileSizes, OversizedPlaceAndMemoFilesAreRefusedWithAMessage) {
  TempDir dir;
  for (const char* name : {kPlaceFileName, kMemoFileName}) {
    const int fd = ::open(dir.file(name).c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 2LL << 30), 0);  // 2 GiB
    ::close(fd);
  }
  RecordingMessageSink messages;
  PlaceTable places = BuiltInPlaceTable();
  EXPECT_FALSE(ReadPlaceFile(places, dir.path(), messages));
  MemoTable memos;
  EXPECT_FALSE(ReadMemoFile(memos, dir.path(), &messages));
  ASSERT_EQ(messages.messages.size(), 2u);
  for (const auto& m : messages.messages)
    EXPECT_NE(m.text.find("너무 커서 읽지 않습니다 (2147483648바이트"), std::string::npos) << m.text;
  EXPECT_EQ(places.rows.size(), static_cast<size_t>(places.builtInCount));
}

struct MemoCase {
  const char* what;
  std::string text;
  size_t rows;
  std::vector<std::string> skipped;  // in the message, in order ("" = no message)
};

TEST(MemoSkips, EveryDroppedRowIsNamedInOneMessage) {
  std::string full;
  for (int i = 0; i < kMemoMaxRows + 2; ++i) full += "1,2000,1,1,m" + std::to_string(i) + "\n";
  const std::string first = std::to_string(kMemoMaxRows + 1), bound = std::to_string(kMemoMaxRows);
  const MemoCase cases[] = {
      {"all read", "1,2000,1,1,a\n-1,2000,2,2,b\n", 2, {}},
      {"rows after a blank line", "1,2000,1,1,a\n\n1,2000,1,2,b\n# note\n1,2000,1,3,c\n", 1,
       {"3번째 줄: 2번째 줄의 빈 줄 뒤에 있습니다", "5번째 줄: 2번째 줄의 빈 줄 뒤에 있습니다"}},
      {"month 0 ends the table", "1,2000,1,1,a\n1,2000,0,5,b\n1,2000,1,3,c\n", 1,
       {"2번째 줄: 월이나 일이 0입니다 (여기서 읽기를 멈춥니다)", "3번째 줄: 2번째 줄에서 읽기를 멈췄습니다"}},
      {"out of range", "1,2000,13,1,a\n1,2000,1,1,b\n", 1, {"1번째 줄: 월, 일 또는 첫해가 범위를 벗어났습니다"}},
      {"more than the table holds", full, static_cast<size_t>(kMemoMaxRows),
       {first + "번째 줄: 기념일은 " + bound + "개까지 읽습니다",
        std::to_string(kMemoMaxRows + 2) + "번째 줄: 기념일은 " + bound + "개까지 읽습니다"}},
      {"short rows", "1,2000,1,1,a\n1,1992,7\n1,1992,7,4,\n1,2000,1,2,b\n", 2,
       {"2번째 줄: 항목이 모자랍니다 (종류,첫해,월,일,이름)", "3번째 줄: 항목이 모자랍니다 (종류,첫해,월,일,이름)"}},
  };
  for (const MemoCase& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    dir.write(kMemoFileName, c.text);
    RecordingMessageSink messages;
    MemoTable memos;
    ASSERT_TRUE(ReadMemoFile(memos, dir.path(), &messages));
    EXPECT_EQ(memos.size(), c.rows);
    if (c.skipped.empty()) {
      EXPECT_TRUE(messages.messages.empty()) << AllMessages(messages);
      continue;
    }
    ASSERT_EQ(messages.messages.size(), 1u);
    const std::string& text = messages.messages[0].text;
    EXPECT_NE(text.find("읽지 않은 줄 " + std::to_string(c.skipped.size()) + "개"), std::string::npos) << text;
    size_t at = 0;
    for (const std::string& line : c.skipped) {
      const size_t found = text.find("\n" + line, at);
      EXPECT_NE(found, std::string::npos) << line << " in " << text;
      if (found != std::string::npos) at = found;
    }
  }
}

TEST(MemoSkips, DotsInNamesStayAndUtf16FilesAreRead) {
  TempDir dir;
  dir.write(kMemoFileName, "1.2000.5.5.Dr.Kim\n-1,1990,1,1,a.b\n");
  MemoTable memos;
  ASSERT_TRUE(ReadMemoFile(memos, dir.path()));
  ASSERT_EQ(memos.size(), 2u);
  EXPECT_EQ(memos[0].name, "Dr.Kim");
  EXPECT_EQ(memos[0].day, 5);
  EXPECT_EQ(memos[1].name, "a.b");
  // "1,2000,1,1,설날" saved as UTF-16 (little-endian, with its mark).
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("1,2000,1,1,")) utf16 += std::string{c, '\0'};
  utf16 += std::string("\x24\xC1\xA0\xB0", 4);  // 설 U+C124, 날 U+B0A0
  dir.write(kMemoFileName, utf16);
  ASSERT_TRUE(ReadMemoFile(memos, dir.path()));
  ASSERT_EQ(memos.size(), 1u);
  EXPECT_EQ(memos[0].name, "설날");
}

}  // namespace
}  // namespace orv
