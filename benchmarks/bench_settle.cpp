// Storing one order of 10 lines (with its customer) as settling does: one durable
// transaction in WAL mode with full sync, on a large program folder.
//
//   bench_settle DIR [repeats=200]

#include "core/datastore.h"
#include "core/paths.h"
#include "core/schema.h"
#include "order/orderstore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>

using namespace vorlan;

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
    const int before = store.scalar(QStringLiteral("select count(*) from 存单")).toInt();
    const int lastId = store.scalar(QStringLiteral("select max(ID) from 存单")).toInt();

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

    QList<double> times;
    for (int i = 0; i < repeats; ++i) {
        order.phone = QStringLiteral("139%1").arg(i % 60000, 8, 10, QLatin1Char('0'));
        QElapsedTimer t;
        t.start();
        if (!insertOrder(store, order)) {
            QTextStream(stderr) << "insert failed: " << store.lastError() << "\n";
            return 1;
        }
        times.append(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    // Take the timed orders out again, so the folder keeps its size.
    store.execute(QStringLiteral("delete from 存单详单 where 存单ID>?"), {lastId});
    store.execute(QStringLiteral("delete from 存单 where ID>?"), {lastId});
    QTextStream(stdout) << "orders in the folder: " << before << "\n"
                        << "store a 10-line order: median " << times.at(times.size() / 2) << " ms, 95th percentile "
                        << times.at(times.size() * 95 / 100) << " ms, worst " << times.last() << " ms\n";
    return 0;
}
