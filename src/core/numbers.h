#pragma once

#include <QString>

namespace vorlan {

// Reads a number the way the operator types it: full-width digits, signs and point are
// taken as their ASCII forms, leading blanks are skipped and the longest decimal prefix
// is used ("12abc" is 12); a text without one gives 0.
double parseNumber(const QString &text);

// Shortest forms used everywhere on screen and in SQL: doubles as "%.13g", single
// precision values as "%.6g" (31, 12.5, 0.3). Negative zero is written as 0.
QString formatDouble(double value);
QString formatSingle(float value);

// A value whose magnitude is at most 1e-7 counts as zero.
bool isZero(double value);

// Rounds half away from zero to `places` decimals (negative places round to tens, …).
double roundHalfUp(double value, int places);

// The value as a single-precision column keeps it.
inline double toSingle(double value) { return static_cast<double>(static_cast<float>(value)); }

} // namespace vorlan
