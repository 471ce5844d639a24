#pragma once
// The three ways the results text writes a number. All of them write a point
// as the decimal separator whatever the locale, so a saved results file reads
// the same everywhere.

#include <QString>

// Rounded to 4 decimals (a value exactly halfway goes to the even last digit),
// then the shortest plain form: no trailing zeros, no point for a whole
// number, a 0 before the point below 1. 0.03124 -> "0.0312", 0.5 -> "0.5", 1 -> "1".
QString PValueForm(double value);

// Exactly three decimals and at least one digit before the point:
// 0.0516 -> "0.052", 0.25 -> "0.250", 1 -> "1.000".
QString ThreeDecimalForm(double value);

// The value times 100 with exactly one decimal, then "%":
// 0.153 -> "15.3%", 1 -> "100.0%", 0 -> "0.0%".
QString PercentForm(double value);
