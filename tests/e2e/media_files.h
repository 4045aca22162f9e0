#pragma once

#include <QByteArray>
#include <QString>

namespace cantorel::test {

// Media files made at test time.

// A 16-bit PCM WAV of a sine tone (both channels alike).
QByteArray makeWav(double seconds, int rate = 44100, int channels = 2, double hz = 440);
// A type-0 standard MIDI file of `notes` quarter notes at 120 beats per
// minute (half a second each).
QByteArray makeMidi(int notes);
// The same MIDI data wrapped in a RIFF "RMID" file.
QByteArray makeRmi(int notes);
// Pseudo-random bytes, the same on every run (no decoder takes them for audio).
QByteArray makeNoise(int size);
// Runs a converter (lame, sox); false when it is missing or fails.
bool convert(const QString &program, const QStringList &args);

}  // namespace cantorel::test
