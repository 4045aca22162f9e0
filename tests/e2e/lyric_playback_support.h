#pragma once

// Plays a playlist through the GStreamer plug-in and the null sink, driven by
// a real 25 ms timer, and records what reached the test visualization
// plug-in and when: shared by the end-to-end lyric tests.
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include "playlist/playlist.h"

namespace cantorel::test {

// A time text shown on the main window, with the moment and the position
// behind it.
struct ShownTime {
  qint64 ns;
  QString text;
  double elapsed;
};

struct LyricRun {
  bool ended = false;    // the playlist stopped by itself within the bound
  int playing = -1;      // `Playing` afterwards
  int tnum = -1;         // `TNum` afterwards
  QList<bool> found;     // per entry: whether a lyric was loaded
  QList<qint64> starts;  // per entry: when its lyric was loaded
  QList<ShownTime> times;
  QStringList lines;     // as the plug-in received them
  QVariantList arrived;  // when each line arrived (steady clock, ns)
};

// The application object, made on first use (a loopback server needs it
// before it starts).
void ensureCoreApp();

// Plays `pl` from its first entry until it stops (at most 30 seconds). With
// `onlineBase`, an entry without a lyric on disk asks the online lyric
// service there, and a lyric it saves is taken up as the entry plays.
LyricRun playWithLyrics(Playlist &pl, const QString &onlineBase = QString());

// Every line arrived once, in order, while the time display showed its own
// time, with the position behind it rounding to that second and never before
// that second began. `entryOf[i]` is the playlist entry (0-based) of line i.
void expectLinesInTheirSeconds(const LyricRun &run, const QStringList &lines, const QStringList &times,
                               const QList<int> &entryOf);

}  // namespace cantorel::test
