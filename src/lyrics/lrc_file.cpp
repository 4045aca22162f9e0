#include "lyrics/lrc_file.h"

#include <QFileInfo>
#include <QHash>
#include <QVarLengthArray>

#include <algorithm>

#include "core/atomic_file.h"
#include "playback/playback_timer.h"

namespace cantorel {

namespace {

// Digits only, at most `maxDigits` of them; -1 otherwise.
qint64 number(QStringView s, int maxDigits) {
  if (s.isEmpty() || s.size() > maxDigits) return -1;
  qint64 v = 0;
  for (QChar c : s) {
    if (c < u'0' || c > u'9') return -1;
    v = v * 10 + (c.unicode() - u'0');
  }
  return v;
}

// Milliseconds of a fraction of 1 to 3 digits: tenths, hundredths or
// thousandths.
qint64 fractionMs(QStringView s) {
  const qint64 v = number(s, 3);
  if (v < 0) return -1;
  static const int kScale[] = {0, 100, 10, 1};
  return v * kScale[s.size()];
}

bool isBlank(QChar c) {
  return c == u' ' || c == u'\t';
}

// The beginning of something that looks meant as a stamp: blanks, a digit
// (or a minus before one), and a ":" soon after.
bool stampLike(QStringView s) {
  qsizetype i = 0;
  while (i < s.size() && isBlank(s[i])) ++i;
  if (i < s.size() && s[i] == u'-') ++i;
  if (i >= s.size() || !s[i].isDigit()) return false;
  const qsizetype colon = s.indexOf(u':', i);
  return colon > 0 && colon - i <= 6;
}

// An ID tag's key: a letter, then letters, digits, "_" or "-" ("ar",
// "offset", "x-custom"); "#" alone is the comment tag.
bool isTagKey(QStringView key) {
  if (key == u"#") return true;
  if (key.isEmpty() || key.size() > 32 || !key[0].isLetter()) return false;
  return std::all_of(key.begin(), key.end(),
                     [](QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'-'; });
}

// "[offset:]": milliseconds with an optional sign, blanks around.
bool parseOffset(QStringView v, qint64 *ms) {
  v = v.trimmed();
  bool negative = false;
  if (!v.isEmpty() && (v[0] == u'+' || v[0] == u'-')) {
    negative = v[0] == u'-';
    v = v.mid(1).trimmed();
  }
  // Nine digits: over a week either way, and never an overflow.
  const qint64 n = number(v, 9);
  if (n < 0) return false;
  *ms = negative ? -n : n;
  return true;
}

QString stampText(qint64 ms) {
  const qint64 m = ms / 60000, s = (ms / 1000) % 60, cs = (ms % 1000) / 10;
  return QStringLiteral("[%1:%2.%3]")
      .arg(m, 2, 10, QLatin1Char('0'))
      .arg(s, 2, 10, QLatin1Char('0'))
      .arg(cs, 2, 10, QLatin1Char('0'));
}

// A piece of the file as a warning quotes it: long ones are cut.
QString excerpt(QStringView s) {
  constexpr qsizetype kMax = 60;
  return s.size() <= kMax ? s.toString() : s.left(kMax).toString() + QStringLiteral("...");
}

// Collects warnings up to the limit.
class Warnings {
 public:
  explicit Warnings(LrcDocument &doc) : doc_(doc) {}
  void add(int line, LrcWarningKind kind, const QString &text) {
    if (doc_.warnings.size() >= kMaxLrcWarnings) {
      ++doc_.warningsDropped;
      return;
    }
    doc_.warnings.append({line, kind, text});
  }

 private:
  LrcDocument &doc_;
};

// Removes word stamps ("<00:12.34>") from a text.
QString withoutWordStamps(const QString &text) {
  if (!text.contains(u'<')) return text;
  QString out;
  out.reserve(text.size());
  qsizetype i = 0;
  while (i < text.size()) {
    if (text[i] == u'<') {
      // A stamp is short: looking further for its ">" would make a line of
      // nothing but "<" cost the square of its length.
      const QStringView window = QStringView(text).mid(i + 1, 24);
      const qsizetype close = window.indexOf(u'>');
      if (close >= 0 && parseLrcStamp(window.left(close)) >= 0) {
        i += close + 2;
        continue;
      }
    }
    out += text[i];
    ++i;
  }
  return out;
}

// Whether a shown text still holds a stamp-like fragment ("<00:12", "[1:02]").
bool holdsStampFragment(const QString &text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    if ((text[i] == u'<' || text[i] == u'[') && stampLike(QStringView(text).mid(i + 1, 8))) return true;
  }
  return false;
}

// Reads lines one at a time, as the reader of our own format does: a file of
// millions of short lines never becomes a list of millions of texts.
class Lines {
 public:
  explicit Lines(const QString &text) : text_(text) {}
  bool atEnd() const { return pos_ >= text_.size(); }
  QStringView next() {
    const qsizetype n = text_.size();
    qsizetype i = pos_;
    while (i < n && text_[i] != u'\n' && text_[i] != u'\r') ++i;
    const QStringView line = QStringView(text_).mid(pos_, i - pos_);
    if (i < n && text_[i] == u'\r' && i + 1 < n && text_[i + 1] == u'\n') ++i;
    pos_ = i + 1;
    return line;
  }

 private:
  const QString &text_;
  qsizetype pos_ = 0;
};

void readTag(const QString &key, const QString &value, int lineNo, LrcDocument &doc, Warnings &warn) {
  if (doc.tags.size() < kMaxLrcTags) doc.tags.append({key, value});
  if (key == u"ti") {
    doc.title = value;
  } else if (key == u"ar") {
    doc.artist = value;
  } else if (key == u"al") {
    doc.album = value;
  } else if (key == u"by") {
    doc.author = value;
  } else if (key == u"offset") {
    // The last one counts, as in the players that write it.
    if (!parseOffset(value, &doc.offsetMs))
      warn.add(lineNo, LrcWarningKind::MalformedTag,
               QStringLiteral("offset \"%1\" is not a number").arg(excerpt(value)));
  } else if (key == u"length") {
    const qint64 ms = parseLrcStamp(value);
    if (ms >= 0)
      doc.lengthMs = ms;
    else
      warn.add(lineNo, LrcWarningKind::MalformedTag,
               QStringLiteral("length \"%1\" is not a time").arg(excerpt(value)));
  }
}

}  // namespace

QString lrcWarningKindName(LrcWarningKind kind) {
  switch (kind) {
    case LrcWarningKind::OutOfOrder:
      return QStringLiteral("out-of-order");
    case LrcWarningKind::DuplicateStamp:
      return QStringLiteral("duplicate-stamp");
    case LrcWarningKind::PastLength:
      return QStringLiteral("past-length");
    case LrcWarningKind::MixedPrecision:
      return QStringLiteral("mixed-precision");
    case LrcWarningKind::WordStamp:
      return QStringLiteral("word-stamp");
    case LrcWarningKind::MalformedStamp:
      return QStringLiteral("malformed-stamp");
    case LrcWarningKind::MalformedTag:
      return QStringLiteral("malformed-tag");
    case LrcWarningKind::SameSecond:
      return QStringLiteral("same-second");
  }
  return QString();
}

qint64 parseLrcStamp(QStringView inside, int *fractionDigits) {
  const QStringView s = inside.trimmed();
  if (s.isEmpty() || s.size() > 20) return -1;
  // The fraction follows a "." (or, in "mm:ss:xx", a third ":").
  QStringView whole = s, fraction;
  const qsizetype dot = s.indexOf(u'.');
  if (dot >= 0) {
    whole = s.left(dot);
    fraction = s.mid(dot + 1);
    if (fraction.isEmpty()) return -1;
  }
  QStringView parts[3];
  int count = 0;
  for (qsizetype start = 0;;) {
    const qsizetype colon = whole.indexOf(u':', start);
    if (count == 3) return -1;
    parts[count++] = whole.mid(start, colon < 0 ? -1 : colon - start);
    if (colon < 0) break;
    start = colon + 1;
  }
  qint64 hours = 0, minutes = 0, seconds = 0;
  if (count == 2) {
    minutes = number(parts[0], 5);
    seconds = number(parts[1], 2);
  } else if (count == 3 && dot >= 0) {
    hours = number(parts[0], 3);
    minutes = number(parts[1], 2);
    seconds = number(parts[2], 2);
    if (minutes >= 60) return -1;
  } else if (count == 3) {
    minutes = number(parts[0], 5);
    seconds = number(parts[1], 2);
    fraction = parts[2];
  } else {
    return -1;
  }
  if (hours < 0 || minutes < 0 || seconds < 0 || seconds >= 60) return -1;
  qint64 ms = ((hours * 60 + minutes) * 60 + seconds) * 1000;
  if (!fraction.isEmpty()) {
    const qint64 f = fractionMs(fraction);
    if (f < 0) return -1;
    ms += f;
  }
  if (ms > kMaxLrcMs) return -1;
  if (fractionDigits) *fractionDigits = static_cast<int>(fraction.size());
  return ms;
}

QString lrcTimeText(qint64 ms) {
  if (ms < 0) ms = 0;
  qint64 s = ms / 1000;
  const qint64 r = ms % 1000;
  // The time display rounds the position to the nearest second, halves to
  // even: at 12.5 s it still shows "0:12", at 13.5 s already "0:14".
  if (r > 500 || (r == 500 && s % 2 == 1)) ++s;
  return PlaybackTimer::timeText(static_cast<qint32>(std::min<qint64>(s, 2147483647)), false);
}

bool isLrcFileName(const QString &path) {
  return path.endsWith(QLatin1String(".lrc"), Qt::CaseInsensitive);
}

bool looksLikeLrc(const QByteArray &bytes) {
  // The first lines are enough: tags come first, the first stamp soon after.
  const QString text = decodeText(bytes.left(8192));
  Lines lines(text);
  for (int k = 0; k < 200 && !lines.atEnd(); ++k) {
    const QStringView line = lines.next().trimmed();
    // Our own format says what it is on its first line.
    if (k == 0 && (line == QLatin1String(kLyricHeader) || line == QLatin1String(kLyricHeaderOld)))
      return false;
    if (!line.startsWith(u'[')) continue;
    const qsizetype close = line.indexOf(u']');
    if (close > 0 && parseLrcStamp(line.mid(1, close - 1)) >= 0) return true;
  }
  return false;
}

LyricStatus parseLrcBytes(const QByteArray &bytes, LyricLines &out, LrcDocument *docOut) {
  out.clear();
  LrcDocument local;
  LrcDocument &doc = docOut ? *docOut : local;
  doc.clear();
  Warnings warn(doc);
  const QString text = decodeText(bytes, &doc.encoding);

  QHash<qint64, int> stampLines;  // stamp as written -> first line giving it
  qint64 previousFirst = -1;      // first stamp of the timed line before
  int precision = -1;             // fraction digits of the first stamp
  bool precisionWarned = false;
  Lines lines(text);
  int lineNo = 0;
  while (!lines.atEnd()) {
    const QStringView line = lines.next();
    ++lineNo;
    qsizetype pos = 0;
    while (pos < line.size() && isBlank(line[pos])) ++pos;
    QVarLengthArray<qint64, 8> stamps;
    bool tagLine = false;
    while (pos < line.size() && line[pos] == u'[') {
      const qsizetype close = line.indexOf(u']', pos + 1);
      if (close < 0) break;
      const QStringView inside = line.mid(pos + 1, close - pos - 1);
      int digits = 0;
      const qint64 ms = parseLrcStamp(inside, &digits);
      if (ms >= 0) {
        if (precision < 0) {
          precision = digits;
        } else if (digits != precision && !precisionWarned) {
          precisionWarned = true;
          warn.add(lineNo, LrcWarningKind::MixedPrecision,
                   QStringLiteral("stamp [%1] has %2 fraction digits; the first stamp has %3")
                       .arg(inside.trimmed())
                       .arg(digits)
                       .arg(precision));
        }
        stamps.append(ms);
      } else if (stamps.isEmpty() && inside.contains(u':') &&
                 isTagKey(inside.left(inside.indexOf(u':')).trimmed())) {
        const qsizetype colon = inside.indexOf(u':');
        readTag(inside.left(colon).trimmed().toString().toLower(), inside.mid(colon + 1).trimmed().toString(),
                lineNo, doc, warn);
        tagLine = true;
        break;
      } else if (stampLike(inside)) {
        // Skipped, so the stamps after it and the text still count.
        warn.add(lineNo, LrcWarningKind::MalformedStamp,
                 QStringLiteral("[%1] is not a time stamp").arg(excerpt(inside)));
      } else {
        break;  // "[Chorus]" and the like begin the text
      }
      pos = close + 1;
      while (pos < line.size() && isBlank(line[pos])) ++pos;
    }
    if (tagLine || stamps.isEmpty()) continue;

    QString shown = withoutWordStamps(line.mid(pos).toString()).trimmed();
    if (holdsStampFragment(shown))
      warn.add(lineNo, LrcWarningKind::WordStamp,
               QStringLiteral("a stamp stays in the text: %1").arg(excerpt(shown)));
    // An empty text is a gap: the previous line leaves the box.
    if (shown.isEmpty()) shown = QStringLiteral(" ");

    const qint64 first = *std::min_element(stamps.begin(), stamps.end());
    if (previousFirst >= 0 && first < previousFirst)
      warn.add(lineNo, LrcWarningKind::OutOfOrder,
               QStringLiteral("%1 comes before %2 of the line above")
                   .arg(stampText(first), stampText(previousFirst)));
    previousFirst = first;

    for (qint64 ms : stamps) {
      const auto seen = stampLines.constFind(ms);
      if (seen != stampLines.constEnd())
        warn.add(lineNo, LrcWarningKind::DuplicateStamp,
                 QStringLiteral("%1 was already given on line %2").arg(stampText(ms)).arg(seen.value()));
      else
        stampLines.insert(ms, lineNo);
      if (doc.entries.size() == kMaxLyricEntries) {
        doc.tooManyEntries = true;
        break;
      }
      doc.entries.append({ms, 0, QString(), shown, lineNo});
    }
    if (doc.tooManyEntries) break;
  }
  doc.lineCount = lineNo;
  if (doc.tooManyEntries) return LyricStatus::TooManyEntries;
  if (doc.entries.isEmpty()) return LyricStatus::ReadError;

  // The offset applies to every stamp wherever it stood in the file.
  for (LrcEntry &e : doc.entries) {
    e.shownMs = std::clamp<qint64>(e.stampMs - doc.offsetMs, 0, kMaxLrcMs);
    e.time = lrcTimeText(e.shownMs);
    if (doc.lengthMs >= 0 && e.shownMs > doc.lengthMs)
      warn.add(
          e.line, LrcWarningKind::PastLength,
          QStringLiteral("%1 lies past the length %2").arg(stampText(e.shownMs), stampText(doc.lengthMs)));
  }
  // Most files are in order already: then there is nothing to move.
  const auto byTime = [](const LrcEntry &a, const LrcEntry &b) { return a.shownMs < b.shownMs; };
  if (!std::is_sorted(doc.entries.cbegin(), doc.entries.cend(), byTime))
    std::stable_sort(doc.entries.begin(), doc.entries.end(), byTime);

  // Every stamp is a line of its own, shown when the position reaches it.
  // Lines sharing the second the time display shows are noted: the whole-
  // second format can hold them only as one line (joinSameSecond).
  int groupLine = 0;
  for (const LrcEntry &e : doc.entries) {
    if (!out.PlTimes.isEmpty() && out.PlTimes.back() == e.time)
      warn.add(e.line, LrcWarningKind::SameSecond,
               QStringLiteral("shown in %1 as line %2 is; one line in the whole-second format")
                   .arg(e.time)
                   .arg(groupLine));
    else
      groupLine = e.line;
    out.PlLyrics.append(e.text);
    out.PlTimes.append(e.time);
    out.PlStampsMs.append(e.shownMs);
  }
  std::stable_sort(doc.warnings.begin(), doc.warnings.end(),
                   [](const LrcWarning &a, const LrcWarning &b) { return a.line < b.line; });
  return LyricStatus::Correct;
}

void joinSameSecond(LyricLines &lines) {
  LyricLines joined;
  const qsizetype n = std::min(lines.PlLyrics.size(), lines.PlTimes.size());
  for (qsizetype k = 0; k < n; ++k) {
    const QString &text = lines.PlLyrics.at(k);
    if (!joined.PlTimes.isEmpty() && joined.PlTimes.back() == lines.PlTimes.at(k)) {
      QString &last = joined.PlLyrics.back();
      if (text != u" ") last = last == u" " ? text : last + QLatin1String(kLrcJoin) + text;
      continue;
    }
    joined.PlLyrics.append(text);
    joined.PlTimes.append(lines.PlTimes.at(k));
  }
  lines = std::move(joined);
}

LyricStatus readLrcFile(const QString &path, LyricLines &out, LrcDocument *doc) {
  out.clear();
  if (doc) doc->clear();
  // Opening a pipe or a device would block or never end; only plain files
  // are read.
  if (path.isEmpty() || !QFileInfo(path).isFile()) return LyricStatus::ReadError;
  QByteArray bytes;
  if (!readFileLimited(path, kMaxLyricFileBytes, &bytes)) return LyricStatus::ReadError;
  return parseLrcBytes(bytes, out, doc);
}

QByteArray encodeLrcFile(const QStringList &texts, const QStringList &times, const TagInfo &tag,
                         const QList<qint64> &stampsMs) {
  QString text;
  // Tag fields keep their blank padding in the record; the file gets the
  // text alone.
  const QPair<const char *, QString> tags[] = {
      {"ti", tag.Title.trimmed()}, {"ar", tag.Artist.trimmed()}, {"al", tag.Album.trimmed()}};
  auto oneLine = [](QString s) {
    for (QChar &c : s)
      if (c == u'\r' || c == u'\n') c = QLatin1Char(' ');
    return s;
  };
  for (const auto &t : tags) {
    const qsizetype nul = t.second.indexOf(QChar(u'\0'));
    const QString value = oneLine(nul < 0 ? t.second : t.second.left(nul).trimmed());
    if (!value.isEmpty()) text += u'[' + QLatin1String(t.first) + u':' + value + QLatin1String("]\n");
  }
  const qsizetype n = std::min(texts.size(), times.size());
  for (qsizetype k = 0; k < n; ++k) {
    const qint32 seconds = PlaybackTimer::timeSeconds(times[k]);
    if (seconds < 0) continue;
    const qint64 marked = k < stampsMs.size() ? stampsMs[k] : -1;
    text += stampText(marked >= 0 ? marked : static_cast<qint64>(seconds) * 1000);
    // A gap (a lone blank) is written as a stamp without text.
    const QString line = oneLine(texts[k]).trimmed();
    text += line + u'\n';
  }
  // UTF-8 without a byte-order mark: what LRC files from every other player
  // and lyric site are, and what readers assume when there is no mark (a
  // mark would show as junk before "[ti:" in some of them). LF line ends as
  // on Linux; readers accept CR LF and LF alike.
  return text.toUtf8();
}

bool WriteLrcFile(const QString &path, const QStringList &texts, const QStringList &times, const TagInfo &tag,
                  QString *error, const QList<qint64> &stampsMs) {
  if (path.isEmpty()) {
    if (error) *error = QStringLiteral("no file name");
    return false;
  }
  return writeFileAtomically(path, encodeLrcFile(texts, times, tag, stampsMs), error);
}

}  // namespace cantorel
