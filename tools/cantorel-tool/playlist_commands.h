#pragma once

#include <QStringList>

namespace cantorel::tool {

// Help text of the "playlist" commands, JSON fields included.
extern const char kPlaylistUsage[];

// Runs "playlist show" or "playlist convert"; `args` are the arguments after
// "playlist". Returns the exit status: 0 the player reads the playlist (and,
// for convert, it was written), 1 it does not, 2 usage error.
int runPlaylistCommand(const QStringList &args);

}  // namespace cantorel::tool
