#pragma once

#include <QStringList>

namespace vorlan {

// The dishes of the shop as loaded from the dish table, in table order. The five lists
// run in parallel: entry i of each belongs to the same dish.
struct DishCatalog {
    QStringList names;   // 品名
    QStringList prices;  // 价格, as stored (text)
    QStringList codes;   // numeric code
    QStringList letters; // letter code
    QStringList units;   // 单位

    int size() const { return int(names.size()); }
    void clear()
    {
        names.clear();
        prices.clear();
        codes.clear();
        letters.clear();
        units.clear();
    }
};

} // namespace vorlan
