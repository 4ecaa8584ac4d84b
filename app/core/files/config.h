// The configuration file Orvanta.cfg: eleven text lines, one setting (or two)
// at the start of each line followed by fixed comment text.
#pragma once

#include <string>

#include "app/core/clock.h"
#include "app/core/messages.h"
#include "time/settings.h"

namespace orv {

inline constexpr const char* kConfigFileName = "Orvanta.cfg";

// Largest user Delta T accepted, in magnitude (seconds; about 11.6 days).
// Beyond it no instant would fall in the years of any ephemeris.
inline constexpr double kMaxUserDeltaTSeconds = 1e6;
// The message of a user Delta T outside that range ("안내").
inline constexpr const char* kUserDeltaTRangeMessage =
    "사용자 Delta T는 -1000000초 ~ 1000000초 사이의 값이라야 합니다.\n이전 값을 그대로 씁니다.";
// A finite number within +-kMaxUserDeltaTSeconds.
bool UserDeltaTInRange(double seconds);

// What reading the file found, kept until the next save: whether there was
// a file and whether every line was understood and every value usable.
struct ConfigReadState {
  std::string path;
  bool found = false;
  bool clean = true;
  unsigned long long device = 0, inode = 0;  // the file read
};

// Fills `settings` from the file at `path`. Without the file the defaults are
// taken silently and the result is false; so they are for a file that cannot
// be read (no permission, larger than kMaxConfigFileBytes, not a regular
// file), with a message. With the file (a leading UTF-8 byte-order mark is
// skipped), each line puts its values into the setting whose number it
// carries after them ("2,\t2;1/2,..." is setting 2), wherever it stands:
// comment lines ("#", ";", "//") and blank lines are passed over, and a
// file whose lines carry no numbers at all (typed by hand) is read in the
// order of its lines. Settings no line gives take their defaults. Lines not
// understood (no number, an unknown or repeated number, values that do not
// parse) and flags other than 0 or 1 are named in one message; their
// settings take their defaults. Afterwards every field whose value has no
// model in the engine takes its default with a message: an ephemeris code
// other than PLAN404, DE431 and DE441 becomes PLAN404, internal nutation
// without an ephemeris that carries nutation becomes IAU 2000B, and likewise
// precession, obliquity, time system, Delta T model, search step and a user
// Delta T beyond the range (which keeps its value before the read).
bool ReadConfiguration(CalcSettings& settings, const std::string& path, MessageSink& messages);
// The same, recording in `state` whether the file was read cleanly.
bool ReadConfiguration(CalcSettings& settings, const std::string& path, MessageSink& messages,
                       ConfigReadState& state);

// The eleven lines of the file for these settings.
std::string FormatConfiguration(const CalcSettings& settings);

// Writes the file (through a temporary file renamed over the old one, so a
// failed save leaves the old file intact). Returns false when it could not be
// written; the program does not report that.
bool SaveSettings(const CalcSettings& settings, const std::string& path);
// The same for the program's own file: when `path` is the file `state` says
// was not read cleanly, that file is first kept as "<path>.bak" (with a
// message); when it cannot be kept, nothing is saved (with a message).
// Afterwards `state` describes the file written.
bool SaveSettings(const CalcSettings& settings, const std::string& path, ConfigReadState& state,
                  MessageSink& messages);

// ComputerZoneMeridian and TodayDate from the clock and PlaceMeridian; sets
// LoadedYear to today's year.
void ComputeTodayDate(CalcSettings& settings, const Clock& clock);

}  // namespace orv
