#include "painter_kit.h"

#include <QFont>
#include <QLinearGradient>
#include <QPolygonF>

namespace kit {

QImage canvas(int w, int h, QColor fill) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(fill);
  return img;
}

QPainterPath rounded(const QRectF &r, double radius) {
  QPainterPath path;
  path.addRoundedRect(r, radius, radius);
  return path;
}

void panel(QPainter &p, const QRectF &r, double radius, QColor top, QColor bottom, QColor border) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  p.setPen(border.alpha() ? QPen(border, 1) : Qt::NoPen);
  p.setBrush(g);
  p.drawPath(rounded(r.adjusted(0.5, 0.5, -0.5, -0.5), radius));
}

void text(QPainter &p, const QRectF &r, const QString &s, int px, QColor c, int flags, bool bold,
          const QString &family) {
  QFont f(family);
  f.setPixelSize(px);
  f.setBold(bold);
  f.setLetterSpacing(QFont::AbsoluteSpacing, px <= 8 ? 1.0 : 0.3);
  p.setFont(f);
  p.setPen(c);
  p.drawText(r, flags, s);
}

void icon(QPainter &p, const QRectF &r, Icon which, QColor c) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const QPointF m = r.center();
  const double s = qMin(r.width(), r.height());
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  auto tri = [&](double cx, double cy, double w, double h, bool right) {
    QPolygonF t;
    if (right)
      t << QPointF(cx - w / 2, cy - h / 2) << QPointF(cx + w / 2, cy) << QPointF(cx - w / 2, cy + h / 2);
    else
      t << QPointF(cx + w / 2, cy - h / 2) << QPointF(cx - w / 2, cy) << QPointF(cx + w / 2, cy + h / 2);
    p.drawPolygon(t);
  };
  const QPen line(c, qMax(1.5, s * 0.09), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  switch (which) {
    case Icon::Play:
      tri(m.x() + s * 0.04, m.y(), s * 0.34, s * 0.4, true);
      break;
    case Icon::Pause:
      p.drawRoundedRect(QRectF(m.x() - s * 0.15, m.y() - s * 0.18, s * 0.1, s * 0.36), 1, 1);
      p.drawRoundedRect(QRectF(m.x() + s * 0.05, m.y() - s * 0.18, s * 0.1, s * 0.36), 1, 1);
      break;
    case Icon::Stop:
      p.drawRoundedRect(QRectF(m.x() - s * 0.15, m.y() - s * 0.15, s * 0.3, s * 0.3), 2, 2);
      break;
    case Icon::Prev:
      p.drawRect(QRectF(m.x() - s * 0.2, m.y() - s * 0.16, s * 0.06, s * 0.32));
      tri(m.x() + s * 0.02, m.y(), s * 0.26, s * 0.32, false);
      break;
    case Icon::Next:
      p.drawRect(QRectF(m.x() + s * 0.14, m.y() - s * 0.16, s * 0.06, s * 0.32));
      tri(m.x() - s * 0.02, m.y(), s * 0.26, s * 0.32, true);
      break;
    case Icon::Eject: {
      QPolygonF t;
      t << QPointF(m.x(), m.y() - s * 0.2) << QPointF(m.x() + s * 0.18, m.y() + s * 0.02)
        << QPointF(m.x() - s * 0.18, m.y() + s * 0.02);
      p.drawPolygon(t);
      p.drawRect(QRectF(m.x() - s * 0.18, m.y() + s * 0.09, s * 0.36, s * 0.07));
      break;
    }
    case Icon::Close:
      p.setPen(line);
      p.drawLine(QPointF(m.x() - s * 0.17, m.y() - s * 0.17), QPointF(m.x() + s * 0.17, m.y() + s * 0.17));
      p.drawLine(QPointF(m.x() + s * 0.17, m.y() - s * 0.17), QPointF(m.x() - s * 0.17, m.y() + s * 0.17));
      break;
    case Icon::Minimize:
      p.setPen(line);
      p.drawLine(QPointF(m.x() - s * 0.17, m.y() + s * 0.12), QPointF(m.x() + s * 0.17, m.y() + s * 0.12));
      break;
    case Icon::Mini:
      p.setPen(line);
      p.setBrush(Qt::NoBrush);
      p.drawRoundedRect(QRectF(m.x() - s * 0.2, m.y() - s * 0.06, s * 0.4, s * 0.14), 1.5, 1.5);
      break;
    case Icon::Expand:
      p.setPen(line);
      p.setBrush(Qt::NoBrush);
      p.drawRoundedRect(QRectF(m.x() - s * 0.18, m.y() - s * 0.18, s * 0.36, s * 0.36), 2, 2);
      p.drawLine(QPointF(m.x() - s * 0.18, m.y()), QPointF(m.x() + s * 0.18, m.y()));
      break;
    case Icon::Gear: {
      p.setPen(Qt::NoPen);
      for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(m);
        p.rotate(i * 45);
        p.drawRect(QRectF(-s * 0.05, -s * 0.24, s * 0.1, s * 0.1));
        p.restore();
      }
      p.drawEllipse(m, s * 0.17, s * 0.17);
      p.setBrush(QColor(0, 0, 0, 0));
      p.setCompositionMode(QPainter::CompositionMode_SourceOver);
      p.setPen(QPen(c.darker(300), s * 0.06));
      p.drawEllipse(m, s * 0.05, s * 0.05);
      break;
    }
    case Icon::Skin: {
      p.setPen(line);
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(m, s * 0.2, s * 0.2);
      p.setPen(Qt::NoPen);
      p.setBrush(c);
      p.drawPie(QRectF(m.x() - s * 0.2, m.y() - s * 0.2, s * 0.4, s * 0.4), 90 * 16, 180 * 16);
      break;
    }
    case Icon::Add:
      p.setPen(line);
      p.drawLine(QPointF(m.x() - s * 0.18, m.y()), QPointF(m.x() + s * 0.18, m.y()));
      p.drawLine(QPointF(m.x(), m.y() - s * 0.18), QPointF(m.x(), m.y() + s * 0.18));
      break;
    case Icon::Folder: {
      QPainterPath f;
      f.moveTo(m.x() - s * 0.22, m.y() - s * 0.14);
      f.lineTo(m.x() - s * 0.06, m.y() - s * 0.14);
      f.lineTo(m.x() - s * 0.02, m.y() - s * 0.08);
      f.lineTo(m.x() + s * 0.22, m.y() - s * 0.08);
      f.lineTo(m.x() + s * 0.22, m.y() + s * 0.16);
      f.lineTo(m.x() - s * 0.22, m.y() + s * 0.16);
      f.closeSubpath();
      p.drawPath(f);
      break;
    }
    case Icon::Remove:
      p.setPen(line);
      p.drawLine(QPointF(m.x() - s * 0.18, m.y()), QPointF(m.x() + s * 0.18, m.y()));
      break;
    case Icon::Up:
    case Icon::Down: {
      const double d = which == Icon::Up ? -1 : 1;
      QPolygonF t;
      t << QPointF(m.x(), m.y() + d * s * 0.15) << QPointF(m.x() - s * 0.17, m.y() - d * s * 0.1)
        << QPointF(m.x() + s * 0.17, m.y() - d * s * 0.1);
      p.drawPolygon(t);
      break;
    }
    case Icon::Clear:
      p.setPen(line);
      p.drawLine(QPointF(m.x() - s * 0.2, m.y() - s * 0.12), QPointF(m.x() + s * 0.2, m.y() - s * 0.12));
      p.drawLine(QPointF(m.x() - s * 0.2, m.y()), QPointF(m.x() + s * 0.2, m.y()));
      p.drawLine(QPointF(m.x() - s * 0.2, m.y() + s * 0.12), QPointF(m.x() + s * 0.06, m.y() + s * 0.12));
      break;
    case Icon::Load:
    case Icon::Save: {
      p.setPen(line);
      p.setBrush(Qt::NoBrush);
      p.drawLine(QPointF(m.x() - s * 0.2, m.y() + s * 0.2), QPointF(m.x() + s * 0.2, m.y() + s * 0.2));
      const double dir = which == Icon::Save ? 1 : -1;
      p.drawLine(QPointF(m.x(), m.y() - s * 0.18), QPointF(m.x(), m.y() + s * 0.1));
      p.drawLine(QPointF(m.x() - s * 0.1, m.y() + dir * 0.0 + (dir > 0 ? 0.0 : -s * 0.08)),
                 QPointF(m.x(), m.y() + (dir > 0 ? s * 0.1 : -s * 0.18)));
      p.drawLine(QPointF(m.x() + s * 0.1, m.y() + (dir > 0 ? 0.0 : -s * 0.08)),
                 QPointF(m.x(), m.y() + (dir > 0 ? s * 0.1 : -s * 0.18)));
      break;
    }
    case Icon::Lyric: {
      p.setPen(line);
      p.drawLine(QPointF(m.x() - s * 0.2, m.y() - s * 0.14), QPointF(m.x() + s * 0.06, m.y() - s * 0.14));
      p.drawLine(QPointF(m.x() - s * 0.2, m.y()), QPointF(m.x() + s * 0.02, m.y()));
      p.drawLine(QPointF(m.x() - s * 0.2, m.y() + s * 0.14), QPointF(m.x() - s * 0.04, m.y() + s * 0.14));
      p.setPen(Qt::NoPen);
      p.drawEllipse(QPointF(m.x() + s * 0.12, m.y() + s * 0.14), s * 0.07, s * 0.06);
      p.drawRect(QRectF(m.x() + s * 0.16, m.y() - s * 0.18, s * 0.035, s * 0.32));
      break;
    }
    case Icon::FullScreen:
      p.setPen(line);
      for (int sx : {-1, 1})
        for (int sy : {-1, 1}) {
          const QPointF corner(m.x() + sx * s * 0.2, m.y() + sy * s * 0.2);
          p.drawLine(corner, corner - QPointF(sx * s * 0.12, 0));
          p.drawLine(corner, corner - QPointF(0, sy * s * 0.12));
        }
      break;
    case Icon::Info:
      p.drawEllipse(QPointF(m.x(), m.y() - s * 0.15), s * 0.045, s * 0.045);
      p.drawRoundedRect(QRectF(m.x() - s * 0.04, m.y() - s * 0.06, s * 0.08, s * 0.26), 1, 1);
      break;
    case Icon::Browse:
      for (int i = 0; i < 4; ++i)
        p.drawRoundedRect(QRectF(m.x() - s * 0.2 + (i % 2) * s * 0.22, m.y() - s * 0.2 + (i / 2) * s * 0.22,
                                 s * 0.18, s * 0.18),
                          1.5, 1.5);
      break;
    case Icon::Swap:
      tri(m.x() + s * 0.04, m.y() - s * 0.1, s * 0.3, s * 0.16, true);
      tri(m.x() - s * 0.04, m.y() + s * 0.1, s * 0.3, s * 0.16, false);
      break;
    case Icon::Cover:
      p.setPen(line);
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(m, s * 0.2, s * 0.2);
      p.setPen(Qt::NoPen);
      p.setBrush(c);
      p.drawEllipse(m, s * 0.05, s * 0.05);
      break;
  }
  p.restore();
}

void digitStrip(QPainter &p, int x, int y, int cellW, int cellH, int sepW, int px, QColor on, QColor ghost,
                QColor bg) {
  QFont f(QStringLiteral("DejaVu Sans Mono"));
  f.setPixelSize(px);
  f.setBold(true);
  p.setFont(f);
  p.setRenderHint(QPainter::TextAntialiasing);
  for (int col = 0; col < 13; ++col) {
    const int w = col >= 11 ? sepW : cellW;
    const QRect cell(x + col * cellW, y, w, cellH);
    p.fillRect(cell, bg);
    if (ghost.alpha() && col <= 10) {
      p.setPen(ghost);
      p.drawText(cell, Qt::AlignCenter, QStringLiteral("8"));
    }
    QString ch;
    if (col <= 9)
      ch = QString::number(col);
    else if (col == 11)
      ch = QStringLiteral(".");
    else if (col == 12)
      ch = QStringLiteral(":");
    if (!ch.isEmpty()) {
      p.setPen(on);
      p.drawText(cell, Qt::AlignCenter, ch);
    }
  }
}

void charGrid(QPainter &p, int x, int y, int cellW, int cellH, int px, QColor on, QColor bg) {
  QFont f(QStringLiteral("DejaVu Sans Mono"));
  f.setPixelSize(px);
  f.setBold(true);
  p.setFont(f);
  p.fillRect(QRect(x, y, cellW * 16, cellH * 6), bg);
  p.setPen(on);
  for (int code = 32; code < 128; ++code) {
    const int row = code / 16 - 2, col = code % 16;
    if (code == 127) continue;
    p.drawText(QRect(x + col * cellW, y + row * cellH, cellW, cellH), Qt::AlignCenter, QString(QChar(code)));
  }
}

bool save(const QImage &img, const QString &path) {
  return img.save(path, "PNG");
}

}  // namespace kit
