// Opening the memo file and the help text in an editor, with fake and real
// programs.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <functional>

#include "app/core/files/editor.h"
#include "app/core/files/memo.h"
#include "cli_runner.h"

namespace orv {
namespace {

using testing::TempDir;

// Records the calls; starts only the programs listed in `startable`.
class FakeRunner : public ProgramRunner {
 public:
  std::vector<std::string> startable;
  std::vector<std::pair<std::vector<std::string>, std::string>> calls;
  std::function<void(const std::string&)> onRun;
  bool RunAndWait(const std::vector<std::string>& command, const std::string& file) override {
    calls.push_back({command, file});
    for (const auto& p : startable)
      if (!command.empty() && command[0] == p) {
        if (onRun) onRun(file);
        return true;
      }
    return false;
  }
};

TEST(Editor, VisualThenEditorThenTheDesktopOpener) {
  using Commands = std::vector<std::vector<std::string>>;
  EXPECT_EQ(EditorCommands("code --wait", "vi"), (Commands{{"code", "--wait"}, {"vi"}, {"xdg-open"}}));
  EXPECT_EQ(EditorCommands(nullptr, "nano"), (Commands{{"nano"}, {"xdg-open"}}));
  EXPECT_EQ(EditorCommands("  ", nullptr), (Commands{{"xdg-open"}}));
}

TEST(Editor, FallsBackToTheNextEditorThatStarts) {
  FakeRunner runner;
  runner.startable = {"vi"};
  RecordingMessageSink messages;
  EXPECT_TRUE(RunEditorAndWait(runner, EditorCommands("missing-editor", "vi"), "a.txt", messages));
  ASSERT_EQ(runner.calls.size(), 2u);
  EXPECT_EQ(runner.calls[1].first[0], "vi");
  EXPECT_EQ(runner.calls[1].second, "a.txt");
  EXPECT_TRUE(messages.messages.empty());
}

TEST(Editor, NothingStartsShowsTheMessage) {
  FakeRunner runner;
  RecordingMessageSink messages;
  EXPECT_FALSE(RunEditorAndWait(runner, EditorCommands(nullptr, nullptr), "a.txt", messages));
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text,
            "해당파일 실행 불가.\n\n파일: a.txt\n폴더: .\n\n이 파일을 열 편집기를 시작하지 못했습니다.\n"
            "폴더를 열려면 다시 시도를 누르세요.");
  EXPECT_EQ(messages.messages[0].caption, "오류");
}

TEST(Editor, RetryOpensTheFilesFolder) {
  FakeRunner runner;
  runner.startable = {};
  RecordingMessageSink messages;
  messages.answer = MessageAnswer::Retry;
  EXPECT_FALSE(RunEditorAndWait(runner, {{"missing-editor"}}, "/home/user/orvanta/비망일.txt", messages));
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_NE(messages.messages[0].text.find("파일: 비망일.txt\n폴더: /home/user/orvanta\n"), std::string::npos);
  ASSERT_EQ(runner.calls.size(), 2u);
  EXPECT_EQ(runner.calls[1].first, std::vector<std::string>{"xdg-open"});
  EXPECT_EQ(runner.calls[1].second, "/home/user/orvanta");
}

TEST(Editor, AMissingMemoFileIsCreatedBeforeItIsOpened) {
  TempDir dir;
  FakeRunner runner;
  runner.startable = {"ed"};
  std::string seen;
  runner.onRun = [&](const std::string& file) {
    seen = file;
    // The "editor" adds an anniversary.
    std::ofstream(file, std::ios::app) << "1,1990,5,5,wedding:\n";
  };
  RecordingMessageSink messages;
  ASSERT_TRUE(EditMemoFile(runner, {{"ed"}}, dir.path(), messages));
  EXPECT_EQ(seen, dir.file(kMemoFileName));
  MemoTable memos;
  ASSERT_TRUE(ReadMemoFile(memos, dir.path()));
  ASSERT_EQ(memos.size(), 1u);
  EXPECT_EQ(memos[0].name, "wedding:");
  // An existing file is opened as it is.
  dir.write(kMemoFileName, "1,2000,1,1,kept\n");
  ASSERT_TRUE(EditMemoFile(runner, {{"ed"}}, dir.path(), messages));
  EXPECT_EQ(dir.read(kMemoFileName), "1,2000,1,1,kept\n1,1990,5,5,wedding:\n");
}

TEST(Editor, TheHelpFileIsWrittenWhenMissing) {
  TempDir dir;
  FakeRunner runner;
  runner.startable = {"ed"};
  RecordingMessageSink messages;
  ASSERT_TRUE(OpenHelpFile(runner, {{"ed"}}, dir.path(), messages));
  EXPECT_EQ(dir.read(kHelpFileName), HelpFileText());
  dir.write(kHelpFileName, "mine");
  ASSERT_TRUE(OpenHelpFile(runner, {{"ed"}}, dir.path(), messages));
  EXPECT_EQ(dir.read(kHelpFileName), "mine");
}

TEST(Editor, SystemRunnerWaitsForTheProgram) {
  TempDir dir;
  // A shell script as the editor: it sleeps, then writes into the file.
  const std::string script = dir.file("fake-editor.sh");
  dir.write("fake-editor.sh", "#!/bin/sh\nsleep 0.2\necho edited >> \"$1\"\n");
  ::chmod(script.c_str(), 0755);
  dir.write("memo.txt", "");
  SystemProgramRunner runner;
  ASSERT_TRUE(runner.RunAndWait({script}, dir.file("memo.txt")));
  EXPECT_EQ(dir.read("memo.txt"), "edited\n");
  EXPECT_FALSE(runner.RunAndWait({dir.file("no-such-program")}, dir.file("memo.txt")));
  EXPECT_FALSE(runner.RunAndWait({}, dir.file("memo.txt")));
}

}  // namespace
}  // namespace orv
