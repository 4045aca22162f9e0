#pragma once

#include <QString>

namespace cantorel {

// The name of the operating system, as the desktop reports it
// ("Debian GNU/Linux 12 (bookworm)"); empty when unknown.
QString OsName();

// True when the machine has a working network connection. Asks Qt's network
// information backend first; without one, any running interface other than
// loopback that has an address counts. `connectionName` receives the name of
// the interface or backend that answered.
bool IsOnline(QString *connectionName = nullptr);

// True when a file can be opened for reading.
bool CanOpenFile(const QString &path);

}  // namespace cantorel
