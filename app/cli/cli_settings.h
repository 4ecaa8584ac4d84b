// Settings for a command: Orvanta.cfg (or --config FILE), then the global
// options that override it for this run. The file is never written.
#pragma once

#include "app/cli/cli.h"

namespace orv::cli {

void LoadCliSettings(CliContext& ctx);

// "--deltat"/"--model" values: nasa | horizons | horizons-nasa | user=SECONDS.
void ApplyDeltaTModelOption(CalcSettings& settings, const std::string& value);
// "--ephemeris" values: plan404 | de431 | de441 (a file path is handled by the
// commands that read a JPL file).
void ApplyEphemerisOption(CalcSettings& settings, const std::string& value);
void ApplyTimeSystemOption(CalcSettings& settings, const std::string& value);
bool ParseOnOff(const std::string& value, const char* option);

// "--correction on|off" when given; "on" at a place without historical
// records is refused with the window's message and reads as off.
std::optional<bool> CorrectionSwitch(CliContext& ctx);
// The user's choice of the historical correction: the switch, on without it.
bool CorrectionWanted(CliContext& ctx);
// The calendar of days as --anniversaries (korean, the default, or local)
// shapes it; a usage error for another value.
DaysOptions DaysOptionsOf(CliContext& ctx);
// Whether the lunar months of `year` follow the records: the window's rule
// (HistoricalCorrectionApplies) for the place and that choice.
bool HistoricalCorrectionFor(CliContext& ctx, int year);

}  // namespace orv::cli
