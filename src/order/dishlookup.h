#pragma once

#include "dishcatalog.h"

#include <QList>
#include <QString>

namespace vorlan {

// The code the operator typed, without the blanks around it (ASCII blanks and the
// full-width blank).
QString trimCodeEntry(const QString &text);

// The catalog indices to list for a typed code, in catalog order: a dish is listed once
// when the text occurs in its numeric code and once more when it occurs in its letter
// code (case-sensitive). Empty text lists nothing.
QList<int> matchDishes(const DishCatalog &catalog, const QString &typed);

// Index of the first dish with exactly this name, or -1.
int findDish(const DishCatalog &catalog, const QString &name);

} // namespace vorlan
