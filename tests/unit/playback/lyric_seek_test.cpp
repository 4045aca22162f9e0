// Which second a double click on a lyric line seeks to, in every state of
// the player and the lyric.
#include <gtest/gtest.h>

#include <functional>

#include "playback/lyric_seek.h"

namespace cantorel {
namespace {

struct SeekCase {
  const char *name;
  std::function<void(General &, MainState &, LyricLines &)> change;
  int row;
  qint32 second;
};

class LyricSeekTest : public ::testing::TestWithParam<SeekCase> {};

TEST_P(LyricSeekTest, SecondOfTheClickedLine) {
  const SeekCase &c = GetParam();
  General g;
  MainState st;
  LyricLines lyric;
  g.LyricActive = -1;
  st.Playing = -1;
  st.Dev = QStringLiteral("DX");
  st.SongLen = 900;
  lyric.PlLyrics = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
  lyric.PlTimes = {QStringLiteral("0:01"), QStringLiteral("1:05"), QStringLiteral("10:15")};
  if (c.change) c.change(g, st, lyric);
  EXPECT_EQ(lyricLineSecond(g, st, lyric, c.row), c.second);
}

INSTANTIATE_TEST_SUITE_P(
    States, LyricSeekTest,
    ::testing::Values(
        SeekCase{"playing", {}, 1, 65},
        SeekCase{"paused", [](General &, MainState &st, LyricLines &) { st.Paused = -1; }, 1, 65},
        SeekCase{"stopped", [](General &, MainState &st, LyricLines &) { st.Playing = 0; }, 1, -1},
        // No lyric found: the box holds the failure text, which has no time.
        SeekCase{"failureText",
                 [](General &g, MainState &, LyricLines &l) {
                   g.LyricActive = 0;
                   l.PlLyrics = {QStringLiteral("No lyric")};
                   l.PlTimes.clear();
                 },
                 0, -1},
        SeekCase{"stream", [](General &, MainState &st, LyricLines &) { st.InternetFile = -1; }, 1, -1},
        SeekCase{"picture", [](General &, MainState &st, LyricLines &) { st.Dev = QStringLiteral("Delay"); },
                 1, -1},
        SeekCase{"noRow", {}, -1, -1}, SeekCase{"pastTheEnd", {}, 3, -1},
        // A file that ended without its last time: that text has no time.
        SeekCase{"textWithoutTime", [](General &, MainState &, LyricLines &l) { l.PlTimes.removeLast(); }, 2,
                 -1},
        SeekCase{"remainingTimeText",
                 [](General &, MainState &, LyricLines &l) { l.PlTimes[1] = QStringLiteral("-0:05"); }, 1,
                 -1}),
    [](const auto &info) { return std::string(info.param.name); });

}  // namespace
}  // namespace cantorel
