#pragma once

#include <QString>
#include <QStringView>

namespace cantorel {

// The number a text starts with: leading blanks and tabs skipped, an optional
// sign, digits with an optional fraction and exponent. Text without leading
// digits reads as 0; "12abc" reads as 12.
double leadingNumber(QStringView text);

// leadingNumber rounded half-to-even and clamped into the type's range.
qint16 toInt16(QStringView text);
qint32 toInt32(QStringView text);

// Stored forms of integers: "spaced" puts a blank before non-negative values
// (" 1", " 0", "-1"); "plain" is the bare decimal ("1", "-1").
QString spacedInt(int value);
QString plainInt(int value);

// A single-precision number as plain decimal text ("1500", "-15", "12.5").
QString singleText(float value);

}  // namespace cantorel
