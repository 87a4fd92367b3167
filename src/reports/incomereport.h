#pragma once

#include "chartdata.h"

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

// The second view of a period: its orders per receipt header (the ordering platform)
// and per payment method. An order without a header or method counts under "(无)".
struct IncomeShare {
    QString name;
    double income = 0;
    qint64 count = 0;
};

struct IncomeBreakdown {
    QString title;
    qint64 orderCount = 0;
    double income = 0; // the sum of the groups: the main table's total to the cent
    QList<IncomeShare> headers;  // by income, largest first
    QList<IncomeShare> payments; // likewise
};

inline const QString kNoShareName = QStringLiteral("(无)");

// The same orders as dayIncome, monthIncome and yearIncome count.
IncomeBreakdown dayIncomeBreakdown(DataStore &store, const QString &day);
IncomeBreakdown monthIncomeBreakdown(DataStore &store, const QString &year, const QString &month);
IncomeBreakdown yearIncomeBreakdown(DataStore &store, const QString &year);

// "37.5%": one decimal place; a whole of zero gives "0.0%".
QString sharePercent(double part, double whole);

// The two pies of the breakdown (income per header, income per payment method), drawn
// from memory: no chart file is written for them.
PieChartData incomeBreakdownPies(const IncomeBreakdown &breakdown);

} // namespace vorlan
