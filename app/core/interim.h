// Stand-ins for operations whose real versions live in modules that are not
// part of this build yet: the quick eclipse screening of the month view and
// the memo file reader. Each forwards to the real operation once that module
// is in; callers do not change.
#pragma once

#include <string>

#include "app/core/memo.h"
#include "ephemeris/context.h"

namespace orv {

// Score (0..100) of the quick eclipse screening around a new moon (newMoon) or
// a full moon at `jd` (selected time system, zone offset removed).
int InterimQuickEclipseScore(EngineContext& ctx, double jd, bool newMoon);

// Loads the memo file of `folder` into `memos` (cleared first).
void InterimReadMemoFile(MemoTable& memos, const std::string& folder);

}  // namespace orv
