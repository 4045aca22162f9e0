#pragma once

#include <QStringList>

namespace cantorel::tool {

// Help text of the "tag" commands, JSON fields included.
extern const char kTagUsage[];

// Runs "tag show" or "tag set"; `args` are the arguments after "tag".
// Returns the exit status: 0 the file was read (show) or written (set), 1 the
// player would not read or write it, 2 usage error.
int runTagCommand(const QStringList &args);

}  // namespace cantorel::tool
