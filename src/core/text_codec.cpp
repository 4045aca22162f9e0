#include "core/text_codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <mutex>

namespace cantorel {

namespace {

// Characters of Windows-1252 for bytes 0x80..0x9F.
const char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The legacy code page's name; empty means Windows-1252, decoded by the
// table above rather than by the codecs, so every byte keeps the character
// it always had.
std::mutex codePageMutex;
QByteArray codePageName;

QByteArray currentCodePage() {
  std::lock_guard<std::mutex> lock(codePageMutex);
  return codePageName;
}

}  // namespace

bool setLegacyCodePage(const QString &name) {
  const QByteArray wanted = name.trimmed().toLatin1();
  QByteArray chosen;
  bool ok = false;
  if (!wanted.isEmpty() && !wanted.toUpper().startsWith("UTF")) {
    QStringDecoder dec(wanted.constData());
    QStringEncoder enc(wanted.constData());
    if (dec.isValid() && enc.isValid()) {
      ok = true;
      const QByteArray canonical = dec.name();
      if (canonical.compare("windows-1252", Qt::CaseInsensitive) != 0) chosen = canonical;
    }
  }
  std::lock_guard<std::mutex> lock(codePageMutex);
  codePageName = chosen;
  return ok;
}

QString legacyCodePage() {
  const QByteArray name = currentCodePage();
  return name.isEmpty() ? QString::fromLatin1(kDefaultLegacyCodePage) : QString::fromLatin1(name);
}

QByteArray encodeLegacy(const QString &text) {
  const QByteArray name = currentCodePage();
  if (name.isEmpty()) return encodeWindows1252(text);
  QStringEncoder whole(name.constData());
  const QByteArray bytes = whole(text);
  if (!whole.hasError()) return bytes;
  // The codecs put their own substitute for a missing character; one code
  // point at a time, each becomes "?" as with Windows-1252.
  QByteArray out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype n =
        text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
    QStringEncoder one(name.constData());
    const QByteArray b = one(QStringView(text).mid(i, n));
    out += one.hasError() ? QByteArray("?") : b;
    i += n;
  }
  return out;
}

bool isValidUtf8(const QByteArray &bytes) {
  const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
  const qsizetype n = bytes.size();
  qsizetype i = 0;
  while (i < n) {
    unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    int extra;
    char32_t cp;
    if (c >= 0xC2 && c <= 0xDF) {
      extra = 1;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3;
      cp = c & 0x07;
    } else {
      return false;
    }
    for (int k = 1; k <= extra; ++k) {
      if (i + k >= n) return false;
      unsigned char cc = p[i + k];
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000) || cp > 0x10FFFF ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += extra + 1;
  }
  return true;
}

QString decodeWindows1252(const QByteArray &bytes) {
  QString out;
  out.resize(bytes.size());
  QChar *d = out.data();
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    auto c = static_cast<unsigned char>(bytes[i]);
    d[i] = (c >= 0x80 && c <= 0x9F) ? QChar(kHigh[c - 0x80]) : QChar(char16_t(c));
  }
  return out;
}

QByteArray encodeWindows1252(const QString &text) {
  QByteArray out;
  out.reserve(text.size());
  for (QChar ch : text) {
    char16_t u = ch.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
      out.append(static_cast<char>(u));
      continue;
    }
    char b = '?';
    for (int k = 0; k < 32; ++k) {
      if (kHigh[k] == u) {
        b = static_cast<char>(0x80 + k);
        break;
      }
    }
    out.append(b);
  }
  return out;
}

QString decodeText(const QByteArray &bytes, TextEncoding *used) {
  auto report = [used](TextEncoding e) {
    if (used) *used = e;
  };
  if (bytes.startsWith("\xEF\xBB\xBF")) {
    report(TextEncoding::Utf8Bom);
    return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
  }
  if (bytes.startsWith("\xFF\xFE")) {
    report(TextEncoding::Utf16LeBom);
    QStringDecoder dec(QStringDecoder::Utf16LE);
    return dec(bytes.mid(2));
  }
  if (bytes.startsWith("\xFE\xFF")) {
    report(TextEncoding::Utf16BeBom);
    QStringDecoder dec(QStringDecoder::Utf16BE);
    return dec(bytes.mid(2));
  }
  if (isValidUtf8(bytes)) {
    report(TextEncoding::Utf8);
    return QString::fromUtf8(bytes);
  }
  report(TextEncoding::Legacy);
  const QByteArray page = currentCodePage();
  if (page.isEmpty()) return decodeWindows1252(bytes);
  QStringDecoder dec(page.constData());
  return dec(bytes);
}

QString plainToolTip(const QString &text) {
  if (text.isEmpty()) return text;
  QString html = text.toHtmlEscaped();
  html.replace(QLatin1String("\r\n"), QLatin1String("<br>"));
  html.replace(QLatin1Char('\n'), QLatin1String("<br>"));
  html.replace(QLatin1Char('\r'), QLatin1String("<br>"));
  return QLatin1String("<qt>") + html + QLatin1String("</qt>");
}

QString plainWindowTitle(const QString &text) {
  QString title = text;
  return title.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
}

QStringList splitLines(const QString &text) {
  QStringList lines;
  qsizetype start = 0;
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    QChar c = text[i];
    if (c == u'\n' || c == u'\r') {
      lines.append(text.mid(start, i - start));
      if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
      start = i + 1;
    }
  }
  if (start < n) lines.append(text.mid(start));
  return lines;
}

}  // namespace cantorel
