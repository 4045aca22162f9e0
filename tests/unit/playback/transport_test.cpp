// The transport's state machine over a fake player object (called by name,
// like a plug-in), and its display texts and volume packing.
#include <QDir>
#include <QTemporaryDir>
#include <QVariantMap>

#include <gtest/gtest.h>

#include "playback/transport.h"
#include "plugins/plugin_host.h"
#include "plugins/plugin_object.h"
#include "prefs/message_ids.h"
#include "support/test_support.h"

namespace cantorel {

// Records each member call; "Init" refuses paths containing "refuse".
class FakePlayer : public QObject {
  Q_OBJECT
 public:
  Q_INVOKABLE int Init(const QString &p) {
    log(QStringLiteral("Init"));
    return p.contains(QLatin1String("refuse")) ? -1 : 0;
  }
  Q_INVOKABLE void RenderFile(const QString &) { log(QStringLiteral("RenderFile")); }
  Q_INVOKABLE void CurrentPosition(double s) { log(QStringLiteral("CurrentPosition ") + QString::number(s)); }
  Q_INVOKABLE void Rate(double r) { log(QStringLiteral("Rate ") + QString::number(r)); }
  Q_INVOKABLE double Duration() {
    log(QStringLiteral("Duration"));
    return 245.0;
  }
  Q_INVOKABLE void Run() { log(QStringLiteral("Run")); }
  Q_INVOKABLE void Pause() { log(QStringLiteral("Pause")); }
  Q_INVOKABLE qint32 GetVolume(int) { return volume; }
  Q_INVOKABLE void SetVolume(int, qint32 packed) {
    log(QStringLiteral("SetVolume"));
    volume = packed;
  }
  Q_INVOKABLE void CleanUP() { log(QStringLiteral("CleanUP")); }
  Q_INVOKABLE void finish() { log(QStringLiteral("finish")); }
  // Why the file cannot be played; empty while all is well.
  Q_INVOKABLE QString LastError() { return error; }
  Q_INVOKABLE QVariantMap StreamInfo() {
    return {{QStringLiteral("bitrate"), 1411},
            {QStringLiteral("sampleRate"), 44100},
            {QStringLiteral("channels"), 2}};
  }

  void log(const QString &s) { calls.append(s); }
  QStringList calls;
  qint32 volume = -1;
  QString error;
};

namespace {

class RecordingHost : public TransportHost {
 public:
  void enableTimer1(bool on) override { timer = on; }
  void setLabel(int n, const QString &t) override { labels[n] = t; }
  void showStreamFacts(const Mp3Header &f) override {
    facts = f.Bitrate + u'|' + f.SampleRate + u'|' + f.Channels;
  }
  void showMessage(const QString &t) override { messages.append(t); }
  void loadCover(const QString &p) override { covers.append(p); }
  void lyricResync(const QString &t) override { resyncs.append(t); }
  bool hasLoopBButton() override { return loopB; }
  bool programExists(const QString &p) override { return installed.contains(p); }
  bool startDetached(const QString &p, const QStringList &a) override {
    started.append(p + u' ' + a.join(u' '));
    return true;
  }

  bool timer = false;
  QString facts;
  QHash<int, QString> labels;
  QStringList messages, covers, resyncs, installed, started;
  bool loopB = false;
};

class TransportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plugins.registerClass(PluginKind::Input, QStringLiteral("qv_input_fake"), [this] {
      auto p = std::make_unique<FakePlayer>();
      players.append(p.get());
      return p;
    });
    g.InputPluginTable = {{QStringLiteral("qv_input_fake"), QStringLiteral("Fake|*.mp3;*.wav"), {}, {}, {}}};
    g.Messages[msg::PlayerRefusedFile] = QStringLiteral("Cannot play this file");
    st.Sliders[2].Value = 1.0;
    st.Sliders[5].Value = 0.5;
    g.Balance = 0.5f;
  }
  // Adds an entry whose file exists (unless `exists` is false).
  void add(const QString &name, bool exists = true) {
    const QString path = dir.filePath(name);
    if (exists) test::writeAll(path, "x");
    pl.append(name, path);
  }
  void addMany(int n) {
    for (int i = 1; i <= n; ++i) add(QStringLiteral("song%1.mp3").arg(i));
  }
  FakePlayer *current() const { return players.isEmpty() ? nullptr : players.last(); }

  QTemporaryDir dir;
  General g;
  MainState st;
  Playlist pl;
  PluginHost plugins{QStringLiteral("/nonexistent")};
  RecordingHost host;
  Transport t{g, st, pl, plugins, host};
  QList<FakePlayer *> players;  // owned by the plug-in objects
};

TEST_F(TransportTest, PlayItOpensRunsAndShowsTheLength) {
  addMany(1);
  t.PlayIt(0);
  ASSERT_TRUE(current());
  EXPECT_EQ(current()->calls,
            (QStringList{QStringLiteral("Init"), QStringLiteral("RenderFile"),
                         QStringLiteral("CurrentPosition 0"), QStringLiteral("Rate 1"),
                         QStringLiteral("Duration"), QStringLiteral("SetVolume"), QStringLiteral("Run")}));
  EXPECT_EQ(g.InputPluginName, QStringLiteral("qv_input_fake"));
  EXPECT_EQ(st.Dev, QStringLiteral("DX"));
  EXPECT_EQ(st.SongLen, 245.0);
  EXPECT_EQ(st.Playing, -1);
  EXPECT_EQ(st.Paused, 0);
  EXPECT_EQ(host.labels[13], QStringLiteral("4:05"));
  EXPECT_EQ(host.labels[26], QStringLiteral("Media"));
  EXPECT_EQ(host.labels[4], QStringLiteral(" 1"));
  // No MPEG frame header was read here: the decoder's facts are shown.
  EXPECT_EQ(host.facts, QStringLiteral("1411|44|stereo"));
  EXPECT_TRUE(host.timer);

  // The next entry releases the player in use first.
  add(QStringLiteral("b.wav"));
  FakePlayer *first = current();
  const auto keep = g.Player;  // the transport lets go of it
  t.NextTrack();
  EXPECT_EQ(first->calls.mid(first->calls.size() - 2),
            (QStringList{QStringLiteral("CleanUP"), QStringLiteral("finish")}));
  EXPECT_NE(current(), first);
  EXPECT_EQ(st.TNum, 2);
}

TEST_F(TransportTest, PauseResumeAndPlayPause) {
  addMany(2);
  t.PlayPause();  // stopped: plays
  EXPECT_EQ(st.Playing, -1);
  t.PlayPause();  // playing: pauses
  EXPECT_EQ(st.Paused, -1);
  EXPECT_EQ(current()->calls.last(), QStringLiteral("Pause"));
  t.PauseIt();  // resumes
  EXPECT_EQ(st.Paused, 0);
  EXPECT_EQ(current()->calls.last(), QStringLiteral("Run"));

  // Play while paused resumes the same entry, and it is no longer paused.
  t.PauseIt();
  FakePlayer *p = current();
  const qsizetype before = p->calls.size();
  t.PlayIt(0);
  EXPECT_EQ(p->calls.mid(before), QStringList{QStringLiteral("Run")});
  EXPECT_EQ(st.Paused, 0);
  EXPECT_EQ(st.Playing, -1);

  // Next while paused starts the next entry rather than resuming.
  t.PauseIt();
  const auto keep = g.Player;
  t.NextTrack();
  EXPECT_EQ(st.TNum, 2);
  EXPECT_NE(current(), p);
  EXPECT_EQ(current()->calls.last(), QStringLiteral("Run"));
  EXPECT_EQ(st.Paused, 0);

  t.StopIt();
  EXPECT_EQ(st.Playing, 0);
  EXPECT_EQ(st.Paused, 0);
  EXPECT_FALSE(host.timer);
  t.PauseIt();  // nothing to pause
  EXPECT_EQ(st.Paused, 0);
}

TEST_F(TransportTest, PreparedEntryWaitsPausedAtTheStart) {
  addMany(1);
  t.PlayIt(2);
  EXPECT_FALSE(current()->calls.contains(QStringLiteral("Run")));
  EXPECT_EQ(st.Playing, -1);
  EXPECT_EQ(st.Paused, -1);
  t.PlayPause();
  EXPECT_EQ(current()->calls.last(), QStringLiteral("Run"));
  EXPECT_EQ(st.Paused, 0);
}

TEST_F(TransportTest, NextAndPreviousWrap) {
  addMany(5);
  st.TNum = 1;
  t.PrevTrack();
  EXPECT_EQ(st.TNum, 5);
  EXPECT_EQ(st.SongPath, pl.PlPath[4]);
  EXPECT_EQ(st.Playing, -1);
  t.NextTrack();
  EXPECT_EQ(st.TNum, 1);
  EXPECT_EQ(st.Playing, 0);
  EXPECT_EQ(current()->calls.last(), QStringLiteral("finish"));
}

TEST_F(TransportTest, EmptyPlaylistDoesNothing) {
  t.PlayIt(0);
  EXPECT_FALSE(current());
  EXPECT_EQ(st.Playing, 0);
}

TEST_F(TransportTest, PicturesShowForFiveSecondsAndSkippedKindsPlayNothing) {
  add(QStringLiteral("cover.JPG"));
  t.PlayIt(0);
  EXPECT_EQ(st.Dev, QStringLiteral("Delay"));
  EXPECT_EQ(st.SongLen, 5.0);
  EXPECT_EQ(host.covers, QStringList{pl.PlPath[0]});
  EXPECT_EQ(host.labels[13], QStringLiteral("0:05"));
  EXPECT_TRUE(host.timer);
  EXPECT_EQ(st.Playing, -1);
  EXPECT_FALSE(current());

  for (const char *name : {"notes.txt", "setup.EXE", "link.lnk"}) {
    pl.PlClear();
    add(QLatin1String(name));
    st.TNum = 1;
    st.Playing = -1;  // the picture before was showing
    st.Paused = 0;
    t.PlayIt(0);
    EXPECT_EQ(st.Dev, QStringLiteral("Delay")) << name;
    EXPECT_FALSE(host.timer) << name;
    EXPECT_EQ(st.Playing, 0) << name;
  }
  EXPECT_FALSE(current());
}

TEST_F(TransportTest, OnlyMpegEntriesKeepATag) {
  // The tag record is the current file's: an entry whose tag is not read
  // must not carry the song before's (its lyric would be looked up, and
  // saved, under that song's name).
  struct Case {
    const char *file;
    bool keeps;
  } cases[] = {{"a.wav", false}, {"b.mid", false}, {"c.jpg", false}, {"d.txt", false},
               {"e.MP3", true},  {"f.mp2", true},  {"g.mpa", true}};
  for (const Case &c : cases) {
    pl.PlClear();
    add(QString::fromUtf8(c.file));
    st.TNum = 1;
    st.Paused = 0;
    g.Tag.setArtist(QStringLiteral("Previous Artist"));
    g.Tag.Found = true;
    t.PlayIt(0);
    EXPECT_EQ(g.Tag.Found, c.keeps) << c.file;  // the host reads MPEG tags; this fake leaves it
    EXPECT_EQ(g.Tag.Artist.trimmed().isEmpty(), !c.keeps) << c.file;
  }
}

TEST_F(TransportTest, StreamsHaveNoLengthAndAreNeverMissing) {
  for (const char *url :
       {"HTTP://radio.test/live.mp3", "http://radio.test/a.mp3", "https://radio.test/b.mp3"}) {
    pl.PlClear();
    pl.append(QStringLiteral("radio"), QLatin1String(url));
    st.TNum = 1;
    st.Paused = 0;
    t.PlayIt(0);
    EXPECT_EQ(st.InternetFile, -1) << url;
    EXPECT_EQ(st.SongLen, 0.0) << url;
    EXPECT_FALSE(pl.PlNames[0].contains(QLatin1String("NOT FOUND"))) << url;
    EXPECT_EQ(current()->calls, (QStringList{QStringLiteral("Init"), QStringLiteral("RenderFile"),
                                             QStringLiteral("SetVolume"), QStringLiteral("Run")}))
        << url;
    t.PlayFrom(30);  // nothing to seek within
    EXPECT_EQ(current()->calls.last(), QStringLiteral("Run")) << url;
  }
  // An address with no extension a plug-in names still finds a player.
  g.InputPluginName.clear();
  g.Player.reset();
  pl.PlClear();
  pl.append(QStringLiteral("radio"), QStringLiteral("http://radio.test/live"));
  t.PlayIt(0);
  EXPECT_EQ(g.InputPluginName, QStringLiteral("qv_input_fake"));
  EXPECT_EQ(current()->calls.last(), QStringLiteral("Run"));
}

// A player that refuses a file, or fails while playing it, says why through
// its "LastError" member: no message box, the reason on the title, the entry
// marked once and the next one due after a moment.
TEST_F(TransportTest, PlayerFailuresMarkTheEntryAndGoOn) {
  add(QStringLiteral("refuse.mp3"));
  add(QStringLiteral("b.wav"));
  add(QStringLiteral("c.wav"));
  st.Playing = st.Paused = -1;
  st.SongPath = QStringLiteral("another entry");
  t.PlayIt(0);
  EXPECT_EQ(current()->calls,
            (QStringList{QStringLiteral("Init"), QStringLiteral("CleanUP"), QStringLiteral("finish")}));
  EXPECT_TRUE(host.messages.isEmpty());
  EXPECT_EQ(host.labels[2], QStringLiteral("refuse.mp3: Cannot play this file"));
  EXPECT_EQ(pl.PlNames[0], QStringLiteral("refuse.mp3 [CANNOT PLAY]"));
  EXPECT_EQ(st.Playing, 0);
  EXPECT_EQ(st.Paused, 0);
  EXPECT_TRUE(host.timer);  // counts the moment down
  int ticks = 1;
  while (!t.failedEntryDue()) ++ticks;
  EXPECT_EQ(ticks, Transport::kFailedPauseTicks);

  // Failing while it plays: found by the timer's question, marked once.
  st.TNum = 2;
  t.PlayIt(0);
  ASSERT_EQ(st.Playing, -1);
  EXPECT_FALSE(t.checkPlayerError());
  pl.PlMoveEntry(1, -1);  // the playing entry moved up meanwhile
  current()->error = QStringLiteral("Internal data stream error.");
  EXPECT_TRUE(t.checkPlayerError());
  EXPECT_EQ(pl.PlNames[0], QStringLiteral("b.wav [CANNOT PLAY]"));
  EXPECT_EQ(pl.PlNames[1], QStringLiteral("refuse.mp3 [CANNOT PLAY]"));
  EXPECT_EQ(host.labels[2], QStringLiteral("b.wav: Internal data stream error."));
  EXPECT_EQ(st.Playing, 0);
}

TEST_F(TransportTest, PlayFromClampsAndResynchronisesTheLyric) {
  t.PlayFrom(30);  // no player chosen: nothing
  EXPECT_TRUE(host.resyncs.isEmpty());
  addMany(1);
  t.PlayIt(0);
  st.SongLen = 100;
  g.LyricActive = -1;
  struct Case {
    qint32 asked;
    const char *seek;
    const char *text;
  } cases[] = {{-5, "CurrentPosition 0", "0:00"},
               {65, "CurrentPosition 65", "1:05"},
               {100, "CurrentPosition 99", "1:39"},
               {150, "CurrentPosition 99", "1:39"}};
  for (const Case &c : cases) {
    t.PlayFrom(c.asked);
    EXPECT_EQ(current()->calls.last(), QLatin1String(c.seek)) << c.asked;
    EXPECT_EQ(host.resyncs.last(), QLatin1String(c.text)) << c.asked;
  }
  st.TimeFlag = -1;  // the remaining time shown: the lyric still goes by the elapsed time
  t.PlayFrom(65);
  EXPECT_EQ(host.resyncs.last(), QStringLiteral("1:05"));

  st.Elapsed = 12.5;  // halves round to even
  t.Forward();
  EXPECT_EQ(current()->calls.last(), QStringLiteral("CurrentPosition 22"));
  t.Reverse();
  EXPECT_EQ(current()->calls.last(), QStringLiteral("CurrentPosition 2"));
}

TEST_F(TransportTest, RateChangesThePlayerAndLabel24) {
  struct Case {
    double value;
    const char *label;
  } cases[] = {{0.5, "100%"}, {0.0, "50%"}, {1.0, "150%"}, {0.6, "110%"}};
  for (const Case &c : cases) {
    t.SetRate(c.value);
    EXPECT_EQ(host.labels[24], QLatin1String(c.label));
  }
  addMany(1);
  t.PlayIt(0);
  t.SetRate(1.0);
  EXPECT_EQ(current()->calls.last(), QStringLiteral("Rate 1.5"));
}

TEST(TransportTexts, LengthBalanceAndVolumePacking) {
  struct Len {
    double s;
    const char *text;
  } lens[] = {{245, "4:05"},  {0, "0:00"},     {59.5, "1:00"}, {60.5, "1:00"},
              {61.5, "1:02"}, {3600, "60:00"}, {-3, "0:00"}};
  for (const Len &l : lens) EXPECT_EQ(Transport::lengthText(l.s), QLatin1String(l.text)) << l.s;

  struct Bal {
    float b;
    const char *text;
  } bals[] = {{0.5f, "Centre"},    {0.45f, "Centre"},   {0.55f, "Centre"},   {0.25f, "50% left"},
              {0.0f, "100% left"}, {0.6f, "20% right"}, {1.0f, "100% right"}};
  for (const Bal &b : bals) EXPECT_EQ(Transport::balanceText(b.b), QLatin1String(b.text)) << b.b;

  struct Pack {
    float volume, balance;
    quint32 packed;
  } packs[] = {
      {1.0f, 0.5f, 0xFFFFFFFFu},   // both 65535: -1 in each half
      {1.0f, 0.25f, 0x8000FFFFu},  // right halved (32767.5 rounds to even 32768)
      {1.0f, 0.75f, 0xFFFF8000u},  // left halved
      {1.0f, 1.0f, 0xFFFF0000u},   // left silent
      {0.5f, 0.5f, 0x80008000u},  {0.0f, 0.5f, 0u}, {2.0f, 0.5f, 0xFFFFFFFFu},  // out of range: clamped
  };
  for (const Pack &p : packs)
    EXPECT_EQ(static_cast<quint32>(Transport::packVolume(p.volume, p.balance)), p.packed)
        << p.volume << " " << p.balance;
}

TEST_F(TransportTest, VolumeMuteAndBalance) {
  // Before any player: the slider is the volume.
  st.Sliders[2].Value = 0.8;
  EXPECT_FLOAT_EQ(t.ReadVolume(), 0.8f);
  t.VolumeDown();
  EXPECT_NEAR(st.Sliders[2].Value, 0.75, 1e-6);

  addMany(1);
  t.PlayIt(0);
  t.WriteVolume(0.7f);
  t.ToggleMute();
  EXPECT_EQ(st.Mute, -1);
  EXPECT_EQ(st.SavedVolume, 70);
  EXPECT_EQ(t.ReadVolume(), 0.0f);
  t.ToggleMute();
  EXPECT_EQ(st.Mute, 0);
  EXPECT_NEAR(t.ReadVolume(), 0.70, 1e-4);
  // Muting and unmuting again does not creep down.
  t.ToggleMute();
  t.ToggleMute();
  EXPECT_NEAR(t.ReadVolume(), 0.70, 1e-4);

  // Volume up while muted unmutes first; the volume stays within 0..1.
  t.ToggleMute();
  t.VolumeUp();
  EXPECT_EQ(st.Mute, 0);
  EXPECT_NEAR(t.ReadVolume(), 0.75, 1e-4);
  for (int i = 0; i < 10; ++i) t.VolumeUp();
  EXPECT_FLOAT_EQ(t.ReadVolume(), 1.0f);
  EXPECT_FLOAT_EQ(static_cast<float>(st.Sliders[2].Value), 1.0f);

  t.SetBalance(0.25f);
  EXPECT_EQ(host.labels[25], QStringLiteral("50% left"));
  EXPECT_EQ(static_cast<quint32>(current()->volume), 0x8000FFFFu);
  EXPECT_FLOAT_EQ(t.ReadVolume(), 1.0f);  // the louder side
}

TEST_F(TransportTest, LoopPoints) {
  st.Elapsed = 10.5;
  t.SetLoopPoint();  // A
  EXPECT_EQ(st.RptA, 10);
  EXPECT_EQ(st.RptB, 0);
  st.Elapsed = 21.5;
  t.SetLoopPoint();  // one button: B
  EXPECT_EQ(st.RptB, 22);
  t.SetLoopPoint();  // and off
  EXPECT_EQ(st.RptA, 0);
  EXPECT_EQ(st.RptB, 0);

  host.loopB = true;  // the skin has its own B button: A is always set again
  t.SetLoopPoint();
  st.Elapsed = 30;
  t.SetLoopPoint();
  EXPECT_EQ(st.RptA, 30);
  EXPECT_EQ(st.RptB, 0);
  // B in the same second as A would loop on the spot: no loop. B before A:
  // the loop runs between the two.
  t.SetLoopB();
  EXPECT_EQ(st.RptA, 0);
  EXPECT_EQ(st.RptB, 0);
  t.SetLoopPoint();
  st.Elapsed = 12;
  t.SetLoopB();
  EXPECT_EQ(st.RptA, 12);
  EXPECT_EQ(st.RptB, 30);
}

TEST_F(TransportTest, ShowMixerStartsTheFirstInstalledMixer) {
  EXPECT_FALSE(t.ShowMixer());
  host.installed = {QStringLiteral("gnome-control-center"), QStringLiteral("mate-volume-control")};
  EXPECT_TRUE(t.ShowMixer());
  EXPECT_EQ(host.started, QStringList{QStringLiteral("gnome-control-center sound")});
}

}  // namespace
}  // namespace cantorel

#include "transport_test.moc"
