// Lyrics from the online database: the match rules, where a found lyric goes,
// and whole lookups against a loopback server answering as the service does.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrlQuery>

#include <gtest/gtest.h>

#include "lyric_test_util.h"
#include "lyrics/lyric_search.h"
#include "lyrics/online_lyrics.h"
#include "support/loopback_http.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

using Server = test::LoopbackHttpServer;

OnlineLyricRecord record(const char *artist, const char *title, double duration) {
  OnlineLyricRecord r;
  r.artist = QString::fromUtf8(artist);
  r.title = QString::fromUtf8(title);
  r.duration = duration;
  return r;
}

TEST(OnlineLyricMatch, ArtistAndTitleWithoutCaseOrSpacingAndTheClosestDuration) {
  const OnlineLyricQuery q{QStringLiteral("The Band"), QStringLiteral("Song One"), {}, 200};
  const struct {
    QList<OnlineLyricRecord> records;
    int best;
  } cases[] = {
      {{record("THE  BAND", "songone", 200)}, 0},
      {{record("The Band", "Song One", 196), record("The Band", "Song One", 202)}, 1},  // nearer wins
      {{record("The Band", "Song One", 204)}, -1},                                      // over 3 s off
  };
  for (const auto &c : cases) EXPECT_EQ(bestOnlineLyricMatch(c.records, q), c.best);
}

TEST(OnlineLyricUrl, HttpsOrLoopbackOnly) {
  for (const char *ok :
       {"https://lrclib.net", "http://127.0.0.1:8080", "http://[::1]:80", "http://localhost"})
    EXPECT_TRUE(onlineLyricUrlAllowed(QUrl(QString::fromLatin1(ok)))) << ok;
  for (const char *bad : {"http://lrclib.net", "ftp://127.0.0.1", "file:///tmp", "https://", "lrclib.net"})
    EXPECT_FALSE(onlineLyricUrlAllowed(QUrl(QString::fromLatin1(bad)))) << bad;
}

// A fixture with a song in a writable folder, its tag and a loopback service.
class OnlineLyricLookup : public ::testing::Test, private test::AppFirst {
 protected:
  OnlineLyricLookup() {
    g_.Tag.setArtist(QStringLiteral("The Band"));
    g_.Tag.setTitle(QStringLiteral("Song One"));
    g_.SongTag = g_.Tag;  // what the player names songs by
    g_.LyricOnline = 1;
    g_.OnlineLyricDir = dir_.filePath(QStringLiteral("data"));
    QDir().mkpath(dir_.filePath(QStringLiteral("songs")));
    song_ = dir_.filePath(QStringLiteral("songs/track.mp3"));
    qputenv("CANTOREL_LYRIC_URL", server_.url(QString()).toUtf8());
  }
  ~OnlineLyricLookup() override { qputenv("CANTOREL_LYRIC_URL", "http://127.0.0.1:9"); }

  QString saved() const { return dir_.filePath(QStringLiteral("songs/The Band - Song One.lrc")); }
  // Runs one lookup for the song to its end; true when one was started.
  bool lookUp(OnlineLyricStep &step) {
    step.fetch().setLimits({10000, 512 * 1024});
    bool ended = false;
    const auto c = QObject::connect(&step.fetch(), &OnlineLyricFetch::finished, [&ended] { ended = true; });
    const bool started = step.songWithoutLyric(song_, false, 200);
    EXPECT_TRUE(!started || test::spinUntil([&] { return ended; }));
    QObject::disconnect(c);
    return started;
  }

  Server server_;
  QTemporaryDir dir_;
  General g_;
  QString song_;
};

Server::Response ok(const QByteArray &body) {
  return Server::answer(200, body, {"Content-Type: application/json"});
}
const QByteArray kSynced =
    R"({"artistName":"The Band","trackName":"Song One","duration":200,"instrumental":false,)"
    R"("plainLyrics":"one\ntwo","syncedLyrics":"[00:01.00]one\n[00:02.50]two"})";

TEST_F(OnlineLyricLookup, AnswersOfTheServiceAndWhatIsSaved) {
  const QByteArray hits =
      R"([{"artistName":"The Band","trackName":"Song One","duration":197,"syncedLyrics":"[00:01]far"},)"
      R"({"artistName":"the band","trackName":"SONG ONE","duration":201,"syncedLyrics":"[00:01]near"},)"
      R"(7, {"artistName":"The Band","trackName":"Other","duration":200,"syncedLyrics":"[00:01]x"}])";
  const QByteArray elsewhere = "Location: http://localhost:" + QByteArray::number(server_.port()) + "/x";
  const struct {
    const char *name;
    Server::Response answer;  // to the first question
    QByteArray search;        // when not empty: the first answers 404, the search this
    const char *file;         // expected content of the saved file; null: nothing saved
  } cases[] = {
      {"404 then a search hit among two durations", {}, hits, "[00:01]near\n"},
      {"status 500", Server::answer(500, kSynced, {}), {}, nullptr},
      {"redirect to another host", Server::answer(302, "", {elsewhere}), {}, nullptr},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    QFile::remove(saved());
    server_.setResponder([&c](const Server::Request &r) {
      if (c.search.isEmpty()) return c.answer;
      return r.path.startsWith("/api/get") ? Server::answer(404, "{}", {}) : ok(c.search);
    });
    OnlineLyricStep step(g_);
    ASSERT_TRUE(lookUp(step));
    EXPECT_EQ(QFile::exists(saved()), c.file != nullptr);
    EXPECT_EQ(test::readAll(saved()), QByteArray(c.file));
  }
  // What the service was told, and by whom.
  const Server::Request &first = server_.requests().first();
  const QUrlQuery q(QUrl(QString::fromUtf8(first.path)).query());
  EXPECT_EQ(q.queryItemValue(QStringLiteral("artist_name"), QUrl::FullyDecoded), QStringLiteral("The Band"));
  EXPECT_EQ(q.queryItemValue(QStringLiteral("track_name"), QUrl::FullyDecoded), QStringLiteral("Song One"));
  EXPECT_EQ(q.queryItemValue(QStringLiteral("duration")), QStringLiteral("200"));
}

TEST_F(OnlineLyricLookup, FoundLyricIsNotAskedAgainAndStreamsAskNothing) {
  server_.setResponse(ok(kSynced));
  OnlineLyricStep step(g_);
  ASSERT_TRUE(lookUp(step));
  // Another run (a new step): the file on disk answers, nothing is sent.
  OnlineLyricStep again(g_);
  EXPECT_FALSE(again.songWithoutLyric(song_, false, 200));
  QFile::remove(saved());
  EXPECT_FALSE(again.songWithoutLyric(song_, true, 200));
  // Once per song and run, whatever came of it.
  server_.setResponse(Server::answer(500, "", {}));
  ASSERT_TRUE(lookUp(again));
  EXPECT_FALSE(again.songWithoutLyric(song_, false, 200));
  EXPECT_EQ(server_.requests().size(), 2);
}

TEST_F(OnlineLyricLookup, SaveFolderFallsBackFromTheLyricFolderToTheDataFolder) {
  const QString lyricDir = dir_.filePath(QStringLiteral("lyrics"));
  QDir().mkpath(lyricDir);
  g_.LyricPath = lyricDir + u'/';
  EXPECT_EQ(onlineLyricSavePath(song_, g_), lyricDir + QStringLiteral("/The Band - Song One.lrc"));
  g_.LyricPath.clear();
  EXPECT_EQ(onlineLyricSavePath(song_, g_), saved());
  // A song in a folder we cannot write (here: gone): the user's data folder.
  song_ = dir_.filePath(QStringLiteral("gone/track.mp3"));
  EXPECT_EQ(onlineLyricSavePath(song_, g_), g_.OnlineLyricDir + QStringLiteral("/The Band - Song One.lrc"));
}

}  // namespace
}  // namespace cantorel
