#include "app/gui/desktop.h"

#include <sys/stat.h>

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

FileWatch::FileWatch(const QString& path, std::function<void()> changed, QObject* parent)
    : QObject(parent), path_(path), changed_(std::move(changed)) {
  last_ = StampOf(path_.toStdString());
  // A notice about the file itself means it was written (two writes within
  // one tick of the file system's clock leave the same stamp); one about the
  // folder counts only when the stamp changed.
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { Check(true); });
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { Check(false); });
  Rearm();
}

void FileWatch::Rearm() {
  // The folder tells of a file created or renamed into place; the file
  // itself of writes in place. A replaced file must be watched anew. Only a
  // regular file is watched itself: a device behind a link (/dev/zero) or a
  // FIFO is left to the folder's notices.
  const QString folder = QFileInfo(path_).absolutePath();
  if (!watcher_.directories().contains(folder)) watcher_.addPath(folder);
  const bool regular = S_ISREG(static_cast<mode_t>(StampOf(path_.toStdString()).mode));
  const bool watched = watcher_.files().contains(path_);
  if (regular && !watched) watcher_.addPath(path_);
  if (!regular && watched) watcher_.removePath(path_);
}

void FileWatch::Check(bool written) {
  Rearm();
  // The file's stamp, taken without opening it; whoever is told reads the
  // file through its owner, with that owner's checks.
  const FileStamp now = StampOf(path_.toStdString());
  if (now == last_ && !written) return;
  last_ = now;
  if (changed_) changed_();
}

}  // namespace orv
