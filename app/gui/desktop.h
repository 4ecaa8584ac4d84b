// What the window takes from the desktop: Qt's own Korean texts (standard
// buttons, file dialogs) and an editor that is started without waiting.
#pragma once

#include <QCoreApplication>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "app/core/files/editor.h"
#include "app/core/files/text_file.h"

namespace orv {

// Loads Qt's Korean translations (qtbase_ko from Debian's
// qt6-translations-l10n) into the application, so that standard buttons read
// "다시 시도", "취소", "저장" whatever the desktop's language. False when the
// file is not installed (the buttons then stay in English).
bool InstallKoreanTranslations(QCoreApplication& app);

// Starts the editor detached and returns at once: an editor that forks into
// the background (xdg-open) or one still open are alike to the window, which
// watches the file instead of waiting (FileWatch).
class DetachedProgramRunner : public ProgramRunner {
 public:
  bool RunAndWait(const std::vector<std::string>& command, const std::string& file) override;
};

// The editors the window tries: $VISUAL, then the desktop's opener. $EDITOR
// names a terminal editor, which without a terminal would exit unseen.
std::vector<std::vector<std::string>> WindowEditorCommands();

// Calls `changed` whenever the file at `path` is written, created, replaced
// (editors save by renaming a new file over the old one) or removed. The
// file is never read here: its stamp (kind, size, identity, change times) is
// compared, so that touching the folder for other files does not count and a
// file of the wrong kind or size costs nothing.
class FileWatch : public QObject {
  Q_OBJECT
 public:
  FileWatch(const QString& path, std::function<void()> changed, QObject* parent = nullptr);
  QString Path() const { return path_; }

 private:
  void Check(bool written);
  void Rearm();

  QString path_;
  std::function<void()> changed_;
  QFileSystemWatcher watcher_;
  FileStamp last_;
};

}  // namespace orv
