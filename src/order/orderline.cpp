#include "orderline.h"

#include "core/numbers.h"
#include "dishlookup.h"

namespace vorlan {

OrderLine recalcLine(const DishCatalog &catalog, const OrderLine &line, bool amountEdited, int decimalPlaces)
{
    OrderLine result = line;
    double quantity = roundHalfUp(parseNumber(line.quantity), decimalPlaces);
    if (isZero(quantity))
        quantity = 1.0;
    result.quantity = formatDouble(quantity);

    double amount = 0.0;
    const int dish = findDish(catalog, line.name.trimmed());
    if (dish >= 0) {
        result.unit = catalog.units.at(dish);
        amount = parseNumber(catalog.prices.at(dish)) * quantity;
    }
    if (amountEdited)
        amount = parseNumber(line.amount);
    result.amount = formatDouble(roundHalfUp(amount, 1));
    return result;
}

bool canEditLineCell(int column, const QString &name)
{
    if (column == NameColumn)
        return true;
    if (name.trimmed().isEmpty())
        return false;
    return column == QuantityColumn || column == AmountColumn;
}

} // namespace vorlan
