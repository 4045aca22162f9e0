#pragma once

#include <QString>
#include <QStringList>

#include <array>

#include "core/general.h"

namespace cantorel {

// Result of reading a language file.
struct LanguageLoad {
  bool found = false;     // a file for the language exists
  int linesRead = 0;      // texts stored (at most 300)
  bool truncated = false; // the file had lines past 300; they were ignored
  QString file;           // the file read
  bool fellBack = false;  // the language's file was missing or unreadable; English was read
};

// The language read when the chosen one has no readable file.
inline const QString kFallbackLanguage = QStringLiteral("ENGLISH");

// The file name of a language: "messages_" + name + ".txt".
QString languageFileName(const QString &language);

// Finds the language file in the given folders (first folder first), matching
// the name without regard to letter case, since listed names are upper case.
QString findLanguageFile(const QStringList &folders, const QString &language);

// Reads the language file into the message table: line n is text n. Texts the
// file does not reach keep their value; lines past 300 are ignored. A missing,
// unreadable or empty file is replaced by the English one, with one warning;
// when that fails too the table is left as it was. The text is decoded by the
// common rule (byte-order mark, UTF-8, else Windows-1252).
LanguageLoad LoadLanguage(const QStringList &folders, const QString &language,
                          std::array<QString, General::kMessageCount> &messages);
// The same, from the bytes of a file (used by the loader and the fuzz target).
int loadLanguageBytes(const QByteArray &bytes, std::array<QString, General::kMessageCount> &messages,
                      bool *truncated = nullptr);

// Language names found in the folders: the part of each "messages_*.txt" name
// between "messages_" and ".txt", upper case, each once.
QStringList ListLanguages(const QStringList &folders);

}  // namespace cantorel
