#pragma once

#include <QString>
#include <QStringList>

namespace cantorel {

// What a command line asks for.
struct CommandLineRequest {
  enum class Kind { None, Play, Add } kind = Kind::None;
  QString path;  // double quotes removed
};

// The whole command line is one text: empty asks for nothing; one that holds
// "/ADD" (exact case) adds the path that starts five characters after it;
// anything else is a path to add and play.
CommandLineRequest parseCommandLine(const QString &commandLine);

// Builds the one-text command line from the program's arguments (without the
// program name), quoting arguments that hold blanks, the way a shell hands a
// path over.
QString joinArguments(const QStringList &args);

}  // namespace cantorel
