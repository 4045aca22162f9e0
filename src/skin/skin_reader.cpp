#include "skin/skin_reader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <utility>

#include "core/general.h"
#include "core/text_codec.h"
#include "playlist/paths.h"
#include "skin/skin_tokenizer.h"

namespace cantorel {

namespace {

const QString kSkinMark = QStringLiteral("Cantorel Skin");

constexpr qsizetype kMaxNotes = 200;

const QString kNumberZero = QStringLiteral("number 0 is ignored");
const QString kNoSize = QStringLiteral("width or height below 1");

qint16 to16(qint32 v) {
  return static_cast<qint16>(qBound<qint32>(-32768, v, 32767));
}
// Positions and sizes on the window stay in a range the window system takes.
int coord(qint32 v) {
  return qBound<qint32>(-32768, v, 32767);
}

class BodyReader {
 public:
  BodyReader(SkinTokenizer &tok, SkinTables &t, SkinLoadResult &r, const QString &bitmapFolder)
      : tok_(tok), t_(t), r_(r), bitmapFolder_(bitmapFolder) {}

  void run() {
    QChar letter;
    while (!tok_.atEnd() && letter != u'E') {
      const int line = tok_.line();
      const QString token = tok_.field();
      letter = token.isEmpty() ? QChar() : token[0];
      const QString rest = token.mid(1);
      const qint32 n = SkinTokenizer::toNumber(rest);
      if (letter == u':' && rest == skip_) {
        note(skipLine_,
             QStringLiteral("lines %1 to %2 skipped up to \":%3\"").arg(skipLine_).arg(line).arg(skip_));
        skip_.clear();
      }
      if (letter == u'E' && token != QLatin1String("E"))
        note(line, QStringLiteral("\"%1\" starts with E and ends the skin here").arg(token));
      if (!skip_.isEmpty()) continue;
      line_ = line;
      token_ = token;
      execute(letter, n, rest);
    }
    if (!skip_.isEmpty() && letter != u'E')
      note(skipLine_, QStringLiteral("no label \":%1\" follows: the rest of the file is skipped").arg(skip_));
    // Points of the outline in force go after the other elements.
    r_.placed += points_;
    auto byLine = [](const SkinElementRecord &a, const SkinElementRecord &b) { return a.line < b.line; };
    std::stable_sort(r_.placed.begin(), r_.placed.end(), byLine);
    std::stable_sort(r_.rejected.begin(), r_.rejected.end(), byLine);
  }

 private:
  SkinColor color() {
    const qint32 red = tok_.number(), green = tok_.number(), blue = tok_.number();
    return static_cast<SkinColor>(qBound(0, red, 255)) |
           (static_cast<SkinColor>(qBound(0, green, 255)) << 8) |
           (static_cast<SkinColor>(qBound(0, blue, 255)) << 16);
  }
  void note(const QString &why) { note(line_, QStringLiteral("%1: %2").arg(token_, why)); }
  void note(int line, const QString &text) {
    // A long list helps nobody: the first ones tell the author what is wrong.
    if (r_.notes.size() < kMaxNotes)
      r_.notes << QStringLiteral("line %1: %2").arg(line).arg(text);
    else if (r_.notes.size() == kMaxNotes)
      r_.notes << QStringLiteral("... and more");
  }
  void keepRejected(const SkinElementRecord &e) {
    if (r_.rejected.size() < kMaxSkinRejected)
      r_.rejected << e;
    else
      ++r_.rejectedOmitted;
  }
  // An element left out without a message (number 0, no size, unknown letter).
  void ignore(const QString &kind, qint32 n, const QString &why) { refuse(kind, n, why, false, false); }
  // An element refused for its number: the error flag is set and, when
  // listed, its token goes into the end message.
  void reject(const QString &kind, qint32 n, const QString &why, bool listed = true) {
    r_.errorFlag = true;
    if (listed) r_.errorList += QLatin1Char(' ') + token_;
    refuse(kind, n, why, true, listed);
  }
  void refuse(const QString &kind, qint32 n, const QString &why, bool flagged, bool listed) {
    SkinElementRecord e;
    e.kind = kind;
    e.index = n;
    e.line = line_;
    e.token = token_;
    e.reason = why;
    e.flagged = flagged;
    e.listed = listed;
    keepRejected(e);
  }
  // An element now in the tables; one placed earlier in the same slot is
  // replaced, and said so.
  void place(const QString &kind, int index, const QRect &rect) {
    SkinElementRecord e;
    e.kind = kind;
    e.index = index;
    e.rect = rect;
    e.line = line_;
    e.token = token_;
    const std::pair<QString, int> key(kind, index);
    const auto it = slots_.constFind(key);
    if (it == slots_.constEnd()) {
      slots_.insert(key, r_.placed.size());
      r_.placed << e;
      return;
    }
    SkinElementRecord &old = r_.placed[*it];
    old.reason = QStringLiteral("replaced by line %1").arg(line_);
    old.rect = QRect();
    keepRejected(old);
    old = e;
  }

  void execute(QChar letter, qint32 n, const QString &rest) {
    switch (letter.unicode()) {
      case 'B':
        return button(n, false);
      case 'K':
        return button(n, true);
      case 'L':
        return label(n);
      case 'D':
        return display(n);
      case 'S':
        return slider(n);
      case 'I':
        return light(n);
      case 'X':
        return box(n, QStringLiteral("playlist"), t_.PlNames);
      case 'Y':
        return box(n, QStringLiteral("lyrics"), t_.PlLyrics);
      case 'F':
        return box(n, QStringLiteral("lyricLine"), t_.LyricLine);
      case 'C':
        return cover(n);
      case 'N':
        return outline(n, false);
      case 'M':
        return outline(n, true);
      case 'P':
        return point(n);
      case 'O': {
        PictureStep s;
        s.kind = PictureStep::ColorKey;
        s.a = static_cast<int>(color());
        t_.Pictures << s;
        return;
      }
      case 'R':
        return readWork(n);
      case 'W':
        return sizeWork(n);
      case 'Z':
        return copyWork(n);
      case 'U': {
        PictureStep s;
        s.kind = PictureStep::UseWork;
        t_.Pictures << s;
        return;
      }
      case '?': {
        const QString label = tok_.field();
        if (n == loadFlag_) {
          skip_ = label;
          skipLine_ = line_;
        }
        return;
      }
      case ';':
        (void)lineText(rest);
        return;
      case '/':
        t_.Description += QLatin1Char('\r') + lineText(rest);
        return;
      case ':':
      case 'E':
        return;
      default:
        // Empty fields and unknown letters do nothing; the latter are often
        // the fields of a refused command, read as tokens.
        if (!letter.isNull())
          ignore(QStringLiteral("unknown"), n, QStringLiteral("not a command: does nothing"));
        return;
    }
  }

  // The text of a line command: the rest of its line. Text written right after
  // the letter belongs to it too, whether or not a comma follows.
  QString lineText(const QString &rest) {
    if (tok_.lastEndedLine()) return rest;
    const QString more = tok_.restOfLine();
    return rest.trimmed().isEmpty() ? more : rest + QLatin1Char(',') + more;
  }

  void button(qint32 n, bool key) {
    const qint32 x = tok_.number(), y = tok_.number(), w = tok_.number(), h = tok_.number();
    const qint32 sx = tok_.number(), sy = tok_.number();
    const QString keyChar = tok_.field();
    const QString tip = tok_.field();
    const QString kind = QStringLiteral("button");
    if (key && n > SkinTables::kKeyStrings) {
      // Its key string is left to be read as the next token.
      return reject(kind, n, QStringLiteral("key button number above 20; its key string is read as a token"),
                    false);
    }
    const QString keyString = key ? tok_.field() : QString();
    if (n == 0) return ignore(kind, n, kNumberZero);
    if (!key && n > SkinTables::kButtons)
      return reject(kind, n, QStringLiteral("button number above 120"), false);
    if (n < 0) return reject(kind, n, QStringLiteral("negative number"));
    if (w < 1 || h < 1) return ignore(kind, n, kNoSize);
    if (key) t_.KeyStrings[static_cast<size_t>(n)] = keyString;
    const int slot = key ? n + 100 : n;
    SkinButton &b = t_.Btn[static_cast<size_t>(slot)];
    b.Left = coord(x);
    b.Top = coord(y);
    b.Width = coord(w);
    b.Height = coord(h);
    b.ToolTip = tip;
    b.Tag = QString::number(sx) + QLatin1Char(',') + QString::number(sy);
    b.Visible = true;
    b.KeyChar = keyChar.isEmpty() ? QLatin1Char(' ') : keyChar[0];
    if (qint64(sx) + sy == 0) {
      b.SrcX = to16(x);
      b.SrcY = to16(y);
    } else {
      b.SrcX = to16(sx);
      b.SrcY = to16(sy);
    }
    place(kind, slot, QRect(b.Left, b.Top, b.Width, b.Height));
  }

  void label(qint32 n) {
    const qint32 x = tok_.number(), y = tok_.number(), w = tok_.number(), h = tok_.number();
    const SkinColor c = color();
    const qint32 size = tok_.number();
    const QString spec = tok_.field();
    const QString tip = tok_.field();
    const QString kind = QStringLiteral("label");
    if (w < 1 || h < 1) return ignore(kind, n, kNoSize);
    if (n == 0) return ignore(kind, n, kNumberZero);
    if (n < 1 || n > SkinTables::kLabels)
      return reject(kind, n, QStringLiteral("label number outside 1 to 50"));
    SkinLabel &l = t_.Lbl[static_cast<size_t>(n)];
    l.Left = coord(x);
    l.Top = coord(y);
    l.Width = coord(w);
    l.Height = coord(h);
    l.ToolTip = TipText(tip);
    l.ForeColor = c;
    QString font = spec, styles;
    const qsizetype colon = spec.indexOf(u':');
    if (colon >= 0) {
      styles = spec.mid(colon + 1).toUpper();
      font = spec.left(colon);
      while (!font.isEmpty() && font.back() == u' ') font.chop(1);
    }
    l.FontName = font;
    l.FontSize = qMin(qAbs(qint64(size)), qint64(512));
    l.Bold = styles.contains(u'B');
    l.Italic = styles.contains(u'I');
    l.Underline = styles.contains(u'U');
    l.Visible = true;
    place(kind, n, QRect(l.Left, l.Top, l.Width, l.Height));
  }

  void display(qint32 n) {
    const qint32 x = tok_.number(), y = tok_.number();
    DigitDisplay d;
    d.SrcX = to16(tok_.number());
    d.SrcY = to16(tok_.number());
    d.DigitWidth = to16(tok_.number());
    d.DigitHeight = to16(tok_.number());
    d.SepWidth = to16(tok_.number());
    d.Style = to16(tok_.number());
    d.GlyphGap = to16(tok_.number());
    d.Format = to16(tok_.number());
    d.ToolTip = tok_.field();
    const QString kind = QStringLiteral("display");
    if (n == 0) return ignore(kind, n, kNumberZero);
    if (n < 1 || n > SkinTables::kDisplays)
      return reject(kind, n, QStringLiteral("display number outside 1 to 6"));
    d.Left = coord(x);
    d.Top = coord(y);
    d.Width = coord(DigitAreaWidth(d));
    d.Height = d.DigitHeight;
    d.Visible = true;
    t_.Dig[static_cast<size_t>(n)] = d;
    place(kind, n, QRect(d.Left, d.Top, d.Width, d.Height));
  }

  void slider(qint32 n) {
    SkinSlider s;
    s.TrackLeft = to16(tok_.number());
    s.TrackTop = to16(tok_.number());
    s.TrackWidth = to16(tok_.number());
    s.TrackHeight = to16(tok_.number());
    s.KnobSrcX = to16(tok_.number());
    s.KnobSrcY = to16(tok_.number());
    s.KnobWidth = to16(tok_.number());
    s.KnobHeight = to16(tok_.number());
    s.ToolTip = TipText(tok_.field());
    const QString kind = QStringLiteral("slider");
    if (n == 0) return ignore(kind, n, kNumberZero);
    if (n < 1 || n > SkinTables::kSliders)
      return reject(kind, n, QStringLiteral("slider number outside 1 to 5"));
    // A negative track would turn the value round; a negative knob has no
    // picture. Both are taken as 0.
    if (s.TrackWidth < 0 || s.TrackHeight < 0 || s.KnobWidth < 0 || s.KnobHeight < 0)
      note(QStringLiteral("negative track or knob size taken as 0"));
    s.TrackWidth = qMax<qint16>(0, s.TrackWidth);
    s.TrackHeight = qMax<qint16>(0, s.TrackHeight);
    s.KnobWidth = qMax<qint16>(0, s.KnobWidth);
    s.KnobHeight = qMax<qint16>(0, s.KnobHeight);
    s.Drawn = 0;
    s.KnobLeft = s.TrackLeft;
    s.KnobTop = s.TrackTop;
    s.KnobW = s.KnobWidth;
    s.KnobH = s.KnobHeight;
    s.Visible = true;
    t_.Sliders[static_cast<size_t>(n)] = s;
    place(kind, n, QRect(s.KnobLeft, s.KnobTop, s.KnobW, s.KnobH));
  }

  void light(qint32 n) {
    const qint32 x = tok_.number(), y = tok_.number(), w = tok_.number(), h = tok_.number();
    const SkinColor c = color();
    const qint32 shape = tok_.number();
    (void)tok_.field();  // tip, not used
    const QString kind = QStringLiteral("light");
    if (w < 1 || h < 1) return ignore(kind, n, kNoSize);
    if (n == 0) return ignore(kind, n, kNumberZero);
    if (n < 1 || n > SkinTables::kLights)
      return reject(kind, n, QStringLiteral("light number outside 1 to 18"));
    SkinLight &l = t_.Ind[static_cast<size_t>(n)];
    l.Left = coord(x);
    l.Top = coord(y);
    l.Width = coord(w);
    l.Height = coord(h);
    l.FillColor = c;
    l.ShapeKind = to16(qBound(0, shape, 5));
    l.Declared = true;
    place(kind, n, QRect(l.Left, l.Top, l.Width, l.Height));
  }

  void box(qint32 n, const QString &kind, SkinBox &b) {
    const qint32 x = tok_.number(), y = tok_.number(), w = tok_.number(), h = tok_.number();
    const SkinColor fore = color();
    const SkinColor back = color();
    const qint32 size = tok_.number();
    const QString font = tok_.field();
    const QString tip = tok_.field();
    if (n == 0) return ignore(kind, n, kNumberZero);
    if (n != 1) return reject(kind, n, QStringLiteral("number must be 1"));
    if (w < 1 || h < 1) return ignore(kind, n, kNoSize);
    b.Left = coord(x);
    b.Top = coord(y);
    b.Width = coord(w);
    b.Height = coord(h);
    b.ForeColor = fore;
    b.BackColor = back;
    b.FontSize = qMin(qAbs(qint64(size)), qint64(512));
    b.FontName = font;
    b.ToolTip = TipText(tip);
    b.Visible = true;
    place(kind, n, QRect(b.Left, b.Top, b.Width, b.Height));
  }

  void cover(qint32 n) {
    const qint32 x = tok_.number(), y = tok_.number(), w = tok_.number(), h = tok_.number();
    const QString tip = tok_.field();
    const QString kind = QStringLiteral("cover");
    if (n != 1) return ignore(kind, n, QStringLiteral("number must be 1"));
    if (w < 1 || h < 1) return ignore(kind, n, kNoSize);
    SkinBox &b = t_.Cover;
    b.Left = coord(x);
    b.Top = coord(y);
    b.Width = coord(w);
    b.Height = coord(h);
    b.ToolTip = TipText(tip);
    b.Visible = true;
    place(kind, n, QRect(b.Left, b.Top, b.Width, b.Height));
  }

  void outline(qint32 n, bool multi) {
    const qint16 count = qMax<qint16>(0, to16(n));
    t_.OutlineExpected = count;
    t_.OutlineFilled = 0;
    t_.OutlinePoints = QList<QPoint>(count + 1);
    t_.OutlineCounts.clear();
    // Each load's outline is its own: a single polygon after an earlier
    // multi-polygon skin must not be cut up by that skin's counts.
    t_.MultiOutline = multi;
    // The points of an earlier outline are gone with it.
    for (SkinElementRecord &p : points_) {
      p.reason = QStringLiteral("outline announced again at line %1").arg(line_);
      p.rect = QRect();
      keepRejected(p);
    }
    points_.clear();
    if (n < 0) note(QStringLiteral("negative point count taken as 0"));
    if (!multi) return;
    const qint32 polygons = tok_.number();
    if (polygons < 0 || polygons > 32767) note(QStringLiteral("polygon count outside 0 to 32767"));
    const int m = qBound(0, polygons, 32767);
    qint64 sum = 0;
    for (int i = 0; i < m && !tok_.atEnd(); ++i) {
      const qint32 c = tok_.number();
      t_.OutlineCounts << c;
      sum += c;
    }
    if (sum != count || t_.OutlineCounts.size() != m)
      note(QStringLiteral("polygon counts do not add up to the points"));
  }

  void point(qint32 x) {
    if (t_.OutlineFilled >= t_.OutlineExpected)
      return ignore(QStringLiteral("point"), x,
                    QStringLiteral("point beyond the announced count; its Y is read as a token"));
    const qint32 y = tok_.number();
    const QPoint p(coord(x), coord(y));
    t_.OutlinePoints[t_.OutlineFilled] = p;
    ++t_.OutlineFilled;
    SkinElementRecord e;
    e.kind = QStringLiteral("point");
    e.index = t_.OutlineFilled;
    e.rect = QRect(p, QSize(0, 0));
    e.line = line_;
    e.token = token_;
    points_ << e;
  }

  void readWork(qint32 n) {
    if (n < 0 || n > 2)
      return reject(QStringLiteral("picture"), n,
                    QStringLiteral("work picture number outside 0 to 2; its file name is read as a token"));
    const QString name = tok_.field();
    const QString path = SkinFilePath(bitmapFolder_, name);
    if (!name.isEmpty() && QFileInfo(path).isFile()) {
      PictureStep s;
      s.kind = PictureStep::ReadWork;
      s.n = n;
      s.path = path;
      t_.Pictures << s;
      loadFlag_ = 1;
    } else {
      loadFlag_ = 0;
      r_.missingBitmaps << path;
      ignore(QStringLiteral("picture"), n, QStringLiteral("picture not found: ") + path);
    }
  }

  void sizeWork(qint32 n) {
    if (n < 0 || n > 1)
      return reject(QStringLiteral("picture"), n,
                    QStringLiteral("work picture number outside 0 to 1; its fields are read as tokens"));
    const qint32 w = tok_.number(), h = tok_.number();
    PictureStep s;
    s.kind = PictureStep::SizeWork;
    s.n = n;
    s.a = qBound(0, w, kMaxSkinPictureSide);
    s.b = qBound(0, h, kMaxSkinPictureSide);
    if (s.a != w || s.b != h) note(QStringLiteral("picture size cut to 0 to %1").arg(kMaxSkinPictureSide));
    t_.Pictures << s;
  }

  void copyWork(qint32 n) {
    if (n < 0 || n > 1)
      return reject(QStringLiteral("picture"), n,
                    QStringLiteral("work picture number outside 0 to 1; its fields are read as tokens"));
    PictureStep s;
    s.kind = PictureStep::CopyWork;
    s.n = n;
    s.a = tok_.number();
    s.b = tok_.number();
    s.c = tok_.number();
    s.d = tok_.number();
    s.e = tok_.number();
    s.f = tok_.number();
    t_.Pictures << s;
  }

  SkinTokenizer &tok_;
  SkinTables &t_;
  SkinLoadResult &r_;
  QString bitmapFolder_;
  QString skip_;
  int loadFlag_ = 0;
  int line_ = 0;
  QString token_;
  int skipLine_ = 0;
  QHash<std::pair<QString, int>, qsizetype> slots_;  // kind and slot -> entry of r_.placed
  QList<SkinElementRecord> points_;                  // of the outline in force
};

// Step 7: what a new skin starts from. The lyric box, the lyric line label,
// the button source positions and key characters stay as they were.
void resetTables(SkinTables &t) {
  t.PlNames.Visible = false;
  t.Cover.Visible = false;
  for (auto &b : t.Btn) b.Visible = false;
  for (auto &l : t.Lbl) l.Visible = false;
  for (auto &l : t.Ind) {
    l.Declared = false;
    l.Left = -10;
  }
  for (auto &d : t.Dig) {
    d.Visible = false;
    d.SrcX = 0;
  }
  for (auto &s : t.Sliders) {
    s.Visible = false;
    s.TrackWidth = 0;
    s.TrackHeight = 0;
  }
  for (auto &k : t.KeyStrings) k.clear();
  t.OutlineExpected = 0;
  t.OutlineFilled = 0;
  t.Pictures.clear();
}

QPoint placeWindow(qint32 startPosition, const QRect &screen, QPoint size, QPoint pos) {
  const qint64 sl = screen.left(), st = screen.top(), sw = screen.width(), sh = screen.height();
  const qint64 ww = size.x(), wh = size.y();
  // Positions relative to the screen's corner, then back to the desktop's.
  qint64 left = pos.x() - sl, top = pos.y() - st;
  switch (startPosition) {
    case 1:
      left = 0, top = 0;
      break;
    case 2:
      left = sw - ww, top = 0;
      break;
    case 3:
      left = sw - ww, top = sh - wh;
      break;
    case 4:
      left = 0, top = sh - wh;
      break;
    case 5:
      left = (sw - ww) / 2, top = (sh - wh) / 2;
      break;
    default:
      break;
  }
  if (left + ww > sw) left = sw - ww;
  if (left < 0) left = 0;
  if (top + wh > sh) top = sh - wh;
  if (top < 0) top = 0;
  return QPoint(static_cast<int>(sl + left), static_cast<int>(st + top));
}

QString findSkinFile(const QString &name, const SkinEnvironment &env, const SkinTables &t, const General &g) {
  QString folder = AddBackslash(g.SkinPath);
  if (folder.isEmpty()) folder = t.SkinFolder.isEmpty() ? env.appFolders.value(0) : t.SkinFolder;
  QString n = name;
  if (n.endsWith(u'*')) {
    n.chop(1);
    n += QString::number(env.screenWidthPx) + QStringLiteral(".skin");
  }
  if (n.contains(QChar(0))) return QString();
  QString path = n.contains(u':') || QDir::isAbsolutePath(n) ? n : AddBackslash(folder) + n;
  path.replace(u'\\', u'/');
  if (QFileInfo(path).isFile()) return path;
  for (const QString &root : env.appFolders) {
    for (const QString &sub : {QString(), QStringLiteral("skins/")}) {
      const QString p = SkinFilePath(AddBackslash(root) + sub, FilePart(n));
      if (QFileInfo(p).isFile()) return p;
    }
  }
  return QString();
}

}  // namespace

QString TipText(const QString &text) {
  return text.startsWith(u'~') ? QString() : text;
}

QString SkinFilePath(const QString &folder, const QString &name) {
  QString n = name;
  n.replace(u'\\', u'/');
  QString f = folder;
  f.replace(u'\\', u'/');
  const QString path = f + n;
  // A NUL cannot be part of a file name: such a name names nothing.
  if (n.contains(QChar(0)) || f.contains(QChar(0))) return QString();
  if (n.isEmpty() || QFileInfo::exists(path)) return path;
  // Same name in another letter case, in the same folder.
  const QFileInfo info(path);
  const QDir dir = info.dir();
  if (!dir.exists()) return path;
  const QString wanted = info.fileName();
  const QStringList entries = dir.entryList(QDir::Files);
  for (const QString &e : entries)
    if (e.compare(wanted, Qt::CaseInsensitive) == 0) return dir.filePath(e);
  return path;
}

int DigitAreaWidth(const DigitDisplay &d) {
  const qint64 dw = d.DigitWidth, sw = d.SepWidth;
  qint64 w;
  switch (d.Format) {
    case 0:
    case 1:
    case 3:
      w = dw * 4 + sw;
      break;
    case 2:
      w = dw * 6 + sw * 2;
      break;
    case 4:
      w = dw * 6 + sw;
      break;
    default:
      w = dw * qAbs(qint64(d.Format));
      break;
  }
  return static_cast<int>(qBound(qint64(-32768), w, qint64(32767)));
}

SkinLoadResult LoadSkin(const QString &name, bool reuseImportFolder, const SkinEnvironment &env,
                        SkinTables &t, General &g) {
  const QString path = findSkinFile(name, env, t, g);
  if (path.isEmpty()) {
    SkinLoadResult r;
    r.windowPosTwips = env.windowPosTwips;
    r.messages << g.message(44) + QLatin1Char('\n') + g.message(45) + name + QLatin1Char('\n') +
                      g.message(46) + g.SkinPath;
    return r;
  }
  QFile f(path);
  QByteArray bytes;
  if (f.open(QIODevice::ReadOnly)) bytes = f.read(kMaxSkinFileBytes);
  return LoadSkinText(decodeText(bytes), path, reuseImportFolder, env, t, g);
}

SkinLoadResult LoadSkinText(const QString &text, const QString &path, bool reuseImportFolder,
                            const SkinEnvironment &env, SkinTables &t, General &g) {
  SkinLoadResult r;
  r.path = path;
  r.windowPosTwips = env.windowPosTwips;
  t.SkinFolder = DirPart(path);
  QString bitmapFolder = t.SkinFolder;

  SkinTokenizer tok(text);
  if (tok.field() != kSkinMark) {
    r.messages << g.message(47);
    return r;
  }
  const QString description = tok.restOfLine();

  std::array<QPoint, 3> sizes{};
  for (auto &s : sizes) {
    const qint32 w = tok.number(), h = tok.number();
    if (w < 0 || h < 0 || w > kMaxSkinWindowSide || h > kMaxSkinWindowSide)
      r.notes << QStringLiteral("window size %1 x %2 cut to 0 to %3").arg(w).arg(h).arg(kMaxSkinWindowSide);
    s = QPoint(qBound(0, w, kMaxSkinWindowSide) * env.twipX, qBound(0, h, kMaxSkinWindowSide) * env.twipY);
  }

  resetTables(t);
  const QString mainName = tok.field();
  const QString resName = tok.field();
  r.importMode = mainName == QLatin1String("*");
  if (mainName != QLatin1String("*")) {
    const QString mainPath = SkinFilePath(bitmapFolder, mainName);
    r.mainBitmap = mainPath;
    if (mainName.isEmpty() || !QFileInfo(mainPath).isFile()) {
      r.messages << g.message(48) + mainPath;
      r.missingBitmaps << mainPath;
    } else {
      PictureStep s;
      s.kind = PictureStep::LoadBackground;
      s.path = mainPath;
      t.Pictures << s;
    }
    if (!resName.isEmpty()) {
      const QString resPath = SkinFilePath(bitmapFolder, resName);
      r.resourceBitmap = resPath;
      if (!QFileInfo(resPath).isFile()) {
        r.messages << g.message(49) + resPath;
        r.missingBitmaps << resPath;
      } else {
        PictureStep s;
        s.kind = PictureStep::LoadResource;
        s.path = resPath;
        t.Pictures << s;
      }
    }
  } else {
    const QString filter = tok.field();
    const QString defaultName = tok.field();
    QString folder = g.SkinImport;
    if (!reuseImportFolder && env.pickImportFile) {
      const QString chosen = env.pickImportFile(filter, defaultName, resName);
      if (!chosen.isEmpty()) {
        folder = DirPart(chosen);
        g.SkinImport = folder;
      }
    }
    bitmapFolder = AddBackslash(folder);
  }
  t.BitmapFolder = bitmapFolder;

  t.Description = description;
  g.Skin = path;
  t.WindowSizes = sizes;

  t.HoverMode = to16(tok.number());
  t.StartPosition = tok.number();
  {
    const qint32 red = tok.number(), green = tok.number(), blue = tok.number();
    t.BackColor = static_cast<SkinColor>(qBound(0, red, 255)) |
                  (static_cast<SkinColor>(qBound(0, green, 255)) << 8) |
                  (static_cast<SkinColor>(qBound(0, blue, 255)) << 16);
  }
  for (int i = 0; i < 3; ++i) (void)tok.number();
  r.windowPosTwips = placeWindow(t.StartPosition, env.screenTwips, sizes[0], env.windowPosTwips);

  BodyReader(tok, t, r, bitmapFolder).run();

  r.loaded = true;
  if (r.errorFlag)
    r.messages << g.message(50) + QLatin1Char('\n') + g.message(51) + QLatin1Char('\n') + r.errorList;
  return r;
}

}  // namespace cantorel
