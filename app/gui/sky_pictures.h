// The windows of the pictures: a widget that paints one picture of
// app/pictures, the panel beside the day report (the Moon as it looks and
// the day's sky, with the year's daylight a click away), and the eclipse map
// dialog opened by the "지도" button beside the eclipse report.
#pragma once

#include <QDialog>
#include <QWidget>

#include <functional>
#include <vector>

#include "app/core/calendar_app.h"

class QComboBox;

namespace orv {

using PicturePainter = std::function<void(QPainter&, const QRectF&)>;

class PictureView : public QWidget {
  Q_OBJECT
 public:
  PictureView(PicturePainter paint, QSize preferred, QWidget* parent = nullptr);
  void SetPainter(PicturePainter paint);
  QSize sizeHint() const override { return preferred_; }
  // Draws the picture at `size` into a PNG file (safe replacement); false
  // with the reason in `error`.
  bool SavePng(const QString& path, QSize size, std::string& error) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  PicturePainter paint_;
  QSize preferred_;
};

// A dialog around one picture with a "PNG로 저장" button.
class PictureDialog : public QDialog {
  Q_OBJECT
 public:
  PictureDialog(const QString& caption, PicturePainter paint, QSize size, QWidget* parent = nullptr);
  PictureView* View() const { return view_; }

 protected:
  PictureView* view_;
  QSize size_;
};

// The panel beside the day report; nullptr when no day is selected.
QWidget* MakeDaySkyPanel(CalendarApp& app, QWidget* parent);

// The "지도" button beside the eclipse report: opens the maps of the year's eclipses.
QWidget* MakeEclipseMapButton(CalendarApp& app, QWidget* parent);

class EclipseMapDialog : public PictureDialog {
  Q_OBJECT
 public:
  EclipseMapDialog(std::vector<EclipseMap> maps, QWidget* parent = nullptr);
  void ShowMap(int index);
  int MapCount() const { return static_cast<int>(maps_.size()); }

 private:
  std::vector<EclipseMap> maps_;
  QComboBox* chooser_ = nullptr;
  int shown_ = 0;
};

}  // namespace orv
