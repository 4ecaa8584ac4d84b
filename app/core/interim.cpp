#include "app/core/interim.h"

namespace orv {

int InterimQuickEclipseScore(EngineContext&, double, bool) { return 0; }

void InterimReadMemoFile(MemoTable& memos, const std::string&) { memos.clear(); }

}  // namespace orv
