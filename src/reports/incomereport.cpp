#include "incomereport.h"

#include "chartfiles.h"
#include "periodtotals.h"

#include "core/datastore.h"
#include "core/dates.h"
#include "core/numbers.h"

#include <QMap>

#include <algorithm>
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

QString shareName(const QString &stored)
{
    const QString name = stored.trimmed();
    return name.isEmpty() ? kNoShareName : name;
}

QList<IncomeShare> sortedShares(const QMap<QString, IncomeShare> &groups)
{
    QList<IncomeShare> shares = groups.values();
    std::stable_sort(shares.begin(), shares.end(), [](const IncomeShare &a, const IncomeShare &b) {
        if (a.income != b.income)
            return a.income > b.income;
        return a.count > b.count;
    });
    return shares;
}

// The orders matching `condition`, grouped by header and by payment method in one pass.
void readBreakdown(DataStore &store, IncomeBreakdown &breakdown, const QString &condition, const QVariantList &values)
{
    QMap<QString, IncomeShare> headers, payments;
    if (store.query(QStringLiteral("select 票头, 支付方式, count(*), sum(实付) from 存单 where ") + condition
                        + QStringLiteral(" group by 票头, 支付方式"),
                    values))
        for (; !store.atEnd(); store.next()) {
            const qint64 count = store.readValue(2).toLongLong();
            const double income = store.readDouble(3);
            for (auto [groups, name] : {std::pair{&headers, shareName(store.readText(0))},
                                        std::pair{&payments, shareName(store.readText(1))}}) {
                IncomeShare &share = (*groups)[name];
                share.name = name;
                share.count += count;
                share.income += income;
            }
            breakdown.orderCount += count;
            breakdown.income += income;
        }
    store.closeQuery();
    breakdown.headers = sortedShares(headers);
    breakdown.payments = sortedShares(payments);
}

const QString kBreakdownSuffix = QStringLiteral(" 按平台和支付方式");

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

IncomeBreakdown dayIncomeBreakdown(DataStore &store, const QString &day)
{
    IncomeBreakdown breakdown;
    breakdown.title = day + QStringLiteral(" 点单报表") + kBreakdownSuffix;
    const std::optional<QDate> date = parseChineseDate(day);
    if (!date)
        return breakdown;
    const TimeRange range = dayRange(*date);
    readBreakdown(store, breakdown, QStringLiteral("时间>? and 时间<?"), {range.from, range.to});
    return breakdown;
}

IncomeBreakdown monthIncomeBreakdown(DataStore &store, const QString &year, const QString &month)
{
    IncomeBreakdown breakdown;
    breakdown.title = year + QStringLiteral("年") + month + QStringLiteral("月 月报表") + kBreakdownSuffix;
    int y = 0;
    bool isMonth = false;
    const int m = month.toInt(&isMonth);
    if (!validYear(year, &y) || !isMonth || m < 1 || m > 12)
        return breakdown;
    // The span of the month report's day rows.
    const QList<Period> days = daysOfMonth(y, m);
    readBreakdown(store, breakdown, QStringLiteral("时间>=? and 时间<?"), {days.first().from, days.last().to});
    return breakdown;
}

IncomeBreakdown yearIncomeBreakdown(DataStore &store, const QString &year)
{
    IncomeBreakdown breakdown;
    breakdown.title = year + QStringLiteral("年 年报表") + kBreakdownSuffix;
    int y = 0;
    if (!validYear(year, &y))
        return breakdown;
    const QList<Period> months = monthsOfYear(y);
    readBreakdown(store, breakdown, QStringLiteral("时间>=? and 时间<?"), {months.first().from, months.last().to});
    return breakdown;
}

QString sharePercent(double part, double whole)
{
    if (whole == 0 || !std::isfinite(part / whole))
        return QStringLiteral("0.0%");
    return QString::number(roundHalfUp(part / whole * 100.0, 1), 'f', 1) + QLatin1Char('%');
}

PieChartData incomeBreakdownPies(const IncomeBreakdown &breakdown)
{
    static const QList<QColor> kSliceColours = {QColor(0xFE0708), QColor(0x0EED0C), QColor(0x2E49F1),
                                                QColor(0xEEFF0B), QColor(0xEE0FF0), QColor(0x3E9BF6),
                                                QColor(0x4E0FFF), QColor(0x0E6CFB), QColor(0xFF8000),
                                                QColor(0x9EEF7C), QColor(0xEE0F47), QColor(0xFF80C0)};
    PieChartData data;
    data.background = QColor(0xD5, 0xEA, 0xFF);
    const QList<IncomeShare> *groups[] = {&breakdown.headers, &breakdown.payments};
    const QString titles[] = {QStringLiteral("按平台（票头）收入"), QStringLiteral("按支付方式收入")};
    for (int p = 0; p < 2; ++p) {
        PieChartPart part;
        part.title = titles[p];
        part.titleColour = QColor(0x00, 0x60, 0xC0);
        part.titleSize = 16;
        part.titleBold = true;
        part.textColour = QColor(0x00, 0x60, 0xC0);
        part.showLegend = true;
        part.percentMode = QStringLiteral("percent"); // the legend names the slices
        for (int i = 0; i < groups[p]->size(); ++i) {
            const IncomeShare &share = groups[p]->at(i);
            part.slices.append({share.name, share.income, kSliceColours.at(i % kSliceColours.size())});
        }
        data.pies.append(part);
    }
    return data;
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
