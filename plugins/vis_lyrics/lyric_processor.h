#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "cantorel_plugin.h"

class LyricWindow;

// The object of qv_plugin: init_plugin opens the full-screen lyric window,
// show_lyric puts each line on it.
class LyricProcessor : public QObject {
  Q_OBJECT
  Q_CLASSINFO(CANTOREL_CLASS_INFO, "qv_plugin.Processor")
  Q_PLUGIN_METADATA(IID CANTOREL_VIS_PLUGIN_IID)

 public:
  Q_INVOKABLE explicit LyricProcessor(QObject *parent = nullptr);
  ~LyricProcessor() override;

  Q_INVOKABLE void init_plugin(const QString &tip, qint64 foreColour, qint64 backColour,
                               const QString &fontName, bool bold, double fontSize, double left, double top,
                               int, int);
  Q_INVOKABLE void show_lyric(const QString &text);
  // One line for the preferences' plug-in list.
  Q_INVOKABLE QString GetDescription() const;

  // Beyond the contract, for tests: whether the window is showing, and its
  // line.
  Q_INVOKABLE bool IsShown() const;
  Q_INVOKABLE QString CurrentLine() const;

 private:
  QPointer<LyricWindow> window_;
  QString line_;
};
