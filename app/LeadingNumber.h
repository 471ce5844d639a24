#pragma once
// How the program reads a number that the user typed into a box: the number
// at the start of the text, the rest ignored.

#include <QString>

// Blanks, tabs and line feeds anywhere in the text are skipped; then an
// optional sign, digits with at most one "." and an optional exponent ("E" or
// "D" in either case, an optional sign, digits), or "&H" and hexadecimal
// digits, or "&O" and octal digits, are read up to the first character that
// does not fit. A text with no number reads 0. The decimal point is always
// ".", whatever the regional settings. An exponent too large for a double
// gives an infinity of the number's sign (a tiny one gives 0).
double leadingNumber(const QString& text);

// The decimal form that a size box shows after its number has been read: at
// most 15 significant digits, no trailing zeros after the point (20 -> "20",
// 20.5 -> "20.5"); no exponent for values from 1E-4 up to below 1E15.
QString numberText(double value);
