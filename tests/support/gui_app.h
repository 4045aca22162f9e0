#pragma once

#include <QApplication>

namespace cantorel::test {

// The one QApplication of a window test program, made on first use.
inline QApplication &ensureApp() {
  static int argc = 1;
  static char name[] = "window_tests";
  static char *argv[] = {name, nullptr};
  if (!QApplication::instance()) new QApplication(argc, argv);
  return *qobject_cast<QApplication *>(QApplication::instance());
}

}  // namespace cantorel::test
