#include "app/pictures/picture_files.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QSvgGenerator>

#include <algorithm>
#include <cctype>
#include <functional>
#include <memory>

#include "app/core/files/files.h"
#include "app/pictures/pictures.h"

namespace orv::pictures {
namespace {

enum class PictureFormat { None, Png, Svg };

PictureFormat FormatOf(const std::string& path) {
  if (path.size() < 4) return PictureFormat::None;
  std::string ending = path.substr(path.size() - 4);
  std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char ch) { return std::tolower(ch); });
  if (ending == ".png") return PictureFormat::Png;
  if (ending == ".svg") return PictureFormat::Svg;
  return PictureFormat::None;
}

using Painting = std::function<void(QPainter&, const QRectF&)>;

// Fonts and images need a QGuiApplication; the command line has none. One is
// made for the call on the offscreen platform and ends with it.
class GuiForOneCall {
 public:
  GuiForOneCall() {
    if (QCoreApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  }

 private:
  int argc_ = 1;
  char name_[12] = "orvanta-cli";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
};

bool Write(const std::string& path, int width, int height, const QString& title, const Painting& paint,
           std::string& error) {
  const PictureFormat format = FormatOf(path);
  if (format == PictureFormat::None) {
    error = "the picture file must end in .png or .svg: " + path;
    return false;
  }
  GuiForOneCall gui;
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  const QRectF rect(0, 0, width, height);
  if (format == PictureFormat::Png) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      paint(painter, rect);
    }
    if (!image.save(&buffer, "PNG")) {
      error = "cannot encode the PNG picture";
      return false;
    }
  } else {
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(width, height));
    svg.setViewBox(rect);
    svg.setTitle(title);
    {
      QPainter painter(&svg);
      paint(painter, rect);
    }
  }
  buffer.close();
  return WriteFileAtomically(path, std::string(bytes.constData(), static_cast<size_t>(bytes.size())), &error);
}

}  // namespace

bool IsPictureFileName(const std::string& path) { return FormatOf(path) != PictureFormat::None; }

bool WriteDaylightChart(const DaylightYear& year, const std::string& title, const std::string& path,
                        std::string& error) {
  const QString t = QString::fromStdString(title);
  return Write(path, kChartWidth, kChartHeight, t,
               [&](QPainter& p, const QRectF& r) { DrawDaylightYear(p, r, year, t); }, error);
}

bool WriteDaySkyChart(const DaySky& sky, const std::string& title, const std::string& path, std::string& error) {
  const QString t = QString::fromStdString(title);
  return Write(path, kChartWidth, kChartHeight, t, [&](QPainter& p, const QRectF& r) { DrawDaySky(p, r, sky, t); },
               error);
}

bool WriteEclipseMap(const EclipseMap& map, const std::string& title, const std::string& path, std::string& error) {
  const QString t = QString::fromStdString(title);
  return Write(path, kMapWidth, kMapHeight, t, [&](QPainter& p, const QRectF& r) { DrawEclipseMap(p, r, map, t); },
               error);
}

}  // namespace orv::pictures
