#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace cantorel {

// What a command line asks for.
struct CommandLineRequest {
  enum class Kind { None, Play, Add } kind = Kind::None;
  QString path;

  bool operator==(const CommandLineRequest &o) const { return kind == o.kind && path == o.path; }
};

// The program's arguments (without the program name). "/ADD" (exact case) as
// the first argument, on its own, adds the file named by the rest without
// playing; any other arguments name a file to add and play. The arguments
// form one path, joined by blanks, so a path split by a caller that did not
// quote it still arrives whole. A relative path is taken from `workingDir`
// (the folder the command was given in); addresses ("scheme://...") stay as
// they are. No arguments, or "/ADD" alone, ask for nothing.
CommandLineRequest parseArguments(const QStringList &args, const QString &workingDir);

// One request as a line on the single-instance channel, and back. The path
// is percent-encoded UTF-8, so any file name (blanks, line breaks) travels
// whole. decodeHandOff returns false for a line that is not a request.
QByteArray encodeHandOff(const CommandLineRequest &request);
bool decodeHandOff(const QByteArray &line, CommandLineRequest *request);

}  // namespace cantorel
