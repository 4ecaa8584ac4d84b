// A stand-in for the memo file reader, whose real version lives in a module
// that is not part of this build yet; it forwards to the real operation once
// that module is in, and callers do not change.
#pragma once

#include <string>

#include "app/core/memo.h"

namespace orv {

// Loads the memo file of `folder` into `memos` (cleared first).
void InterimReadMemoFile(MemoTable& memos, const std::string& folder);

}  // namespace orv
