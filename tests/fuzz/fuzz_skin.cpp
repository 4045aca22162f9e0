// Fuzz target: the skin control file reader, head and body, on a real file in
// a folder that also holds the bitmaps a skin may name.
#include <QByteArray>
#include <QRect>
#include <QTemporaryDir>

#include "core/general.h"
#include "skin/skin_logic.h"
#include "skin/skin_reader.h"
#include "support/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static QTemporaryDir dir;
  static bool once = [] {
    for (const char *name : {"main.bmp", "res.bmp", "a.bmp"})
      cantorel::fuzz::writeFile(dir.filePath(QString::fromLatin1(name)), "x");
    return true;
  }();
  (void)once;
  const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  const QString path = dir.filePath(QStringLiteral("f.skin"));
  cantorel::fuzz::writeFile(path, bytes);
  cantorel::General g;
  cantorel::SkinTables t;
  cantorel::SkinEnvironment env;
  env.appFolders = {dir.path()};
  env.pickImportFile = [](const QString &, const QString &, const QString &) {
    return dir.filePath(QStringLiteral("a.bmp"));
  };
  const auto r = cantorel::LoadSkin(path, size % 2 == 0, env, t, g);
  // Whatever the file says, pictures stay within bounds and the tables hold.
  for (const auto &s : t.Pictures)
    if (s.kind == cantorel::PictureStep::SizeWork &&
        (s.a > cantorel::kMaxSkinPictureSide || s.b > cantorel::kMaxSkinPictureSide))
      __builtin_trap();
  if (t.OutlineFilled > t.OutlineExpected || t.OutlinePoints.size() < t.OutlineExpected) __builtin_trap();
  for (int n = 1; n <= cantorel::SkinTables::kSliders; ++n) {
    cantorel::SkinSlider s = t.Sliders[static_cast<size_t>(n)];
    cantorel::PlaceSliderKnob(s, n, 0.5);
    int pos = s.TrackLeft;
    const double v = cantorel::DragSliderKnob(s, 1000, 0, pos);
    if (!(v >= 0.0 && v <= 1.0)) __builtin_trap();
  }
  for (int n = 1; n <= cantorel::SkinTables::kDisplays; ++n)
    (void)cantorel::GlyphCells(t.Dig[static_cast<size_t>(n)], QStringLiteral("12:34 Title"), false);
  // What the reader says it placed is what the tables hold, and its list of
  // refusals stays bounded.
  if (r.rejected.size() > cantorel::kMaxSkinRejected) __builtin_trap();
  int points = 0;
  for (const auto &e : r.placed) {
    const auto n = static_cast<size_t>(e.index);
    if (e.kind == QLatin1String("point")) {
      ++points;
      if (e.index < 1 || e.index > t.OutlineFilled) __builtin_trap();
    } else if (e.kind == QLatin1String("button")) {
      if (e.index < 1 || e.index > cantorel::SkinTables::kButtons || !t.Btn[n].Visible ||
          e.rect != QRect(t.Btn[n].Left, t.Btn[n].Top, t.Btn[n].Width, t.Btn[n].Height))
        __builtin_trap();
    } else if (e.kind == QLatin1String("label")) {
      if (e.index < 1 || e.index > cantorel::SkinTables::kLabels || !t.Lbl[n].Visible) __builtin_trap();
    } else if (e.kind == QLatin1String("light")) {
      if (e.index < 1 || e.index > cantorel::SkinTables::kLights || !t.Ind[n].Declared) __builtin_trap();
    }
  }
  if (points != t.OutlineFilled) __builtin_trap();
  return 0;
}
