// The memo file "비망일.txt": any bytes give at most kMemoMaxRows rows whose
// fields a calendar can show, the month view of a prepared year takes them,
// a document written back unchanged is the same bytes (a file of the first
// format: the same after the second format's first line), and it reads back
// with the same rows.
#include <cstdlib>

#include "app/core/files/memo.h"
#include "app/core/files/memo_document.h"
#include "app/core/month_view.h"
#include "app/core/year_service.h"
#include "fuzz_support.h"
#include "lunisolar/prepare.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orv;
  fuzz::WriteInput(kMemoFileName, data, size);
  MemoTable memos;
  ReadMemoFile(memos, fuzz::Folder());
  if (memos.size() > static_cast<size_t>(kMemoMaxRows)) std::abort();
  const std::string input(reinterpret_cast<const char*>(data), size);
  MemoDocument document;
  if (!LoadMemoDocument(document, fuzz::Folder())) std::abort();
  std::string saved;
  if (SerializeMemoDocument(document, saved)) {
    if (document.format2 && saved != input) std::abort();
    fuzz::WriteInput(kMemoFileName, reinterpret_cast<const uint8_t*>(saved.data()), saved.size());
    MemoDocument again;
    if (!LoadMemoDocument(again, fuzz::Folder()) || again.RowCount() != document.RowCount()) std::abort();
  }
  for (const MemoEntry& m : memos)
    if (m.month < 1 || m.month > 12 || m.day < 1 || m.day > 31 || m.year < kMemoFirstYear ||
        m.year > kMemoLastYear)
      std::abort();

  if (memos.empty()) return 0;
  // One prepared year for every input: the months of 2024.
  static CalcSettings settings = DefaultSettings();
  static Observer observer;
  static EngineContext ctx(settings, observer);
  static YearTables* tables = [] {
    auto* t = new YearTables();
    PrepareYear(ctx, *t, 2024, LunarBuildOptions{});
    return t;
  }();
  MonthRequest request;
  request.year = 2024;
  request.month = size > 0 ? 1 + data[0] % 12 : 1;
  request.mode = size > 1 && (data[1] & 1) ? DisplayMode::Lunar : DisplayMode::Solar;
  MonthView view;
  LayOutMonthGrid(view.grid, request.month, request.mode);
  static YearService years;
  FillMonthView(ctx, *tables, years, memos, DaysOptions{}, request, view);
  return 0;
}
