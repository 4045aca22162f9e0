// Skin loading: the shipped default skin (reader alone, reader with its
// pictures and shape, the whole load onto a window), and a skin whose
// 1920 x 1080 background is shaped by a colour key, with the region
// computation measured on its own.
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>

#include "core/general.h"
#include "core/main_state.h"
#include "skin/skin_picture_gui.h"
#include "skin/skin_reader.h"
#include "skin/skin_window.h"

using namespace cantorel;

namespace {

QString defaultSkin() {
  return QStringLiteral(CANTOREL_BUILD_DATA_DIR "/skins/default.skin");
}

void ensureApp() {
  static int argc = 1;
  static char name[] = "bench_skin_gui";
  static char *argv[] = {name, nullptr};
  if (!QApplication::instance()) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(argc, argv);
  }
}

// A 1920 x 1080 face: a rounded body with the key colour around it and a few
// holes, the way shaped skins look.
QImage bigFace() {
  QImage img(1920, 1080, QImage::Format_RGB32);
  img.fill(QColor(255, 0, 255));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 36, 50));
  p.drawRoundedRect(QRect(0, 0, 1920, 1080), 120, 120);
  p.setBrush(QColor(255, 0, 255));
  for (int i = 0; i < 12; ++i) p.drawEllipse(QPoint(160 * i + 80, 540), 50, 300);
  return img;
}

struct BigSkin {
  QTemporaryDir dir;
  QString path;
  BigSkin() {
    bigFace().save(dir.filePath(QStringLiteral("big.png")));
    path = dir.filePath(QStringLiteral("big.skin"));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
      f.write(
          "Cantorel Skin, big\r\n1920,1080\r\n1920,1080\r\n400,100\r\nbig.png,\r\n0,0,0,0,0,0,0,0\r\n"
          "O,255,0,255\r\nB1,10,10,20,20,0,0,Q,Close\r\n");
  }
};

void BM_DefaultSkinReader(benchmark::State &state) {
  for (auto _ : state) {
    General g;
    SkinTables t;
    SkinEnvironment env;
    benchmark::DoNotOptimize(LoadSkin(defaultSkin(), true, env, t, g));
  }
}
BENCHMARK(BM_DefaultSkinReader)->Unit(benchmark::kMillisecond);

void BM_DefaultSkinReaderAndPictures(benchmark::State &state) {
  for (auto _ : state) {
    General g;
    SkinTables t;
    SkinEnvironment env;
    LoadSkin(defaultSkin(), true, env, t, g);
    SkinPictures p;
    benchmark::DoNotOptimize(ApplyPictureSteps(t.Pictures, p));
  }
}
BENCHMARK(BM_DefaultSkinReaderAndPictures)->Unit(benchmark::kMillisecond);

void BM_DefaultSkinOntoWindow(benchmark::State &state) {
  ensureApp();
  QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
  General g;
  MainState st;
  SkinWindow skin(&window, g, st);
  window.show();
  for (auto _ : state) {
    benchmark::DoNotOptimize(skin.LoadSkin(defaultSkin(), true));
    QCoreApplication::processEvents();  // the repaint belongs to the load
  }
}
BENCHMARK(BM_DefaultSkinOntoWindow)->Unit(benchmark::kMillisecond);

void BM_ColorKeyRegion1920x1080(benchmark::State &state) {
  const QImage img = bigFace();
  for (auto _ : state) benchmark::DoNotOptimize(RegionFromPicture(img, 255 + 255 * 65536));
}
BENCHMARK(BM_ColorKeyRegion1920x1080)->Unit(benchmark::kMillisecond);

void BM_ColorKeyedSkin1920x1080Load(benchmark::State &state) {
  static BigSkin big;
  for (auto _ : state) {
    General g;
    SkinTables t;
    SkinEnvironment env;
    LoadSkin(big.path, true, env, t, g);
    SkinPictures p;
    benchmark::DoNotOptimize(ApplyPictureSteps(t.Pictures, p));
  }
}
BENCHMARK(BM_ColorKeyedSkin1920x1080Load)->Unit(benchmark::kMillisecond);

}  // namespace
