#include "playlist/mp3_info.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include <cmath>
#include <utility>

#include "core/number_text.h"
#include "core/text_codec.h"
#include "playlist/paths.h"

namespace cantorel {

const QString kBitrateTable = QStringLiteral("144 16  32  48  56  64  80  96  112 128 160 192 224 256 320 ");
const QString kSampleRateTable = QStringLiteral("44 48 32 ?? ");
const QString kChannelTable = QStringLiteral("stereo  jstereo dualch  mono    ");

namespace {

constexpr int kTailSize = 256;
constexpr int kTagSize = 128;

// A file descriptor closed when it goes out of scope.
struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

bool readAt(int fd, char *buf, qint64 size, qint64 offset) {
  qint64 done = 0;
  while (done < size) {
    const ssize_t n =
        ::pread(fd, buf + done, static_cast<size_t>(size - done), static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += n;
  }
  return true;
}

bool writeAt(int fd, const char *buf, qint64 size, qint64 offset) {
  qint64 done = 0;
  while (done < size) {
    const ssize_t n =
        ::pwrite(fd, buf + done, static_cast<size_t>(size - done), static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += n;
  }
  return true;
}

QString tagText(QByteArray bytes) {
  bytes.removeIf([](char c) { return c == '\0'; });
  return isValidUtf8(bytes) ? QString::fromUtf8(bytes) : decodeWindows1252(bytes);
}

// The bytes of an edited text field: Windows-1252 when every character has
// a byte there and those bytes cannot be taken for UTF-8 (the reader tries
// UTF-8 first); UTF-8 otherwise, cut at a character boundary. Text is never
// replaced by "?": what is written reads back as it was typed, at most cut
// to the field's width. Blank-padded to `width`.
QByteArray fieldBytes(const QString &text, int width) {
  QString t = text;
  while (t.endsWith(u' ')) t.chop(1);
  QByteArray b = encodeWindows1252(t);
  bool ascii = true;
  for (char c : std::as_const(b)) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (decodeWindows1252(b) != t || (!ascii && isValidUtf8(b))) {
    b = t.toUtf8();
    if (b.size() > width) {
      qsizetype n = width;
      while (n > 0 && (static_cast<unsigned char>(b[n]) & 0xC0) == 0x80) --n;
      b.truncate(n);
    }
  }
  b.truncate(width);
  if (b.size() < width) b.append(QByteArray(width - b.size(), ' '));
  return b;
}

// The field at `offset` of an old tag record when its text is `text`
// (blanks around it aside): the user did not change it, so its bytes are
// kept exactly. Empty when the text differs or there is no old record.
QByteArray keptField(const QByteArray &old, int offset, int width, const QString &text) {
  if (old.size() != kTagSize || !old.startsWith("TAG")) return QByteArray();
  const QByteArray bytes = old.mid(offset, width);
  return tagText(bytes).trimmed() == text.trimmed() ? bytes : QByteArray();
}

// Size of an ID3v2 block at the start of a file, or 0.
qint64 id3v2Size(const unsigned char *h) {
  if (h[0] != 'I' || h[1] != 'D' || h[2] != '3') return 0;
  for (int i = 6; i < 10; ++i)
    if (h[i] & 0x80) return 0;  // not a valid size
  const qint64 body = (qint64(h[6]) << 21) | (qint64(h[7]) << 14) | (qint64(h[8]) << 7) | h[9];
  const bool footer = (h[5] & 0x10) != 0;
  return 10 + body + (footer ? 10 : 0);
}

}  // namespace

const QStringList &GenreList() {
  static const QStringList list = {QStringLiteral("Unknown"),
                                   QStringLiteral("Blues"),
                                   QStringLiteral("Classic Rock"),
                                   QStringLiteral("Country"),
                                   QStringLiteral("Dance"),
                                   QStringLiteral("Disco"),
                                   QStringLiteral("Funk"),
                                   QStringLiteral("Grunge"),
                                   QStringLiteral("Hip-Hop"),
                                   QStringLiteral("Jazz"),
                                   QStringLiteral("Metal"),
                                   QStringLiteral("New Age"),
                                   QStringLiteral("Oldies"),
                                   QStringLiteral("Other"),
                                   QStringLiteral("Pop"),
                                   QStringLiteral("R&B"),
                                   QStringLiteral("Rap"),
                                   QStringLiteral("Reggae"),
                                   QStringLiteral("Rock"),
                                   QStringLiteral("Techno"),
                                   QStringLiteral("Industrial"),
                                   QStringLiteral("Alternative"),
                                   QStringLiteral("Ska"),
                                   QStringLiteral("Death Metal"),
                                   QStringLiteral("Pranks"),
                                   QStringLiteral("Soundtrack"),
                                   QStringLiteral("Euro-Techno"),
                                   QStringLiteral("Ambient"),
                                   QStringLiteral("Trip-Hop"),
                                   QStringLiteral("Vocal"),
                                   QStringLiteral("Jazz+Funk"),
                                   QStringLiteral("Fusion"),
                                   QStringLiteral("Trance"),
                                   QStringLiteral("Classical"),
                                   QStringLiteral("Intrumental"),
                                   QStringLiteral("Acid"),
                                   QStringLiteral("House"),
                                   QStringLiteral("Game"),
                                   QStringLiteral("Sound Clip"),
                                   QStringLiteral("Gospel"),
                                   QStringLiteral("Noise"),
                                   QStringLiteral("Alternate Rock"),
                                   QStringLiteral("Bass"),
                                   QStringLiteral("Soul"),
                                   QStringLiteral("Punk"),
                                   QStringLiteral("Space"),
                                   QStringLiteral("Meditative"),
                                   QStringLiteral("Intrumental Pop"),
                                   QStringLiteral("Intrumental Rock"),
                                   QStringLiteral("Ethnic"),
                                   QStringLiteral("Gothic"),
                                   QStringLiteral("Darkwave"),
                                   QStringLiteral("Techno-Industrial"),
                                   QStringLiteral("Electronic"),
                                   QStringLiteral("Pop-Folk"),
                                   QStringLiteral("Eurodance"),
                                   QStringLiteral("Dream"),
                                   QStringLiteral("Southern Rock"),
                                   QStringLiteral("Comedy"),
                                   QStringLiteral("Cult"),
                                   QStringLiteral("Gangsta"),
                                   QStringLiteral("Top 40"),
                                   QStringLiteral("Christian Rap"),
                                   QStringLiteral("Pop/Funk"),
                                   QStringLiteral("Jungle"),
                                   QStringLiteral("Native American"),
                                   QStringLiteral("Cabaret"),
                                   QStringLiteral("New Wave"),
                                   QStringLiteral("Psychadelic"),
                                   QStringLiteral("Rave"),
                                   QStringLiteral("Showtunes"),
                                   QStringLiteral("Trailer"),
                                   QStringLiteral("Lo-Fi"),
                                   QStringLiteral("Tribal"),
                                   QStringLiteral("Acid Punk"),
                                   QStringLiteral("Acid Jazz"),
                                   QStringLiteral("Polka"),
                                   QStringLiteral("Retro"),
                                   QStringLiteral("Musical"),
                                   QStringLiteral("Rock & Roll"),
                                   QStringLiteral("Hard Rock")};
  return list;
}

int GenreListIndex(int genreByte) {
  const int i = genreByte + 1;
  return (i < 0 || i > 80) ? 0 : i;
}

int GenreByteForIndex(int listIndex) {
  const int b = listIndex - 1;
  return b < 0 ? TagInfo::kUnknownGenre : b;
}

Mp3Header HeaderFromBytes(unsigned char third, unsigned char fourth) {
  Mp3Header h;
  h.Bitrate = PickBits(third, 4, 7, 4, kBitrateTable);
  h.SampleRate = PickBits(third, 2, 3, 3, kSampleRateTable);
  h.Channels = PickBits(fourth, 6, 7, 8, kChannelTable);
  return h;
}

bool IsMpegFrameHeader(const unsigned char *h) {
  return h[0] == 0xFF && (h[1] & 0xE0) == 0xE0 && ((h[1] >> 3) & 3) != 1 && ((h[1] >> 1) & 3) != 0 &&
         (h[2] >> 4) != 15 && ((h[2] >> 2) & 3) != 3;
}

int TagStartInTail(const QByteArray &tail) {
  if (tail.size() >= kTagSize && tail.mid(tail.size() - kTagSize, 3) == "TAG")
    return static_cast<int>(tail.size() - kTagSize);
  for (qsizetype i = 0; i + 3 <= tail.size(); ++i) {
    if ((tail[i] | 0x20) == 't' && (tail[i + 1] | 0x20) == 'a' && (tail[i + 2] | 0x20) == 'g')
      return static_cast<int>(i);
  }
  return -1;
}

TagInfo ParseTag(const QByteArray &tail) {
  TagInfo tag;
  const int p = TagStartInTail(tail);
  if (p < 0) return tag;
  const auto field = [&](int offset, int width) { return tagText(tail.mid(p + offset, width)); };
  tag.setTitle(field(3, TagInfo::kTitleWidth));
  tag.setArtist(field(33, TagInfo::kArtistWidth));
  tag.setAlbum(field(63, TagInfo::kAlbumWidth));
  tag.setYear(field(93, TagInfo::kYearWidth));
  tag.setComment(field(97, TagInfo::kCommentWidth));
  // Past the end of the bytes the track and genre keep their cleared values.
  if (p + 126 < tail.size()) tag.Track = static_cast<unsigned char>(tail[p + 126]);
  if (p + 127 < tail.size()) tag.Genre = static_cast<unsigned char>(tail[p + 127]);
  tag.Found = true;
  return tag;
}

Mp3Info ReadMp3Info(const QString &path) {
  Mp3Info info;
  if (path.isEmpty()) return info;
  Fd f;
  // Without O_NONBLOCK a named pipe listed in a playlist would block the open
  // until some writer came; only plain files are read.
  f.fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (f.fd < 0) return info;
  struct stat st {};
  if (::fstat(f.fd, &st) != 0 || !S_ISREG(st.st_mode)) return info;
  const qint64 size = st.st_size;
  if (size < kTailSize) return info;

  unsigned char head[10];
  if (!readAt(f.fd, reinterpret_cast<char *>(head), sizeof head, 0)) return info;
  const qint64 skip = id3v2Size(head);
  if (skip > 0 && skip + 4 <= size) readAt(f.fd, reinterpret_cast<char *>(head), 4, skip);
  info.FrameHeader = IsMpegFrameHeader(head);
  if (info.FrameHeader) info.Header = HeaderFromBytes(head[2], head[3]);
  info.HeaderRead = true;

  QByteArray tail(kTailSize, '\0');
  if (!readAt(f.fd, tail.data(), kTailSize, size - kTailSize)) return info;
  info.Tag = ParseTag(tail);
  return info;
}

bool GetMP3Info(const QString &songPath, TagInfo &tag, Mp3Header *header) {
  const Mp3Info info = ReadMp3Info(songPath);
  tag = info.Tag;
  if (info.HeaderRead && header) *header = info.Header;
  return info.HeaderRead;
}

QByteArray BuildTagRecord(const TagInfo &tag, const QByteArray &oldRecord) {
  const auto field = [&](int offset, int width, const QString &text) {
    const QByteArray kept = keptField(oldRecord, offset, width, text);
    return kept.isEmpty() ? fieldBytes(text, width) : kept;
  };
  QByteArray r("TAG");
  r += field(3, TagInfo::kTitleWidth, tag.Title);
  r += field(33, TagInfo::kArtistWidth, tag.Artist);
  r += field(63, TagInfo::kAlbumWidth, tag.Album);
  r += field(93, TagInfo::kYearWidth, tag.Year);
  QByteArray comment = keptField(oldRecord, 97, TagInfo::kCommentWidth, tag.Comment);
  if (comment.isEmpty()) {
    comment = fieldBytes(tag.Comment, TagInfo::kCommentWidth);
    // A comment that leaves its last byte blank gets a zero there instead, so
    // that other readers take the next byte for the track number (our reader
    // drops zero bytes, so the comment reads the same).
    if (comment.endsWith(' ')) comment[TagInfo::kCommentWidth - 1] = '\0';
  }
  r += comment;
  r += static_cast<char>(static_cast<unsigned char>(tag.Track & 0xFF));
  r += static_cast<char>(static_cast<unsigned char>(tag.Genre & 0xFF));
  return r;
}

bool ParseTrackText(const QString &text, int *track) {
  const double v = std::nearbyint(leadingNumber(text));
  if (!(v >= 0.0 && v <= 255.0)) return false;
  *track = static_cast<int>(v);
  return true;
}

TagWriteResult WriteIdTag(const QString &path, const TagInfo &tag) {
  const QByteArray name = QFile::encodeName(path);
  Fd f;
  f.fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (f.fd < 0) return TagWriteResult::Failed;
  struct stat st {};
  if (::fstat(f.fd, &st) != 0 || !S_ISREG(st.st_mode)) return TagWriteResult::Failed;
  const qint64 size = st.st_size;
  if (size < kTailSize) return TagWriteResult::TooShort;
  QByteArray old(kTagSize, '\0');
  if (!readAt(f.fd, old.data(), kTagSize, size - kTagSize)) return TagWriteResult::Failed;
  ::close(f.fd);
  f.fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (f.fd < 0) return TagWriteResult::Failed;

  const bool update = old.startsWith("TAG");
  const qint64 at = update ? size - kTagSize : size;
  const QByteArray record = BuildTagRecord(tag, update ? old : QByteArray());
  if (writeAt(f.fd, record.constData(), record.size(), at) && ::fsync(f.fd) == 0)
    return update ? TagWriteResult::Updated : TagWriteResult::Added;
  // Undo whatever part of the record reached the file.
  if (update)
    writeAt(f.fd, old.constData(), old.size(), at);
  else if (::ftruncate(f.fd, static_cast<off_t>(size)) != 0) {
    // Nothing more can be done; the audio data before `size` was never touched.
  }
  return TagWriteResult::Failed;
}

}  // namespace cantorel
