// The playback timer's tick over a fake clock: a fake player whose position
// the test moves 25 ms per tick, the real transport, and a visualization
// object that notes each line it is given with the position at that moment.
#include <QTemporaryDir>

#include <utility>

#include <gtest/gtest.h>

#include "playback/playback_timer.h"
#include "playback/transport.h"
#include "plugins/plugin_host.h"
#include "plugins/plugin_object.h"
#include "support/test_support.h"

namespace cantorel {

// A player whose position is the test's clock; seeking sets the clock.
class TickPlayer : public QObject {
  Q_OBJECT
 public:
  explicit TickPlayer(double *clock, double *length) : clock_(clock), length_(length) {}
  // Refuses files named "bad...", as a player does a file it cannot decode.
  Q_INVOKABLE int Init(const QString &p) { return p.contains(QLatin1String("/bad")) ? -1 : 0; }
  Q_INVOKABLE void RenderFile(const QString &) {}
  Q_INVOKABLE void CurrentPosition(double s) { *clock_ = s; }
  Q_INVOKABLE double GetCurrentPosition() { return *clock_; }
  Q_INVOKABLE double Duration() { return *length_; }
  Q_INVOKABLE void Rate(double) {}
  Q_INVOKABLE void SetVolume(int, qint32) {}
  Q_INVOKABLE void Run() {}
  Q_INVOKABLE void Pause() {}
  Q_INVOKABLE void CleanUP() {}
  Q_INVOKABLE void finish() {}

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

class Host : public TransportHost, public PlaybackTimerHost {
 public:
  void setLabel(int n, const QString &t) override {
    labels[n] = t;
    if (n == 1) timeTexts.append(t);
  }
  void lyricResync(const QString &t) override {
    if (timer) timer->LyricResync(t);
  }
  void pumpEvents() override {
    // A command among the pending events opens a modal window: its own
    // event loop runs the timer for `modalTicks` ticks before it closes.
    const int n = std::exchange(modalTicks, 0);
    for (int i = 0; i < n && timer; ++i) {
      *clock = (qRound(*clock * 1000) + 25) / 1000.0;
      timer->Timer1();
    }
  }
  void positionSet(qint32) override { ++seeks; }
  void setDigits(int n, const QString &t) override {
    if (n == 6) title = t;
  }
  bool positionSliderFree() override { return true; }
  void placePositionSlider(double v) override { slider = v; }
  void selectLyricLine(int i) override { selected = i; }

  PlaybackTimer *timer = nullptr;
  double *clock = nullptr;
  int modalTicks = 0;
  int seeks = 0;
  QString title;
  QHash<int, QString> labels;
  QStringList timeTexts;
  double slider = -1;
  int selected = -1;
};

class PlaybackTimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plugins.registerClass(PluginKind::Input, QStringLiteral("qv_input_fake"),
                          [this] { return std::make_unique<TickPlayer>(&clock, &length); });
    g.InputPluginTable = {{QStringLiteral("qv_input_fake"), QStringLiteral("Fake|*.wav"), {}, {}, {}}};
    auto rec = std::make_unique<LineRecorder>(&clock);
    recorder = rec.get();
    g.VisPlugin = std::make_shared<PluginObject>(QStringLiteral("qv_rec.Processor"), std::move(rec));
    g.VisPluginName = QStringLiteral("qv_rec");
    host.timer = &timer;
    host.clock = &clock;
    st.Sliders[5].Value = 0.5;
  }
  void add(const QString &name) {
    const QString path = dir.filePath(name);
    test::writeAll(path, "x");
    pl.append(name, path);
  }
  void setLyric(const QStringList &times) {
    lyric.clear();
    for (const QString &t : times) {
      lyric.PlTimes.append(t);
      lyric.PlLyrics.append(QStringLiteral("line at ") + t);
    }
    g.LyricActive = -1;
    g.LyricLineCount = static_cast<qint16>(times.size());
    g.LyricNext = 0;
  }
  // One tick 25 ms after the last; the clock runs in whole milliseconds.
  void tick() {
    clock = (qRound(clock * 1000) + 25) / 1000.0;
    timer.Timer1();
  }
  // Ticks until the clock reaches `seconds`.
  void runTo(double seconds) {
    for (int i = 0; i < 100000 && clock < seconds - 1e-9; ++i) tick();
  }
  // Ticks until the next entry was opened (the clock went back) or playback
  // stopped, at most `limit` ticks; returns the ticks taken.
  int ticksToNextEntry(int limit) {
    for (int i = 1; i <= limit; ++i) {
      const double before = (qRound(clock * 1000) + 25) / 1000.0;
      tick();
      if (clock < before || !st.Playing) return i;
    }
    return -1;
  }
  QStringList shownLines() const {
    QStringList r;
    for (const auto &s : recorder->shown) r << s.first;
    return r;
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
  LineRecorder *recorder = nullptr;
};

TEST_F(PlaybackTimerTest, EachLineArrivesOnceInTheSecondItsTimeNames) {
  add(QStringLiteral("a.wav"));
  transport.PlayIt(0);
  setLyric({QStringLiteral("0:01"), QStringLiteral("0:03"), QStringLiteral("0:04")});
  runTo(0.3);
  EXPECT_EQ(host.labels[30], QStringLiteral("-0:01"));  // countdown to the first line
  runTo(6);
  ASSERT_EQ(recorder->shown.size(), 3);
  const double expected[] = {1, 3, 4};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(recorder->shown[i].first, lyric.PlLyrics[i]);
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

TEST_F(PlaybackTimerTest, SameTimeTwiceShowsTheFirstAndTheLyricStopsThere) {
  add(QStringLiteral("a.wav"));
  transport.PlayIt(0);
  setLyric({QStringLiteral("0:01"), QStringLiteral("0:01"), QStringLiteral("0:03")});
  runTo(5);
  EXPECT_EQ(shownLines(), QStringList{QStringLiteral("line at 0:01")});
  EXPECT_EQ(g.LyricNext, 1);
}

// A stamped lyric: each line in the first tick at or after its stamp, lines of
// one second apart, and after a seek the line stamped before it is current.
TEST_F(PlaybackTimerTest, StampedLinesArriveOnTheirStampsAndFollowASeek) {
  add(QStringLiteral("a.wav"));
  transport.PlayIt(0);
  setLyric({QStringLiteral("0:01"), QStringLiteral("0:01"), QStringLiteral("0:03")});
  lyric.PlStampsMs = {1130, 1440, 2800};
  runTo(4);
  ASSERT_EQ(recorder->shown.size(), 3);
  for (int i = 0; i < 3; ++i) {
    const double stamp = lyric.PlStampsMs[i] / 1000.0;
    EXPECT_GE(recorder->shown[i].second, stamp - 1e-9) << i;
    EXPECT_LT(recorder->shown[i].second, stamp + 0.025) << i;
  }
  transport.PlayFrom(2);
  EXPECT_EQ(g.LyricNext, 2);
  EXPECT_EQ(host.selected, 1);
  runTo(3);
  EXPECT_EQ(shownLines().mid(3), QStringList{QStringLiteral("line at 0:03")});
  EXPECT_GE(recorder->shown.back().second, 2.8 - 1e-9);
}

TEST_F(PlaybackTimerTest, SkippedSecondStopsTheAdvanceUntilASeek) {
  add(QStringLiteral("a.wav"));
  transport.PlayIt(0);
  setLyric({QStringLiteral("0:01"), QStringLiteral("0:02"), QStringLiteral("0:03"), QStringLiteral("0:05")});
  runTo(1.2);
  clock = 2.6;  // a stall: no tick saw 0:02
  runTo(4.9);
  EXPECT_EQ(g.LyricNext, 1);
  transport.PlayFrom(3);  // resync: 0:03 is next, 0:02 current
  EXPECT_EQ(g.LyricNext, 2);
  EXPECT_EQ(host.selected, 1);
  runTo(6);
  EXPECT_EQ(shownLines(), (QStringList{QStringLiteral("line at 0:01"), QStringLiteral("line at 0:03"),
                                       QStringLiteral("line at 0:05")}));
}

// A line replayed by seeking to its own time while that second is still
// shown: the line shows again and the lyric goes on from there.
TEST_F(PlaybackTimerTest, SeekIntoTheShownSecondShowsTheLineAgainAndGoesOn) {
  add(QStringLiteral("a.wav"));
  transport.PlayIt(0);
  setLyric({QStringLiteral("0:01"), QStringLiteral("0:03"), QStringLiteral("0:05")});
  runTo(3.2);
  ASSERT_EQ(st.LastShownTime, QStringLiteral("0:03"));
  transport.PlayFrom(3);
  EXPECT_EQ(g.LyricNext, 1);
  runTo(6);
  EXPECT_EQ(shownLines(), (QStringList{QStringLiteral("line at 0:01"), QStringLiteral("line at 0:03"),
                                       QStringLiteral("line at 0:03"), QStringLiteral("line at 0:05")}));
  EXPECT_EQ(host.selected, 2);
}

TEST_F(PlaybackTimerTest, LineAtTheStartShowsAfterAnEntryLeftOnTheSameText) {
  add(QStringLiteral("a.wav"));
  transport.PlayIt(0);
  st.LastShownTime = QStringLiteral("0:00");  // stopped right at the start before
  setLyric({QStringLiteral("0:00"), QStringLiteral("0:01")});
  timer.lyricLoaded();
  tick();
  EXPECT_EQ(shownLines(), QStringList{QStringLiteral("line at 0:00")});
}

TEST_F(PlaybackTimerTest, ModalWindowOpenedInsideTheTickKeepsTheLyricGoing) {
  add(QStringLiteral("a.wav"));
  transport.PlayIt(0);
  setLyric({QStringLiteral("0:01"), QStringLiteral("0:02"), QStringLiteral("0:04")});
  tick();
  host.modalTicks = 100;  // open from 0:00 to 0:02.5
  tick();
  EXPECT_EQ(shownLines(), (QStringList{QStringLiteral("line at 0:01"), QStringLiteral("line at 0:02")}));
  runTo(5);
  EXPECT_EQ(recorder->shown.size(), 3);
  EXPECT_EQ(host.timeTexts.size(), 6);  // 0:00 .. 0:05, each once
}

TEST_F(PlaybackTimerTest, TheLyricFollowsWhileTheRemainingTimeIsShown) {
  add(QStringLiteral("a.wav"));
  transport.PlayIt(0);
  st.TimeFlag = -1;
  setLyric({QStringLiteral("0:01"), QStringLiteral("0:02"), QStringLiteral("0:20")});
  runTo(3);
  EXPECT_EQ(recorder->shown.size(), 2);
  EXPECT_EQ(host.labels[1], QStringLiteral("-0:27"));
  // A seek back finds the line by its elapsed time and shows it again.
  transport.PlayFrom(1);
  EXPECT_EQ(g.LyricNext, 0);
  runTo(2);
  EXPECT_EQ(recorder->shown.size(), 4);
  // Switching to the elapsed time on the way neither repeats nor skips a line.
  st.TimeFlag = 0;
  runTo(21);
  EXPECT_EQ(recorder->shown.size(), 5);
  EXPECT_EQ(g.LyricNext, 3);
}

struct ResyncCase {
  const char *name;
  QStringList times;
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

const QStringList kShort{QStringLiteral("0:10"), QStringLiteral("1:00"), QStringLiteral("2:00")};
const QStringList kLong{QStringLiteral("8:50"), QStringLiteral("9:45"), QStringLiteral("10:15"),
                        QStringLiteral("11:00")};

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

// The end of an entry under each play mode, from entry 2 of 3.
struct EndCase {
  const char *name;
  bool repeat, shuffle, stp;
  int tnum;
  bool playing;
};

class EndOfEntryTest : public PlaybackTimerTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(EndOfEntryTest, NextEntryByMode) {
  const EndCase &c = GetParam();
  for (const char *n : {"a.wav", "b.wav", "c.wav"}) add(QString::fromLatin1(n));
  length = 2;
  st.TNum = 2;
  st.Repeat = c.repeat ? -1 : 0;
  st.Shuffle = c.shuffle ? -1 : 0;
  st.STP = c.stp ? -1 : 0;
  g.Rng.seed(7);
  const int shuffled = static_cast<int>(QRandomGenerator(7).generateDouble() * 3) + 1;
  transport.PlayIt(0);
  EXPECT_EQ(ticksToNextEntry(200), 80);  // at two seconds
  EXPECT_EQ(st.TNum, c.tnum < 0 ? shuffled : c.tnum);
  EXPECT_EQ(st.Playing != 0, c.playing);
}

INSTANTIATE_TEST_SUITE_P(Modes, EndOfEntryTest,
                         ::testing::Values(EndCase{"inOrder", false, false, false, 3, true},
                                           EndCase{"repeat", true, false, false, 2, true},
                                           EndCase{"repeatBeatsShuffle", true, true, false, 2, true},
                                           EndCase{"shuffle", false, true, false, -1, true},
                                           EndCase{"stopAfterTrack", false, false, true, 3, false}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(PlaybackTimerTest, PastTheLastEntryReturnsToTheFirstAndStops) {
  add(QStringLiteral("a.wav"));
  add(QStringLiteral("b.wav"));
  length = 1;
  transport.PlayIt(0);
  EXPECT_EQ(ticksToNextEntry(100), 40);
  EXPECT_EQ(st.TNum, 2);
  EXPECT_EQ(ticksToNextEntry(100), 40);
  EXPECT_EQ(st.TNum, 1);
  EXPECT_EQ(st.Playing, 0);
}

TEST_F(PlaybackTimerTest, PictureEntryEndsAfterTwoHundredTicks) {
  add(QStringLiteral("p.bmp"));
  add(QStringLiteral("q.bmp"));
  transport.PlayIt(0);
  ASSERT_EQ(st.Dev, QStringLiteral("Delay"));
  for (int i = 0; i < 199; ++i) timer.Timer1();
  EXPECT_EQ(st.TNum, 1);
  timer.Timer1();
  EXPECT_EQ(st.TNum, 2);
}

TEST_F(PlaybackTimerTest, IntroScanPlaysEachEntryJustOverItsTime) {
  for (const char *n : {"a.wav", "b.wav"}) add(QString::fromLatin1(n));
  st.Intro = -1;
  g.TimeIntro = 10;
  transport.PlayIt(0);
  EXPECT_EQ(ticksToNextEntry(1000), 401);  // strictly more than ten seconds
  EXPECT_EQ(st.TNum, 2);
}

TEST_F(PlaybackTimerTest, LoopSeeksBackOncePerPass) {
  add(QStringLiteral("a.wav"));
  transport.PlayIt(0);
  st.RptA = 2;
  st.RptB = 4;
  runTo(3.975);
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

// Entries the player cannot open are skipped after a moment; a playlist of
// nothing else stops instead of trying them over and over.
TEST_F(PlaybackTimerTest, UnplayableEntriesAreSkippedThenPlaybackStops) {
  struct Case {
    QStringList files;
    bool repeat;
    int playsAt;  // the entry playing after the failures, 0: stopped
  } cases[] = {
      {{QStringLiteral("bad1.wav"), QStringLiteral("good.wav")}, false, 2},
      {{QStringLiteral("bad1.wav"), QStringLiteral("gone.wav"), QStringLiteral("bad2.wav")}, false, 0},
      {{QStringLiteral("bad1.wav"), QStringLiteral("good.wav")}, true, 0}};
  for (const Case &c : cases) {
    pl.PlClear();
    for (const QString &f : c.files) f == QLatin1String("gone.wav") ? pl.append(f, dir.filePath(f)) : add(f);
    st.TNum = 1;
    st.Repeat = c.repeat ? -1 : 0;
    transport.PlayIt(0);
    EXPECT_EQ(st.Playing, 0);
    EXPECT_EQ(host.title, QStringLiteral("bad1.wav: the player cannot open this file"));
    EXPECT_EQ(pl.PlNames[0], QStringLiteral("bad1.wav [CANNOT PLAY]"));
    EXPECT_FALSE(pl.PlPath[0].isEmpty());
    for (int i = 1; i < Transport::kFailedPauseTicks; ++i) timer.Timer1();
    EXPECT_EQ(st.TNum, 1) << "not before the moment has passed";
    for (int i = 0; i < 10 * Transport::kFailedPauseTicks; ++i) timer.Timer1();
    EXPECT_EQ(st.Playing != 0 ? st.TNum : 0, c.playsAt) << c.files.join(u' ').toStdString();
    // Each failed entry is marked once, however often it was tried; a
    // missing one loses its path (it is dropped when the playlist is saved).
    for (const QString &n : pl.PlNames) EXPECT_LE(n.count(u'['), 1) << n.toStdString();
    if (c.files.size() > 2) {
      EXPECT_EQ(pl.PlNames[1], QStringLiteral("gone.wav [FILE NOT FOUND]"));
      EXPECT_TRUE(pl.PlPath[1].isEmpty());
    }
  }
}

}  // namespace
}  // namespace cantorel

#include "playback_timer_test.moc"
