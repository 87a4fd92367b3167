#include "recordtable.h"

#include "datastore.h"

namespace vorlan {

QString RecordTable::read(const QString &key, const QString &fallback)
{
    const auto statement = [](SqlEngine engine) {
        return QStringLiteral("select 记录信息 from 记录 where 记录内容=? order by %1 limit 1").arg(sqldialect::rowOrder(engine));
    };
    static const QString kRead[] = {statement(SqlEngine::Sqlite), statement(SqlEngine::Postgres)};
    const QString value = m_store.scalar(kRead[m_store.engine() == SqlEngine::Sqlite ? 0 : 1], {key}).toString();
    return value.isEmpty() ? fallback : value;
}

bool RecordTable::exists(const QString &key)
{
    return m_store.scalar(QStringLiteral("select count(*) from 记录 where 记录内容=?"), {key}).toInt() > 0;
}

bool RecordTable::update(const QString &key, const QString &value)
{
    return m_store.execute(QStringLiteral("update 记录 set 记录信息=? where 记录内容=?"), {value, key});
}

bool RecordTable::insert(const QString &key, const QString &value)
{
    return m_store.execute(QStringLiteral("insert into 记录 (记录内容,记录信息) values (?,?)"), {key, value});
}

bool RecordTable::write(const QString &key, const QString &value)
{
    return exists(key) ? update(key, value) : insert(key, value);
}

} // namespace vorlan
