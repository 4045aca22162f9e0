#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace cantorel {

// How a text file's bytes were understood.
enum class TextEncoding { Utf8Bom, Utf16LeBom, Utf16BeBom, Utf8, Legacy };

// One rule for every text file we read from strangers: a byte-order mark wins,
// else the bytes are taken as UTF-8 when they are valid UTF-8, else as the
// legacy code page (Windows-1252 unless the "LegacyCodePage" setting names
// another), in which every byte has a character.
QString decodeText(const QByteArray &bytes, TextEncoding *used = nullptr);

// The legacy code page, for the whole program. Windows-1252 by default: the
// page of files written by the original desktop in Western languages.
inline constexpr char kDefaultLegacyCodePage[] = "Windows-1252";
// Makes `name` the legacy code page (any name the text codecs know, such as
// "windows-1251", "ISO-8859-2", "KOI8-R" or "Shift_JIS"; letter case does not
// matter). An empty or unknown name, or a UTF encoding (those are tried
// before the legacy page anyway), selects Windows-1252 and returns false.
// Safe to call from any thread.
bool setLegacyCodePage(const QString &name);
// The name of the legacy code page in use ("Windows-1252" by default).
QString legacyCodePage();
// Text in the legacy code page; characters the page lacks become "?".
// Whether the text survives is for the caller to check (decodeText of the
// bytes gives it back).
QByteArray encodeLegacy(const QString &text);

// Windows-1252, the single-byte code page of files written by the original
// desktop. Bytes without a character in that page (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) map to the C1 control of the same number, as Windows itself does.
QString decodeWindows1252(const QByteArray &bytes);
// Characters the page lacks become "?".
QByteArray encodeWindows1252(const QString &text);
bool isValidUtf8(const QByteArray &bytes);

// Text from a file or the network made safe for a tooltip: Qt shows a tip
// that merely looks like markup as rich text, and loads the pictures an
// <img> names while laying it out. The result is escaped markup that shows
// exactly `text` (line breaks kept); empty stays empty, so no tip shows.
QString plainToolTip(const QString &text);
// The same for a window title, where Qt takes "[*]" as the place of the
// modified mark: it shows as written.
QString plainWindowTitle(const QString &text);

// Splits text into lines at CR LF, LF or a lone CR. A final line end does not
// make an extra empty line.
QStringList splitLines(const QString &text);

}  // namespace cantorel
