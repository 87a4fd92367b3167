// The order window's own statements on a large program folder: the day's counters of the
// status bar (the last day with orders), the customer found by his phone, his last five
// orders (for an ordinary customer and for the regular one with thousands of orders), and
// settling a 10-line order with its customer (one durable transaction in WAL mode with
// full sync).
// The first two stand beside the sqlite3 shell running the same statement.
//
//   bench_settle DIR [repeats=200]
//
// The settled orders are taken out again and the customers they touched restored, so
// the folder keeps its content.

#include "benchsupport.h"

#include "core/datastore.h"
#include "core/dates.h"
#include "core/paths.h"
#include "core/schema.h"
#include "core/todaycounters.h"
#include "order/orderfields.h"
#include "order/orderstore.h"
#include "order/usualorders.h"

#include <QCoreApplication>
#include <QTextStream>

using namespace vorlan;
using namespace vorlan::bench;

namespace {

struct SavedCustomer {
    qint64 id = 0;
    QString name, address, lastOrder;
    int orders = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (app.arguments().size() < 2) {
        QTextStream(stderr) << "usage: bench_settle DIR [repeats]\n";
        return 2;
    }
    const ProgramPaths paths{app.arguments().at(1)};
    const int repeats = app.arguments().size() > 2 ? app.arguments().at(2).toInt() : 200;
    DataStore store;
    const OpenedStore opened = openDataStore(store, paths.dataDir(), paths.databasePath(), paths.configPath());
    if (!opened.ok) {
        QTextStream(stderr) << opened.error << "\n";
        return 1;
    }
    const QString db = paths.databasePath();
    bool allMet = true;

    // The status bar's counters of the busiest kind of day: one full of orders.
    const QDate lastDay = QDate::fromString(store.scalar(QStringLiteral("select substr(max(时间),1,10) from 存单")).toString(),
                                            Qt::ISODate);
    const TimeRange range = dayRange(lastDay);
    DayCounters counters;
    allMet &= report(QStringLiteral("day counters (status bar), a full day"), medianOf(101, [&] { counters = readDayCounters(store, lastDay); }),
                     sqliteShell(db, {spelledOut(QStringLiteral("select max(编号), count(*), sum(实付) from 存单 where 时间>? and 时间<=?"),
                                                 {range.from, range.to})},
                                 101),
                     Goal::nearRaw());

    const QString phone = store.scalar(QStringLiteral("select 电话 from 客户 where ID = (select max(ID)/2 from 客户)")).toString();
    allMet &= report(QStringLiteral("customer lookup by phone"), medianOf(101, [&] { findCustomerByPhone(store, phone); }),
                     sqliteShell(db, {spelledOut(QStringLiteral("select 姓名, 地址 from 客户 where 电话 = ? order by ID"), {phone})}, 101),
                     Goal::nearRaw());

    // The list under the phone field: the customer looked up again, his last five orders
    // by time, then their lines.
    const QString regular = store.scalar(QStringLiteral("select 电话 from 客户 order by 订餐次数 desc limit 1")).toString();
    for (const auto &[who, customerPhone] : {std::pair{QStringLiteral("a customer"), phone},
                                             std::pair{QStringLiteral("the regular customer"), regular}}) {
        const QString usualOrders =
            spelledOut(QStringLiteral("select ID, 时间, 合计 from 存单 where 电话=? order by 时间 desc, ID desc limit 5"),
                       {customerPhone});
        const QString ids = QStringLiteral("(select ID from 存单 where 电话=%1 order by 时间 desc, ID desc limit 5)")
                                .arg(sqlLiteral(customerPhone));
        int listed = 0;
        allMet &= report(QStringLiteral("last five orders of %1 (列表_常点)").arg(who),
                         medianOf(101, [&] { listed = int(readUsualOrders(store, customerPhone).size()); }),
                         sqliteShell(db,
                                     {spelledOut(QStringLiteral("select 姓名, 地址 from 客户 where 电话 = ? order by ID"),
                                                 {customerPhone}),
                                      usualOrders,
                                      QStringLiteral("select 存单ID, 菜名, 数量, 单位, 小计 from 存单详单 where 存单ID in %1 "
                                                     "order by ID")
                                          .arg(ids)},
                                     101),
                         Goal::under(10));
        note(QStringLiteral("%1 (%2): %3 orders listed").arg(who, customerPhone).arg(listed));
    }

    const qint64 lastId = store.scalar(QStringLiteral("select max(ID) from 存单")).toLongLong();
    const qint64 lastLineId = store.scalar(QStringLiteral("select max(ID) from 存单详单")).toLongLong();
    const qint64 lastCustomerId = store.scalar(QStringLiteral("select max(ID) from 客户")).toLongLong();
    const auto phoneOf = [](int i) { return QStringLiteral("139%1").arg(i % 60000, 8, 10, QLatin1Char('0')); };
    QList<SavedCustomer> saved;
    for (int i = 0; i < std::min(repeats, 60000); ++i) {
        if (store.query(QStringLiteral("select ID, 姓名, 地址, 最近订餐日期, 订餐次数 from 客户 where 电话 = ?"), {phoneOf(i)}))
            for (; !store.atEnd(); store.next())
                saved.append({store.readValue(0).toLongLong(), store.readText(1), store.readText(2), store.readText(3),
                              store.readInt(4)});
        store.closeQuery();
    }

    SettledOrder order;
    order.number = 1;
    order.header = QStringLiteral("微信点餐");
    order.shopName = QStringLiteral("白云快餐");
    order.time = QDateTime::currentDateTime();
    order.paymentMethod = QStringLiteral("现金支付");
    order.name = QStringLiteral("顾客");
    order.address = QStringLiteral("幸福路1号");
    for (int i = 0; i < 10; ++i)
        order.lines.append({QStringLiteral("菜品%1号").arg(i + 1), 1, QStringLiteral("份"), 12.5});
    order.total = order.paid = order.actuallyPaid = 125;
    order.settled = true;

    Samples settling;
    bool stored = true;
    for (int i = 0; i < repeats && stored; ++i) {
        order.phone = phoneOf(i);
        const Stopwatch watch;
        stored = insertOrder(store, order).has_value();
        settling.add(watch.elapsed());
    }
    // Take the timed orders out again and give the customers back what they had.
    const bool restored = inTransaction(store, [&] {
        bool ok = store.execute(QStringLiteral("delete from 存单详单 where ID>?"), {lastLineId})
            && store.execute(QStringLiteral("delete from 存单 where ID>?"), {lastId})
            && store.execute(QStringLiteral("delete from 客户 where ID>?"), {lastCustomerId});
        for (const SavedCustomer &c : saved)
            ok = ok && store.execute(QStringLiteral("update 客户 set 姓名=?, 地址=?, 最近订餐日期=?, 订餐次数=? where ID=?"),
                                     {c.name, c.address, c.lastOrder, c.orders, c.id});
        return ok;
    });
    if (!stored || !restored) {
        QTextStream(stderr) << "settling or restoring failed: " << store.lastError() << "\n";
        return 1;
    }
    report(QStringLiteral("settle a 10-line order (durable)"), settling.median());
    note(QStringLiteral("settle: worst of %1 %2 ms").arg(repeats).arg(settling.worst().wallMs, 0, 'f', 1));
    return allMet ? 0 : 3;
}
