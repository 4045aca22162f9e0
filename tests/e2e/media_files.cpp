#include "media_files.h"

#include <QDataStream>
#include <QProcess>
#include <QStandardPaths>

#include <cmath>

namespace cantorel::test {

QByteArray makeWav(double seconds, int rate, int channels, double hz) {
  const auto frames = static_cast<quint32>(seconds * rate);
  const quint32 dataBytes = frames * static_cast<quint32>(channels) * 2;
  QByteArray b;
  QDataStream out(&b, QIODevice::WriteOnly);
  out.setByteOrder(QDataStream::LittleEndian);
  out.writeRawData("RIFF", 4);
  out << quint32(36 + dataBytes);
  out.writeRawData("WAVEfmt ", 8);
  out << quint32(16) << quint16(1) << quint16(channels) << quint32(rate) << quint32(rate * channels * 2)
      << quint16(channels * 2) << quint16(16);
  out.writeRawData("data", 4);
  out << dataBytes;
  for (quint32 i = 0; i < frames; ++i) {
    const auto s = static_cast<qint16>(16000 * std::sin(2 * M_PI * hz * i / rate));
    for (int c = 0; c < channels; ++c) out << s;
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
    // Note on at once, note off 480 ticks later.
    const char on[] = {0,     '\x90', static_cast<char>(60 + (i % 8)), '\x60', '\x83', '\x60', '\x80',
                       on[2], '\x40'};
    track.append(on, sizeof on);
  }
  track.append("\x00\xFF\x2F\x00", 4);
  QByteArray b;
  QDataStream out(&b, QIODevice::WriteOnly);  // big-endian
  out.writeRawData("MThd", 4);
  out << quint32(6) << quint16(0) << quint16(1) << quint16(480);
  out.writeRawData("MTrk", 4);
  out << quint32(track.size());
  out.writeRawData(track.constData(), int(track.size()));
  return b;
}

QByteArray makeRmi(int notes) {
  const QByteArray midi = makeMidi(notes);
  QByteArray b;
  QDataStream out(&b, QIODevice::WriteOnly);
  out.setByteOrder(QDataStream::LittleEndian);
  out.writeRawData("RIFF", 4);
  out << quint32(12 + midi.size());
  out.writeRawData("RMIDdata", 8);
  out << quint32(midi.size());
  out.writeRawData(midi.constData(), int(midi.size()));
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
