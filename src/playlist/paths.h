#pragma once

#include <QString>

namespace cantorel {

// Text operations on paths. Both "/" and "\" separate folders, so paths from
// playlists made on other desktops ("C:\music\a.mp3") split the same way as
// our own. Positions are those of the last separator or dot.

// Whether `c` separates folders.
inline bool isSeparator(QChar c) { return c == u'/' || c == u'\\'; }

// P with a separator at its end: P itself when it ends in one, P + "\" when P
// uses "\" only, else P + "/"; the empty text for an empty P.
QString AddBackslash(const QString &p);
// P up to and including its last separator; empty when it has none.
QString DirPart(const QString &p);
// Everything after the last separator; all of P when it has none.
QString FilePart(const QString &p);
// Everything after the last "." (not stopping at separators); all of P when
// it has no ".".
QString ExtPart(const QString &p);
// Everything before the last "."; all of P when it has no ".".
QString StripExt(const QString &p);
// True when P names an existing plain file. "*" and "?" in the file name match
// as wildcards.
bool FileExists(const QString &p);
// True when the name ends in ".GIF", ".BMP" or ".JPG" in any letter case.
bool IsPictureFile(const QString &name);
// The picture beside base B (trimmed): tries B.BMP, B.GIF and B.JPG and gives
// the last that exists, so JPG beats GIF beats BMP. The extension is matched
// without regard to case and the result names the file as it is on disk; the
// empty text when none exists.
QString FindImageFile(const QString &base);
// The name shown for a path. In friendly mode (`friendly` > 0) "_" becomes a
// blank, the extension goes, earlier dots become blanks and a leading track
// number with "-" or " -" after it goes.
QString FriendlyName(const QString &p, int friendly);
// The W-character cell of table T picked by bits F..L of V, trimmed; empty
// past the end of T.
QString PickBits(int v, int first, int last, int width, const QString &table);

}  // namespace cantorel
