#include "time/text_format.h"

#include <cstdarg>
#include <cstdio>

namespace orv {

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  char buffer[512];  // most texts fit; longer ones are formatted again at their size
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(buffer, sizeof buffer, format, copy);
  va_end(copy);
  std::string text;
  if (n < 0) {
    va_end(args);
    return text;
  }
  if (static_cast<size_t>(n) < sizeof buffer) {
    text.assign(buffer, static_cast<size_t>(n));
  } else {
    text.resize(static_cast<size_t>(n) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<size_t>(n));
  }
  va_end(args);
  return text;
}

}  // namespace orv
