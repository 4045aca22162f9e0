#pragma once

#include <QImage>
#include <QRegion>

#include <array>

#include "skin/skin_tables.h"

namespace cantorel {

// The pictures of the loaded skin.
struct SkinPictures {
  QImage Background;
  QImage Resource;
  std::array<QImage, 3> Work;  // only while a skin loads
};

// The shape the picture steps gave the window, if any.
struct SkinShape {
  bool hasRegion = false;
  QRegion hRgn;
};

// Replays the picture steps of a load on real images: loading, sizing,
// copying blocks (clipped to both pictures), composing and colour keys. A
// picture that cannot be read leaves the old one in place. Work pictures are
// cleared at the end.
SkinShape ApplyPictureSteps(const QList<PictureStep> &steps, SkinPictures &p);

// Reads a picture, refusing anything larger than the skin limits.
QImage ReadSkinPicture(const QString &path);

// The region of `picture` without the pixels of `color` (red + green * 256 +
// blue * 65536), worked out on the image's scanlines: one rectangle removed per
// horizontal run of the colour.
QRegion RegionFromPicture(const QImage &picture, SkinColor color);

// The outline region when the skin gave all the points it announced: one
// polygon, or several filled with the even-odd rule. Empty `ok` otherwise
// (also when the polygon counts do not add up to the points).
QRegion OutlineRegion(const SkinTables &t, bool *ok);

}  // namespace cantorel
