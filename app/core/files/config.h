// The configuration file Orvanta.cfg: eleven text lines, one setting (or two)
// at the start of each line followed by fixed comment text.
#pragma once

#include <string>

#include "app/core/clock.h"
#include "app/core/messages.h"
#include "time/settings.h"

namespace orv {

inline constexpr const char* kConfigFileName = "Orvanta.cfg";

// Fills `settings` from the file at `path`. Without the file the defaults are
// taken silently and the result is false. With the file, every line that
// parses sets its field(s); a line that does not parse leaves them as they
// are. Afterwards an ephemeris code outside 0..14 becomes PLAN404 and internal
// nutation without an ephemeris that carries nutation becomes IAU 2000B, each
// with a message.
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
