#include "playback/lyric_seek.h"

#include "playback/playback_timer.h"

namespace cantorel {

qint32 lyricLineSecond(const General &g, const MainState &st, const LyricLines &lyric, int row) {
  if (!g.LyricActive || !st.Playing || st.InternetFile || st.SongLen <= 0) return -1;
  if (st.Dev != QLatin1String("DX")) return -1;
  // A file that ended without its last time has one text more than times:
  // that text has nothing to seek to.
  if (row < 0 || row >= lyric.PlTimes.size() || row >= lyric.PlLyrics.size()) return -1;
  return PlaybackTimer::timeSeconds(lyric.PlTimes.at(row));
}

}  // namespace cantorel
