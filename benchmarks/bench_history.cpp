// The order history browser, the customer list and the CSV export on a large program
// folder, each beside the sqlite3 command-line tool running the plain statements that
// give the same result on the same file (count and sums over the order table, the page
// as nested "limit" statements, the export as the joined select written as CSV).
//
//   QT_QPA_PLATFORM=offscreen bench_history DIR [CSVFILE] [--export-only]
//
// Times are the best of several runs, wall clock and CPU (user + system); the sqlite3
// figures are its own ".timer" readings.

#include "core/appcontext.h"
#include "core/datastore.h"
#include "core/paths.h"
#include "core/schema.h"
#include "history/csvexport.h"
#include "history/orderhistory.h"
#include "history/ordersummary.h"
#include "history/ui/orderhistorywindow.h"
#include "masterdata/customers.h"
#include "masterdata/ui/customerwindow.h"

#include "core/ui/qtprompter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>

#include <sys/resource.h>
#include <ctime>

using namespace vorlan;

namespace {

QTextStream out(stdout);

double cpuSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

long peakRssMiB()
{
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

struct Timing {
    double wallMs = 1e18;
    double cpuMs = 1e18;
};

template<typename F>
Timing best(int repeats, F &&work)
{
    Timing t;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer wall;
        const double cpu = cpuSeconds();
        wall.start();
        work();
        t.wallMs = std::min(t.wallMs, wall.nsecsElapsed() / 1e6);
        t.cpuMs = std::min(t.cpuMs, (cpuSeconds() - cpu) * 1e3);
    }
    return t;
}

// Runs `statements` in sqlite3 `repeats` times and returns the best run (the sum of the
// ".timer" lines of one repetition).
Timing cli(const QString &database, const QStringList &statements, int repeats, const QString &prelude = {})
{
    QString script = QStringLiteral(".timer on\n.output /dev/null\n") + prelude;
    for (int r = 0; r < repeats; ++r)
        for (const QString &s : statements)
            script += s + QStringLiteral(";\n");
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {database});
    p.write(script.toUtf8());
    p.closeWriteChannel();
    p.waitForFinished(-1);
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression re(QStringLiteral("Run Time: real ([0-9.]+) user ([0-9.]+) sys ([0-9.]+)"));
    QList<QPair<double, double>> runs;
    auto it = re.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        runs.append({m.captured(1).toDouble() * 1e3, (m.captured(2).toDouble() + m.captured(3).toDouble()) * 1e3});
    }
    Timing t;
    for (int r = 0; r + 1 <= runs.size() / std::max<qsizetype>(1, statements.size()); ++r) {
        double wall = 0, cpu = 0;
        for (int s = 0; s < statements.size(); ++s) {
            wall += runs.at(r * statements.size() + s).first;
            cpu += runs.at(r * statements.size() + s).second;
        }
        t.wallMs = std::min(t.wallMs, wall);
        t.cpuMs = std::min(t.cpuMs, cpu);
    }
    return t;
}

void report(const QString &what, const Timing &ours, const Timing &theirs)
{
    out << qSetFieldWidth(44) << Qt::left << what << qSetFieldWidth(0)
        << QStringLiteral("%1 ms (cpu %2)   sqlite3 %3 ms (cpu %4)   ratio %5 (cpu %6)   rss %7 MiB\n")
               .arg(ours.wallMs, 7, 'f', 2)
               .arg(ours.cpuMs, 7, 'f', 2)
               .arg(theirs.wallMs, 8, 'f', 2)
               .arg(theirs.cpuMs, 8, 'f', 2)
               .arg(ours.wallMs / std::max(theirs.wallMs, 1e-3), 6, 'f', 3)
               .arg(ours.cpuMs / std::max(theirs.cpuMs, 1e-3), 6, 'f', 3)
               .arg(peakRssMiB())
        << Qt::flush;
}

QString literal(const QString &text) { return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\''); }

// The filter's condition with its values written in, for the command-line tool.
QString literalCondition(const HistoryFilter &f)
{
    QString c = f.condition();
    for (const QVariant &v : f.values())
        c.replace(c.indexOf(QLatin1Char('?')), 1, literal(v.toString()));
    return c;
}

QStringList plainPageStatements(const QString &table, const QString &countColumns, const QString &condition,
                                qint64 count, int page, int pageSize)
{
    const QString where = condition.isEmpty() ? QString() : QStringLiteral(" where ") + condition;
    const qint64 upTo = qint64(page) * pageSize;
    const qint64 rows = count >= upTo ? pageSize : pageSize - (upTo - count);
    return {QStringLiteral("select %1 from %2%3").arg(countColumns, table, where),
            QStringLiteral("select * from (select * from %1%2 order by ID limit %3) order by ID desc limit %4")
                .arg(table, where)
                .arg(upTo)
                .arg(std::max<qint64>(rows, 0))};
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (app.arguments().size() < 2) {
        QTextStream(stderr) << "usage: bench_history DIR [CSVFILE]\n";
        return 2;
    }
    const ProgramPaths paths{QFileInfo(app.arguments().at(1)).absoluteFilePath()};
    const QString csvPath = app.arguments().size() > 2 ? app.arguments().at(2)
                                                        : paths.home + QStringLiteral("/../history-export.csv");
    DataStore store;
    const OpenedStore opened = openDataStore(store, paths.dataDir(), paths.databasePath(), paths.configPath());
    if (!opened.ok) {
        QTextStream(stderr) << opened.error << "\n";
        return 1;
    }
    QtPrompter prompter;
    AppContext context;
    context.paths = paths;
    context.store = &store;
    context.prompter = &prompter;
    const QString db = paths.databasePath();

    QElapsedTimer summaryTimer;
    summaryTimer.start();
    const bool existed = store.scalar(QStringLiteral("select count(*) from sqlite_master where name='存单汇总'")).toInt();
    if (!ensureOrderSummary(store)) {
        QTextStream(stderr) << "summary: " << store.lastError() << "\n";
        return 1;
    }
    out << "order summary " << (existed ? "checked" : "built") << " in " << summaryTimer.elapsed() << " ms, "
        << store.scalar(QStringLiteral("select count(*) from 存单汇总")).toLongLong() << " rows\n";

    // A customer with orders, a day in the middle of the history, one year of it.
    const QString phone = store.scalar(QStringLiteral("select 电话 from 存单 where 电话 <> '' and ID > "
                                                      "(select max(ID)/2 from 存单) limit 1")).toString();
    const QDate lastDay = QDate::fromString(
        store.scalar(QStringLiteral("select substr(max(时间),1,10) from 存单")).toString(), Qt::ISODate);
    const QDate firstDay = QDate::fromString(
        store.scalar(QStringLiteral("select substr(min(时间),1,10) from 存单")).toString(), Qt::ISODate);
    const QDate middle = firstDay.addDays(firstDay.daysTo(lastDay) / 2);

    const bool exportOnly = app.arguments().contains(QStringLiteral("--export-only"));
    OrderHistoryWindow window(context, {}, std::nullopt);
    const QList<QPair<QString, HistoryFilter>> filters = {
        {QStringLiteral("all"), HistoryFilter::all()},
        {QStringLiteral("takeout"), HistoryFilter::takeout()},
        {QStringLiteral("phone ") + phone, HistoryFilter::byPhone(phone)},
        {QStringLiteral("day ") + middle.toString(Qt::ISODate), HistoryFilter::day(middle)},
        {QStringLiteral("year to ") + middle.toString(Qt::ISODate), HistoryFilter::period(middle.addYears(-1), middle)},
        {QStringLiteral("whole period"), HistoryFilter::period(firstDay, lastDay)},
    };
    if (!exportOnly) {
    out << "\nhistory page (window: count, totals, 200 rows listed) vs sqlite3 count+sums and nested-limit page\n";
    for (const auto &[name, filter] : filters) {
        window.setFilter(filter);
        const HistoryPage probe = fetchHistoryPage(store, filter, 0);
        const QString columns = QStringLiteral("count(*),sum(实付),sum(合计)");
        const QList<QPair<QString, int>> pages = {{QStringLiteral("first"), 1},
                                                  {QStringLiteral("middle"), std::max(1, probe.pageCount / 2)},
                                                  {QStringLiteral("last"), -1}};
        for (const auto &[where, page] : pages) {
            const int shownPage = page == -1 ? probe.pageCount : page;
            const Timing ours = best(7, [&] { window.showHistoryPage(page); });
            const Timing theirs = cli(db, plainPageStatements(QStringLiteral("存单"), columns, literalCondition(filter),
                                                              probe.count, std::max(shownPage, 1), kHistoryPageSize),
                                      3);
            report(QStringLiteral("%1, %2 page %3/%4").arg(name, where).arg(shownPage).arg(probe.pageCount), ours,
                   theirs);
        }
    }

    out << "\ncustomer page (window) vs sqlite3 count and nested-limit page\n";
    CustomerWindow::searchText().clear();
    CustomerWindow customers(context, {});
    const QString someName = store.scalar(QStringLiteral("select 姓名 from 客户 where ID = (select max(ID)/2 from 客户)")).toString();
    for (const QString &search : {QString(), someName, phone}) {
        CustomerWindow::searchText() = search;
        const CustomerPage probe = fetchCustomerPage(store, search, 0);
        const QString condition = search.isEmpty() ? QString()
                                                   : QStringLiteral("姓名 = %1 or 电话 = %1").arg(literal(search));
        for (int page : {1, std::max(1, probe.pageCount / 2), -1}) {
            const int shownPage = page == -1 ? probe.pageCount : page;
            const Timing ours = best(7, [&] { customers.showCustomerPage(page); });
            const Timing theirs = cli(db, plainPageStatements(QStringLiteral("客户"), QStringLiteral("count(*)"), condition,
                                                              probe.count, std::max(shownPage, 1), kCustomerPageSize),
                                      3);
            report(QStringLiteral("%1 page %2/%3").arg(search.isEmpty() ? QStringLiteral("all") : search).arg(shownPage).arg(probe.pageCount),
                   ours, theirs);
        }
    }
    CustomerWindow::searchText().clear();
    }

    out << "\nCSV export of all orders vs sqlite3 writing the same select as CSV\n";
    const HistoryPage all = fetchHistoryPage(store, HistoryFilter::all(), 0);
    qint64 lines = 0;
    const long rssBefore = peakRssMiB();
    const Timing ours = best(1, [&] {
        const CsvExportResult r = exportHistoryCsv(
            store, HistoryFilter::all(), csvPath, QStringLiteral("正在浏览全部数据"),
            {QStringLiteral("共有数据:%1条").arg(all.count), QStringLiteral("合计总额:%1").arg(truncatedTotal(all.totalSum)),
             QStringLiteral("实付总额:%1").arg(truncatedTotal(all.paidSum))},
            [](qint64) { return true; });
        if (r.status != CsvExportResult::Status::Written)
            QTextStream(stderr) << "export failed: " << r.error << "\n";
        lines = r.lines;
    });
    const Timing theirs = exportOnly ? Timing{} : cli(db,
                              {QStringLiteral("select 存单.ID,编号,票头,店铺名称,时间,减免,减免份数,减免金额,合计,支付方式,已付,"
                                              "实付,桌号,电话,姓名,地址,备注,菜名,数量,单位,小计 from 存单,存单详单 where "
                                              "存单详单.存单ID = 存单.ID order by 存单.ID, 存单详单.ID")},
                              1, QStringLiteral(".mode csv\n"));
    report(QStringLiteral("export %1 lines (%2 MB)").arg(lines).arg(QFileInfo(csvPath).size() / 1e6, 0, 'f', 0), ours,
           theirs);
    out << QStringLiteral("export rate %1 lines/s wall, %2 lines/s cpu; peak rss before %3 MiB, after %4 MiB\n")
               .arg(lines / (ours.wallMs / 1e3), 0, 'f', 0)
               .arg(lines / (ours.cpuMs / 1e3), 0, 'f', 0)
               .arg(rssBefore)
               .arg(peakRssMiB());
    return 0;
}
