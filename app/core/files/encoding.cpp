#include "app/core/files/encoding.h"

#include <errno.h>
#include <iconv.h>

#include <cstddef>
#include <string_view>

namespace orv {
namespace {

constexpr const char* kCp949 = "CP949";
constexpr const char* kUtf8 = "UTF-8";
// U+FFFD REPLACEMENT CHARACTER in UTF-8.
constexpr const char* kReplacement = "\xEF\xBF\xBD";
constexpr const char* kUtf8Bom = "\xEF\xBB\xBF";
// KS X 1001:2002 added the circled Korean postal mark (U+327E) at A2 E8;
// glibc's converter lacks it (and consumes the pair before failing).
constexpr unsigned char kPostalMarkLead = 0xA2, kPostalMarkTrail = 0xE8;
constexpr const char* kPostalMarkUtf8 = "\xE3\x89\xBE";
// Every character CP949 holds takes one byte (ASCII) or two.
constexpr std::size_t kMaxCp949CharBytes = 2;

// One iconv conversion descriptor for the length of a call.
class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : cd_(::iconv_open(to, from)) {}
  ~IconvHandle() {
    if (ok()) ::iconv_close(cd_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }
  void Reset() { ::iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

 private:
  iconv_t cd_;
};

// Length of the well-formed UTF-8 sequence at s[0..n), or 0 when the bytes
// there do not start one (RFC 3629: shortest form, no surrogates, at most
// U+10FFFF).
std::size_t Utf8SequenceLength(const unsigned char* s, std::size_t n) {
  if (n == 0) return 0;
  const unsigned char c = s[0];
  if (c < 0x80) return 1;
  std::size_t len;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3;
    if (c == 0xE0) lo = 0xA0;  // no overlong forms
    if (c == 0xED) hi = 0x9F;  // no surrogates
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4;
    if (c == 0xF0) lo = 0x90;  // no overlong forms
    if (c == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (n < len) return 0;
  if (s[1] < lo || s[1] > hi) return 0;
  for (std::size_t i = 2; i < len; ++i)
    if (s[i] < 0x80 || s[i] > 0xBF) return 0;
  return len;
}

// CP949 bytes of the one character at p[0..len) (a well-formed UTF-8
// sequence); its UTF-8 length when CP949 has no such character.
int Cp949CharLength(IconvHandle& toCp949, const char* p, std::size_t len) {
  if (len == 1) return 1;
  if (std::string_view(p, len) == kPostalMarkUtf8) return 2;
  if (!toCp949.ok()) return static_cast<int>(len);
  char out[8];
  char* in = const_cast<char*>(p);
  std::size_t inLeft = len;
  char* outPtr = out;
  std::size_t outLeft = sizeof out;
  const std::size_t r = ::iconv(toCp949.get(), &in, &inLeft, &outPtr, &outLeft);
  if (r == static_cast<std::size_t>(-1) || inLeft != 0) {
    toCp949.Reset();
    return static_cast<int>(len);
  }
  const std::size_t written = sizeof out - outLeft;
  // A converter that transliterates would write more than one character.
  return written >= 1 && written <= kMaxCp949CharBytes ? static_cast<int>(written) : static_cast<int>(len);
}

// Walks `utf8` character by character; calls add(bytesInUtf8, cp949Length)
// until it returns false.
template <typename Add>
void ForEachCharacter(const std::string& utf8, Add add) {
  IconvHandle toCp949(kCp949, kUtf8);
  const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
  const std::size_t n = utf8.size();
  std::size_t i = 0;
  while (i < n) {
    const std::size_t len = Utf8SequenceLength(s + i, n - i);
    if (len == 0) {
      // A stray byte: one byte in any encoding the file could be saved in.
      if (!add(std::size_t{1}, 1)) return;
      ++i;
      continue;
    }
    if (!add(len, Cp949CharLength(toCp949, utf8.data() + i, len))) return;
    i += len;
  }
}

}  // namespace

bool IsValidUtf8(const std::string& text) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n;) {
    const std::size_t len = Utf8SequenceLength(s + i, n - i);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

namespace {

// CP949 lead bytes and the bytes that may follow one.
bool IsCp949Lead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool IsCp949Trail(unsigned char c) {
  return (c >= 0x41 && c <= 0x5A) || (c >= 0x61 && c <= 0x7A) || (c >= 0x81 && c <= 0xFE);
}


// Converts the one CP949 character at p[0..len) and appends it; false when
// the converter does not take exactly these bytes as one character. Each
// call starts from the initial state, and how far the converter claims to
// have read is never trusted beyond this one character.
bool AppendCp949Char(IconvHandle& toUtf8, const unsigned char* p, std::size_t len, std::string& out) {
  if (len == 2 && p[0] == kPostalMarkLead && p[1] == kPostalMarkTrail) {
    out += kPostalMarkUtf8;
    return true;
  }
  char source[2] = {static_cast<char>(p[0]), len == 2 ? static_cast<char>(p[1]) : '\0'};
  char target[16];
  char* in = source;
  std::size_t inLeft = len;
  char* outPtr = target;
  std::size_t outLeft = sizeof target;
  const std::size_t r = ::iconv(toUtf8.get(), &in, &inLeft, &outPtr, &outLeft);
  toUtf8.Reset();
  const std::size_t written = sizeof target - outLeft;
  if (r == static_cast<std::size_t>(-1) || inLeft != 0 || written == 0 || written > 4) return false;
  const std::string utf8(target, written);
  if (!IsValidUtf8(utf8)) return false;
  out += utf8;
  return true;
}

std::string DecodeUtf16(const std::string& bytes, bool bigEndian, std::size_t start) {
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  auto unitAt = [&](std::size_t i) -> unsigned {
    return bigEndian ? (unsigned{s[i]} << 8) | s[i + 1] : (unsigned{s[i + 1]} << 8) | s[i];
  };
  auto append = [&](unsigned cp) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  };
  std::size_t i = start;
  while (i + 1 < n) {
    const unsigned unit = unitAt(i);
    i += 2;
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < n) {
      const unsigned low = unitAt(i);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        i += 2;
        append(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        continue;
      }
    }
    if (unit >= 0xD800 && unit <= 0xDFFF) out += kReplacement;  // unpaired surrogate
    else append(unit);
  }
  if (i < n) out += kReplacement;  // an odd byte at the end
  return out;
}

}  // namespace

std::string DecodeFileText(const std::string& bytes, TextEncoding* detected) {
  if (IsValidUtf8(bytes)) {
    if (detected) *detected = TextEncoding::Utf8;
    if (bytes.compare(0, 3, kUtf8Bom) == 0) return bytes.substr(3);
    return bytes;
  }
  if (bytes.size() >= 2) {
    const auto b0 = static_cast<unsigned char>(bytes[0]), b1 = static_cast<unsigned char>(bytes[1]);
    if ((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF)) {
      if (detected) *detected = TextEncoding::Utf16;
      return DecodeUtf16(bytes, b0 == 0xFE, 2);  // after the byte-order mark
    }
  }
  if (detected) *detected = TextEncoding::Cp949;
  return DecodeCp949Text(bytes);
}

std::string DecodeUtf16Text(const std::string& bytes, bool bigEndian) { return DecodeUtf16(bytes, bigEndian, 0); }

std::string DecodeCp949Text(const std::string& bytes) {
  std::string result;
  result.reserve(bytes.size() * 3 / 2 + 16);
  IconvHandle toUtf8(kUtf8, kCp949);
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned char c = s[i];
    if (c < 0x80) {
      result += static_cast<char>(c);
      ++i;
      continue;
    }
    const bool pair = IsCp949Lead(c) && i + 1 < n && IsCp949Trail(s[i + 1]);
    if (pair && toUtf8.ok() && AppendCp949Char(toUtf8, s + i, 2, result)) {
      i += 2;
      continue;
    }
    result += kReplacement;
    // A pair of the right shape that names no character is one unknown
    // character; but an ASCII letter after a bad lead byte is kept, and a
    // line break or comma is never taken into a pair.
    i += pair && s[i + 1] >= 0x80 ? 2 : 1;
  }
  return result;
}

int Cp949Length(const std::string& utf8) {
  int total = 0;
  ForEachCharacter(utf8, [&](std::size_t, int cp949) {
    total += cp949;
    return true;
  });
  return total;
}

std::string CutToCp949Length(const std::string& utf8, int maxBytes) {
  std::size_t keep = 0;
  int total = 0;
  ForEachCharacter(utf8, [&](std::size_t utf8Bytes, int cp949) {
    if (total + cp949 > maxBytes) return false;
    total += cp949;
    keep += utf8Bytes;
    return true;
  });
  return utf8.substr(0, keep);
}

}  // namespace orv
