#pragma once

#include <QLockFile>
#include <QString>

#include "core/command_line.h"

namespace cantorel {

// The start side of the single-instance channel (InstanceChannel is the
// running side). It needs QtCore alone, so a start can settle whether it is a
// later one before it loads anything of the player.

// The socket the running instance listens on for `key`, and the lock that
// makes "is anybody running? then I listen" one step for starts at the same
// moment.
QString instanceSocketPath(const QString &key);
QString instanceLockPath(const QString &key);

// What the running instance answers to a request it has taken.
inline constexpr char kHandOffAnswer[] = "OK\n";

enum class HandOff {
  Delivered,      // the running instance has queued the request
  NobodyRunning,  // this start is the first: it should listen
  NoAnswer,       // an instance is there but did not take the request in time
};

// Hands `request` to the running instance as one message and waits (at most
// `timeoutMs`) for its answer. When nobody is running, `lock` (on
// instanceLockPath) is held on return, so no other start becomes the running
// instance before this one listens; it is unlocked once this one listens.
HandOff handOver(const QString &key, const CommandLineRequest &request, QLockFile &lock,
                 int timeoutMs = 10000);

}  // namespace cantorel
