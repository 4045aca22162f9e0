#pragma once

#include <QWidget>

#include "core/general.h"

class QLabel;
class QProgressBar;
class QTimer;

namespace cantorel {

class NewsDownload;

// The window shown at start: product name and version, and the download of
// the news file with its state and progress. At the first tick of its timer
// after the transfer has completed or failed it asks for the main window
// (`loadMainWindow`) and closes.
class SplashWindow : public QWidget {
  Q_OBJECT
 public:
  // The timer's interval: CANTOREL_SPLASH_MS when set (tests), else 5000 ms.
  static int timerInterval();

  // `newsFolder` is where the news file is written.
  SplashWindow(General &g, QString newsFolder, QWidget *parent = nullptr);
  ~SplashWindow() override;

  // Fills the labels, shows the window and starts the transfer of `NewsURL`.
  void start();
  // A new transfer state: its text goes to `stateLabel`.
  void showTransferState(int state);
  // The timer: opens the main window once the transfer is over.
  void checkTransferDone();
  // Opens the main window now, giving up a transfer under way (a second start
  // handed over a file, or the program is asked to end).
  void finishNow();
  bool finished() const { return finished_; }

  QLabel *productLabel = nullptr;
  QLabel *versionLabel = nullptr;
  QLabel *stateLabel = nullptr;
  QProgressBar *progressBar = nullptr;
  QTimer *finishTimer = nullptr;
  NewsDownload *download = nullptr;

 Q_SIGNALS:
  // The main window's turn: load it (its start-up runs).
  void loadMainWindow();

 private:
  General &g_;
  QString newsFolder_;
  bool finished_ = false;
};

}  // namespace cantorel
