#include "media_files.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>

#include <cmath>

namespace cantorel::test {

namespace {
// Appends `v` as little- or big-endian bytes.
template <typename T>
void put(QByteArray &b, T v, bool big = false) {
  char c[sizeof v];
  big ? qToBigEndian(v, c) : qToLittleEndian(v, c);
  b.append(c, sizeof v);
}
}  // namespace

QByteArray makeWav(double seconds, int rate, int channels, double hz) {
  const auto frames = static_cast<quint32>(seconds * rate);
  const quint32 dataBytes = frames * static_cast<quint32>(channels) * 2;
  QByteArray b;
  b.reserve(static_cast<int>(dataBytes + 44));
  b.append("RIFF");
  put<quint32>(b, 36 + dataBytes);
  b.append("WAVEfmt ");
  put<quint32>(b, 16);
  put<quint16>(b, 1);
  put<quint16>(b, static_cast<quint16>(channels));
  put<quint32>(b, static_cast<quint32>(rate));
  put<quint32>(b, static_cast<quint32>(rate * channels * 2));
  put<quint16>(b, static_cast<quint16>(channels * 2));
  put<quint16>(b, 16);
  b.append("data");
  put<quint32>(b, dataBytes);
  for (quint32 i = 0; i < frames; ++i) {
    const auto s = static_cast<qint16>(16000 * std::sin(2 * M_PI * hz * i / rate));
    for (int c = 0; c < channels; ++c) put<quint16>(b, static_cast<quint16>(s));
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
  QByteArray b("MThd");
  put<quint32>(b, 6, true);
  put<quint16>(b, 0, true);
  put<quint16>(b, 1, true);
  put<quint16>(b, 480, true);
  b.append("MTrk");
  put<quint32>(b, static_cast<quint32>(track.size()), true);
  b.append(track);
  return b;
}

QByteArray makeRmi(int notes) {
  const QByteArray midi = makeMidi(notes);
  QByteArray b("RIFF");
  put<quint32>(b, static_cast<quint32>(12 + midi.size()));
  b.append("RMIDdata");
  put<quint32>(b, static_cast<quint32>(midi.size()));
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
