// The user's place file "지역경위고도.txt": any bytes give at most 50 rows of
// sane places after the built-in ones.
#include <cmath>
#include <cstdlib>

#include "app/core/files/places.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orv;
  fuzz::WriteInput(kPlaceFileName, data, size);
  fuzz::QuietMessages messages;
  static const PlaceTable builtIn = BuiltInPlaceTable();
  PlaceTable table = builtIn;
  ReadPlaceFile(table, fuzz::Folder(), messages);
  const size_t userRows = table.rows.size() - static_cast<size_t>(table.builtInCount);
  if (userRows > static_cast<size_t>(PlaceTable::kMaxUserRows)) std::abort();
  for (size_t i = static_cast<size_t>(table.builtInCount); i < table.rows.size(); ++i) {
    const PlaceRecord& p = table.rows[i];
    if (!std::isfinite(p.longitude) || !std::isfinite(p.latitude) || !std::isfinite(p.altitude) ||
        std::fabs(p.latitude) > 90.0 || p.name.empty())
      std::abort();
    CalcSettings settings = DefaultSettings();
    Observer observer;
    ApplyPlace(settings, observer, table, static_cast<int>(i));
  }
  return 0;
}
