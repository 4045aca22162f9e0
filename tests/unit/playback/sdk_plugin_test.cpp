// A plug-in built from the SDK header alone (tests/plugins/tone_processor.cpp)
// found in a plug-in folder and driven by the transport like any player.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "playback/transport.h"
#include "plugins/plugin_host.h"
#include "plugins/plugin_object.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

TEST(SdkPlugin, DiscoveredChosenAndDrivenInTheDocumentedOrder) {
  QTemporaryDir plugins, media;
  QDir(plugins.path()).mkpath(QStringLiteral("input_plugins"));
  ASSERT_TRUE(QFile::copy(test::buildDir() + QLatin1String("/tests/plugins/input_plugins/qv_input_tone.so"),
                          plugins.filePath(QStringLiteral("input_plugins/qv_input_tone.so"))));
  PluginHost host(plugins.path());
  General g;
  MainState st;
  Playlist pl;
  TransportHost quiet;
  Transport t(g, st, pl, host, quiet);
  st.Sliders[2].Value = 1;
  st.Sliders[5].Value = 1;  // rate 1.5
  g.Balance = 0.5f;

  host.ScanInputPlugins(g);
  ASSERT_EQ(g.InputPluginTable.size(), 1);
  EXPECT_EQ(PluginHost::InputFilter(g.InputPluginTable), QStringLiteral("Music files|*.tone|All files|*"));

  for (const char *name : {"a.tone", "b.tone"}) {
    test::writeAll(media.filePath(QLatin1String(name)), "30\n");
    pl.append(QLatin1String(name), media.filePath(QLatin1String(name)));
  }
  t.PlayIt(0);
  ASSERT_TRUE(g.Player);
  EXPECT_EQ(g.Player->className(), QStringLiteral("qv_input_tone.Processor"));
  EXPECT_EQ(st.SongLen, 30.0);
  EXPECT_EQ(st.Playing, -1);
  const auto first = g.Player;
  EXPECT_EQ(first->value("CallLog").toStringList(),
            (QStringList{QStringLiteral("Init"), QStringLiteral("RenderFile"),
                         QStringLiteral("CurrentPosition(set)"), QStringLiteral("Rate"),
                         QStringLiteral("Duration"), QStringLiteral("SetVolume"), QStringLiteral("Run")}));
  EXPECT_DOUBLE_EQ(first->value("CurrentRate").toDouble(), 1.5);

  // It plays on its own clock, at the rate asked.
  QElapsedTimer clock;
  clock.start();
  while (first->value("GetCurrentPosition").toDouble() < 0.3 && clock.elapsed() < 3000) QThread::msleep(10);
  EXPECT_GE(first->value("GetCurrentPosition").toDouble(), 0.3);

  t.PauseIt();
  t.PlayFrom(10);
  EXPECT_NEAR(first->value("CurrentPosition").toDouble(), 10.0, 0.01);
  t.NextTrack();
  EXPECT_NE(g.Player, first);
  const QStringList log = first->value("CallLog").toStringList();
  EXPECT_EQ(log.mid(log.size() - 2), (QStringList{QStringLiteral("CleanUP"), QStringLiteral("finish")}));
  EXPECT_EQ(st.TNum, 2);
  EXPECT_EQ(st.Paused, 0);
  t.StopIt();
  EXPECT_EQ(st.Playing, 0);
}

}  // namespace
}  // namespace cantorel
