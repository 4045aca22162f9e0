// A visualization plug-in that notes when each lyric line arrived: the line
// and the steady clock in nanoseconds, so a test in the same process can set
// it against what it saw on its own clock.
#include <QObject>
#include <QStringList>
#include <QVariant>

#include <chrono>

#include "cantorel_plugin.h"

class LyricClock : public QObject {
  Q_OBJECT
  Q_CLASSINFO(CANTOREL_CLASS_INFO, "qv_lyricclock.Processor")
  Q_PLUGIN_METADATA(IID CANTOREL_VIS_PLUGIN_IID)

 public:
  Q_INVOKABLE explicit LyricClock(QObject *parent = nullptr) : QObject(parent) {}
  Q_INVOKABLE void init_plugin(const QString &, qint32, qint32, const QString &, bool, float, float, float,
                               qint16, qint16) {}
  Q_INVOKABLE void show_lyric(const QString &line) {
    lines_.append(line);
    times_.append(static_cast<qlonglong>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                             std::chrono::steady_clock::now().time_since_epoch())
                                             .count()));
  }
  Q_INVOKABLE QStringList Lines() { return lines_; }
  Q_INVOKABLE QVariantList Times() { return times_; }

 private:
  QStringList lines_;
  QVariantList times_;
};

#include "lyric_clock.moc"
