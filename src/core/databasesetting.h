#pragma once

#include "sqldialect.h"

#include <QString>

#include <variant>

namespace vorlan {

// The database a till works on: the SQLite file in its data folder, or a PostgreSQL server
// given by libpq's URL, postgresql://user@host:port/dbname. A password is never kept:
// libpq's password file or the server's own rules let the till in.
struct DatabaseSetting {
    SqlEngine engine = SqlEngine::Sqlite;
    QString url; // as given; empty for the file
    QString host, user, databaseName, options;
    int port = 5432;
};

// Reads "sqlite" or a server URL; anything else (or a URL carrying a password) gives the
// reason it is refused.
std::variant<DatabaseSetting, QString> parseDatabaseSetting(const QString &text);

// The setting kept in the program folder, so a till started without one works on the same
// database. No file means the SQLite file.
std::variant<DatabaseSetting, QString> readDatabaseSetting(const QString &path);
// Keeps a server URL, or removes the file for SQLite. False (with `error`) when it failed.
bool writeDatabaseSetting(const QString &path, const DatabaseSetting &setting, QString *error);

} // namespace vorlan
