#pragma once

#include <QStringList>

namespace vorlan {

class DataStore;

// The dishes of the shop as loaded from the dish table, in table order. The five lists
// run in parallel: entry i of each belongs to the same dish.
struct DishCatalog {
    QStringList names;   // 菜名
    QStringList prices;  // 价格 as text in its shortest form (15.5, 18)
    QStringList codes;   // 代码, the numeric code
    QStringList letters; // 字母, the letter code
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
    void append(const QString &name, const QString &price, const QString &code, const QString &letter,
                const QString &unit)
    {
        names.append(name);
        prices.append(price);
        codes.append(code);
        letters.append(letter);
        units.append(unit);
    }
};

// Reads the whole dish table in stored order; the price is kept as a single-precision
// number written in its shortest form.
DishCatalog readDishCatalog(DataStore &store);

} // namespace vorlan
