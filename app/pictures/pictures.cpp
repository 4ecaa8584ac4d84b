#include "app/pictures/pictures.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <optional>

#include "ephemeris/angles.h"

namespace orv::pictures {
namespace {

constexpr double kHoursPerDay = 24.0;
constexpr double kMinutesPerHour = 60.0;
constexpr int kDiscSteps = 72;  // polygon points of a half disc
// The Sun's centre at rising and setting, near enough for the chart's colours.
constexpr double kRiseSetDepressionDeg = 0.833;

QFont PictureFont(double pixels, bool bold = false) {
  QFont font;
  font.setFamilies({"Noto Sans CJK KR", "Noto Sans KR", "NanumGothic", "Noto Sans CJK JP", "sans-serif"});
  font.setPixelSize(std::max(8, static_cast<int>(std::lround(pixels))));
  font.setBold(bold);
  return font;
}

QString HourMinute(double hours) {
  double h = std::fmod(hours, kHoursPerDay);
  if (h < 0.0) h += kHoursPerDay;
  int minutes = static_cast<int>(std::lround(h * kMinutesPerHour));
  minutes %= static_cast<int>(kHoursPerDay * kMinutesPerHour);
  return QString::asprintf("%02d:%02d", minutes / 60, minutes % 60);
}

// The title line above a chart; returns the rectangle left below it.
QRectF DrawTitle(QPainter& p, const QRectF& rect, const QString& title) {
  const double size = std::max(12.0, rect.height() * 0.035);
  p.setFont(PictureFont(size, true));
  p.setPen(Colours().ink);
  const QRectF line(rect.left(), rect.top(), rect.width(), size * 1.8);
  p.drawText(line, Qt::AlignCenter, title);
  return QRectF(rect.left(), line.bottom(), rect.width(), rect.height() - line.height());
}

// The start of every picture: the painter saved (restore when done), the
// paper, the title line, and the text font of the body, `fontShare` of the
// picture's height (10 px at least).
struct PictureBody {
  QRectF body;
  double fontPx;
  QFont font;
  QFontMetricsF metrics;
};
PictureBody BeginPicture(QPainter& painter, const QRectF& rect, const QString& title, double fontShare) {
  painter.save();
  painter.fillRect(rect, Colours().paper);
  const QRectF body = DrawTitle(painter, rect, title);
  const double fontPx = std::max(10.0, rect.height() * fontShare);
  const QFont font = PictureFont(fontPx);
  painter.setFont(font);
  return {body, fontPx, font, QFontMetricsF(font)};
}

// The colour of the sky for a Sun at `altitudeDeg` (centre, geometric).
QColor SkyColour(double altitudeDeg) {
  const Palette& c = Colours();
  if (altitudeDeg >= -0.833) return c.day;
  if (altitudeDeg >= -6.0) return c.civil;
  if (altitudeDeg >= -12.0) return c.nautical;
  if (altitudeDeg >= -18.0) return c.astronomical;
  return c.night;
}

}  // namespace

const Palette& Colours() {
  static const Palette palette;
  return palette;
}

void DrawMoonPhase(QPainter& painter, const QRectF& rect, double fraction, double limbFromUpDeg) {
  const Palette& c = Colours();
  const double r = 0.5 * std::min(rect.width(), rect.height()) * 0.92;
  const QPointF centre = rect.center();
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(c.ink, std::max(1.0, r * 0.03)));
  painter.setBrush(c.moonDark);
  painter.drawEllipse(centre, r, r);
  // The lit part in a frame whose +x points at the bright limb: the half disc
  // on that side, bounded by the terminator, a half ellipse of semi-axis
  // r |2k - 1| bulging away from the limb when more than half is lit.
  const double k = std::clamp(fraction, 0.0, 1.0);
  QPolygonF lit;
  for (int i = 0; i <= kDiscSteps; ++i) {
    const double a = -M_PI / 2.0 + M_PI * i / kDiscSteps;
    lit << QPointF(r * std::cos(a), r * std::sin(a));
  }
  for (int i = 0; i <= kDiscSteps; ++i) {
    const double a = M_PI / 2.0 - M_PI * i / kDiscSteps;
    lit << QPointF(-(2.0 * k - 1.0) * r * std::cos(a), r * std::sin(a));
  }
  painter.translate(centre);
  // +x of the frame to the limb's direction: "up" turned toward the left by
  // the angle, i.e. screen angle 90 + limbFromUp degrees counterclockwise
  // from +x (Qt rotates clockwise).
  painter.rotate(-(90.0 + limbFromUpDeg));
  painter.setPen(Qt::NoPen);
  painter.setBrush(c.moonLit);
  painter.drawPolygon(lit);
  painter.restore();
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(c.ink, std::max(1.0, r * 0.03)));
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(centre, r, r);
  painter.restore();
}

void DrawMoonAsSeen(QPainter& painter, const QRectF& rect, const MoonPhase& phase) {
  DrawMoonPhase(painter, rect, phase.illuminatedFraction, phase.brightLimbAngleDeg - phase.parallacticAngleDeg);
}

void DrawDaySky(QPainter& painter, const QRectF& rect, const DaySky& sky, const QString& title) {
  const Palette& c = Colours();
  const auto [body, fontPx, font, metrics] = BeginPicture(painter, rect, title, 0.026);
  painter.setRenderHint(QPainter::Antialiasing, true);
  // The legend's column: a sixth of the width, or what its longest label needs.
  const double legendWidth = std::max(body.width() * 0.16, fontPx * 1.6 + 10 + metrics.horizontalAdvance(
                                                                                 QString::fromUtf8("천문박명")));
  const QRectF plot(body.left() + metrics.horizontalAdvance("-90°") + 12, body.top() + 6,
                    body.width() - metrics.horizontalAdvance("-90°") - 24 - legendWidth,
                    body.height() - metrics.height() * 2.6);
  const double minAlt = -90.0, maxAlt = 90.0;
  auto xOf = [&](double hours) { return plot.left() + plot.width() * hours / kHoursPerDay; };
  auto yOf = [&](double alt) { return plot.bottom() - plot.height() * (alt - minAlt) / (maxAlt - minAlt); };
  auto hoursOf = [&](double jd) { return (jd - sky.midnightJD) * kHoursPerDay; };

  // Background: the colour of the sky at each sample's time.
  const size_t n = sky.sunAltitudeDeg.size();
  const double step = kHoursPerDay / std::max<size_t>(1, n - 1);
  for (size_t i = 0; i + 1 < n; ++i) {
    const double mid = 0.5 * (sky.sunAltitudeDeg[i] + sky.sunAltitudeDeg[i + 1]);
    painter.fillRect(QRectF(xOf(i * step), plot.top(), xOf((i + 1) * step) - xOf(i * step) + 0.6, plot.height()),
                     SkyColour(mid));
  }
  // Altitude grid and the horizon.
  painter.setPen(QPen(c.grid, 1, Qt::DotLine));
  for (int alt = -60; alt <= 60; alt += 30)
    if (alt != 0) painter.drawLine(QPointF(plot.left(), yOf(alt)), QPointF(plot.right(), yOf(alt)));
  painter.setPen(QPen(c.ink, 1.5));
  painter.drawLine(QPointF(plot.left(), yOf(0)), QPointF(plot.right(), yOf(0)));
  painter.setPen(QPen(c.ink, 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(plot);
  for (int alt = -90; alt <= 90; alt += 30)
    painter.drawText(QRectF(body.left(), yOf(alt) - fontPx, plot.left() - body.left() - 6, 2 * fontPx),
                     Qt::AlignRight | Qt::AlignVCenter, QString::asprintf("%d°", alt));
  for (int h = 0; h <= 24; h += 3) {
    painter.drawLine(QPointF(xOf(h), plot.bottom()), QPointF(xOf(h), plot.bottom() + 4));
    painter.drawText(QRectF(xOf(h) - 30, plot.bottom() + 4, 60, metrics.height()), Qt::AlignHCenter | Qt::AlignTop,
                     QString::asprintf("%02d", h));
  }

  // The two curves, each with a light halo so that it shows on the night colour.
  auto curve = [&](const std::vector<double>& alts, const QColor& colour) {
    QPolygonF line;
    for (size_t i = 0; i < alts.size(); ++i) line << QPointF(xOf(i * step), yOf(alts[i]));
    painter.setPen(QPen(c.paper, 5.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(line);
    painter.setPen(QPen(colour, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(line);
  };
  curve(sky.moonAltitudeDeg, c.moon);
  curve(sky.sunAltitudeDeg, c.sun);

  // Events: rise and set on the horizon, the transit at its altitude.
  auto mark = [&](const std::optional<double>& jd, double alt, const QColor& colour, bool above) {
    if (!jd) return;
    const double h = hoursOf(*jd);
    if (h < 0.0 || h > kHoursPerDay) return;
    const QPointF at(xOf(h), yOf(alt));
    painter.setPen(QPen(c.ink, 1));
    painter.setBrush(colour);
    painter.drawEllipse(at, 4.5, 4.5);
    const QString text = HourMinute(h);
    const double w = metrics.horizontalAdvance(text) + 6;
    const QRectF box(at.x() - w / 2, above ? at.y() - metrics.height() - 7 : at.y() + 7, w, metrics.height());
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 215));
    painter.drawRoundedRect(box, 3, 3);
    painter.setPen(colour.darker(120));
    painter.drawText(box, Qt::AlignCenter, text);
  };
  auto altitudeAt = [&](const std::vector<double>& alts, double jd) {
    const double x = hoursOf(jd) / step;
    const size_t i = static_cast<size_t>(std::clamp(x, 0.0, static_cast<double>(alts.size() - 2)));
    const double f = std::clamp(x - i, 0.0, 1.0);
    return alts[i] * (1 - f) + alts[i + 1] * f;
  };
  mark(sky.sun.riseJD, 0.0, c.sun, true);
  mark(sky.sun.setJD, 0.0, c.sun, true);
  mark(sky.sun.transitJD, altitudeAt(sky.sunAltitudeDeg, sky.sun.transitJD), c.sun, true);
  mark(sky.moon.riseJD, 0.0, c.moon, false);
  mark(sky.moon.setJD, 0.0, c.moon, false);
  mark(sky.moon.transitJD, altitudeAt(sky.moonAltitudeDeg, sky.moon.transitJD), c.moon, false);

  // The legend and the Moon as it looks at its transit.
  const double side = legendWidth - 12;
  const QRectF legend(plot.right() + 12, plot.top(), side, plot.height());
  const double moonSize = std::min(side, legend.height() * 0.35);
  DrawMoonAsSeen(painter, QRectF(legend.left() + (side - moonSize) / 2, legend.top(), moonSize, moonSize),
                 sky.moonPhase);
  painter.setFont(font);
  painter.setPen(c.ink);
  double y = legend.top() + moonSize + 6;
  painter.drawText(QRectF(legend.left(), y, side, metrics.height()), Qt::AlignHCenter,
                   QString::asprintf("%.0f%%  %s", sky.moonPhase.illuminatedFraction * 100.0,
                                     HourMinute(hoursOf(sky.moonPhaseJD)).toUtf8().constData()));
  y += metrics.height() * 1.6;
  const struct {
    QColor colour;
    const char* label;
    bool line;
  } items[] = {{c.sun, "해", true},          {c.moon, "달", true},         {c.day, "낮", false},
               {c.civil, "시민박명", false}, {c.nautical, "항해박명", false}, {c.astronomical, "천문박명", false},
               {c.night, "밤", false}};
  for (const auto& item : items) {
    const QRectF swatch(legend.left(), y + 2, fontPx * 1.6, metrics.height() - 4);
    if (item.line) {
      painter.setPen(QPen(item.colour, 3));
      painter.drawLine(QPointF(swatch.left(), swatch.center().y()), QPointF(swatch.right(), swatch.center().y()));
    } else {
      painter.setPen(QPen(c.ink, 0.8));
      painter.setBrush(item.colour);
      painter.drawRect(swatch);
    }
    painter.setPen(c.ink);
    painter.drawText(QRectF(swatch.right() + 6, y, side - swatch.width() - 6, metrics.height()), Qt::AlignVCenter,
                     QString::fromUtf8(item.label));
    y += metrics.height() * 1.25;
  }
  painter.restore();
}

void DrawDaylightYear(QPainter& painter, const QRectF& rect, const DaylightYear& year, const QString& title) {
  const Palette& c = Colours();
  const auto [body, fontPx, font, metrics] = BeginPicture(painter, rect, title, 0.026);
  const double legendHeight = metrics.height() * 1.6;
  const QRectF plot(body.left() + metrics.horizontalAdvance("00:00") + 14, body.top() + 6,
                    body.width() - metrics.horizontalAdvance("00:00") - 28,
                    body.height() - metrics.height() * 1.8 - legendHeight - 8);
  const size_t days = year.days.size();
  if (days == 0) {
    painter.restore();
    return;
  }
  const double dayWidth = plot.width() / days;
  auto yOf = [&](double hours) { return plot.top() + plot.height() * hours / kHoursPerDay; };

  painter.fillRect(plot, c.night);
  // Each band: the hours with the Sun above its line; a band that wraps
  // past midnight is drawn in two pieces.
  auto band = [&](size_t i, double from, double to, const QColor& colour) {
    const double x = plot.left() + i * dayWidth;
    auto piece = [&](double a, double b) {
      a = std::clamp(a, 0.0, kHoursPerDay);
      b = std::clamp(b, 0.0, kHoursPerDay);
      if (b > a) painter.fillRect(QRectF(x, yOf(a), dayWidth + 0.6, yOf(b) - yOf(a)), colour);
    };
    if (to < from) to += kHoursPerDay;
    piece(from, to);
    if (to > kHoursPerDay) piece(0.0, to - kHoursPerDay);
    if (from < 0.0) piece(from + kHoursPerDay, kHoursPerDay);
  };
  const QColor bandColours[kTwilightKinds] = {c.civil, c.nautical, c.astronomical};
  for (size_t i = 0; i < days; ++i) {
    const DaylightDay& d = year.days[i];
    // Deepest band first; each shallower one on top.
    for (int k = kTwilightKinds - 1; k >= -1; --k) {
      const std::optional<double>& dawn = k < 0 ? d.riseJD : d.dawnJD[static_cast<size_t>(k)];
      const std::optional<double>& dusk = k < 0 ? d.setJD : d.duskJD[static_cast<size_t>(k)];
      const QColor colour = k < 0 ? c.day : bandColours[k];
      if (dawn && dusk) {
        band(i, ShownHourOfDay(d, year.zoneOffsetDays, *dawn), ShownHourOfDay(d, year.zoneOffsetDays, *dusk), colour);
      } else if (!dawn && !dusk) {
        // No crossing: above the line all day if the Sun is above it at noon.
        const double depression = k < 0 ? kRiseSetDepressionDeg : TwilightDepressionDeg(static_cast<Twilight>(k));
        if (d.noonAltitudeDeg > -depression) band(i, 0.0, kHoursPerDay, colour);
      }
    }
  }
  // Summer time: a line along the top of the days it is in force.
  bool anyShift = false;
  for (size_t i = 0; i < days; ++i)
    if (year.days[i].clockShiftHours != 0.0) {
      anyShift = true;
      painter.fillRect(QRectF(plot.left() + i * dayWidth, plot.top() - 5, dayWidth + 0.6, 5), c.summerTime);
    }
  // Sunrise and sunset as lines with a halo.
  for (int which = 0; which < 2; ++which) {
    QPolygonF line;
    auto flush = [&] {
      if (line.size() > 1) {
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(c.paper, 4.0));
        painter.drawPolyline(line);
        painter.setPen(QPen(c.sun, 2.0));
        painter.drawPolyline(line);
      }
      line.clear();
    };
    for (size_t i = 0; i < days; ++i) {
      const DaylightDay& d = year.days[i];
      const std::optional<double>& jd = which == 0 ? d.riseJD : d.setJD;
      if (!jd || (i > 0 && year.days[i - 1].clockShiftHours != d.clockShiftHours)) flush();
      if (!jd) continue;
      line << QPointF(plot.left() + (i + 0.5) * dayWidth, yOf(ShownHourOfDay(d, year.zoneOffsetDays, *jd)));
    }
    flush();
  }
  painter.setRenderHint(QPainter::Antialiasing, false);
  // Grid: every three hours and the first of each month.
  painter.setPen(QPen(c.grid, 1, Qt::DotLine));
  for (int h = 3; h < 24; h += 3) painter.drawLine(QPointF(plot.left(), yOf(h)), QPointF(plot.right(), yOf(h)));
  painter.setPen(QPen(c.ink, 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(plot);
  for (int h = 0; h <= 24; h += 3)
    painter.drawText(QRectF(body.left(), yOf(h) - fontPx, plot.left() - body.left() - 6, 2 * fontPx),
                     Qt::AlignRight | Qt::AlignVCenter, QString::asprintf("%02d:00", h));
  for (size_t i = 0; i < days; ++i) {
    if (year.days[i].day != 1) continue;
    const double x = plot.left() + i * dayWidth;
    painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + 4));
    painter.drawText(QRectF(x, plot.bottom() + 4, 31 * dayWidth, metrics.height()), Qt::AlignHCenter | Qt::AlignTop,
                     QString::asprintf("%d월", year.days[i].month));
  }
  // Legend.
  double x = plot.left();
  const double ly = plot.bottom() + metrics.height() * 1.5;
  const struct {
    QColor colour;
    const char* label;
  } items[] = {{c.day, "낮"},        {c.civil, "시민박명"},    {c.nautical, "항해박명"},
               {c.astronomical, "천문박명"}, {c.night, "밤"}, {c.sun, "일출·일몰"}};
  for (const auto& item : items) {
    painter.setPen(QPen(c.ink, 0.8));
    painter.setBrush(item.colour);
    painter.drawRect(QRectF(x, ly + 3, fontPx * 1.6, metrics.height() - 6));
    painter.setPen(c.ink);
    const QString label = QString::fromUtf8(item.label);
    painter.drawText(QPointF(x + fontPx * 1.6 + 5, ly + metrics.ascent()), label);
    x += fontPx * 1.6 + 16 + metrics.horizontalAdvance(label);
  }
  if (anyShift) {
    painter.fillRect(QRectF(x, ly + 3, fontPx * 1.6, metrics.height() - 6), c.summerTime);
    painter.setPen(c.ink);
    painter.drawText(QPointF(x + fontPx * 1.6 + 5, ly + metrics.ascent()), QString::fromUtf8("서머타임"));
  }
  painter.restore();
}

void DrawEclipseMap(QPainter& painter, const QRectF& rect, const EclipseMap& map, const QString& title) {
  const Palette& c = Colours();
  const auto [body, fontPx, font, metrics] = BeginPicture(painter, rect, title, 0.024);
  const double legendHeight = metrics.height() * 1.8;
  // Equirectangular, 2:1 within the space left.
  double w = body.width() - 20, h = body.height() - legendHeight - 10;
  if (w > 2 * h) w = 2 * h;
  else h = w / 2;
  const QRectF plot(body.left() + (body.width() - w) / 2, body.top() + 4, w, h);
  auto at = [&](const GeoPoint& g) {
    return QPointF(plot.left() + (g.lonDeg + 180.0) / 360.0 * plot.width(),
                   plot.top() + (90.0 - g.latDeg) / 180.0 * plot.height());
  };
  // A line across the date line is split where a step jumps over half the map.
  auto drawLine = [&](const GeoLine& line) {
    QPolygonF run;
    for (size_t i = 0; i < line.size(); ++i) {
      if (i > 0 && std::fabs(line[i].lonDeg - line[i - 1].lonDeg) > 180.0) {
        if (run.size() > 1) painter.drawPolyline(run);
        run.clear();
      }
      run << at(line[i]);
    }
    if (run.size() > 1) painter.drawPolyline(run);
  };

  painter.setClipRect(plot);
  painter.fillRect(plot, c.ocean);
  painter.setRenderHint(QPainter::Antialiasing, true);
  // Land: rings that cross the date line (Antarctica, eastern Russia) are
  // filled after unwrapping; odd-even filling keeps lakes open.
  painter.setPen(QPen(c.coast, 0.8));
  painter.setBrush(c.land);
  for (const GeoLine& ring : LandOutlines()) {
    QPolygonF poly;
    double previous = ring.empty() ? 0.0 : ring.front().lonDeg, offset = 0.0;
    for (const GeoPoint& g : ring) {
      if (g.lonDeg - previous > 180.0) offset -= 360.0;
      else if (previous - g.lonDeg > 180.0) offset += 360.0;
      previous = g.lonDeg;
      poly << at({g.lonDeg + offset, g.latDeg});
    }
    painter.drawPolygon(poly, Qt::OddEvenFill);
    // A ring that was unwrapped past an edge shows again from the other side.
    painter.drawPolygon(poly.translated(plot.width(), 0), Qt::OddEvenFill);
    painter.drawPolygon(poly.translated(-plot.width(), 0), Qt::OddEvenFill);
  }
  // Graticule.
  painter.setPen(QPen(c.grid, 0.8, Qt::DotLine));
  painter.setBrush(Qt::NoBrush);
  for (int lon = -150; lon <= 150; lon += 30) painter.drawLine(at({double(lon), 90}), at({double(lon), -90}));
  for (int lat = -60; lat <= 60; lat += 30) painter.drawLine(at({-180, double(lat)}), at({180, double(lat)}));

  if (map.solar) {
    painter.setPen(QPen(c.penumbralLimit, 1.8, Qt::DashLine));
    for (const auto& side : map.path.penumbralLimits)
      for (const GeoLine& run : side) drawLine(run);
    painter.setPen(QPen(c.penumbralLimit, 1.2, Qt::DotLine));
    for (const auto& side : map.path.horizonLimits)
      for (const GeoLine& run : side) drawLine(run);
    painter.setPen(QPen(c.umbralLimit, 1.8));
    for (const auto& side : map.path.umbralLimits)
      for (const GeoLine& run : side) drawLine(run);
    GeoLine central;
    for (const CentralLinePoint& p : map.path.central) central.push_back({p.lonDeg, p.latDeg});
    painter.setPen(QPen(c.centralLine, 2.4));
    drawLine(central);
  } else {
    // The half of the Earth with the Moon above the horizon at greatest
    // eclipse, shaded; the edges of that half at the first and last contact
    // of the penumbra drawn as lines.
    auto horizonOf = [&](const GeoPoint& sub) {
      GeoLine circle;
      const double lat0 = sub.latDeg * kDegToRad;
      for (int i = 0; i <= 360; i += 2) {
        // The great circle 90 degrees from the sub-lunar point, by latitude for each longitude.
        const double lon = -180.0 + i;
        const double dl = (lon - sub.lonDeg) * kDegToRad;
        // (An equatorial sub-lunar point makes the edge two meridians; the
        // Moon's declination never stays that small during an eclipse map.)
        const double tanLat0 = std::fabs(lat0) < 1e-6 ? std::copysign(1e-6, lat0) : std::tan(lat0);
        circle.push_back({lon, std::atan(-std::cos(dl) / tanLat0) * kRadToDeg});
      }
      return circle;
    };
    const GeoLine edge = horizonOf(map.subLunar[0]);
    QPolygonF visible;
    for (const GeoPoint& g : edge) visible << at(g);
    const double pole = map.subLunar[0].latDeg >= 0.0 ? 90.0 : -90.0;
    visible << at({180.0, pole}) << at({-180.0, pole});
    QColor shade = c.lunarVisible;
    shade.setAlpha(110);
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    painter.drawPolygon(visible);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(c.umbralLimit, 1.8));
    drawLine(edge);
    painter.setPen(QPen(c.penumbralLimit, 1.6, Qt::DashLine));
    drawLine(horizonOf(map.subLunar[1]));
    drawLine(horizonOf(map.subLunar[2]));
  }
  // The point of greatest eclipse (solar) or with the Moon in the zenith (lunar).
  {
    const QPointF g = at(map.greatest);
    painter.setPen(QPen(c.ink, 1.4));
    painter.setBrush(c.centralLine);
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
      const double a = -M_PI / 2 + i * M_PI / 5;
      const double r = i % 2 == 0 ? 8.0 : 3.5;
      star << g + QPointF(r * std::cos(a), r * std::sin(a));
    }
    painter.drawPolygon(star);
  }
  if (map.hasPlace) {
    const QPointF p = at(map.place);
    painter.setPen(QPen(c.paper, 1.5));
    painter.setBrush(c.place);
    painter.drawEllipse(p, 5.5, 5.5);
    const QString label =
        map.placeSees ? QString::fromStdString(map.placeName) + QString::asprintf(" %.3f", map.placeMagnitude)
                      : QString::fromStdString(map.placeName) + QString::fromUtf8(" (보이지 않음)");
    const double lw = metrics.horizontalAdvance(label) + 8;
    QRectF box(p.x() + 8, p.y() - metrics.height() / 2, lw, metrics.height());
    if (box.right() > plot.right()) box.moveRight(p.x() - 8);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 225));
    painter.drawRoundedRect(box, 3, 3);
    painter.setPen(c.place.darker(140));
    painter.drawText(box, Qt::AlignCenter, label);
  }
  painter.setClipping(false);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(c.ink, 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(plot);

  // Legend.
  double x = plot.left();
  const double ly = plot.bottom() + 8;
  auto legendLine = [&](const QPen& pen, const QString& label) {
    painter.setPen(pen);
    painter.drawLine(QPointF(x, ly + metrics.height() / 2), QPointF(x + fontPx * 2, ly + metrics.height() / 2));
    painter.setPen(c.ink);
    painter.drawText(QPointF(x + fontPx * 2 + 5, ly + metrics.ascent()), label);
    x += fontPx * 2 + 18 + metrics.horizontalAdvance(label);
  };
  if (map.solar) {
    legendLine(QPen(c.centralLine, 2.4), QString::fromUtf8("중심선"));
    legendLine(QPen(c.umbralLimit, 1.8), QString::fromUtf8(map.kindName == "annular" ? "금환식 한계" : "개기식 한계"));
    legendLine(QPen(c.penumbralLimit, 1.8, Qt::DashLine), QString::fromUtf8("부분식 한계"));
    legendLine(QPen(c.penumbralLimit, 1.2, Qt::DotLine), QString::fromUtf8("일출·일몰 때 시작·끝"));
  } else {
    legendLine(QPen(c.umbralLimit, 1.8), QString::fromUtf8("식의 최대 때 달이 뜬 반구"));
    legendLine(QPen(c.penumbralLimit, 1.6, Qt::DashLine), QString::fromUtf8("시작·끝(P1·P4)"));
  }
  painter.restore();
}

}  // namespace orv::pictures
