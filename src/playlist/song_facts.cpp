#include "playlist/song_facts.h"

#include <sys/stat.h>

#include <QFile>

#include <taglib/apetag.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mp4tag.h>
#include <taglib/mpegfile.h>
#include <taglib/mpegproperties.h>
#include <taglib/opusfile.h>
#include <taglib/synchronizedlyricsframe.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/tfilestream.h>
#include <taglib/unsynchronizedlyricsframe.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <algorithm>
#include <memory>

#include "lyrics/lrc_file.h"

namespace cantorel {

namespace {

QString qs(const TagLib::String &s) {
  return QString::fromStdString(s.to8Bit(true));
}

QByteArray bytesOf(const TagLib::ByteVector &v) {
  return QByteArray(v.data(), static_cast<qsizetype>(v.size()));
}

void addPicture(SongFacts &f, const TagLib::ByteVector &data, const TagLib::String &mime, int type) {
  if (f.pictures.size() >= kMaxEmbeddedPictures || data.isEmpty() ||
      data.size() > static_cast<unsigned int>(kMaxEmbeddedPictureBytes))
    return;
  f.pictures.append(EmbeddedPicture{bytesOf(data), qs(mime), type});
}

// A lyric field's text goes to the synced lyric when it is LRC text, else to
// the plain one; the first of each kind wins.
void offerLyric(SongFacts &f, const QString &text, const QString &source) {
  QString t = text.trimmed();
  t.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
  if (t.isEmpty() || t.size() > kMaxEmbeddedLyricChars) return;
  EmbeddedLyric &slot = looksLikeLrc(t.toUtf8()) ? f.synced : f.plain;
  if (slot.isEmpty()) slot = EmbeddedLyric{t, source};
}

int samplesPerFrame(const TagLib::MPEG::Properties *p) {
  if (!p) return 0;
  if (p->layer() == 1) return 384;
  if (p->layer() == 2 || p->version() == TagLib::MPEG::Header::Version1) return 1152;
  return 576;
}

void readId3v2(SongFacts &f, TagLib::ID3v2::Tag *tag, const TagLib::MPEG::Properties *mpeg, int parts) {
  if (parts & kFactsLyrics) {
    for (TagLib::ID3v2::Frame *frame : tag->frameList("SYLT")) {
      auto *s = dynamic_cast<TagLib::ID3v2::SynchronizedLyricsFrame *>(frame);
      if (!s || !f.synced.isEmpty()) continue;
      const bool frames = s->timestampFormat() == TagLib::ID3v2::SynchronizedLyricsFrame::AbsoluteMpegFrames;
      if (!frames && s->timestampFormat() != TagLib::ID3v2::SynchronizedLyricsFrame::AbsoluteMilliseconds)
        continue;
      if (frames && samplesPerFrame(mpeg) == 0) continue;
      QList<TimedText> entries;
      for (const auto &e : s->synchedText()) {
        if (entries.size() >= kMaxLyricEntries) break;
        const qint64 ms = frames ? MpegFramesToMs(e.time, samplesPerFrame(mpeg), mpeg->sampleRate()) : e.time;
        entries.append(TimedText{ms, qs(e.text)});
      }
      const QString lrc = LrcTextFor(entries);
      if (!entries.isEmpty() && lrc.size() <= kMaxEmbeddedLyricChars) f.synced = EmbeddedLyric{lrc, QStringLiteral("SYLT")};
    }
    for (TagLib::ID3v2::Frame *frame : tag->frameList("USLT")) {
      if (auto *u = dynamic_cast<TagLib::ID3v2::UnsynchronizedLyricsFrame *>(frame))
        offerLyric(f, qs(u->text()), QStringLiteral("USLT"));
    }
  }
  if (parts & kFactsPictures) {
    for (TagLib::ID3v2::Frame *frame : tag->frameList("APIC")) {
      if (auto *p = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame *>(frame))
        addPicture(f, p->picture(), p->mimeType(), static_cast<int>(p->type()));
    }
  }
}

void readXiph(SongFacts &f, TagLib::Ogg::XiphComment *x, int parts) {
  if (parts & kFactsLyrics) {
    const auto &fields = x->fieldListMap();
    for (const char *key : {"LYRICS", "UNSYNCEDLYRICS"}) {
      const auto it = fields.find(key);
      if (it == fields.end()) continue;
      for (const TagLib::String &s : it->second) offerLyric(f, qs(s), QString::fromLatin1(key));
    }
  }
  if (parts & kFactsPictures) {
    for (TagLib::FLAC::Picture *p : x->pictureList()) addPicture(f, p->data(), p->mimeType(), p->type());
  }
}

void readMp4(SongFacts &f, TagLib::MP4::Tag *tag, int parts) {
  if (parts & kFactsLyrics) {
    const TagLib::MP4::Item lyr = tag->item("\251lyr");
    if (lyr.isValid())
      for (const TagLib::String &s : lyr.toStringList()) offerLyric(f, qs(s), QStringLiteral("\u00A9lyr"));
  }
  if (parts & kFactsPictures) {
    const TagLib::MP4::Item covr = tag->item("covr");
    if (covr.isValid()) {
      for (const TagLib::MP4::CoverArt &c : covr.toCoverArtList()) {
        const char *mime = c.format() == TagLib::MP4::CoverArt::PNG    ? "image/png"
                           : c.format() == TagLib::MP4::CoverArt::JPEG ? "image/jpeg"
                                                                        : "";
        addPicture(f, c.data(), mime, 3);
      }
    }
  }
}

void readText(SongFacts &f, const TagLib::Tag *tag, const QString &kind) {
  if (!tag || tag->isEmpty()) return;
  f.tagKind = kind;
  f.artist = qs(tag->artist()).trimmed();
  f.album = qs(tag->album()).trimmed();
  f.title = qs(tag->title()).trimmed();
  f.genre = qs(tag->genre()).trimmed();
  f.track = static_cast<int>(tag->track());
  f.year = static_cast<int>(tag->year());
}

SongFacts readFrom(TagLib::IOStream *stream, int parts) {
  SongFacts f;
  if (parts & kFactsLyrics) parts |= kFactsStream;  // SYLT times in frames need the stream's rate
  const TagLib::FileRef ref(stream, (parts & kFactsStream) != 0, TagLib::AudioProperties::Fast);
  TagLib::File *file = ref.file();
  if (!file || !file->isValid()) return f;
  f.opened = true;

  if (auto *mp3 = dynamic_cast<TagLib::MPEG::File *>(file)) {
    if (TagLib::ID3v2::Tag *t = mp3->ID3v2Tag(false); t && !t->isEmpty()) {
      readText(f, t, QStringLiteral("ID3v2.%1").arg(t->header()->majorVersion()));
      readId3v2(f, t, mp3->audioProperties(), parts);
    } else if (TagLib::APE::Tag *a = mp3->APETag(false)) {
      readText(f, a, QStringLiteral("APE"));
    }
  } else if (auto *flac = dynamic_cast<TagLib::FLAC::File *>(file)) {
    if (TagLib::Ogg::XiphComment *x = flac->xiphComment(false); x && !x->isEmpty()) {
      readText(f, x, QStringLiteral("Vorbis comment"));
      readXiph(f, x, parts & ~kFactsPictures);
    } else if (TagLib::ID3v2::Tag *t = flac->ID3v2Tag(false); t && !t->isEmpty()) {
      readText(f, t, QStringLiteral("ID3v2.%1").arg(t->header()->majorVersion()));
      readId3v2(f, t, nullptr, parts & ~kFactsPictures);
    }
    if (parts & kFactsPictures)
      for (TagLib::FLAC::Picture *p : flac->pictureList()) addPicture(f, p->data(), p->mimeType(), p->type());
  } else if (auto *ogg = dynamic_cast<TagLib::Ogg::File *>(file)) {
    if (auto *x = dynamic_cast<TagLib::Ogg::XiphComment *>(ogg->tag())) {
      readText(f, x, QStringLiteral("Vorbis comment"));
      readXiph(f, x, parts);
    }
  } else if (auto *mp4 = dynamic_cast<TagLib::MP4::File *>(file)) {
    if (TagLib::MP4::Tag *t = mp4->tag()) {
      readText(f, t, QStringLiteral("MP4"));
      readMp4(f, t, parts);
    }
  } else if (auto *wav = dynamic_cast<TagLib::RIFF::WAV::File *>(file)) {
    if (wav->hasID3v2Tag()) {
      readText(f, wav->ID3v2Tag(), QStringLiteral("ID3v2.%1").arg(wav->ID3v2Tag()->header()->majorVersion()));
      readId3v2(f, wav->ID3v2Tag(), nullptr, parts);
    } else if (wav->hasInfoTag()) {
      readText(f, wav->InfoTag(), QStringLiteral("RIFF INFO"));
    }
  } else {
    readText(f, file->tag(), QStringLiteral("tag"));
  }

  if (parts & kFactsStream) {
    if (const TagLib::AudioProperties *p = file->audioProperties()) {
      f.lengthMs = std::max(0, p->lengthInMilliseconds());
      f.sampleRate = std::max(0, p->sampleRate());
      f.channels = std::max(0, p->channels());
      f.bitrate = std::max(0, p->bitrate());
    }
  }
  std::stable_sort(f.pictures.begin(), f.pictures.end(),
                   [](const EmbeddedPicture &a, const EmbeddedPicture &b) { return a.type == 3 && b.type != 3; });
  return f;
}

}  // namespace

SongFacts ReadSongFacts(const QString &path, int parts) {
  const QByteArray name = QFile::encodeName(path);
  struct stat st {};
  if (name.isEmpty() || ::stat(name.constData(), &st) != 0 || !S_ISREG(st.st_mode)) return SongFacts();
  TagLib::FileStream stream(name.constData(), true);
  if (!stream.isOpen()) return SongFacts();
  return readFrom(&stream, parts);
}

SongFacts ReadSongFactsFromBytes(const QByteArray &bytes, int parts) {
  TagLib::ByteVectorStream stream(TagLib::ByteVector(bytes.constData(), static_cast<unsigned int>(bytes.size())));
  return readFrom(&stream, parts);
}

TagInfo SongTag(const TagInfo &id3v1, const SongFacts &facts) {
  TagInfo t = id3v1;
  if (!facts.hasModernTag()) return t;
  t.Found = true;
  if (!facts.artist.isEmpty()) t.Artist = facts.artist;
  if (!facts.album.isEmpty()) t.Album = facts.album;
  if (!facts.title.isEmpty()) t.Title = facts.title;
  if (facts.year > 0) t.Year = QString::number(facts.year);
  if (facts.track > 0) t.Track = facts.track;
  return t;
}

QString StreamFactsText(const SongFacts &f) {
  QStringList parts;
  if (f.lengthMs > 0) {
    const int s = (f.lengthMs + 500) / 1000;
    parts << QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
  }
  if (f.sampleRate > 0) parts << QStringLiteral("%1 kHz").arg(f.sampleRate / 1000.0, 0, 'g', 4);
  if (f.channels > 0) parts << (f.channels == 1 ? QStringLiteral("mono") : QStringLiteral("%1 channels").arg(f.channels));
  if (f.bitrate > 0) parts << QStringLiteral("%1 kbit/s").arg(f.bitrate);
  return parts.join(QLatin1String(", "));
}

QString LrcTextFor(const QList<TimedText> &entries) {
  QString out;
  for (const TimedText &e : entries) {
    const qint64 ms = std::clamp<qint64>(e.ms, 0, kMaxLrcMs);
    QString text = e.text;
    text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    out += QStringLiteral("[%1:%2.%3]")
               .arg(ms / 60000, 2, 10, QLatin1Char('0'))
               .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
               .arg(ms % 1000 / 10, 2, 10, QLatin1Char('0')) +
           text.trimmed() + QLatin1Char('\n');
  }
  return out;
}

qint64 MpegFramesToMs(qint64 frames, int samplesPerFrame, int sampleRate) {
  if (sampleRate <= 0 || samplesPerFrame <= 0 || frames <= 0) return 0;
  return frames * samplesPerFrame * 1000 / sampleRate;
}

}  // namespace cantorel
