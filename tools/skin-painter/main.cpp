// Draws the shipped skins into a folder:   cantorel-skin-painter DIR
// Renders a skin as the player shows it:  cantorel-skin-painter --preview SKIN OUT.png [mini] [expand]
// [hover=N]
#include <QApplication>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

bool paintDefaultSkin(const QString &dir);
bool paintMiniSkin(const QString &dir);
int previewSkin(const QString &skinPath, const QString &out, const QStringList &options);

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments().mid(1);
  if (args.size() >= 3 && args[0] == QLatin1String("--preview"))
    return previewSkin(QFileInfo(args[1]).absoluteFilePath(), args[2], args.mid(3));
  if (argc != 2) {
    std::fputs("usage: cantorel-skin-painter DIR\n", stderr);
    return 2;
  }
  const QString dir = QString::fromLocal8Bit(argv[1]);
  const bool ok = paintDefaultSkin(dir) && paintMiniSkin(dir);
  std::fputs(ok ? "skins written\n" : "could not write the skins\n", ok ? stdout : stderr);
  return ok ? 0 : 1;
}
