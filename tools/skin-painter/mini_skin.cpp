// "Pebble": a small skin that shows the other half of the format. Its outline
// is a polygon, its pictures are composed from one sheet with R, W, Z and U,
// its title uses the letter table (glyph style 3), its volume slider stands
// upright, and a K button switches back to the default skin.
#include <QFile>
#include <QList>
#include <QTextStream>

#include "painter_kit.h"

namespace {

using kit::Icon;

constexpr int W = 360, H = 120;
const QColor kBody(236, 230, 218);
const QColor kInk(58, 52, 46);
const QColor kAccent(232, 106, 64);
const QColor kScreen(44, 48, 40);
const QColor kGlyph(190, 232, 120);

struct Button {
  int code;
  QRect r;
  Icon icon;
  const char *key;
  const char *tip;
};

const QList<Button> &buttons() {
  static const QList<Button> list = {
      {14, {24, 76, 32, 32}, Icon::Prev, "Z", "Previous"},
      {12, {60, 76, 32, 32}, Icon::Play, "X", "Play"},
      {11, {96, 76, 32, 32}, Icon::Pause, "C", "Pause"},
      {10, {132, 76, 32, 32}, Icon::Stop, "V", "Stop"},
      {15, {168, 76, 32, 32}, Icon::Next, "B", "Next"},
      {13, {204, 76, 32, 32}, Icon::Eject, "O", "Open"},
      {4, {300, 8, 20, 20}, Icon::Mini, "M", "Mini mode"},
      {1, {324, 8, 20, 20}, Icon::Close, "Q", "Close"},
      {101, {276, 8, 20, 20}, Icon::Swap, "", "Back to the default skin"},
  };
  return list;
}

// The outline: a pebble with cut corners (8 points).
const QList<QPoint> &outline() {
  static const QList<QPoint> pts = {{16, 0},    {344, 0},  {360, 16}, {360, 104},
                                    {344, 120}, {16, 120}, {0, 104},  {0, 16}};
  return pts;
}

void face(QPainter &p, int y0, bool lit) {
  p.save();
  p.translate(0, y0);
  p.setRenderHint(QPainter::Antialiasing);
  QPolygonF poly;
  for (const QPoint &pt : outline()) poly << pt;
  QLinearGradient g(0, 0, 0, H);
  g.setColorAt(0, kBody.lighter(104));
  g.setColorAt(1, kBody.darker(108));
  p.setPen(QPen(QColor(190, 180, 164), 1));
  p.setBrush(g);
  p.drawPolygon(poly);
  // Screen.
  kit::panel(p, QRectF(16, 12, 252, 56), 6, kScreen, kScreen, QColor(30, 32, 28));
  kit::text(p, QRectF(20, 8, 120, 14), QString(), 8, kInk);
  // Volume slot (upright).
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(200, 190, 174));
  p.drawRoundedRect(QRectF(330, 38, 6, 70), 3, 3);
  kit::text(p, QRectF(300, 40, 26, 12), QStringLiteral("VOL"), 8, QColor(140, 128, 112));
  // Position slot.
  p.drawRoundedRect(QRectF(244, 90, 72, 4), 2, 2);
  for (const Button &b : buttons()) {
    const QRectF r = b.r;
    if (b.r.width() > 24) {
      p.setPen(QPen(QColor(200, 190, 174), 1));
      p.setBrush(lit ? kAccent : kBody.lighter(103));
      p.drawEllipse(r.adjusted(1, 1, -1, -1));
      kit::icon(p, r, b.icon, lit ? QColor(255, 246, 236) : kInk);
    } else {
      kit::icon(p, r, b.icon, lit ? kAccent : QColor(120, 110, 98));
    }
  }
  p.restore();
}

// The body's colour at height y (its gradient).
QColor face_color(int y) {
  QImage probe(1, H, QImage::Format_RGB32);
  QPainter p(&probe);
  QLinearGradient g(0, 0, 0, H);
  g.setColorAt(0, kBody.lighter(104));
  g.setColorAt(1, kBody.darker(108));
  p.fillRect(probe.rect(), g);
  p.end();
  return QColor(probe.pixel(0, y));
}

}  // namespace

bool paintMiniSkin(const QString &dir) {
  // One sheet: the face at y 0, the lit face at y 120, the letter table at
  // y 240 (3 rows of 30 cells, 7 x 11), knobs at y 280.
  QImage sheet = kit::canvas(W, 300, QColor(20, 20, 20));
  {
    QPainter p(&sheet);
    face(p, 0, false);
    face(p, H, true);
    p.setRenderHint(QPainter::Antialiasing, false);
    const int cw = 7, ch = 11, y = 240;
    p.fillRect(QRect(0, y, cw * 30, ch * 3), kScreen);
    QFont f(QStringLiteral("DejaVu Sans Mono"));
    f.setPixelSize(10);
    f.setBold(true);
    p.setFont(f);
    p.setPen(kGlyph);
    auto put = [&](int row, int col, QChar c) {
      p.drawText(QRect(col * cw, y + row * ch, cw, ch), Qt::AlignCenter, QString(c));
    };
    for (int i = 0; i < 26; ++i) put(0, i, QChar('A' + i));
    put(0, 27, QLatin1Char('"'));
    put(0, 8, QLatin1Char('I'));  // "@" shares the I cell in this table
    for (int i = 0; i < 10; ++i) put(1, i, QChar('0' + i));
    const QString symbols = QStringLiteral(":()-'!_+\\/[]^&.=#");
    for (int i = 0; i < symbols.size(); ++i) put(1, 12 + i, symbols[i]);
    put(2, 3, QLatin1Char('?'));
    put(2, 4, QLatin1Char('*'));
    kit::digitStrip(p, 220, 240, 9, 14, 5, 13, kGlyph, QColor(56, 62, 50), kScreen);
    // Knobs: position (orange dot) and volume (flat bar).
    // Their corners take the body's colour where they sit.
    p.fillRect(QRect(0, 280, 10, 10), face_color(92));
    p.fillRect(QRect(20, 280, 14, 8), face_color(70));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(QRectF(0, 280, 10, 10));
    p.setBrush(kInk);
    p.drawRoundedRect(QRectF(20, 280, 14, 8), 2, 2);
  }
  bool ok = kit::save(sheet, dir + QStringLiteral("/pebble_sheet.png"));

  QFile f(dir + QStringLiteral("/pebble.skin"));
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  QTextStream s(&f);
  s << "Cantorel Skin, Pebble: small, round-cornered, warm\r\n"
    << "360, 120\r\n360, 120\r\n360, 36\r\n"
    << "pebble_sheet.png,\r\n"
    << "1, 0, 236, 230, 218, 0, 0, 0\r\n"
    << "; Made by tools/skin-painter; edit the painter, not this file.\r\n"
    << "/ Shows a polygon outline, pictures composed from one sheet,\r\n"
    << "/ the letter-table title and an upright volume slider.\r\n"
    << "R2, pebble_sheet.png\r\n"
    << "?0, nosheet\r\n"
    << "W0, 360, 120\r\nZ0, 0, 0, 360, 120, 0, 0\r\n"
    << "W1, 360, 60\r\nZ1, 0, 120, 360, 120, 0, 0\r\n"
    << "W1, 360, 180\r\nZ1, 0, 240, 360, 60, 0, 120\r\n"
    << "U\r\n"
    << ":nosheet\r\n";
  s << "N" << outline().size() << "\r\n";
  for (const QPoint &pt : outline()) s << "P" << pt.x() << ", " << pt.y() << "\r\n";
  for (const Button &b : buttons())
    if (b.code > 100)
      s << "K" << b.code - 100 << ", " << b.r.x() << ", " << b.r.y() << ", " << b.r.width() << ", "
        << b.r.height() << ", 0, 0, " << b.key << ", \"" << b.tip << "\", default.skin\r\n";
    else
      s << "B" << b.code << ", " << b.r.x() << ", " << b.r.y() << ", " << b.r.width() << ", " << b.r.height()
        << ", 0, 0, " << b.key << ", \"" << b.tip << "\"\r\n";
  s << "D1, 24, 16, 220, 120, 9, 14, 5, 0, 1, 0, \"Time\"\r\n"
    << "D6, 24, 36, 0, 120, 7, 11, 7, 3, 1, -30, \"Title\"\r\n"
    << "D2, 212, 18, 0, 120, 7, 11, 7, 3, 1, -3, \"Track\"\r\n"
    << "I4, 250, 20, 8, 8, 190, 232, 120, 3, ~\r\n"
    << "I3, 250, 20, 8, 8, 240, 200, 80, 3, ~\r\n"
    << "I7, 20, 56, 10, 4, 190, 232, 120, 4, ~\r\n"
    << "I10, 34, 56, 10, 4, 190, 232, 120, 4, ~\r\n"
    << "S1, 244, 87, 62, 0, 0, 160, 10, 10, \"Position\"\r\n"
    << "S2, 326, 38, 0, 62, 20, 160, 14, 8, \"Volume\"\r\n"
    << "E\r\n";
  return ok && s.status() == QTextStream::Ok;
}
