#include "app/gui/series_plot_dialog.h"

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QMessageBox>
#include <QPushButton>
#include <QValueAxis>
#include <QVBoxLayout>

#include <cmath>

#include "app/core/files/files.h"
#include "app/pictures/pictures.h"

namespace orv {

SeriesPlotDialog::SeriesPlotDialog(SeriesTable table, const QString& fileName, QWidget* parent)
    : QDialog(parent), table_(std::move(table)) {
  setObjectName("SeriesPlotDialog");
  setWindowTitle(QString::fromUtf8("그래프: ") + fileName);
  setSizeGripEnabled(true);
  auto* layout = new QVBoxLayout(this);
  chooser_ = new QComboBox(this);
  chooser_->setObjectName("ColumnChooser");
  for (const std::string& name : table_.columnNames) chooser_->addItem(QString::fromStdString(name));
  layout->addWidget(chooser_);
  view_ = new QChartView(new QChart, this);
  view_->setObjectName("SeriesChart");
  view_->setRenderHint(QPainter::Antialiasing);
  view_->setRubberBand(QChartView::RectangleRubberBand);  // drag to zoom in
  view_->setMinimumSize(640, 400);
  layout->addWidget(view_, 1);
  auto* buttons = new QHBoxLayout;
  auto* reset = new QPushButton(QString::fromUtf8("전체 보기"), this);
  reset->setObjectName("ResetZoomButton");
  auto* save = new QPushButton(QString::fromUtf8("PNG로 저장"), this);
  save->setObjectName("SavePlotButton");
  auto* close = new QPushButton(QString::fromUtf8("닫기"), this);
  buttons->addWidget(reset);
  buttons->addStretch(1);
  buttons->addWidget(save);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(chooser_, &QComboBox::currentIndexChanged, this, &SeriesPlotDialog::ShowColumn);
  connect(reset, &QPushButton::clicked, this, [this] { view_->chart()->zoomReset(); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  connect(save, &QPushButton::clicked, this, [this] {
    const QString path = QFileDialog::getSaveFileName(this, QString::fromUtf8("그래프 저장"), QString(), "PNG (*.png)");
    if (path.isEmpty()) return;
    std::string error;
    if (!SavePng(path, error)) QMessageBox::warning(this, QString::fromUtf8("오류"), QString::fromStdString(error));
  });
  ShowColumn(0);
}

void SeriesPlotDialog::ShowColumn(int index) {
  if (index < 0 || index >= static_cast<int>(table_.columns.size())) return;
  shown_ = index;
  if (chooser_->currentIndex() != index) chooser_->setCurrentIndex(index);
  auto* chart = new QChart;
  auto* series = new QLineSeries;
  const std::vector<double>& values = table_.columns[static_cast<size_t>(index)];
  for (size_t r = 0; r < values.size() && r < table_.dayOffsets.size(); ++r)
    if (std::isfinite(values[r])) series->append(table_.dayOffsets[r], values[r]);
  QPen pen(pictures::Colours().sun);
  pen.setWidthF(2.0);
  series->setPen(pen);
  series->setName(QString::fromStdString(table_.columnNames[static_cast<size_t>(index)]));
  chart->addSeries(series);
  auto* x = new QValueAxis;
  x->setTitleText(QString::fromUtf8("경과일 (") + QString::fromStdString(table_.firstTime) + QString::fromUtf8("부터)"));
  auto* y = new QValueAxis;
  y->setTitleText(series->name());
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  series->attachAxis(x);
  series->attachAxis(y);
  chart->legend()->hide();
  chart->setBackgroundBrush(pictures::Colours().paper);
  QChart* old = view_->chart();
  view_->setChart(chart);
  delete old;
}

bool SeriesPlotDialog::SavePng(const QString& path, std::string& error) {
  const QPixmap pixmap = view_->grab();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!pixmap.save(&buffer, "PNG")) {
    error = "cannot encode the PNG picture";
    return false;
  }
  return WriteFileAtomically(path.toStdString(), std::string(bytes.constData(), static_cast<size_t>(bytes.size())),
                             &error);
}

}  // namespace orv
