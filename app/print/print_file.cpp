#include "app/print/print_file.h"

#include <QGuiApplication>
#include <QString>

#include <memory>

#include "app/print/print_painter.h"

namespace orv {

bool WritePrintFile(const PrintDocument& document, const std::string& path, std::string& error) {
  // Fonts and painting need a GUI application; offscreen needs no display.
  int argc = 1;
  char name[] = "orvanta-cli";
  char* argv[] = {name, nullptr};
  std::unique_ptr<QGuiApplication> app;
  if (QCoreApplication::instance() == nullptr) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app = std::make_unique<QGuiApplication>(argc, argv);
  }
  QString why;
  if (WritePrintPdf(document, QString::fromStdString(path), &why)) return true;
  error = why.toStdString();
  return false;
}

}  // namespace orv
