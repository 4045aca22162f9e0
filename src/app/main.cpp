// The program. It settles whether another instance runs before it loads
// anything else: a later start hands its request over and ends, needing
// QtCore alone; the first start loads the player module and runs it.
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStringList>

#include <dlfcn.h>
#include <cstdio>
#include <cstring>

#include "app/player_main.h"
#include "core/command_line.h"
#include "platform/folders.h"
#include "platform/hand_off_client.h"
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
    "  CANTOREL_NEWS_URL   fetch the news message from this address\n"
    "  CANTOREL_LYRIC_URL  ask this online lyric service for missing lyrics\n";

// The player module beside the program's library folder (the build tree and
// the install are laid out alike), else where the install put it.
QString playerModule() {
  const QString bin = QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).path();
  for (const char *lib : {"/../lib/cantorel", "/../lib64/cantorel", "/../lib/x86_64-linux-gnu/cantorel"}) {
    const QString p = QDir::cleanPath(bin + QLatin1String(lib) + QLatin1String("/player/cantorel_player.so"));
    if (QFileInfo::exists(p)) return p;
  }
  return QStringLiteral(CANTOREL_INSTALL_LIB_DIR "/player/cantorel_player.so");
}

int runPlayer(int argc, char **argv, QLockFile *lock) {
  const QByteArray module = QFile::encodeName(playerModule());
  void *handle = ::dlopen(module.constData(), RTLD_NOW | RTLD_LOCAL);
  auto entry =
      handle ? reinterpret_cast<CantorelPlayerMain>(::dlsym(handle, "cantorel_player_main")) : nullptr;
  if (!entry) {
    std::fprintf(stderr, "cantorel: cannot load the player: %s\n", ::dlerror());
    return 1;
  }
  return entry(argc, argv, lock);
}

}  // namespace

int main(int argc, char **argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("cantorel %s\n", CANTOREL_VERSION);
      return 0;
    }
    if (std::strcmp(argv[i], "--restore-associations") == 0) return runPlayer(argc, argv, nullptr);
  }

  using namespace cantorel;
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  const QString key = Folders::fromEnvironment().instanceKey();
  QLockFile lock(instanceLockPath(key));
  switch (handOver(key, parseArguments(args, QDir::currentPath()), lock)) {
    case HandOff::Delivered:
      return 0;
    case HandOff::NoAnswer:
      // Sent but not confirmed: the running player may still take it later.
      std::fputs("cantorel: the running Cantorel did not confirm the hand-off in time\n", stderr);
      return 1;
    case HandOff::NobodyRunning:
      break;
  }
  return runPlayer(argc, argv, &lock);
}
