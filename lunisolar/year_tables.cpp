#include "lunisolar/year_tables.h"

namespace orv {

double PackedDateToJulianDay(PackedDate date) {
  int y, m, d;
  UnpackDate(date, y, m, d);
  return CalendarToJulianDay(y, m, d);
}

}  // namespace orv
