#pragma once

#include <QString>

namespace cantorel {

// The ID3v1 fields of the current file. Text fields are kept at their width in
// the tag: shorter values are padded with blanks, longer ones cut. `Track` and
// `Genre` are the byte values of the last two bytes of the tag.
struct TagInfo {
  static constexpr int kTitleWidth = 30;
  static constexpr int kArtistWidth = 30;
  static constexpr int kAlbumWidth = 30;
  static constexpr int kYearWidth = 4;
  static constexpr int kCommentWidth = 29;
  // Genre byte of the cleared record; the genre list shows it as "Unknown".
  static constexpr int kClearedGenre = 80;
  // Genre byte written for "Unknown".
  static constexpr int kUnknownGenre = 254;

  QString Title = blank(kTitleWidth);
  QString Artist = blank(kArtistWidth);
  QString Album = blank(kAlbumWidth);
  QString Year = blank(kYearWidth);
  QString Comment = blank(kCommentWidth);
  int Track = 0;
  int Genre = kClearedGenre;
  // Whether the values came from a tag in the file (false: cleared record).
  bool Found = false;

  // The cleared record: blank text, track 0, genre 80.
  void clear() { *this = TagInfo(); }

  void setTitle(const QString &v) { Title = fit(v, kTitleWidth); }
  void setArtist(const QString &v) { Artist = fit(v, kArtistWidth); }
  void setAlbum(const QString &v) { Album = fit(v, kAlbumWidth); }
  void setYear(const QString &v) { Year = fit(v, kYearWidth); }
  void setComment(const QString &v) { Comment = fit(v, kCommentWidth); }

  // `v` cut or blank-padded to `width` characters.
  static QString fit(const QString &v, int width) {
    return v.size() >= width ? v.left(width) : v + QString(width - v.size(), QLatin1Char(' '));
  }
  static QString blank(int width) { return QString(width, QLatin1Char(' ')); }
};

}  // namespace cantorel
