#pragma once

#include <QString>

namespace vorlan {

class DataStore;

// Adds the records of 记录 that are missing (print profile, last choices, picture flags,
// copies), carrying the extra receipt lines over from the older settings-file keys TX,
// DHH and QQ. Each group is created only when its own key is missing.
void createDefaultRecords(DataStore &store, const QString &configPath);

} // namespace vorlan
