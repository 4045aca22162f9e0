// The plug-in host: discovery, the input plug-in table, the dialog filter,
// choosing the player, the visualization plug-in, and calls by member name.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "plugins/plugin_host.h"
#include "plugins/plugin_object.h"
#include "plugins/vis_calls.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

QString testPlugin(const QString &kind, const QString &file) {
  return test::buildDir() + QLatin1String("/tests/plugins/") + kind + u'/' + file;
}
QString shipped(const QString &kind, const QString &file) {
  return qEnvironmentVariable("CANTOREL_PLUGIN_DIR") + u'/' + kind + u'/' + file;
}

// A plug-in folder of our own making, with the given libraries copied in.
class PluginFolder {
 public:
  PluginFolder() {
    QDir(dir_.path()).mkpath(QStringLiteral("input_plugins"));
    QDir(dir_.path()).mkpath(QStringLiteral("vis_plugins"));
  }
  QString path() const { return dir_.path(); }
  void copy(const QString &from, const QString &kind, const QString &name) {
    ASSERT_TRUE(QFile::copy(from, dir_.filePath(kind + u'/' + name))) << qPrintable(from);
  }
  void write(const QString &kind, const QString &name, const QByteArray &bytes) {
    test::writeAll(dir_.filePath(kind + u'/' + name), bytes);
  }

 private:
  QTemporaryDir dir_;
};

InputPluginInfo row(const QString &name, const QString &ext) {
  return InputPluginInfo{name, ext, {}, {}, {}};
}

TEST(InputFilter, OneEntryWithEveryDeclaredPatternThenAllFiles) {
  struct Case {
    QList<InputPluginInfo> table;
    QString filter;
  } cases[] = {
      {{}, QStringLiteral("All files|*")},
      // Patterns of every plug-in and every pair, once each, in lower case;
      // names, "*.*" and plug-ins without extensions add nothing.
      {{row(QStringLiteral("a"), QStringLiteral("Ogg files|*.ogg;*.OGA;|Wave|*.wav;*.*")),
        row(QStringLiteral("b"), QString()), row(QStringLiteral("c"), QStringLiteral("Flac|*.flac;*.ogg"))},
       QStringLiteral("Music files|*.ogg;*.oga;*.wav;*.flac|All files|*")},
  };
  for (const Case &c : cases) EXPECT_EQ(PluginHost::InputFilter(c.table), c.filter);
}

class PickInputPluginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char *n : {"qv_input_a", "qv_input_b", "qv_input_c"}) {
      const QString name = QLatin1String(n);
      host.registerClass(PluginKind::Input, name, [name] {
        auto o = std::make_unique<QObject>();
        o->setObjectName(name);
        return o;
      });
    }
    g.InputPluginTable = {row(QStringLiteral("qv_input_a"), QStringLiteral("Ogg files|*.ogg;*.mp3")),
                          row(QStringLiteral("qv_input_b"), QStringLiteral("Vorbis|*.OGG")),
                          row(QStringLiteral("qv_input_c"), QStringLiteral("Wave|*.wav"))};
  }
  QString pickedName() const { return g.Player ? g.Player->object()->objectName() : QString(); }

  PluginHost host{QStringLiteral("/nonexistent")};
  General g;
};

TEST_F(PickInputPluginTest, LastMatchingRowWinsBySubstringWithoutCaseAndIsCreatedAfresh) {
  struct Case {
    const char *ext;
    const char *name;
  } cases[] = {{"OGG", "qv_input_b"}, {"ogg", "qv_input_b"}, {"MP", "qv_input_a"}, {"WAV", "qv_input_c"}};
  for (const Case &c : cases) {
    ASSERT_TRUE(host.PickInputPlugin(g, QLatin1String(c.ext))) << c.ext;
    EXPECT_EQ(g.InputPluginName, QLatin1String(c.name)) << c.ext;
    EXPECT_EQ(pickedName(), QLatin1String(c.name)) << c.ext;
  }
  // Each pick makes a fresh object; no match keeps the player; a match that
  // cannot be created falls back to an earlier row.
  const auto first = g.Player;
  ASSERT_TRUE(host.PickInputPlugin(g, QStringLiteral("WAV")));
  EXPECT_NE(g.Player, first);
  const auto before = g.Player;
  EXPECT_FALSE(host.PickInputPlugin(g, QStringLiteral("XM")));
  EXPECT_EQ(g.Player, before);
  g.InputPluginTable.append(row(QStringLiteral("qv_input_gone"), QStringLiteral("Wave|*.wav")));
  ASSERT_TRUE(host.PickInputPlugin(g, QStringLiteral("WAV")));
  EXPECT_EQ(g.InputPluginName, QStringLiteral("qv_input_c"));
}

TEST(PluginDiscovery, BrokenLibrariesAreSkippedGoodOnesListedAndCalledByName) {
  // The plug-in we ship is built from the SDK like any third party's.
  const QString in = QStringLiteral("input_plugins");
  const QString gst = shipped(in, QStringLiteral("qv_input_gst.so"));
  PluginFolder f;
  f.copy(gst, in, QStringLiteral("qv_input_gst.so"));
  f.copy(testPlugin(in, QStringLiteral("qv_input_partial.so")), in, QStringLiteral("qv_input_partial.so"));
  // Not a library, a library that is no plug-in, a plug-in of the wrong
  // kind, and a plug-in whose class does not match its file name.
  f.write(in, QStringLiteral("qv_input_garbage.so"), QByteArray(4096, '\x7f'));
  f.write(in, QStringLiteral("qv_input_empty.so"), QByteArray());
  f.copy(QStringLiteral("/lib/x86_64-linux-gnu/libz.so.1"), in, QStringLiteral("qv_input_zlib.so"));
  f.copy(testPlugin(QStringLiteral("vis_plugins"), QStringLiteral("qv_lyricecho.so")), in,
         QStringLiteral("qv_input_wrongkind.so"));
  f.copy(gst, in, QStringLiteral("qv_input_renamed.so"));
  // Names outside the pattern are not looked at.
  f.copy(gst, in, QStringLiteral("other_gst.so"));
  f.copy(gst, in, QStringLiteral("qv_input_gst.so.bak"));

  PluginHost host(f.path());
  General g;
  host.ScanInputPlugins(g);
  ASSERT_EQ(g.InputPluginTable.size(), 2);
  const InputPluginInfo &gstInfo = g.InputPluginTable[0];
  EXPECT_EQ(gstInfo.Name, QStringLiteral("qv_input_gst"));
  EXPECT_TRUE(gstInfo.Extensions.contains(QLatin1String("|*.mp3;"))) << qPrintable(gstInfo.Extensions);
  EXPECT_FALSE(gstInfo.Author.isEmpty() || gstInfo.Version.isEmpty() || gstInfo.Description.isEmpty());
  const InputPluginInfo &partial = g.InputPluginTable[1];
  EXPECT_EQ(partial.Name, QStringLiteral("qv_input_partial"));
  EXPECT_EQ(partial.Extensions, QStringLiteral("Partial|*.part"));
  EXPECT_TRUE(partial.Author.isEmpty());
  ASSERT_TRUE(host.PickInputPlugin(g, QStringLiteral("MP3")));
  EXPECT_EQ(g.Player->className(), QStringLiteral("qv_input_gst.Processor"));

  // Members missing or declared otherwise fail without harm.
  auto obj = host.create(PluginKind::Input, QStringLiteral("qv_input_partial"));
  ASSERT_TRUE(obj);
  EXPECT_TRUE(obj->has("getExtensions", 0));
  EXPECT_FALSE(obj->has("Run", 0));
  EXPECT_FALSE(obj->call("Run"));
  EXPECT_FALSE(obj->value("Duration").isValid());
  EXPECT_FALSE(obj->call("SetVolume", {0, -1}));                  // argument of an unusable type
  EXPECT_FALSE(obj->call("getExtensions", {1, 2, 3}));            // wrong number of arguments
  EXPECT_FALSE(obj->call("getExtensions", QVariantList(11, 0)));  // more than a member can take
  EXPECT_EQ(obj->value("GETEXTENSIONS").toString(), QStringLiteral("Partial|*.part"));  // any letter case
  // Names with a folder part never reach the file system: a library outside
  // the plug-in folder is not even loaded.
  QTemporaryDir outside;
  ASSERT_TRUE(QFile::copy(testPlugin(in, QStringLiteral("qv_input_partial.so")),
                          outside.filePath(QStringLiteral("qv_input_elsewhere.so"))));
  const QString elsewhere =
      QDir(f.path() + u'/' + in).relativeFilePath(outside.filePath(QStringLiteral("qv_input_elsewhere")));
  EXPECT_FALSE(host.create(PluginKind::Input, elsewhere));
  EXPECT_FALSE(test::readAll(QStringLiteral("/proc/self/maps")).contains("qv_input_elsewhere.so"));

  // Once a player is chosen the table stays as it is.
  g.InputPluginTable.clear();
  host.ScanInputPlugins(g);
  EXPECT_TRUE(g.InputPluginTable.isEmpty());
}

// The visualization plug-ins are listed by what each says it does (one that
// cannot say keeps its file name), the active one selected; the one chosen is
// created, given the look and then the lines.
TEST(VisPlugin, ListedChosenCreatedAndGivenTheLookAndTheLines) {
  const QString vis = QStringLiteral("vis_plugins");
  PluginFolder f;
  f.write(vis, QStringLiteral("qv_a.so"), QByteArray());
  f.write(vis, QStringLiteral("other.so"), QByteArray());
  f.copy(shipped(vis, QStringLiteral("qv_plugin.so")), vis, QStringLiteral("qv_plugin.so"));
  f.copy(testPlugin(vis, QStringLiteral("qv_lyricecho.so")), vis, QStringLiteral("qv_lyricecho.so"));
  PluginHost host(f.path());
  General g;
  g.VisPluginName = QStringLiteral("qv_plugin");
  const PluginListing l = host.ListPlugins(g);
  EXPECT_EQ(l.visPlugins.join(u'|'), QStringLiteral("qv_a.so|qv_lyricecho.so|qv_plugin.so"));
  EXPECT_EQ(l.selectedVisPlugin, 2);
  ASSERT_EQ(l.visDescriptions.size(), 3);
  EXPECT_EQ(l.visDescriptions[0], QStringLiteral("qv_a.so"));
  EXPECT_TRUE(l.visDescriptions[2].startsWith(QStringLiteral("Full-screen lyrics")))
      << qPrintable(l.visDescriptions[2]);
  g.VisPluginName = QStringLiteral("qv_gone");
  EXPECT_EQ(host.ListPlugins(g).selectedVisPlugin, 0);
  PluginFolder empty;
  EXPECT_EQ(PluginHost(empty.path()).ListPlugins(g).selectedVisPlugin, -1);

  LyricLineLook look{
      QStringLiteral("Lyric"), 0x00FF00, 0x000000, QStringLiteral("Arial"), true, 10.0f, 15.0f, 30.0f};
  g.VisPluginName.clear();
  EXPECT_FALSE(FullScreenMode(g, look));  // none chosen: the caller shows message 70
  ShowLyricOnPlugin(g, QStringLiteral("nobody listens"));
  g.VisPluginName = QStringLiteral("qv_gone");
  host.CreatePlugin(g);
  EXPECT_FALSE(g.VisPlugin);

  host.ApplyVisPlugin(g, QStringLiteral("qv_lyricecho.so"));
  EXPECT_EQ(g.VisPluginName, QStringLiteral("qv_lyricecho"));
  ASSERT_TRUE(FullScreenMode(g, look));
  ShowLyricOnPlugin(g, QStringLiteral("one"));
  ShowLyricOnPlugin(g, QStringLiteral("<b>two</b>"));
  // Numbers arrive in whatever type the plug-in declared.
  const QVariantList got = g.VisPlugin->value("Look").toList();
  ASSERT_EQ(got.size(), 8);
  EXPECT_EQ(got[0].toString(), QStringLiteral("Lyric"));
  EXPECT_EQ(got[1].toInt(), 0x00FF00);
  EXPECT_TRUE(got[4].toBool());
  EXPECT_FLOAT_EQ(got[7].toFloat(), 30.0f);
  EXPECT_EQ(g.VisPlugin->value("Lines").toStringList().join(u'|'), QStringLiteral("one|<b>two</b>"));

  g.VisPluginName.clear();
  host.CreatePlugin(g);
  EXPECT_FALSE(g.VisPlugin);
}

}  // namespace
}  // namespace cantorel
