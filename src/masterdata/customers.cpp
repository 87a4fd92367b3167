#include "customers.h"

#include "core/datastore.h"

namespace vorlan {

CustomerPage fetchCustomerPage(DataStore &store, const QString &search, int page)
{
    CustomerPage result;
    const QString where = search.isEmpty() ? QString() : QStringLiteral(" where 姓名 = ? or 电话 = ?");
    const QVariantList values = search.isEmpty() ? QVariantList() : QVariantList{search, search};
    result.count = store.scalar(QStringLiteral("select count(*) from 客户") + where, values).toLongLong();
    const PagePlace place = placePage(result.count, page);
    result.pageCount = place.pageCount;
    result.page = place.page;
    result.listed = place.listed;
    if (result.page == 0)
        return result;

    const qint64 first = qint64(result.page - 1) * kCustomerPageSize;
    QVariantList bound = values;
    bound << std::min<qint64>(kCustomerPageSize, result.count - first) << first;
    store.query(QStringLiteral("select ID, 电话, 姓名, 地址 from 客户") + where
                    + QStringLiteral(" order by ID limit ? offset ?"),
                bound);
    while (!store.atEnd()) {
        result.rows.append({store.readValue(0).toLongLong(), store.readText(1), store.readText(2), store.readText(3)});
        store.next();
    }
    store.closeQuery();
    return result;
}

std::optional<StoredCustomer> findCustomer(DataStore &store, const QString &phone)
{
    std::optional<StoredCustomer> found;
    if (store.query(QStringLiteral("select 姓名, 地址 from 客户 where 电话 = ? order by ID limit 1"), {phone})
        && !store.atEnd())
        found = StoredCustomer{store.readText(0), store.readText(1)};
    store.closeQuery();
    return found;
}

bool insertCustomer(DataStore &store, const QString &phone, const QString &name, const QString &address)
{
    return store.execute(QStringLiteral("insert into 客户 (电话,姓名,地址) values (?,?,?)"), {phone, name, address});
}

bool updateCustomer(DataStore &store, const QString &phone, const QString &name, const QString &address)
{
    return store.execute(QStringLiteral("update 客户 set 姓名 = ?, 地址 = ? where 电话 = ?"), {name, address, phone});
}

bool deleteCustomer(DataStore &store, const QString &phone)
{
    return store.execute(QStringLiteral("delete from 客户 where 电话 = ?"), {phone});
}

} // namespace vorlan
