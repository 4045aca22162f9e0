// Fuzz target: the ID3v1 tag reader (on the last bytes of a file and through
// a real file) and the record writer.
#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "playlist/display_title.h"
#include "playlist/mp3_info.h"
#include "support/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  const cantorel::TagInfo t = cantorel::ParseTag(bytes.right(256));
  if (t.Title.size() != 30 || t.Comment.size() != 29 || t.Year.size() != 4) __builtin_trap();
  if (t.Track < 0 || t.Track > 255 || t.Genre < 0 || t.Genre > 255) __builtin_trap();
  const QByteArray record = cantorel::BuildTagRecord(t);
  if (record.size() != 128) __builtin_trap();
  const cantorel::TagInfo back = cantorel::ParseTag(record);
  if (back.Track != t.Track || back.Genre != t.Genre || !back.Found) __builtin_trap();
  (void)cantorel::GenreList()[cantorel::GenreListIndex(t.Genre)];

  // Scratch files in memory when the system has a memory file system: the
  // target writes files for every input.
  static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                               ? QStringLiteral("/dev/shm/cantorel-fuzz-XXXXXX")
                               : QDir::tempPath() + QStringLiteral("/cantorel-fuzz-XXXXXX"));
  const QString path = dir.path() + QStringLiteral("/song.mp3");
  cantorel::fuzz::writeFile(path, bytes);
  (void)cantorel::TitleFromFile(path, cantorel::TitleOptions{1, 1, 1});
  return 0;
}
