// The plot of a simulation table (Qt Charts): any column of numbers against
// the time of the rows, zoomed by dragging a rectangle, exported as PNG.
#pragma once

#include <QDialog>

#include "app/core/simulation/series_table.h"

class QComboBox;
class QChart;
class QChartView;

namespace orv {

class SeriesPlotDialog : public QDialog {
  Q_OBJECT
 public:
  SeriesPlotDialog(SeriesTable table, const QString& fileName, QWidget* parent = nullptr);
  // Shows column `index` of the table's columns of numbers.
  void ShowColumn(int index);
  int ShownColumn() const { return shown_; }
  QChartView* ChartView() const { return view_; }
  // Writes the chart as it is shown to a PNG file (safe replacement).
  bool SavePng(const QString& path, std::string& error);

 private:
  SeriesTable table_;
  QComboBox* chooser_ = nullptr;
  QChartView* view_ = nullptr;
  int shown_ = -1;
};

}  // namespace orv
