#include "dishcatalog.h"

#include "core/datastore.h"
#include "core/numbers.h"

namespace vorlan {

DishCatalog readDishCatalog(DataStore &store)
{
    DishCatalog catalog;
    store.query(QStringLiteral("select 菜名, 价格, 代码, 字母, 单位 from 菜单 order by ID"));
    while (!store.atEnd()) {
        catalog.append(store.readText(0), formatSingle(store.readSingle(1)), store.readText(2), store.readText(3),
                       store.readText(4));
        store.next();
    }
    store.closeQuery();
    return catalog;
}

} // namespace vorlan
