#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace vorlan {

class DataStore;

// One row of an income report: a day's order (label = its time), or a day or month with
// its order count and income.
struct IncomeRow {
    QString label;
    double income = 0;
    qint64 count = 0;
};

struct IncomeReport {
    QString title;
    qint64 orderCount = 0; // 0 means no orders in the period
    double income = 0;     // shown as read, not rounded
    QList<IncomeRow> rows;
    int missing = 0;       // days of the month or months of the year without orders
};

// The order time of the day report: 2016年5月3日12时30分 (seconds, minutes, hours only
// when not zero, from the smallest part upwards).
QString incomeOrderTime(const QDateTime &time);
QString incomeOrderTime(const QDate &date, const QTime &time);
// Number of days of a month, Gregorian rules.
int daysInMonth(int year, int month);
// An average rounded to one decimal place, as text.
QString incomeAverage(double income, qint64 count);

IncomeReport dayIncome(DataStore &store, const QString &day);
// `month` as the month list shows it, "1" to "12".
IncomeReport monthIncome(DataStore &store, const QString &year, const QString &month);
IncomeReport yearIncome(DataStore &store, const QString &year);

// The chart files: the month line chart into the program folder, the year pies into the
// temporary folder.
bool writeMonthIncomeChart(const IncomeReport &report, const QString &year, const QString &month,
                           const QString &programFolder);
bool writeYearIncomePies(const IncomeReport &report, const QString &year, const QString &temporaryFolder);

} // namespace vorlan
