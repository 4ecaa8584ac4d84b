// The main window.
#pragma once

#include <QMainWindow>

namespace orv {

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  explicit TForm1(QWidget* parent = nullptr);
};

}  // namespace orv
