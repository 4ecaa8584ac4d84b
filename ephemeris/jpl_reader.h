// JPL binary ephemeris reader (DE200/405/406/422/431/441 layouts).
// (Placeholder interface; the reader itself is being written.)
#pragma once

#include <stdexcept>
#include <string>

#include "ephemeris/context.h"

namespace orv {

// A fatal error of the reader (instant outside the file, item not on the file,
// unreadable record). The window shows the message; the command line prints it
// and exits with status 1.
struct JplError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Nutation angles (radians) from the open file's nutation item at a TT instant.
// Throws JplError when no file is open or the file has no nutations.
void JplNutationAngles(EngineContext& ctx, double jdTT, double& dpsi, double& deps);

}  // namespace orv
