#include "desktop/mimeapps_list.h"

#include <QStringDecoder>

namespace cantorel {

MimeAppsList::Line MimeAppsList::classify(const QString &text, const QString &group) {
  Line l;
  l.text = text;
  l.group = group;
  const QString t = text.trimmed();
  if (t.startsWith(u'[') && t.endsWith(u']')) {
    l.header = true;
    l.group = t.mid(1, t.size() - 2);
    return l;
  }
  if (t.isEmpty() || t.startsWith(u'#')) return l;
  const qsizetype eq = t.indexOf(u'=');
  if (eq > 0) l.key = t.left(eq).trimmed();
  return l;
}

bool MimeAppsList::parse(const QByteArray &bytes) {
  lines_.clear();
  endsWithNewline_ = true;
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
  const QString text = utf8.decode(bytes);
  if (utf8.hasError() || text.contains(QChar(0))) return false;
  if (text.isEmpty()) return true;
  QStringList raw = text.split(u'\n');
  endsWithNewline_ = text.endsWith(u'\n');
  if (endsWithNewline_) raw.removeLast();
  QString group;
  lines_.reserve(raw.size());
  for (const QString &r : raw) {
    Line l = classify(r, group);
    group = l.group;
    lines_.append(l);
  }
  return true;
}

QByteArray MimeAppsList::toBytes() const {
  QString out;
  for (const Line &l : lines_) {
    out += l.text;
    out += u'\n';
  }
  if (!endsWithNewline_ && !out.isEmpty()) out.chop(1);
  return out.toUtf8();
}

QString MimeAppsList::value(const QString &group, const QString &key, bool *found) const {
  if (found) *found = false;
  for (const Line &l : lines_) {
    if (l.header || l.group != group || l.key != key) continue;
    if (found) *found = true;
    const QString t = l.text.trimmed();
    return t.mid(t.indexOf(u'=') + 1).trimmed();
  }
  return QString();
}

void MimeAppsList::setValue(const QString &group, const QString &key, const QString &value) {
  const QString text = key + u'=' + value;
  int lastInGroup = -1;  // last non-blank line of the group (its header at least)
  for (int i = 0; i < lines_.size(); ++i) {
    Line &l = lines_[i];
    if (l.group != group) continue;
    if (!l.header && l.key == key) {
      // Keep a "\r" line end as the file had it.
      l.text = l.text.endsWith(u'\r') ? text + u'\r' : text;
      return;
    }
    if (!l.text.trimmed().isEmpty()) lastInGroup = i;
  }
  if (lastInGroup < 0) {
    if (!lines_.isEmpty() && !lines_.last().text.trimmed().isEmpty()) lines_.append(classify(QString(), lines_.last().group));
    lines_.append(classify(u'[' + group + u']', group));
    lines_.append(classify(text, group));
    endsWithNewline_ = true;
    return;
  }
  lines_.insert(lastInGroup + 1, classify(text, group));
  if (lastInGroup + 2 == lines_.size()) endsWithNewline_ = true;
}

QStringList MimeAppsList::keys(const QString &group) const {
  QStringList out;
  for (const Line &l : lines_) {
    if (!l.header && l.group == group && !l.key.isEmpty() && !out.contains(l.key)) out.append(l.key);
  }
  return out;
}

void MimeAppsList::remove(const QString &group, const QString &key) {
  for (int i = static_cast<int>(lines_.size()) - 1; i >= 0; --i) {
    if (!lines_[i].header && lines_[i].group == group && lines_[i].key == key) lines_.removeAt(i);
  }
}

void MimeAppsList::removeGroupIfEmpty(const QString &group) {
  for (const Line &l : lines_) {
    if (l.group == group && !l.header && !l.text.trimmed().isEmpty()) return;
  }
  for (int i = static_cast<int>(lines_.size()) - 1; i >= 0; --i) {
    if (lines_[i].group != group) continue;
    const bool header = lines_[i].header;
    lines_.removeAt(i);
    // The blank line before a header we removed, when nothing follows it
    // but another group or the end.
    if (header && i > 0 && lines_[i - 1].text.trimmed().isEmpty() &&
        (i == lines_.size() || lines_[i].header || lines_[i].text.trimmed().isEmpty())) {
      lines_.removeAt(i - 1);
      --i;
    }
  }
}

QString firstDesktopFile(const QString &value) {
  return value.section(u';', 0, 0).trimmed();
}

}  // namespace cantorel
