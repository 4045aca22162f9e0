// cantorel-tool: shows how Cantorel reads a file, using the player's own code.
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

#include "lyric_commands.h"
#include "playlist_commands.h"
#include "skin_check.h"
#include "tag_commands.h"
#include "version.h"

namespace {

const char kUsage[] =
    "Usage: cantorel-tool COMMAND [ARGS] [--json]\n"
    "\n"
    "Shows how Cantorel reads a file, with the code the player itself runs.\n"
    "Exit status: 0 the player accepts the file, 1 it rejects it, 2 usage error.\n"
    "\n"
    "Commands:\n"
    "  --help       show this help\n"
    "  --version    show the version\n";

}  // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments().mid(1);
  if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
    std::fputs(kUsage, args.isEmpty() ? stderr : stdout);
    std::fputs(cantorel::tool::kSkinUsage, args.isEmpty() ? stderr : stdout);
    std::fputs(cantorel::tool::kLyricUsage, args.isEmpty() ? stderr : stdout);
    std::fputs(cantorel::tool::kTagUsage, args.isEmpty() ? stderr : stdout);
    std::fputs(cantorel::tool::kPlaylistUsage, args.isEmpty() ? stderr : stdout);
    return args.isEmpty() ? 2 : 0;
  }
  if (args.first() == QLatin1String("--version")) {
    std::printf("cantorel-tool %s\n", CANTOREL_VERSION);
    return 0;
  }
  if (args.size() >= 2 && args[0] == QLatin1String("skin") && args[1] == QLatin1String("check"))
    return cantorel::tool::runSkinCheck(args.mid(2));
  if (args.first() == QLatin1String("lyric")) return cantorel::tool::runLyricCommand(args.mid(1));
  if (args.first() == QLatin1String("tag")) return cantorel::tool::runTagCommand(args.mid(1));
  if (args.first() == QLatin1String("playlist"))
    return cantorel::tool::runPlaylistCommand(args.mid(1));
  std::fprintf(stderr, "cantorel-tool: unknown command '%s'\n%s", qUtf8Printable(args.first()), kUsage);
  return 2;
}
