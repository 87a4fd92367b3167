#include "periodtotals.h"

#include "core/datastore.h"
#include "core/dates.h"

namespace vorlan {

namespace {

QString midnight(const QDate &day) { return isoDateTime(QDateTime(day, QTime(0, 0))); }

} // namespace

QList<Period> monthsOfYear(int year)
{
    QList<Period> periods;
    for (int month = 1; month <= 12; ++month) {
        const QDate first(year, month, 1);
        periods.append({first.toString(QStringLiteral("yyyy-MM")), midnight(first), midnight(first.addMonths(1))});
    }
    return periods;
}

QList<Period> daysOfMonth(int year, int month)
{
    QList<Period> periods;
    const QDate first(year, month, 1);
    for (QDate day = first; day.month() == first.month(); day = day.addDays(1))
        periods.append({day.toString(QStringLiteral("yyyy-MM-dd")), midnight(day), midnight(day.addDays(1))});
    return periods;
}

QList<PeriodTotal> periodTotals(DataStore &store, const QString &table, const QString &timeColumn,
                                const QString &valueColumn, const QString &condition,
                                const QVariantList &conditionValues, const QList<Period> &periods, bool *ok)
{
    const QString sql = QStringLiteral("select count(*), sum(%1) from %2 where %3%4>=? and %4<?")
                            .arg(valueColumn, table, condition.isEmpty() ? QString() : condition + QStringLiteral(" and "),
                                 timeColumn);
    QList<PeriodTotal> totals;
    bool allRan = true;
    for (const Period &period : periods) {
        QVariantList values = conditionValues;
        values << period.from << period.to;
        if (!store.query(sql, values)) {
            allRan = false;
            break;
        }
        const qint64 count = store.readValue(0).toLongLong();
        const double sum = store.readDouble(1);
        store.closeQuery();
        if (count > 0)
            totals.append({period.key, count, sum});
    }
    if (ok)
        *ok = allRan;
    return totals;
}

} // namespace vorlan
