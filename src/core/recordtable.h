#pragma once

#include <QString>

namespace vorlan {

class DataStore;

// The key/value table 记录: the operator's last choices, preferences, the print profile
// and the database version.
class RecordTable final
{
public:
    explicit RecordTable(DataStore &store) : m_store(store) {}

    // The stored value, or `fallback` when the key is missing or its value is empty.
    QString read(const QString &key, const QString &fallback = {});
    bool exists(const QString &key);
    bool update(const QString &key, const QString &value);
    bool insert(const QString &key, const QString &value);
    // update when the key exists, insert otherwise.
    bool write(const QString &key, const QString &value);

private:
    DataStore &m_store;
};

} // namespace vorlan
