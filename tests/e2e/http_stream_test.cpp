// An internet stream: qv_input_gst plays from a real HTTP server on the
// loopback interface.
#include <QCoreApplication>

#include <gtest/gtest.h>

#include "media_files.h"
#include "plugins/plugin_host.h"
#include "plugins/plugin_object.h"
#include "support/loopback_http.h"

namespace cantorel {
namespace {

TEST(HttpStream, PlaysFromAnHttpAddress) {
  static int argc = 1;
  static char name[] = "e2e";
  static char *argv[] = {name, nullptr};
  if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
  test::LoopbackHttpServer server;
  const QByteArray wav = test::makeWav(6.0);
  server.setResponse(test::LoopbackHttpServer::answer(
      200, wav, {"Content-Type: audio/x-wav", "Content-Length: " + QByteArray::number(wav.size())}));
  PluginHost host(qEnvironmentVariable("CANTOREL_PLUGIN_DIR"));
  auto player = host.create(PluginKind::Input, QStringLiteral("qv_input_gst"));
  ASSERT_TRUE(player);
  const QString url = server.url(QStringLiteral("/radio.wav"));
  ASSERT_NE(player->value("Init", {url}).toInt(), -1);
  player->call("RenderFile", {url});
  player->call("Run");
  EXPECT_TRUE(test::spinUntil([&] { return player->value("GetCurrentPosition").toDouble() >= 0.5; }, 8000))
      << qPrintable(player->value("LastError").toString());
  EXPECT_EQ(player->value("Duration").toDouble(), 0.0);  // streams have no length
  player->call("CleanUP");
  player->call("finish");
}

}  // namespace
}  // namespace cantorel
