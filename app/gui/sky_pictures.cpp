#include "app/gui/sky_pictures.h"

#include <QBuffer>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/core/files/files.h"
#include "app/pictures/pictures.h"

namespace orv {
namespace {

constexpr int kPanelWidth = 560, kPanelHeight = 380;

QString EclipseTitle(const EclipseMap& map) {
  return QString::fromStdString(EclipseMapTitle(map));
}

}  // namespace

PictureView::PictureView(PicturePainter paint, QSize preferred, QWidget* parent)
    : QWidget(parent), paint_(std::move(paint)), preferred_(preferred) {
  setMinimumSize(preferred / 2);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PictureView::SetPainter(PicturePainter paint) {
  paint_ = std::move(paint);
  update();
}

void PictureView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (paint_) paint_(painter, QRectF(rect()));
}

bool PictureView::SavePng(const QString& path, QSize size, std::string& error) const {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    if (paint_) paint_(painter, QRectF(0, 0, size.width(), size.height()));
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) {
    error = "cannot encode the PNG picture";
    return false;
  }
  return WriteFileAtomically(path.toStdString(), std::string(bytes.constData(), static_cast<size_t>(bytes.size())),
                             &error);
}

PictureDialog::PictureDialog(const QString& caption, PicturePainter paint, QSize size, QWidget* parent)
    : QDialog(parent), size_(size) {
  setWindowTitle(caption);
  setSizeGripEnabled(true);
  auto* layout = new QVBoxLayout(this);
  view_ = new PictureView(std::move(paint), size, this);
  view_->setObjectName("PictureView");
  layout->addWidget(view_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  auto* save = new QPushButton(QString::fromUtf8("PNG로 저장"), this);
  save->setObjectName("SavePictureButton");
  auto* close = new QPushButton(QString::fromUtf8("닫기"), this);
  buttons->addWidget(save);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  connect(save, &QPushButton::clicked, this, [this] {
    const QString path = QFileDialog::getSaveFileName(this, QString::fromUtf8("그림 저장"), QString(), "PNG (*.png)");
    if (path.isEmpty()) return;
    std::string error;
    if (!view_->SavePng(path, size_, error))
      QMessageBox::warning(this, QString::fromUtf8("오류"), QString::fromStdString(error));
  });
}

QWidget* MakeDaySkyPanel(CalendarApp& app, QWidget* parent) {
  auto sky = std::make_shared<DaySky>();
  if (!app.Reports().SelectedDaySky(*sky)) return nullptr;
  auto* panel = new QWidget(parent);
  panel->setObjectName("DaySkyPanel");
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  const QString title = QString::fromStdString(PlaceReportName(app.Place())) +
                        QString::asprintf(" %d-%02d-%02d", sky->year, sky->month, sky->day);
  auto* chart = new PictureView(
      [sky, title](QPainter& p, const QRectF& r) { pictures::DrawDaySky(p, r, *sky, title); },
      QSize(kPanelWidth, kPanelHeight), panel);
  chart->setObjectName("DaySkyChart");
  chart->setMinimumSize(kPanelWidth * 4 / 5, kPanelHeight * 4 / 5);
  layout->addWidget(chart, 1);
  auto* daylight = new QPushButton(QString::fromUtf8("한 해의 낮과 박명"), panel);
  daylight->setObjectName("DaylightButton");
  layout->addWidget(daylight);
  const int year = sky->year;
  QObject::connect(daylight, &QPushButton::clicked, panel, [&app, panel, year] {
    auto days = std::make_shared<DaylightYear>(app.Reports().DaylightOfYear(year));
    const QString t = QString::fromStdString(PlaceReportName(app.Place())) + QString::fromUtf8(" %1년 낮과 박명").arg(year);
    PictureDialog dialog(t, [days, t](QPainter& p, const QRectF& r) { pictures::DrawDaylightYear(p, r, *days, t); },
                         QSize(pictures::kChartWidth, pictures::kChartHeight), panel);
    dialog.setObjectName("DaylightDialog");
    dialog.exec();
  });
  return panel;
}

QWidget* MakeEclipseMapButton(CalendarApp& app, QWidget* parent) {
  auto* button = new QPushButton(QString::fromUtf8("지도"), parent);
  button->setObjectName("EclipseMapButton");
  QObject::connect(button, &QPushButton::clicked, button, [&app, button] {
    std::vector<EclipseMap> maps = app.Reports().EclipseMapsOfInputYear();
    if (maps.empty()) return;
    EclipseMapDialog dialog(std::move(maps), button);
    dialog.exec();
  });
  return button;
}

EclipseMapDialog::EclipseMapDialog(std::vector<EclipseMap> maps, QWidget* parent)
    : PictureDialog(QString::fromUtf8("일식과 월식 지도"), PicturePainter(),
                    QSize(pictures::kMapWidth, pictures::kMapHeight), parent),
      maps_(std::move(maps)) {
  setObjectName("EclipseMapDialog");
  chooser_ = new QComboBox(this);
  chooser_->setObjectName("EclipseChooser");
  for (const EclipseMap& m : maps_) chooser_->addItem(EclipseTitle(m));
  static_cast<QVBoxLayout*>(layout())->insertWidget(0, chooser_);
  connect(chooser_, &QComboBox::currentIndexChanged, this, &EclipseMapDialog::ShowMap);
  ShowMap(0);
}

void EclipseMapDialog::ShowMap(int index) {
  if (index < 0 || index >= MapCount()) return;
  shown_ = index;
  const EclipseMap* map = &maps_[static_cast<size_t>(index)];
  const QString title = EclipseTitle(*map);
  view_->SetPainter([map, title](QPainter& p, const QRectF& r) { pictures::DrawEclipseMap(p, r, *map, title); });
  if (chooser_->currentIndex() != index) chooser_->setCurrentIndex(index);
}

}  // namespace orv
