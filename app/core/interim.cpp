#include "app/core/interim.h"

namespace orv {

void InterimReadMemoFile(MemoTable& memos, const std::string&) { memos.clear(); }

}  // namespace orv
