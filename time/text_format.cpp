#include "time/text_format.h"

#include <locale.h>

#include <cstdarg>
#include <cstdio>

namespace orv {
namespace {

// The "C" locale as an object, made once and never changed: numbers are
// formatted with a decimal point whatever locale the process runs in (the
// window toolkit sets the user's, whose decimal mark may be a comma).
locale_t CLocale() {
  static const locale_t c = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return c;
}

// Makes the "C" locale the calling thread's for its lifetime.
class ThreadCLocale {
 public:
  ThreadCLocale() : previous_(CLocale() ? ::uselocale(CLocale()) : static_cast<locale_t>(0)) {}
  ~ThreadCLocale() {
    if (previous_) ::uselocale(previous_);
  }
  ThreadCLocale(const ThreadCLocale&) = delete;
  ThreadCLocale& operator=(const ThreadCLocale&) = delete;

 private:
  locale_t previous_;
};

}  // namespace

std::string Format(const char* format, ...) {
  const ThreadCLocale cLocale;
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
