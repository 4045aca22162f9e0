// Fuzz target: a skin read and then applied to real pictures: composing work
// pictures, copying blocks, colour keys and outlines. Whatever the file says,
// pictures stay within the skin limits and nothing reads outside an image.
#include <QByteArray>
#include <QImage>
#include <QTemporaryDir>

#include "core/general.h"
#include "skin/skin_picture_gui.h"
#include "skin/skin_reader.h"
#include "support/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static QTemporaryDir dir;
  static bool once = [] {
    // Small real pictures under the names the seeds use.
    const struct {
      const char *name;
      int w, h;
    } pics[] = {{"main.bmp", 40, 30},    {"res.bmp", 64, 64},         {"a.bmp", 50, 20},
                {"default.png", 30, 30}, {"default_res.png", 30, 40}, {"pebble_sheet.png", 36, 30}};
    for (const auto &p : pics) {
      QImage img(p.w, p.h, QImage::Format_RGB32);
      img.fill(qRgb(255, 0, 255));
      for (int y = 0; y < p.h; y += 3)
        for (int x = y % 5; x < p.w; x += 4) img.setPixel(x, y, qRgb(x * 4, y * 4, 90));
      img.save(dir.filePath(QString::fromLatin1(p.name)), "PNG");
    }
    return true;
  }();
  (void)once;
  const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  const QString path = dir.filePath(QStringLiteral("f.skin"));
  cantorel::fuzz::writeFile(path, bytes);
  cantorel::General g;
  g.SkinImport = dir.path() + QLatin1Char('/');
  cantorel::SkinTables t;
  cantorel::SkinEnvironment env;
  env.appFolders = {dir.path()};
  cantorel::LoadSkin(path, true, env, t, g);
  cantorel::SkinPictures p;
  const cantorel::SkinShape shape = cantorel::ApplyPictureSteps(t.Pictures, p);
  for (const QImage *img : {&p.Background, &p.Resource})
    if (img->width() > cantorel::kMaxSkinPictureSide || img->height() > cantorel::kMaxSkinPictureSide)
      __builtin_trap();
  // The colour key works on the background of its moment, which later steps
  // may replace: its region is bounded by the picture limits.
  if (shape.hasRegion &&
      !QRect(0, 0, cantorel::kMaxSkinPictureSide, cantorel::kMaxSkinPictureSide)
           .contains(shape.hRgn.boundingRect()) &&
      !shape.hRgn.isEmpty())
    __builtin_trap();
  bool ok = false;
  (void)cantorel::OutlineRegion(t, &ok);
  return 0;
}
