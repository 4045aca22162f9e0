// qv_input_gst through the null audio sink on the real clock, driven by name
// the way the player drives it, and through the transport. Every media file
// is made at test time.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QVariantMap>

#include <gtest/gtest.h>

#include <cmath>

#include "media_files.h"
#include "playback/transport.h"
#include "plugins/plugin_host.h"
#include "plugins/plugin_object.h"
#include "support/loopback_http.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

using test::spinUntil;

class GstPlayback : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(qEnvironmentVariable("CANTOREL_NULL_AUDIO"), QStringLiteral("1"));
    player = host.create(PluginKind::Input, QStringLiteral("qv_input_gst"));
    ASSERT_TRUE(player) << "qv_input_gst not built in " << qPrintable(host.pluginDir());
  }
  void TearDown() override {
    if (player) {
      player->call("CleanUP");
      player->call("finish");
    }
  }

  QString file(const QString &name) const { return dir.filePath(name); }
  QString wav(const QString &name, double seconds) {
    test::writeAll(file(name), test::makeWav(seconds));
    return file(name);
  }
  // A file of the given kind, about 4 seconds long; empty when the encoder
  // is not installed.
  QString media(const QString &ext) {
    const QString source = wav(QStringLiteral("source.wav"), 4.0);
    const QString out = file(QStringLiteral("media.") + ext);
    if (ext == QLatin1String("wav")) return source;
    if (ext == QLatin1String("mid")) {
      test::writeAll(out, test::makeMidi(6));
      return out;
    }
    if (ext == QLatin1String("rmi")) {
      test::writeAll(out, test::makeRmi(6));
      return out;
    }
    if (ext == QLatin1String("mp3") || ext == QLatin1String("mpa") || ext == QLatin1String("mp2")) {
      const QString mp3 = file(QStringLiteral("encoded.mp3"));
      if (!test::convert(QStringLiteral("lame"), {QStringLiteral("--quiet"), QStringLiteral("-b"),
                                                  QStringLiteral("128"), source, mp3}))
        return QString();
      QFile::copy(mp3, out);
      return out;
    }
    return test::convert(QStringLiteral("sox"), {source, out}) ? out : QString();
  }

  void open(const QString &path) {
    ASSERT_NE(player->value("Init", {path}).toInt(), -1) << qPrintable(path);
    player->call("RenderFile", {path});
    ASSERT_TRUE(player->value("LastError").toString().isEmpty())
        << qPrintable(player->value("LastError").toString());
  }
  double position() { return player->value("GetCurrentPosition").toDouble(); }
  bool startsMoving() {
    player->call("Run");
    return spinUntil([this] { return position() > 0.05; }, 3000);
  }
  // Media seconds that pass during `ms` wall-clock milliseconds.
  double advanceOver(int ms) {
    QElapsedTimer t;
    const double p0 = position();
    t.start();
    QThread::msleep(static_cast<unsigned long>(ms));
    const double p1 = position();
    const double wall = static_cast<double>(t.elapsed()) / 1000.0;
    return (p1 - p0) / wall * (ms / 1000.0);
  }

  QTemporaryDir dir;
  PluginHost host{qEnvironmentVariable("CANTOREL_PLUGIN_DIR")};
  std::shared_ptr<PluginObject> player;
};

// Every kind the plug-in names plays, with its length; for the formats whose
// timing matters most the position follows the wall clock.
struct FormatCase {
  const char *ext;
  double duration;
  double tolerance;  // 0: only longer than 2.5 s, timing not checked
};
void PrintTo(const FormatCase &c, std::ostream *os) {
  *os << c.ext;
}
class GstFormats : public GstPlayback, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(GstFormats, PlaysWithItsLength) {
  const FormatCase c = GetParam();
  EXPECT_TRUE(player->value("getExtensions")
                  .toString()
                  .contains(QLatin1String("*.") + QLatin1String(c.ext), Qt::CaseInsensitive));
  const QString path = media(QLatin1String(c.ext));
  if (path.isEmpty()) GTEST_SKIP() << "no encoder for " << c.ext;
  open(path);
  const double duration = player->value("Duration").toDouble();
  if (c.tolerance == 0) {
    EXPECT_GT(duration, 2.5);
    EXPECT_TRUE(startsMoving());
    return;
  }
  EXPECT_NEAR(duration, c.duration, c.tolerance);
  // The decoder's facts (the made WAV and MP3 are 44.1 kHz stereo).
  if (QLatin1String(c.ext) != QLatin1String("mid")) {
    const QVariantMap facts = player->value("StreamInfo").toMap();
    EXPECT_EQ(facts.value(QStringLiteral("sampleRate")).toInt(), 44100);
    EXPECT_EQ(facts.value(QStringLiteral("channels")).toInt(), 2);
  }
  ASSERT_TRUE(startsMoving());
  EXPECT_NEAR(advanceOver(3000), 3.0, 0.1);
}

INSTANTIATE_TEST_SUITE_P(Formats, GstFormats,
                         ::testing::Values(FormatCase{"wav", 4.0, 0.02}, FormatCase{"mp3", 4.0, 0.08},
                                           FormatCase{"mid", 3.0, 0.6}, FormatCase{"flac", 0, 0},
                                           FormatCase{"ogg", 0, 0}, FormatCase{"rmi", 0, 0},
                                           FormatCase{"mpa", 0, 0}, FormatCase{"mp2", 0, 0}),
                         [](const auto &info) { return std::string(info.param.ext); });

// The transport with the plug-ins we ship: it finds this one among them and
// plays, seeks, changes speed, pauses, pans and stops.
TEST_F(GstPlayback, TheTransportDrivesIt) {
  General g;
  MainState st;
  Playlist pl;
  struct Labels : TransportHost {
    void setLabel(int n, const QString &t) override { texts[n] = t; }
    QHash<int, QString> texts;
  } labels;
  Transport t(g, st, pl, host, labels);
  st.Sliders[2].Value = 1;
  st.Sliders[5].Value = 0.5;
  g.Balance = 0.5f;
  host.ScanInputPlugins(g);
  EXPECT_TRUE(PluginHost::InputFilter(g.InputPluginTable).contains(QLatin1String("*.mp3")));

  pl.append(QStringLiteral("Artist - Song"), wav(QStringLiteral("Artist - Song.wav"), 8.0));
  t.PlayIt(0);
  EXPECT_EQ(g.InputPluginName, QStringLiteral("qv_input_gst"));
  EXPECT_NEAR(st.SongLen, 8.0, 0.02);
  EXPECT_EQ(labels.texts[13], QStringLiteral("0:08"));
  player = g.Player;  // released by the fixture
  ASSERT_TRUE(spinUntil([this] { return position() > 0.2; }, 3000));

  t.PlayFrom(3);
  EXPECT_NEAR(position(), 3.0, 0.1);
  t.SetRate(1.0);
  EXPECT_EQ(labels.texts[24], QStringLiteral("150%"));
  EXPECT_NEAR(advanceOver(1000), 1.5, 0.1);
  t.SetRate(0.0);  // half speed while playing
  EXPECT_NEAR(advanceOver(1000), 0.5, 0.06);
  t.PlayFrom(1);  // back, while it plays
  EXPECT_NEAR(position(), 1.0, 0.06);

  t.PauseIt();
  const double at = position();
  QThread::msleep(300);
  EXPECT_NEAR(position(), at, 0.01);
  t.PlayFrom(2);  // a seek while paused lands on the second asked
  EXPECT_NEAR(position(), 2.0, 0.03);
  t.PauseIt();
  EXPECT_TRUE(spinUntil([&] { return position() > 2.1; }, 2000));

  t.SetBalance(0.0f);
  EXPECT_EQ(static_cast<quint32>(player->value("GetVolume", {0}).toLongLong()), 0x0000FFFFu);
  t.StopIt();
  EXPECT_EQ(st.Playing, 0);
  const double stopped = position();
  QThread::msleep(200);
  EXPECT_EQ(position(), stopped);
}

TEST_F(GstPlayback, AtTheEndThePositionIsTheLength) {
  open(wav(QStringLiteral("short.wav"), 0.6));
  const double length = player->value("Duration").toDouble();
  player->call("Run");
  EXPECT_TRUE(spinUntil([&] { return position() >= length; }, 3000)) << position() << " of " << length;
  // A seek after the end leaves the end behind.
  player->call("CurrentPosition", {0.2});
  EXPECT_LT(position(), length);
}

// The packed volume (left in the low half, right in the high half) reaches the
// channels.
TEST_F(GstPlayback, BalanceChangesTheChannels) {
  open(wav(QStringLiteral("balance.wav"), 4.0));
  // Left full, right half: the right channel is 6 dB down.
  player->call("SetVolume", {0, qint64((32768 << 16) | 65535)});
  ASSERT_TRUE(startsMoving());
  QVariantList peaks;
  ASSERT_TRUE(spinUntil(
      [&] {
        peaks = player->value("OutputLevels").toList();
        return peaks.size() == 2 && std::isfinite(peaks[0].toDouble()) && peaks[0].toDouble() > -20;
      },
      2000));
  QThread::msleep(200);  // let the change reach the output
  peaks = player->value("OutputLevels").toList();
  EXPECT_NEAR(peaks[0].toDouble() - peaks[1].toDouble(), 6.0, 1.0);
  // Right only: the left channel goes silent.
  player->call("SetVolume", {0, qint64(-65536)});
  EXPECT_TRUE(spinUntil(
      [&] {
        peaks = player->value("OutputLevels").toList();
        return peaks.size() == 2 && peaks[0].toDouble() < -60 && peaks[1].toDouble() > -20;
      },
      2000));
  player->call("SetVolume", {0, -1});
}

// Whether this process has `path` open.
bool isOpen(const QString &path) {
  const QString target = QFileInfo(path).canonicalFilePath();
  const QDir fds(QStringLiteral("/proc/self/fd"));
  for (const QString &fd : fds.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
    if (QFileInfo(fds.filePath(fd)).symLinkTarget() == target) return true;
  return false;
}

TEST_F(GstPlayback, CleanUpThenFinishReleaseTheFile) {
  const QString path = wav(QStringLiteral("release.wav"), 3.0);
  open(path);
  ASSERT_TRUE(startsMoving());
  EXPECT_TRUE(isOpen(path));
  player->call("CleanUP");
  player->call("finish");
  EXPECT_FALSE(isOpen(path));
  // The object plays again after Init.
  open(path);
  EXPECT_TRUE(startsMoving());
}

TEST_F(GstPlayback, InitRefusesWhatCannotBeAFile) {
  for (const QString &p : {QString(), file(QStringLiteral("missing.wav")), dir.path()})
    EXPECT_EQ(player->value("Init", {p}).toInt(), -1) << qPrintable(p);
  EXPECT_NE(player->value("Init", {QStringLiteral("http://127.0.0.1:9/x")}).toInt(), -1);
}

// Files that are not what their names say: an error, never a crash or a hang.
struct Garbage {
  const char *name;
  QByteArray bytes;
  bool error;  // certainly unplayable
};
void PrintTo(const Garbage &g, std::ostream *os) {
  *os << g.name;
}
class GstGarbage : public GstPlayback, public ::testing::WithParamInterface<Garbage> {};

TEST_P(GstGarbage, IsAnErrorNotACrash) {
  const Garbage g = GetParam();
  const QString path = file(QLatin1String(g.name));
  test::writeAll(path, g.bytes);
  QElapsedTimer t;
  t.start();
  const bool refused = player->value("Init", {path}).toInt() == -1;
  // Certainly unplayable: refused at once, with the reason.
  if (g.error) {
    EXPECT_TRUE(refused);
    EXPECT_FALSE(player->value("LastError").toString().isEmpty());
  }
  if (!refused) {
    player->call("RenderFile", {path});
    player->call("CurrentPosition", {0});
    player->call("Rate", {1.0});
    const double d = player->value("Duration").toDouble();
    EXPECT_TRUE(std::isfinite(d) && d >= 0);
    player->call("Run");
    QThread::msleep(200);
    EXPECT_TRUE(std::isfinite(position()));
    player->call("CurrentPosition", {5});
  }
  player->call("CleanUP");
  player->call("finish");
  EXPECT_LT(t.elapsed(), 15000);
}

QByteArray pattern(const QByteArray &head, int size) {
  QByteArray b = head;
  while (b.size() < size) b.append(static_cast<char>('a' + b.size() % 23));
  return b;
}

INSTANTIATE_TEST_SUITE_P(
    Files, GstGarbage,
    ::testing::Values(
        Garbage{"text.mp3", pattern("not audio at all ", 20000), true},
        Garbage{"noise.mp3", test::makeNoise(100 * 1024), true}, Garbage{"empty.ogg", QByteArray(), true},
        Garbage{"header.wav", pattern("RIFF\x10\x00\x00\x00WAVEfmt ", 5000), true},
        Garbage{"huge_header.wav",
                pattern(QByteArray("RIFF\xff\xff\xff\xffWAVEfmt \xff\xff\xff\x7f", 20), 3000), true},
        Garbage{
            "midi.mid",
            pattern(QByteArray("MThd\x00\x00\x00\x06\x00\x01\xff\xff\x01\xe0MTrk\x7f\xff\xff\xff", 22), 4000),
            false},
        Garbage{"cut.mp3", test::makeWav(0.01).left(30), false}),
    [](const auto &info) {
      QString n = QLatin1String(info.param.name);
      return n.replace(u'.', u'_').toStdString();
    });

}  // namespace
}  // namespace cantorel
