#pragma once

#include <QString>

namespace vorlan {

// The two database engines the program runs on: the embedded SQLite file (the default)
// and a PostgreSQL server shared by several tills.
enum class SqlEngine { Sqlite, Postgres };

// Everything that is written differently for the two engines. The program's statements
// are written once, in SQLite's words; what PostgreSQL says otherwise comes from here.
namespace sqldialect {

QString driverName(SqlEngine engine);

// A table definition as SQLite takes it, in the other engine's words. PostgreSQL keeps
// SQLite's meaning: texts of any length, money and quantities as double precision (a
// DECIMAL(18,0) column would round them), times as the ISO texts the program writes, a
// flag as 0/1.
QString tableDefinition(SqlEngine engine, const QString &sqliteDefinition);

// Counts the tables of the program's own (none: a new, empty database).
QString tableCountQuery(SqlEngine engine);

// Names and declared types of the columns of table "?", one row each.
QString columnsQuery(SqlEngine engine);

// True when a declared type as columnsQuery gives it is a double.
bool isDoubleType(SqlEngine engine, const QString &type);

// An insert that answers the new row's ID as its only row (PostgreSQL), or the query that
// asks for it right after the insert (SQLite).
QString insertReturningId(SqlEngine engine, const QString &insert);
QString lastInsertIdQuery(SqlEngine engine);

// A column giving the rows of a table without an ID in their stored order.
QString rowOrder(SqlEngine engine);

// True when forward-only queries on one connection may be read in turn; the server's
// must each be read to the end before the next one starts.
bool interleavedForwardQueries(SqlEngine engine);

// What only a database file has: the program's copies of it, the summary kept by
// triggers, reading it directly with the SQLite library.
bool isFile(SqlEngine engine);

// Told when a part that works on the file only is asked for on the server.
QString fileOnlyMessage(const QString &what);

} // namespace sqldialect
} // namespace vorlan
