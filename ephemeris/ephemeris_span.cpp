#include "ephemeris/ephemeris_span.h"

#include "ephemeris/jpl_reader.h"
#include "time/dates.h"
#include "time/settings.h"

namespace orv {

bool IsJplEphemerisCode(int ephemerisCode) {
  return ephemerisCode == kEphemerisDe431 || ephemerisCode == kEphemerisDe441;
}

EphemerisSpan NominalEphemerisSpan(int ephemerisCode) {
  return IsJplEphemerisCode(ephemerisCode) ? kLongJplSpan : kPlan404Span;
}

EphemerisSpan JplFileSpan(double firstJD, double lastJD) {
  constexpr int kSeptember = 9;
  const CivilDate first = JulianDayToCivilDate(firstJD);
  const CivilDate last = JulianDayToCivilDate(lastJD);
  EphemerisSpan span{first.year + 1, last.year - 1};
  if (first.month > kSeptember) ++span.lower;
  if (last.month < kSeptember) --span.upper;
  return span;
}

std::optional<EphemerisSpan> OpenJplFileSpan(const JplEphemeris* file) {
  if (file == nullptr || !file->IsOpen()) return std::nullopt;
  return JplFileSpan(file->header.Span[0], file->header.Span[1]);
}

EphemerisSpan ServedEphemerisSpan(int ephemerisCode, const JplEphemeris* openFile) {
  if (IsJplEphemerisCode(ephemerisCode))
    if (const std::optional<EphemerisSpan> file = OpenJplFileSpan(openFile)) return *file;
  return NominalEphemerisSpan(ephemerisCode);
}

}  // namespace orv
