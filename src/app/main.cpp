#include <QApplication>
#include <QPointer>

#include <cstdio>
#include <cstring>

#include "app/main_window.h"
#include "app/unix_signals.h"
#include "core/atomic_file.h"
#include "core/command_line.h"
#include "core/log.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "desktop/associations.h"
#include "desktop/splash_window.h"
#include "platform/folders.h"
#include "version.h"

namespace {

const char kUsage[] =
    "Usage: cantorel [FILE | /ADD FILE]\n"
    "\n"
    "Cantorel plays music and shows each song's timed lyric line by line.\n"
    "\n"
    "  FILE         add FILE (a song, a playlist or a folder) and play it\n"
    "  /ADD FILE    add FILE to the playlist without playing\n"
    "  --restore-associations\n"
    "               give the file types Cantorel took over back to the\n"
    "               programs that opened them before, and exit\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "When Cantorel is already running, the file is handed to the running\n"
    "player and this start ends.\n"
    "\n"
    "Environment:\n"
    "  CANTOREL_HOME       keep settings, playlist and everything else written here\n"
    "  CANTOREL_SERVICE_URL  the lyric service's address (overrides the build's)\n"
    "  CANTOREL_NEWS_URL   fetch the news message from this address\n";

}  // namespace

int main(int argc, char **argv) {
  const QDateTime started = QDateTime::currentDateTime();
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--restore-associations") == 0) {
      QString error;
      cantorel::FileAssociations assoc(cantorel::AssociationPaths::fromEnvironment(QString()));
      if (assoc.restore(&error)) return 0;
      std::fprintf(stderr, "cantorel: %s\n", qUtf8Printable(error));
      return 1;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("cantorel %s\n", CANTOREL_VERSION);
      return 0;
    }
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("cantorel"));
  QApplication::setApplicationVersion(QStringLiteral(CANTOREL_VERSION));
  QApplication::setQuitOnLastWindowClosed(false);

  using namespace cantorel;
  const Folders folders = Folders::fromEnvironment();
  // What an earlier run left when it died in the middle of a save.
  removeStaleTemporaryFiles(folders.writtenFiles() + AssociationPaths::fromEnvironment(QString()).writtenFiles(),
                            started);
  SettingsStore store(folders.configFile());
  QString warning;
  if (!store.load(&warning)) std::fprintf(stderr, "cantorel: %s\n", qUtf8Printable(warning));
  Settings settings(store);
  General general;

  // Signals are caught from here on; they are acted on once the event loop
  // runs, after the start-up they may interrupt.
  UnixSignals signals;
  frmQuelt window(general, settings, folders);
  const QString commandLine = joinArguments(QApplication::arguments().mid(1));

  // A second start hands its file over at once, without a splash of its own.
  if (window.otherInstanceRunning()) {
    window.Form_Load(commandLine);
    return 0;
  }

  // The splash first; at its end the main window loads and the start-up runs.
  QPointer<frmSplash> splash = new frmSplash(general, folders.userDataDir());
  splash->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(splash, &frmSplash::loadMainWindow, &window, [&window, &commandLine] {
    window.Form_Load(commandLine);
  });
  // A file handed over by a later start while the splash is up.
  QObject::connect(&window, &frmQuelt::loadRequested, &window, [&splash] {
    if (splash) splash->finishNow();
  });

  // Ending while the splash is up still runs the start-up first, so the
  // shut-down saves what this start was given.
  bool ended = false;
  auto unload = [&window, &splash, &ended] {
    ended = true;
    // Marked first, so the start-up the splash now runs asks nothing.
    window.Form_Unload();
    if (splash) splash->finishNow();
    window.Form_Unload();
  };
  QObject::connect(&signals, &UnixSignals::terminateRequested, &window, unload);
  // The end of the desktop session, or any other way the event loop ends.
  QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, unload);

  splash->Form_Load();
  // Showing a window may let events run; a signal taken then has already
  // run the shut-down, and the event loop must not start.
  if (ended) return 0;
  return QApplication::exec();
}
