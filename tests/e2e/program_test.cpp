// The real program: command-line options, the single instance and its
// hand-off, shut-down by signal keeping settings and playlist, and the
// desktop's file associations.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>
#include <algorithm>
#include <csignal>
#include <vector>

#include "media_files.h"
#include "platform/folders.h"
#include "support/gui_app.h"
#include "support/loopback_http.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

class ProgramTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::ensureApp(); }

  // The program on this test's home, with a short splash and a service on a
  // port that refuses at once (unless `extraEnv` says otherwise).
  std::unique_ptr<QProcess> launch(const QStringList &args, const QMap<QString, QString> &extraEnv = {},
                                   QProcess::ProcessChannelMode mode = QProcess::ForwardedErrorChannel,
                                   const QString &workDir = QString()) {
    auto p = std::make_unique<QProcess>();
    p->setWorkingDirectory(workDir);
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert(QStringLiteral("CANTOREL_HOME"), home_.path());
    e.insert(QStringLiteral("CANTOREL_RECORD_DESKTOP"), home_.filePath(QStringLiteral("desktop.log")));
    e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    e.insert(QStringLiteral("CANTOREL_SPLASH_MS"), QStringLiteral("20"));
    e.insert(QStringLiteral("CANTOREL_SERVICE_URL"), QStringLiteral("http://127.0.0.1:9/"));
    for (auto it = extraEnv.begin(); it != extraEnv.end(); ++it) e.insert(it.key(), it.value());
    p->setProcessEnvironment(e);
    p->setProcessChannelMode(mode);
    p->start(test::programPath(QStringLiteral("cantorel")), args);
    EXPECT_TRUE(p->waitForStarted(10000));
    return p;
  }

  // Waits until the running instance answers on its channel.
  bool waitUntilListening() {
    const Folders f(home_.path(), QString(), QString(), home_.filePath(QStringLiteral("cantorel.conf")));
    QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
      QLocalSocket s;
      s.connectToServer(f.instanceKey());
      if (s.waitForConnected(200)) return true;
      QThread::msleep(50);
    }
    return false;
  }

  static void terminate(QProcess &p, int sig = SIGTERM) {
    ::kill(static_cast<pid_t>(p.processId()), sig);
    ASSERT_TRUE(p.waitForFinished(15000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
  }

  QByteArray file(const char *name) const { return test::readAll(home_.filePath(QString::fromUtf8(name))); }

  QTemporaryDir home_;
};

TEST_F(ProgramTest, LaterStartsAtOnceEachAddTheirFileOnce) {
  // Relative names are taken from the folder each start was given them in;
  // the files exist, as a missing one would be marked and dropped when played.
  const QString music = home_.filePath(QStringLiteral("music"));
  QStringList expected{QStringLiteral("music/own.mp3")};
  test::writeAll(music + QStringLiteral("/own.mp3"), "not really audio");
  // Its splash would stay up for a minute: the first hand-off ends it at once.
  auto first = launch({QStringLiteral("/ADD"), QStringLiteral("own.mp3")},
                      {{QStringLiteral("CANTOREL_SPLASH_MS"), QStringLiteral("60000")}},
                      QProcess::ForwardedErrorChannel, music);
  ASSERT_TRUE(waitUntilListening());

  // As a file manager enqueues a selection: one start per file, all at once.
  std::vector<std::unique_ptr<QProcess>> adds;
  for (int i = 0; i < 8; ++i) {
    const QString name = QStringLiteral("ADDICTS/song %1.mp3").arg(i);
    test::writeAll(music + u'/' + name, "not really audio");
    expected << QStringLiteral("music/") + name;
    adds.push_back(launch({QStringLiteral("/ADD"), name}, {}, QProcess::ForwardedErrorChannel, music));
  }
  for (auto &p : adds) {
    ASSERT_TRUE(p->waitForFinished(15000));
    EXPECT_EQ(p->exitCode(), 0);
  }
  terminate(*first);
  // Files beside the playlist are written relative to it; the own file first,
  // the others in the order they arrived.
  QStringList lines =
      QString::fromUtf8(file("playlist.m3u")).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
  std::sort(lines.begin() + std::min<qsizetype>(1, lines.size()), lines.end());
  EXPECT_EQ(lines, expected);
  const QByteArray conf = file("cantorel.conf");
  EXPECT_FALSE(conf.contains("OtherFile=")) << conf.constData();
}

// SIGTERM and SIGINT end the player normally with its playlist and settings
// saved; one killed outright has saved them at its last checkpoint (every
// 100 ms here). The first-run page opens at the first start only.
TEST_F(ProgramTest, SignalsAndAKillKeepThePlaylistAndTheFirstRunPageOpensOnce) {
  for (int sig : {SIGTERM, SIGINT, SIGKILL}) {
    const QString song = QStringLiteral("/music/%1.mp3").arg(sig);
    // What the last run saved, without the entry this run must write again.
    test::writeAll(home_.filePath(QStringLiteral("cantorel.conf")),
                   file("cantorel.conf").replace("LastTrack= 1", ""));
    auto p = launch({QStringLiteral("/ADD"), song}, {{QStringLiteral("CANTOREL_CHECKPOINT_MS"),
                                                      QLatin1String(sig == SIGKILL ? "100" : "600000")}});
    ASSERT_TRUE(waitUntilListening());
    if (sig == SIGKILL) {
      ASSERT_TRUE(test::spinUntil([&] { return file("playlist.m3u").contains(song.toUtf8()); }, 10000));
      ::kill(static_cast<pid_t>(p->processId()), SIGKILL);
      p->waitForFinished(10000);
    } else {
      terminate(*p, sig);
    }
    EXPECT_EQ(file("playlist.m3u"), song.toUtf8() + "\r\n") << sig;
    EXPECT_TRUE(file("cantorel.conf").contains("\nLastTrack= 1\n")) << sig;
  }
  const QByteArray log = file("desktop.log");
  EXPECT_EQ(log.count("url "), 1) << log.constData();
  EXPECT_TRUE(log.contains("url http://127.0.0.1:9/descarga_qv.php?id=1"));
}

// Damaged settings give defaults (start mode 0: the last playlist is not
// read), and that leaves the last playlist as it was; the settings file is
// kept aside.
TEST_F(ProgramTest, DamagedSettingsStillStartAndTheLastPlaylistIsKept) {
  const QByteArray playlist = "/music/one.mp3\r\n/music/two.mp3\r\n";
  test::writeAll(home_.filePath(QStringLiteral("playlist.m3u")), playlist);
  for (const QByteArray &damaged : {QByteArray("\0\0\0garbage", 10), QByteArray("\x7f"
                                                                                "ELF\x02\x01\x01\xff\x90")}) {
    test::writeAll(home_.filePath(QStringLiteral("cantorel.conf")), damaged);
    auto p = launch({});
    ASSERT_TRUE(waitUntilListening());
    terminate(*p);
    EXPECT_TRUE(file("cantorel.conf").contains("Language=ENGLISH"));
    EXPECT_EQ(file("cantorel.conf.damaged"), damaged);
    EXPECT_EQ(file("playlist.m3u"), playlist);
  }
}

// Files that cannot be decoded are reported and skipped once each, and a
// playlist of nothing else stops; volume and balance are kept.
TEST_F(ProgramTest, BadFilesAreSkippedThenPlaybackStopsAndTheVolumeIsKept) {
  const QByteArray noise = test::makeNoise(100 * 1024);
  test::writeAll(home_.filePath(QStringLiteral("bad.mp3")), noise);
  test::writeAll(home_.filePath(QStringLiteral("bad2.mp3")), noise.left(5000));
  const QByteArray playlist = "bad.mp3\r\nbad2.mp3\r\n";
  test::writeAll(home_.filePath(QStringLiteral("playlist.m3u")), playlist);
  test::writeAll(home_.filePath(QStringLiteral("cantorel.conf")),
                 "[Cantorel v4.0/config]\nStartMd=1\nAutoPlay=1\nLastTrack=1\nVolume=44\nBalance=30\n");
  auto p =
      launch({}, {{QStringLiteral("CANTOREL_NULL_AUDIO"), QStringLiteral("1")}}, QProcess::SeparateChannels);
  ASSERT_TRUE(waitUntilListening());
  QThread::msleep(5000);  // long enough to have tried every entry more than once
  terminate(*p);
  const QByteArray err = p->readAllStandardError();
  EXPECT_EQ(err.count("cannot play"), 2) << err.constData();
  EXPECT_EQ(file("playlist.m3u"), playlist);  // nothing dropped
  EXPECT_TRUE(file("cantorel.conf").contains("\nLastTrack= 2\n"));
  EXPECT_TRUE(file("cantorel.conf").contains("\nVolume= 44\nBalance= 30\n"));
}

TEST_F(ProgramTest, TheNewsMessageIsShownOncePerDistinctMessage) {
  test::LoopbackHttpServer server;
  auto serve = [&server](const QByteArray &news) {
    server.setResponse(test::LoopbackHttpServer::answer(
        200, news, {"Content-Length: " + QByteArray::number(news.size())}, 2));
  };
  const QMap<QString, QString> news{
      {QStringLiteral("CANTOREL_SERVICE_URL"), server.url(QStringLiteral("/"))},
      {QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("cantorel.desktop.news.info=true")}};
  // One run: waits until the news arrived, then ends the program (a signal
  // during the start-up lets it finish first). Returns whether the message
  // window was shown.
  auto run = [&](const QByteArray &expectFile) {
    auto p = launch({}, news, QProcess::SeparateChannels);
    EXPECT_TRUE(test::spinUntil([&] { return file("msg.txt") == expectFile; }, 15000));
    EXPECT_TRUE(waitUntilListening());  // it catches signals from here on
    terminate(*p);
    return p->readAllStandardError().contains("News message shown");
  };

  const QByteArray hello = "old#line\r\nhttp://127.0.0.1/submit.php#Hello <b>there</b>\r\n";
  serve(hello);
  EXPECT_TRUE(run(hello));
  EXPECT_TRUE(file("cantorel.conf").contains("\nMsgRemote=Hello <b>there</b>\n"));
  EXPECT_FALSE(run(hello));  // the same message again
  const QByteArray other = "http://127.0.0.1/submit.php#Version 4.1 is out\r\n";
  serve(other);
  EXPECT_TRUE(run(other));
  EXPECT_TRUE(file("cantorel.conf").contains("\nMsgRemote=Version 4.1 is out\n"));
}

// With the XDG folders pointed elsewhere (they stay untouched: the home
// holds it all), a start registers the file types without asking and
// --restore-associations gives them back.
TEST_F(ProgramTest, RegistersAssociationsWithoutAskingAndRestoreGivesThemBack) {
  const QString xdgDir = home_.filePath(QStringLiteral("xdg"));
  QDir().mkpath(xdgDir);
  const QMap<QString, QString> xdg{{QStringLiteral("XDG_CONFIG_HOME"), xdgDir},
                                   {QStringLiteral("XDG_DATA_HOME"), xdgDir}};
  test::writeAll(home_.filePath(QStringLiteral("cantorel.conf")),
                 "[Cantorel v4.0/config]\nAskForIt=0\nInstalado=SI\n");
  const QByteArray before = "[Default Applications]\naudio/mpeg=other.desktop;\ntext/plain=gedit.desktop\n";
  test::writeAll(home_.filePath(QStringLiteral(".config/mimeapps.list")), before);
  auto p = launch({}, xdg);
  EXPECT_TRUE(test::spinUntil(
      [&] { return file(".config/mimeapps.list").contains("audio/mpeg=cantorel.desktop;"); }, 20000));
  terminate(*p);
  EXPECT_FALSE(file("desktop.log").contains("question "));
  EXPECT_TRUE(file(".local/share/applications/cantorel.desktop")
                  .contains(QByteArray("Exec=" + test::programPath(QStringLiteral("cantorel")).toUtf8() +
                                       " /ADD %f\n")));
  EXPECT_TRUE(QDir(xdgDir).isEmpty());

  auto restore = launch({QStringLiteral("--restore-associations")}, xdg);
  ASSERT_TRUE(restore->waitForFinished(10000));
  EXPECT_EQ(restore->exitCode(), 0);
  EXPECT_EQ(file(".config/mimeapps.list"), before);
  EXPECT_FALSE(QFile::exists(home_.filePath(QStringLiteral(".config/cantorel/associations-backup.list"))));
}

// A signal while the start-up waits on the association question (shown for
// real here), or while the splash is still up, ends the program at once with
// its settings saved, instead of waiting for someone to answer.
TEST_F(ProgramTest, ASignalDoesNotWaitForTheStartUpQuestion) {
  for (const char *splashMs : {"20", "60000"}) {
    SCOPED_TRACE(splashMs);
    test::writeAll(home_.filePath(QStringLiteral("cantorel.conf")), "[Cantorel v4.0/config]\nInstalado=SI\n");
    auto p = launch({}, {{QStringLiteral("XDG_CONFIG_HOME"), home_.filePath(QStringLiteral("xdg"))},
                         {QStringLiteral("XDG_DATA_HOME"), home_.filePath(QStringLiteral("xdg"))},
                         {QStringLiteral("CANTOREL_RECORD_DESKTOP"), QString()},
                         {QStringLiteral("CANTOREL_SPLASH_MS"), QString::fromLatin1(splashMs)}});
    QThread::msleep(2000);  // the splash or the question is up by then
    terminate(*p);
    EXPECT_TRUE(file("cantorel.conf").contains("\nAskForIt="));
    // The question was answered "Cancel" or never asked: nothing registered.
    EXPECT_FALSE(QFile::exists(home_.filePath(QStringLiteral(".config/mimeapps.list"))));
  }
}

}  // namespace
}  // namespace cantorel
