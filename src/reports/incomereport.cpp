#include "incomereport.h"

#include "chartfiles.h"
#include "periodtotals.h"

#include "core/datastore.h"
#include "core/dates.h"
#include "core/numbers.h"

#include <cmath>

namespace vorlan {

namespace {

// Count and income of the orders in [from, to), or (from, to) for a day.
void readTotals(DataStore &store, IncomeReport &report, const QString &condition, const QVariantList &values)
{
    if (store.query(QStringLiteral("select count(*), sum(实付) from 存单 where ") + condition, values)) {
        report.orderCount = store.readValue(0).toLongLong();
        report.income = store.readDouble(1);
    }
    store.closeQuery();
}

// One row per period with orders; the report's totals are the sums of its rows, so the
// orders are read once.
void addPeriodRows(DataStore &store, IncomeReport &report, const QList<Period> &periods)
{
    for (const PeriodTotal &t : periodTotals(store, QStringLiteral("存单"), QStringLiteral("时间"), QStringLiteral("实付"),
                                             QString(), {}, periods)) {
        report.rows.append({t.key, t.sum, t.count});
        report.orderCount += t.count;
        report.income += t.sum;
    }
}

bool validYear(const QString &text, int *year)
{
    bool ok = false;
    *year = text.toInt(&ok);
    return ok && *year >= 1 && *year <= 9998;
}

} // namespace

QString incomeOrderTime(const QDateTime &time) { return incomeOrderTime(time.date(), time.time()); }

QString incomeOrderTime(const QDate &date, const QTime &t)
{
    QString text = chineseDate(date);
    // Built by appending: the day report writes one for every order of the day.
    const int parts = t.second() != 0 ? 3 : t.minute() != 0 ? 2 : t.hour() != 0 ? 1 : 0;
    const int values[] = {t.hour(), t.minute(), t.second()};
    const char16_t units[] = {u'时', u'分', u'秒'};
    for (int i = 0; i < parts; ++i) {
        text += QString::number(values[i]);
        text += QChar(units[i]);
    }
    return text;
}

int daysInMonth(int year, int month) { return QDate(year, month, 1).daysInMonth(); }

QString incomeAverage(double income, qint64 count)
{
    return count == 0 ? QStringLiteral("0") : formatDouble(roundHalfUp(income / static_cast<double>(count), 1));
}

IncomeReport dayIncome(DataStore &store, const QString &day)
{
    IncomeReport report;
    report.title = day + QStringLiteral(" 点单报表");
    const std::optional<QDate> date = parseChineseDate(day);
    if (!date)
        return report;
    const TimeRange range = dayRange(*date);
    const QString condition = QStringLiteral("时间>? and 时间<?");
    readTotals(store, report, condition, {range.from, range.to});
    if (report.orderCount == 0)
        return report;
    if (store.query(QStringLiteral("select 时间, 实付 from 存单 where ") + condition + QStringLiteral(" order by 时间, ID"),
                    {range.from, range.to})) {
        for (; !store.atEnd(); store.next()) {
            const auto time = isoDateAndTime(store.readText(0));
            report.rows.append({time ? incomeOrderTime(time->first, time->second) : incomeOrderTime(QDateTime()),
                                store.readDouble(1), 1});
        }
    }
    store.closeQuery();
    return report;
}

IncomeReport monthIncome(DataStore &store, const QString &year, const QString &month)
{
    IncomeReport report;
    report.title = year + QStringLiteral("年") + month + QStringLiteral("月 月报表");
    int y = 0;
    bool isMonth = false;
    const int m = month.toInt(&isMonth);
    if (!validYear(year, &y) || !isMonth || m < 1 || m > 12)
        return report;
    addPeriodRows(store, report, daysOfMonth(y, m));
    report.missing = daysInMonth(y, m) - static_cast<int>(report.rows.size());
    return report;
}

IncomeReport yearIncome(DataStore &store, const QString &year)
{
    IncomeReport report;
    report.title = year + QStringLiteral("年 年报表");
    int y = 0;
    if (!validYear(year, &y))
        return report;
    addPeriodRows(store, report, monthsOfYear(y));
    report.missing = 12 - static_cast<int>(report.rows.size());
    return report;
}

bool writeMonthIncomeChart(const IncomeReport &report, const QString &year, const QString &month,
                           const QString &programFolder)
{
    LineChartScale scale;
    QStringList periods, incomes, counts;
    for (const IncomeRow &row : report.rows) {
        scale.add(row.income, static_cast<double>(row.count));
        periods.append(row.label.right(2) + QStringLiteral("日"));
        incomes.append(formatDouble(row.income));
        counts.append(QString::number(row.count));
    }
    LineChartDocument document;
    document.configure(reportLineChartConfig(scale.maximum()));
    addReportTitleAndSeries(document, year + QStringLiteral("年") + month + QStringLiteral("月份 参考数据"),
                            QStringLiteral("月实付总额"), QStringLiteral("月点单数量"));
    document.setPeriods(periods);
    document.addValues(incomes);
    document.addValues(counts);
    document.addValues({});
    return document.save(programFolder);
}

bool writeYearIncomePies(const IncomeReport &report, const QString &year, const QString &temporaryFolder)
{
    QStringList names;
    QList<double> incomes;
    QList<qint64> counts;
    for (const IncomeRow &row : report.rows) {
        names.append(row.label.right(2) + QStringLiteral("月"));
        incomes.append(row.income);
        counts.append(row.count);
    }
    return writePieData(temporaryFolder, yearIncomePieData(year, names, incomes, counts));
}

} // namespace vorlan
