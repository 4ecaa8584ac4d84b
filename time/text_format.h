// printf into a std::string: the one formatting helper of every layer, with
// the format checked against the arguments by the compiler.
#pragma once

#include <string>

namespace orv {

// The text snprintf would write, of any length, always in the "C" locale (a
// decimal point whatever the process's locale); "" on an encoding error.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace orv
