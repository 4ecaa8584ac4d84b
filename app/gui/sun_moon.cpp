#include "app/gui/sun_moon.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "ephemeris/mean_periods.h"

namespace orv {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kSunFrameMs = 125;  // eight frames a second, one turn of the rays in three seconds
constexpr int kSunRays = 12;
constexpr int kTerminatorSteps = 48;

}  // namespace

SunPicture::SunPicture(QWidget* parent) : QWidget(parent) {
  setFixedSize(40, 40);
  timer_.setInterval(kSunFrameMs);
  connect(&timer_, &QTimer::timeout, this, [this] {
    frame_ = (frame_ + 1) % kFrames;
    update();
  });
}

void SunPicture::Start() { timer_.start(); }
void SunPicture::Stop() { timer_.stop(); }

void SunPicture::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QPointF centre(width() / 2.0, height() / 2.0);
  const double radius = std::min(width(), height()) / 2.0 - 1.0;
  const double core = radius * 0.55;
  p.setPen(QPen(QColor(0xFF, 0x99, 0x00), 2.0));
  const double turn = 2.0 * kPi * frame_ / kFrames / kSunRays * 2.0;
  for (int i = 0; i < kSunRays; ++i) {
    const double a = turn + 2.0 * kPi * i / kSunRays;
    p.drawLine(centre + QPointF(std::cos(a), std::sin(a)) * (core + 2.0),
               centre + QPointF(std::cos(a), std::sin(a)) * radius);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xFF, 0xCC, 0x00));
  p.drawEllipse(centre, core, core);
}

MoonPicture::MoonPicture(QWidget* parent) : QWidget(parent) { setFixedSize(40, 40); }

void MoonPicture::SetAge(double days) {
  ageDays_ = days;
  update();
}

void MoonPicture::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QPointF centre(width() / 2.0, height() / 2.0);
  const double r = std::min(width(), height()) / 2.0 - 2.0;
  p.setPen(QPen(QColor(0x60, 0x60, 0x70), 1.0));
  p.setBrush(QColor(0x30, 0x30, 0x40));
  p.drawEllipse(centre, r, r);
  if (ageDays_ < 0.0) return;

  // Phase angle 0 at new moon, pi at full moon. The lit part lies between the
  // limb and the terminator, an ellipse of half-width r |cos phase|: on the
  // right while waxing, on the left while waning (as seen from the north).
  const double phase = 2.0 * kPi * std::fmod(ageDays_, kSynodicMonthDays) / kSynodicMonthDays;
  const double k = std::cos(phase);
  const bool waxing = phase <= kPi;
  QPainterPath lit;
  for (int i = 0; i <= kTerminatorSteps; ++i) {  // limb, top to bottom
    const double y = -r + 2.0 * r * i / kTerminatorSteps;
    const double w = std::sqrt(std::max(0.0, r * r - y * y));
    const QPointF point = centre + QPointF(waxing ? w : -w, y);
    if (i == 0) lit.moveTo(point);
    else lit.lineTo(point);
  }
  for (int i = kTerminatorSteps; i >= 0; --i) {  // terminator, bottom to top
    const double y = -r + 2.0 * r * i / kTerminatorSteps;
    const double w = std::sqrt(std::max(0.0, r * r - y * y));
    lit.lineTo(centre + QPointF(waxing ? k * w : -k * w, y));
  }
  lit.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xF5, 0xF0, 0xC8));
  p.drawPath(lit);
}

}  // namespace orv
