// Draws the shipped skins into a folder: cantorel-skin-painter DIR
#include <QGuiApplication>

#include <cstdio>

bool paintDefaultSkin(const QString &dir);
bool paintMiniSkin(const QString &dir);

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fputs("usage: cantorel-skin-painter DIR\n", stderr);
    return 2;
  }
  const QString dir = QString::fromLocal8Bit(argv[1]);
  const bool ok = paintDefaultSkin(dir) && paintMiniSkin(dir);
  std::fputs(ok ? "skins written\n" : "could not write the skins\n", ok ? stdout : stderr);
  return ok ? 0 : 1;
}
