// "cantorel-tool tag show|set" run on files made here: its JSON must say what
// the core library reads, and its writes must be those of the information
// window's save.
#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "playlist/display_title.h"
#include "playlist/mp3_info.h"
#include "support/test_support.h"
#include "tool_run.h"

namespace cantorel {
namespace {

using test::words;

// A few MPEG frame headers (128 kbit/s, 44.1 kHz, joint stereo) and silence.
QByteArray audio(int bytes = 600) {
  QByteArray a(bytes, '\0');
  for (int i = 0; i + 4 <= bytes; i += 200) {
    a[i] = static_cast<char>(0xFF);
    a[i + 1] = static_cast<char>(0xFB);
    a[i + 2] = static_cast<char>(0x90);
    a[i + 3] = static_cast<char>(0x64);
  }
  return a;
}

TagInfo sampleTag() {
  TagInfo t;
  t.setTitle(QStringLiteral("Luna"));
  t.setArtist(QStringLiteral("Ana"));
  t.setAlbum(QStringLiteral("Mar"));
  t.setYear(QStringLiteral("1999"));
  t.setComment(QStringLiteral("hi"));
  t.Track = 7;
  t.Genre = 17;
  t.Found = true;
  return t;
}

class TagTool : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    for (const char *d : {"home", "music"}) ASSERT_TRUE(QDir(dir.path()).mkpath(QString::fromUtf8(d)));
  }
  QString path(const char *rel) const { return dir.filePath(QString::fromUtf8(rel)); }
  test::ToolRun tool(const QStringList &args) { return test::runTool(args, path("home"), dir.path()); }

  // The tag fields of the JSON against a record read by the core.
  static void expectTag(const QJsonObject &j, const TagInfo &t) {
    EXPECT_EQ(j.value(QStringLiteral("found")).toBool(), t.Found);
    EXPECT_EQ(j.value(QStringLiteral("title")).toString(), t.Title.trimmed());
    EXPECT_EQ(j.value(QStringLiteral("artist")).toString(), t.Artist.trimmed());
    EXPECT_EQ(j.value(QStringLiteral("album")).toString(), t.Album.trimmed());
    EXPECT_EQ(j.value(QStringLiteral("year")).toString(), t.Year.trimmed());
    EXPECT_EQ(j.value(QStringLiteral("comment")).toString(), t.Comment.trimmed());
    EXPECT_EQ(j.value(QStringLiteral("track")).toInt(), t.Track);
    EXPECT_EQ(j.value(QStringLiteral("genre")).toInt(), t.Genre);
    EXPECT_EQ(j.value(QStringLiteral("genreName")).toString(),
              GenreList().value(GenreListIndex(t.Genre)));
  }

  QTemporaryDir dir;
};

TEST_F(TagTool, ShowSaysWhatTheReaderSays) {
  // An older placement: a lower-case "tag" 100 bytes before the end.
  QByteArray old = BuildTagRecord(sampleTag()).left(100);
  old.replace(0, 3, "tag");
  const struct {
    const char *name;
    QByteArray bytes;
    qint64 offset;  // where the tag starts, -1 for none
  } files[] = {
      {"tagged.mp3", audio() + BuildTagRecord(sampleTag()), 600},
      {"plain.mp3", audio(), -1},
      {"older.mp3", audio() + old, 600},
      {"short.mp3", audio(100), -1},
  };
  for (const auto &f : files) test::writeAll(path("music/") + QString::fromUtf8(f.name), f.bytes);
  QStringList names;
  for (const auto &f : files) names << QString::fromUtf8(f.name);
  names << QStringLiteral("missing.mp3");
  for (int k = 0; k < names.size(); ++k) {
    SCOPED_TRACE(qPrintable(names[k]));
    const QString file = path("music/") + names[k];
    const Mp3Info info = ReadMp3Info(file);
    const test::ToolRun r = tool(words("tag show --json") << file);
    const QJsonObject j = r.json();
    EXPECT_EQ(r.exitCode, info.HeaderRead ? 0 : 1);
    EXPECT_EQ(j.value(QStringLiteral("read")).toBool(), info.HeaderRead);
    const QJsonObject h = j.value(QStringLiteral("header")).toObject();
    EXPECT_EQ(h.value(QStringLiteral("bitrate")).toString(), info.Header.Bitrate);
    EXPECT_EQ(h.value(QStringLiteral("sampleRate")).toString(), info.Header.SampleRate);
    EXPECT_EQ(h.value(QStringLiteral("channels")).toString(), info.Header.Channels);
    const QJsonObject t = j.value(QStringLiteral("tag")).toObject();
    expectTag(t, info.Tag);
    const qint64 offset = k < 4 ? files[k].offset : -1;
    EXPECT_EQ(t.value(QStringLiteral("offset")).isNull(), offset < 0);
    if (offset >= 0) {
      EXPECT_EQ(t.value(QStringLiteral("offset")).toInteger(), offset);
    }
    EXPECT_EQ(t.value(QStringLiteral("atEnd")).toBool(), k == 0);
    // The default title settings: friendly names, the artist shown.
    EXPECT_EQ(j.value(QStringLiteral("displayTitle")).toString(), TitleFromFile(file, TitleOptions{1, 1, 0}));
  }
  EXPECT_FALSE(ReadMp3Info(path("music/tagged.mp3")).Header.Bitrate.trimmed().isEmpty());

  // The title options come from the user's settings, and the command line
  // replaces them.
  const QString tagged = path("music/tagged.mp3");
  test::writeAll(path("home/cantorel.conf"), "[Cantorel v4.0/config]\nShowArtist=0\nShowAlbum=1\n");
  EXPECT_EQ(tool(words("tag show --json") << tagged).json().value(QStringLiteral("displayTitle")).toString(),
            TitleFromFile(tagged, TitleOptions{1, 0, 1}));
  EXPECT_EQ(tool(words("tag show --json --show-artist 1 --show-album 0") << tagged)
                .json()
                .value(QStringLiteral("displayTitle"))
                .toString(),
            QStringLiteral("Ana - Luna"));

  // The plain report shows tag text made harmless for a terminal.
  TagInfo esc = sampleTag();
  esc.setTitle(QStringLiteral("red \x1b[31m"));
  test::writeAll(path("music/esc.mp3"), audio() + BuildTagRecord(esc));
  const test::ToolRun plain = tool(words("tag show") << path("music/esc.mp3"));
  EXPECT_EQ(plain.exitCode, 0);
  EXPECT_TRUE(plain.out.contains("red \\x1b[31m"));
  EXPECT_FALSE(plain.out.contains('\x1b'));
}

TEST_F(TagTool, SetWritesAsTheWindowSaves) {
  const QString file = path("music/song.mp3");
  test::writeAll(file, audio());

  // No tag yet: appended; fields not given are blank, the genre "Unknown".
  test::ToolRun r = tool(words("tag set --json --title Luna --artist Ana") << file);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.json().value(QStringLiteral("outcome")).toString(), QStringLiteral("added"));
  EXPECT_EQ(QFileInfo(file).size(), 600 + 128);
  TagInfo t = ReadMp3Info(file).Tag;
  expectTag(r.json().value(QStringLiteral("tag")).toObject(), t);
  EXPECT_EQ(t.Title.trimmed(), QStringLiteral("Luna"));
  EXPECT_EQ(t.Genre, TagInfo::kUnknownGenre);
  EXPECT_EQ(test::readAll(file).left(600), audio());

  // Over the tag: the other fields keep their values.
  r = tool(words("tag set --json --track 9 --genre rock --year 2001") << file);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.json().value(QStringLiteral("outcome")).toString(), QStringLiteral("updated"));
  EXPECT_EQ(QFileInfo(file).size(), 600 + 128);
  t = ReadMp3Info(file).Tag;
  expectTag(r.json().value(QStringLiteral("tag")).toObject(), t);
  EXPECT_EQ(t.Artist.trimmed(), QStringLiteral("Ana"));
  EXPECT_EQ(t.Year, QStringLiteral("2001"));
  EXPECT_EQ(t.Track, 9);
  EXPECT_EQ(GenreList().value(GenreListIndex(t.Genre)), QStringLiteral("Rock"));

  // Refused or left alone: the file does not change.
  const QByteArray before = test::readAll(file);
  test::writeAll(path("music/short.mp3"), audio(100));
  const struct {
    const char *args;
    const char *outcome;
  } rejected[] = {{"--track 256", "refused"}, {"--track -1", "refused"}};
  for (const auto &c : rejected) {
    r = tool(words("tag set --json") << words(c.args) << file);
    EXPECT_EQ(r.exitCode, 1) << c.args;
    EXPECT_EQ(r.json().value(QStringLiteral("outcome")).toString(), QString::fromUtf8(c.outcome));
    EXPECT_EQ(test::readAll(file), before) << c.args;
  }
  r = tool(words("tag set --title X") << path("music/short.mp3"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "too-short\n");
  EXPECT_EQ(test::readAll(path("music/short.mp3")), audio(100));
}

TEST_F(TagTool, UsageErrors) {
  for (const char *args : {"tag", "tag show", "tag show a b", "tag show a --show-artist 2",
                           "tag set", "tag set a --title", "tag set a --genre Nonesuch",
                           "tag set a --bogus x", "tag write a"})
    EXPECT_EQ(tool(words(args)).exitCode, 2) << args;
}

}  // namespace
}  // namespace cantorel
