// JPL binary ephemeris reader (DE200, DE405, DE406, DE422, DE431, DE441
// layouts): positions and velocities of the Sun, the Moon and the planets,
// nutation angles and lunar librations from the Chebyshev records of a file
// converted from JPL's distribution.
//
// File layout (little-endian; int32 integers, IEEE doubles; a record is
// RecordSize x 4 bytes):
//   record 1: 3 titles of 84 characters, 400 constant names of 6 characters,
//             first JD, last JD, record length in days (doubles), constant
//             count (int), AU in km, Earth-Moon mass ratio (doubles), 12 item
//             pointers (first coefficient, 1-based index into a record of
//             doubles; coefficients per component; sub-intervals) for Mercury,
//             Venus, Earth-Moon barycentre, Mars, Jupiter, Saturn, Uranus,
//             Neptune, Pluto, geocentric Moon, Sun, nutations; DE number
//             (int); libration pointer (3 ints); padding.
//   record 2: the values of the first 400 constants.
//   records 3..: first JD and last JD of the record, then the coefficients.
// Positions are in km, nutations and librations in radians.
//
// Body numbers of JplState: 1 Mercury, 2 Venus, 3 Earth, 4 Mars, 5 Jupiter,
// 6 Saturn, 7 Uranus, 8 Neptune, 9 Pluto, 10 Moon, 11 Sun, 12 solar-system
// barycentre, 13 Earth-Moon barycentre, 14 nutations, 15 librations.
//
// Reference: E. M. Standish, JPL planetary and lunar ephemerides, export
// package (the PLEPH/STATE/INTERP reading routines and the binary layout).
#pragma once

#include <stdexcept>
#include <string>

#include "ephemeris/context.h"

namespace orv {

// A fatal error of the reader: an instant outside the file, an item not on the
// file, a file that is not a usable ephemeris. The window shows the message;
// the command line prints it and exits with status 1.
struct JplError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

constexpr int kJplConstantSlots = 400;  // constant names and values read
constexpr int kJplItemCount = 12;       // items with a pointer triple in the header
constexpr int kJplBufferDoubles = 1018; // largest record held (DE405..DE441)
constexpr int kJplMaxRecordSize = 2 * kJplBufferDoubles;  // in 4-byte words
constexpr int kJplMaxChebyshev = 18;    // coefficients per component held

// Item indices of the header's pointer triples.
enum JplItems : int {
  kJplItemMercury = 0, kJplItemVenus = 1, kJplItemEarthMoonBarycentre = 2, kJplItemMars = 3,
  kJplItemJupiter = 4, kJplItemSaturn = 5, kJplItemUranus = 6, kJplItemNeptune = 7,
  kJplItemPluto = 8, kJplItemMoon = 9, kJplItemSun = 10, kJplItemNutations = 11,
};

// Body numbers of JplState.
enum JplBodies : int {
  kJplMercury = 1, kJplVenus = 2, kJplEarth = 3, kJplMars = 4, kJplJupiter = 5, kJplSaturn = 6,
  kJplUranus = 7, kJplNeptune = 8, kJplPluto = 9, kJplMoon = 10, kJplSun = 11,
  kJplSolarSystemBarycentre = 12, kJplEarthMoonBarycentre = 13, kJplNutations = 14,
  kJplLibrations = 15,
};

struct JplHeader {
  char ConstantNames[kJplConstantSlots][6] = {};  // blank-padded, no terminator
  double Span[3] = {0, 0, 0};  // first JD, last JD, record length (days)
  int ConstantCount = 0;
  double AU = 0.0;             // km
  double EMRAT = 0.0;          // Earth-Moon mass ratio
  // Item pointers transposed: [0] first coefficient (1-based), [1] coefficients
  // per component, [2] sub-intervals per record.
  int ItemPointers[3][kJplItemCount] = {};
  int DeNumber = 0;            // the number the program opened the file with
  int FileDeNumber = 0;        // the number written in the file
  int LibrationPointer[3] = {0, 0, 0};
  int RecordSize = 0;          // 4-byte words per record
  double ConstantValues[kJplConstantSlots] = {};
  long long RecordCount = 0;   // data records the span holds
};

// Chebyshev values at the last normalised time, shared by all items.
struct JplInterpolationState {
  double PositionValues[kJplMaxChebyshev] = {};
  double VelocityValues[kJplMaxChebyshev] = {};
  int PositionCount = 0;
  int VelocityCount = 0;
  double LastTime = 0.0;   // normalised time in [-1, 1] of the values
  double TwiceTime = 0.0;
};

// One open ephemeris: the file, its header, the record buffer, the reader's
// flags and the interpolation state. Not copyable; the file is closed with the
// object.
struct JplEphemeris {
  JplEphemeris() = default;
  ~JplEphemeris();
  JplEphemeris(const JplEphemeris&) = delete;
  JplEphemeris& operator=(const JplEphemeris&) = delete;

  // Opens the file for binary reading (the header is read by
  // JplOpenEphemeris). Closes any file held before. False when it cannot be
  // opened.
  bool OpenFile(const std::string& path);
  void Close();
  bool IsOpen() const { return fileDescriptor >= 0; }

  int fileDescriptor = -1;
  long long fileBytes = 0;

  JplHeader header;
  // Record buffer indexed from 1, as the file's pointers count; [0] unused.
  double RecordBuffer[kJplBufferDoubles + 1] = {};
  long long RecordHeld = 0;  // data record in the buffer, 1-based; 0 = none

  // 0: positions in AU and velocities in AU/day; 1: km and km/s. Read at the
  // first state after a restart.
  int JplKilometres = 0;
  // 1: planets relative to the solar-system barycentre; 0: to the Sun.
  int JplBarycentric = 1;

  // Restart flags of the planetary-ephemeris operation, the state operation
  // and the interpolation: while raised, the operation re-initialises at its
  // next call and lowers the flag.
  bool PlanetRestart = true;
  bool StateRestart = true;
  bool InterpolationRestart = true;

  // Planetary-ephemeris state: 1 / (1 + EMRAT) and EMRAT / (1 + EMRAT).
  double EarthFactor = 0.0;
  double MoonFactor = 0.0;
  // State-operation state.
  double AuFactor = 1.0;          // 1 / AU, or 1 for km
  double RecordLengthUsed = 0.0;  // record length for velocities (days or s)

  JplInterpolationState interpolation;
};

// Reads record 1 and record 2 of the open file into eph.header (the DE number
// chooses the preset record size; the libration pointer replaces it). Throws
// JplError when no file is open or the file is not a usable ephemeris: short
// file, pointers running past the record, record larger than the buffer.
void JplOpenEphemeris(JplEphemeris& eph, int deNumber);

// Raises the three restart flags: the next state re-reads its record and
// rebuilds the Chebyshev values.
void JplRestart(JplEphemeris& eph);

// Position (3) and velocity (3) of target relative to centre at a TDB/TT
// Julian Day, in AU and AU/day (or km and km/s, JplKilometres). Target 14
// gives Delta psi, Delta epsilon and their rates (rad, rad/day), 15 the three
// libration angles and rates; the centre is then not used. inside = 1 when jd
// is in the file's span, otherwise 0 and result is untouched. Throws JplError
// for a body missing from the file, a body number outside 1..15 and a record
// that cannot be read.
void JplState(JplEphemeris& eph, double jd, int target, int centre, double result[6], int& inside);

// Indices of JplStateOfRecord's marks beyond the ten bodies.
constexpr int kJplMarkNutations = 10;
constexpr int kJplMarkLibrations = 11;

// States of one record: what the state operation leaves for the marked items.
struct JplItemStates {
  double Bodies[10][6] = {};  // items 0..9 (Mercury..Pluto with the EMB, geocentric Moon)
  double Sun[6] = {};
  double Nutations[4] = {};
  double Librations[6] = {};
};

// The state operation: interpolates the Sun and every marked item of the
// record holding jd. marks[0..9] are the bodies of the header order, [10]
// nutations, [11] librations: 0 not wanted, 1 position, 2 position and
// velocity. With JplBarycentric 0 the first nine items are made
// heliocentric. Throws JplError (" STATE: Epoch out of range.",
// "%d th body requested - not on file") instead of ending the process.
void JplStateOfRecord(JplEphemeris& eph, double jd, const int marks[12], JplItemStates& out);

// Constant name i (0-based) without its padding.
std::string JplConstantName(const JplHeader& header, int index);
// Value of a named constant ("AU", "EMRAT", "JDEPOC" ...); false when absent.
bool JplConstantValue(const JplHeader& header, const std::string& name, double& value);

// Nutation angles (radians) from the open file's nutation item at a TT
// instant. Throws JplError when no file is open, the instant is outside the
// file or the file has no nutations.
void JplNutationAngles(EngineContext& ctx, double jdTT, double& dpsi, double& deps);

}  // namespace orv
