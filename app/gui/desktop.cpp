#include "app/gui/desktop.h"

#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QProcess>
#include <QStringList>
#include <QTranslator>
#include <cstdlib>

namespace orv {

bool InstallKoreanTranslations(QCoreApplication& app) {
  auto* translator = new QTranslator(&app);
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!translator->load("qtbase_ko", folder)) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

bool DetachedProgramRunner::RunAndWait(const std::vector<std::string>& command, const std::string& file) {
  if (command.empty()) return false;
  QStringList arguments;
  for (size_t i = 1; i < command.size(); ++i) arguments << QString::fromStdString(command[i]);
  arguments << QString::fromStdString(file);
  return QProcess::startDetached(QString::fromStdString(command[0]), arguments);
}

std::vector<std::vector<std::string>> WindowEditorCommands() { return EditorCommands(std::getenv("VISUAL"), nullptr); }

namespace {

QByteArray ContentsOf(const QString& path, bool& exists) {
  QFile file(path);
  exists = file.exists();
  if (!exists || !file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

}  // namespace

FileWatch::FileWatch(const QString& path, std::function<void()> changed, QObject* parent)
    : QObject(parent), path_(path), changed_(std::move(changed)) {
  lastContents_ = ContentsOf(path_, existed_);
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { Check(); });
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { Check(); });
  Rearm();
}

void FileWatch::Rearm() {
  // The folder tells of a file created or renamed into place; the file
  // itself of writes in place. A replaced file must be watched anew.
  const QString folder = QFileInfo(path_).absolutePath();
  if (!watcher_.directories().contains(folder)) watcher_.addPath(folder);
  if (QFileInfo::exists(path_) && !watcher_.files().contains(path_)) watcher_.addPath(path_);
}

void FileWatch::Check() {
  Rearm();
  bool exists = false;
  const QByteArray contents = ContentsOf(path_, exists);
  if (exists == existed_ && contents == lastContents_) return;
  existed_ = exists;
  lastContents_ = contents;
  if (changed_) changed_();
}

}  // namespace orv
