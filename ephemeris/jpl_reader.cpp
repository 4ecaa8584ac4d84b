#include "ephemeris/jpl_reader.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "time/dates.h"
#include "time/text_format.h"

namespace orv {
namespace {

// Byte offsets of the header fields in record 1.
constexpr int kTitleBytes = 3 * 84;
constexpr int kNamesOffset = kTitleBytes;
constexpr int kSpanOffset = kNamesOffset + kJplConstantSlots * 6;  // 2652
constexpr int kConstantCountOffset = kSpanOffset + 3 * 8;          // 2676
constexpr int kAuOffset = kConstantCountOffset + 4;                // 2680
constexpr int kEmratOffset = kAuOffset + 8;                        // 2688
constexpr int kPointersOffset = kEmratOffset + 8;                  // 2696
constexpr int kDeNumberOffset = kPointersOffset + kJplItemCount * 3 * 4;  // 2840
constexpr int kLibrationOffset = kDeNumberOffset + 4;              // 2844
constexpr int kHeaderBytes = kLibrationOffset + 3 * 4;             // 2856

// A record must hold the header and the 400 constant values.
constexpr int kJplMinRecordSize = 2 * kJplConstantSlots;  // 4-byte words
// Upper bound on the number of data records (DE441 has about 343 000).
constexpr long long kMaxRecordCount = 100000000LL;
// Tolerance on the first and last JD written in a data record, days.
constexpr double kRecordJdToleranceDays = 1e-6;

constexpr int kComponentsBody = 3;
constexpr int kComponentsNutation = 2;
constexpr int kComponentsLibration = 3;

double DecodeDouble(const unsigned char* bytes) {
  std::uint64_t bits;
  std::memcpy(&bits, bytes, 8);
  if constexpr (std::endian::native == std::endian::big) bits = __builtin_bswap64(bits);
  double value;
  std::memcpy(&value, &bits, 8);
  return value;
}

std::int32_t DecodeInt(const unsigned char* bytes) {
  std::uint32_t bits;
  std::memcpy(&bits, bytes, 4);
  if constexpr (std::endian::native == std::endian::big) bits = __builtin_bswap32(bits);
  std::int32_t value;
  std::memcpy(&value, &bits, 4);
  return value;
}

// Reads exactly `count` bytes at `offset`; false on a short read or an error.
// One positioned read with a 64-bit offset reaches every record of files
// beyond 2 GB (DE441), where readers limited to 32-bit offsets have to split
// the seek into several steps.
bool ReadAt(int fd, long long offset, unsigned char* out, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t got = ::pread(fd, out + done, count - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<std::size_t>(got);
  }
  return true;
}

int ComponentsOfItem(int item) { return item == kJplItemNutations ? kComponentsNutation : kComponentsBody; }

bool ItemPresent(const JplHeader& h, int item) { return h.ItemPointers[1][item] > 0; }

// Index of the last coefficient of a block (1-based), computed wide so that
// garbage pointers cannot overflow.
long long BlockEnd(long long first, long long coefficients, long long components, long long subIntervals) {
  return first + components * coefficients * subIntervals - 1;
}

// Checks one pointer triple of a present block; returns its last coefficient
// index or throws.
long long CheckBlock(const char* what, long long first, long long coefficients, long long subIntervals,
                     int components) {
  if (first < 3 || coefficients > kJplMaxChebyshev || subIntervals < 1 || subIntervals > kJplBufferDoubles)
    throw JplError(Format("JPL ephemeris file: invalid pointer of %s (%lld, %lld, %lld)", what, first,
                          coefficients, subIntervals));
  return BlockEnd(first, coefficients, components, subIntervals);
}

// Chebyshev interpolation of one block of the record buffer: `components`
// components of `coefficients` coefficients in each of `subIntervals`
// sub-intervals, at normalised time t in [0, 1] of the record. out receives
// the positions, then (withVelocity) the rates per recordLength units.
void Interpolate(JplEphemeris& eph, int first, int coefficients, int components, int subIntervals,
                 double t, bool withVelocity, double* out) {
  JplInterpolationState& s = eph.interpolation;
  if (eph.InterpolationRestart) {
    s = JplInterpolationState{};
    s.PositionValues[0] = 1.0;
    s.PositionValues[1] = 0.0;
    s.VelocityValues[0] = 0.0;
    s.VelocityValues[1] = 1.0;
    s.PositionCount = 2;
    s.VelocityCount = 3;
    s.LastTime = 0.0;
    s.TwiceTime = 0.0;
    eph.InterpolationRestart = false;
  }
  const double na = subIntervals;
  const double wholeT = std::trunc(t);
  const double scaled = na * t;
  long long sub = static_cast<long long>(scaled - wholeT);
  sub = std::clamp(sub, 0LL, static_cast<long long>(subIntervals - 1));
  const double tau = 2.0 * ((scaled - std::trunc(scaled)) + wholeT) - 1.0;

  if (tau != s.LastTime) {
    s.PositionCount = 2;
    s.VelocityCount = 3;
    s.LastTime = tau;
    s.PositionValues[1] = tau;
    s.TwiceTime = tau + tau;
  }
  double* p = s.PositionValues;
  if (s.PositionCount < coefficients) {
    for (int k = s.PositionCount; k < coefficients; ++k) p[k] = s.TwiceTime * p[k - 1] - p[k - 2];
    s.PositionCount = coefficients;
  }
  const double* c = &eph.RecordBuffer[first];
  for (int i = 0; i < components; ++i) {
    const double* ci = c + (sub * components + i) * coefficients;
    long double sum = 0.0L;
    for (int j = coefficients - 1; j >= 0; --j) sum += static_cast<long double>(p[j]) * ci[j];
    out[i] = static_cast<double>(sum);
  }
  if (!withVelocity) return;

  const double velocityFactor = (na + na) / eph.RecordLengthUsed;
  double* w = s.VelocityValues;
  w[2] = s.TwiceTime + s.TwiceTime;
  if (s.VelocityCount < coefficients) {
    for (int k = s.VelocityCount; k < coefficients; ++k)
      w[k] = s.TwiceTime * w[k - 1] + p[k - 1] + p[k - 1] - w[k - 2];
    s.VelocityCount = coefficients;
  }
  for (int i = 0; i < components; ++i) {
    const double* ci = c + (sub * components + i) * coefficients;
    long double sum = 0.0L;
    for (int j = coefficients - 1; j >= 1; --j) sum += static_cast<long double>(w[j]) * ci[j];
    out[i + components] = static_cast<double>(velocityFactor * sum);
  }
}

// Reads data record n (1-based) into the buffer and checks its first and last JD.
void ReadRecord(JplEphemeris& eph, long long n) {
  const JplHeader& h = eph.header;
  const int doubles = h.RecordSize / 2;
  const long long bytes = static_cast<long long>(h.RecordSize) * 4;
  unsigned char raw[kJplBufferDoubles * 8];
  eph.RecordHeld = 0;
  if (!ReadAt(eph.fileDescriptor, (n + 1) * bytes, raw, static_cast<std::size_t>(bytes)))
    throw JplError(Format("JPL ephemeris file: record %lld cannot be read", n));
  for (int i = 0; i < doubles; ++i) eph.RecordBuffer[i + 1] = DecodeDouble(raw + 8 * i);
  const double wantFirst = h.Span[0] + static_cast<double>(n - 1) * h.Span[2];
  const double wantLast = wantFirst + h.Span[2];
  const double gotFirst = eph.RecordBuffer[1], gotLast = eph.RecordBuffer[2];
  if (!(std::fabs(gotFirst - wantFirst) <= kRecordJdToleranceDays &&
        std::fabs(gotLast - wantLast) <= kRecordJdToleranceDays))
    throw JplError(Format("JPL ephemeris file: record %lld covers JD %.6f to %.6f instead of %.6f to %.6f",
                          n, gotFirst, gotLast, wantFirst, wantLast));
  eph.RecordHeld = n;
}

}  // namespace

JplEphemeris::~JplEphemeris() { Close(); }

bool JplEphemeris::OpenFile(const std::string& path) {
  Close();
  // Only a regular file: looked at before opening (a device may act on open
  // alone), and opened without blocking (a FIFO would wait for a writer).
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return false;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  fileDescriptor = fd;
  fileBytes = static_cast<long long>(st.st_size);
  header = JplHeader{};
  RecordHeld = 0;
  JplRestart(*this);
  return true;
}

void JplEphemeris::Close() {
  if (fileDescriptor >= 0) ::close(fileDescriptor);
  fileDescriptor = -1;
  fileBytes = 0;
  header = JplHeader{};
  RecordHeld = 0;
}

void JplOpenEphemeris(JplEphemeris& eph, int deNumber) {
  if (!eph.IsOpen()) throw JplError("no JPL ephemeris is open");
  unsigned char raw[kHeaderBytes];
  if (!ReadAt(eph.fileDescriptor, 0, raw, sizeof raw))
    throw JplError("JPL ephemeris file: too short for a header");

  JplHeader h;
  std::memcpy(h.ConstantNames, raw + kNamesOffset, sizeof h.ConstantNames);
  for (int i = 0; i < 3; ++i) h.Span[i] = DecodeDouble(raw + kSpanOffset + 8 * i);
  h.ConstantCount = DecodeInt(raw + kConstantCountOffset);
  h.AU = DecodeDouble(raw + kAuOffset);
  h.EMRAT = DecodeDouble(raw + kEmratOffset);
  for (int item = 0; item < kJplItemCount; ++item)
    for (int k = 0; k < 3; ++k) h.ItemPointers[k][item] = DecodeInt(raw + kPointersOffset + 4 * (3 * item + k));
  h.FileDeNumber = DecodeInt(raw + kDeNumberOffset);
  h.DeNumber = deNumber;
  for (int k = 0; k < 3; ++k) h.LibrationPointer[k] = DecodeInt(raw + kLibrationOffset + 4 * k);

  const double first = h.Span[0], last = h.Span[1], step = h.Span[2];
  if (!(std::isfinite(first) && std::isfinite(last) && std::isfinite(step) && step > 0.0 && last > first))
    throw JplError(Format("JPL ephemeris file: invalid span %g to %g by %g days", first, last, step));
  const double records = std::ceil((last - first) / step - 1e-9);
  if (!(records >= 1.0 && records <= static_cast<double>(kMaxRecordCount)))
    throw JplError(Format("JPL ephemeris file: invalid span %g to %g by %g days", first, last, step));
  h.RecordCount = static_cast<long long>(records);
  if (!(std::isfinite(h.AU) && h.AU > 0.0 && std::isfinite(h.EMRAT) && h.EMRAT > 0.0))
    throw JplError("JPL ephemeris file: invalid AU or Earth-Moon mass ratio");
  if (h.ConstantCount < 0) throw JplError("JPL ephemeris file: invalid constant count");

  // Doubles per record. The librations are the last block of a record, so
  // their pointer gives the size (this replaces the preset by DE number of
  // the reading routines: 200 -> 1652, 405/422/431/441 -> 2036, 406 -> 1456
  // words). A file without librations (DE200) ends with its last item.
  long long lastCoefficient = 0;
  for (int item = 0; item < kJplItemCount; ++item) {
    if (!ItemPresent(h, item)) continue;
    const long long end = CheckBlock(Format("item %d", item).c_str(), h.ItemPointers[0][item],
                                     h.ItemPointers[1][item], h.ItemPointers[2][item], ComponentsOfItem(item));
    lastCoefficient = std::max(lastCoefficient, end);
  }
  long long recordDoubles = lastCoefficient;
  if (h.LibrationPointer[1] > 0) {
    const long long end = CheckBlock("the librations", h.LibrationPointer[0], h.LibrationPointer[1],
                                     h.LibrationPointer[2], kComponentsLibration);
    if (end < lastCoefficient)
      throw JplError("JPL ephemeris file: item pointers run past the record");
    recordDoubles = end;
  }
  if (recordDoubles == 0) throw JplError("JPL ephemeris file: no items");
  if (2 * recordDoubles > kJplMaxRecordSize)
    throw JplError(Format("JPL ephemeris file: records of %lld words are larger than the %d supported",
                          2 * recordDoubles, kJplMaxRecordSize));
  if (2 * recordDoubles < kJplMinRecordSize)
    throw JplError(Format("JPL ephemeris file: records of %lld words are too short", 2 * recordDoubles));
  h.RecordSize = static_cast<int>(2 * recordDoubles);

  const long long recordBytes = 4LL * h.RecordSize;
  const long long needed = (h.RecordCount + 2) * recordBytes;
  if (eph.fileBytes < needed)
    throw JplError(Format("JPL ephemeris file: %lld bytes where its span needs %lld", eph.fileBytes, needed));

  unsigned char values[kJplConstantSlots * 8];
  if (!ReadAt(eph.fileDescriptor, recordBytes, values, sizeof values))
    throw JplError("JPL ephemeris file: the constants cannot be read");
  for (int i = 0; i < kJplConstantSlots; ++i) h.ConstantValues[i] = DecodeDouble(values + 8 * i);

  if (h.RecordSize != eph.header.RecordSize) eph.RecordHeld = 0;
  eph.header = h;
}

void JplRestart(JplEphemeris& eph) {
  eph.PlanetRestart = true;
  eph.StateRestart = true;
  eph.InterpolationRestart = true;
}

void JplStateOfRecord(JplEphemeris& eph, double jd, const int marks[12], JplItemStates& out) {
  const JplHeader& h = eph.header;
  if (!eph.IsOpen() || h.RecordSize == 0) throw JplError("no JPL ephemeris is open");
  if (eph.StateRestart) {
    eph.AuFactor = 1.0;
    eph.RecordHeld = 0;
    if (eph.JplKilometres == 0) {
      eph.RecordLengthUsed = h.Span[2];
      eph.AuFactor = 1.0 / h.AU;
    } else {
      eph.RecordLengthUsed = h.Span[2] * kSecondsPerDay;
    }
    eph.StateRestart = false;
  }

  // Whole days from the midnight before, fraction in [0, 1).
  const double shifted = jd - 0.5;
  double whole = std::trunc(shifted);
  double fraction = shifted - whole;
  if (fraction < 0.0) {
    whole -= 1.0;
    fraction += 1.0;
  }
  if (fraction >= 1.0) {
    whole += 1.0;
    fraction -= 1.0;
  }
  whole += 0.5;
  const double first = h.Span[0], last = h.Span[1], step = h.Span[2];
  if (!(whole >= first && whole + fraction <= last)) throw JplError(" STATE: Epoch out of range.");

  long long n = static_cast<long long>((whole - first) / step) + 1;
  if (whole == last) n -= 1;
  n = std::clamp(n, 1LL, h.RecordCount);
  double t = (whole - (static_cast<double>(n - 1) * step + first) + fraction) / step;
  t = std::clamp(t, 0.0, 1.0);

  if (n != eph.RecordHeld) ReadRecord(eph, n);

  const int* ptr = h.ItemPointers[0];
  const int* ncf = h.ItemPointers[1];
  const int* nsub = h.ItemPointers[2];
  if (ItemPresent(h, kJplItemSun)) {
    Interpolate(eph, ptr[kJplItemSun], ncf[kJplItemSun], kComponentsBody, nsub[kJplItemSun], t, true, out.Sun);
    for (double& v : out.Sun) v *= eph.AuFactor;
  } else {
    std::fill(std::begin(out.Sun), std::end(out.Sun), 0.0);
  }

  for (int item = 0; item < 10; ++item) {
    if (marks[item] == 0) continue;
    if (!ItemPresent(h, item)) throw JplError(Format("%d th body requested - not on file", item));
    const bool withVelocity = marks[item] == 2;
    double* pv = out.Bodies[item];
    Interpolate(eph, ptr[item], ncf[item], kComponentsBody, nsub[item], t, withVelocity, pv);
    const int values = withVelocity ? 6 : 3;
    for (int j = 0; j < values; ++j) pv[j] *= eph.AuFactor;
    if (item < kJplItemMoon && eph.JplBarycentric == 0)
      for (int j = 0; j < values; ++j) pv[j] -= out.Sun[j];
  }
  if (marks[kJplMarkNutations] > 0 && ItemPresent(h, kJplItemNutations))
    Interpolate(eph, ptr[kJplItemNutations], ncf[kJplItemNutations], kComponentsNutation,
                nsub[kJplItemNutations], t, marks[kJplMarkNutations] == 2, out.Nutations);
  if (marks[kJplMarkLibrations] > 0 && h.LibrationPointer[1] > 0)
    Interpolate(eph, h.LibrationPointer[0], h.LibrationPointer[1], kComponentsLibration, h.LibrationPointer[2],
                t, marks[kJplMarkLibrations] == 2, out.Librations);
}

void JplState(JplEphemeris& eph, double jd, int target, int centre, double result[6], int& inside) {
  const JplHeader& h = eph.header;
  if (!eph.IsOpen() || h.RecordSize == 0) throw JplError("no JPL ephemeris is open");
  const bool angles = target == kJplNutations || target == kJplLibrations;
  if (target < kJplMercury || target > kJplLibrations ||
      (!angles && (centre < kJplMercury || centre > kJplEarthMoonBarycentre)))
    throw JplError(Format("JPL ephemeris: no body %d relative to body %d", target, centre));
  if (eph.PlanetRestart) {
    eph.EarthFactor = 1.0 / (1.0 + h.EMRAT);
    eph.MoonFactor = h.EMRAT / (1.0 + h.EMRAT);
    eph.PlanetRestart = false;
  }
  if (!(jd >= h.Span[0] && jd <= h.Span[1])) {
    inside = 0;
    return;
  }
  inside = 1;

  int marks[12] = {};
  JplItemStates states;
  if (target == kJplNutations) {
    if (!ItemPresent(h, kJplItemNutations)) throw JplError(" *** NO NUTATION ON THE EPHEMERIS FILE ***");
    marks[kJplMarkNutations] = 2;
    JplStateOfRecord(eph, jd, marks, states);
    std::copy(states.Nutations, states.Nutations + 4, result);
    return;
  }
  if (target == kJplLibrations) {
    if (h.LibrationPointer[1] <= 0) throw JplError(" *** NO LIBRATIONS ON THE EPHEMERIS FILE ***");
    marks[kJplMarkLibrations] = 2;
    JplStateOfRecord(eph, jd, marks, states);
    std::copy(states.Librations, states.Librations + 6, result);
    return;
  }
  if (target == centre) {
    std::fill(result, result + 6, 0.0);
    return;
  }
  if ((target == kJplSun || centre == kJplSun) && !ItemPresent(h, kJplItemSun))
    throw JplError(Format("%d th body requested - not on file", kJplItemSun));

  const bool earthMoonPair = (target == kJplEarth && centre == kJplMoon) || (target == kJplMoon && centre == kJplEarth);
  for (const int body : {target, centre}) {
    if (body <= kJplMoon) marks[body - 1] = 2;  // planets, the EMB as 3, the Moon
    if (body == kJplEarth || body == kJplMoon) {
      marks[kJplItemMoon] = 2;
      marks[kJplItemEarthMoonBarycentre] = earthMoonPair ? 0 : 2;
    }
    if (body == kJplEarthMoonBarycentre) marks[kJplItemEarthMoonBarycentre] = 2;
  }

  const int savedBarycentric = eph.JplBarycentric;
  eph.JplBarycentric = 1;
  try {
    JplStateOfRecord(eph, jd, marks, states);
  } catch (...) {
    eph.JplBarycentric = savedBarycentric;
    throw;
  }
  eph.JplBarycentric = savedBarycentric;

  const double* moon = states.Bodies[kJplItemMoon];  // geocentric
  const double* emb = states.Bodies[kJplItemEarthMoonBarycentre];
  // Pairs within the Earth-Moon system come straight from the geocentric Moon.
  auto scaledMoon = [&](double factor) {
    for (int j = 0; j < 6; ++j) result[j] = factor * moon[j];
  };
  if (earthMoonPair) return scaledMoon(target == kJplMoon ? 1.0 : -1.0);
  if (target == kJplEarthMoonBarycentre && centre == kJplEarth) return scaledMoon(eph.EarthFactor);
  if (target == kJplEarth && centre == kJplEarthMoonBarycentre) return scaledMoon(-eph.EarthFactor);
  if (target == kJplMoon && centre == kJplEarthMoonBarycentre) return scaledMoon(eph.MoonFactor);
  if (target == kJplEarthMoonBarycentre && centre == kJplMoon) return scaledMoon(-eph.MoonFactor);

  auto barycentricState = [&](int body, double pv[6]) {
    for (int j = 0; j < 6; ++j) {
      switch (body) {
        case kJplEarth: pv[j] = emb[j] - moon[j] * eph.EarthFactor; break;
        case kJplMoon: pv[j] = emb[j] + moon[j] * eph.MoonFactor; break;
        case kJplSun: pv[j] = states.Sun[j]; break;
        case kJplSolarSystemBarycentre: pv[j] = 0.0; break;
        case kJplEarthMoonBarycentre: pv[j] = emb[j]; break;
        default: pv[j] = states.Bodies[body - 1][j]; break;
      }
    }
  };
  double targetState[6], centreState[6];
  barycentricState(target, targetState);
  barycentricState(centre, centreState);
  for (int j = 0; j < 6; ++j) result[j] = targetState[j] - centreState[j];
}

std::string JplConstantName(const JplHeader& header, int index) {
  if (index < 0 || index >= kJplConstantSlots) return {};
  std::string name(header.ConstantNames[index], 6);
  while (!name.empty() && (name.back() == ' ' || name.back() == '\0')) name.pop_back();
  return name;
}

bool JplConstantValue(const JplHeader& header, const std::string& name, double& value) {
  const int count = std::min(header.ConstantCount, kJplConstantSlots);
  for (int i = 0; i < count; ++i) {
    if (JplConstantName(header, i) == name) {
      value = header.ConstantValues[i];
      return true;
    }
  }
  return false;
}

void JplNutationAngles(EngineContext& ctx, double jdTT, double& dpsi, double& deps) {
  if (ctx.jpl == nullptr || !ctx.jpl->IsOpen() || ctx.jpl->header.RecordSize == 0)
    throw JplError("no JPL ephemeris is open");
  double angles[6] = {dpsi, deps, 0.0, 0.0, 0.0, 0.0};
  int inside = 0;
  JplState(*ctx.jpl, jdTT, kJplNutations, 0, angles, inside);
  if (!inside) throw JplError(" STATE: Epoch out of range.");
  dpsi = angles[0];
  deps = angles[1];
}

}  // namespace orv
