// Every picture of the program is drawn here, with QPainter, over numbers
// computed in app/core: the Moon's phase, the day's sky, the year's daylight
// and the eclipse maps. The window paints them into widgets, the command line
// into PNG or SVG files (picture_files.h). The colours keep their meaning in
// grey print and stay readable on a dark desktop: every picture brings its
// own light background.
#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>
#include <QString>

#include "app/core/sky/eclipse_map.h"
#include "app/core/sky/sky_series.h"

namespace orv::pictures {

// The colours of the pictures, from night to day in rising lightness.
struct Palette {
  QColor paper{0xff, 0xff, 0xff};
  QColor ink{0x21, 0x25, 0x29};
  QColor grid{0xad, 0xb5, 0xbd};
  QColor night{0x1c, 0x2e, 0x52};
  QColor astronomical{0x35, 0x59, 0x8f};
  QColor nautical{0x5f, 0x8f, 0xc7};
  QColor civil{0x9f, 0xc3, 0xe8};
  QColor day{0xff, 0xe9, 0xa8};
  QColor sun{0xd9, 0x48, 0x0f};
  QColor moon{0x70, 0x48, 0xe8};
  QColor moonDark{0x49, 0x50, 0x57};
  QColor moonLit{0xf8, 0xf9, 0xfa};
  QColor summerTime{0xe6, 0x77, 0x00};
  QColor ocean{0xdc, 0xe9, 0xf5};
  QColor land{0xee, 0xe8, 0xd5};
  QColor coast{0x86, 0x8e, 0x96};
  QColor centralLine{0xc9, 0x2a, 0x2a};
  QColor umbralLimit{0xe8, 0x59, 0x0c};
  QColor penumbralLimit{0x19, 0x71, 0xc2};
  QColor place{0x2b, 0x8a, 0x3e};
  QColor lunarVisible{0xff, 0xd4, 0x3b};
};
const Palette& Colours();

// The Moon's disc with its lit part: `fraction` lit, the bright limb
// `limbFromUpDeg` degrees from the top of the picture, counted toward the
// left (as a position angle is counted from north toward east in the sky).
void DrawMoonPhase(QPainter& painter, const QRectF& rect, double fraction, double limbFromUpDeg);
// The same as seen from the place: the bright limb turned by the parallactic
// angle so that the top of the picture is the zenith.
void DrawMoonAsSeen(QPainter& painter, const QRectF& rect, const MoonPhase& phase);

// The Sun's and the Moon's altitude over the day, the twilight bands shaded,
// rise, set and transit marked, the Moon's phase in a corner. `title` heads it.
void DrawDaySky(QPainter& painter, const QRectF& rect, const DaySky& sky, const QString& title);

// Sunrise, sunset and the three twilights over the year on the clock of the
// place (summer time marked where the civil clock has it).
void DrawDaylightYear(QPainter& painter, const QRectF& rect, const DaylightYear& year, const QString& title);

// A world map (equirectangular) with the eclipse's curves and the place.
void DrawEclipseMap(QPainter& painter, const QRectF& rect, const EclipseMap& map, const QString& title);

// Default sizes of the pictures, pixels.
inline constexpr int kChartWidth = 960, kChartHeight = 600;
inline constexpr int kMapWidth = 1200, kMapHeight = 680;

}  // namespace orv::pictures
