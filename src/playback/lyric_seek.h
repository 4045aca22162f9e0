#pragma once

#include <QtGlobal>

#include "core/general.h"
#include "core/main_state.h"
#include "lyrics/lyric_file.h"

namespace cantorel {

// A double click on line `row` of the lyric box plays the song from that
// line's time. Returns the second to seek to, or -1 when the click does
// nothing: no lyric loaded (the box then holds only the failure text),
// nothing playing or paused, a stream or a picture entry (no position to
// seek to), no such line, or a line whose time is not an "m:ss" time.
qint32 lyricLineSecond(const General &g, const MainState &st, const LyricLines &lyric, int row);

}  // namespace cantorel
