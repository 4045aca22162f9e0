#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

// Small drawing helpers shared by the skin painters.
namespace kit {

QImage canvas(int w, int h, QColor fill);
QPainterPath rounded(const QRectF &r, double radius);
// A vertical gradient fill of a rounded rectangle.
void panel(QPainter &p, const QRectF &r, double radius, QColor top, QColor bottom, QColor border);
// Text in the given pixel size and weight.
void text(QPainter &p, const QRectF &r, const QString &s, int px, QColor c,
          int flags = Qt::AlignLeft | Qt::AlignVCenter, bool bold = true,
          const QString &family = QStringLiteral("DejaVu Sans"));

// Transport and tool icons, drawn centred in r.
enum class Icon {
  Play,
  Pause,
  Stop,
  Prev,
  Next,
  Eject,
  Close,
  Minimize,
  Mini,
  Expand,
  Gear,
  Skin,
  Add,
  Folder,
  Remove,
  Up,
  Down,
  Clear,
  Load,
  Save,
  Lyric,
  FullScreen,
  Info,
  Browse,
  Cover,
  Swap
};
void icon(QPainter &p, const QRectF &r, Icon which, QColor c);

// A strip of 13 digit cells (0-9, blank, ".", ":") for glyph style 0.
void digitStrip(QPainter &p, int x, int y, int cellW, int cellH, int sepW, int px, QColor on, QColor ghost,
                QColor bg);
// A 16 x 6 grid of characters 32..127 for glyph style 1.
void charGrid(QPainter &p, int x, int y, int cellW, int cellH, int px, QColor on, QColor bg);

bool save(const QImage &img, const QString &path);

}  // namespace kit
