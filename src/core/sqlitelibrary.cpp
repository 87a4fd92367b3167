#include "sqlitelibrary.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

#include <optional>

namespace vorlan {

namespace {

bool g_pretendDiffers = false;

std::optional<bool> &cachedAnswer()
{
    static std::optional<bool> same;
    return same;
}

} // namespace

bool sameSqliteAsDriver(const QSqlDatabase &db)
{
    if (g_pretendDiffers)
        return false;
    std::optional<bool> &same = cachedAnswer();
    if (same)
        return *same;
    if (!db.isOpen() || db.driverName() != QLatin1String("QSQLITE"))
        return false;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("select sqlite_version(), sqlite_source_id()")) || !q.next())
        return false;
    same = q.value(0).toString() == QLatin1String(sqlite3_libversion())
        && q.value(1).toString() == QLatin1String(sqlite3_sourceid());
    return *same;
}

sqlite3 *linkedSqliteHandle(const QSqlDatabase &db)
{
    if (!db.isOpen() || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0 || !sameSqliteAsDriver(db))
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.data());
}

void pretendDriverSqliteDiffers(bool differ) { g_pretendDiffers = differ; }

} // namespace vorlan
