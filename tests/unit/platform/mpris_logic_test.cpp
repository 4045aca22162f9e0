// How the player's state maps onto the desktop media-player interfaces:
// time units, loop and shuffle, track ids, metadata, what changed, seeking.
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <limits>

#include "platform/mpris_logic.h"
#include "support/test_support.h"

namespace cantorel::mpris {
namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();

TEST(MprisTime, SecondsToMicroseconds) {
  struct Case {
    double seconds;
    qint64 us;
  } cases[] = {
      {1.5, 1500000},
      {0.0000004, 0},            // under half a microsecond
      {245.0000006, 245000001},  // rounds, does not truncate
      {-3, 0},                   // no negative positions
      {std::numeric_limits<double>::quiet_NaN(), 0},
      {1e300, kMax},  // saturates instead of overflowing
  };
  for (const Case &c : cases) EXPECT_EQ(toMicroseconds(c.seconds), c.us) << c.seconds;
  EXPECT_DOUBLE_EQ(toSeconds(2500000), 2.5);
}

TEST(MprisLoop, RepeatAndLoopStatusMapBothWays) {
  EXPECT_EQ(loopStatusText(false), QStringLiteral("None"));
  EXPECT_EQ(loopStatusText(true), QStringLiteral("Track"));
  struct Case {
    const char *status;
    std::optional<bool> repeat;
  } cases[] = {
      {"None", false},           {"Track", true},
      {"Playlist", true},  // no playlist loop: repeat is the nearest
      {"track", std::nullopt},
  };
  for (const Case &c : cases)
    EXPECT_EQ(repeatForLoopStatus(QString::fromUtf8(c.status)), c.repeat) << c.status;
}

TEST(MprisTrackId, EveryEntryGetsAValidDistinctObjectPath) {
  // D-Bus object paths: "/"-separated elements of [A-Za-z0-9_], no empty ones.
  const QRegularExpression valid(QStringLiteral("^(/[A-Za-z0-9_]+)+$"));
  QStringList seen;
  for (int entry : {1, 2, 10, 32767}) {
    const QString id = trackIdPath(entry);
    EXPECT_TRUE(valid.match(id).hasMatch()) << id.toStdString();
    EXPECT_FALSE(seen.contains(id));
    seen.append(id);
  }
  EXPECT_EQ(trackIdPath(0), kNoTrack);
  EXPECT_EQ(trackIdPath(-4), kNoTrack);
}

TEST(MprisUri, OnlyLocalFilesAndWebStreamsOpen) {
  struct Case {
    const char *uri;
    const char *path;
  } cases[] = {
      {"file:///music/a%20b.mp3", "/music/a b.mp3"},
      {"file://localhost/music/x.wav", "/music/x.wav"},
      {"http://radio.example/stream", "http://radio.example/stream"},
      {"HTTPS://radio.example/s.mp3", "https://radio.example/s.mp3"},
      {"file://otherhost/music/x.wav", ""},  // another machine's file
      {"javascript:alert(1)", ""},
      {"/music/plain/path.mp3", ""},  // not an address
      {"http:///nohost", ""},
  };
  for (const Case &c : cases)
    EXPECT_EQ(pathForUri(QString::fromUtf8(c.uri)), QString::fromUtf8(c.path)) << c.uri;
  EXPECT_EQ(entryUrl(QStringLiteral("/music/a b#1.mp3")), QStringLiteral("file:///music/a%20b%231.mp3"));
  EXPECT_EQ(entryUrl(QStringLiteral("http://radio.example/s")), QStringLiteral("http://radio.example/s"));
}

TrackInfo fullTrack() {
  TrackInfo t;
  t.entry = 3;
  t.path = QStringLiteral("/music/Señor Song.mp3");
  t.length = 245.5;
  t.title = QStringLiteral("Señor Song");
  t.artist = QStringLiteral("The Band");
  t.album = QStringLiteral("First");
  t.cover = QStringLiteral("/music/The Band - First.jpg");
  t.lyric = QStringList{QStringLiteral("line one"), QStringLiteral("line <b>two</b>")};
  return t;
}

TEST(MprisMetadata, CarriesEveryKnownFieldInItsType) {
  const QVariantMap m = buildMetadata(fullTrack());
  EXPECT_EQ(m.value(QStringLiteral("mpris:trackid")).toString(), trackIdPath(3));
  EXPECT_EQ(m.value(QStringLiteral("mpris:length")).typeId(), QMetaType::LongLong);
  EXPECT_EQ(m.value(QStringLiteral("mpris:length")).toLongLong(), 245500000);
  EXPECT_EQ(m.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("Señor Song"));
  // Artists are a list of names.
  EXPECT_EQ(m.value(QStringLiteral("xesam:artist")).typeId(), QMetaType::QStringList);
  EXPECT_EQ(m.value(QStringLiteral("xesam:artist")).toStringList(), QStringList{QStringLiteral("The Band")});
  EXPECT_EQ(m.value(QStringLiteral("xesam:album")).toString(), QStringLiteral("First"));
  EXPECT_EQ(m.value(QStringLiteral("xesam:url")).toString(),
            QStringLiteral("file:///music/Se%C3%B1or%20Song.mp3"));
  EXPECT_EQ(m.value(QStringLiteral("mpris:artUrl")).toString(),
            QStringLiteral("file:///music/The%20Band%20-%20First.jpg"));
  // The lyric as plain text, one line per line, markup untouched.
  EXPECT_EQ(m.value(QStringLiteral("xesam:asText")).toString(), QStringLiteral("line one\nline <b>two</b>"));
}

TEST(MprisMetadata, LeavesOutWhatIsNotKnown) {
  TrackInfo stream;
  stream.entry = 1;
  stream.path = QStringLiteral("http://radio.example/live");
  stream.title = QStringLiteral("live");
  const QVariantMap m = buildMetadata(stream);
  EXPECT_EQ(m.keys(), (QStringList{QStringLiteral("mpris:trackid"), QStringLiteral("xesam:title"),
                                   QStringLiteral("xesam:url")}));
  // Nothing loaded: no metadata at all.
  EXPECT_TRUE(buildMetadata(TrackInfo()).isEmpty());
}

TEST(MprisChanges, OnlyWhatDifferentIsPublished) {
  Snapshot a;
  a.track = fullTrack();
  EXPECT_TRUE(changedPlayerProperties(a, a).isEmpty());

  struct Case {
    const char *property;
    void (*change)(Snapshot &);
  } cases[] = {
      {"PlaybackStatus", [](Snapshot &s) { s.status = Status::Paused; }},
      {"LoopStatus", [](Snapshot &s) { s.repeat = true; }},
      {"Shuffle", [](Snapshot &s) { s.shuffle = true; }},
      {"Volume", [](Snapshot &s) { s.volume = 0.25; }},
      {"Rate", [](Snapshot &s) { s.rate = 1.25; }},
      {"Metadata", [](Snapshot &s) { s.track.lyric.append(QStringLiteral("late line")); }},
      {"Metadata", [](Snapshot &s) { s.track.cover.clear(); }},
      {"CanSeek", [](Snapshot &s) { s.canSeek = true; }},
      {"CanGoNext", [](Snapshot &s) { s.canGoNext = true; }},
  };
  for (const Case &c : cases) {
    Snapshot b = a;
    c.change(b);
    const QVariantMap changed = changedPlayerProperties(a, b);
    EXPECT_EQ(changed.keys(), QStringList{QString::fromUtf8(c.property)}) << c.property;
    EXPECT_EQ(changed.value(QString::fromUtf8(c.property)),
              playerProperties(b).value(QString::fromUtf8(c.property)))
        << c.property;
  }
  // Clients read Position themselves; it is never pushed.
  EXPECT_FALSE(playerProperties(a).contains(QStringLiteral("Position")));
}

TEST(MprisSeek, OffsetsStayInsideTheEntry) {
  const qint64 len = 100'000'000;  // 100 s
  struct Case {
    qint64 position, offset, length;
    bool canSeek;
    SeekStep::Kind kind;
    qint64 to;
  } cases[] = {
      {10'000'000, 5'000'000, len, true, SeekStep::SeekTo, 15'000'000},
      {10'000'000, -5'000'000, len, true, SeekStep::SeekTo, 5'000'000},
      {3'000'000, -10'000'000, len, true, SeekStep::SeekTo, 0},  // before the start: the start
      {90'000'000, 10'000'000, len, true, SeekStep::Next, 0},    // the end itself: next entry
      {90'000'000, kMax, len, true, SeekStep::Next, 0},          // no overflow
      {90'000'000, std::numeric_limits<qint64>::min(), len, true, SeekStep::SeekTo, 0},
      {10'000'000, 5'000'000, 0, true, SeekStep::Ignore, 0},  // a stream has no length
      {10'000'000, 5'000'000, len, false, SeekStep::Ignore, 0},
  };
  for (const Case &c : cases) {
    const SeekStep s = seekStep(c.position, c.offset, c.length, c.canSeek);
    EXPECT_EQ(s.kind, c.kind) << c.position << " " << c.offset;
    EXPECT_EQ(s.to, c.to) << c.position << " " << c.offset;
  }
}

TEST(MprisSeek, SetPositionNeedsTheCurrentTrackAndAPlaceInIt) {
  const TrackInfo t = fullTrack();  // entry 3, 245.5 s
  struct Case {
    QString id;
    qint64 position;
    bool applies;
  } cases[] = {
      {trackIdPath(3), 60'000'000, true},
      {trackIdPath(3), 0, true},
      {trackIdPath(3), 245'500'000, true},
      {trackIdPath(3), 245'500'001, false},  // past the end
      {trackIdPath(3), -1, false},
      {trackIdPath(2), 60'000'000, false},  // a stale id: the entry changed meanwhile
      {kNoTrack, 0, false},
  };
  for (const Case &c : cases) EXPECT_EQ(setPositionApplies(c.id, c.position, t), c.applies) << c.position;
  TrackInfo stream = t;
  stream.length = 0;
  EXPECT_FALSE(setPositionApplies(trackIdPath(3), 0, stream));
}

TEST(MprisRoot, TheDesktopEntryExistsAndOffersTheSameMediaTypes) {
  // Panels find our icon and name through the entry the controls name.
  const QByteArray entry = test::readAll(test::sourceDir() + QStringLiteral("/data/applications/") +
                                         kDesktopEntry + QStringLiteral(".desktop"));
  const QRegularExpression line(QStringLiteral("^MimeType=(.*)$"), QRegularExpression::MultilineOption);
  const QRegularExpressionMatch m = line.match(QString::fromUtf8(entry));
  ASSERT_TRUE(m.hasMatch());
  QStringList types = m.captured(1).split(u';', Qt::SkipEmptyParts);
  types.removeAll(QStringLiteral("inode/directory"));
  EXPECT_EQ(supportedMimeTypes(), types);
}

}  // namespace
}  // namespace cantorel::mpris
