#pragma once

#include <QString>

namespace vorlan {

class DataStore;

// Adds every record of 记录 that is missing (print profile, last choices, picture flags,
// copies), each key on its own, carrying the extra receipt lines over from the older
// settings-file keys TX, DHH and QQ. One transaction: false (with the store's error)
// adds nothing.
bool createDefaultRecords(DataStore &store, const QString &configPath);

} // namespace vorlan
