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

// Fills `settings` from the file at `path`. Without the file the defaults are
// taken silently and the result is false. With the file (a leading UTF-8
// byte-order mark is skipped), every line that parses sets its field(s); a
// line that does not parse leaves them as they are, and the fields of lines
// the file does not have (an empty or cut-short file) take their defaults.
// Afterwards every field whose value has no model in the engine takes its
// default with a message: an ephemeris code other than PLAN404, DE431 and
// DE441 becomes PLAN404, internal nutation without an ephemeris that carries
// nutation becomes IAU 2000B, and likewise precession, obliquity, time
// system, Delta T model, search step and a user Delta T beyond the range.
bool ReadConfiguration(CalcSettings& settings, const std::string& path, MessageSink& messages);

// The eleven lines of the file for these settings.
std::string FormatConfiguration(const CalcSettings& settings);

// Writes the file (through a temporary file renamed over the old one, so a
// failed save leaves the old file intact). Returns false when it could not be
// written; the program does not report that.
bool SaveSettings(const CalcSettings& settings, const std::string& path);

// ComputerZoneMeridian and TodayDate from the clock and PlaceMeridian; sets
// LoadedYear to today's year.
void ComputeTodayDate(CalcSettings& settings, const Clock& clock);

}  // namespace orv
