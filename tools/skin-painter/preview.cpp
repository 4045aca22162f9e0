// --preview: renders a skin on an offscreen window the way the player shows
// it, with some state filled in, so a skin can be looked at without clicking.
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include "core/general.h"
#include "core/main_state.h"
#include "skin/skin_face_widget.h"
#include "skin/skin_window.h"

int previewSkin(const QString &skinPath, const QString &out, const QStringList &options) {
  using namespace cantorel;
  QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
  General g;
  g.ScrollName = 1;
  MainState st;
  st.SongName = QStringLiteral("Paper Boats - The Harbour Lights (live at the old pier)");
  st.SongLen = 245;
  st.Elapsed = 83;
  st.TNum = 7;
  st.Playing = -1;
  st.Repeat = -1;
  st.Sliders[1].Value = 83.0 / 245;
  st.Sliders[2].Value = 0.72;
  st.Sliders[3].Value = 0.5;
  st.Sliders[4].Value = 0.72;
  st.Sliders[5].Value = 0.5;
  auto *list = new QListWidget(&window);
  list->addItems({QStringLiteral("Morning Light"), QStringLiteral("Paper Boats"),
                  QStringLiteral("The Long Road Home"), QStringLiteral("Quiet Harbour"),
                  QStringLiteral("Salt and Silver"), QStringLiteral("Lanterns"),
                  QStringLiteral("Paper Boats (live)")});
  list->setCurrentRow(6);
  SkinWindow skin(&window, g, st);
  skin.showMessage = [](const QString &m) { qWarning("%s", qPrintable(m)); };
  skin.face()->adoptPlaylistBox(list);
  window.show();
  if (!skin.LoadSkin(skinPath, true)) return 1;
  skin.SliderChanged(2, 0.72);
  skin.setLabelText(1, QStringLiteral("1:23"));
  skin.setLabelText(9, QStringLiteral("PM"));
  skin.face()->lyricBox()->addItems({QStringLiteral("I folded all my letters into boats"),
                                     QStringLiteral("and set them down where the river turns"),
                                     QStringLiteral("one for every year you were away"),
                                     QStringLiteral("one for every bridge I didn't burn")});
  skin.face()->lyricBox()->setCurrentRow(1);
  skin.face()->lyricLine()->setText(QStringLiteral("and set them down where the river turns"));
  for (const QString &o : options) {
    if (o == QLatin1String("mini")) skin.ToggleMini();
    if (o == QLatin1String("expand")) skin.ToggleExpand();
    if (o.startsWith(QLatin1String("hover="))) {
      const int n = o.mid(6).toInt();
      const SkinButton &b = skin.tables().Btn[static_cast<size_t>(qBound(0, n, 120))];
      const QPointF at(b.Left + b.Width / 2.0, b.Top + b.Height / 2.0);
      QMouseEvent move(QEvent::MouseMove, at, at, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
      QCoreApplication::sendEvent(skin.face(), &move);
    }
  }
  skin.RefreshDisplays();
  skin.ShowLights();
  QCoreApplication::processEvents();
  QImage shot = window.grab().toImage();
  if (skin.hasRegion()) {
    // Outside the shape: shown as a checkerboard-free dark grey.
    QImage masked(shot.size(), QImage::Format_RGB32);
    masked.fill(QColor(60, 60, 60));
    QPainter p(&masked);
    p.setClipRegion(skin.windowRegion());
    p.drawImage(0, 0, shot);
    p.end();
    shot = masked;
  }
  return shot.save(out) ? 0 : 1;
}
