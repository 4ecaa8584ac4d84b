// Printing a year: the twelve month pages of a year built from the loaded
// tables and painted into a PDF in memory (the window's "PDF로 저장" and
// orvanta-cli print without the file). PLAN404, Seoul, standard time.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QPdfWriter>
#include <cstdlib>

#include "app/core/calendar_app.h"
#include "app/print/print_painter.h"

namespace {

// Painting needs a GUI application; the offscreen platform needs no display.
QGuiApplication& GuiApp() {
  static int argc = 1;
  static char name[] = "orvanta_bench";
  static char* argv[] = {name, nullptr};
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QGuiApplication app(argc, argv);
  return app;
}

void BM_PrintYearPdf(benchmark::State& state) {
  GuiApp();
  orv::RecordingMessageSink messages;
  orv::FixedClock clock{{orv::MakeTm(2024, 2, 15, 10, 30), orv::MakeTm(2024, 2, 15, 1, 30)}};
  orv::CalendarApp app{{"/nonexistent-program-folder", "/nonexistent-current-folder"}, messages, clock};
  app.StartUp();
  orv::PrintRequest request;
  request.year = 2024;
  for (auto _ : state) {
    orv::PrintDocument document;
    app.Reports().BuildPrint(request, document);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(300);
    orv::SetPrintPageLayout(writer);
    benchmark::DoNotOptimize(orv::PaintPrintDocument(document, writer));
  }
}
BENCHMARK(BM_PrintYearPdf)->Unit(benchmark::kMillisecond);

}  // namespace
