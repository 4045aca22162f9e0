#include "skin/skin_logic.h"

#include <QRegularExpression>

#include <cmath>

namespace cantorel {

bool PlaceSliderKnob(SkinSlider &s, int n, double value) {
  if (!s.Visible) return false;
  const double v = std::isfinite(value) ? qBound(0.0, value, 1.0) : 0.0;
  int now;
  if (n == kBarSlider) {
    if (!s.vertical()) {
      now = static_cast<int>(std::nearbyint(v * s.TrackWidth));  // halves to even
      if (now == s.Drawn && s.KnobW == now) return false;
      s.KnobLeft = s.TrackLeft;
      s.KnobTop = s.TrackTop;
      s.KnobW = now;
      s.KnobH = s.KnobHeight;
    } else {
      now = s.TrackHeight - static_cast<int>(std::floor(v * s.TrackHeight));
      if (now == s.Drawn && s.KnobH == now) return false;
      s.KnobLeft = s.TrackLeft;
      s.KnobTop = s.TrackTop;
      s.KnobW = s.KnobWidth;
      s.KnobH = now;
    }
  } else {
    if (!s.vertical()) {
      now = s.TrackLeft + static_cast<int>(std::floor(v * s.TrackWidth));
      if (now == s.Drawn && s.KnobLeft == now) return false;
      s.KnobLeft = now;
      s.KnobTop = s.TrackTop;
    } else {
      now = s.TrackTop + s.TrackHeight - static_cast<int>(std::floor(v * s.TrackHeight));
      if (now == s.Drawn && s.KnobTop == now) return false;
      s.KnobTop = now;
      s.KnobLeft = s.TrackLeft;
    }
    s.KnobW = s.KnobWidth;
    s.KnobH = s.KnobHeight;
  }
  s.Drawn = static_cast<qint16>(qBound(-32768, now, 32767));
  return true;
}

double NextKnobValue(const SkinSlider &s, int n, double value) {
  const int track = s.vertical() ? s.TrackHeight : s.TrackWidth;
  if (!s.Visible || track <= 0) return 2;
  const double v = std::isfinite(value) ? qBound(0.0, value, 1.0) : 0.0;
  // A horizontal bar rounds its length; everything else takes whole pixels.
  if (n == kBarSlider && !s.vertical()) return (std::nearbyint(v * track) + 0.5) / track;
  return (std::floor(v * track) + 1) / track;
}

double DragSliderKnob(const SkinSlider &s, int pointer, int grab, int &grabPos) {
  if (s.vertical()) {
    const int top = qBound<int>(s.TrackTop, pointer - grab + grabPos, s.TrackTop + s.TrackHeight);
    grabPos = top;
    return 1.0 - double(top - s.TrackTop) / s.TrackHeight;
  }
  const int left = qBound<int>(s.TrackLeft, pointer - grab + grabPos, s.TrackLeft + s.TrackWidth);
  grabPos = left;
  // A track of no length has only one place: its start.
  return s.TrackWidth > 0 ? double(left - s.TrackLeft) / s.TrackWidth : 0.0;
}

QPoint SnapPosition(const QRect &w, const QRect &area) {
  qint64 left = w.left(), top = w.top();
  const qint64 width = w.width(), height = w.height();
  const qint64 right = qint64(area.left()) + area.width(), bottom = qint64(area.top()) + area.height();
  if (-kSnapDistance < top && top < kSnapDistance) top = 0;
  if (-kSnapDistance < left && left < kSnapDistance) left = 0;
  if (bottom - kSnapDistance < top + height && top + height < bottom + kSnapDistance)
    top = bottom - height - kSnapBottomGap;
  if (right - kSnapDistance < left + width && left + width < right + kSnapDistance) left = right - width;
  return QPoint(static_cast<int>(left), static_cast<int>(top));
}

QPoint WindowSizeFor(const SkinTables &t, int hFlag, int small) {
  return t.WindowSizes[small ? 2 : (hFlag ? 1 : 0)];
}

namespace {
QString padded(qint64 v, int width) {
  const QString digits = QString::number(v < 0 ? -v : v).rightJustified(width, QLatin1Char('0'));
  return v < 0 ? QLatin1Char('-') + digits : digits;
}
QString fixed(double v, int intDigits, int decimals) {
  QString s = QString::number(std::fabs(v), 'f', decimals);
  const qsizetype dot = s.indexOf(u'.');
  const qsizetype have = dot < 0 ? s.size() : dot;
  if (have < intDigits) s.prepend(QString(intDigits - have, QLatin1Char('0')));
  return v < 0 && s.contains(QRegularExpression(QStringLiteral("[1-9]"))) ? QLatin1Char('-') + s : s;
}
}  // namespace

QString DigitText(int format, const QVariant &value, int timeFmt, const QTime &now, QString *label9) {
  bool numeric = false;
  const double v = value.toDouble(&numeric);
  const bool finite = numeric && std::isfinite(v) && std::fabs(v) < 1e15;
  if (format >= -15 && format <= -1) {
    if (!finite) return value.toString();
    return padded(std::llround(v), -format);
  }
  switch (format) {
    case 0: {
      const qint64 secs = finite ? std::llround(v) : 0;
      const qint64 m = secs / 60, s = secs - 60 * m;
      return padded(m, 2) + QLatin1Char(':') + padded(s, 2);
    }
    case 1:
    case 2: {
      QString full;
      if (format == 1)
        full = timeFmt ? now.toString(QStringLiteral("HH:mm")) + QStringLiteral("    ")
                       : now.toString(QStringLiteral("hh:mm AP"));
      else
        full =
            timeFmt ? now.toString(QStringLiteral("HH:mm:ss ")) : now.toString(QStringLiteral("hh:mm:ss AP"));
      if (label9) *label9 = full.mid(format == 1 ? 6 : 6, 2);
      return full.left(5);
    }
    case 3:
      return finite ? fixed(v, 3, 1) : value.toString();
    case 4:
      return finite ? fixed(v, 3, 3) : value.toString();
    default:
      return value.toString();
  }
}

QString ScrollText(const QString &text, int cells, qint16 &scrollStart) {
  if (text.size() <= qAbs(cells)) {
    scrollStart = 1;
    return text;
  }
  if (scrollStart > text.size() + 4 || scrollStart < 1) scrollStart = 1;
  const QString loop = text + QStringLiteral("  *  ") + text;
  const QString out = loop.mid(scrollStart - 1);
  ++scrollStart;
  return out;
}

namespace {
const QString kStyle3Symbols = QStringLiteral(":()-'!_+\\/[]^&.=#");

GlyphCell style3Cell(QChar ch) {
  const char16_t c = ch.unicode();
  if (c >= u'A' && c <= u'Z') return {0, c - u'A', 0};
  if (c >= u'0' && c <= u'9') return {1, c - u'0', 0};
  if (c == u'"') return {0, 27, 0};
  if (c == u'*') return {2, 4, 0};
  if (c == u'?') return {2, 3, 0};
  if (c == u'@') return {0, 8, 0};
  const qsizetype i = kStyle3Symbols.indexOf(ch);
  if (i >= 0) return {1, 11 + static_cast<int>(i) + 1, 0};
  return {0, 29, 0};
}
}  // namespace

QList<GlyphCell> GlyphCells(const DigitDisplay &d, const QString &text, bool clock24) {
  QList<GlyphCell> out;
  if (d.Style == 0) {
    bool blanking = !clock24;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
      const QChar c = text[i];
      GlyphCell g{0, 10, d.DigitWidth};
      if (c >= u'0' && c <= u'9') {
        if (blanking && c == u'0') {
          g.col = 10;
        } else {
          g.col = c.unicode() - u'0';
          blanking = false;
        }
      } else if (c == u'.') {
        g = {0, 11, d.SepWidth};
      } else if (c == u':') {
        g = {0, 12, d.SepWidth};
      }
      if (d.Format == 0) blanking = false;  // only the first character may be blanked
      out << g;
    }
    return out;
  }
  const int cells = qMin(qAbs(int(d.Format)), 255);
  const QString t = d.Style >= 2 ? text.toUpper() : text;
  for (int i = 0; i < cells; ++i) {
    const QChar c = i < t.size() ? t[i] : QLatin1Char(' ');
    if (d.Style == 3) {
      GlyphCell g = style3Cell(c);
      g.width = d.DigitWidth;
      out << g;
    } else {
      int code = c.unicode();
      if (code < 32 || code > 127) code = 32;
      out << GlyphCell{code / 16 - 2, code % 16, d.DigitWidth};
    }
  }
  return out;
}

}  // namespace cantorel
