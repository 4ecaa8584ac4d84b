// Reading the user's files whatever bytes they hold: the text decoder, the
// configuration file read by its line numbers, size limits, and the messages
// that name what a reader skipped.
//
// CP949 byte sequences were produced by GNU iconv (`iconv -t CP949`) and agree
// with the KS X 1001 code table (가 = B0 A1, 서 = BC AD, 울 = BF EF); A2 E8 is
// the circled postal mark U+327E of KS X 1001:2002.
#include <gtest/gtest.h>

#include <string>

#include "app/core/files/encoding.h"
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

}  // namespace
}  // namespace orv
