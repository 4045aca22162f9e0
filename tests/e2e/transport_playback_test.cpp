// The transport with the plug-ins we ship: real files through the null
// audio sink.
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "media_files.h"
#include "playback/transport.h"
#include "plugins/plugin_host.h"
#include "plugins/plugin_object.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

class Labels : public TransportHost {
 public:
  void setLabel(int n, const QString &t) override { labels[n] = t; }
  QHash<int, QString> labels;
};

TEST(TransportPlayback, PlaysSeeksChangesSpeedAndStops) {
  QTemporaryDir dir;
  PluginHost host(qEnvironmentVariable("CANTOREL_PLUGIN_DIR"));
  General g;
  MainState st;
  Playlist pl;
  Labels labels;
  Transport t(g, st, pl, host, labels);
  st.Sliders[2].Value = 1;
  st.Sliders[5].Value = 0.5;
  g.Balance = 0.5f;

  host.ScanInputPlugins(g);
  ASSERT_FALSE(g.InputPluginTable.isEmpty());
  EXPECT_TRUE(PluginHost::InputFilter(g.InputPluginTable).contains(QLatin1String("*.mp3")));

  const QString song = dir.filePath(QStringLiteral("Artist - Song.wav"));
  test::writeAll(song, test::makeWav(6.0));
  pl.append(QStringLiteral("Artist - Song"), song);
  t.PlayIt(0);
  EXPECT_EQ(g.InputPluginName, QStringLiteral("qv_input_gst"));
  EXPECT_NEAR(st.SongLen, 6.0, 0.02);
  EXPECT_EQ(labels.labels[13], QStringLiteral("0:06"));
  auto position = [&] { return g.Player->value("GetCurrentPosition").toDouble(); };
  QElapsedTimer clock;
  clock.start();
  while (position() < 0.2 && clock.elapsed() < 3000) QThread::msleep(10);
  EXPECT_GE(position(), 0.2);

  t.PlayFrom(3);
  EXPECT_NEAR(position(), 3.0, 0.1);
  t.SetRate(1.0);  // 150 %
  EXPECT_EQ(labels.labels[24], QStringLiteral("150%"));
  const double from = position();
  QThread::msleep(600);
  EXPECT_NEAR(position() - from, 0.9, 0.12);

  t.SetBalance(0.0f);
  EXPECT_EQ(static_cast<quint32>(g.Player->value("GetVolume", {0}).toLongLong()), 0x0000FFFFu);
  EXPECT_FLOAT_EQ(t.ReadVolume(), 1.0f);
  t.SetBalance(0.5f);

  t.StopIt();
  EXPECT_EQ(st.Playing, 0);
  const double stopped = position();
  QThread::msleep(200);
  EXPECT_EQ(position(), stopped);
}

}  // namespace
}  // namespace cantorel
