#include "skin/skin_tokenizer.h"

#include <limits>

namespace cantorel {

namespace {
bool isLineEnd(QChar c) {
  return c == u'\r' || c == u'\n';
}
bool isBlank(QChar c) {
  return c == u' ' || c == u'\t';
}
}  // namespace

void SkinTokenizer::skipLineEnd() {
  if (pos_ < text_.size() && text_[pos_] == u'\r') ++pos_;
  if (pos_ < text_.size() && text_[pos_] == u'\n') ++pos_;
  ++line_;
}

QString SkinTokenizer::field() {
  const qsizetype n = text_.size();
  while (pos_ < n && isBlank(text_[pos_])) ++pos_;
  QString out;
  if (pos_ < n && text_[pos_] == u'"') {
    const qsizetype close = text_.indexOf(u'"', pos_ + 1);
    const qsizetype end = close < 0 ? n : close;
    out = text_.mid(pos_ + 1, end - pos_ - 1);
    // Line ends inside the quotes still count as lines.
    line_ += static_cast<int>(out.count(u'\n'));
    pos_ = close < 0 ? n : close + 1;
    while (pos_ < n && text_[pos_] != u',' && !isLineEnd(text_[pos_])) ++pos_;
  } else {
    const qsizetype start = pos_;
    while (pos_ < n && text_[pos_] != u',' && !isLineEnd(text_[pos_])) ++pos_;
    out = text_.mid(start, pos_ - start);
    while (!out.isEmpty() && isBlank(out.back())) out.chop(1);
  }
  lastEndedLine_ = true;
  if (pos_ < n && text_[pos_] == u',') {
    ++pos_;
    lastEndedLine_ = false;
  } else if (pos_ < n) {
    skipLineEnd();
  }
  return out;
}

qint32 SkinTokenizer::toNumber(const QString &f) {
  qsizetype i = 0;
  const qsizetype n = f.size();
  while (i < n && isBlank(f[i])) ++i;
  bool negative = false;
  if (i < n && (f[i] == u'-' || f[i] == u'+')) negative = f[i++] == u'-';
  qint64 v = 0;
  for (; i < n && f[i] >= u'0' && f[i] <= u'9'; ++i) {
    v = v * 10 + (f[i].unicode() - u'0');
    if (v > std::numeric_limits<qint32>::max()) v = qint64(std::numeric_limits<qint32>::max()) + 1;
  }
  if (negative) v = -v;
  if (v > std::numeric_limits<qint32>::max()) v = std::numeric_limits<qint32>::max();
  if (v < std::numeric_limits<qint32>::min()) v = std::numeric_limits<qint32>::min();
  return static_cast<qint32>(v);
}

qint32 SkinTokenizer::number() {
  return toNumber(field());
}

QString SkinTokenizer::restOfLine() {
  if (lastEndedLine_ || atEnd()) {
    lastEndedLine_ = false;
    return QString();
  }
  const qsizetype start = pos_;
  while (pos_ < text_.size() && !isLineEnd(text_[pos_])) ++pos_;
  const QString out = text_.mid(start, pos_ - start);
  if (pos_ < text_.size()) skipLineEnd();
  lastEndedLine_ = false;
  return out;
}

}  // namespace cantorel
