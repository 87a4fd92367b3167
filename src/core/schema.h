#pragma once

#include "databasesetting.h"

#include <QString>

namespace vorlan {

class DataStore;

// The program's version, from the CMake project version.
inline constexpr auto kVersionText = VORLAN_VERSION;

// Creates the tables as the first released layout had them and fills them with the
// starter catalog, name lists and tables. Used for a new, empty database file.
bool createTemplateDatabase(DataStore &store);

// Brings any database to the current layout, in one transaction, each step decided by
// the schema as it is: adds 存单.备注 when missing, rebuilds 存单 when 已付 or 实付 is not
// yet DOUBLE and 存单详单 when 数量 is not, ensures the indexes, drops what is left of a
// partial order summary. A database already in the current layout is not touched,
// whatever version last opened it. Returns false (and
// leaves the file as it was) when a step fails.
bool upgradeSchema(DataStore &store);

struct OpenedStore {
    bool ok = false;
    QString error;       // why the store could not be opened
    int decimalPlaces = 0;
};

// The whole opening sequence: data folder, template, connection, upgrade, default
// records (reading the older keys from `configPath`), decimal places. The database is the
// file at `databasePath` unless `database` names a server.
OpenedStore openDataStore(DataStore &store, const QString &dataDir, const QString &databasePath,
                          const QString &configPath, const DatabaseSetting &database = {});

} // namespace vorlan
