#pragma once

#include <QStringList>

namespace cantorel::tool {

// Help text of "skin check", JSON fields included.
extern const char kSkinUsage[];

// Runs "skin check"; `args` are the arguments after "check". Returns the exit
// status: 0 the player loads the skin without a message, 1 it refuses the
// file or shows a message while loading it, 2 usage error.
int runSkinCheck(const QStringList &args);

}  // namespace cantorel::tool
