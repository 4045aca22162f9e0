#include "skin/skin_picture_gui.h"

#include <QImageReader>
#include <QPainter>
#include <QPolygon>

#include "skin/skin_reader.h"

namespace cantorel {

QImage ReadSkinPicture(const QString &path) {
  QImageReader reader(path);
  reader.setDecideFormatFromContent(true);
  const QSize size = reader.size();
  if (size.isValid() && (size.width() > kMaxSkinPictureSide || size.height() > kMaxSkinPictureSide))
    return QImage();
  QImage img = reader.read();
  if (img.isNull() || img.width() > kMaxSkinPictureSide || img.height() > kMaxSkinPictureSide)
    return QImage();
  return img.convertToFormat(QImage::Format_RGB32);
}

namespace {

void sizeWork(QImage &img, int w, int h) {
  QImage sized(qMax(0, w), qMax(0, h), QImage::Format_RGB32);
  if (sized.isNull()) {
    img = QImage();
    return;
  }
  sized.fill(Qt::black);
  if (!img.isNull()) {
    QPainter p(&sized);
    p.drawImage(0, 0, img);
  }
  img = sized;
}

// Copies the block (sx, sy, w, h) of `from` to (dx, dy) of `to`, clipped to
// both pictures.
void copyBlock(const QImage &from, QImage &to, int sx, int sy, int w, int h, int dx, int dy) {
  if (from.isNull() || to.isNull() || w <= 0 || h <= 0) return;
  QRect src = QRect(sx, sy, w, h).intersected(from.rect());
  if (src.isEmpty()) return;
  QRect dst(dx + (src.x() - sx), dy + (src.y() - sy), src.width(), src.height());
  const QRect clipped = dst.intersected(to.rect());
  if (clipped.isEmpty()) return;
  src.translate(clipped.x() - dst.x(), clipped.y() - dst.y());
  src.setSize(clipped.size());
  QPainter p(&to);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(clipped.topLeft(), from, src);
}

}  // namespace

SkinShape ApplyPictureSteps(const QList<PictureStep> &steps, SkinPictures &p) {
  SkinShape shape;
  for (const PictureStep &s : steps) {
    switch (s.kind) {
      case PictureStep::LoadBackground: {
        QImage img = ReadSkinPicture(s.path);
        if (!img.isNull()) p.Background = img;
        break;
      }
      case PictureStep::LoadResource: {
        QImage img = ReadSkinPicture(s.path);
        if (!img.isNull()) p.Resource = img;
        break;
      }
      case PictureStep::ReadWork: {
        QImage img = ReadSkinPicture(s.path);
        if (!img.isNull()) p.Work[static_cast<size_t>(s.n)] = img;
        break;
      }
      case PictureStep::SizeWork:
        sizeWork(p.Work[static_cast<size_t>(s.n)], s.a, s.b);
        break;
      case PictureStep::CopyWork:
        copyBlock(p.Work[2], p.Work[static_cast<size_t>(s.n)], s.a, s.b, s.c, s.d, s.e, s.f);
        break;
      case PictureStep::UseWork:
        p.Background = p.Work[0];
        p.Resource = p.Work[1];
        break;
      case PictureStep::ColorKey:
        shape.hRgn = RegionFromPicture(p.Background, static_cast<SkinColor>(s.a));
        shape.hasRegion = true;
        break;
    }
  }
  for (auto &w : p.Work) w = QImage();
  return shape;
}

QRegion RegionFromPicture(const QImage &picture, SkinColor color) {
  if (picture.isNull()) return QRegion();
  const QImage img = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
                         ? picture
                         : picture.convertToFormat(QImage::Format_RGB32);
  const int w = img.width(), h = img.height();
  const QRgb key = qRgb(skinRed(color), skinGreen(color), skinBlue(color)) & 0xFFFFFF;
  // Rows of runs are gathered as rectangles and subtracted at once: the same
  // region as one subtraction per run, without rebuilding it each time.
  QList<QRect> holes;
  for (int y = 0; y < h; ++y) {
    const QRgb *row = reinterpret_cast<const QRgb *>(img.constScanLine(y));
    int x = 0;
    while (x < w) {
      while (x < w && (row[x] & 0xFFFFFF) != key) ++x;
      const int start = x;
      while (x < w && (row[x] & 0xFFFFFF) == key) ++x;
      if (start < x) holes << QRect(start, y, x - start, 1);
      ++x;
    }
  }
  QRegion cut;
  cut.setRects(holes.constData(), static_cast<int>(holes.size()));
  return QRegion(0, 0, w, h).subtracted(cut);
}

QRegion OutlineRegion(const SkinTables &t, bool *ok) {
  *ok = false;
  if (t.OutlineExpected <= 0 || t.OutlineFilled != t.OutlineExpected) return QRegion();
  const int total = t.OutlineExpected;
  if (!t.MultiOutline) {
    *ok = true;
    return QRegion(QPolygon(t.OutlinePoints.mid(0, total)), Qt::OddEvenFill);
  }
  qint64 sum = 0;
  for (int c : t.OutlineCounts) {
    if (c < 1) return QRegion();
    sum += c;
  }
  if (sum != total || t.OutlineCounts.isEmpty()) return QRegion();
  // Even-odd over all polygons: a pixel is in when an odd number of them cover it.
  QRegion region;
  int at = 0;
  for (int c : t.OutlineCounts) {
    region = region.xored(QRegion(QPolygon(t.OutlinePoints.mid(at, c)), Qt::OddEvenFill));
    at += c;
  }
  *ok = true;
  return region;
}

}  // namespace cantorel
