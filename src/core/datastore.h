#pragma once

#include "sqldialect.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

namespace vorlan {

struct DatabaseSetting;

// The program's one database connection with one cursor. Statements carry their values
// as bound parameters ("?" placeholders), never spliced into the text. Opening a query
// closes the one before, so callers read what they need, then issue the next statement.
class DataStore final
{
public:
    explicit DataStore(const QString &connectionName = QStringLiteral("vorlan"));
    ~DataStore();
    DataStore(const DataStore &) = delete;
    DataStore &operator=(const DataStore &) = delete;

    // Opens (creating when missing) the SQLite file in WAL mode with full sync and checks
    // that it really is a database. On failure `error` says why.
    bool open(const QString &path, QString *error = nullptr);
    // Connects to the PostgreSQL server of the setting.
    bool openServer(const DatabaseSetting &server, QString *error = nullptr);
    bool isOpen() const;
    SqlEngine engine() const { return m_engine; }
    void close();

    bool execute(const QString &sql, const QVariantList &values = {});
    // Opens the cursor; it stands on the first row (atEnd() when there is none).
    bool query(const QString &sql, const QVariantList &values = {});

    bool atEnd() const;
    void next();
    void closeQuery();
    // Moves forward from the current row to the first row whose column equals value.
    bool find(const QString &column, const QVariant &value);

    QVariant readValue(int column) const;
    QVariant readValue(const QString &column) const;
    QString readText(int column) const;
    QString readText(const QString &column) const;
    int readInt(int column) const;
    int readInt(const QString &column) const;
    double readDouble(int column) const;
    double readDouble(const QString &column) const;
    float readSingle(int column) const;
    float readSingle(const QString &column) const;
    QDateTime readDateTime(int column) const;
    QDateTime readDateTime(const QString &column) const;

    // Runs an insert into a table with an ID column and gives the new row's ID.
    std::optional<qint64> insertReturningId(const QString &insert, const QVariantList &values);

    // Single-value shortcuts: column 0 of the first row (empty/0 when there is none);
    // the cursor is closed afterwards.
    QVariant scalar(const QString &sql, const QVariantList &values = {});

    bool transaction();
    bool commit();
    bool rollback();

    QString lastError() const { return m_lastError; }
    QSqlDatabase database() const;

private:
    QString m_connectionName;
    std::unique_ptr<QSqlQuery> m_cursor;
    bool m_atEnd = true;
    SqlEngine m_engine = SqlEngine::Sqlite;
    QString m_lastError;
};

// Runs `work` inside one transaction: commits when it returns true, rolls back otherwise.
template<typename Work>
bool inTransaction(DataStore &store, Work &&work)
{
    if (!store.transaction())
        return false;
    if (!work()) {
        store.rollback();
        return false;
    }
    if (!store.commit()) {
        store.rollback();
        return false;
    }
    return true;
}

} // namespace vorlan
