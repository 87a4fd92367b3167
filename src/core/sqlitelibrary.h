#pragma once

struct sqlite3;
class QSqlDatabase;

namespace vorlan {

// Qt's SQLite driver may carry its own copy of SQLite. Its connection handle may only be
// handed to the SQLite this program links when both are the same library: same version
// and same source. The answer is worked out once per process, on the first open
// connection asked about (opening the database asks).
bool sameSqliteAsDriver(const QSqlDatabase &db);

// The driver's connection handle for the linked SQLite, or nullptr when the connection
// is not an open SQLite one or the libraries differ: callers then work through Qt.
sqlite3 *linkedSqliteHandle(const QSqlDatabase &db);

// For tests: makes sameSqliteAsDriver answer false, as with a driver of its own SQLite.
void pretendDriverSqliteDiffers(bool differ);

} // namespace vorlan
