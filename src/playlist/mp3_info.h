#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "playlist/tag_info.h"

namespace cantorel {

// Stream parameters shown beside the title: bitrate (kbit/s), sample rate
// (kHz) and channel mode, as texts from fixed tables. Empty when not read.
struct Mp3Header {
  QString Bitrate;
  QString SampleRate;
  QString Channels;
};

// What reading a media file gave: `HeaderRead` is false when the file is
// missing or shorter than 256 bytes (then the shown labels stay as they were);
// the tag is then the cleared record. `FrameHeader` says whether the header
// bytes (at the start, or after an ID3v2 block) are an MPEG audio frame
// header; when they are not, `Header` is empty: bytes of another format say
// nothing about bitrate or sample rate.
struct Mp3Info {
  bool HeaderRead = false;
  bool FrameHeader = false;
  Mp3Header Header;
  TagInfo Tag;
};

// Whether four bytes are an MPEG audio frame header: the sync bits, and no
// reserved version, layer, bitrate or sample-rate value.
bool IsMpegFrameHeader(const unsigned char *h);

// The tables the header bytes index, one cell per value.
extern const QString kBitrateTable;
extern const QString kSampleRateTable;
extern const QString kChannelTable;

// The genre list of the information window: index i names genre byte i - 1,
// index 0 is "Unknown". 81 entries.
const QStringList &GenreList();
// List index shown for a genre byte: byte + 1, or 0 past the list.
int GenreListIndex(int genreByte);
// Genre byte saved for a list index: index - 1, or 254 ("Unknown") below 1.
int GenreByteForIndex(int listIndex);

// Texts for the third and fourth byte of an MPEG frame header.
Mp3Header HeaderFromBytes(unsigned char third, unsigned char fourth);

// Where the tag starts in the last bytes of a file (`tail`, up to 256): the
// last 128 bytes when they start with "TAG"; otherwise the first "tag" in any
// letter case, as older files were tagged; -1 when there is none.
int TagStartInTail(const QByteArray &tail);
// The tag found in `tail` (see TagStartInTail); the cleared record when none.
// Zero bytes are dropped from the text fields; text is UTF-8 when the field is
// valid UTF-8, else the single-byte Windows code page.
TagInfo ParseTag(const QByteArray &tail);

// Reads the header bytes and the ID3v1 tag of `path`. A file that starts with
// an ID3v2 block has its header bytes read from the frame after that block.
Mp3Info ReadMp3Info(const QString &path);

// What playback does when a file starts: `tag` becomes the file's tag (the
// cleared record when it has none) and `header` its stream texts. Returns
// false when the file was not read (missing or under 256 bytes); `header` is
// then left as it was, so the shown labels keep their values. `header` is
// empty for a file that does not start with an MPEG frame header.
bool GetMP3Info(const QString &songPath, TagInfo &tag, Mp3Header *header);

// The 128 bytes of the tag for `tag`: "TAG", the text fields, track and
// genre bytes. A text field whose text is that of the same field in
// `oldRecord` (the tag being replaced, if any) keeps its bytes exactly; any
// other is written in the Windows code page, or as UTF-8 when it has
// characters that code page lacks, cut or blank-padded to its width. When a
// new comment is shorter than 29 bytes, its last byte is a zero, the mark by
// which other programs find the track number.
QByteArray BuildTagRecord(const TagInfo &tag, const QByteArray &oldRecord = QByteArray());

// The track number typed by the user: empty or non-numeric text gives 0.
// Returns false for numbers outside 0..255, which have no byte to store.
bool ParseTrackText(const QString &text, int *track);

enum class TagWriteResult {
  TooShort,  // files under 256 bytes are left alone, without a message
  Updated,   // the tag at the end of the file was replaced
  Added,     // the file had no tag; one was appended
  Failed,    // the file could not be written; it is as it was
};

// Writes `tag` into `path`: over the ID3v1 tag when the last 128 bytes start
// with "TAG", else appended at the end. Never writes anywhere else, so audio
// data and other trailing blocks stay intact. A failed write is undone.
TagWriteResult WriteIdTag(const QString &path, const TagInfo &tag);

}  // namespace cantorel
