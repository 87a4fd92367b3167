#include "lastselections.h"

#include "core/datastore.h"
#include "core/recordkeys.h"
#include "core/recordtable.h"

namespace vorlan {

LastSelections readLastSelections(DataStore &store)
{
    using namespace recordkey;
    RecordTable records(store);
    return {records.read(Header),           records.read(ShopName),       records.read(Discount),
            records.read(DiscountPortions), records.read(DiscountAmount), records.read(PaymentMethod)};
}

bool saveLastSelections(DataStore &store, const LastSelections &s)
{
    using namespace recordkey;
    RecordTable records(store);
    return inTransaction(store, [&] {
        return records.write(Header, s.header) && records.write(ShopName, s.shopName)
            && records.write(Discount, s.discount) && records.write(DiscountPortions, s.discountPortions)
            && records.write(DiscountAmount, s.discountAmount) && records.write(PaymentMethod, s.paymentMethod);
    });
}

TableList readTableList(DataStore &store)
{
    TableList list;
    store.query(QStringLiteral("select 代号, 桌号名称 from 桌号 order by ID"));
    while (!store.atEnd()) {
        list.codes.append(store.readText(0));
        list.names.append(store.readText(1));
        store.next();
    }
    store.closeQuery();
    return list;
}

} // namespace vorlan
