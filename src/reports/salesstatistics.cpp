#include "salesstatistics.h"

#include "chartfiles.h"
#include "periodtotals.h"

#include "core/datastore.h"
#include "core/dates.h"
#include "core/numbers.h"

#include <QFile>
#include <QRegularExpression>

namespace vorlan {

namespace {

const QString kLines = QStringLiteral("存单详单");
const QString kSaleTime = QStringLiteral("销售时间");
const QString kAmount = QStringLiteral("小计");

QString dishCondition(const QString &dish) { return dish.isEmpty() ? QString() : QStringLiteral("菜名=?"); }
QVariantList dishValues(const QString &dish) { return dish.isEmpty() ? QVariantList() : QVariantList{dish}; }

void setFrame(SalesStatistics &s, const QString &title, const QStringList &headers)
{
    s.title = title;
    s.headers = headers;
}

// Fills the table and chart from the period totals; `suffix` follows the last two
// characters of the period key ("01月", "03日").
void fillFromTotals(SalesStatistics &s, const QList<PeriodTotal> &totals, const QString &suffix)
{
    LineChartScale scale;
    double amount = 0;
    for (const PeriodTotal &t : totals) {
        const double rounded = roundHalfUp(t.sum, 1);
        const QString first = t.key.right(2) + suffix;
        s.rows.append({first, QString::number(t.count), formatDouble(rounded)});
        s.periods.append(first);
        s.amounts.append(formatDouble(rounded));
        s.counts.append(QString::number(t.count));
        scale.add(rounded, static_cast<double>(t.count));
        s.lineCount += t.count;
        amount += t.sum;
    }
    s.totalAmount = formatDouble(roundHalfUp(amount, 1));
    s.totalVolume = QString::number(s.lineCount);
    s.scaleMax = scale.maximum();
    s.hasChart = true;
}

std::optional<QPair<int, int>> parseMonthText(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{4})-(\\d{1,2})$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const int year = m.captured(1).toInt();
    const int month = m.captured(2).toInt();
    if (month < 1 || month > 12)
        return std::nullopt;
    return QPair<int, int>(year, month);
}

} // namespace

QString dishForFilterText(const QString &text)
{
    if (text.isEmpty() || text == QStringLiteral("所有菜品") || text == QStringLiteral("所有商品"))
        return QString();
    return text;
}

SalesStatistics yearSales(DataStore &store, const QString &year, const QString &label, const QString &dish)
{
    SalesStatistics s;
    setFrame(s, year + QStringLiteral("年 ") + label + QStringLiteral("销售表"),
             {QStringLiteral("月份"), QStringLiteral("销售数量"), QStringLiteral("销售金额")});
    s.chartTitle = year + QStringLiteral("年 ") + label + QStringLiteral("销售参考数据");
    bool isYear = false;
    const int y = year.toInt(&isYear);
    if (!isYear || y < 1 || y > 9998)
        return s;
    fillFromTotals(s, periodTotals(store, kLines, kSaleTime, kAmount, dishCondition(dish), dishValues(dish), monthsOfYear(y)),
                   QStringLiteral("月"));
    return s;
}

SalesStatistics monthSales(DataStore &store, const QString &month, const QString &label, const QString &dish)
{
    SalesStatistics s;
    setFrame(s, month + QStringLiteral("月 ") + label + QStringLiteral("销售表"),
             {QStringLiteral("时间"), QStringLiteral("销售数量"), QStringLiteral("销售金额")});
    s.chartTitle = month + QStringLiteral("月 ") + label + QStringLiteral("销售参考数据");
    const auto parsed = parseMonthText(month);
    if (!parsed)
        return s;
    fillFromTotals(s,
                   periodTotals(store, kLines, kSaleTime, kAmount, dishCondition(dish), dishValues(dish),
                                daysOfMonth(parsed->first, parsed->second)),
                   QStringLiteral("日"));
    return s;
}

SalesStatistics daySales(DataStore &store, const QString &day, const QString &label, const QString &dish)
{
    SalesStatistics s;
    setFrame(s, day + label + QStringLiteral("销售表"),
             {QStringLiteral("时间"), QStringLiteral("商品名称"), QStringLiteral("销售金额")});
    const std::optional<QDate> date = parseChineseDate(day);
    if (!date)
        return s;
    // The day runs from just after its first instant up to its last second.
    const TimeRange range = dayRange(*date);
    const QString where = (dish.isEmpty() ? QString() : QStringLiteral("菜名=? and "))
        + QStringLiteral("销售时间>? and 销售时间<?");
    QVariantList values = dishValues(dish);
    values << range.from << range.to;

    if (store.query(QStringLiteral("select count(*), sum(小计) from 存单详单 where ") + where, values)) {
        s.lineCount = store.readValue(0).toLongLong();
        s.totalAmount = formatDouble(roundHalfUp(store.readDouble(1), 1));
    }
    store.closeQuery();
    if (s.lineCount == 0)
        return s;

    // Quantities are numbers (0.5 kg counts half), shown and added as such.
    double volume = 0;
    if (store.query(QStringLiteral("select 销售时间, 菜名, 数量, 小计 from 存单详单 where ") + where
                        + QStringLiteral(" order by 销售时间, ID"),
                    values)) {
        for (; !store.atEnd(); store.next()) {
            const double quantity = store.readDouble(2);
            volume += quantity;
            s.rows.append({store.readText(0), store.readText(1) + QLatin1Char('(') + formatDouble(quantity) + QLatin1Char(')'),
                           formatDouble(roundHalfUp(store.readDouble(3), 1))});
        }
    }
    store.closeQuery();
    s.totalVolume = formatDouble(volume);
    return s;
}

bool writeSalesChart(const SalesStatistics &s, const QString &programFolder)
{
    LineChartDocument document;
    document.configure(reportLineChartConfig(s.scaleMax));
    addReportTitleAndSeries(document, s.chartTitle, QStringLiteral("销售额"), QStringLiteral("销售量"));
    document.setPeriods(s.periods);
    document.addValues(s.amounts);
    document.addValues(s.counts);
    document.addValues({});
    return document.save(programFolder);
}

bool clearLineChart(const QString &programFolder)
{
    QFile file(lineChartPath(programFolder));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

} // namespace vorlan
