#pragma once

#include <QString>

namespace cantorel {

// The ID3v1 fields of the current file, each held at its fixed width in the
// tag (title, artist, album 30; year 4; comment 29; track and genre one byte).
struct TagInfo {
  static constexpr int kTitleWidth = 30;
  static constexpr int kArtistWidth = 30;
  static constexpr int kAlbumWidth = 30;
  static constexpr int kYearWidth = 4;
  static constexpr int kCommentWidth = 29;

  QString Title;
  QString Artist;
  QString Album;
  QString Year;
  QString Comment;
  int Track = 0;
  int Genre = 0;
};

}  // namespace cantorel
