// Program entry: the main window, or with --screenshot FILE.png the main
// window rendered off screen into an image:
//   orvanta --screenshot FILE.png [--year Y --month M [--lunar]] [--size WxH]
// (Y astronomical: 0 is BC 1; W and H in pixels of the window at 100 %).
// Messages then go to standard error.
#include <QApplication>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/core/files/app_folders.h"
#include "app/core/files/files.h"
#include "app/core/clock.h"
#include "app/core/messages.h"
#include "app/gui/desktop.h"
#include "app/gui/main_window.h"

namespace {

struct ScreenshotRequest {
  std::string file;
  bool wanted = false;
  bool hasMonth = false;
  int year = 0;
  int month = 0;
  bool lunar = false;
  int width = 0;   // 0: the window's default size
  int height = 0;
};

bool ParseInt(const char* text, int& out) {
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || v < -100000 || v > 100000) return false;
  out = static_cast<int>(v);
  return true;
}

// "WxH", each from 100 to 10000 pixels.
bool ParseSize(const std::string& text, int& width, int& height) {
  const auto x = text.find_first_of("xX");
  if (x == std::string::npos) return false;
  int w = 0, h = 0;
  if (!ParseInt(text.substr(0, x).c_str(), w) || !ParseInt(text.substr(x + 1).c_str(), h)) return false;
  if (w < 100 || h < 100 || w > 10000 || h > 10000) return false;
  width = w;
  height = h;
  return true;
}


// Parses our options (program name first); false on a bad command line.
bool ParseArguments(const QStringList& arguments, ScreenshotRequest& request) {
  bool hasYear = false, hasMonth = false;
  for (int i = 1; i < arguments.size(); ++i) {
    const std::string arg = arguments[i].toStdString();
    const bool hasValue = i + 1 < arguments.size();
    if (arg == "--screenshot" && hasValue) {
      request.wanted = true;
      request.file = arguments[++i].toStdString();
    } else if (arg == "--year" && hasValue) {
      if (!ParseInt(arguments[++i].toStdString().c_str(), request.year)) return false;
      hasYear = true;
    } else if (arg == "--month" && hasValue) {
      if (!ParseInt(arguments[++i].toStdString().c_str(), request.month) || request.month < 1 ||
          request.month > 12)
        return false;
      hasMonth = true;
    } else if (arg == "--size" && hasValue) {
      if (!ParseSize(arguments[++i].toStdString(), request.width, request.height)) return false;
    } else if (arg == "--lunar") {
      request.lunar = true;
    } else {
      return false;
    }
  }
  if (hasYear != hasMonth) return false;
  request.hasMonth = hasYear;
  return !request.wanted || !request.file.empty();
}

constexpr const char* kUsage =
    "usage: orvanta [--screenshot FILE.png [--year Y --month M [--lunar]] [--size WxH]]\n";

}  // namespace

int main(int argc, char** argv) {
  // Ctrl-C or a kill during a long table or a save leaves no temporary file
  // behind (the same handler as the command line's).
  orv::RemoveTemporaryFilesOnSignals();
  // Options with two dashes are ours and are checked before the toolkit
  // starts (it needs a display unless a screenshot is asked for); options
  // with one dash belong to the toolkit.
  QStringList ours{"orvanta"};
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--", 2) == 0 || (i > 1 && std::strncmp(argv[i - 1], "--", 2) == 0 &&
                                                std::strcmp(argv[i - 1], "--lunar") != 0))
      ours << QString::fromLocal8Bit(argv[i]);
  ScreenshotRequest request;
  if (!ParseArguments(ours, request)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  // A screenshot is drawn off screen unless a platform is chosen explicitly.
  if (request.wanted && std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);

  QApplication app(argc, argv);
  // QApplication took the user's locale for the whole process; numbers in
  // files and reports keep the decimal point (Qt's own texts use QLocale).
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName("Orvanta");
  // The window speaks Korean: so do Qt's own buttons and dialogs.
  orv::InstallKoreanTranslations(app);
  if (!request.wanted) {
    orv::MainWindow window;
    window.show();
    return app.exec();
  }

  orv::StderrMessageSink messages;
  orv::SystemClock clock;
  const orv::AppFolders folders = orv::DesktopAppFolders(QCoreApplication::applicationDirPath().toStdString(),
                                                         orv::UserFoldersFromEnvironment());
  orv::MainWindow window(folders, messages, clock);
  window.StartUp();
  if (request.hasMonth) window.ShowMonth(request.year, request.month, request.lunar);
  const QSize size = request.width > 0 ? QSize(request.width, request.height) : QSize();
  if (!window.SaveScreenshot(QString::fromStdString(request.file), size)) {
    std::fprintf(stderr, "cannot write %s\n", request.file.c_str());
    return 1;
  }
  return 0;
}
