#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
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
  // The work area of the screen the window is on, in desktop coordinates
  // (a second screen's origin is not 0, 0).
  QRect screenTwips{0, 0, 1024 * 15, 768 * 15};
  qint16 twipX = 15, twipY = 15;
  QPoint windowPosTwips;  // where the window is now
  // Import mode: asks for a file in the import folder; empty when cancelled.
  std::function<QString(const QString &filter, const QString &defaultName, const QString &initialFolder)>
      pickImportFile;
};

// What the reader did with one command of the body: an element it placed in
// the tables, or one it refused and why. Kept for skin authors (cantorel-tool);
// the window goes by the tables alone.
struct SkinElementRecord {
  // "button", "label", "display", "slider", "light", "playlist", "lyrics",
  // "lyricLine", "cover", "point", "picture" (work pictures) or "unknown".
  QString kind;
  // Placed: the slot it fills (a button's slot is its command code, so a "K"n
  // button is n + 100; points count from 1). Refused: the number in the token.
  int index = 0;
  // Placed: where it sits on the window (a slider's knob where it is first
  // put, a point as an empty rectangle at the point). Empty when refused.
  QRect rect;
  int line = 0;          // line of its token
  QString token;         // the token as written
  QString reason;        // why it was refused; empty when placed
  bool flagged = false;  // refused: sets the error flag, so the end message shows
  bool listed = false;   // refused: its token is in the end message's list
};

struct SkinLoadResult {
  bool loaded = false;     // the head was read and the tables now hold the new skin
  QString path;            // the control file that was read
  QStringList messages;    // message boxes to show, in order
  bool errorFlag = false;  // some element was rejected by its index
  QString errorList;       // " token" per listed element
  QStringList notes;       // what was rejected or ignored and why, for skin authors
  QPoint windowPosTwips;   // where the window goes
  // For skin authors; the window ignores these.
  QString mainBitmap;                 // path of the main bitmap the head names
  QString resourceBitmap;             // the same for the resource bitmap; empty when none
  bool importMode = false;            // the main bitmap name is "*"
  QStringList missingBitmaps;         // pictures named by the head or "R" that do not exist
  QList<SkinElementRecord> placed;    // in the tables after the load, in file order
  QList<SkinElementRecord> rejected;  // refused, ignored or replaced, in file order
  int rejectedOmitted = 0;            // refusals past the first kMaxSkinRejected
};

// Refusals kept per load; a stranger's file cannot make the list grow without end.
constexpr int kMaxSkinRejected = 1000;

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
