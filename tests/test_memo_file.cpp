// The memo file's one owner: the same rows and the same skipped rows for
// every reader whatever the file's encoding, line ends and format; a file
// written back unchanged is the same bytes; a change keeps the file's form;
// writers at the same time never lose a row; files of the wrong kind or size
// are refused at once. Also the settings and place files, read by the same
// text reader (CR line ends, UTF-16).
//
// The encoded files are made with iconv (glibc's converters), independently
// of the program's own encoder.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "app/core/files/config.h"
#include "app/core/files/memo.h"
#include "app/core/files/memo_document.h"
#include "app/core/files/places.h"
#include "app/core/files/text_file.h"
#include "app/core/messages.h"
#include "cli_runner.h"

namespace orv {
namespace {

using testing::TempDir;

// Seconds any reader may take before the alarm ends the test binary: a read
// that blocks (a FIFO) or runs on (/dev/zero) fails loudly instead of hanging.
constexpr unsigned kBlockingLimitSeconds = 30;
struct AlarmGuard {
  AlarmGuard() { ::alarm(kBlockingLimitSeconds); }
  ~AlarmGuard() { ::alarm(0); }
};

std::string Iconv(const std::string& utf8, const char* to) {
  iconv_t cd = ::iconv_open(to, "UTF-8");
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
  std::string out(utf8.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char* o = out.data();
  size_t outLeft = out.size();
  EXPECT_NE(::iconv(cd, &in, &inLeft, &o, &outLeft), static_cast<size_t>(-1)) << to;
  ::iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

enum class Enc { Utf8, Utf8Bom, Utf16Le, Utf16Be, Cp949 };
const char* EncName(Enc e) {
  switch (e) {
    case Enc::Utf8: return "UTF-8";
    case Enc::Utf8Bom: return "UTF-8+BOM";
    case Enc::Utf16Le: return "UTF-16LE";
    case Enc::Utf16Be: return "UTF-16BE";
    case Enc::Cp949: return "CP949";
  }
  return "";
}

std::string Encode(const std::string& utf8, Enc e) {
  switch (e) {
    case Enc::Utf8: return utf8;
    case Enc::Utf8Bom: return "\xEF\xBB\xBF" + utf8;
    case Enc::Utf16Le: return "\xFF\xFE" + Iconv(utf8, "UTF-16LE");
    case Enc::Utf16Be: return "\xFE\xFF" + Iconv(utf8, "UTF-16BE");
    case Enc::Cp949: return Iconv(utf8, "CP949");
  }
  return "";
}

TextEncoding Expected(Enc e) {
  switch (e) {
    case Enc::Utf16Le:
    case Enc::Utf16Be: return TextEncoding::Utf16;
    case Enc::Cp949: return TextEncoding::Cp949;
    default: return TextEncoding::Utf8;
  }
}

std::string Joined(const std::vector<std::string>& lines, const std::string& end) {
  std::string text;
  for (const std::string& line : lines) text += line + end;
  return text;
}

// How many times `needle` occurs in `text`.
size_t Count(const std::string& text, const std::string& needle) {
  size_t n = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
  return n;
}

// 150 syllables: 300 bytes in CP949, within the name bound; 201: over it.
std::string Syllables(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += "가";
  return s;
}

struct Expect {
  std::vector<std::string> names;    // the rows read, in order
  std::vector<int> skippedLines;     // line numbers named in the message (without a first-line header)
};

// The table's rows: short, long and bad rows between good ones.
const std::vector<std::string> kBody = {
    "# 우리 집 기념일",                       // 1 comment
    "1,1960,3,16,아빠 생신",                  // 2 a first-format name with a blank: kept whole
    "-1.1990.1.1.설날:",                      // 3 points for commas
    "1,1992,7",                               // 4 short: skipped
    "1,2000,5,5," + Syllables(150),           // 5 long name, within the bound
    "1,2000,13,1,달이 틀림",                  // 6 month 13: skipped
    "1,2000,5,6," + Syllables(201),           // 7 name over the bound: skipped
    "-2,2020,6,15,윤달 생일",                 // 8 leap month
    "1x,2000,1,1,숫자가 아님",                // 9 not a number: skipped
};
const Expect kExpect = {{"아빠 생신", "설날:", Syllables(150), "윤달 생일"}, {4, 6, 7, 9}};

struct FileCase {
  Enc enc;
  std::string lineEnd;
  bool format2;
  std::string Label() const {
    const char* end = lineEnd == "\n" ? "LF" : lineEnd == "\r\n" ? "CRLF" : "CR";
    return std::string(EncName(enc)) + " " + end + (format2 ? " second format" : " first format");
  }
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    if (format2) lines.push_back(kMemoFormat2Line);
    lines.insert(lines.end(), kBody.begin(), kBody.end());
    return lines;
  }
};

std::vector<FileCase> AllCases() {
  std::vector<FileCase> cases;
  for (Enc enc : {Enc::Utf8, Enc::Utf8Bom, Enc::Utf16Le, Enc::Utf16Be, Enc::Cp949})
    for (const char* end : {"\n", "\r\n", "\r"})
      for (bool format2 : {false, true}) cases.push_back({enc, end, format2});
  return cases;
}

TEST(MemoFileTable, EveryReaderTakesTheSameRowsAndNamesEachSkippedRowOnce) {
  for (const FileCase& c : AllCases()) {
    SCOPED_TRACE(c.Label());
    TempDir dir;
    const std::string bytes = Encode(Joined(c.Lines(), c.lineEnd), c.enc);
    dir.write(kMemoFileName, bytes);
    const int offset = c.format2 ? 1 : 0;

    // The month view's reader.
    RecordingMessageSink messages;
    MemoTable memos;
    ASSERT_TRUE(ReadMemoFile(memos, dir.path(), &messages));
    ASSERT_EQ(memos.size(), kExpect.names.size());
    for (size_t i = 0; i < memos.size(); ++i) EXPECT_EQ(memos[i].name, kExpect.names[i]) << i;
    EXPECT_EQ(memos[1].kind, kMemoLunar);
    EXPECT_EQ(memos[3].kind, kMemoLunarLeap);
    ASSERT_EQ(messages.messages.size(), 1u);
    const std::string& text = messages.messages[0].text;
    EXPECT_EQ(Count(text, "번째 줄:"), kExpect.skippedLines.size()) << text;
    for (int line : kExpect.skippedLines)
      EXPECT_EQ(Count(text, "\n" + std::to_string(line + offset) + "번째 줄:"), 1u) << line << " in " << text;

    // The manager's reader: the same rows, the same skipped lines, the form.
    MemoDocument doc;
    ASSERT_TRUE(LoadMemoDocument(doc, dir.path()));
    ASSERT_EQ(doc.RowCount(), static_cast<int>(kExpect.names.size()));
    EXPECT_EQ(MemoSkippedLinesText(dir.file(kMemoFileName), doc.skipped), text);
    EXPECT_EQ(doc.Encoding(), Expected(c.enc));
    EXPECT_EQ(doc.format.lineEnd, c.lineEnd);
    EXPECT_EQ(doc.format2, c.format2);

    // Written back unchanged: the same bytes (a first-format file gets the
    // second format's first line in its own form, and its bytes kept).
    std::string error;
    ASSERT_TRUE(ChangeMemoFile(dir.path(), [](MemoDocument&, std::string&) { return true; }, nullptr, &error))
        << error;
    const std::string header = c.format2 ? "" : Encode(std::string(kMemoFormat2Line) + c.lineEnd, c.enc);
    const bool hasBom = c.enc == Enc::Utf8Bom || c.enc == Enc::Utf16Le || c.enc == Enc::Utf16Be;
    const size_t bomBytes = c.enc == Enc::Utf8Bom ? 3 : hasBom ? 2 : 0;
    const std::string expected =
        c.format2 ? bytes : bytes.substr(0, bomBytes) + header.substr(bomBytes) + bytes.substr(bomBytes);
    EXPECT_EQ(dir.read(kMemoFileName), expected);
    if (!c.format2) {
      EXPECT_EQ(dir.read(std::string(kMemoFileName) + ".bak"), bytes);
    }

    // A row added: the file keeps its encoding, mark and line ends.
    MemoEntry added{kMemoSolar, 2024, 12, 24, "새 기념일 모임"};
    ASSERT_TRUE(ChangeMemoFile(
        dir.path(),
        [&](MemoDocument& d, std::string&) {
          d.Add(added);
          return true;
        },
        nullptr, &error))
        << error;
    const std::string now = dir.read(kMemoFileName);
    EXPECT_EQ(now, expected + Encode("1,2024,12,24,새 기념일 모임" + c.lineEnd, c.enc).substr(bomBytes));
    ASSERT_TRUE(ReadMemoFile(memos, dir.path()));
    ASSERT_EQ(memos.size(), kExpect.names.size() + 1);
    EXPECT_EQ(memos.back().name, "새 기념일 모임");
  }
}

// `memo list`, `upcoming` and the month view agree on a file's rows: the
// command lists what the reader reads and names the same skipped lines.
TEST(MemoFileTable, MemoListShowsTheRowsEveryReaderReads) {
  for (const FileCase& c : {FileCase{Enc::Utf16Le, "\r", false}, FileCase{Enc::Cp949, "\r\n", true}}) {
    SCOPED_TRACE(c.Label());
    TempDir dir;
    dir.write(kMemoFileName, Encode(Joined(c.Lines(), c.lineEnd), c.enc));
    const auto list = testing::RunCli("memo list", dir.path());
    ASSERT_EQ(list.status, 0) << list.err;
    const auto lines = testing::Lines(list.out);
    ASSERT_EQ(lines.size(), kExpect.names.size() + 1) << list.out;
    EXPECT_EQ(lines[1], "1\tsolar\t3-16\t1960\tnone\t아빠 생신");
    EXPECT_EQ(Count(list.err, "번째 줄:"), kExpect.skippedLines.size()) << list.err;
  }
}

// Three writers at once, 40 rows each: every row arrives.
constexpr int kWriters = 3;
constexpr int kRowsPerWriter = 40;

void AddRows(const std::string& folder, int writer) {
  for (int i = 0; i < kRowsPerWriter; ++i) {
    const MemoEntry e{kMemoSolar, 2000, 1 + i % 12, 1 + writer, "w" + std::to_string(writer) + "-" + std::to_string(i)};
    std::string error;
    if (!ChangeMemoFile(
            folder,
            [&](MemoDocument& d, std::string&) {
              d.Add(e);
              return true;
            },
            nullptr, &error))
      ADD_FAILURE() << error;
  }
}

void ExpectAllRows(const std::string& folder) {
  MemoTable memos;
  ASSERT_TRUE(ReadMemoFile(memos, folder));
  ASSERT_EQ(memos.size(), static_cast<size_t>(kWriters * kRowsPerWriter));
  std::set<std::string> names;
  for (const MemoEntry& m : memos) names.insert(m.name);
  EXPECT_EQ(names.size(), static_cast<size_t>(kWriters * kRowsPerWriter));
}

TEST(MemoWriters, ThreeThreadsAtOnceLoseNoRow) {
  TempDir dir;
  std::vector<std::thread> threads;
  for (int w = 0; w < kWriters; ++w) threads.emplace_back(AddRows, dir.path(), w);
  for (std::thread& t : threads) t.join();
  ExpectAllRows(dir.path());
}

TEST(MemoWriters, ThreeProcessesAtOnceLoseNoRow) {
  TempDir dir;
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      AddRows(dir.path(), w);
      ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  ExpectAllRows(dir.path());
}

TEST(MemoWriters, ThreeMemoAddCommandsAtOnceLoseNoRow) {
  TempDir dir;
  std::string script = "cd " + testing::ShellQuote(dir.path()) + " || exit 1; ";
  for (int w = 0; w < kWriters; ++w)
    script += "(i=0; while [ $i -lt " + std::to_string(kRowsPerWriter) + " ]; do " +
              testing::ShellQuote(ORVANTA_CLI_PATH) + " memo add --solar 1-" + std::to_string(w + 1) +
              " --since 2000 --name w" + std::to_string(w) + "-$i >/dev/null 2>&1 || exit 1; i=$((i+1)); done) & ";
  script += "wait";
  ASSERT_EQ(std::system(script.c_str()), 0);
  ExpectAllRows(dir.path());
}

// A memo file of the wrong kind or size: every reader and the writer answer
// at once with a message, read nothing and change nothing.
TEST(MemoFileKinds, WrongKindsAndSizesAreRefusedAtOnce) {
  AlarmGuard guard;
  struct Kind {
    const char* what;
    void (*make)(const std::string& path);
    const char* message;
  } kinds[] = {
      {"link to /dev/zero", [](const std::string& p) { ASSERT_EQ(::symlink("/dev/zero", p.c_str()), 0); },
       "일반 파일이 아니어서"},
      {"FIFO", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, "일반 파일이 아니어서"},
      {"folder", [](const std::string& p) { ASSERT_EQ(::mkdir(p.c_str(), 0700), 0); }, "일반 파일이 아니어서"},
      {"1 GB sparse file",
       [](const std::string& p) {
         const int fd = ::open(p.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
         ASSERT_GE(fd, 0);
         ASSERT_EQ(::ftruncate(fd, 1LL << 30), 0);
         ::close(fd);
       },
       "너무 커서"},
      {"just over the limit",
       [](const std::string& p) {
         std::string rows;
         while (rows.size() <= kMaxMemoFileBytes) rows += "1,2000,1,1,row\n";
         std::ofstream(p, std::ios::binary) << rows;
       },
       "너무 커서"},
  };
  for (const Kind& k : kinds) {
    SCOPED_TRACE(k.what);
    TempDir dir;
    const std::string path = dir.file(kMemoFileName);
    k.make(path);
    const FileStamp before = StampOf(path);
    RecordingMessageSink messages;
    MemoTable memos;
    EXPECT_FALSE(ReadMemoFile(memos, dir.path(), &messages));
    EXPECT_TRUE(memos.empty());
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_NE(messages.messages[0].text.find(k.message), std::string::npos) << messages.messages[0].text;
    MemoDocument doc;
    std::string error;
    EXPECT_FALSE(LoadMemoDocument(doc, dir.path(), &error));
    EXPECT_NE(error.find(k.message), std::string::npos) << error;
    // `memo add` refuses too, instead of adding rows no view would show.
    EXPECT_FALSE(ChangeMemoFile(
        dir.path(),
        [](MemoDocument& d, std::string&) {
          d.Add(MemoEntry{kMemoSolar, 2000, 1, 1, "x"});
          return true;
        },
        nullptr, &error));
    EXPECT_NE(error.find(k.message), std::string::npos) << error;
    EXPECT_EQ(StampOf(path), before);
    const auto add = testing::RunCli("memo add --solar 1-1 --name x", dir.path());
    EXPECT_NE(add.status, 0);
    const auto list = testing::RunCli("memo list", dir.path());
    EXPECT_NE(list.status, 0);
    EXPECT_EQ(StampOf(path), before);
  }
}

// A save that would make the file too large for every reader is refused.
TEST(MemoFileKinds, AChangeThatWouldPassTheLimitIsRefused) {
  TempDir dir;
  std::string text = std::string(kMemoFormat2Line) + "\n";
  const std::string row = "1,2000,1,1," + std::string(300, 'x') + "\n";
  while (text.size() + row.size() <= kMaxMemoFileBytes) text += row;
  dir.write(kMemoFileName, text);
  const std::string before = dir.read(kMemoFileName);
  std::string error;
  EXPECT_FALSE(ChangeMemoFile(
      dir.path(),
      [&](MemoDocument& d, std::string&) {
        d.Add(MemoEntry{kMemoSolar, 2000, 1, 1, std::string(300, 'y')});
        return true;
      },
      nullptr, &error));
  EXPECT_NE(error.find("저장하지 않습니다"), std::string::npos) << error;
  EXPECT_EQ(dir.read(kMemoFileName), before);
}

// ------------------------------------------------------------------ settings and places

// The settings as the program writes them, in other encodings and line ends:
// every line is read (CR line ends used to join all lines into the first).
TEST(ConfigText, CrLineEndsAndUtf16AreReadWhole) {
  CalcSettings written = DefaultSettings();
  written.PrecessionModel = kPrecessionOwen1990;
  written.TermSearchStepSeconds = 30;
  written.PlaceIndex = 207;
  written.EopCorrection = 0;
  std::string lf = FormatConfiguration(written);
  for (Enc enc : {Enc::Utf8, Enc::Utf8Bom, Enc::Utf16Le, Enc::Utf16Be, Enc::Cp949})
    for (const char* end : {"\n", "\r\n", "\r"}) {
      SCOPED_TRACE(std::string(EncName(enc)) + (end[0] == '\n' ? " LF" : end[1] ? " CRLF" : " CR"));
      std::string text;
      for (char ch : lf) text += ch == '\n' ? std::string(end) : std::string(1, ch);
      TempDir dir;
      dir.write(kConfigFileName, Encode(text, enc));
      RecordingMessageSink messages;
      ConfigReadState state;
      CalcSettings read = DefaultSettings();
      ASSERT_TRUE(ReadConfiguration(read, dir.file(kConfigFileName), messages, state));
      EXPECT_TRUE(messages.messages.empty()) << messages.messages[0].text;
      EXPECT_TRUE(state.clean);
      EXPECT_EQ(read.PrecessionModel, kPrecessionOwen1990);
      EXPECT_EQ(read.TermSearchStepSeconds, 30);
      EXPECT_EQ(read.PlaceIndex, 207);
      EXPECT_EQ(read.EopCorrection, 0);
    }
}

// A settings file not read cleanly is kept as ".bak" before the save
// replaces it; one read cleanly is replaced without one.
TEST(ConfigText, AFileNotReadCleanlyIsKeptBeforeTheSave) {
  const std::string unclean = "3,0\t1;3/9,\r7,\t2;1/2,\r";  // precession 7 has no model
  const std::string clean = FormatConfiguration(DefaultSettings());
  for (const std::string& original : {unclean, clean}) {
    TempDir dir;
    const std::string path = dir.file(kConfigFileName);
    dir.write(kConfigFileName, original);
    RecordingMessageSink messages;
    ConfigReadState state;
    CalcSettings settings = DefaultSettings();
    ReadConfiguration(settings, path, messages, state);
    ASSERT_TRUE(SaveSettings(settings, path, state, messages));
    EXPECT_EQ(dir.read(kConfigFileName), FormatConfiguration(settings));
    const bool kept = std::filesystem::exists(path + ".bak");
    EXPECT_EQ(kept, original == unclean);
    if (kept) {
      EXPECT_EQ(dir.read(std::string(kConfigFileName) + ".bak"), unclean);
    }
  }
}

TEST(PlaceText, CrLineEndsAndUtf16AreReadAndBadRowsNamedOnce) {
  const std::vector<std::string> lines = {"# 내 지역", "135.0,우리 집,127.0,37.5,50,없음,", "135.0,짧은 줄,127.0,",
                                          "-75.0,뉴욕 사무실,-74.0,40.7,10,3월~11월,"};
  for (Enc enc : {Enc::Utf8Bom, Enc::Utf16Le, Enc::Utf16Be, Enc::Cp949})
    for (const char* end : {"\n", "\r\n", "\r"}) {
      SCOPED_TRACE(EncName(enc));
      TempDir dir;
      dir.write(kPlaceFileName, Encode(Joined(lines, end), enc));
      RecordingMessageSink messages;
      PlaceTable table = BuiltInPlaceTable();
      ASSERT_TRUE(ReadPlaceFile(table, dir.path(), messages));
      ASSERT_EQ(table.rows.size(), static_cast<size_t>(table.builtInCount) + 2);
      EXPECT_EQ(table.rows[static_cast<size_t>(table.builtInCount)].name, "우리 집");
      EXPECT_EQ(table.rows.back().name, "뉴욕 사무실");
      EXPECT_EQ(table.rows.back().daylightSaving, "3월~11월");
      ASSERT_EQ(messages.messages.size(), 1u);
      EXPECT_EQ(Count(messages.messages[0].text, "3번째 줄"), 1u) << messages.messages[0].text;
    }
}

// The text reader keeps each line's own end, so a file of mixed line ends
// is written back as it was.
TEST(TextFile, MixedLineEndsAndAMissingLastEndRoundTrip) {
  for (const std::string& bytes : {std::string("a\r\nb\rc\nd"), std::string("\n\r\r\n"), std::string(),
                                  std::string("\xFF\xFE" "a\0\r\0\n\0b\0", 10)}) {
    const TextFile file = ParseTextFile(bytes);
    std::string again;
    ASSERT_TRUE(SerializeTextFile(file, again));
    EXPECT_EQ(again, bytes);
  }
  const TextFile mixed = ParseTextFile("a\r\nb\rc\nd");
  ASSERT_EQ(mixed.lines.size(), 4u);
  EXPECT_EQ(mixed.format.lineEnd, "\r\n");
  EXPECT_EQ(mixed.lines[1].text, "b");
  EXPECT_EQ(mixed.lines[3].end, "");
}

}  // namespace
}  // namespace orv
