#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <initializer_list>

#include "core/general.h"

namespace cantorel::test {

// Lines joined with CR LF after each, as lyric files are written.
inline QByteArray crlfLines(std::initializer_list<const char *> lines) {
  QByteArray out;
  for (const char *l : lines) out += QByteArray(l) + "\r\n";
  return out;
}

// A General whose status messages are short, distinct texts.
inline General lyricGeneral() {
  General g;
  for (int n : {1, 2, 3, 4, 6}) g.Messages[static_cast<size_t>(n)] = QStringLiteral("message %1").arg(n);
  return g;
}

// The application exists before any member of a fixture (a loopback server)
// does: a fixture derives from this first.
struct AppFirst {
  AppFirst() {
    static int argc = 1;
    static char name[] = "unit_lyrics";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
  }
};

}  // namespace cantorel::test
