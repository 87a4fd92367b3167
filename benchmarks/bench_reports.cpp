// Times the reports on a large shop beside the sqlite3 command-line shell running the
// same aggregation on the same file, and the report windows with their charts.
//
//   QT_QPA_PLATFORM=offscreen bench_reports DIR [YEAR] [DISH]
//
// YEAR defaults to the last whole year in the shop, DISH to 菜品7号.

#include "core/datastore.h"
#include "core/schema.h"
#include "core/ui/qtprompter.h"
#include "reports/incomereport.h"
#include "reports/periodtotals.h"
#include "reports/salesstatistics.h"
#include "reports/ui/incomereportwindow.h"
#include "reports/ui/salesstatisticswindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/resource.h>

#include <algorithm>
#include <functional>

using namespace vorlan;

namespace {

QTextStream out(stdout);

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

// Median milliseconds of `runs` runs after one warm-up run.
double timeIt(const std::function<void()> &work, int runs = 7)
{
    work();
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.append(timer.nsecsElapsed() / 1e6);
    }
    return median(times);
}

QString quoted(const QString &text) { return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\''); }

// The statement the program runs for a set of periods, with its values spelled out.
QStringList rangeStatements(const QString &table, const QString &timeColumn, const QString &valueColumn,
                            const QString &dish, const QList<Period> &periods)
{
    QString sql = periodTotalsStatement(table, timeColumn, valueColumn,
                                        dish.isEmpty() ? QString() : QStringLiteral("菜名=?"),
                                        static_cast<int>(periods.size()));
    QStringList values;
    for (const Period &p : periods) {
        if (!dish.isEmpty())
            values << quoted(dish);
        values << quoted(p.from) << quoted(p.to);
    }
    QString spelled;
    int next = 0;
    for (const QChar c : sql)
        spelled += c == QLatin1Char('?') ? values.at(next++) : QString(c);
    return {spelled + QLatin1Char(';')};
}

// Milliseconds the sqlite3 shell needs for the statements: the shell's wall time for
// `repeat` rounds of them, less its time for as many trivial statements, per round.
double runShell(const QString &database, const QString &script)
{
    QProcess shell;
    QElapsedTimer timer;
    timer.start();
    shell.start(QStringLiteral("sqlite3"), {QStringLiteral("-readonly"), database});
    if (!shell.waitForStarted())
        return -1;
    shell.write(script.toUtf8());
    shell.closeWriteChannel();
    shell.waitForFinished(600000);
    return timer.nsecsElapsed() / 1e6;
}

double shellTime(const QString &database, const QStringList &statements, int repeat = 7)
{
    QString work = QStringLiteral(".output /dev/null\n");
    QString idle = work;
    for (int r = 0; r < repeat; ++r) {
        work += statements.join(QLatin1Char('\n')) + QLatin1Char('\n');
        idle += QStringLiteral("select 1;\n").repeated(statements.size());
    }
    runShell(database, work); // warm-up: the file's pages in memory
    QList<double> samples;
    for (int i = 0; i < 3; ++i)
        samples.append((runShell(database, work) - runShell(database, idle)) / repeat);
    return median(samples);
}

long peakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void line(const QString &what, double ms, double shellMs, const QString &goal)
{
    out << QStringLiteral("%1 %2 ms").arg(what, -44).arg(ms, 8, 'f', 1);
    if (shellMs > 0)
        out << QStringLiteral("   sqlite3 %1 ms   ratio %2").arg(shellMs, 7, 'f', 1).arg(ms / shellMs, 4, 'f', 2);
    else
        out << QString(36, QLatin1Char(' '));
    out << QStringLiteral("   %1\n").arg(goal);
    out.flush();
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
    QtPrompter prompter;
    context.prompter = &prompter;
    QTemporaryDir temp(context.paths.home + QStringLiteral("/bench-temp-XXXXXX"));
    context.temporaryFolder = temp.path();

    DataStore store(QStringLiteral("bench"));
    QElapsedTimer opening;
    opening.start();
    const OpenedStore opened = openDataStore(store, context.paths.dataDir(), context.paths.databasePath(),
                                             context.paths.configPath());
    if (!opened.ok) {
        QTextStream(stderr) << "cannot open: " << opened.error << "\n";
        return 1;
    }
    context.store = &store;
    out << "opening (schema check, indexes made when missing): " << opening.elapsed() << " ms\n";

    int year = args.size() > 2 ? args.at(2).toInt() : 0;
    if (year == 0)
        year = store.scalar(QStringLiteral("select substr(max(销售时间), 1, 4) from 存单详单")).toInt() - 1;
    const QString dish = args.size() > 3 ? args.at(3) : QStringLiteral("菜品7号");
    const QString y = QString::number(year);
    const QString db = context.paths.databasePath();
    const qlonglong lines = store.scalar(QStringLiteral("select count(*) from 存单详单 where 销售时间>=? and 销售时间<?"),
                                         {monthsOfYear(year).first().from, monthsOfYear(year).last().to})
                                .toLongLong();
    out << "year " << y << ": " << lines << " order lines; dish " << dish << "\n\n";

    SalesStatistics sales;
    const double yearMs = timeIt([&] { sales = yearSales(store, y, QStringLiteral("所有商品"), QString()); });
    const double yearShell = shellTime(db, rangeStatements(QStringLiteral("存单详单"), QStringLiteral("销售时间"),
                                                           QStringLiteral("小计"), QString(), monthsOfYear(year)));
    line(QStringLiteral("year sales statistics, all dishes"), yearMs, yearShell, QStringLiteral("goal < 200 ms"));

    const double dishMs = timeIt([&] { sales = yearSales(store, y, dish, dish); });
    const double dishShell = shellTime(db, rangeStatements(QStringLiteral("存单详单"), QStringLiteral("销售时间"),
                                                           QStringLiteral("小计"), dish, monthsOfYear(year)), 500);
    line(QStringLiteral("year sales statistics, one dish"), dishMs, dishShell, QStringLiteral("goal < 50 ms"));

    IncomeReport income;
    const double incomeMs = timeIt([&] { income = yearIncome(store, y); });
    const QStringList incomeStatements = rangeStatements(QStringLiteral("存单"), QStringLiteral("时间"), QStringLiteral("实付"), QString(),
                                        monthsOfYear(year));
    const double incomeShell = shellTime(db, incomeStatements);
    line(QStringLiteral("income year report"), incomeMs, incomeShell, QStringLiteral("goal < 100 ms"));

    // For reference: the same year grouped by a text function in one statement, as the shell
    // runs it (the index cannot order the groups, so a temporary tree sorts them).
    const double groupedShell = shellTime(
        db, {QStringLiteral("select substr(销售时间,1,7), count(*), sum(小计) from 存单详单 where 销售时间>=%1 and 销售时间<%2 "
                            "group by substr(销售时间,1,7);")
                 .arg(quoted(monthsOfYear(year).first().from), quoted(monthsOfYear(year).last().to))});
    line(QStringLiteral("  (sqlite3: one statement grouped by substr)"), groupedShell, 0, QString());

    out << "\n";
    const QString month = y + QStringLiteral("-06");
    line(QStringLiteral("month sales statistics"), timeIt([&] { sales = monthSales(store, month, QStringLiteral("所有商品"), QString()); }), 0, QString());
    const QString day = QStringLiteral("%1年6月15日").arg(year);
    line(QStringLiteral("day sales statistics"), timeIt([&] { sales = daySales(store, day, QStringLiteral("所有商品"), QString()); }), 0, QString());
    line(QStringLiteral("income month report"), timeIt([&] { income = monthIncome(store, y, QStringLiteral("6")); }), 0, QString());
    line(QStringLiteral("income day report"), timeIt([&] { income = dayIncome(store, day); }), 0, QString());

    // The windows: table filled, chart file written and drawn.
    out << "\n";
    SalesState state;
    ReportWindowOptions options;
    options.today = [year] { return QDate(year, 12, 31); };
    SalesStatisticsWindow salesWindow(context, state, options);
    salesWindow.show();
    line(QStringLiteral("sales window: year with table and chart"), timeIt([&] {
             salesWindow.showYearSales(y);
             salesWindow.repaint();
         }, 5), 0, QString());
    IncomeReportWindow incomeWindow(context, options);
    incomeWindow.show();
    line(QStringLiteral("income window: year with table and pies"), timeIt([&] {
             incomeWindow.showYearIncome(y);
             incomeWindow.repaint();
         }, 5), 0, QString());
    line(QStringLiteral("income window: month with table and chart"), timeIt([&] {
             incomeWindow.showMonthIncome(y, QStringLiteral("6"));
             incomeWindow.repaint();
         }, 5), 0, QString());

    out << "\npeak RSS " << peakRssKiB() / 1024.0 << " MiB\n";
    return 0;
}
