#pragma once

#include <QString>
#include <QStringList>

#include "core/general.h"
#include "core/settings_store.h"

namespace cantorel {

// Where every setting lives in the store.
inline const QString kPrg = QStringLiteral("Cantorel v4.0");
inline const QString kSect = QStringLiteral("config");

// Keys written outside the save step or kept outside `General`.
namespace key {
inline const QString Path = QStringLiteral("Path");
inline const QString OtherFile = QStringLiteral("OtherFile");
inline const QString MsgRemote = QStringLiteral("MsgRemote");
inline const QString Instalado = QStringLiteral("Instalado");
inline const QString X = QStringLiteral("X");
inline const QString Y = QStringLiteral("Y");
inline const QString LastTrack = QStringLiteral("LastTrack");
inline const QString LastCover = QStringLiteral("LastCover");
// Volume and balance of the last run, whole percent (balance 50 is centred).
inline const QString Volume = QStringLiteral("Volume");
inline const QString Balance = QStringLiteral("Balance");
// The code page of text files that are neither marked nor UTF-8 (read only;
// the default, kDefaultLegacyCodePage, applies when it is missing).
inline const QString LegacyCodePage = QStringLiteral("LegacyCodePage");
}  // namespace key

// Value of "Instalado" after the first normal exit.
inline const QString kInstalledMark = QStringLiteral("SI");

// The settings held in `General`, read and written through one table.
class Settings {
 public:
  explicit Settings(SettingsStore &store) : store_(store) {}

  // Reads every setting into `g` in the load order, then "X" and "Y" (whose
  // defaults are the window's current position, in twips).
  struct Position {
    qint32 x = 0;
    qint32 y = 0;
  };
  Position load(General &g, Position currentPos);

  // Values the save step writes besides `General`.
  struct ExitValues {
    bool writePosition = false;
    float x = 0;
    float y = 0;
    QString lastCover;
    int lastTrack = 0;
    // Whole percent; negative: not written.
    int volume = -1;
    int balance = -1;
  };
  // A stored percentage ("Volume", "Balance") as 0..1; -1 when the key is
  // missing or not a number.
  double fraction(const QString &key) const;
  // Writes all settings in the save order, as one atomic write of the file.
  bool save(const General &g, const ExitValues &exit);

  // Single reads and writes of one key, in the store's text form.
  QString text(const QString &key, const QString &def = QString()) const;
  bool setText(const QString &key, const QString &value);
  qint16 int16(const QString &key, qint16 def) const;

  // Key names in the orders used (for tests and documentation).
  static QStringList loadOrder();
  static QStringList saveOrder();

  SettingsStore &store() { return store_; }

 private:
  SettingsStore &store_;
};

}  // namespace cantorel
