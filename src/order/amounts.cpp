#include "amounts.h"

#include "core/numbers.h"

#include <cmath>

namespace vorlan {

double lineSum(const QStringList &amounts)
{
    double sum = 0.0;
    for (const QString &amount : amounts)
        sum += parseNumber(amount);
    return sum;
}

bool discountChosen(const QString &discountName)
{
    return !discountName.isEmpty() && discountName != u"无";
}

double orderTotal(double sum, const QString &discountName, const QString &discountAmountText)
{
    return discountChosen(discountName) ? sum - parseNumber(discountAmountText) : sum;
}

bool nothingPaidYet(const QString &paymentMethod)
{
    return paymentMethod.isEmpty() || paymentMethod == u"到付";
}

QString paidText(const QString &paymentMethod, const QString &actuallyPaidText, const QString &totalText)
{
    if (nothingPaidYet(paymentMethod))
        return QString();
    if (std::abs(parseNumber(actuallyPaidText) - parseNumber(totalText)) > 1e-7)
        return actuallyPaidText;
    return totalText;
}

} // namespace vorlan
