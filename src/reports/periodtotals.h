#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QVariantList>

namespace vorlan {

class DataStore;

// One period of a report: [from, to) on an ISO date-time column, and its label.
struct Period {
    QString key; // "2016-02" for a month, "2016-02-03" for a day
    QString from;
    QString to;
};

// The twelve months of a year, the days of a month.
QList<Period> monthsOfYear(int year);
QList<Period> daysOfMonth(int year, int month);

struct PeriodTotal {
    QString key;
    qint64 count = 0;
    double sum = 0;
};

// Counts and sums `valueColumn` of `table` over each period, as ranges on the indexed
// `timeColumn` (no formatting function applied to the column, so the index serves).
// `condition` (may be empty) is an extra clause with its bound values, joined by "and".
// Periods without rows are left out; the rest come in the order of their keys.
// The statement periodTotals runs: one aggregate per period, joined by "union all", each
// with the condition's values and then the period's two bounds.
QString periodTotalsStatement(const QString &table, const QString &timeColumn, const QString &valueColumn,
                              const QString &condition, int periodCount);

QList<PeriodTotal> periodTotals(DataStore &store, const QString &table, const QString &timeColumn,
                                const QString &valueColumn, const QString &condition,
                                const QVariantList &conditionValues, const QList<Period> &periods, bool *ok = nullptr);

} // namespace vorlan
