#include <QtTest>

#include "app/gui/tform1.h"

class MainWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void titleIsOrvanta() {
    orv::TForm1 window;
    QCOMPARE(window.windowTitle(), QString("Orvanta"));
    QCOMPARE(window.objectName(), QString("TForm1"));
  }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
