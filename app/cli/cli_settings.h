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

}  // namespace orv::cli
