#include "orderfields.h"

#include "core/datastore.h"

namespace vorlan {

std::optional<CustomerContact> findCustomerByPhone(DataStore &store, const QString &phone)
{
    std::optional<CustomerContact> found;
    if (store.query(QStringLiteral("select 姓名, 地址 from 客户 where 电话 = ? order by ID"), {phone.trimmed()})
        && !store.atEnd())
        found = CustomerContact{store.readText(0), store.readText(1)};
    store.closeQuery();
    return found;
}

int matchTableCode(const QStringList &tableCodes, const QString &code)
{
    return int(tableCodes.indexOf(code));
}

} // namespace vorlan
