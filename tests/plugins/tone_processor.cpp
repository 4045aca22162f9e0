// A complete third-party input plug-in built from the SDK alone. It "plays"
// .tone files (a text file whose first line is the length in seconds) on the
// wall clock, and records every member call so tests can check the order.
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QStringList>
#include <QVariant>

#include "cantorel_plugin.h"

class ToneProcessor : public QObject {
  Q_OBJECT
  Q_CLASSINFO(CANTOREL_CLASS_INFO, "qv_input_tone.Processor")
  Q_PLUGIN_METADATA(IID CANTOREL_INPUT_PLUGIN_IID)

 public:
  Q_INVOKABLE explicit ToneProcessor(QObject *parent = nullptr) : QObject(parent) {}

  Q_INVOKABLE QString GetAuthor() {
    return logged(QStringLiteral("GetAuthor"), QStringLiteral("Test Author"));
  }
  Q_INVOKABLE QString getExtensions() {
    return logged(QStringLiteral("getExtensions"), QStringLiteral("Test tones|*.tone"));
  }
  Q_INVOKABLE QString GetVersion() { return logged(QStringLiteral("GetVersion"), QStringLiteral("0.1")); }
  Q_INVOKABLE QString GetDescription() {
    return logged(QStringLiteral("GetDescription"), QStringLiteral("Tones"));
  }

  // Arguments as QVariant: the SDK converts to whatever a member declares.
  Q_INVOKABLE QVariant Init(const QVariant &path) {
    log(QStringLiteral("Init"));
    QFile f(path.toString());
    if (!f.open(QIODevice::ReadOnly)) return -1;
    bool ok = false;
    length_ = QString::fromLatin1(f.readLine()).trimmed().toDouble(&ok);
    return ok && length_ > 0 ? 0 : -1;
  }
  Q_INVOKABLE void RenderFile(const QString &) { log(QStringLiteral("RenderFile")); }
  Q_INVOKABLE void CurrentPosition(double s) {
    log(QStringLiteral("CurrentPosition(set)"));
    base_ = s;
    clock_.restart();
  }
  Q_INVOKABLE double CurrentPosition() { return position(); }
  Q_INVOKABLE void Rate(float r) {
    log(QStringLiteral("Rate"));
    base_ = position();
    clock_.restart();
    rate_ = r;
  }
  Q_INVOKABLE double Duration() {
    log(QStringLiteral("Duration"));
    return length_;
  }
  Q_INVOKABLE void Run() {
    log(QStringLiteral("Run"));
    base_ = position();
    clock_.restart();
    running_ = true;
  }
  Q_INVOKABLE void Pause() {
    log(QStringLiteral("Pause"));
    base_ = position();
    running_ = false;
  }
  Q_INVOKABLE double GetCurrentPosition() { return position(); }
  Q_INVOKABLE int GetVolume(int) { return volume_; }
  Q_INVOKABLE void SetVolume(int, int packed) {
    log(QStringLiteral("SetVolume"));
    volume_ = packed;
  }
  Q_INVOKABLE void CleanUP() {
    log(QStringLiteral("CleanUP"));
    running_ = false;
  }
  Q_INVOKABLE void finish() { log(QStringLiteral("finish")); }

  // For the tests.
  Q_INVOKABLE QStringList CallLog() { return calls_; }
  Q_INVOKABLE double CurrentRate() { return rate_; }

 private:
  void log(const QString &member) { calls_.append(member); }
  QString logged(const QString &member, const QString &result) {
    log(member);
    return result;
  }
  double position() const {
    double p = base_ + (running_ && clock_.isValid() ? rate_ * clock_.elapsed() / 1000.0 : 0.0);
    return p < length_ ? p : length_;
  }

  QStringList calls_;
  QElapsedTimer clock_;
  double base_ = 0;
  double length_ = 0;
  double rate_ = 1;
  bool running_ = false;
  int volume_ = -1;
};

#include "tone_processor.moc"
