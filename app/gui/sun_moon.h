// The two small pictures beside the grid: a sun whose rays turn (sunPicture)
// and the Moon in the phase of the shown or selected day (moonPicture). They are
// drawn, so nothing depends on animation files.
#pragma once

#include <QTimer>
#include <QWidget>

namespace orv {

class SunPicture : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kFrames = 24;
  explicit SunPicture(QWidget* parent = nullptr);
  void Start();
  void Stop();
  int Frame() const { return frame_; }
  QSize sizeHint() const override { return {40, 40}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QTimer timer_;
  int frame_ = 0;
};

class MoonPicture : public QWidget {
  Q_OBJECT
 public:
  explicit MoonPicture(QWidget* parent = nullptr);
  // Age of the Moon in days since new moon (negative: unknown, drawn full grey).
  void SetAge(double days);
  double Age() const { return ageDays_; }
  QSize sizeHint() const override { return {40, 40}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  double ageDays_ = -1.0;
};

}  // namespace orv
