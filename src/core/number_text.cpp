#include "core/number_text.h"

#include <cmath>
#include <limits>

namespace cantorel {

double leadingNumber(QStringView text) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n && (text[i] == u' ' || text[i] == u'\t')) ++i;
  bool negative = false;
  if (i < n && (text[i] == u'-' || text[i] == u'+')) {
    negative = text[i] == u'-';
    ++i;
  }
  double value = 0;
  bool any = false;
  while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
    value = value * 10 + (text[i].unicode() - u'0');
    any = true;
    ++i;
  }
  if (i < n && text[i] == u'.') {
    ++i;
    double scale = 0.1;
    while (i < n && text[i].unicode() >= u'0' && text[i].unicode() <= u'9') {
      value += (text[i].unicode() - u'0') * scale;
      scale /= 10;
      any = true;
      ++i;
    }
  }
  if (!any) return 0;
  if (i < n && (text[i] == u'e' || text[i] == u'E')) {
    qsizetype j = i + 1;
    bool expNeg = false;
    if (j < n && (text[j] == u'-' || text[j] == u'+')) {
      expNeg = text[j] == u'-';
      ++j;
    }
    int exp = 0;
    bool expAny = false;
    while (j < n && text[j].unicode() >= u'0' && text[j].unicode() <= u'9') {
      if (exp < 10000) exp = exp * 10 + (text[j].unicode() - u'0');
      expAny = true;
      ++j;
    }
    if (expAny) value *= std::pow(10.0, expNeg ? -exp : exp);
  }
  if (!std::isfinite(value)) value = std::numeric_limits<double>::max();
  return negative ? -value : value;
}

namespace {
template <typename T>
T roundClamp(double v) {
  const double r = std::nearbyint(v);  // default rounding mode: half to even
  if (r <= std::numeric_limits<T>::min()) return std::numeric_limits<T>::min();
  if (r >= std::numeric_limits<T>::max()) return std::numeric_limits<T>::max();
  return static_cast<T>(r);
}
}  // namespace

qint16 toInt16(QStringView text) { return roundClamp<qint16>(leadingNumber(text)); }
qint32 toInt32(QStringView text) { return roundClamp<qint32>(leadingNumber(text)); }

QString spacedInt(int value) {
  return value >= 0 ? QLatin1Char(' ') + QString::number(value) : QString::number(value);
}

QString plainInt(int value) { return QString::number(value); }

QString singleText(float value) { return QString::number(static_cast<double>(value), 'g', 7); }

}  // namespace cantorel
