// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Number reading and writing in the forms the settings file, the command line and the
// entry fields use. No widgets here.

#include <QString>
#include <optional>

namespace numbertext {

// The number at the start of a text, blanks anywhere ignored; "&H" / "&O" prefixes read
// hexadecimal / octal. A text that does not start with a number gives 0.
double leadingNumber(const QString &text);

// A whole text converted to a 16-bit signed integer (decimal, optionally with a fraction
// or exponent, or "&H" hexadecimal); halves go to the even neighbour. nullopt when the
// text is not a number or is out of range.
std::optional<qint16> toInt16(const QString &text);

// Round half to even, as the settings and port conversions do.
double roundHalfEven(double v);

// Upper-case hexadecimal without leading zeros, padded on the left with blanks to width.
QString hexPadded(int value, int width);

// Upper-case hexadecimal padded on the left with zeros to `digits`.
QString hex(int value, int digits);
// A word as four such digits ("3FF1"); a negative word counts as its 16 bits.
QString hexWord(int value);

}  // namespace numbertext
