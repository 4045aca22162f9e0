// A visualization plug-in without a window: it keeps what it was given.
#include <QObject>
#include <QStringList>
#include <QVariant>

#include "cantorel_plugin.h"

class LyricEcho : public QObject {
  Q_OBJECT
  Q_CLASSINFO(CANTOREL_CLASS_INFO, "qv_lyricecho.Processor")
  Q_PLUGIN_METADATA(IID CANTOREL_VIS_PLUGIN_IID)

 public:
  Q_INVOKABLE explicit LyricEcho(QObject *parent = nullptr) : QObject(parent) {}
  Q_INVOKABLE void init_plugin(const QString &tip, qint32 fore, qint32 back, const QString &font, bool bold,
                               float size, float left, float top, qint16, qint16) {
    look_ = {tip, fore, back, font, bold, size, left, top};
  }
  Q_INVOKABLE void show_lyric(const QString &line) { lines_.append(line); }
  Q_INVOKABLE QVariantList Look() { return look_; }
  Q_INVOKABLE QStringList Lines() { return lines_; }

 private:
  QVariantList look_;
  QStringList lines_;
};

#include "lyric_echo.moc"
