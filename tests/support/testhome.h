#pragma once

#include "core/appcontext.h"
#include "core/databasesetting.h"
#include "core/datastore.h"
#include "core/schema.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace vorlan {

// The database the tests run on: the SQLite file, or the PostgreSQL server that
// VORLAN_TEST_DATABASE names (the tests labelled "postgresql").
inline DatabaseSetting testDatabase()
{
    const QString url = qEnvironmentVariable("VORLAN_TEST_DATABASE");
    if (url.isEmpty())
        return {};
    const auto setting = parseDatabaseSetting(url);
    if (const auto *refused = std::get_if<QString>(&setting))
        qFatal("VORLAN_TEST_DATABASE: %s", qPrintable(*refused));
    return std::get<DatabaseSetting>(setting);
}

inline bool testsOnServer() { return testDatabase().engine != SqlEngine::Sqlite; }

// A fresh program folder with an opened database, as start-up leaves it. On a server the
// database is emptied first, so each test starts as a first start on a new server.
struct TestHome {
    QTemporaryDir dir;
    ProgramPaths paths{dir.path()};
    DatabaseSetting database = testDatabase();
    std::unique_ptr<DataStore> store;
    OpenedStore opened;

    explicit TestHome(bool openStore = true)
    {
        if (database.engine != SqlEngine::Sqlite)
            emptyServer();
        if (openStore)
            reopen();
    }

    bool reopen()
    {
        store.reset();
        store = std::make_unique<DataStore>(QStringLiteral("test-%1").arg(reinterpret_cast<quintptr>(this)));
        opened = openDataStore(*store, paths.dataDir(), paths.databasePath(), paths.configPath(), database);
        return opened.ok;
    }

private:
    void emptyServer()
    {
        DataStore server(QStringLiteral("test-empty-%1").arg(reinterpret_cast<quintptr>(this)));
        QString error;
        if (!server.openServer(database, &error) || !server.execute(QStringLiteral("set client_min_messages to warning"))
            || !server.execute(QStringLiteral("drop schema public cascade"))
            || !server.execute(QStringLiteral("create schema public")))
            qFatal("cannot empty the test server: %s", qPrintable(error + server.lastError()));
    }
};

// Makes every insert into `table` whose `column` equals `value` fail with "disk full", as
// a broken table would.
inline bool breakInserts(DataStore &store, const QString &table, const QString &column, const QString &value)
{
    if (store.engine() == SqlEngine::Sqlite)
        return store.execute(QStringLiteral("create trigger 坏行 before insert on %1 when new.%2='%3' "
                                            "begin select raise(abort, 'disk full'); end")
                                 .arg(table, column, value));
    return store.execute(QStringLiteral("create function 坏行() returns trigger language plpgsql as $$ begin "
                                        "if new.%1='%2' then raise exception 'disk full'; end if; return new; end $$")
                             .arg(column, value))
        && store.execute(QStringLiteral("create trigger 坏行 before insert on %1 for each row execute function 坏行()")
                             .arg(table));
}

#define SKIP_ON_SERVER()                                                                                               \
    if (testsOnServer())                                                                                               \
    QSKIP("the SQLite file only")

} // namespace vorlan
