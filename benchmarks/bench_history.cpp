// The order history browser, the customer list and the CSV export on a large program
// folder, each beside the sqlite3 command-line tool running the plain statements that
// give the same result on the same file (count and sums over the order table, the page
// as nested "limit" statements). The export is judged against the floor measured in the
// same run: SQLite stepping the joined rows and decoding every column, nothing written;
// the sqlite3 tool writing the join as CSV is printed beside it.
//
//   QT_QPA_PLATFORM=offscreen bench_history DIR [CSVFILE]
//
// Figures are medians of warm runs, wall clock and CPU; the sqlite3 figures are its own
// ".timer" readings. The folder needs its order summary (make_shop builds it).

#include "benchsupport.h"

#include "core/appcontext.h"
#include "core/datastore.h"
#include "core/paths.h"
#include "core/schema.h"
#include "core/sqlitelibrary.h"
#include "history/csvexport.h"
#include "history/orderhistory.h"
#include "history/ordersummary.h"
#include "history/ui/orderhistorywindow.h"
#include "masterdata/customers.h"
#include "masterdata/ui/customerwindow.h"

#include "core/reportingprompter.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <sqlite3.h>

using namespace vorlan;
using namespace vorlan::bench;

namespace {

const QString kJoin = QStringLiteral("select 存单.ID,编号,票头,店铺名称,时间,减免,减免份数,减免金额,合计,支付方式,已付,实付,桌号,"
                                     "电话,姓名,地址,备注,菜名,数量,单位,小计 from 存单,存单详单 where 存单详单.存单ID = 存单.ID "
                                     "order by 存单.ID, 存单详单.ID");

// The export's floor: the linked SQLite steps the join of every order line and decodes
// each column by its type, as the export reads them; nothing is formatted or written.
std::optional<Timing> plainDecode(DataStore &store, qint64 &rows)
{
    sqlite3 *db = linkedSqliteHandle(store.database());
    sqlite3_stmt *statement = nullptr;
    const QByteArray sql = kJoin.toUtf8();
    if (!db || sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement, nullptr) != SQLITE_OK)
        return std::nullopt;
    const Stopwatch watch;
    rows = 0;
    double numbers = 0;
    qint64 bytes = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int c = 0; c < 21; ++c) {
            switch (sqlite3_column_type(statement, c)) {
            case SQLITE_INTEGER: numbers += double(sqlite3_column_int64(statement, c)); break;
            case SQLITE_FLOAT: numbers += sqlite3_column_double(statement, c); break;
            case SQLITE_NULL: break;
            default:
                bytes += sqlite3_column_text(statement, c) ? sqlite3_column_bytes(statement, c) : 0;
                break;
            }
        }
        ++rows;
    }
    const Timing t = watch.elapsed();
    sqlite3_finalize(statement);
    if (numbers + double(bytes) < 0) // keeps the reads from being optimised away
        QTextStream(stderr) << "";
    return t;
}

// The count-and-sums statement and the page as nested "limit" statements.
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
    ReportingPrompter prompter; // a benchmark never waits on a box
    AppContext context;
    context.paths = paths;
    context.store = &store;
    context.prompter = &prompter;
    const QString db = paths.databasePath();

    // Building the summary is the one-time preparation of an older folder, not a page turn.
    const Stopwatch summaryWatch;
    if (!ensureOrderSummary(store)) {
        QTextStream(stderr) << "summary: " << store.lastError() << "\n";
        return 1;
    }
    note(QStringLiteral("order summary checked in %1 ms").arg(summaryWatch.elapsed().wallMs, 0, 'f', 0));

    // A customer with a dozen orders, the regular one with thousands, a day in the middle
    // of the history, one year of it.
    const QString phone = store.scalar(QStringLiteral("select 电话 from 存单 where 电话 <> '' and ID > "
                                                      "(select max(ID)/2 from 存单) limit 1")).toString();
    const QString regular = store.scalar(QStringLiteral("select 电话 from 客户 order by 订餐次数 desc limit 1")).toString();
    const QDate lastDay = QDate::fromString(
        store.scalar(QStringLiteral("select substr(max(时间),1,10) from 存单")).toString(), Qt::ISODate);
    const QDate firstDay = QDate::fromString(
        store.scalar(QStringLiteral("select substr(min(时间),1,10) from 存单")).toString(), Qt::ISODate);
    const QDate middle = firstDay.addDays(firstDay.daysTo(lastDay) / 2);

    bool allMet = true;
    OrderHistoryWindow window(context, {}, std::nullopt);
    const QList<QPair<QString, HistoryFilter>> filters = {
        {QStringLiteral("all"), HistoryFilter::all()},
        {QStringLiteral("takeout"), HistoryFilter::takeout()},
        {QStringLiteral("phone"), HistoryFilter::byPhone(phone)},
        {QStringLiteral("regular phone"), HistoryFilter::byPhone(regular)},
        {QStringLiteral("day"), HistoryFilter::day(middle)},
        {QStringLiteral("one year"), HistoryFilter::period(middle.addYears(-1), middle)},
        {QStringLiteral("ten years"), HistoryFilter::period(firstDay, lastDay)},
    };
    note(QStringLiteral("history filters: phone %1, regular phone %2, day %3, year up to it, ten years %4 to %5")
             .arg(phone, regular, middle.toString(Qt::ISODate), firstDay.toString(Qt::ISODate), lastDay.toString(Qt::ISODate)));
    const QString sums = QStringLiteral("count(*),sum(实付),sum(合计)");
    for (const auto &[name, filter] : filters) {
        const QString condition = spelledOut(filter.condition(), filter.values());
        const HistoryPage probe = fetchHistoryPage(store, filter, 0);
        // Count and totals alone: what every page turn reads before its rows.
        Goal totalsGoal = filter.isEmpty() ? Goal::under(50) : Goal::nearRaw();
        allMet &= report(QStringLiteral("history %1: count+totals (%2 orders)").arg(name).arg(probe.count),
                         medianOf(15, [&] { fetchHistoryPage(store, filter, 0); }),
                         sqliteShell(db, {QStringLiteral("select %1 from 存单%2")
                                              .arg(sums, condition.isEmpty() ? QString() : QStringLiteral(" where ") + condition)}),
                         totalsGoal);
        window.setFilter(filter);
        const QList<QPair<QString, int>> pages = {{QStringLiteral("first"), 1},
                                                  {QStringLiteral("middle"), std::max(1, probe.pageCount / 2)},
                                                  {QStringLiteral("last"), -1}};
        // The pages take turns, so that the comparison of the last with the first is not
        // swayed by what else the machine is doing at one moment.
        QList<Samples> samples(pages.size());
        for (int round = -1; round < 15; ++round) {
            for (qsizetype p = 0; p < pages.size(); ++p) {
                const Stopwatch watch;
                window.showHistoryPage(pages.at(p).second);
                if (round >= 0) // the first round warms up
                    samples[p].add(watch.elapsed());
            }
        }
        for (qsizetype p = 0; p < pages.size(); ++p) {
            const auto &[where, page] = pages.at(p);
            const int shownPage = page == -1 ? probe.pageCount : page;
            Goal goal = Goal::nearRaw();
            if (page == -1)
                goal.alsoNear(samples.first().median(), QStringLiteral("first"));
            allMet &= report(QStringLiteral("history %1: %2 page %3/%4").arg(name, where).arg(shownPage).arg(probe.pageCount),
                             samples.at(p).median(),
                             sqliteShell(db, plainPageStatements(QStringLiteral("存单"), sums, condition, probe.count,
                                                                 std::max(shownPage, 1), kHistoryPageSize),
                                         3),
                             goal);
        }
    }

    CustomerWindow::searchText().clear();
    CustomerWindow customers(context, {});
    const QString someName = store.scalar(QStringLiteral("select 姓名 from 客户 where ID = (select max(ID)/2 from 客户)")).toString();
    const QList<QPair<QString, QString>> searches = {
        {QStringLiteral("all"), QString()}, {QStringLiteral("search by name"), someName}, {QStringLiteral("search by phone"), phone}};
    for (const auto &[name, search] : searches) {
        CustomerWindow::searchText() = search;
        const CustomerPage probe = fetchCustomerPage(store, search, 0);
        const QString condition = search.isEmpty() ? QString()
                                                   : QStringLiteral("姓名 = %1 or 电话 = %1").arg(sqlLiteral(search));
        QList<int> pages = {1};
        if (probe.pageCount > 2)
            pages << probe.pageCount / 2;
        if (probe.pageCount > 1)
            pages << -1;
        for (int page : pages) {
            const int shownPage = page == -1 ? probe.pageCount : page;
            allMet &= report(QStringLiteral("customers %1: page %2/%3").arg(name).arg(shownPage).arg(probe.pageCount),
                             medianOf(15, [&] { customers.showCustomerPage(page); }),
                             sqliteShell(db, plainPageStatements(QStringLiteral("客户"), QStringLiteral("count(*)"), condition,
                                                                 probe.count, std::max(shownPage, 1), kCustomerPageSize)),
                             Goal::nearRaw());
        }
    }
    CustomerWindow::searchText().clear();

    // The export streams: one run, its peak RSS beside it, and the floor it is judged by.
    const HistoryPage all = fetchHistoryPage(store, HistoryFilter::all(), 0);
    qint64 lineCount = 0;
    Samples floorRuns;
    for (int run = 0; run < 3; ++run) // the first one warms the cache
        if (const auto t = plainDecode(store, lineCount); t && run > 0)
            floorRuns.add(*t);
    if (floorRuns.isEmpty()) {
        QTextStream(stderr) << "the plain decode needs the driver's SQLite to be the linked one\n";
        return 1;
    }
    const Timing floor = floorRuns.median();
    CsvExportResult result;
    const Stopwatch exportWatch;
    result = exportHistoryCsv(store, HistoryFilter::all(), csvPath, QStringLiteral("正在浏览全部数据"),
                              {QStringLiteral("共有数据:%1条").arg(all.count), QStringLiteral("合计总额:%1").arg(truncatedTotal(all.totalSum)),
                               QStringLiteral("实付总额:%1").arg(truncatedTotal(all.paidSum))},
                              [](qint64) { return true; });
    const Timing ours = exportWatch.elapsed();
    const double exportRss = peakRssMiB();
    if (result.status != CsvExportResult::Status::Written) {
        QTextStream(stderr) << "export failed: " << result.error << "\n";
        return 1;
    }
    if (result.lines != lineCount) {
        QTextStream(stderr) << "export wrote " << result.lines << " lines of " << lineCount << "\n";
        return 1;
    }
    const double megabytes = QFileInfo(csvPath).size() / 1e6;
    note(QStringLiteral("CSV export: %1 lines/s by CPU time, %2 lines/s by wall time; the plain decode %3 lines/s by CPU time")
             .arg(lineCount / (ours.cpuMs / 1e3), 0, 'f', 0)
             .arg(lineCount / (ours.wallMs / 1e3), 0, 'f', 0)
             .arg(lineCount / (floor.cpuMs / 1e3), 0, 'f', 0));
    QFile::remove(csvPath);
    report(QStringLiteral("CSV export floor: plain decode of the join"), floor);
    allMet &= report(QStringLiteral("CSV export: %1 lines, %2 MB").arg(result.lines).arg(megabytes, 0, 'f', 0), ours,
                     sqliteShell(db, {kJoin}, 1, QStringLiteral(".mode csv")),
                     Goal::within(2, floor, QStringLiteral("plain decode")), exportRss);
    return allMet ? 0 : 3;
}
