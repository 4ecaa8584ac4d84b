// The window and a memo file of the wrong kind or size: started on a link to
// /dev/zero, a FIFO, a folder or a 1 GB sparse file in place of "비망일.txt",
// it comes up with a message and an empty memo table; and the same things put
// in place while it runs reach it through its file watcher, which reads
// through the file's owner (one message, no hang, no endless reading). The
// waits are generous limits of the harness, not speed checks.
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "app/core/files/files.h"
#include "app/core/files/memo.h"
#include "window_fixture.h"

using namespace orv;

namespace {

// Seconds before the alarm ends a test that hangs (a read that blocks on the
// FIFO would never return).
constexpr unsigned kHangLimitSeconds = 60;
// How long the harness waits for the watcher's message, in milliseconds.
constexpr int kWatcherWaitMs = 20000;

struct Kind {
  const char* what;
  const char* message;  // a part of the message the window shows
};
const Kind kKinds[] = {
    {"link to /dev/zero", "일반 파일이 아니어서"},
    {"FIFO", "일반 파일이 아니어서"},
    {"folder", "일반 파일이 아니어서"},
    {"1 GB sparse file", "너무 커서"},
};

// Puts the kind of file `index` of kKinds at `path`.
bool Make(int index, const std::string& path) {
  switch (index) {
    case 0: return ::symlink("/dev/zero", path.c_str()) == 0;
    case 1: return ::mkfifo(path.c_str(), 0600) == 0;
    case 2: return ::mkdir(path.c_str(), 0700) == 0;
    default: break;
  }
  const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
  if (fd < 0) return false;
  const bool ok = ::ftruncate(fd, 1LL << 30) == 0;
  ::close(fd);
  return ok;
}

bool AnyMessageHas(const RecordingMessageSink& sink, const char* part) {
  for (const auto& m : sink.messages)
    if (m.text.find(part) != std::string::npos) return true;
  return false;
}

}  // namespace

class MemoFileTest : public QObject {
  Q_OBJECT
 private slots:
  void init() { ::alarm(kHangLimitSeconds); }
  void cleanup() { ::alarm(0); }

  void startsOnEveryWrongKindWithAMessage_data() {
    QTest::addColumn<int>("kind");
    for (int i = 0; i < static_cast<int>(std::size(kKinds)); ++i) QTest::newRow(kKinds[i].what) << i;
  }
  void startsOnEveryWrongKindWithAMessage() {
    QFETCH(int, kind);
    testing::TemporaryWindow w;
    QVERIFY(Make(kind, JoinPath(w.Folder(), kMemoFileName)));
    w.Create(w.Folders());
    w->StartUp();
    QVERIFY2(AnyMessageHas(w.messages, kKinds[kind].message), qPrintable(w.Last()));
    QVERIFY(w->App().Memos().empty());
  }

  void watcherReadsThroughTheOwner_data() { startsOnEveryWrongKindWithAMessage_data(); }
  void watcherReadsThroughTheOwner() {
    QFETCH(int, kind);
    testing::TemporaryWindow w;
    w.WriteMemos("1,2000,2,20,생일\n");
    w.Create(w.Folders());
    w->StartUp();
    QCOMPARE(w->App().Memos().size(), size_t{1});
    const size_t before = w.messages.messages.size();
    // Made beside and renamed into place, as an editor saves.
    const std::string path = JoinPath(w.Folder(), kMemoFileName);
    const std::string beside = JoinPath(w.Folder(), "new-memo");
    QVERIFY(Make(kind, beside));
    if (kind == 2) QVERIFY(::unlink(path.c_str()) == 0);  // a folder cannot be renamed over a file
    QVERIFY(std::rename(beside.c_str(), path.c_str()) == 0);
    QTRY_VERIFY_WITH_TIMEOUT(w->App().Memos().empty(), kWatcherWaitMs);
    QVERIFY(w.messages.messages.size() > before);
    QVERIFY2(AnyMessageHas(w.messages, kKinds[kind].message), qPrintable(w.Last()));
    // Other files changing in the folder do not bring the message again.
    const size_t shown = w.messages.messages.size();
    QVERIFY(WriteFileAtomically(JoinPath(w.Folder(), "other.txt"), "x"));
    QTest::qWait(300);
    QCOMPARE(w.messages.messages.size(), shown);
  }
};

QTEST_MAIN(MemoFileTest)
#include "tst_memofile.moc"
