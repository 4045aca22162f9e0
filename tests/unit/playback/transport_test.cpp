// The transport and the playback timer's tick over a fake player: its
// position is the test's clock, moved one timer interval per tick, and it
// notes each member call (called by name, like a plug-in). A visualization
// object notes each lyric line it is given with the position at that moment.
// Also the transport's texts and volume packing, and which second a double
// click on a lyric line seeks to.
#include <QTemporaryDir>
#include <QVariantMap>

#include <utility>

#include <gtest/gtest.h>

#include "playback/lyric_seek.h"
#include "playback/playback_timer.h"
#include "playback/transport.h"
#include "plugins/plugin_host.h"
#include "plugins/plugin_object.h"
#include "prefs/message_ids.h"
#include "support/test_support.h"

namespace cantorel {

// Refuses files named "bad...", as a player does a file it cannot decode.
class FakePlayer : public QObject {
  Q_OBJECT
 public:
  FakePlayer(double *clock, double *length) : clock_(clock), length_(length) {}
  Q_INVOKABLE int Init(const QString &p) {
    log(QStringLiteral("Init"));
    return p.contains(QLatin1String("/bad")) ? -1 : 0;
  }
  Q_INVOKABLE void RenderFile(const QString &) { log(QStringLiteral("RenderFile")); }
  Q_INVOKABLE void CurrentPosition(double s) {
    log(QStringLiteral("CurrentPosition ") + QString::number(s));
    *clock_ = s;
  }
  Q_INVOKABLE double GetCurrentPosition() { return *clock_; }
  Q_INVOKABLE void Rate(double r) { log(QStringLiteral("Rate ") + QString::number(r)); }
  Q_INVOKABLE double Duration() {
    log(QStringLiteral("Duration"));
    return *length_;
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

 private:
  double *clock_;
  double *length_;
};

class LineRecorder : public QObject {
  Q_OBJECT
 public:
  explicit LineRecorder(const double *clock) : clock_(clock) {}
  Q_INVOKABLE void show_lyric(const QString &line) { shown.append({line, *clock_}); }
  QList<QPair<QString, double>> shown;

 private:
  const double *clock_;
};

namespace {

// The clock one timer interval on, in whole milliseconds.
double nextTick(double clock) {
  return (qRound(clock * 1000) + PlaybackTimer::kIntervalMs) / 1000.0;
}

class Host : public TransportHost, public PlaybackTimerHost {
 public:
  void enableTimer1(bool on) override { timerOn = on; }
  void setLabel(int n, const QString &t) override {
    labels[n] = t;
    if (n == 1) timeTexts.append(t);
  }
  void setDigits(int n, const QString &t) override {
    if (n == 6) title = t;
  }
  void showStreamFacts(const Mp3Header &f) override {
    facts = f.Bitrate + u'|' + f.SampleRate + u'|' + f.Channels;
  }
  void showMessage(const QString &t) override { messages.append(t); }
  void loadCover(const QString &p) override { covers.append(p); }
  void lyricResync(const QString &t) override {
    resyncs.append(t);
    timer->LyricResync(t);
  }
  bool hasLoopBButton() override { return loopB; }
  bool programExists(const QString &p) override { return installed.contains(p); }
  bool startDetached(const QString &p, const QStringList &a) override {
    started.append(p + u' ' + a.join(u' '));
    return true;
  }
  void pumpEvents() override {
    // A command among the pending events opens a modal window: its own
    // event loop runs the timer for `modalTicks` ticks before it closes.
    for (int n = std::exchange(modalTicks, 0); n > 0; --n) {
      *clock = nextTick(*clock);
      timer->Timer1();
    }
  }
  void positionSet(qint32) override { ++seeks; }
  bool positionSliderFree() override { return true; }
  void placePositionSlider(double v) override { slider = v; }
  void selectLyricLine(int i) override { selected = i; }

  PlaybackTimer *timer = nullptr;
  double *clock = nullptr;
  bool timerOn = false, loopB = false;
  int modalTicks = 0, seeks = 0, selected = -1;
  double slider = -1;
  QString title, facts;
  QHash<int, QString> labels;
  QStringList timeTexts, messages, covers, resyncs, installed, started;
};

class PlaybackFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    plugins.registerClass(PluginKind::Input, QStringLiteral("qv_input_fake"), [this] {
      auto p = std::make_unique<FakePlayer>(&clock, &length);
      players.append(p.get());
      return p;
    });
    g.InputPluginTable = {{QStringLiteral("qv_input_fake"), QStringLiteral("Fake|*.mp3;*.wav"), {}, {}, {}}};
    auto rec = std::make_unique<LineRecorder>(&clock);
    recorder = rec.get();
    g.VisPlugin = std::make_shared<PluginObject>(QStringLiteral("qv_rec.Processor"), std::move(rec));
    g.VisPluginName = QStringLiteral("qv_rec");
    host.timer = &timer;
    host.clock = &clock;
    st.Sliders[2].Value = 1.0;
    st.Sliders[5].Value = 0.5;
    g.Balance = 0.5f;
  }
  // Entries named by `names`, separated by blanks; "gone..." has no file.
  void add(const char *names) {
    for (const QString &name : QString::fromLatin1(names).split(u' ')) {
      if (!name.startsWith(QLatin1String("gone"))) test::writeAll(dir.filePath(name), "x");
      pl.append(name, dir.filePath(name));
    }
  }
  // A playlist of this one entry, played from the start.
  void playOnly(const char *name) {
    pl.PlClear();
    add(name);
    st.TNum = 1;
    st.Paused = 0;
    transport.PlayIt(0);
  }
  FakePlayer *current() const { return players.isEmpty() ? nullptr : players.last(); }
  std::string calls() const { return current()->calls.join(u'|').toStdString(); }
  std::string lastCall() const { return current() ? current()->calls.last().toStdString() : std::string(); }
  // The A-B loop as "A-B", in seconds.
  std::string loop() const { return std::to_string(st.RptA) + '-' + std::to_string(st.RptB); }
  // "entry playing|paused|stopped last-call-of-the-player".
  std::string state() const {
    const char *mode = !st.Playing ? "stopped" : st.Paused ? "paused" : "playing";
    return std::to_string(st.TNum) + ' ' + mode + (current() ? ' ' + lastCall() : std::string());
  }

  // Lines "line at m:ss" at the given times, separated by blanks.
  void setLyric(const char *times) {
    lyric.clear();
    for (const QString &t : QString::fromLatin1(times).split(u' ')) {
      lyric.PlTimes.append(t);
      lyric.PlLyrics.append(QStringLiteral("line at ") + t);
    }
    g.LyricActive = -1;
    g.LyricLineCount = static_cast<qint16>(lyric.PlTimes.size());
    g.LyricNext = 0;
  }
  // Plays one song with a lyric at these times.
  void play(const char *times) {
    add("a.wav");
    transport.PlayIt(0);
    setLyric(times);
  }
  void tick() {
    clock = nextTick(clock);
    timer.Timer1();
  }
  // Ticks until the clock reaches `seconds`.
  void runTo(double seconds) {
    for (int i = 0; i < 100000 && clock < seconds - 1e-9; ++i) tick();
  }
  // Ticks until the next entry was opened (the clock went back) or playback
  // stopped; returns the position of that tick, -1 when none came before
  // `limit` seconds.
  double endOfEntry(double limit) {
    while (clock < limit) {
      const double at = nextTick(clock);
      tick();
      if (clock < at || !st.Playing) return at;
    }
    return -1;
  }
  // The times of the lines shown so far, separated by blanks.
  QString shown() const {
    QStringList r;
    for (const auto &s : recorder->shown) r << s.first.mid(8);
    return r.join(u' ');
  }

  QTemporaryDir dir;
  double clock = 0;
  double length = 30;
  General g;
  MainState st;
  Playlist pl;
  LyricLines lyric;
  PluginHost plugins{QStringLiteral("/nonexistent")};
  Host host;
  Transport transport{g, st, pl, plugins, host};
  PlaybackTimer timer{g, st, pl, lyric, transport, host};
  QList<FakePlayer *> players;  // owned by the plug-in objects
  LineRecorder *recorder = nullptr;
};

class TransportTest : public PlaybackFixture {};
class PlaybackTimerTest : public PlaybackFixture {};

TEST_F(TransportTest, PlayItOpensRunsAndShowsTheLength) {
  transport.PlayIt(0);  // an empty playlist: nothing
  EXPECT_EQ(state(), "1 stopped");

  add("song1.mp3 song2.mp3");
  transport.PlayIt(0);
  EXPECT_EQ(calls(), "Init|RenderFile|CurrentPosition 0|Rate 1|Duration|SetVolume|Run");
  EXPECT_EQ(state(), "1 playing Run");
  EXPECT_EQ(g.InputPluginName, QStringLiteral("qv_input_fake"));
  EXPECT_EQ(st.Dev, QStringLiteral("DX"));
  EXPECT_EQ(st.SongLen, 30.0);
  EXPECT_EQ(host.labels[13], QStringLiteral("0:30"));
  EXPECT_EQ(host.labels[26], QStringLiteral("Media"));
  EXPECT_EQ(host.labels[4], QStringLiteral(" 1"));
  // No MPEG frame header was read here: the decoder's facts are shown.
  EXPECT_EQ(host.facts, QStringLiteral("1411|44|stereo"));
  EXPECT_TRUE(host.timerOn);
}

TEST_F(TransportTest, PauseResumeNextPreviousAndStop) {
  add("song1.mp3 song2.mp3");
  transport.PlayPause();  // stopped: plays
  EXPECT_EQ(state(), "1 playing Run");
  transport.PlayPause();  // playing: pauses
  EXPECT_EQ(state(), "1 paused Pause");
  transport.PauseIt();  // and resumes
  EXPECT_EQ(state(), "1 playing Run");

  // Play while paused resumes the same entry, and it is no longer paused.
  transport.PauseIt();
  FakePlayer *p = current();
  transport.PlayIt(0);
  EXPECT_EQ(calls(), "Init|RenderFile|CurrentPosition 0|Rate 1|Duration|SetVolume|Run|Pause|Run|Pause|Run");
  EXPECT_EQ(state(), "1 playing Run");

  // Next while paused releases the player and starts the next entry.
  transport.PauseIt();
  const auto keep = g.Player;  // the transport lets go of it
  transport.NextTrack();
  EXPECT_EQ(p->calls.mid(p->calls.size() - 2).join(u'|'), QStringLiteral("CleanUP|finish"));
  EXPECT_NE(current(), p);
  EXPECT_EQ(state(), "2 playing Run");

  // Past the last entry: the first, stopped; before the first: the last.
  transport.NextTrack();
  EXPECT_EQ(state(), "1 stopped finish");
  transport.PrevTrack();
  EXPECT_EQ(state(), "2 playing Run");
  EXPECT_EQ(st.SongPath, pl.PlPath[1]);
  transport.PrevTrack();
  EXPECT_EQ(state(), "1 playing Run");

  transport.StopIt();
  EXPECT_FALSE(host.timerOn);
  transport.PauseIt();  // nothing to pause
  EXPECT_EQ(state(), "1 stopped finish");

  // A prepared entry waits paused at the start until asked to play.
  transport.PlayIt(2);
  EXPECT_EQ(state(), "1 paused SetVolume");
  transport.PlayPause();
  EXPECT_EQ(state(), "1 playing Run");
}

TEST_F(TransportTest, PicturesShowForFiveSecondsAndSkippedKindsPlayNothing) {
  add("cover.JPG q.bmp");
  transport.PlayIt(0);
  EXPECT_EQ(st.Dev, QStringLiteral("Delay"));
  EXPECT_EQ(host.covers, QStringList{pl.PlPath[0]});
  EXPECT_EQ(host.labels[13], QStringLiteral("0:05"));
  EXPECT_TRUE(host.timerOn);
  EXPECT_EQ(state(), "1 playing");
  // Five seconds of ticks, then the next entry.
  const int ticks = qRound(5.0 / PlaybackTimer::kInterval);
  for (int i = 1; i < ticks; ++i) timer.Timer1();
  EXPECT_EQ(state(), "1 playing");
  timer.Timer1();
  EXPECT_EQ(state(), "2 playing");

  for (const char *name : {"notes.txt", "setup.EXE", "link.lnk"}) {
    playOnly(name);
    EXPECT_FALSE(host.timerOn) << name;
    EXPECT_EQ(state(), "1 stopped") << name;
  }
}

// The tag record is the current file's: an entry whose tag is not read must
// not carry the song before's (its lyric would be looked up, and saved,
// under that song's name).
TEST_F(TransportTest, OnlyMpegEntriesKeepATag) {
  const struct {
    const char *file;
    bool keeps;
  } cases[] = {{"a.wav", false}, {"c.jpg", false}, {"e.MP3", true}, {"f.mp2", true}, {"g.mpa", true}};
  for (const auto &c : cases) {
    g.Tag.Found = true;
    playOnly(c.file);
    EXPECT_EQ(g.Tag.Found, c.keeps) << c.file;  // the host reads MPEG tags; this fake leaves it
  }
}

TEST_F(TransportTest, StreamsHaveNoLengthAndAreNeverMissing) {
  // The first has no extension a plug-in names, and still finds a player.
  for (const char *url :
       {"http://radio.test/live", "HTTP://radio.test/live.mp3", "https://radio.test/b.mp3"}) {
    pl.PlClear();
    pl.append(QStringLiteral("radio"), QLatin1String(url));
    transport.PlayIt(0);
    EXPECT_EQ(st.InternetFile, -1) << url;
    EXPECT_EQ(st.SongLen, 0.0) << url;
    EXPECT_EQ(pl.PlNames[0], QStringLiteral("radio")) << url;
    transport.PlayFrom(30);  // nothing to seek within
    EXPECT_EQ(calls(), "Init|RenderFile|SetVolume|Run") << url;
  }
}

// A player that fails while playing says why through its "LastError"
// member: found by the timer's question, the reason on the title, the entry
// marked once even after it moved.
TEST_F(TransportTest, PlayerFailingWhilePlayingMarksTheEntry) {
  add("a.wav b.wav");
  st.TNum = 2;
  transport.PlayIt(0);
  EXPECT_FALSE(transport.checkPlayerError());
  pl.PlMoveEntry(1, -1);  // the playing entry moved up meanwhile
  current()->error = QStringLiteral("Internal data stream error.");
  EXPECT_TRUE(transport.checkPlayerError());
  EXPECT_EQ(pl.PlNames.join(u'|'), QStringLiteral("b.wav [CANNOT PLAY]|a.wav"));
  EXPECT_EQ(host.labels[2], QStringLiteral("b.wav: Internal data stream error."));
  EXPECT_EQ(st.Playing, 0);
}

TEST_F(TransportTest, PlayFromClampsAndResynchronisesTheLyric) {
  transport.PlayFrom(30);  // no player chosen: nothing
  EXPECT_TRUE(host.resyncs.isEmpty());
  add("song1.mp3");
  transport.PlayIt(0);
  st.SongLen = 100;
  g.LyricActive = -1;
  const struct {
    qint32 asked;
    const char *seek;
    const char *text;
  } cases[] = {{-5, "CurrentPosition 0", "0:00"},
               {65, "CurrentPosition 65", "1:05"},
               {150, "CurrentPosition 99", "1:39"}};
  for (const auto &c : cases) {
    transport.PlayFrom(c.asked);
    EXPECT_EQ(lastCall(), c.seek) << c.asked;
    EXPECT_EQ(host.resyncs.last(), QLatin1String(c.text)) << c.asked;
  }
  st.TimeFlag = -1;  // the remaining time shown: the lyric still goes by the elapsed time
  transport.PlayFrom(65);
  EXPECT_EQ(host.resyncs.last(), QStringLiteral("1:05"));

  st.Elapsed = 12.5;  // halves round to even
  transport.Forward();
  EXPECT_EQ(lastCall(), "CurrentPosition 22");
  transport.Reverse();
  EXPECT_EQ(lastCall(), "CurrentPosition 2");
}

TEST(TransportTexts, LengthBalanceRateAndVolumePacking) {
  const struct {
    double s;
    const char *text;
  } lens[] = {{245, "4:05"}, {59.5, "1:00"}, {60.5, "1:00"}, {61.5, "1:02"}, {3600, "60:00"}, {-3, "0:00"}};
  for (const auto &l : lens) EXPECT_EQ(Transport::lengthText(l.s), QLatin1String(l.text)) << l.s;

  const struct {
    float b;
    const char *text;
  } bals[] = {{0.45f, "Centre"},   {0.55f, "Centre"},   {0.25f, "50% left"},
              {0.0f, "100% left"}, {0.6f, "20% right"}, {1.0f, "100% right"}};
  for (const auto &b : bals) EXPECT_EQ(Transport::balanceText(b.b), QLatin1String(b.text)) << b.b;

  const struct {
    float volume, balance;
    quint32 packed;
  } packs[] = {
      {1.0f, 0.5f, 0xFFFFFFFFu},   // both 65535: -1 in each half
      {1.0f, 0.25f, 0x8000FFFFu},  // right halved (32767.5 rounds to even 32768)
      {1.0f, 0.75f, 0xFFFF8000u},  // left halved
      {0.5f, 0.5f, 0x80008000u},  {0.0f, 0.5f, 0u}, {2.0f, 0.5f, 0xFFFFFFFFu},  // out of range: clamped
  };
  for (const auto &p : packs)
    EXPECT_EQ(static_cast<quint32>(Transport::packVolume(p.volume, p.balance)), p.packed)
        << p.volume << " " << p.balance;
}

TEST_F(TransportTest, RateVolumeMuteAndBalance) {
  // Before any player: the slider is the volume.
  st.Sliders[2].Value = 0.8;
  EXPECT_FLOAT_EQ(transport.ReadVolume(), 0.8f);
  transport.VolumeDown();
  EXPECT_NEAR(st.Sliders[2].Value, 0.75, 1e-6);

  add("song1.mp3");
  transport.PlayIt(0);
  const struct {
    double value;
    const char *label;
  } rates[] = {{0.0, "50%"}, {0.6, "110%"}, {1.0, "150%"}};
  for (const auto &r : rates) {
    transport.SetRate(r.value);
    EXPECT_EQ(host.labels[24], QLatin1String(r.label));
  }
  EXPECT_EQ(lastCall(), "Rate 1.5");

  transport.WriteVolume(0.7f);
  transport.ToggleMute();
  EXPECT_EQ(st.Mute, -1);
  EXPECT_EQ(st.SavedVolume, 70);
  EXPECT_EQ(transport.ReadVolume(), 0.0f);
  // Muting and unmuting again does not creep down.
  for (int i = 0; i < 3; ++i) transport.ToggleMute();
  EXPECT_EQ(st.Mute, 0);
  EXPECT_NEAR(transport.ReadVolume(), 0.70, 1e-4);

  // Volume up while muted unmutes first; the volume stays within 0..1.
  transport.ToggleMute();
  transport.VolumeUp();
  EXPECT_EQ(st.Mute, 0);
  EXPECT_NEAR(transport.ReadVolume(), 0.75, 1e-4);
  for (int i = 0; i < 10; ++i) transport.VolumeUp();
  EXPECT_FLOAT_EQ(transport.ReadVolume(), 1.0f);
  EXPECT_FLOAT_EQ(static_cast<float>(st.Sliders[2].Value), 1.0f);

  transport.SetBalance(0.25f);
  EXPECT_EQ(host.labels[25], QStringLiteral("50% left"));
  EXPECT_EQ(static_cast<quint32>(current()->volume), 0x8000FFFFu);
  EXPECT_FLOAT_EQ(transport.ReadVolume(), 1.0f);  // the louder side
}

TEST_F(TransportTest, LoopPointsAndMixer) {
  st.Elapsed = 10.5;
  transport.SetLoopPoint();  // A
  EXPECT_EQ(loop(), "10-0");
  st.Elapsed = 21.5;
  transport.SetLoopPoint();  // one button: B
  EXPECT_EQ(loop(), "10-22");
  transport.SetLoopPoint();  // and off
  EXPECT_EQ(loop(), "0-0");

  host.loopB = true;  // the skin has its own B button: A is always set again
  transport.SetLoopPoint();
  st.Elapsed = 30;
  transport.SetLoopPoint();
  EXPECT_EQ(loop(), "30-0");
  // B in the same second as A would loop on the spot: no loop. B before A:
  // the loop runs between the two.
  transport.SetLoopB();
  EXPECT_EQ(loop(), "0-0");
  transport.SetLoopPoint();
  st.Elapsed = 12;
  transport.SetLoopB();
  EXPECT_EQ(loop(), "12-30");

  // The mixer button starts the first mixer installed.
  EXPECT_FALSE(transport.ShowMixer());
  host.installed = {QStringLiteral("gnome-control-center"), QStringLiteral("mate-volume-control")};
  EXPECT_TRUE(transport.ShowMixer());
  EXPECT_EQ(host.started, QStringList{QStringLiteral("gnome-control-center sound")});
}

TEST_F(PlaybackTimerTest, EachLineArrivesOnceInTheSecondItsTimeNames) {
  play("0:01 0:03 0:04");
  runTo(0.3);
  EXPECT_EQ(host.labels[30], QStringLiteral("-0:01"));  // countdown to the first line
  runTo(6);
  ASSERT_EQ(shown(), QStringLiteral("0:01 0:03 0:04"));
  const double expected[] = {1, 3, 4};
  for (int i = 0; i < 3; ++i) {
    // The shown second is the rounded position: the line comes as it turns.
    EXPECT_NEAR(recorder->shown[i].second, expected[i] - 0.5, 0.03) << i;
  }
  EXPECT_EQ(g.LyricNext, 3);
  EXPECT_EQ(host.selected, 2);
  // One time text per second: 0:00 .. 0:06.
  EXPECT_EQ(host.timeTexts.size(), 7);
  EXPECT_EQ(host.labels[1], QStringLiteral("0:06"));
  EXPECT_NEAR(host.slider, 0.2, 1e-9);
}

// A stamped lyric: each line in the first tick at or after its stamp, lines of
// one second apart, and after a seek the line stamped before it is current.
TEST_F(PlaybackTimerTest, StampedLinesArriveOnTheirStampsAndFollowASeek) {
  play("0:01 0:01 0:03");
  lyric.PlStampsMs = {1130, 1440, 2800};
  runTo(4);
  ASSERT_EQ(recorder->shown.size(), 3);
  for (int i = 0; i < 3; ++i) {
    const double stamp = lyric.PlStampsMs[i] / 1000.0;
    EXPECT_GE(recorder->shown[i].second, stamp - 1e-9) << i;
    EXPECT_LT(recorder->shown[i].second, stamp + PlaybackTimer::kInterval) << i;
  }
  transport.PlayFrom(2);
  EXPECT_EQ(g.LyricNext, 2);
  EXPECT_EQ(host.selected, 1);
  runTo(3);
  EXPECT_EQ(shown(), QStringLiteral("0:01 0:01 0:03 0:03"));
  EXPECT_GE(recorder->shown.back().second, 2.8 - 1e-9);
}

// The lyric as the player runs, jumps, is sought or held up. Each step of
// `steps`: "to S" ticks until the position S, "clock S" jumps there at once
// (a stall), "seek S" seeks, "remaining"/"elapsed" switch the time shown,
// "modal S" opens a modal window inside the next tick for S seconds, "left T"
// is the time text the entry before left shown, "loaded" a lyric just loaded.
struct AdvanceCase {
  const char *name;
  const char *times;
  const char *steps;
  const char *shown;  // the times of the lines shown, in order
};

class LyricAdvanceTest : public PlaybackFixture, public ::testing::WithParamInterface<AdvanceCase> {};

TEST_P(LyricAdvanceTest, ShowsTheseLines) {
  const AdvanceCase &c = GetParam();
  play(c.times);
  for (const QString &step : QString::fromLatin1(c.steps).split(QStringLiteral(", "))) {
    const QString op = step.section(u' ', 0, 0), arg = step.section(u' ', 1);
    if (op == QLatin1String("to")) runTo(arg.toDouble());
    if (op == QLatin1String("clock")) clock = arg.toDouble();
    if (op == QLatin1String("seek")) transport.PlayFrom(arg.toInt());
    if (op == QLatin1String("remaining") || op == QLatin1String("elapsed"))
      st.TimeFlag = op == QLatin1String("remaining") ? -1 : 0;
    if (op == QLatin1String("left")) st.LastShownTime = arg;
    if (op == QLatin1String("loaded")) timer.lyricLoaded();
    if (op == QLatin1String("modal")) {
      host.modalTicks = qRound(arg.toDouble() / PlaybackTimer::kInterval);
      tick();
    }
  }
  EXPECT_EQ(shown(), QLatin1String(c.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Runs, LyricAdvanceTest,
    ::testing::Values(
        // The same time twice: the first shows, and the lyric stops there.
        AdvanceCase{"sameTimeTwice", "0:01 0:01 0:03", "to 5", "0:01"},
        // A second no tick saw stops the advance until a seek.
        AdvanceCase{"skippedSecond", "0:01 0:02 0:03 0:05", "to 1.2, clock 2.6, to 4.9, seek 3, to 6",
                    "0:01 0:03 0:05"},
        // A seek into the second still shown shows its line again and goes on.
        AdvanceCase{"seekIntoTheShownSecond", "0:01 0:03 0:05", "to 3.2, seek 3, to 6",
                    "0:01 0:03 0:03 0:05"},
        AdvanceCase{"lineAtTheStartAfterTheSameText", "0:00 0:01", "left 0:00, loaded, to 0.01", "0:00"},
        AdvanceCase{"modalWindowInsideATick", "0:01 0:02 0:04", "to 0.01, modal 2.5, to 5", "0:01 0:02 0:04"},
        // The remaining time shown: the lyric follows the elapsed time, a seek
        // back shows the lines again, and switching neither repeats nor skips.
        AdvanceCase{"remainingTimeShown", "0:01 0:02 0:20", "remaining, to 3, seek 1, to 2, elapsed, to 21",
                    "0:01 0:02 0:01 0:02 0:20"}),
    [](const auto &info) { return std::string(info.param.name); });

struct ResyncCase {
  const char *name;
  const char *times;
  const char *seekText;
  int next;
  int selected;  // -1: unchanged
};

class LyricResyncTest : public PlaybackTimerTest, public ::testing::WithParamInterface<ResyncCase> {};

TEST_P(LyricResyncTest, SelectsTheLineBeforeTheNextOne) {
  const ResyncCase &c = GetParam();
  setLyric(c.times);
  timer.LyricResync(QString::fromLatin1(c.seekText));
  EXPECT_EQ(g.LyricNext, c.next);
  EXPECT_EQ(host.selected, c.selected);
}

const char kShort[] = "0:10 1:00 2:00";
const char kLong[] = "8:50 9:45 10:15 11:00";

INSTANTIATE_TEST_SUITE_P(Seeks, LyricResyncTest,
                         ::testing::Values(ResyncCase{"between", kShort, "1:30", 2, 1},
                                           ResyncCase{"beforeFirst", kShort, "0:05", 0, -1},
                                           ResyncCase{"onALine", kShort, "1:00", 1, 0},
                                           ResyncCase{"pastLast", kShort, "3:00", 3, 2},
                                           // Ten minutes and more: by value, not by text.
                                           ResyncCase{"overTenMinutes", kLong, "10:20", 3, 2},
                                           ResyncCase{"justUnderTen", kLong, "9:50", 2, 1},
                                           ResyncCase{"remainingText", kShort, "-1:30", 0, -1}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(LyricTimes, ComparedByValueWhenBothAreTimes) {
  EXPECT_LT(PlaybackTimer::compareLyricTimes(QStringLiteral("9:45"), QStringLiteral("10:15")), 0);
  EXPECT_EQ(PlaybackTimer::compareLyricTimes(QStringLiteral("1:05"), QStringLiteral("01:05")), 0);
  EXPECT_LT(PlaybackTimer::compareLyricTimes(QStringLiteral("-9:00"), QStringLiteral("0:01")), 0);
  EXPECT_EQ(PlaybackTimer::timeSeconds(QStringLiteral("12:34")), 754);
  for (const char *bad : {"", ":", "1:", ":05", "1:x5", "-1:00", "a:00", "99999999999:00"})
    EXPECT_EQ(PlaybackTimer::timeSeconds(QString::fromLatin1(bad)), -1) << bad;
}

// The end of an entry of two seconds under each play mode, in a playlist of
// three.
struct EndCase {
  const char *name;
  bool repeat, shuffle, stp;
  int from, tnum;  // tnum -1: the shuffled one
  bool playing;
};

class EndOfEntryTest : public PlaybackTimerTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(EndOfEntryTest, NextEntryByMode) {
  const EndCase &c = GetParam();
  add("a.wav b.wav c.wav");
  length = 2;
  st.TNum = static_cast<qint16>(c.from);
  st.Repeat = c.repeat ? -1 : 0;
  st.Shuffle = c.shuffle ? -1 : 0;
  st.STP = c.stp ? -1 : 0;
  g.Rng.seed(7);
  const int shuffled = static_cast<int>(QRandomGenerator(7).generateDouble() * 3) + 1;
  transport.PlayIt(0);
  EXPECT_NEAR(endOfEntry(10), 2.0, 1e-9);  // at its length, not a tick later
  EXPECT_EQ(st.TNum, c.tnum < 0 ? shuffled : c.tnum);
  EXPECT_EQ(st.Playing != 0, c.playing);
}

INSTANTIATE_TEST_SUITE_P(Modes, EndOfEntryTest,
                         ::testing::Values(EndCase{"inOrder", false, false, false, 2, 3, true},
                                           EndCase{"repeat", true, false, false, 2, 2, true},
                                           EndCase{"repeatBeatsShuffle", true, true, false, 2, 2, true},
                                           EndCase{"shuffle", false, true, false, 2, -1, true},
                                           EndCase{"stopAfterTrack", false, false, true, 2, 3, false},
                                           // Past the last: back to the first, stopped.
                                           EndCase{"pastTheLast", false, false, false, 3, 1, false}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(PlaybackTimerTest, IntroScanPlaysEachEntryJustOverItsTime) {
  add("a.wav b.wav");
  st.Intro = -1;
  g.TimeIntro = 10;
  transport.PlayIt(0);
  const double at = endOfEntry(20);
  EXPECT_GT(at, 10.0);  // strictly more than ten seconds
  EXPECT_LT(at, 10.0 + PlaybackTimer::kInterval + 1e-9);
  EXPECT_EQ(st.TNum, 2);
}

TEST_F(PlaybackTimerTest, LoopSeeksBackOncePerPass) {
  add("a.wav");
  transport.PlayIt(0);
  st.RptA = 2;
  st.RptB = 4;
  runTo(4 - PlaybackTimer::kInterval);
  tick();
  EXPECT_NEAR(clock, 2.0, 1e-9);
  EXPECT_EQ(host.seeks, 1);
  // A player still reporting the old position after the seek is not sent
  // back again until the position was seen before B.
  for (int i = 0; i < 5; ++i) {
    clock = 4.5;
    timer.Timer1();
  }
  EXPECT_EQ(host.seeks, 1);
  clock = 3;
  tick();
  clock = 3.975;
  tick();
  EXPECT_EQ(host.seeks, 2);
  // A state whose B is not after A never seeks.
  st.RptA = 6;
  st.RptB = 5;
  runTo(8);
  EXPECT_EQ(host.seeks, 2);
}

// Entries the player cannot open are skipped after a moment, with the reason
// on the title and no message box; a playlist of nothing else stops instead
// of trying them over and over.
TEST_F(PlaybackTimerTest, UnplayableEntriesAreSkippedThenPlaybackStops) {
  const struct {
    const char *files;
    bool repeat;
    int playsAt;  // the entry playing after the failures, 0: stopped
  } cases[] = {{"bad1.wav good.wav", false, 2},
               {"bad1.wav gone.wav bad2.wav", false, 0},
               {"bad1.wav good.wav", true, 0}};
  g.Messages[msg::PlayerRefusedFile] = QStringLiteral("Cannot play this file");
  st.Playing = st.Paused = -1;  // another entry was paused: no resuming it
  st.SongPath = QStringLiteral("another entry");
  for (const auto &c : cases) {
    pl.PlClear();
    add(c.files);
    st.TNum = 1;
    st.Repeat = c.repeat ? -1 : 0;
    transport.PlayIt(0);
    EXPECT_EQ(state(), "1 stopped finish");
    EXPECT_EQ(host.title, QStringLiteral("bad1.wav: Cannot play this file"));
    EXPECT_TRUE(host.messages.isEmpty());
    for (int i = 1; i < Transport::kFailedPauseTicks; ++i) timer.Timer1();
    EXPECT_EQ(st.TNum, 1) << "not before the moment has passed";
    for (int i = 0; i < 10 * Transport::kFailedPauseTicks; ++i) timer.Timer1();
    EXPECT_EQ(st.Playing != 0 ? st.TNum : 0, c.playsAt) << c.files;
    // Each failed entry is marked once, however often it was tried; a
    // missing one loses its path (it is dropped when the playlist is saved).
    EXPECT_EQ(pl.PlNames[0], QStringLiteral("bad1.wav [CANNOT PLAY]")) << c.files;
    EXPECT_FALSE(pl.PlPath[0].isEmpty());
    if (pl.count() > 2) {
      EXPECT_EQ(pl.PlNames[1], QStringLiteral("gone.wav [FILE NOT FOUND]"));
      EXPECT_TRUE(pl.PlPath[1].isEmpty());
      EXPECT_EQ(pl.PlNames[2], QStringLiteral("bad2.wav [CANNOT PLAY]"));
    }
  }
}

// Which second a double click on a lyric line seeks to, in every state of
// the player and the lyric (-1: none).
TEST(LyricSeekTest, SecondOfTheClickedLine) {
  const struct {
    const char *name;
    qint16 playing, paused, stream;
    const char *dev;
    qint16 lyricActive;
    const char *times;  // of the lines "a b c"
    int row;
    qint32 second;
  } cases[] = {
      {"playing", -1, 0, 0, "DX", -1, "0:01 1:05 10:15", 1, 65},
      {"paused", -1, -1, 0, "DX", -1, "0:01 1:05 10:15", 1, 65},
      {"stopped", 0, 0, 0, "DX", -1, "0:01 1:05 10:15", 1, -1},
      {"stream", -1, 0, -1, "DX", -1, "0:01 1:05 10:15", 1, -1},
      {"picture", -1, 0, 0, "Delay", -1, "0:01 1:05 10:15", 1, -1},
      // No lyric found: the box holds the failure text, which has no time.
      {"failureText", -1, 0, 0, "DX", 0, "", 0, -1},
      {"noRow", -1, 0, 0, "DX", -1, "0:01 1:05 10:15", -1, -1},
      {"pastTheEnd", -1, 0, 0, "DX", -1, "0:01 1:05 10:15", 3, -1},
      // A file that ended without its last time: that text has no time.
      {"textWithoutTime", -1, 0, 0, "DX", -1, "0:01 1:05", 2, -1},
      {"remainingTimeText", -1, 0, 0, "DX", -1, "0:01 -0:05 10:15", 1, -1},
  };
  for (const auto &c : cases) {
    General g;
    MainState st;
    LyricLines lyric;
    g.LyricActive = c.lyricActive;
    st.Playing = c.playing;
    st.Paused = c.paused;
    st.InternetFile = c.stream;
    st.Dev = QLatin1String(c.dev);
    st.SongLen = 900;
    lyric.PlLyrics = QStringLiteral("a b c").split(u' ');
    lyric.PlTimes = QString::fromLatin1(c.times).split(u' ', Qt::SkipEmptyParts);
    EXPECT_EQ(lyricLineSecond(g, st, lyric, c.row), c.second) << c.name;
  }
}

}  // namespace
}  // namespace cantorel

#include "transport_test.moc"
