#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

#include "skin/skin_tables.h"

namespace cantorel {

struct General;

// What the reader needs to know about the desktop and the program.
struct SkinEnvironment {
  // Folders where the program's own files are (the application folder),
  // searched in order when a skin is not found where it was asked for.
  QStringList appFolders;
  int screenWidthPx = 1024;
  QSize screenTwips{1024 * 15, 768 * 15};
  qint16 twipX = 15, twipY = 15;
  QPoint windowPosTwips;  // where the window is now
  // Import mode: asks for a file in the import folder; empty when cancelled.
  std::function<QString(const QString &filter, const QString &defaultName, const QString &initialFolder)>
      pickImportFile;
};

struct SkinLoadResult {
  bool loaded = false;     // the head was read and the tables now hold the new skin
  QString path;            // the control file that was read
  QStringList messages;    // message boxes to show, in order
  bool errorFlag = false;  // some element was rejected by its index
  QString errorList;       // " token" per listed element
  QStringList notes;       // what was rejected or ignored and why, for skin authors
  QPoint windowPosTwips;   // where the window goes
};

// Largest picture side and window side a skin may ask for, in pixels. Larger
// values are cut to it, so a stranger's skin cannot make us allocate gigabytes.
constexpr int kMaxSkinPictureSide = 4096;
constexpr int kMaxSkinWindowSide = 8192;
// Control files are small; anything after this many bytes is not read.
constexpr qint64 kMaxSkinFileBytes = 1 << 20;

// Reads a skin control file into `t`. Everything decided without a picture
// happens here: finding the file, the head, the reset of the tables, every
// body command, the checks and the messages (texts from g.Messages). The
// picture work is left in t.Pictures for the window to replay. Writes the
// settings "Skin" and, in import mode, "SkinImport" into g.
SkinLoadResult LoadSkin(const QString &name, bool reuseImportFolder, const SkinEnvironment &env,
                        SkinTables &t, General &g);

// The same on text already in memory (tests, the fuzz target); `path` names
// the control file for the folders.
SkinLoadResult LoadSkinText(const QString &text, const QString &path, bool reuseImportFolder,
                            const SkinEnvironment &env, SkinTables &t, General &g);

// The tip of labels, sliders, boxes and the cover: empty when it starts with "~".
QString TipText(const QString &text);

// A file named by a skin inside `folder`: "\" separators become "/", and when
// the name does not exist as written, a file of the same name in another
// letter case is taken (skins made on desktops that ignore case).
QString SkinFilePath(const QString &folder, const QString &name);

// Width of a digit display's area for its format.
int DigitAreaWidth(const DigitDisplay &d);

}  // namespace cantorel
