#pragma once

#include "core/orderlinetexts.h"
#include "dishcatalog.h"

#include <QString>

namespace vorlan {

// The four cells of an order line in the grid.
enum LineColumn { NameColumn = 0, QuantityColumn = 1, UnitColumn = 2, AmountColumn = 3, LineColumnCount = 4 };

// Recomputes a line after one of its cells changed. The quantity is rounded to
// `decimalPlaces` (a quantity that rounds to zero, is empty or is not a number becomes 1);
// unit and price come from the first catalog dish with this exact name (an unknown name
// keeps the unit and prices the line at 0). When the operator edited the amount itself
// (`amountEdited`), that amount is kept, rounded to one decimal place.
OrderLine recalcLine(const DishCatalog &catalog, const OrderLine &line, bool amountEdited, int decimalPlaces);

// Whether a grid cell may be edited: the name always; quantity and amount once the line
// has a name; the unit never.
bool canEditLineCell(int column, const QString &name);

} // namespace vorlan
