#pragma once

#include <QString>

namespace cantorel {

// What showing a cover comes to.
struct CoverChoice {
  enum Action {
    Keep,   // leave the shown cover as it is
    Clear,  // remove the shown cover
    Show,   // show `File`
  };
  Action action = Keep;
  QString File;
};

// The decision of LoadCover for `x` (a picture file, or a base name without a
// dot to which FindImageFile adds the extension) while `lastCover` is shown:
// the same file again or an open preferences window keep the cover; an empty
// or missing file clears it; an existing file that is not named like a picture
// keeps it.
CoverChoice ChooseCover(const QString &x, const QString &lastCover, bool prefsOpen);

// The picture named after the tag in `folder`: "<artist> - <album>" beats
// "<artist>-<album>", which beats "<album>", each with the extension order of
// FindImageFile. Artist and album are trimmed; the album alone is tried only
// when it is not empty, the two artist forms only when the artist is not.
// Empty when nothing is found.
QString FindTagCover(const QString &folder, const QString &artist, const QString &album);

// The "LastCover" name of the picture embedded in the song at `songPath`: no
// file has it, so it is never taken for a picture on disk.
QString EmbeddedCoverKey(const QString &songPath);
// Whether a "LastCover" name is such a name.
bool IsEmbeddedCoverKey(const QString &lastCover);

// A picture from a song's tag as a file for those who need one (the desktop's
// media controls): `cacheDir`/<hash of the bytes>.<png|jpg|gif|bmp|img>,
// written atomically unless it is there already. Empty when it cannot be
// written. Never used beside the music.
QString CachedPictureFile(const QByteArray &data, const QString &cacheDir);

// The picture to show for a track: its tag cover, else the playlist's picture,
// else `defaultCover` ("nocover.bmp" of the program).
QString TagCoverOrFallback(const QString &folder, const QString &artist, const QString &album,
                           const QString &playlistCover, const QString &defaultCover);

}  // namespace cantorel
