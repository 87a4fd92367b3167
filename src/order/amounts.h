#pragma once

#include <QString>
#include <QStringList>

namespace vorlan {

// Sum of the line amounts; texts that are not numbers (a header, an empty cell) count 0.
double lineSum(const QStringList &amounts);

// A discount applies when its name is neither empty nor "无".
bool discountChosen(const QString &discountName);

// The order total: the line sum minus the discount amount when a discount is chosen.
// Not rounded; a discount above the line sum gives a negative total.
double orderTotal(double sum, const QString &discountName, const QString &discountAmountText);

// Paying on delivery ("到付") or no method chosen: nothing has been paid yet.
bool nothingPaidYet(const QString &paymentMethod);

// What the paid field shows: empty when nothing is paid yet; the amount actually paid
// when the operator typed one that differs from the total; the total otherwise.
QString paidText(const QString &paymentMethod, const QString &actuallyPaidText, const QString &totalText);

} // namespace vorlan
