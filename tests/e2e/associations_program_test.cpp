// The real program and the desktop's file associations, with the XDG folders
// pointed at temporary ones: registering without asking, a signal during the
// start-up question, and --restore-associations. (The question itself is
// answered by hand in tests/desktop/input_test.sh.)
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>
#include <csignal>

#include "support/test_support.h"

namespace cantorel {
namespace {

class AssociationsProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!QCoreApplication::instance()) {
      static int argc = 1;
      static char name[] = "e2e";
      static char *argv[] = {name, nullptr};
      new QCoreApplication(argc, argv);
    }
    // The XDG folders exist but stay untouched: CANTOREL_HOME holds it all.
    QDir().mkpath(path("config"));
    QDir().mkpath(path("data"));
  }
  QString path(const char *name) const { return dir.filePath(QString::fromUtf8(name)); }

  QProcessEnvironment env() const {
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert(QStringLiteral("CANTOREL_HOME"), path("home"));
    e.insert(QStringLiteral("CANTOREL_RECORD_DESKTOP"), path("desktop.log"));
    e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    e.insert(QStringLiteral("XDG_CONFIG_HOME"), path("config"));
    e.insert(QStringLiteral("XDG_DATA_HOME"), path("data"));
    return e;
  }

  // Starts the program, waits (bounded) until `done` holds, then ends it by
  // SIGTERM: it ends at once and well.
  void runUntil(const std::function<bool()> &done, const QProcessEnvironment &e) {
    QProcess p;
    p.setProcessEnvironment(e);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(test::programPath(QStringLiteral("cantorel")), {});
    ASSERT_TRUE(p.waitForStarted(10000));
    QDeadlineTimer deadline(20000);
    while (!done() && !deadline.hasExpired()) QThread::msleep(50);
    ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
    ASSERT_TRUE(p.waitForFinished(15000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(done());
  }

  int restore(QByteArray *err = nullptr) {
    QProcess p;
    p.setProcessEnvironment(env());
    p.start(test::programPath(QStringLiteral("cantorel")), {QStringLiteral("--restore-associations")});
    EXPECT_TRUE(p.waitForFinished(10000));
    if (err) *err = p.readAllStandardError();
    return p.exitCode();
  }

  QTemporaryDir dir;
};

TEST_F(AssociationsProgram, RegistersWithoutAskingAndRestoreGivesTheTypesBack) {
  QDir().mkpath(path("home"));
  test::writeAll(path("home/cantorel.conf"), "[Cantorel v4.0/config]\nAskForIt=0\nInstalado=SI\n");
  const QByteArray before = "[Default Applications]\naudio/mpeg=other.desktop;\ntext/plain=gedit.desktop\n";
  test::writeAll(path("home/.config/mimeapps.list"), before);

  runUntil(
      [this] {
        return test::readAll(path("home/.config/mimeapps.list")).contains("audio/mpeg=cantorel.desktop;");
      },
      env());
  EXPECT_FALSE(test::readAll(path("desktop.log")).contains("question "));
  const QByteArray entry = test::readAll(path("home/.local/share/applications/cantorel.desktop"));
  const QByteArray exec =
      QByteArray("Exec=") + test::programPath(QStringLiteral("cantorel")).toUtf8() + QByteArray(" /ADD %f\n");
  EXPECT_TRUE(entry.contains("\nIcon=/") && entry.contains("/icons/cantorel.png\n")) << entry.constData();
  EXPECT_TRUE(entry.contains(exec)) << entry.constData();

  EXPECT_TRUE(QDir(path("config")).isEmpty() && QDir(path("data")).isEmpty());

  EXPECT_EQ(restore(), 0);
  EXPECT_EQ(test::readAll(path("home/.config/mimeapps.list")), before);
  EXPECT_FALSE(QFile::exists(path("home/.config/cantorel/associations-backup.list")));

  // A list it cannot read is reported, not overwritten.
  test::writeAll(path("home/.config/cantorel/associations-backup.list"),
                 "[Previous Defaults]\naudio/mpeg=other.desktop;\n");
  test::writeAll(path("home/.config/mimeapps.list"), "[Default Applications]\naudio/mpeg=caf\xe9.desktop\n");
  QByteArray err;
  EXPECT_EQ(restore(&err), 1);
  EXPECT_TRUE(err.contains("mimeapps.list")) << err.constData();
}

// A signal while the start-up waits on the question (shown for real here),
// or while the splash is still up, ends the program at once with its
// settings saved, instead of waiting for someone to answer.
TEST_F(AssociationsProgram, ASignalDoesNotWaitForTheStartUpQuestion) {
  QDir().mkpath(path("home"));
  // A short splash: the signal finds the question up; a long one: the splash.
  for (const char *splashMs : {"20", "60000"}) {
    SCOPED_TRACE(splashMs);
    test::writeAll(path("home/cantorel.conf"), "[Cantorel v4.0/config]\nInstalado=SI\n");
    QProcessEnvironment e = env();
    e.insert(QStringLiteral("CANTOREL_RECORD_DESKTOP"), QString());
    e.insert(QStringLiteral("CANTOREL_SPLASH_MS"), QString::fromUtf8(splashMs));
    // Two seconds: the splash or the question is up by then (nothing answers
    // the question here).
    QElapsedTimer t;
    t.start();
    runUntil([&t] { return t.elapsed() > 2000; }, e);
    EXPECT_TRUE(test::readAll(path("home/cantorel.conf")).contains("\nAskForIt="));
    // The question was answered "Cancel" or never asked: nothing registered.
    EXPECT_FALSE(QFile::exists(path("home/.config/mimeapps.list")));
  }
}

}  // namespace
}  // namespace cantorel
