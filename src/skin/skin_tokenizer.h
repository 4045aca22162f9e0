#pragma once

#include <QString>

namespace cantorel {

// Reads a skin control file as a stream of fields. A field ends at a comma or
// at a line end; blanks before it are skipped; a field that starts with a
// double quote runs to the next double quote, and what follows the closing
// quote up to the comma or line end is dropped. Line ends mean nothing else,
// so a command's fields may run over several lines.
class SkinTokenizer {
 public:
  explicit SkinTokenizer(QString text) : text_(std::move(text)) {}

  bool atEnd() const { return pos_ >= text_.size(); }
  // The next field; the empty text at the end of the file.
  QString field();
  // The next field read as a decimal integer: leading sign and digits, 0 when
  // it holds no number, clamped to the 32-bit range.
  qint32 number();
  // The rest of the current line without its line end, which is consumed.
  // Empty when the last field ended its line.
  QString restOfLine();
  // 1-based line of the next character.
  int line() const { return line_; }
  // Whether the last field ended at a line end (or the end of the file).
  bool lastEndedLine() const { return lastEndedLine_; }

  // A field's text read as a number, the same way as number().
  static qint32 toNumber(const QString &field);

 private:
  void skipLineEnd();

  QString text_;
  qsizetype pos_ = 0;
  int line_ = 1;
  bool lastEndedLine_ = false;
};

}  // namespace cantorel
