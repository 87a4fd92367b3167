#pragma once

#include <QString>

namespace vorlan {

// One order line as the operator sees it: the texts of the grid's four cells. The order
// window, the stored order read back for modification and the receipt all pass lines in
// this one form.
struct OrderLine {
    QString name;
    QString quantity;
    QString unit;
    QString amount;

    friend bool operator==(const OrderLine &, const OrderLine &) = default;
};

} // namespace vorlan
