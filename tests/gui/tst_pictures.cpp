// The pictures, headless: each drawn offscreen at its size, not blank, with
// the colours of its parts present; the Moon's lit side where the phase puts
// it; the day's sky beside the day report, the eclipse maps behind the "지도"
// button, the month grid's phase icons and the plot of a simulation table.
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtTest>

#include <memory>

#include "app/core/clock.h"
#include "app/core/files/places.h"
#include "app/core/messages.h"
#include "app/core/simulation/series_table.h"
#include "app/gui/main_window.h"
#include "app/gui/series_plot_dialog.h"
#include "app/gui/sky_pictures.h"
#include "app/pictures/picture_files.h"
#include "app/pictures/pictures.h"

using namespace orv;

namespace {

struct SeoulEngine {
  CalcSettings settings = DefaultSettings();
  Observer observer;
  EngineContext ctx{settings, observer};
  SeoulEngine() { ApplyPlace(settings, observer, BuiltInPlaceTable(), 0); }
};

QImage Render(int width, int height, const std::function<void(QPainter&, const QRectF&)>& draw) {
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(Qt::magenta);  // any pixel left unpainted shows
  QPainter painter(&image);
  draw(painter, QRectF(0, 0, width, height));
  return image;
}

int DistinctColours(const QImage& image) {
  QSet<QRgb> colours;
  for (int y = 0; y < image.height(); y += 3)
    for (int x = 0; x < image.width(); x += 3) colours.insert(image.pixel(x, y));
  return colours.size();
}

int CountColour(const QImage& image, const QColor& colour) {
  int n = 0;
  const QRgb want = colour.rgb();
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) == want) ++n;
  return n;
}

void CheckPicture(const QImage& image, int width, int height, std::initializer_list<QColor> colours) {
  QCOMPARE(image.size(), QSize(width, height));
  QCOMPARE(CountColour(image, Qt::magenta), 0);
  QVERIFY(DistinctColours(image) > 20);
  for (const QColor& c : colours) QVERIFY2(CountColour(image, c) > 20, qPrintable(c.name()));
}

ClockReading Seoul20240215() {
  ClockReading r;
  r.local = MakeTm(2024, 2, 15, 10, 30);
  r.utc = MakeTm(2024, 2, 15, 1, 30);
  return r;
}

}  // namespace

class PicturesTest : public QObject {
  Q_OBJECT
 private slots:
  void moonPhaseLitSide() {
    const pictures::Palette& c = pictures::Colours();
    struct Case {
      double fraction, limb;
      QColor left, right, centre;
    } cases[] = {
        {0.5, -90.0, c.moonDark, c.moonLit, QColor()},  // first quarter: lit on the right
        {0.5, 90.0, c.moonLit, c.moonDark, QColor()},   // last quarter: lit on the left
        {1.0, 0.0, c.moonLit, c.moonLit, c.moonLit},    // full
        {0.0, 0.0, c.moonDark, c.moonDark, c.moonDark}, // new
        {0.25, 0.0, c.moonDark, c.moonDark, c.moonDark}, // crescent lit at the top only
    };
    for (const Case& k : cases) {
      const QImage image =
          Render(200, 200, [&](QPainter& p, const QRectF& r) {
            p.fillRect(r, Qt::white);
            pictures::DrawMoonPhase(p, r, k.fraction, k.limb);
          });
      QCOMPARE(image.pixel(40, 100), k.left.rgb());
      QCOMPARE(image.pixel(160, 100), k.right.rgb());
      if (k.centre.isValid()) QCOMPARE(image.pixel(100, 100), k.centre.rgb());
    }
    // The crescent's lit part is at the top.
    const QImage crescent = Render(200, 200, [&](QPainter& p, const QRectF& r) {
      p.fillRect(r, Qt::white);
      pictures::DrawMoonPhase(p, r, 0.25, 0.0);
    });
    QCOMPARE(crescent.pixel(100, 20), c.moonLit.rgb());
    QCOMPARE(crescent.pixel(100, 180), c.moonDark.rgb());
  }

  void daySkyChart() {
    SeoulEngine e;
    const DaySky sky = ComputeDaySky(e.ctx, 2026, 8, 12);
    const pictures::Palette& c = pictures::Colours();
    const QImage image = Render(pictures::kChartWidth, pictures::kChartHeight, [&](QPainter& p, const QRectF& r) {
      pictures::DrawDaySky(p, r, sky, "Seoul 2026-08-12");
    });
    CheckPicture(image, pictures::kChartWidth, pictures::kChartHeight,
                 {c.night, c.day, c.civil, c.nautical, c.astronomical, c.sun, c.moon, c.paper});
  }

  void daylightChartWithSummerTime() {
    SeoulEngine e;
    const pictures::Palette& c = pictures::Colours();
    const DaylightYear y1988 = ComputeDaylightYear(e.ctx, 1988, "Asia/Seoul");
    const QImage image = Render(pictures::kChartWidth, pictures::kChartHeight, [&](QPainter& p, const QRectF& r) {
      pictures::DrawDaylightYear(p, r, y1988, "Seoul 1988");
    });
    CheckPicture(image, pictures::kChartWidth, pictures::kChartHeight,
                 {c.night, c.day, c.civil, c.nautical, c.astronomical, c.sun, c.summerTime});
    // No summer time in 2026: its marker colour is absent.
    const DaylightYear y2026 = ComputeDaylightYear(e.ctx, 2026, "Asia/Seoul");
    const QImage plain = Render(pictures::kChartWidth, pictures::kChartHeight, [&](QPainter& p, const QRectF& r) {
      pictures::DrawDaylightYear(p, r, y2026, "Seoul 2026");
    });
    QCOMPARE(CountColour(plain, c.summerTime), 0);
  }

  void eclipseMaps() {
    SeoulEngine e;
    const pictures::Palette& c = pictures::Colours();
    auto tables = std::make_unique<YearTables>();
    FoundEclipse solar, lunar;
    QVERIFY(FindEclipseNearDate(e.ctx, *tables, 2026, 8, 12, true, solar));
    QVERIFY(FindEclipseNearDate(e.ctx, *tables, 2026, 3, 3, false, lunar));
    QVERIFY(!lunar.solar);
    const EclipseMap solarMap = BuildEclipseMap(e.ctx, solar, "Seoul", 1.0 / 1440.0);
    const QImage image = Render(pictures::kMapWidth, pictures::kMapHeight, [&](QPainter& p, const QRectF& r) {
      pictures::DrawEclipseMap(p, r, solarMap, "2026-08-12");
    });
    CheckPicture(image, pictures::kMapWidth, pictures::kMapHeight,
                 {c.ocean, c.land, c.centralLine, c.umbralLimit, c.penumbralLimit, c.place});
    QVERIFY(!solarMap.placeSees);  // not seen from Seoul
    const EclipseMap lunarMap = BuildEclipseMap(e.ctx, lunar, "Seoul", 1.0 / 1440.0);
    QVERIFY(lunarMap.placeSees);  // the total lunar eclipse of 2026-03-03 is seen from Korea
    const QImage moonMap = Render(pictures::kMapWidth, pictures::kMapHeight, [&](QPainter& p, const QRectF& r) {
      pictures::DrawEclipseMap(p, r, lunarMap, "2026-03-03");
    });
    CheckPicture(moonMap, pictures::kMapWidth, pictures::kMapHeight, {c.ocean, c.land, c.umbralLimit, c.place});
  }

  void pictureFilesAndTheirErrors() {
    QTemporaryDir dir;
    SeoulEngine e;
    const DaylightYear year = ComputeDaylightYear(e.ctx, 2026, "Asia/Seoul");
    std::string error;
    const std::string png = (dir.path() + "/d.png").toStdString(), svg = (dir.path() + "/d.svg").toStdString();
    QVERIFY2(pictures::WriteDaylightChart(year, "Seoul", png, error), error.c_str());
    QVERIFY2(pictures::WriteDaylightChart(year, "Seoul", svg, error), error.c_str());
    QCOMPARE(QImage(QString::fromStdString(png)).size(), QSize(pictures::kChartWidth, pictures::kChartHeight));
    QFile svgFile(QString::fromStdString(svg));
    QVERIFY(svgFile.open(QIODevice::ReadOnly));
    QVERIFY(svgFile.readAll().contains("<svg"));
    QVERIFY(!pictures::WriteDaylightChart(year, "Seoul", (dir.path() + "/d.jpg").toStdString(), error));
    QVERIFY(!pictures::WriteDaylightChart(year, "Seoul", (dir.path() + "/missing/d.png").toStdString(), error));
  }

  void windowPanelsAndGridIcons() {
    QTemporaryDir program, current;
    RecordingMessageSink messages;
    FixedClock clock{Seoul20240215()};
    AppFolders folders(program.path().toStdString(), current.path().toStdString());
    MainWindow form(folders, messages, clock);
    form.StartUp();
    CalendarApp& app = form.App();
    // The grid of February 2024 marks four principal phases.
    int quarters = 0;
    for (int q : app.Month().View().moonQuarter) quarters += q != kNoQuarter;
    QCOMPARE(quarters, 4);
    // The panel beside the day report needs a selected day.
    QVERIFY(MakeDaySkyPanel(app, &form) == nullptr);
    const int cell = app.Month().View().LastCellBefore + 15;
    QVERIFY(app.Month().SelectDay(MonthGrid::CellColumn(cell), MonthGrid::CellRow(cell, 0)));
    std::unique_ptr<QWidget> panel(MakeDaySkyPanel(app, nullptr));
    QVERIFY(panel != nullptr);
    QVERIFY(panel->findChild<PictureView*>("DaySkyChart") != nullptr);
    // The map button opens the maps of the year's eclipses.
    std::unique_ptr<QWidget> button(MakeEclipseMapButton(app, nullptr));
    int maps = 0;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<EclipseMapDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      maps = dialog->MapCount();
      dialog->ShowMap(maps - 1);
      dialog->close();
    });
    static_cast<QPushButton*>(button.get())->click();
    QCOMPARE(maps, 4);  // 2024: two solar and two lunar eclipses
  }

  void simulationPlot() {
    const std::string csv =
        "\xEF\xBB\xBF기준지역:서울\n계산조건:PLAN404\n일시,시적경(도),시적경(시분초),시적위(도)\n"
        "'2026-01-01 00:00:0.00,281.08,  18:44:19.370,-23.04\n"
        "'2026-01-02 00:00:0.00,282.18,  18:48:44.173,-22.96\n"
        "'2026-01-03 12:00:0.00,283.29,  18:53:09.000,-22.87\n";
    SeriesTable table;
    QVERIFY(ParseSeriesTable(csv, table));
    QCOMPARE(table.columnNames.size(), size_t(2));
    QCOMPARE(QString::fromStdString(table.columnNames[1]), QString::fromUtf8("시적위(도)"));
    QCOMPARE(table.dayOffsets.back(), 2.5);
    SeriesPlotDialog dialog(table, "s.csv");
    dialog.resize(800, 500);
    dialog.show();
    auto* series = qobject_cast<QLineSeries*>(dialog.ChartView()->chart()->series().first());
    QCOMPARE(series->count(), 3);
    QCOMPARE(series->at(2).y(), 283.29);
    dialog.ShowColumn(1);
    series = qobject_cast<QLineSeries*>(dialog.ChartView()->chart()->series().first());
    QCOMPARE(series->at(0).y(), -23.04);
    QCOMPARE(dialog.ChartView()->rubberBand(), QChartView::RectangleRubberBand);
    dialog.ChartView()->chart()->zoomIn();
    QTemporaryDir dir;
    std::string error;
    QVERIFY2(dialog.SavePng(dir.path() + "/plot.png", error), error.c_str());
    QVERIFY(!QImage(dir.path() + "/plot.png").isNull());
  }
};

QTEST_MAIN(PicturesTest)
#include "tst_pictures.moc"
