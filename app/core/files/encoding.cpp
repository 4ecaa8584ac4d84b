#include "app/core/files/encoding.h"

#include <errno.h>
#include <iconv.h>

#include <cstddef>

namespace orv {
namespace {

constexpr const char* kCp949 = "CP949";
constexpr const char* kUtf8 = "UTF-8";
// U+FFFD REPLACEMENT CHARACTER in UTF-8.
constexpr const char* kReplacement = "\xEF\xBF\xBD";
constexpr const char* kUtf8Bom = "\xEF\xBB\xBF";
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

std::string DecodeFileText(const std::string& bytes, TextEncoding* detected) {
  if (IsValidUtf8(bytes)) {
    if (detected) *detected = TextEncoding::Utf8;
    if (bytes.compare(0, 3, kUtf8Bom) == 0) return bytes.substr(3);
    return bytes;
  }
  if (detected) *detected = TextEncoding::Cp949;
  std::string result;
  result.reserve(bytes.size() * 3 / 2 + 16);
  IconvHandle toUtf8(kUtf8, kCp949);
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  if (!toUtf8.ok()) {
    // No CP949 converter on this system: keep ASCII, mark the rest.
    for (std::size_t i = 0; i < n; ++i) result += s[i] < 0x80 ? std::string(1, static_cast<char>(s[i])) : kReplacement;
    return result;
  }
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = n;
  char buffer[4096];
  while (inLeft > 0) {
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t r = ::iconv(toUtf8.get(), &in, &inLeft, &out, &outLeft);
    result.append(buffer, sizeof buffer - outLeft);
    if (r != static_cast<std::size_t>(-1)) continue;
    if (errno == E2BIG) continue;  // buffer full: flushed above, go on
    // EILSEQ (not CP949) or EINVAL (cut off at the end): skip one byte.
    result += kReplacement;
    ++in;
    --inLeft;
    toUtf8.Reset();
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
