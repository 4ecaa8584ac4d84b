// Opening a text file in the user's editor and waiting for it to close: the
// memo file from the day report, the help text from the about box, the CSV
// tables of the simulation window.
#pragma once

#include <string>
#include <vector>

#include "app/core/messages.h"

namespace orv {

// The help text opened from the about box, in the program's current folder.
inline constexpr const char* kHelpFileName = "Orvanta설명.txt";
// Shown (caption "오류") when no editor could be started.
inline constexpr const char* kCannotRunMessage = "해당파일 실행 불가.";
inline constexpr const char* kCannotRunCaption = "오류";

// Starts programs; tests substitute a fake.
class ProgramRunner {
 public:
  virtual ~ProgramRunner() = default;
  // Starts `command` (the program followed by its own arguments) with `file`
  // as the last argument and waits until it ends. False when it could not be
  // started; the program's exit status does not matter.
  virtual bool RunAndWait(const std::vector<std::string>& command, const std::string& file) = 0;
};

// fork and exec (the program is looked up in PATH) and waitpid.
class SystemProgramRunner : public ProgramRunner {
 public:
  bool RunAndWait(const std::vector<std::string>& command, const std::string& file) override;
};

// The editors to try, in order: $VISUAL, then $EDITOR (each split at blanks,
// so "code --wait" works), then xdg-open. Unset or blank variables are left
// out. `visual` and `editor` are the variables' values or null.
std::vector<std::vector<std::string>> EditorCommands(const char* visual, const char* editor);
// The same from the process environment.
std::vector<std::vector<std::string>> EditorCommandsFromEnvironment();

// The folder part of a path ("." when there is none).
std::string FolderOfPath(const std::string& path);
// kCannotRunMessage followed by the file's name and folder and the offer to
// open the folder (the Retry answer).
std::string CannotRunText(const std::string& file);

// Opens `file` with the first of `editors` that starts and waits for it (an
// editor that returns at once is fine: the callers watch the file). When none
// starts, shows CannotRunText (Retry/Cancel) and on Retry opens the file's
// folder with the desktop's opener; returns false.
bool RunEditorAndWait(ProgramRunner& runner, const std::vector<std::vector<std::string>>& editors,
                      const std::string& file, MessageSink& messages);

// The help text written into a new kHelpFileName.
std::string HelpFileText();

// Creates `folder`/`name` with `contents` unless the file exists. False when
// it is missing and could not be written.
bool EnsureFileExists(const std::string& folder, const std::string& name, const std::string& contents);

// The memo file of `folder` in the editor, created first (with comment lines
// and an example) when missing. The caller reloads the memo table afterwards.
bool EditMemoFile(ProgramRunner& runner, const std::vector<std::vector<std::string>>& editors,
                  const std::string& folder, MessageSink& messages);
// The help text of `folder` in the editor, written first when missing.
bool OpenHelpFile(ProgramRunner& runner, const std::vector<std::vector<std::string>>& editors,
                  const std::string& folder, MessageSink& messages);

}  // namespace orv
