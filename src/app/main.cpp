#include <QApplication>

#include <cstdio>
#include <cstring>

#include "app/main_window.h"
#include "app/unix_signals.h"
#include "core/command_line.h"
#include "core/log.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "desktop/associations.h"
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
    "  CANTOREL_HOME   keep settings, playlist and schedule in this folder\n";

}  // namespace

int main(int argc, char **argv) {
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
  SettingsStore store(folders.configFile());
  QString warning;
  if (!store.load(&warning)) std::fprintf(stderr, "cantorel: %s\n", qUtf8Printable(warning));
  Settings settings(store);
  General general;

  frmQuelt window(general, settings, folders);
  UnixSignals signals;
  QObject::connect(&signals, &UnixSignals::terminateRequested, &window, [&window] { window.Form_Unload(); });
  // The end of the desktop session, or any other way the event loop ends.
  QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, [&window] { window.Form_Unload(); });

  const QString commandLine = joinArguments(QApplication::arguments().mid(1));
  if (!window.Form_Load(commandLine)) return 0;  // handed over to the running instance
  return QApplication::exec();
}
