#pragma once

#include <QStringList>

namespace cantorel::tool {

// Help text of the "lyric" commands, JSON fields included.
extern const char kLyricUsage[];

// Runs "lyric check" or "lyric find"; `args` are the arguments after "lyric".
// Returns the exit status: 0 the player accepts or finds the lyric, 1 it does
// not, 2 usage error.
int runLyricCommand(const QStringList &args);

}  // namespace cantorel::tool
