// The edges of the desktop media-player interface: time units, the addresses
// it may open, seeking. What a client sees of the real program (metadata, loop
// and shuffle, track ids, changes) is checked by tests/e2e/mpris_test.sh.

#include <gtest/gtest.h>

#include <limits>

#include "platform/mpris_logic.h"

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
  TrackInfo t;
  t.entry = 3;
  t.length = 245.5;
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

}  // namespace
}  // namespace cantorel::mpris
