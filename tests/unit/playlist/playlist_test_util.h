#pragma once

#include <QByteArray>
#include <QString>

#include "playlist/mp3_info.h"
#include "playlist/tag_info.h"
#include "support/test_support.h"

namespace cantorel::test {

// A small MPEG-like file: a frame header (128 kbit/s, 44.1 kHz, joint
// stereo), `audio` bytes of filler, then optionally an ID3v1 tag.
inline QByteArray mp3Bytes(int audio = 400, const QByteArray &tag = {}) {
  QByteArray b("\xFF\xFB\x90\x44", 4);
  b += QByteArray(audio, '\x55');
  return b + tag;
}

inline TagInfo makeTag(const QString &title, const QString &artist = {}, const QString &album = {},
                       int track = 0, int genre = 0) {
  TagInfo t;
  t.setTitle(title);
  t.setArtist(artist);
  t.setAlbum(album);
  t.Track = track;
  t.Genre = genre;
  return t;
}

}  // namespace cantorel::test
