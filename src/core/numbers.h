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

// The text that shows a stored number again: the shortest of the two forms above that
// gives back exactly the stored value. Values written by the program come back as
// typed; a value an older version wrote through single precision (15.300000190734863)
// shows as the operator typed it (15.3).
QString formatStoredNumber(double value);

// A value whose magnitude is at most 1e-7 counts as zero.
bool isZero(double value);

// Rounds half away from zero to `places` decimals (negative places round to tens, …).
double roundHalfUp(double value, int places);

// The value as a single-precision column keeps it.
inline double toSingle(double value) { return static_cast<double>(static_cast<float>(value)); }

} // namespace vorlan
