#pragma once

#include <QLabel>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>

class QCheckBox;
class QListWidget;
class QPrinter;
class QPushButton;

namespace cantorel {

struct General;

// One cover of the browser's grid: the picture with the entry's name under
// it, framed while the pointer is over it.
class CoverTile : public QWidget {
  Q_OBJECT
 public:
  explicit CoverTile(QWidget *parent = nullptr);
  void setEntry(const QPixmap &picture, const QString &name);
  void setFramed(bool on);
  bool framed() const { return framed_; }
  // The tile of the selected entry is drawn highlighted.
  void setSelected(bool on);
  bool selected() const { return selected_; }
  QString name() const;

 Q_SIGNALS:
  void clicked();
  void doubleClicked();
  void hovered();

 protected:
  void mousePressEvent(QMouseEvent *e) override;
  void mouseDoubleClickEvent(QMouseEvent *e) override;
  void enterEvent(QEnterEvent *e) override;
  void paintEvent(QPaintEvent *e) override;

 private:
  QLabel *picture_;
  QLabel *caption_;
  bool framed_ = false;
  bool selected_ = false;
};

// The visual playlist browser: the playlists (M3U, PLS) under a folder as a
// grid of 16 covers a page, or the folder's directory cards ("*.DIR"), which
// lead into the sub-folder they name. A click shows a playlist's lines, a
// double click (or Load) hands the playlist to the main window to play.
class PlaylistBrowserWindow : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kPerPage = 16;
  static constexpr int kColumns = 4;

  // `noCoverPath` is the picture for entries without one of their own (may be
  // empty); `appFolder` is read when "VisPLPath" is empty.
  PlaylistBrowserWindow(General &g, const QString &noCoverPath, const QString &appFolder,
                        QWidget *parent = nullptr);

  // The folder picker; the program's asks the desktop, tests answer a path.
  void setFolderPicker(std::function<QString(const QString &prompt)> pick) { pickFolder_ = std::move(pick); }

  void scanFolder(const QString &folder);
  void showPage();
  void selectEntry(int k);
  void loadSelected();
  void clearBrowser();
  void nextPage();
  void prevPage();
  void selectDirectory();
  void swapColours();
  // Draws the window's image, scaled to the page, on `printer`.
  bool printTo(QPrinter &printer);

  int page = 0;
  int lastPage = 0;
  QString selectedEntry;
  QString noCoverFile;
  bool busy = false;
  int hoveredTile = 0;
  QStringList entries;
  QStringList entryNames;

  std::array<CoverTile *, kPerPage> tiles{};
  QListWidget *contentsList;
  QLabel *nameLabel;
  QLabel *pageLabel;
  QLabel *contentsLabel;
  QLabel *titleLabel;
  QPushButton *previousButton;
  QPushButton *nextButton;
  QPushButton *loadButton;
  QPushButton *folderButton;
  QCheckBox *rememberFolderCheck;
  QPushButton *coloursButton;
  QPushButton *printButton;
  QPushButton *cancelButton;

 Q_SIGNALS:
  // The user chose this playlist file: the main window clears its playlist,
  // reads this one and plays it. The browser closes itself.
  void playlistChosen(const QString &file);

 protected:
  void closeEvent(QCloseEvent *e) override;
  void mouseMoveEvent(QMouseEvent *e) override;

 private:
  void applyColours(const QColor &background, const QColor &text);
  void hoverTile(int k);
  void markSelected();
  void printWindow();

  General &g_;
  std::function<QString(const QString &)> pickFolder_;
  QString folder_;
  int fillGeneration_ = 0;  // a newer fill stops an older one that let events run
  bool closeWhenIdle_ = false;  // a playlist was chosen while a fill ran
  void closeIfPending();
};

}  // namespace cantorel
