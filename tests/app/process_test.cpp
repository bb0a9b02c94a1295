// The program as a process: start-up conditions that must end it with a clear message and
// a nonzero exit code, before any stage is opened.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <algorithm>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

struct Outcome {
  int exitCode;
  std::string out;
  std::string err;
};

// Runs a copy of the program from `dir`, next to whatever panel file `dir` holds.
Outcome runFrom(const QTemporaryDir& dir, const QProcessEnvironment& env) {
  const QString exe = dir.filePath("quarlex");
  QFile::copy(QUARLEX_EXE, exe);
  QProcess process;
  process.setProcessEnvironment(env);
  process.setWorkingDirectory(dir.path());
  process.start(exe, {});
  EXPECT_TRUE(process.waitForFinished(60000));
  return {process.exitCode(), process.readAllStandardOutput().toStdString(),
          process.readAllStandardError().toStdString()};
}

// Each test's program gets a runtime folder of its own (private, as that folder must be), so
// tests that run at the same time do not share the single-instance lock.
QProcessEnvironment offscreen(const QTemporaryDir& runtimeDir) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("XDG_RUNTIME_DIR", runtimeDir.path());
  return env;
}

std::string realPanel() {
  QFile file(QUARLEX_PANEL);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  return file.readAll().toStdString();
}

void writeFile(const QTemporaryDir& dir, const std::string& text) {
  QFile file(dir.filePath("Quarlex_ui.uir"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text.data(), static_cast<qint64>(text.size()));
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TEST(ProcessTest, NoDisplayEndsWithMinusOneAndSaysWhy) {
  QTemporaryDir dir;
  writeFile(dir, realPanel());
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) env.remove(name);
  const Outcome outcome = runFrom(dir, env);
  EXPECT_EQ(outcome.exitCode, 255);  // -1
  // One line, saying why: the operator has no window to read.
  EXPECT_NE(outcome.err.find("no display"), std::string::npos) << outcome.err;
  EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
  EXPECT_EQ(outcome.out, "");
}

TEST(ProcessTest, UnusablePanelFilesAreRefusedBeforeAnyStageOpens) {
  struct Case {
    const char* what;
    std::string panel;  // empty: no panel file at all
    const char* named;  // what the message must name
  };
  const std::string real = realPanel();
  const Case cases[] = {
      {"missing", "", "Quarlex_ui.uir"},
      {"not XML", "this is not a panel", "Quarlex_ui.uir"},
      {"duplicate id",
       replaced(real, "<number>79</number>", "<number>80</number>"), "80"},
      {"control missing", replaced(real, "<number>108</number>", "<number>107</number>"), "108"},
      // The first double indicator in the file is the X position readout.
      {"wrong type", replaced(real, "<string>double</string>", "<string>int</string>"), "73"},
      {"unknown callback", replaced(real, "<string>TimerCB</string>", "<string>NoSuchCB</string>"),
       "NoSuchCB"},
      {"timer callbacks swapped",
       replaced(replaced(replaced(real, "<string>LTS_Timeout</string>", "<string>swap</string>"),
                         "<string>TimerCB</string>", "<string>LTS_Timeout</string>"),
                "<string>swap</string>", "<string>TimerCB</string>"),
       "control 87 (watchdog timer) calls TimerCB, not LTS_Timeout"},
      {"window close starts a scan",
       replaced(real, "<property name=\"closeCtrl\" stdset=\"0\">\n   <number>2</number>",
                "<property name=\"closeCtrl\" stdset=\"0\">\n   <number>91</number>"),
       "closing the window presses control 91"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QTemporaryDir dir;
    if (!c.panel.empty()) writeFile(dir, c.panel);
    const Outcome outcome = runFrom(dir, offscreen(dir));
    EXPECT_NE(outcome.exitCode, 0);
    EXPECT_NE(outcome.err.find("Quarlex_ui.uir"), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find(c.named), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.out.find("Connected"), std::string::npos) << outcome.out;
    EXPECT_EQ(outcome.out.find("err="), std::string::npos) << outcome.out;
  }
}

// A FIFO used to hang start-up in its open, and a link to /dev/zero to read until memory ran
// out; both are refused at once, before any stage opens.
TEST(ProcessTest, PanelFileThatIsNoRegularFileIsRefusedAtOnce) {
  struct Case {
    const char* what;
    bool (*make)(const QString& path);
  };
  const Case cases[] = {
      {"link to /dev/zero", [](const QString& path) { return QFile::link("/dev/zero", path); }},
      {"folder", [](const QString& path) { return QDir().mkdir(path); }},
#ifndef _WIN32
      {"FIFO", [](const QString& path) { return mkfifo(path.toLocal8Bit().constData(), 0600) == 0; }},
#endif
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QTemporaryDir dir;
    ASSERT_TRUE(c.make(dir.filePath("Quarlex_ui.uir")));
    const Outcome outcome = runFrom(dir, offscreen(dir));
    EXPECT_NE(outcome.exitCode, 0);
    EXPECT_NE(outcome.err.find("Quarlex_ui.uir\": it is not a regular file\n"), std::string::npos) << outcome.err;
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
    EXPECT_EQ(outcome.out.find("Connected"), std::string::npos) << outcome.out;
  }
}

// A program left running in `dir` with `runtimeDir` as its runtime folder, once it holds the
// single-instance lock; killed at the end of the test.
class RunningInstance {
 public:
  RunningInstance(const QTemporaryDir& dir, const QTemporaryDir& runtimeDir) {
    writeFile(dir, realPanel());
    const QString exe = dir.filePath("quarlex");
    QFile::copy(QUARLEX_EXE, exe);
    process_.setProcessEnvironment(offscreen(runtimeDir));
    process_.setWorkingDirectory(dir.path());
    process_.start(exe, {});
    EXPECT_TRUE(process_.waitForStarted(60000));
    pid_ = process_.processId();
    // The lock file names its holder's process id on its first line.
    const QString lock = runtimeDir.filePath("quarlex.lock");
    for (int i = 0; i < 600 && lockHolder(lock) != pid_; ++i) process_.waitForFinished(100);
    EXPECT_EQ(lockHolder(lock), pid_);
  }
  ~RunningInstance() { kill(); }
  qint64 pid() const { return pid_; }  // also once it has ended
  void kill() {
    process_.kill();
    process_.waitForFinished(60000);
  }

  static qint64 lockHolder(const QString& lock) {
    QFile file(lock);
    return file.open(QIODevice::ReadOnly) ? file.readLine().trimmed().toLongLong() : 0;
  }

 private:
  QProcess process_;
  qint64 pid_ = 0;
};

TEST(ProcessTest, ASecondInstanceIsRefusedWithOneLineNamingTheFirst) {
  const QTemporaryDir runtimeDir;
  const QTemporaryDir firstDir;
  const RunningInstance first(firstDir, runtimeDir);
  QTemporaryDir secondDir;
  writeFile(secondDir, realPanel());
  const Outcome second = runFrom(secondDir, offscreen(runtimeDir));
  EXPECT_EQ(second.exitCode, 3);
  EXPECT_NE(second.err.find("another instance already runs (process " + std::to_string(first.pid()) + " on "),
            std::string::npos)
      << second.err;
  EXPECT_EQ(std::count(second.err.begin(), second.err.end(), '\n'), 1) << second.err;
  EXPECT_EQ(second.out, "");  // no stage was opened
}

TEST(ProcessTest, ALockLeftByAKilledInstanceDoesNotBlockTheNext) {
  const QTemporaryDir runtimeDir;
  const QTemporaryDir firstDir;
  RunningInstance first(firstDir, runtimeDir);
  first.kill();  // no chance to remove its lock file
  ASSERT_EQ(RunningInstance::lockHolder(runtimeDir.filePath("quarlex.lock")), first.pid());
  const QTemporaryDir nextDir;
  const RunningInstance next(nextDir, runtimeDir);  // takes the lock over
}

}  // namespace
