#include "media_files.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>

#include <cmath>

namespace cantorel::test {

namespace {
void le32(QByteArray &b, quint32 v) {
  char c[4];
  qToLittleEndian(v, c);
  b.append(c, 4);
}
void le16(QByteArray &b, quint16 v) {
  char c[2];
  qToLittleEndian(v, c);
  b.append(c, 2);
}
void be32(QByteArray &b, quint32 v) {
  char c[4];
  qToBigEndian(v, c);
  b.append(c, 4);
}
void be16(QByteArray &b, quint16 v) {
  char c[2];
  qToBigEndian(v, c);
  b.append(c, 2);
}
}  // namespace

QByteArray makeWav(double seconds, int rate, int channels, double hz) {
  const auto frames = static_cast<quint32>(seconds * rate);
  const quint32 dataBytes = frames * static_cast<quint32>(channels) * 2;
  QByteArray b;
  b.reserve(static_cast<int>(dataBytes + 44));
  b.append("RIFF");
  le32(b, 36 + dataBytes);
  b.append("WAVEfmt ");
  le32(b, 16);
  le16(b, 1);
  le16(b, static_cast<quint16>(channels));
  le32(b, static_cast<quint32>(rate));
  le32(b, static_cast<quint32>(rate * channels * 2));
  le16(b, static_cast<quint16>(channels * 2));
  le16(b, 16);
  b.append("data");
  le32(b, dataBytes);
  for (quint32 i = 0; i < frames; ++i) {
    const auto s = static_cast<qint16>(16000 * std::sin(2 * M_PI * hz * i / rate));
    for (int c = 0; c < channels; ++c) le16(b, static_cast<quint16>(s));
  }
  return b;
}

QByteArray makeNoise(int size) {
  QByteArray b(size, '\0');
  quint32 x = 12345;
  for (char &c : b) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
  return b;
}

QByteArray makeMidi(int notes) {
  QByteArray track;
  track.append("\x00\xFF\x51\x03\x07\xA1\x20", 7);  // tempo 500000 us per beat
  track.append("\x00\xC0\x00", 3);                  // piano
  for (int i = 0; i < notes; ++i) {
    const char note = static_cast<char>(60 + (i % 8));
    track.append('\x00');
    track.append('\x90');
    track.append(note);
    track.append('\x60');
    track.append("\x83\x60", 2);  // 480 ticks later
    track.append('\x80');
    track.append(note);
    track.append('\x40');
  }
  track.append("\x00\xFF\x2F\x00", 4);
  QByteArray b("MThd");
  be32(b, 6);
  be16(b, 0);
  be16(b, 1);
  be16(b, 480);
  b.append("MTrk");
  be32(b, static_cast<quint32>(track.size()));
  b.append(track);
  return b;
}

QByteArray makeRmi(int notes) {
  const QByteArray midi = makeMidi(notes);
  QByteArray b("RIFF");
  le32(b, static_cast<quint32>(12 + midi.size()));
  b.append("RMIDdata");
  le32(b, static_cast<quint32>(midi.size()));
  b.append(midi);
  return b;
}

bool convert(const QString &program, const QStringList &args) {
  if (QStandardPaths::findExecutable(program).isEmpty()) return false;
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(30000)) {
    p.kill();
    p.waitForFinished(1000);
    return false;
  }
  return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

}  // namespace cantorel::test
