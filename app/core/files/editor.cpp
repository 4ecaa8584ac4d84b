#include "app/core/files/editor.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <sstream>

#include "app/core/files/files.h"
#include "app/core/files/memo.h"

namespace orv {
namespace {

// The fallback that opens a file in the desktop's default application.
constexpr const char* kDesktopOpener = "xdg-open";

std::vector<std::string> SplitWords(const char* text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

}  // namespace

std::string FolderOfPath(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string CannotRunText(const std::string& file) {
  const auto slash = file.find_last_of('/');
  const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
  return std::string(kCannotRunMessage) + "\n\n파일: " + name + "\n폴더: " + FolderOfPath(file) +
         "\n\n이 파일을 열 편집기를 시작하지 못했습니다.\n폴더를 열려면 다시 시도를 누르세요.";
}

bool SystemProgramRunner::RunAndWait(const std::vector<std::string>& command, const std::string& file) {
  if (command.empty()) return false;
  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(const_cast<char*>(file.c_str()));
  argv.push_back(nullptr);

  // The child reports a failed exec through this pipe; a successful exec
  // closes it (close-on-exec) without writing.
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return false;
  const pid_t pid = ::fork();
  if (pid < 0) {
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    return false;
  }
  if (pid == 0) {
    ::close(pipeFds[0]);
    ::execvp(argv[0], argv.data());
    const int error = errno;
    [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &error, sizeof error);
    ::_exit(127);
  }
  ::close(pipeFds[1]);
  int childError = 0;
  ssize_t got;
  do {
    got = ::read(pipeFds[0], &childError, sizeof childError);
  } while (got < 0 && errno == EINTR);
  ::close(pipeFds[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return got == 0;
}

std::vector<std::vector<std::string>> EditorCommands(const char* visual, const char* editor) {
  std::vector<std::vector<std::string>> commands;
  for (const char* variable : {visual, editor}) {
    if (!variable) continue;
    std::vector<std::string> words = SplitWords(variable);
    if (!words.empty()) commands.push_back(std::move(words));
  }
  commands.push_back({kDesktopOpener});
  return commands;
}

std::vector<std::vector<std::string>> EditorCommandsFromEnvironment() {
  return EditorCommands(::getenv("VISUAL"), ::getenv("EDITOR"));
}

bool RunEditorAndWait(ProgramRunner& runner, const std::vector<std::vector<std::string>>& editors,
                      const std::string& file, MessageSink& messages) {
  for (const auto& command : editors)
    if (runner.RunAndWait(command, file)) return true;
  // Say which file and where it is, and offer its folder in the file manager
  // so that the user can open it some other way.
  const std::string folder = FolderOfPath(file);
  if (messages.Show(CannotRunText(file), kCannotRunCaption, MessageButtons::RetryCancel, MessageIcon::Error) ==
      MessageAnswer::Retry)
    runner.RunAndWait({kDesktopOpener}, folder);
  return false;
}

bool EnsureFileExists(const std::string& folder, const std::string& name, const std::string& contents) {
  const std::string path = JoinPath(folder, name);
  if (FileExists(path)) return true;
  return WriteFileAtomically(path, contents);
}

bool EditMemoFile(ProgramRunner& runner, const std::vector<std::vector<std::string>>& editors,
                  const std::string& folder, MessageSink& messages) {
  EnsureFileExists(folder, kMemoFileName, MemoFileTemplate());
  return RunEditorAndWait(runner, editors, JoinPath(folder, kMemoFileName), messages);
}

bool OpenHelpFile(ProgramRunner& runner, const std::vector<std::vector<std::string>>& editors,
                  const std::string& folder, MessageSink& messages) {
  EnsureFileExists(folder, kHelpFileName, HelpFileText());
  return RunEditorAndWait(runner, editors, JoinPath(folder, kHelpFileName), messages);
}

std::string HelpFileText() {
  return
      "Orvanta 사용 설명\n"
      "=================\n"
      "\n"
      "Orvanta는 해와 달의 위치를 직접 계산하여 양력과 음력, 24절기, 합삭과 망,\n"
      "일식과 월식을 보여 주는 달력입니다. 책력 자료를 저장해 두지 않고 모든\n"
      "날짜를 천체력 계산으로 정합니다.\n"
      "\n"
      "1. 달력 보기\n"
      "   - 연도와 월을 넣고 '달력보기'를 누르면 그 달의 달력이 나옵니다.\n"
      "     기원전(BC)과 기원후(AD)를 고를 수 있고, 기원전 1년은 0년으로 셉니다.\n"
      "   - 양력/음력 단추로 달력의 기준을 바꿉니다. 음력으로 볼 때 '윤달'을\n"
      "     고르면 그 달의 윤달을 보여 줍니다.\n"
      "   - 날짜칸에는 양력 날짜, 음력 날짜(또는 양력 날짜), 일진이 표시되고\n"
      "     절기(!, @), 복날($), 한식과 단오(#), 합삭과 망, 일식과 월식이\n"
      "     함께 적힙니다.\n"
      "   - 1582년 10월 4일까지는 율리우스력, 10월 15일부터는 그레고리력입니다.\n"
      "\n"
      "2. 날짜 보고서\n"
      "   날짜칸을 누르면 그 날의 세차, 월건, 일진과 28수, 오늘부터의 날수,\n"
      "   율리우스일, Delta T, 항성시, 해와 달의 황경/황위와 적경/적위,\n"
      "   해와 달이 뜨고 지는 시각, 정오의 월령, 남해안 물때를 보여 줍니다.\n"
      "   '다시시도'를 누르면 비망일.txt 파일을 편집할 수 있습니다.\n"
      "\n"
      "3. 한 해의 보고서\n"
      "   - 절기(해): 그 해 24절기의 시각과 한식, 단오, 복날, 토왕용사\n"
      "   - 삭망(달): 음력 각 달의 합삭과 망의 시각 (윤달 표시)\n"
      "   - 일/월식: 왼쪽 클릭은 선택한 지역에서 본 일월식, 오른쪽 클릭은\n"
      "     지구 전체의 일월식입니다. 지역 일월식은 지역표준시로 계산합니다.\n"
      "   - 금년기념일: 국경일과 공휴일의 요일과 몇 주년인지를 보여 줍니다.\n"
      "\n"
      "4. 30년 표\n"
      "   '전'이나 '후'를 고른 다음\n"
      "   - 윤달년월: 30년 동안 윤달이 든 해와 달\n"
      "   - 음력월일: 선택한 양력 날짜에 해당하는 30년 동안의 음력 날짜\n"
      "   - 양력월일: 선택한 음력 날짜에 해당하는 30년 동안의 양력 날짜\n"
      "   음력월일과 양력월일은 먼저 날짜칸을 눌러 날짜를 선택해야 합니다.\n"
      "\n"
      "5. 설정\n"
      "   - 천체력: 내장된 PLAN404 이론, 또는 JPL DE431/DE441 파일\n"
      "     (DE431.jpl, DE441.jpl을 프로그램 폴더나 그 아래 Eph 폴더에 둡니다)\n"
      "   - 세차, 장동, 황도경사 모형과 Delta T 모형(NASA, Horizons, 직접 입력)\n"
      "   - 시간체계: 지구시(TT), 세계시(UT), 선택한 지역의 표준시(ST)\n"
      "   - 표시지역: 세계 652개 지역 가운데 고릅니다. 지역경위고도.txt에\n"
      "     \"표준자오선,이름,경도,위도,고도,섬머타임설명,\" 형식으로 50곳까지\n"
      "     더할 수 있습니다.\n"
      "   - 보정: 서울과 북경(명청)에서 음력 2년부터 1911년까지의 음력을 옛\n"
      "     책력의 달 그대로 보여 줍니다. 서울은 1391~1911년 한국천문연구원이\n"
      "     펴낸 음력(1000~1390년은 그 복원 음력, 그 이전은 중국 음력), 북경은\n"
      "     중국 역대 왕조의 음력을 따릅니다. 그 밖의 해는 계산한 음력입니다.\n"
      "   설정은 Orvanta.cfg 파일에 저장됩니다.\n"
      "\n"
      "6. 비망일.txt\n"
      "   기념일을 한 줄에 하나씩 \"종류,첫해,월,일,이름\" 형식으로 적습니다.\n"
      "   종류는 양력 1, 음력 -1, 음력 윤달 -2이고, 이름에 ':'를 넣으면 붉게,\n"
      "   ';'를 넣으면 강조색으로 표시됩니다. 빈 줄에서 읽기를 멈춥니다.\n"
      "   예) 1,1990,5,5,결혼기념일:\n"
      "   오른쪽 \"비망일 편집\" 단추로 목록을 보며 더하고 고치고 지울 수 있고,\n"
      "   그렇게 저장한 파일은 띄어 쓴 이름과 150개가 넘는 기념일도 읽습니다.\n"
      "   \"다가오는 날\" 단추는 앞으로 30일 동안의 기념일·공휴일·절기를\n"
      "   D-N과 함께 보여 줍니다.\n"
      "\n"
      "7. 명령줄\n"
      "   orvanta-cli로 같은 보고서를 터미널에서 볼 수 있습니다.\n"
      "   예) orvanta-cli day 2024-02-10, orvanta-cli terms 2024,\n"
      "       orvanta-cli holidays 2024, orvanta-cli help\n";
}

}  // namespace orv
