#include "periodtotals.h"

#include "core/datastore.h"
#include "core/dates.h"

#include <algorithm>

namespace vorlan {

QList<Period> monthsOfYear(int year)
{
    QList<Period> periods;
    for (int month = 1; month <= 12; ++month) {
        const QDate first(year, month, 1);
        periods.append({first.toString(QStringLiteral("yyyy-MM")), dayStartText(first), dayStartText(first.addMonths(1))});
    }
    return periods;
}

QList<Period> daysOfMonth(int year, int month)
{
    QList<Period> periods;
    const QDate first(year, month, 1);
    for (QDate day = first; day.month() == first.month(); day = day.addDays(1))
        periods.append({day.toString(QStringLiteral("yyyy-MM-dd")), dayStartText(day), dayStartText(day.addDays(1))});
    return periods;
}

QString periodTotalsStatement(const QString &table, const QString &timeColumn, const QString &valueColumn,
                              const QString &condition, int periodCount)
{
    // One statement for all periods: one index range per period, one round trip.
    const QString part = QStringLiteral("select %1, count(*), sum(%2) from %3 where %4%5>=? and %5<?");
    const QString where = condition.isEmpty() ? QString() : condition + QStringLiteral(" and ");
    QStringList parts;
    for (int i = 0; i < periodCount; ++i)
        parts.append(part.arg(QString::number(i), valueColumn, table, where, timeColumn));
    return parts.join(QStringLiteral(" union all "));
}

QList<PeriodTotal> periodTotals(DataStore &store, const QString &table, const QString &timeColumn,
                                const QString &valueColumn, const QString &condition,
                                const QVariantList &conditionValues, const QList<Period> &periods, bool *ok)
{
    QList<PeriodTotal> totals;
    if (ok)
        *ok = true;
    if (periods.isEmpty())
        return totals;
    QVariantList values;
    for (const Period &period : periods)
        values << conditionValues << period.from << period.to;
    if (!store.query(periodTotalsStatement(table, timeColumn, valueColumn, condition, static_cast<int>(periods.size())),
                     values)) {
        if (ok)
            *ok = false;
        return totals;
    }
    for (; !store.atEnd(); store.next()) {
        const int index = store.readInt(0);
        const qint64 count = store.readValue(1).toLongLong();
        if (count > 0 && index >= 0 && index < periods.size())
            totals.append({periods.at(index).key, count, store.readDouble(2)});
    }
    store.closeQuery();
    std::sort(totals.begin(), totals.end(), [&](const PeriodTotal &a, const PeriodTotal &b) { return a.key < b.key; });
    return totals;
}

} // namespace vorlan
