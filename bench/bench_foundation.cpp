// Start-up costs of the foundation: reading and writing the settings file,
// loading a language file, and the display-name rule the playlist applies to
// every added file. The floor for the settings write is a plain write of the
// same bytes without the atomic replace.
#include <QDir>
#include <unistd.h>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "core/general.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "playlist/paths.h"
#include "prefs/language.h"

namespace {

using namespace cantorel;

QString writeSampleSettings(const QTemporaryDir &dir) {
  SettingsStore store(dir.filePath(QStringLiteral("cantorel.conf")));
  store.load();
  Settings s(store);
  General g;
  s.load(g, {});
  s.save(g, {});
  return store.filePath();
}

void BM_SettingsLoad(benchmark::State &state) {
  QTemporaryDir dir;
  const QString path = writeSampleSettings(dir);
  for (auto _ : state) {
    SettingsStore store(path);
    store.load();
    Settings s(store);
    General g;
    benchmark::DoNotOptimize(s.load(g, {}));
  }
}
BENCHMARK(BM_SettingsLoad);

void BM_SettingsSave(benchmark::State &state) {
  QTemporaryDir dir;
  const QString path = writeSampleSettings(dir);
  SettingsStore store(path);
  store.load();
  Settings s(store);
  General g;
  s.load(g, {});
  for (auto _ : state) benchmark::DoNotOptimize(s.save(g, {}));
}
BENCHMARK(BM_SettingsSave);

// A settings file of nearly 1 MiB holding tens of thousands of sections (what
// other programs' keys or a hostile file can make of it): each save reads it
// again, merges and writes it whole. Reported with the section count.
void BM_SettingsSaveManySections(benchmark::State &state) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("cantorel.conf"));
  QByteArray text;
  int sections = 0;
  while (text.size() < SettingsStore::kMaxFileSize - 64)
    text += "[App/s" + QByteArray::number(sections++) + "]\nk=v\n";
  {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(text);
  }
  SettingsStore store(path);
  store.load();
  int n = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(store.setValue(QStringLiteral("App"), QStringLiteral("s1"), QStringLiteral("k"),
                                            QString::number(n++)));
  state.counters["sections"] = sections;
  state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_SettingsSaveManySections)->Unit(benchmark::kMillisecond);

void BM_SettingsSaveFloor_PlainWrite(benchmark::State &state) {
  QTemporaryDir dir;
  const QByteArray bytes = [&] {
    QFile f(writeSampleSettings(dir));
    f.open(QIODevice::ReadOnly);
    return f.readAll();
  }();
  const QString path = dir.filePath(QStringLiteral("plain.conf"));
  for (auto _ : state) {
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
    f.flush();
    f.handle() >= 0 ? (void)::fsync(f.handle()) : (void)0;
  }
}
BENCHMARK(BM_SettingsSaveFloor_PlainWrite);

void BM_LanguageLoad(benchmark::State &state) {
  QByteArray file;
  for (int i = 1; i <= 300; ++i) file += "Message text number " + QByteArray::number(i) + "\r\n";
  std::array<QString, General::kMessageCount> messages;
  for (auto _ : state) benchmark::DoNotOptimize(loadLanguageBytes(file, messages));
}
BENCHMARK(BM_LanguageLoad);

void BM_FriendlyName(benchmark::State &state) {
  const QString p = QStringLiteral("/home/user/Music/Artist/Album/01 - My_Favourite.Song.mp3");
  for (auto _ : state) benchmark::DoNotOptimize(FriendlyName(p, 1));
}
BENCHMARK(BM_FriendlyName);

}  // namespace
