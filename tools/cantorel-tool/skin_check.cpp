// cantorel-tool skin check FILE: what the player's skin reader makes of a
// skin control file and its pictures, element by element.
#include "skin_check.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

#include "core/command_dispatcher.h"
#include "platform/folders.h"
#include "prefs/language.h"
#include "skin/skin_picture_gui.h"
#include "skin/skin_reader.h"
#include "tool_common.h"

namespace cantorel::tool {

using namespace common;

const char kSkinUsage[] =
    "  skin check FILE [--json]\n"
    "               read a skin control file and its pictures as the player does:\n"
    "               the head, each element placed (kind, number, rectangle and its\n"
    "               facts), each element refused and why, the messages the player\n"
    "               shows, missing pictures, images out of bounds; exit 1 when the\n"
    "               player refuses the file or shows a message while loading it\n"
    "               JSON: file, accepted, loaded, head {description, windowSizes\n"
    "               [{width, height}], mainBitmap, resourceBitmap, importMode,\n"
    "               bitmapFolder, hoverMode, startPosition, backColor}, elements\n"
    "               [{kind, index, rect {x, y, width, height}, line, token, and by\n"
    "               kind: command, keyChar, keyString, pressedImage {x, y}, tip,\n"
    "               color, backColor, font, fontSize, bold, italic, underline,\n"
    "               format, style, glyph {x, y, width, height}, sepWidth, glyphGap,\n"
    "               vertical, trackWidth, trackHeight, knobImage {x, y, width,\n"
    "               height}, shape}], rejected [{kind, index, line, token, reason,\n"
    "               flagged, listed}], rejectedOmitted, errorFlag, errorList,\n"
    "               messages, missingBitmaps, unreadableBitmaps, counts {buttons,\n"
    "               labels, displays, sliders, lights, outlinePoints}, notes,\n"
    "               warnings\n"
    "               kinds: button, label, display, slider, light, playlist, lyrics,\n"
    "               lyricLine, cover, point (of the outline), picture, unknown;\n"
    "               colours are \"#rrggbb\"; mainBitmap is null in import mode\n";

namespace {

int usageError(const QString &why) {
  std::fprintf(stderr, "cantorel-tool: %s\nUsage:\n%s", qUtf8Printable(why), kSkinUsage);
  return kExitUsage;
}

// The player's messages come from its language file; these stand in for a
// text the file does not give.
void fillMissingMessages(General &g) {
  const struct {
    int n;
    const char *text;
  } texts[] = {{44, "The skin file was not found."},
               {45, "File: "},
               {46, "Skin folder: "},
               {47, "This file is not a Cantorel skin."},
               {48, "The background picture of the skin was not found: "},
               {49, "The resource picture of the skin was not found: "},
               {50, "Some elements of this skin are not valid and were left out."},
               {51, "Invalid elements:"}};
  for (const auto &t : texts) {
    QString &m = g.Messages[static_cast<size_t>(t.n)];
    if (m.isEmpty()) m = QString::fromUtf8(t.text);
  }
}

QString colorText(SkinColor c) {
  return QStringLiteral("#%1%2%3")
      .arg(skinRed(c), 2, 16, QLatin1Char('0'))
      .arg(skinGreen(c), 2, 16, QLatin1Char('0'))
      .arg(skinBlue(c), 2, 16, QLatin1Char('0'));
}

QJsonObject rectJson(const QRect &r) {
  return {{QStringLiteral("x"), r.x()},
          {QStringLiteral("y"), r.y()},
          {QStringLiteral("width"), r.width()},
          {QStringLiteral("height"), r.height()}};
}

QString rectText(const QRect &r) {
  return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

size_t slot(int index) {
  return static_cast<size_t>(index);
}

// The facts of a placed element as the tables hold them after the load.
QJsonObject facts(const SkinElementRecord &e, const SkinTables &t) {
  QJsonObject o;
  const QString &k = e.kind;
  if (k == QLatin1String("button") && e.index >= 1 && e.index <= SkinTables::kButtons) {
    const SkinButton &b = t.Btn[slot(e.index)];
    o[QStringLiteral("command")] = e.index;
    o[QStringLiteral("keyChar")] = QString(b.KeyChar);
    o[QStringLiteral("pressedImage")] =
        QJsonObject{{QStringLiteral("x"), b.SrcX}, {QStringLiteral("y"), b.SrcY}};
    o[QStringLiteral("tip")] = b.ToolTip;
    if (e.index > 100) o[QStringLiteral("keyString")] = t.KeyStrings[slot(e.index - 100)];
  } else if (k == QLatin1String("label") && e.index >= 1 && e.index <= SkinTables::kLabels) {
    const SkinLabel &l = t.Lbl[slot(e.index)];
    o[QStringLiteral("color")] = colorText(l.ForeColor);
    o[QStringLiteral("font")] = l.FontName;
    o[QStringLiteral("fontSize")] = l.FontSize;
    o[QStringLiteral("bold")] = l.Bold;
    o[QStringLiteral("italic")] = l.Italic;
    o[QStringLiteral("underline")] = l.Underline;
    o[QStringLiteral("tip")] = l.ToolTip;
  } else if (k == QLatin1String("display") && e.index >= 1 && e.index <= SkinTables::kDisplays) {
    const DigitDisplay &d = t.Dig[slot(e.index)];
    o[QStringLiteral("format")] = d.Format;
    o[QStringLiteral("style")] = d.Style;
    o[QStringLiteral("glyph")] = rectJson(QRect(d.SrcX, d.SrcY, d.DigitWidth, d.DigitHeight));
    o[QStringLiteral("sepWidth")] = d.SepWidth;
    o[QStringLiteral("glyphGap")] = d.GlyphGap;
    o[QStringLiteral("tip")] = d.ToolTip;
  } else if (k == QLatin1String("slider") && e.index >= 1 && e.index <= SkinTables::kSliders) {
    const SkinSlider &s = t.Sliders[slot(e.index)];
    o[QStringLiteral("vertical")] = s.vertical();
    o[QStringLiteral("trackWidth")] = s.TrackWidth;
    o[QStringLiteral("trackHeight")] = s.TrackHeight;
    o[QStringLiteral("knobImage")] = rectJson(QRect(s.KnobSrcX, s.KnobSrcY, s.KnobWidth, s.KnobHeight));
    o[QStringLiteral("tip")] = s.ToolTip;
  } else if (k == QLatin1String("light") && e.index >= 1 && e.index <= SkinTables::kLights) {
    const SkinLight &l = t.Ind[slot(e.index)];
    o[QStringLiteral("color")] = colorText(l.FillColor);
    o[QStringLiteral("shape")] = l.ShapeKind;
  } else if (k == QLatin1String("playlist") || k == QLatin1String("lyrics") ||
             k == QLatin1String("lyricLine")) {
    const SkinBox &b = k == QLatin1String("playlist") ? t.PlNames
                       : k == QLatin1String("lyrics") ? t.PlLyrics
                                                      : t.LyricLine;
    o[QStringLiteral("color")] = colorText(b.ForeColor);
    o[QStringLiteral("backColor")] = colorText(b.BackColor);
    o[QStringLiteral("font")] = b.FontName;
    o[QStringLiteral("fontSize")] = b.FontSize;
    o[QStringLiteral("tip")] = b.ToolTip;
  } else if (k == QLatin1String("cover")) {
    o[QStringLiteral("tip")] = t.Cover.ToolTip;
  }
  return o;
}

// The facts in words, for the text report.
QString factsText(const QJsonObject &f) {
  QStringList parts;
  for (auto it = f.begin(); it != f.end(); ++it) {
    const QJsonValue v = it.value();
    QString value;
    if (v.isString())
      value = quoted(v.toString());
    else if (v.isBool())
      value = v.toBool() ? QStringLiteral("yes") : QStringLiteral("no");
    else if (v.isObject()) {
      const QJsonObject r = v.toObject();
      value = QStringLiteral("%1,%2")
                  .arg(r.value(QStringLiteral("x")).toInt())
                  .arg(r.value(QStringLiteral("y")).toInt());
      if (r.contains(QStringLiteral("width")))
        value += QStringLiteral(" %1x%2")
                     .arg(r.value(QStringLiteral("width")).toInt())
                     .arg(r.value(QStringLiteral("height")).toInt());
    } else
      value = QString::number(v.toInt());
    parts << it.key() + QLatin1Char(' ') + value;
  }
  return parts.join(QStringLiteral(", "));
}

bool inside(const QImage &img, const QRect &r) {
  return !img.isNull() && img.rect().contains(r);
}

// What the pictures and the window make of the elements: images cut outside
// the resource picture, elements outside the window, an outline not used.
QStringList pictureWarnings(const SkinTables &t, const SkinPictures &p, const SkinLoadResult &r,
                            QSize window) {
  QStringList w;
  if (p.Background.isNull()) w << QStringLiteral("no background picture");
  bool usesResource = false;
  for (int n = 1; n <= SkinTables::kButtons; ++n) {
    const SkinButton &b = t.Btn[slot(n)];
    if (!b.Visible) continue;
    usesResource = true;
    if (!p.Resource.isNull() && !inside(p.Resource, QRect(b.SrcX, b.SrcY, b.Width, b.Height)))
      w << QStringLiteral("button %1: pressed image (%2) reaches outside the resource picture")
               .arg(n)
               .arg(rectText(QRect(b.SrcX, b.SrcY, b.Width, b.Height)));
    if (n > 110 && !CommandDispatcher::isWebAddress(t.KeyStrings[slot(n - 100)]))
      w << QStringLiteral("button %1: %2 is not an http or https address: the player does not open it")
               .arg(n)
               .arg(quoted(t.KeyStrings[slot(n - 100)]));
  }
  for (int n = 1; n <= SkinTables::kDisplays; ++n) {
    const DigitDisplay &d = t.Dig[slot(n)];
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
      w << QStringLiteral("display %1: glyph cells (%2) reach outside the resource picture")
               .arg(n)
               .arg(rectText(grid));
  }
  for (int n = 1; n <= SkinTables::kSliders; ++n) {
    const SkinSlider &s = t.Sliders[slot(n)];
    if (!s.Visible) continue;
    usesResource = true;
    if (!p.Resource.isNull() && !inside(p.Resource, QRect(s.KnobSrcX, s.KnobSrcY, s.KnobWidth, s.KnobHeight)))
      w << QStringLiteral("slider %1: knob image reaches outside the resource picture").arg(n);
  }
  if (usesResource && p.Resource.isNull())
    w << QStringLiteral("no resource picture, but elements draw from it");
  const QRect area(QPoint(0, 0), window);
  for (const SkinElementRecord &e : r.placed) {
    if (e.kind == QLatin1String("point") || e.rect.isEmpty()) continue;
    const QString what =
        QStringLiteral("line %1: %2 %3 (%4)").arg(e.line).arg(e.kind).arg(e.index).arg(rectText(e.rect));
    if (!area.intersects(e.rect))
      w << what + QStringLiteral(" lies outside the window (%1x%2): it cannot be seen")
                      .arg(window.width())
                      .arg(window.height());
    else if (!area.contains(e.rect))
      w << what +
               QStringLiteral(" reaches outside the window (%1x%2)").arg(window.width()).arg(window.height());
  }
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

QJsonArray stringArray(const QStringList &list) {
  return QJsonArray::fromStringList(list);
}

}  // namespace

int runSkinCheck(const QStringList &args) {
  Options o;
  QString error;
  if (!parseOptions(args, {}, &o, &error)) return usageError(error);
  if (o.positional.size() != 1) return usageError(QStringLiteral("skin check takes one FILE"));
  const QString file = o.positional.first();

  // The user's settings and language, as the player has them.
  General g = loadUserSettings();
  LoadLanguage(Folders::fromEnvironment().dataRoots(), g.Language, g.Messages);
  fillMissingMessages(g);
  SkinTables t;
  SkinEnvironment env;
  env.appFolders = {QFileInfo(file).absolutePath()};
  // Import skins read their bitmaps from the folder of the file named by
  // CANTOREL_SKIN_IMPORT, else from the skin's own folder.
  g.SkinImport = qEnvironmentVariable("CANTOREL_SKIN_IMPORT", env.appFolders.first() + QLatin1Char('/'));
  const SkinLoadResult r = LoadSkin(QFileInfo(file).absoluteFilePath(), true, env, t, g);

  QStringList warnings, unreadable;
  if (r.loaded) {
    for (const PictureStep &s : t.Pictures)
      if (!s.path.isEmpty() && ReadSkinPicture(s.path).isNull() && !unreadable.contains(s.path))
        unreadable << s.path;
    for (const QString &u : unreadable) warnings << QStringLiteral("picture cannot be read: ") + shown(u);
    SkinPictures p;
    ApplyPictureSteps(t.Pictures, p);
    const QSize window(t.WindowSizes[0].x() / env.twipX, t.WindowSizes[0].y() / env.twipY);
    warnings += pictureWarnings(t, p, r, window);
  }
  const bool accepted = r.loaded && r.messages.isEmpty();
  const QString shownFile = r.path.isEmpty() ? file : r.path;
  const QString description = QString(t.Description).replace(u'\r', u'\n');
  const QStringList errorList = r.errorList.split(u' ', Qt::SkipEmptyParts);

  const int buttons = count(t.Btn, [](const SkinButton &b) { return b.Visible; });
  const int labels = count(t.Lbl, [](const SkinLabel &l) { return l.Visible; });
  const int displays = count(t.Dig, [](const DigitDisplay &d) { return d.Visible; });
  const int sliders = count(t.Sliders, [](const SkinSlider &s) { return s.Visible; });
  const int lights = count(t.Ind, [](const SkinLight &l) { return l.Declared; });

  if (o.json) {
    QJsonObject j;
    j[QStringLiteral("file")] = shownFile;
    j[QStringLiteral("accepted")] = accepted;
    j[QStringLiteral("loaded")] = r.loaded;
    if (r.loaded) {
      QJsonArray sizes;
      for (const QPoint &s : t.WindowSizes)
        sizes << QJsonObject{{QStringLiteral("width"), s.x() / env.twipX},
                             {QStringLiteral("height"), s.y() / env.twipY}};
      j[QStringLiteral("head")] =
          QJsonObject{{QStringLiteral("description"), description},
                      {QStringLiteral("windowSizes"), sizes},
                      {QStringLiteral("mainBitmap"), r.importMode ? QJsonValue() : QJsonValue(r.mainBitmap)},
                      {QStringLiteral("resourceBitmap"),
                       r.resourceBitmap.isEmpty() ? QJsonValue() : QJsonValue(r.resourceBitmap)},
                      {QStringLiteral("importMode"), r.importMode},
                      {QStringLiteral("bitmapFolder"), t.BitmapFolder},
                      {QStringLiteral("hoverMode"), t.HoverMode},
                      {QStringLiteral("startPosition"), t.StartPosition},
                      {QStringLiteral("backColor"), colorText(t.BackColor)}};
    } else {
      j[QStringLiteral("head")] = QJsonValue();
    }
    QJsonArray elements;
    for (const SkinElementRecord &e : r.placed) {
      QJsonObject x = facts(e, t);
      x[QStringLiteral("kind")] = e.kind;
      x[QStringLiteral("index")] = e.index;
      x[QStringLiteral("rect")] = rectJson(e.rect);
      x[QStringLiteral("line")] = e.line;
      x[QStringLiteral("token")] = e.token;
      elements << x;
    }
    j[QStringLiteral("elements")] = elements;
    QJsonArray rejected;
    for (const SkinElementRecord &e : r.rejected)
      rejected << QJsonObject{{QStringLiteral("kind"), e.kind},     {QStringLiteral("index"), e.index},
                              {QStringLiteral("line"), e.line},     {QStringLiteral("token"), e.token},
                              {QStringLiteral("reason"), e.reason}, {QStringLiteral("flagged"), e.flagged},
                              {QStringLiteral("listed"), e.listed}};
    j[QStringLiteral("rejected")] = rejected;
    j[QStringLiteral("rejectedOmitted")] = r.rejectedOmitted;
    j[QStringLiteral("errorFlag")] = r.errorFlag;
    j[QStringLiteral("errorList")] = stringArray(errorList);
    j[QStringLiteral("messages")] = stringArray(r.messages);
    j[QStringLiteral("missingBitmaps")] = stringArray(r.missingBitmaps);
    j[QStringLiteral("unreadableBitmaps")] = stringArray(unreadable);
    j[QStringLiteral("counts")] = QJsonObject{
        {QStringLiteral("buttons"), buttons},   {QStringLiteral("labels"), labels},
        {QStringLiteral("displays"), displays}, {QStringLiteral("sliders"), sliders},
        {QStringLiteral("lights"), lights},     {QStringLiteral("outlinePoints"), t.OutlineFilled}};
    j[QStringLiteral("notes")] = stringArray(r.notes);
    j[QStringLiteral("warnings")] = stringArray(warnings);
    printJson(j);
    return accepted ? kExitAccepted : kExitRejected;
  }

  print(QStringLiteral("%1: %2\n")
            .arg(shown(shownFile),
                 accepted ? QStringLiteral("accepted")
                          : (r.loaded ? QStringLiteral("loaded with errors") : QStringLiteral("rejected"))));
  if (r.loaded) {
    print(QStringLiteral("  description: %1\n")
              .arg(shown(description).replace(QStringLiteral("\\x0a"), QStringLiteral("\n    "))));
    QStringList sizes;
    for (const QPoint &s : t.WindowSizes)
      sizes << QStringLiteral("%1x%2").arg(s.x() / env.twipX).arg(s.y() / env.twipY);
    print(QStringLiteral("  window sizes: %1\n").arg(sizes.join(QStringLiteral(", "))));
    if (r.importMode)
      print(QStringLiteral("  pictures imported from: %1\n").arg(shown(t.BitmapFolder)));
    else
      print(QStringLiteral("  main bitmap: %1\n  resource bitmap: %2\n")
                .arg(shown(r.mainBitmap),
                     r.resourceBitmap.isEmpty() ? QStringLiteral("none") : shown(r.resourceBitmap)));
    print(QStringLiteral("  hover mode %1, start position %2, back colour %3\n")
              .arg(t.HoverMode)
              .arg(t.StartPosition)
              .arg(colorText(t.BackColor)));
    print(QStringLiteral(
              "  elements: %1 buttons, %2 labels, %3 displays, %4 sliders, %5 lights, %6 outline points\n")
              .arg(buttons)
              .arg(labels)
              .arg(displays)
              .arg(sliders)
              .arg(lights)
              .arg(t.OutlineFilled));
    print(QStringLiteral("placed (%1):\n").arg(r.placed.size()));
    for (const SkinElementRecord &e : r.placed) {
      const QString f = factsText(facts(e, t));
      const QString where = e.kind == QLatin1String("point")
                                ? QStringLiteral("%1,%2").arg(e.rect.x()).arg(e.rect.y())
                                : rectText(e.rect);
      print(QStringLiteral("  line %1: %2 %3 at %4%5\n")
                .arg(e.line)
                .arg(e.kind)
                .arg(e.index)
                .arg(where, f.isEmpty() ? QString() : QStringLiteral(": ") + f));
    }
  }
  if (!r.rejected.isEmpty()) {
    print(QStringLiteral("rejected (%1):\n").arg(r.rejected.size() + r.rejectedOmitted));
    for (const SkinElementRecord &e : r.rejected)
      print(QStringLiteral("  line %1: %2 (%3 %4): %5%6\n")
                .arg(e.line)
                .arg(shown(e.token), e.kind)
                .arg(e.index)
                .arg(shown(e.reason), e.listed    ? QStringLiteral(" [in the message's list]")
                                      : e.flagged ? QStringLiteral(" [sets the error message]")
                                                  : QString()));
    if (r.rejectedOmitted > 0) print(QStringLiteral("  ... and %1 more\n").arg(r.rejectedOmitted));
  }
  for (const QString &m : r.messages)
    print(QStringLiteral("message: %1\n")
              .arg(shown(m).replace(QStringLiteral("\\x0a"), QStringLiteral(" / "))));
  if (r.errorFlag) print(QStringLiteral("error list: %1\n").arg(shown(errorList.join(u' '))));
  for (const QString &m : r.missingBitmaps) print(QStringLiteral("missing bitmap: %1\n").arg(shown(m)));
  for (const QString &n : r.notes) print(QStringLiteral("note: %1\n").arg(shown(n)));
  for (const QString &w : warnings) print(QStringLiteral("warning: %1\n").arg(w));
  return accepted ? kExitAccepted : kExitRejected;
}

}  // namespace cantorel::tool
