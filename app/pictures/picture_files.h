// The pictures as files, for the command line: PNG or SVG by the name's
// ending, drawn by pictures.h on Qt's offscreen platform and written through
// the safe file replacement. This header is free of Qt so that orvanta-cli's
// sources stay so; the program links the drawing library for these commands.
#pragma once

#include <string>

#include "app/core/sky/eclipse_map.h"
#include "app/core/sky/sky_series.h"

namespace orv::pictures {

// True for a name ending in ".png" or ".svg" (any case).
bool IsPictureFileName(const std::string& path);

// Each writes the picture to `path`; false with `error` set when the name has
// another ending or the file cannot be written. A QGuiApplication on the
// offscreen platform is made for the call when none exists.
bool WriteDaylightChart(const DaylightYear& year, const std::string& title, const std::string& path,
                        std::string& error);
bool WriteDaySkyChart(const DaySky& sky, const std::string& title, const std::string& path, std::string& error);
bool WriteEclipseMap(const EclipseMap& map, const std::string& title, const std::string& path, std::string& error);

}  // namespace orv::pictures
