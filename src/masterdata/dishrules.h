#pragma once

#include <QString>

namespace vorlan {

class DataStore;

// Trims the blanks an operator leaves around a field: the ASCII blank and the full-width
// blank (U+3000), nothing else.
QString trimBlanks(const QString &text);

// One item of the catalog as the entry windows read it.
struct DishFields {
    QString code;    // 代码, numeric code
    QString letters; // 字母, letter code
    QString name;    // 菜名, the key by which an item is modified
    double price = 0;
    QString unit; // 单位
};

// Reads the entry fields: code, letters and name trimmed of blanks, the price parsed
// (text that is no number gives 0) and rounded half up to one decimal, the unit as shown.
DishFields readDishFields(const QString &code, const QString &letters, const QString &name,
                          const QString &priceText, const QString &unit);

// The first rule an item breaks, in the order the operator is told; empty when none.
// Empty code, empty name, a price not above zero after rounding, no unit.
QString dishFieldsProblem(const DishFields &fields);

// A price as the list shows it: 12.5, or 8 for a whole number; a price an older version
// stored through single precision shows as it was typed.
QString dishPriceText(double price);

// The catalog's statements, values bound. Each returns false when the database refused.
bool insertDish(DataStore &store, const DishFields &fields);
// Rewrites code, letters, unit and price of the items with this name.
bool updateDishByName(DataStore &store, const DishFields &fields);
bool deleteDish(DataStore &store, const QString &code, const QString &name);

} // namespace vorlan
