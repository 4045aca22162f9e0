// The default skin: a dark face with a teal display, drawn twice (normal and
// lit) so every button's pressed image sits at its own place in the resource
// picture; glyph strips and knobs go below it.
#include <QFile>
#include <QList>
#include <QTextStream>

#include "painter_kit.h"

namespace {

using kit::Icon;

constexpr int W = 560, H = 500;
const QColor kKey(255, 0, 255);
const QColor kAccent(94, 234, 212);
const QColor kInk(214, 222, 235);
const QColor kDim(110, 124, 146);
const QColor kLcd(9, 13, 19);
const QColor kGhost(18, 34, 38);

enum class Look { Round, Accent, Flat, Toggle };

struct Button {
  int code;
  QRect r;
  Icon icon;
  Look look;
  const char *key;
  const char *tip;
  const char *caption = nullptr;  // toggles: the caption
  int light = 0;                  // toggles: the light beside the caption
};

const QList<Button> &buttons() {
  static const QList<Button> list = {
      // Title bar.
      {32, {236, 6, 22, 22}, Icon::Prev, Look::Flat, "<", "Back 10 seconds"},
      {36, {262, 6, 22, 22}, Icon::Play, Look::Flat, "", "Play or pause"},
      {33, {288, 6, 22, 22}, Icon::Next, Look::Flat, ">", "Forward 10 seconds"},
      {101, {376, 6, 22, 22}, Icon::Swap, Look::Flat, "", "Switch to the Pebble skin"},
      {3, {402, 6, 22, 22}, Icon::Expand, Look::Flat, "E", "Playlist and lyrics"},
      {5, {428, 6, 22, 22}, Icon::Gear, Look::Flat, "P", "Preferences"},
      {6, {454, 6, 22, 22}, Icon::Skin, Look::Flat, "K", "Choose a skin"},
      {4, {480, 6, 22, 22}, Icon::Mini, Look::Flat, "M", "Mini mode"},
      {2, {506, 6, 22, 22}, Icon::Minimize, Look::Flat, "H", "Hide"},
      {1, {532, 6, 22, 22}, Icon::Close, Look::Flat, "Q", "Close"},
      // Transport.
      {14, {16, 190, 44, 44}, Icon::Prev, Look::Round, "Z", "Previous"},
      {12, {66, 190, 44, 44}, Icon::Play, Look::Accent, "X", "Play"},
      {11, {116, 190, 44, 44}, Icon::Pause, Look::Round, "C", "Pause"},
      {10, {166, 190, 44, 44}, Icon::Stop, Look::Round, "V", "Stop"},
      {15, {216, 190, 44, 44}, Icon::Next, Look::Round, "B", "Next"},
      {13, {266, 190, 44, 44}, Icon::Eject, Look::Round, "O", "Open a file and play it"},
      // Modes.
      {27, {158, 126, 60, 22}, Icon::Info, Look::Toggle, "R", "Repeat", "REPEAT", 7},
      {28, {220, 126, 60, 22}, Icon::Info, Look::Toggle, "S", "Shuffle", "SHUFFLE", 10},
      {25, {282, 126, 60, 22}, Icon::Info, Look::Toggle, "I", "Intro scan", "INTRO", 5},
      {26, {344, 126, 60, 22}, Icon::Info, Look::Toggle, "T", "Stop after this song", "ONE", 6},
      {30, {406, 126, 60, 22}, Icon::Info, Look::Toggle, "A", "A-B loop", "A-B", 8},
      {9, {468, 126, 60, 22}, Icon::Info, Look::Toggle, "U", "Mute", "MUTE", 17},
      // Playlist.
      {23, {142, 250, 22, 20}, Icon::Add, Look::Flat, "+", "Add files"},
      {24, {166, 250, 22, 20}, Icon::Folder, Look::Flat, "D", "Add a folder"},
      {17, {190, 250, 22, 20}, Icon::Remove, Look::Flat, "-", "Remove the selected song"},
      {19, {214, 250, 22, 20}, Icon::Up, Look::Flat, "[", "Move up"},
      {18, {238, 250, 22, 20}, Icon::Down, Look::Flat, "]", "Move down"},
      {20, {262, 250, 22, 20}, Icon::Clear, Look::Flat, "Y", "Clear the playlist"},
      {21, {16, 476, 22, 20}, Icon::Load, Look::Flat, "J", "Open a playlist"},
      {22, {40, 476, 22, 20}, Icon::Save, Look::Flat, "W", "Save the playlist"},
      {16, {64, 476, 22, 20}, Icon::Info, Look::Flat, "?", "File information"},
      {35, {88, 476, 22, 20}, Icon::Browse, Look::Flat, "G", "Browse folders by cover"},
      // Lyrics.
      {40, {470, 250, 22, 20}, Icon::Lyric, Look::Flat, "L", "Lyric timing assistant"},
      {41, {496, 250, 22, 20}, Icon::FullScreen, Look::Flat, "F", "Full-screen lyrics"},
      {34, {522, 250, 22, 20}, Icon::Cover, Look::Flat, "N", "Cover window"},
  };
  return list;
}

void drawButton(QPainter &p, const Button &b, bool lit) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r = b.r;
  switch (b.look) {
    case Look::Round: {
      const QRectF c = r.adjusted(2, 2, -2, -2);
      QLinearGradient g(c.topLeft(), c.bottomLeft());
      g.setColorAt(0, lit ? QColor(58, 72, 96) : QColor(44, 52, 68));
      g.setColorAt(1, lit ? QColor(38, 50, 70) : QColor(28, 33, 45));
      p.setPen(QPen(lit ? kAccent : QColor(58, 68, 88), 1));
      p.setBrush(g);
      p.drawEllipse(c);
      kit::icon(p, r, b.icon, lit ? kAccent : kInk);
      break;
    }
    case Look::Accent: {
      const QRectF c = r.adjusted(1, 1, -1, -1);
      QLinearGradient g(c.topLeft(), c.bottomLeft());
      g.setColorAt(0, lit ? kAccent.lighter(115) : kAccent);
      g.setColorAt(1, lit ? QColor(45, 190, 170) : QColor(32, 160, 146));
      p.setPen(Qt::NoPen);
      if (lit) {
        p.setBrush(QColor(94, 234, 212, 60));
        p.drawEllipse(r.adjusted(-1, -1, 1, 1));
      }
      p.setBrush(g);
      p.drawEllipse(c.adjusted(1, 1, -1, -1));
      kit::icon(p, r, b.icon, QColor(10, 30, 32));
      break;
    }
    case Look::Flat:
      if (lit) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 22));
        p.drawRoundedRect(r, 5, 5);
      }
      kit::icon(p, r.adjusted(2, 2, -2, -2), b.icon, lit ? kAccent : QColor(160, 172, 192));
      break;
    case Look::Toggle: {
      if (lit) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(94, 234, 212, 28));
        p.drawRoundedRect(r, 5, 5);
      }
      // The light's place: a dim dot the light covers when it is on.
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(30, 44, 50));
      p.drawEllipse(QRectF(r.left() + 6, r.center().y() - 3, 6, 6));
      kit::text(p, r.adjusted(16, 0, 0, 0), QString::fromLatin1(b.caption), 9, lit ? kAccent : kDim,
                Qt::AlignLeft | Qt::AlignVCenter, true, QStringLiteral("DejaVu Sans Condensed"));
      break;
    }
  }
  p.restore();
}

void drawFace(QPainter &p, bool lit) {
  p.setRenderHint(QPainter::Antialiasing);
  // Body with round corners on the key colour.
  kit::panel(p, QRectF(0, 0, W, H), 12, QColor(30, 36, 50), QColor(17, 20, 28), QColor(52, 62, 82));
  // Title bar.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 8));
  p.drawPath(kit::rounded(QRectF(1, 1, W - 2, 32), 11));
  p.setBrush(kAccent);
  p.drawEllipse(QRectF(16, 11, 12, 12));
  p.setBrush(QColor(17, 20, 28));
  p.drawEllipse(QRectF(20, 15, 4, 4));
  kit::text(p, QRectF(34, 6, 100, 22), QStringLiteral("Cantorel"), 14, QColor(230, 237, 247));
  p.setPen(QColor(40, 48, 64));
  p.drawLine(QPointF(12, 33.5), QPointF(W - 12, 33.5));

  // Cover placeholder.
  kit::panel(p, QRectF(16, 42, 116, 116), 8, QColor(24, 30, 42), QColor(18, 22, 31), QColor(44, 54, 72));
  kit::icon(p, QRectF(44, 70, 60, 60), Icon::Cover, QColor(54, 66, 86));

  // Display.
  kit::panel(p, QRectF(144, 42, 400, 116), 10, QColor(12, 17, 24), kLcd, QColor(34, 48, 71));
  const QColor cap(70, 92, 104);
  kit::text(p, QRectF(300, 50, 50, 14), QStringLiteral("PLAY"), 9, cap);
  kit::text(p, QRectF(352, 50, 56, 14), QStringLiteral("PAUSE"), 9, cap);
  kit::text(p, QRectF(412, 50, 48, 14), QStringLiteral("STOP"), 9, cap);
  for (int x : {290, 342, 402}) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(24, 38, 44));
    p.drawEllipse(QRectF(x, 54, 6, 6));
  }
  kit::text(p, QRectF(462, 48, 70, 12), QStringLiteral("TRACK"), 8, cap, Qt::AlignRight | Qt::AlignVCenter);
  kit::text(p, QRectF(290, 72, 40, 14), QStringLiteral("VOL"), 9, cap);
  kit::text(p, QRectF(372, 72, 40, 14), QStringLiteral("TIME"), 9, cap);
  p.setPen(QColor(26, 38, 54));
  p.drawLine(QPointF(156, 120.5), QPointF(532, 120.5));

  // Position groove.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 48, 64));
  p.drawRoundedRect(QRectF(16, 172, 528, 4), 2, 2);

  // Volume, balance and speed.
  kit::text(p, QRectF(326, 188, 80, 12), QStringLiteral("VOLUME"), 8, kDim);
  kit::text(p, QRectF(460, 188, 84, 12), QStringLiteral("BALANCE"), 8, kDim);
  kit::text(p, QRectF(326, 220, 50, 12), QStringLiteral("SPEED"), 8, kDim);
  p.setBrush(QColor(40, 48, 64));
  p.drawRoundedRect(QRectF(326, 208, 120, 4), 2, 2);
  p.drawRoundedRect(QRectF(460, 208, 84, 4), 2, 2);
  p.drawRoundedRect(QRectF(380, 225, 164, 4), 2, 2);
  p.setBrush(QColor(70, 82, 104));
  p.drawRect(QRectF(501.5, 203, 1, 14));
  p.drawRect(QRectF(461.5, 220, 1, 14));

  // Lower part: playlist and lyrics.
  p.setPen(QColor(40, 48, 64));
  p.drawLine(QPointF(12, 244.5), QPointF(W - 12, 244.5));
  kit::text(p, QRectF(18, 250, 120, 20), QStringLiteral("PLAYLIST"), 9, kDim);
  kit::text(p, QRectF(330, 250, 120, 20), QStringLiteral("LYRICS"), 9, kDim);
  kit::panel(p, QRectF(12, 272, 308, 200), 8, QColor(14, 18, 26), QColor(14, 18, 26), QColor(36, 44, 60));
  kit::panel(p, QRectF(324, 272, 224, 158), 8, QColor(14, 18, 26), QColor(14, 18, 26), QColor(36, 44, 60));
  kit::panel(p, QRectF(324, 434, 224, 38), 8, QColor(10, 14, 20), QColor(10, 14, 20), QColor(34, 48, 71));
  kit::text(p, QRectF(300, 476, 244, 20), QStringLiteral("lyrics in time with the music"), 9,
            QColor(70, 80, 98), Qt::AlignRight | Qt::AlignVCenter, false);

  for (const Button &b : buttons()) drawButton(p, b, lit);
}

void knob(QPainter &p, const QRectF &r, QColor ring, QColor core) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(ring);
  p.drawEllipse(r);
  p.setBrush(core);
  p.drawEllipse(r.adjusted(r.width() * 0.3, r.height() * 0.3, -r.width() * 0.3, -r.height() * 0.3));
}

}  // namespace

bool paintDefaultSkin(const QString &dir) {
  // Background, with the corners in the key colour.
  QImage bg = kit::canvas(W, H, QColor(17, 20, 28));
  {
    QPainter p(&bg);
    drawFace(p, false);
    // The key colour outside the rounded body, with a hard edge: the window
    // shape leaves out exactly these pixels.
    QPainterPath outside;
    outside.addRect(0, 0, W, H);
    outside = outside.subtracted(kit::rounded(QRectF(0, 0, W, H), 12));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillPath(outside, kKey);
  }
  // Resource: the lit face, then glyphs and knobs below it.
  QImage res = kit::canvas(W, H + 150, QColor(17, 20, 28));
  {
    QPainter p(&res);
    p.fillRect(QRect(0, 0, W, H), kKey);
    drawFace(p, true);
    p.setRenderHint(QPainter::Antialiasing, false);
    kit::digitStrip(p, 0, 500, 24, 38, 12, 36, kAccent, kGhost, kLcd);  // big time digits
    kit::digitStrip(p, 0, 540, 13, 20, 7, 17, kAccent, kGhost, kLcd);   // track and clock
    kit::charGrid(p, 0, 562, 8, 14, 12, QColor(200, 240, 232), kLcd);   // title characters
    // Knobs: position, volume, balance, speed, and the volume bar.
    const QColor back(17, 20, 28);
    p.fillRect(QRect(320, 500, 100, 40), back);
    knob(p, QRectF(320, 500, 14, 14), kAccent, QColor(12, 40, 40));
    knob(p, QRectF(340, 500, 12, 12), QColor(226, 232, 240), QColor(60, 70, 90));
    knob(p, QRectF(356, 500, 12, 12), QColor(226, 232, 240), QColor(60, 70, 90));
    knob(p, QRectF(372, 500, 12, 12), QColor(226, 232, 240), QColor(60, 70, 90));
    p.setPen(Qt::NoPen);
    QLinearGradient g(QPointF(320, 0), QPointF(440, 0));
    g.setColorAt(0, QColor(32, 160, 146));
    g.setColorAt(1, kAccent);
    p.fillRect(QRect(320, 520, 120, 4), back);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(320, 520, 120, 4), 2, 2);
  }
  bool ok = kit::save(bg, dir + QStringLiteral("/default.png")) &&
            kit::save(res, dir + QStringLiteral("/default_res.png"));

  QFile f(dir + QStringLiteral("/default.skin"));
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  QTextStream s(&f);
  s << "Cantorel Skin, Cantorel default: night blue with a teal display\r\n"
    << "560, 500\r\n560, 246\r\n560, 34\r\n"
    << "default.png, default_res.png\r\n"
    << "2, 0, 17, 20, 28, 0, 0, 0\r\n"
    << "; Made by tools/skin-painter; edit the painter, not this file.\r\n"
    << "/ Buttons light up under the pointer. Click the time in the title bar\r\n"
    << "/ to switch between elapsed and remaining time.\r\n"
    << "O, 255, 0, 255\r\n";
  s << "; Buttons: number = command\r\n";
  for (const Button &b : buttons())
    if (b.code > 100)
      s << "K" << b.code - 100 << ", " << b.r.x() << ", " << b.r.y() << ", " << b.r.width() << ", "
        << b.r.height() << ", 0, 0, " << b.key << ", \"" << b.tip << "\", pebble.skin\r\n";
    else
      s << "B" << b.code << ", " << b.r.x() << ", " << b.r.y() << ", " << b.r.width() << ", " << b.r.height()
        << ", 0, 0, " << b.key << ", \"" << b.tip << "\"\r\n";
  s << "; Lights\r\n";
  for (const Button &b : buttons())
    if (b.light)
      s << "I" << b.light << ", " << b.r.x() + 6 << ", " << b.r.y() + 8 << ", 6, 6, 94, 234, 212, 3, ~\r\n";
  s << "I4, 290, 54, 6, 6, 94, 234, 212, 3, ~\r\n"
    << "I3, 342, 54, 6, 6, 250, 204, 21, 3, ~\r\n"
    << "I2, 402, 54, 6, 6, 248, 113, 113, 3, ~\r\n";
  s << "; Digit displays: time, track, clock, title\r\n"
    << "D1, 158, 52, 0, 500, 24, 38, 12, 0, 2, 0, \"Elapsed time\"\r\n"
    << "D2, 490, 62, 0, 540, 13, 20, 7, 0, 1, -3, \"Track number\"\r\n"
    << "D3, 408, 70, 0, 540, 13, 20, 7, 0, 0, 1, \"Clock\"\r\n"
    << "D6, 158, 100, 0, 562, 8, 14, 0, 1, 0, -46, \"Title\"\r\n";
  s << "; Labels: time (click: elapsed or remaining), volume\r\n"
    << "L1, 140, 9, 70, 16, 110, 124, 146, 9, \"Arial:B\", \"Click: elapsed or remaining time\"\r\n"
    << "L18, 316, 70, 40, 18, 94, 234, 212, 10, \"Arial:B\", ~\r\n"
    << "L9, 470, 73, 20, 14, 70, 92, 104, 7, \"Arial:B\", ~\r\n";
  s << "; Sliders: position, volume, balance, volume bar, speed\r\n"
    << "S1, 16, 167, 514, 0, 320, 500, 14, 14, \"Position\"\r\n"
    << "S2, 326, 204, 108, 0, 340, 500, 12, 12, \"Volume\"\r\n"
    << "S3, 460, 204, 72, 0, 356, 500, 12, 12, \"Balance (double click: centre)\"\r\n"
    << "S4, 326, 208, 114, 0, 320, 520, 120, 4, ~\r\n"
    << "S5, 380, 221, 152, 0, 372, 500, 12, 12, \"Speed (double click: normal)\"\r\n";
  s << "; Playlist, lyrics, current line, cover\r\n"
    << "X1, 16, 276, 300, 192, 200, 210, 225, 14, 18, 26, 9, Arial, ~\r\n"
    << "Y1, 328, 276, 216, 150, 170, 182, 200, 14, 18, 26, 9, Arial, ~\r\n"
    << "F1, 328, 436, 216, 34, 94, 234, 212, 10, 14, 20, 11, Arial, ~\r\n"
    << "C1, 20, 46, 108, 108, \"Cover\"\r\n"
    << "E\r\n";
  return ok && s.status() == QTextStream::Ok;
}
