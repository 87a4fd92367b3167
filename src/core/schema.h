#pragma once

#include <QString>

namespace vorlan {

class DataStore;

inline constexpr auto kVersionText = "3.51";

// Creates the tables as the first released layout had them and fills them with the
// starter catalog, name lists and tables. Used for a new, empty database file.
bool createTemplateDatabase(DataStore &store);

// Brings any database to the current layout: adds 存单.备注 when missing and, once per
// version (record 数据库版本), widens 数量, 实付, 已付 to double. Indexes are ensured.
// Returns false (and leaves the file as it was) when a step fails.
bool upgradeSchema(DataStore &store);

struct OpenedStore {
    bool ok = false;
    QString error;       // why the store could not be opened
    int decimalPlaces = 0;
};

// The whole opening sequence: data folder, template, connection, upgrade, default
// records (reading the older keys from `configPath`), decimal places.
OpenedStore openDataStore(DataStore &store, const QString &dataDir, const QString &databasePath,
                          const QString &configPath);

} // namespace vorlan
