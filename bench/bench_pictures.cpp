// Drawing each picture once into an image of its default size (the numbers
// computed beforehand): the daylight chart, the day's sky and the eclipse
// map of 2026-08-12. Built with the Qt program only.
#ifdef ORVANTA_HAVE_PICTURES
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <memory>

#include "app/core/files/places.h"
#include "app/pictures/pictures.h"

namespace {

struct PictureSetup {
  int argc = 1;
  char name[14] = "orvanta_bench";
  char* argv[2] = {name, nullptr};
  std::unique_ptr<QGuiApplication> app;
  orv::CalcSettings settings = orv::DefaultSettings();
  orv::Observer observer;
  std::unique_ptr<orv::EngineContext> ctx;
  PictureSetup() {
    if (QCoreApplication::instance() == nullptr) {
      if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
      app = std::make_unique<QGuiApplication>(argc, argv);
    }
    orv::ApplyPlace(settings, observer, orv::BuiltInPlaceTable(), 0);
    ctx = std::make_unique<orv::EngineContext>(settings, observer);
  }
};

template <class Draw>
void DrawInto(int width, int height, Draw&& draw) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&image);
  draw(painter, QRectF(0, 0, width, height));
}

void BM_DrawDaylightChart(benchmark::State& state) {
  PictureSetup s;
  const orv::DaylightYear year = orv::ComputeDaylightYear(*s.ctx, 2026, "Asia/Seoul");
  for (auto _ : state)
    DrawInto(orv::pictures::kChartWidth, orv::pictures::kChartHeight,
             [&](QPainter& p, const QRectF& r) { orv::pictures::DrawDaylightYear(p, r, year, "Seoul 2026"); });
}
BENCHMARK(BM_DrawDaylightChart)->Unit(benchmark::kMillisecond);

void BM_DrawDaySky(benchmark::State& state) {
  PictureSetup s;
  const orv::DaySky sky = orv::ComputeDaySky(*s.ctx, 2026, 8, 12);
  for (auto _ : state)
    DrawInto(orv::pictures::kChartWidth, orv::pictures::kChartHeight,
             [&](QPainter& p, const QRectF& r) { orv::pictures::DrawDaySky(p, r, sky, "Seoul 2026-08-12"); });
}
BENCHMARK(BM_DrawDaySky)->Unit(benchmark::kMillisecond);

void BM_DrawEclipseMap(benchmark::State& state) {
  PictureSetup s;
  auto tables = std::make_unique<orv::YearTables>();
  orv::FoundEclipse eclipse;
  orv::FindEclipseNearDate(*s.ctx, *tables, 2026, 8, 12, true, eclipse);
  const orv::EclipseMap map = orv::BuildEclipseMap(*s.ctx, eclipse, "Seoul", 1.0 / 1440.0);
  for (auto _ : state)
    DrawInto(orv::pictures::kMapWidth, orv::pictures::kMapHeight,
             [&](QPainter& p, const QRectF& r) { orv::pictures::DrawEclipseMap(p, r, map, "2026-08-12"); });
}
BENCHMARK(BM_DrawEclipseMap)->Unit(benchmark::kMillisecond);

}  // namespace
#endif
