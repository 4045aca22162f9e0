#include "support/tagged_media.h"

#include <QFile>
#include <QProcess>

#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mp4tag.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/synchronizedlyricsframe.h>
#include <taglib/unsynchronizedlyricsframe.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

namespace cantorel::test {

namespace {

TagLib::String ts(const QString &s) {
  return TagLib::String(s.toStdString(), TagLib::String::UTF8);
}

TagLib::ByteVector tb(const QByteArray &b) {
  return TagLib::ByteVector(b.constData(), static_cast<unsigned int>(b.size()));
}

void setText(TagLib::Tag *t, const SongTagSpec &s) {
  t->setArtist(ts(s.artist));
  t->setAlbum(ts(s.album));
  t->setTitle(ts(s.title));
  t->setGenre(ts(s.genre));
  t->setTrack(static_cast<unsigned int>(s.track));
  t->setYear(static_cast<unsigned int>(s.year));
}

TagLib::FLAC::Picture *flacPicture(const QByteArray &data) {
  auto *p = new TagLib::FLAC::Picture;
  p->setType(TagLib::FLAC::Picture::FrontCover);
  p->setMimeType("image/png");
  p->setData(tb(data));
  return p;
}

void setXiph(TagLib::Ogg::XiphComment *x, const SongTagSpec &s) {
  setText(x, s);
  if (!s.lyric.isEmpty()) x->addField(ts(s.lyricField), ts(s.lyric));
  if (!s.picture.isEmpty()) x->addPicture(flacPicture(s.picture));
}

bool writeMp3(const QString &path, const SongTagSpec &s, bool v23) {
  TagLib::MPEG::File f(QFile::encodeName(path).constData());
  TagLib::ID3v2::Tag *t = f.ID3v2Tag(true);
  setText(t, s);
  if (!s.sylt.isEmpty()) {
    auto *frame = new TagLib::ID3v2::SynchronizedLyricsFrame(TagLib::String::UTF16);
    frame->setLanguage("eng");
    frame->setType(TagLib::ID3v2::SynchronizedLyricsFrame::Lyrics);
    frame->setTimestampFormat(s.syltInFrames ? TagLib::ID3v2::SynchronizedLyricsFrame::AbsoluteMpegFrames
                                             : TagLib::ID3v2::SynchronizedLyricsFrame::AbsoluteMilliseconds);
    TagLib::ID3v2::SynchronizedLyricsFrame::SynchedTextList list;
    for (const auto &e : s.sylt) list.append({static_cast<unsigned int>(e.first), ts(e.second)});
    frame->setSynchedText(list);
    t->addFrame(frame);
  }
  if (!s.lyric.isEmpty()) {
    auto *frame = new TagLib::ID3v2::UnsynchronizedLyricsFrame(TagLib::String::UTF16);
    frame->setLanguage("eng");
    frame->setText(ts(s.lyric));
    t->addFrame(frame);
  }
  if (!s.picture.isEmpty()) {
    auto *frame = new TagLib::ID3v2::AttachedPictureFrame;
    frame->setMimeType("image/png");
    frame->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
    frame->setPicture(tb(s.picture));
    t->addFrame(frame);
  }
  return f.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers,
                v23 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4);
}

}  // namespace

// The extension and the GStreamer encoder of each kind, in the order of Media.
const char *const kKinds[][2] = {{"mp3", ""},
                                 {"mp3", ""},
                                 {"flac", "flacenc"},
                                 {"ogg", "vorbisenc ! oggmux"},
                                 {"opus", "opusenc ! oggmux"},
                                 {"m4a", "voaacenc ! mp4mux"}};

QString mediaExtension(Media kind) {
  return QString::fromLatin1(kKinds[static_cast<int>(kind)][0]);
}

bool run(const QString &program, const QStringList &args) {
  QProcess p;
  p.start(program, args);
  return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool makeTone(Media kind, const QString &path, double seconds) {
  if (kind == Media::Mp3v23 || kind == Media::Mp3v24) {
    // lame writes the Info frame by which players know the length at once.
    const QString wav = path + QStringLiteral(".wav");
    const bool ok = makeTone(Media::Flac, wav, seconds) &&
                    run(QStringLiteral("lame"), QStringLiteral("--quiet -b 128").split(u' ') << wav << path);
    QFile::remove(wav);
    return ok && QFile(path).size() > 0;
  }
  const int rate = kind == Media::Opus ? 48000 : 44100;
  const QString encoder = path.endsWith(QLatin1String(".wav"))
                              ? QStringLiteral("wavenc")
                              : QString::fromLatin1(kKinds[static_cast<int>(kind)][1]);
  const QString pipeline =
      QStringLiteral(
          "audiotestsrc wave=sine num-buffers=%1 samplesperbuffer=%2 ! audio/x-raw,rate=%3,channels=2 ! "
          "audioconvert ! %4 ! filesink")
          .arg(qMax(1, qRound(seconds * 10)))
          .arg(rate / 10)
          .arg(rate)
          .arg(encoder);
  return run(QStringLiteral("gst-launch-1.0"), QStringList{QStringLiteral("-q"), QStringLiteral("-e")} +
                                                   pipeline.split(u' ', Qt::SkipEmptyParts) +
                                                   QStringList{QStringLiteral("location=") + path}) &&
         QFile(path).size() > 0;
}

bool writeSongTag(Media kind, const QString &path, const SongTagSpec &s) {
  const QByteArray name = QFile::encodeName(path);
  switch (kind) {
    case Media::Mp3v23:
    case Media::Mp3v24:
      return writeMp3(path, s, kind == Media::Mp3v23);
    case Media::Flac: {
      TagLib::FLAC::File f(name.constData());
      setText(f.xiphComment(true), s);
      if (!s.lyric.isEmpty()) f.xiphComment(true)->addField(ts(s.lyricField), ts(s.lyric));
      if (!s.picture.isEmpty()) f.addPicture(flacPicture(s.picture));
      return f.save();
    }
    case Media::Vorbis: {
      TagLib::Ogg::Vorbis::File f(name.constData());
      setXiph(f.tag(), s);
      return f.save();
    }
    case Media::Opus: {
      TagLib::Ogg::Opus::File f(name.constData());
      setXiph(f.tag(), s);
      return f.save();
    }
    case Media::M4a: {
      TagLib::MP4::File f(name.constData());
      TagLib::MP4::Tag *t = f.tag();
      if (!t) return false;
      setText(t, s);
      if (!s.lyric.isEmpty()) t->setItem("\251lyr", TagLib::MP4::Item(TagLib::StringList(ts(s.lyric))));
      if (!s.picture.isEmpty()) {
        TagLib::MP4::CoverArtList covers;
        covers.append(TagLib::MP4::CoverArt(TagLib::MP4::CoverArt::PNG, tb(s.picture)));
        t->setItem("covr", TagLib::MP4::Item(covers));
      }
      return f.save();
    }
  }
  return false;
}

QByteArray tinyPng() {
  return QByteArray::fromBase64(
      "iVBORw0KGgoAAAANSUhEUgAAAAIAAAACCAIAAAD91JpzAAAAEElEQVR4nGM4IScHRAwQCgAfJgQRoo8irwAAAABJRU5ErkJggg==");
}

}  // namespace cantorel::test
