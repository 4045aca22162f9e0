// The player: everything a start runs once it is the running instance. The
// program (main.cpp) loads this module only then, so a later start that just
// hands its file over never loads widgets, plug-ins, fonts or skins.
#include <QApplication>
#include <QDir>
#include <QLockFile>
#include <QPointer>

#include <cstdio>
#include <cstring>

#include "app/main_window.h"
#include "app/player_main.h"
#include "app/unix_signals.h"
#include "core/command_line.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "desktop/associations.h"
#include "desktop/splash_window.h"
#include "platform/folders.h"
#include "version.h"

extern "C" Q_DECL_EXPORT int cantorel_player_main(int argc, char **argv, QLockFile *lock) {
  using namespace cantorel;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--restore-associations") == 0) {
      QString error;
      FileAssociations assoc(AssociationPaths::fromEnvironment(QString()));
      if (assoc.restore(&error)) return 0;
      std::fprintf(stderr, "cantorel: %s\n", qUtf8Printable(error));
      return 1;
    }
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("cantorel"));
  QApplication::setApplicationVersion(QStringLiteral(CANTOREL_VERSION));
  QApplication::setQuitOnLastWindowClosed(false);

  const Folders folders = Folders::fromEnvironment();
  const CommandLineRequest request = parseArguments(QApplication::arguments().mid(1), QDir::currentPath());
  SettingsStore store(folders.configFile());
  QString warning;
  if (!store.load(&warning)) std::fprintf(stderr, "cantorel: %s\n", qUtf8Printable(warning));
  Settings settings(store);
  General general;

  // Signals are caught from here on; they are acted on once the event loop
  // runs, after the start-up they may interrupt.
  UnixSignals signals;
  MainWindow window(general, settings, folders);
  // Later starts wait on the lock until this instance listens.
  window.listenForHandOffs();
  if (lock) lock->unlock();

  // The splash first; at its end the main window loads and the start-up runs.
  QPointer<SplashWindow> splash = new SplashWindow(general, folders.userDataDir());
  splash->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(splash, &SplashWindow::loadMainWindow, &window,
                   [&window, &request] { window.startUp(request); });
  // A file handed over by a later start while the splash is up.
  QObject::connect(&window, &MainWindow::loadRequested, &window, [&splash] {
    if (splash) splash->finishNow();
  });

  // Ending while the splash is up still runs the start-up first, so the
  // shut-down saves what this start was given.
  bool ended = false;
  auto unload = [&window, &splash, &ended] {
    ended = true;
    // Marked first, so the start-up the splash now runs asks nothing.
    window.shutDown();
    if (splash) splash->finishNow();
    window.shutDown();
  };
  QObject::connect(&signals, &UnixSignals::terminateRequested, &window, unload);
  // The end of the desktop session, or any other way the event loop ends.
  QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, unload);

  splash->start();
  // Showing a window may let events run; a signal taken then has already
  // run the shut-down, and the event loop must not start.
  if (ended) return 0;
  return QApplication::exec();
}
