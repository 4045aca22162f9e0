// cantorel-tool skin check FILE: what the player's skin reader makes of a
// skin control file and its pictures.
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <cstdio>

#include "core/general.h"
#include "skin/skin_picture_gui.h"
#include "skin/skin_reader.h"

namespace cantorel {

namespace {

// The reader's messages in the words of this tool (the player takes them from
// its language file).
void fillMessages(General &g) {
  g.Messages[44] = QStringLiteral("Skin file not found.");
  g.Messages[45] = QStringLiteral("Looked for: ");
  g.Messages[46] = QStringLiteral("Skin folder setting: ");
  g.Messages[47] = QStringLiteral("Not a skin control file: the first field must be \"Cantorel Skin\".");
  g.Messages[48] = QStringLiteral("Main bitmap not found: ");
  g.Messages[49] = QStringLiteral("Resource bitmap not found: ");
  g.Messages[50] = QStringLiteral("Some elements were rejected because of their numbers.");
  g.Messages[51] = QStringLiteral("Rejected:");
}

bool inside(const QImage &img, const QRect &r) {
  return !img.isNull() && img.rect().contains(r);
}

QStringList pictureWarnings(const SkinTables &t, const SkinPictures &p) {
  QStringList w;
  if (p.Background.isNull()) w << QStringLiteral("no background picture");
  bool usesResource = false;
  for (int n = 1; n <= SkinTables::kButtons; ++n) {
    const SkinButton &b = t.Btn[static_cast<size_t>(n)];
    if (!b.Visible) continue;
    usesResource = true;
    if (!p.Resource.isNull() && !inside(p.Resource, QRect(b.SrcX, b.SrcY, b.Width, b.Height)))
      w << QStringLiteral("button %1: pressed image (%2,%3 %4x%5) reaches outside the resource picture")
               .arg(n)
               .arg(b.SrcX)
               .arg(b.SrcY)
               .arg(b.Width)
               .arg(b.Height);
  }
  for (int n = 1; n <= SkinTables::kDisplays; ++n) {
    const DigitDisplay &d = t.Dig[static_cast<size_t>(n)];
    if (!d.Visible) continue;
    usesResource = true;
    int cols = 13, rows = 1;
    if (d.Style == 1 || d.Style == 2) cols = 16, rows = 6;
    if (d.Style == 3) cols = 30, rows = 3;
    const int width = d.Style == 0 ? d.DigitWidth * 11 + d.SepWidth * 2 : d.DigitWidth * cols;
    const QRect grid(d.SrcX, d.SrcY, width, d.DigitHeight * rows);
    if (d.DigitWidth <= 0 || d.DigitHeight <= 0)
      w << QStringLiteral("display %1: glyph size %2x%3 draws nothing")
               .arg(n)
               .arg(d.DigitWidth)
               .arg(d.DigitHeight);
    else if (!p.Resource.isNull() && !inside(p.Resource, grid))
      w << QStringLiteral("display %1: glyph cells (%2,%3 %4x%5) reach outside the resource picture")
               .arg(n)
               .arg(grid.x())
               .arg(grid.y())
               .arg(grid.width())
               .arg(grid.height());
  }
  for (int n = 1; n <= SkinTables::kSliders; ++n) {
    const SkinSlider &s = t.Sliders[static_cast<size_t>(n)];
    if (!s.Visible) continue;
    usesResource = true;
    if (!p.Resource.isNull() && !inside(p.Resource, QRect(s.KnobSrcX, s.KnobSrcY, s.KnobWidth, s.KnobHeight)))
      w << QStringLiteral("slider %1: knob image reaches outside the resource picture").arg(n);
  }
  if (usesResource && p.Resource.isNull())
    w << QStringLiteral("no resource picture, but elements draw from it");
  if (t.OutlineExpected > 0 && t.OutlineFilled != t.OutlineExpected)
    w << QStringLiteral("outline announced %1 points, got %2: the window stays rectangular")
             .arg(t.OutlineExpected)
             .arg(t.OutlineFilled);
  bool ok = false;
  OutlineRegion(t, &ok);
  if (t.MultiOutline && t.OutlineFilled == t.OutlineExpected && t.OutlineExpected > 0 && !ok)
    w << QStringLiteral("polygon counts do not add up to the points: the window stays rectangular");
  return w;
}

template <typename Table, typename Pred>
int count(const Table &table, Pred pred) {
  int c = 0;
  for (size_t i = 1; i < table.size(); ++i) c += pred(table[i]) ? 1 : 0;
  return c;
}

}  // namespace

int runSkinCheck(const QStringList &args) {
  const bool json = args.contains(QStringLiteral("--json"));
  QStringList files = args;
  files.removeAll(QStringLiteral("--json"));
  if (files.size() != 1) {
    std::fputs("Usage: cantorel-tool skin check FILE [--json]\n", stderr);
    return 2;
  }
  General g;
  fillMessages(g);
  SkinTables t;
  SkinEnvironment env;
  env.appFolders = {QFileInfo(files.first()).absolutePath()};
  // Import skins read their bitmaps from the folder of the file named by
  // CANTOREL_SKIN_IMPORT, else from the skin's own folder.
  g.SkinImport = qEnvironmentVariable("CANTOREL_SKIN_IMPORT", env.appFolders.first() + QLatin1Char('/'));
  const SkinLoadResult r = LoadSkin(QFileInfo(files.first()).absoluteFilePath(), true, env, t, g);
  QStringList warnings;
  if (r.loaded) {
    SkinPictures p;
    ApplyPictureSteps(t.Pictures, p);
    warnings = pictureWarnings(t, p);
  }
  const bool accepted = r.loaded && r.messages.isEmpty();

  const int buttons = count(t.Btn, [](const SkinButton &b) { return b.Visible; });
  const int labels = count(t.Lbl, [](const SkinLabel &l) { return l.Visible; });
  const int displays = count(t.Dig, [](const DigitDisplay &d) { return d.Visible; });
  const int sliders = count(t.Sliders, [](const SkinSlider &s) { return s.Visible; });
  const int lights = count(t.Ind, [](const SkinLight &l) { return l.Declared; });

  if (json) {
    QJsonObject o;
    o[QStringLiteral("file")] = r.path.isEmpty() ? files.first() : r.path;
    o[QStringLiteral("accepted")] = accepted;
    o[QStringLiteral("loaded")] = r.loaded;
    o[QStringLiteral("description")] = QString(t.Description).replace(u'\r', u'\n');
    o[QStringLiteral("messages")] = QJsonArray::fromStringList(r.messages);
    o[QStringLiteral("rejected")] = QJsonArray::fromStringList(r.errorList.split(u' ', Qt::SkipEmptyParts));
    o[QStringLiteral("notes")] = QJsonArray::fromStringList(r.notes);
    o[QStringLiteral("warnings")] = QJsonArray::fromStringList(warnings);
    QJsonObject e;
    e[QStringLiteral("buttons")] = buttons;
    e[QStringLiteral("labels")] = labels;
    e[QStringLiteral("displays")] = displays;
    e[QStringLiteral("sliders")] = sliders;
    e[QStringLiteral("lights")] = lights;
    e[QStringLiteral("outlinePoints")] = t.OutlineFilled;
    o[QStringLiteral("elements")] = e;
    std::fputs(QJsonDocument(o).toJson().constData(), stdout);
  } else {
    std::printf("%s: %s\n", qUtf8Printable(r.path.isEmpty() ? files.first() : r.path),
                accepted ? "accepted" : (r.loaded ? "loaded with errors" : "rejected"));
    if (r.loaded) {
      std::printf("  description: %s\n",
                  qUtf8Printable(QString(t.Description).replace(u'\r', QStringLiteral("\n    "))));
      std::printf(
          "  elements: %d buttons, %d labels, %d displays, %d sliders, %d lights, %d outline points\n",
          buttons, labels, displays, sliders, lights, t.OutlineFilled);
    }
    for (const QString &m : r.messages)
      std::printf("error: %s\n", qUtf8Printable(QString(m).replace(u'\n', u' ')));
    for (const QString &n : r.notes) std::printf("note: %s\n", qUtf8Printable(n));
    for (const QString &w : warnings) std::printf("warning: %s\n", qUtf8Printable(w));
  }
  return accepted ? 0 : 1;
}

}  // namespace cantorel
