// Text decoding of the user's files (UTF-8 or CP949) and the CP949 byte
// measures: any bytes decode to valid UTF-8, and a cut never exceeds its
// limit or splits a character.
#include <cstdlib>
#include <string>

#include "app/core/files/encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orv;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  TextEncoding detected;
  const std::string text = DecodeFileText(bytes, &detected);
  if (!IsValidUtf8(text)) std::abort();
  const int length = Cp949Length(text);
  if (length < 0) std::abort();
  for (int limit : {0, 1, 7, 15, 35}) {
    const std::string cut = CutToCp949Length(text, limit);
    if (Cp949Length(cut) > limit || !IsValidUtf8(cut) || text.compare(0, cut.size(), cut) != 0) std::abort();
  }
  return 0;
}
