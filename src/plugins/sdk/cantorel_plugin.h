// Cantorel plug-in SDK.
//
// Everything a plug-in author needs, in one header that depends on QtCore
// only. docs/plugins.md walks through writing, building and installing one.
//
// THE CONTRACT IN SHORT
//
// A plug-in is a Qt plug-in library (a shared library built with
// Q_PLUGIN_METADATA) installed as
//     <plugins>/input_plugins/qv_input_<something>.so   (input plug-ins)
//     <plugins>/vis_plugins/qv_<something>.so           (visualization plug-ins)
// with no "lib" prefix. Its name is the file name without ".so"; the class
// the player asks for is that name followed by ".Processor" (for example
// "qv_input_gst.Processor"). The plug-in's root object states the class it
// provides with Q_CLASSINFO(CANTOREL_CLASS_INFO, "<name>.Processor").
//
// The player never links against a plug-in and never sees its C++ types: it
// loads the library, checks the class name, makes a fresh object of the root
// object's class through its Q_INVOKABLE constructor (so that constructor must
// exist), and calls the members below by name through Qt's meta-object system.
// A member is a Q_INVOKABLE method (or, for the members without arguments and
// the one-argument setters, a Q_PROPERTY of the same name). Arguments are
// converted to the types your method declares, so declare them as you like
// (double, int, QString, QVariant). Overloads are told apart by their number
// of arguments ("CurrentPosition" with none reads, with one seeks).
//
// A member you do not provide is skipped by the player with a warning; a
// library that fails to load, or whose class name does not match, is skipped
// too. Neither ever stops the player.
//
// THREADING
//
// The player creates objects and calls every member on its user-interface
// thread, one call at a time. "GetCurrentPosition" is called whenever what
// the window shows may change (up to every 25 ms) and "GetVolume" up to every
// 200 ms while a file plays, so they must return at once.
// "RenderFile" and a seek may take a moment, but should stay well under a
// second for local files. A plug-in may run its own threads; it must not call
// back into the player. Objects are destroyed on the user-interface thread,
// after "CleanUP" and "finish" for input plug-ins. The library stays loaded
// until the player ends.
//
// INPUT PLUG-IN MEMBERS (in the order the player calls them)
//
// Discovery, when the player scans the folder (fresh object, released after):
//   GetAuthor()      -> text
//   getExtensions()  -> text: a part of an open-file dialog filter, a
//                       description, "|", patterns separated by ";", for
//                       example "Ogg files|*.ogg;*.oga". The player also
//                       searches it (upper case, as a substring) for the
//                       extension of the file to play; the last plug-in
//                       that matches wins.
//   GetVersion()     -> text
//   GetDescription() -> text
//
// Starting an entry (on the object chosen for the file's extension; the
// object in use before gets "CleanUP" and "finish" first):
//   Init(path)             -> number: -1 (or true) refuses the file, any
//                             other value accepts it. Paths are local file
//                             paths or "http://" addresses.
//   RenderFile(path)       the file is opened and ready to run.
//   CurrentPosition(0)     start at the beginning        } not for
//   Rate(factor)           0.5 .. 1.5, 1 is normal speed } streams
//   Duration()             -> seconds (double)           }
//   Run()                  unless the entry is only prepared.
//
// While the entry plays:
//   GetCurrentPosition()   -> seconds (double); also CurrentPosition()
//   Pause() / Run()        pause keeping the position, resume
//   CurrentPosition(s)     seek to second s
//   Rate(factor)           change speed; keep the pitch if you can
//   GetVolume(0)           -> 32-bit integer, left channel in the low 16
//                             bits, right channel in the high 16 bits, each
//                             0..65535 (see unpackVolume)
//   SetVolume(0, packed)   same layout; the player sends each half as a
//                             signed 16-bit number, so read the halves as
//                             unsigned (see unpackVolume). Unequal halves are
//                             the balance: the quieter side is attenuated.
//
// Optional members (added later; a plug-in without them works as before, and
// the player asks only when the member exists, without a warning):
//   LastError()            -> text: why the file cannot be played, empty
//                             while all is well. Asked after Init refused a
//                             file, after RenderFile, and about twice a
//                             second while the entry plays. A non-empty text
//                             makes the player mark the entry, show the text
//                             and go on to the next entry. Init may refuse a
//                             file that holds nothing it can decode (open it
//                             there, within a few seconds at most).
//   StreamInfo()           -> map (QVariantMap) with "bitrate" (kbit/s),
//                             "sampleRate" (Hz) and "channels" (a count),
//                             each left out when unknown. Asked once after
//                             RenderFile for files other than MPEG audio.
//
// Stopping, and before another file or plug-in is used:
//   CleanUP()              stop playing
//   finish()               release everything, the media file included
// The same object may be used again with Init after CleanUP and finish.
//
// VISUALIZATION PLUG-IN MEMBERS
//   init_plugin(tip, foreColour, backColour, fontName, bold, fontSize,
//               left, top, 0, 0)
//       when the user asks for the full-screen lyric display. Colours are
//       0x00BBGGRR integers (see colourFromBgr), the size is in points, left
//       and top are where the lyric line sits in the main window, in twips
//       (15 per pixel).
//   show_lyric(text)
//       each time a lyric line becomes current. Show it as plain text.
#pragma once

#include <QtGlobal>

// Q_CLASSINFO name under which a plug-in's root object states its class.
#define CANTOREL_CLASS_INFO "Cantorel-Class"
// Interface identifiers for Q_PLUGIN_METADATA.
#define CANTOREL_INPUT_PLUGIN_IID "org.cantorel.InputPlugin/1"
#define CANTOREL_VIS_PLUGIN_IID "org.cantorel.VisPlugin/1"

namespace cantorel::sdk {

// The two channels of a packed volume, each 0..65535.
struct ChannelVolume {
  quint16 left = 0;
  quint16 right = 0;
};

// Reads a packed volume as the player sends it (any numeric type, halves
// possibly signed).
inline ChannelVolume unpackVolume(qint64 packed) {
  const auto bits = static_cast<quint32>(static_cast<quint64>(packed) & 0xFFFFFFFFu);
  return {static_cast<quint16>(bits & 0xFFFFu), static_cast<quint16>(bits >> 16)};
}

// Packs two channels the way GetVolume returns them.
inline qint32 packVolume(ChannelVolume v) {
  return static_cast<qint32>((static_cast<quint32>(v.right) << 16) | v.left);
}

// Red, green and blue (0..255 each) of a 0x00BBGGRR colour.
struct Rgb {
  int red = 0;
  int green = 0;
  int blue = 0;
};
inline Rgb colourFromBgr(qint64 bgr) {
  const auto v = static_cast<quint32>(static_cast<quint64>(bgr) & 0xFFFFFFu);
  return {static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF)};
}

}  // namespace cantorel::sdk
