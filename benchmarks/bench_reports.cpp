// Times the reports on a large shop beside the sqlite3 command-line shell running the
// same statements on the same file, and the report windows with their charts.
//
//   QT_QPA_PLATFORM=offscreen bench_reports DIR [YEAR] [DISH]
//
// YEAR defaults to the last whole year in the shop, DISH to 菜品7号. Figures are medians
// of warm runs; the shell's figures are its own ".timer" readings.

#include "benchsupport.h"

#include "core/datastore.h"
#include "core/dates.h"
#include "core/schema.h"
#include "core/reportingprompter.h"
#include "reports/incomereport.h"
#include "reports/periodtotals.h"
#include "reports/salesstatistics.h"
#include "reports/ui/incomereportwindow.h"
#include "reports/ui/salesstatisticswindow.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTextStream>

using namespace vorlan;
using namespace vorlan::bench;

namespace {

// The statement the program runs for a set of periods, with its values spelled out.
QStringList rangeStatements(const QString &table, const QString &timeColumn, const QString &valueColumn,
                            const QString &dish, const QList<Period> &periods)
{
    const QString sql = periodTotalsStatement(table, timeColumn, valueColumn,
                                              dish.isEmpty() ? QString() : QStringLiteral("菜名=?"),
                                              static_cast<int>(periods.size()));
    QVariantList values;
    for (const Period &p : periods) {
        if (!dish.isEmpty())
            values << dish;
        values << p.from << p.to;
    }
    return {spelledOut(sql, values)};
}

// The day's statements: its totals, then its rows in time order.
QStringList dayStatements(const QString &table, const QString &timeColumn, const QString &totals, const QString &columns,
                          const QString &dish, const QDate &day)
{
    const TimeRange range = dayRange(day);
    QVariantList values;
    if (!dish.isEmpty())
        values << dish;
    values << range.from << range.to;
    const QString where = QStringLiteral(" where ") + (dish.isEmpty() ? QString() : QStringLiteral("菜名=? and "))
        + timeColumn + QStringLiteral(">? and ") + timeColumn + QStringLiteral("<?");
    return {spelledOut(QStringLiteral("select ") + totals + QStringLiteral(" from ") + table + where, values),
            spelledOut(QStringLiteral("select ") + columns + QStringLiteral(" from ") + table + where + QStringLiteral(" order by ")
                           + timeColumn + QStringLiteral(", ID"),
                       values)};
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        QTextStream(stderr) << "usage: bench_reports DIR [YEAR] [DISH]\n";
        return 2;
    }
    AppContext context;
    context.paths.home = args.at(1);
    ReportingPrompter prompter; // a benchmark never waits on a box
    context.prompter = &prompter;
    QTemporaryDir temp(context.paths.home + QStringLiteral("/bench-temp-XXXXXX"));
    context.temporaryFolder = temp.path();

    DataStore store(QStringLiteral("bench"));
    const Stopwatch opening;
    const OpenedStore opened = openDataStore(store, context.paths.dataDir(), context.paths.databasePath(),
                                             context.paths.configPath());
    if (!opened.ok) {
        QTextStream(stderr) << "cannot open: " << opened.error << "\n";
        return 1;
    }
    context.store = &store;
    note(QStringLiteral("reports: opening (schema check, indexes made when missing) %1 ms").arg(opening.elapsed().wallMs, 0, 'f', 0));

    int year = args.size() > 2 ? args.at(2).toInt() : 0;
    if (year == 0)
        year = store.scalar(QStringLiteral("select substr(max(销售时间), 1, 4) from 存单详单")).toInt() - 1;
    const QString dish = args.size() > 3 ? args.at(3) : QStringLiteral("菜品7号");
    const QString y = QString::number(year);
    const QString db = context.paths.databasePath();
    const QDate day(year, 6, 15);
    const QString dayText = QStringLiteral("%1年6月15日").arg(year);
    const QString month = y + QStringLiteral("-06");
    const qlonglong lines = store.scalar(QStringLiteral("select count(*) from 存单详单 where 销售时间>=? and 销售时间<?"),
                                         {monthsOfYear(year).first().from, monthsOfYear(year).last().to})
                                .toLongLong();
    note(QStringLiteral("reports: year %1 (%2 order lines), month %3, day %4, dish %5").arg(y).arg(lines).arg(month, dayText, dish));

    const QString lineTable = QStringLiteral("存单详单"), saleTime = QStringLiteral("销售时间"), amount = QStringLiteral("小计");
    bool allMet = true;
    SalesStatistics sales;
    for (const QString &d : {QString(), dish}) {
        const QString which = d.isEmpty() ? QStringLiteral("all dishes") : QStringLiteral("one dish");
        const QString label = d.isEmpty() ? QStringLiteral("所有商品") : d;
        allMet &= report(QStringLiteral("sales statistics year, %1").arg(which),
                         medianOf(15, [&] { sales = yearSales(store, y, label, d); }),
                         sqliteShell(db, rangeStatements(lineTable, saleTime, amount, d, monthsOfYear(year))), Goal::nearRaw());
        allMet &= report(QStringLiteral("sales statistics month, %1").arg(which),
                         medianOf(15, [&] { sales = monthSales(store, month, label, d); }),
                         sqliteShell(db, rangeStatements(lineTable, saleTime, amount, d, daysOfMonth(year, 6))), Goal::nearRaw());
        allMet &= report(QStringLiteral("sales statistics day, %1").arg(which),
                         medianOf(15, [&] { sales = daySales(store, dayText, label, d); }),
                         sqliteShell(db, dayStatements(lineTable, saleTime, QStringLiteral("count(*), sum(小计)"),
                                                       QStringLiteral("销售时间, 菜名, 数量, 小计"), d, day)),
                         Goal::nearRaw());
    }

    IncomeReport income;
    const QString orderTable = QStringLiteral("存单"), orderTime = QStringLiteral("时间"), paid = QStringLiteral("实付");
    allMet &= report(QStringLiteral("income report year"), medianOf(15, [&] { income = yearIncome(store, y); }),
                     sqliteShell(db, rangeStatements(orderTable, orderTime, paid, QString(), monthsOfYear(year))), Goal::nearRaw());
    allMet &= report(QStringLiteral("income report month"), medianOf(15, [&] { income = monthIncome(store, y, QStringLiteral("6")); }),
                     sqliteShell(db, rangeStatements(orderTable, orderTime, paid, QString(), daysOfMonth(year, 6))), Goal::nearRaw());
    allMet &= report(QStringLiteral("income report day"), medianOf(15, [&] { income = dayIncome(store, dayText); }),
                     sqliteShell(db, dayStatements(orderTable, orderTime, QStringLiteral("count(*), sum(实付)"),
                                                   QStringLiteral("时间, 实付"), QString(), day)),
                     Goal::nearRaw());

    // The windows: table filled, chart file written and drawn.
    SalesState state;
    ReportWindowOptions options;
    options.today = [year] { return QDate(year, 12, 31); };
    SalesStatisticsWindow salesWindow(context, state, options);
    salesWindow.show();
    report(QStringLiteral("sales window: year with table and chart"), medianOf(5, [&] {
               salesWindow.showYearSales(y);
               salesWindow.repaint();
           }));
    IncomeReportWindow incomeWindow(context, options);
    incomeWindow.show();
    report(QStringLiteral("income window: year with table and pies"), medianOf(5, [&] {
               incomeWindow.showYearIncome(y);
               incomeWindow.repaint();
           }));
    report(QStringLiteral("income window: month with table and chart"), medianOf(5, [&] {
               incomeWindow.showMonthIncome(y, QStringLiteral("6"));
               incomeWindow.repaint();
           }));
    return allMet ? 0 : 3;
}
