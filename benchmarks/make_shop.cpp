// Builds a program folder holding a large synthetic shop: ten years of orders with their
// lines, many customers and the catalog their dishes come from. Later benchmarks open it.
// The generator is seeded and its calendar fixed, so the same parameters always give the
// same shop.
//
//   make_shop DIR [orders=1000000] [dishes=2000] [customers=50000]
//   make_shop --describe [orders] [dishes] [customers]   (prints the parameters' stamp)
//   make_shop --prepare DIR   (opens a saved shop as the program would and builds what is
//                              missing: schema upgrades, indexes, the order summary)
//
// Orders fall on every day of the ten years up to 2026-11-30, evenly between 09:00 and
// 22:00 (about 274 a day for a million), numbered from 1 each day. One order in four is
// eaten in (a table, no customer); four in five of the others carry a customer's phone,
// so 60% of all orders have one. One regular customer places one in two hundred of the
// phoned orders (a few thousand). Each order has 1 to 5 lines. The customers' order
// counts and last order times are those of their orders. The folder ends with the order
// summary and every index the windows use, so that no benchmark builds them in a timed run.

#include "core/datastore.h"
#include "core/dates.h"
#include "core/paths.h"
#include "core/schema.h"
#include "history/ordersummary.h"
#include "masterdata/customers.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTextStream>

#include <vector>

using namespace vorlan;

namespace {

// Raise it whenever the generated data changes, so that saved shops are built again.
constexpr int kGeneratorVersion = 2;
constexpr quint32 kSeed = 20261209;
const QDate kFirstDay(2016, 12, 1);
const QDate kEndDay(2026, 12, 1); // exclusive: the last day is 2026-11-30
constexpr qint64 kOpenSeconds = 13 * 3600; // 09:00 to 22:00

QString phoneOf(int customer) { return QStringLiteral("139%1").arg(customer, 8, 10, QLatin1Char('0')); }

void progress(const QString &text, bool done = false)
{
    QTextStream(stdout) << '\r' << text.leftJustified(72) << (done ? "\n" : "") << Qt::flush;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        QTextStream(stderr) << "usage: make_shop DIR|--describe [orders] [dishes] [customers]\n";
        return 2;
    }
    if (args.at(1) == QStringLiteral("--prepare") && args.size() == 3) {
        const ProgramPaths paths{QDir(args.at(2)).absolutePath()};
        QElapsedTimer timer;
        timer.start();
        DataStore store(QStringLiteral("make_shop"));
        const OpenedStore opened = openDataStore(store, paths.dataDir(), paths.databasePath(), paths.configPath());
        QString error;
        // An older folder's first open: the order summary built in steps, as the history
        // window does it behind its progress dialog.
        const bool built = opened.ok && !orderSummaryInPlace(store);
        if (built && buildOrderSummary(store, [](qint64 done, qint64 total) {
                progress(QStringLiteral("order summary %1/%2 blocks").arg(done).arg(total));
                return true;
            }, &error) != SummaryBuild::Built) {
            QTextStream(stderr) << "\ncannot build the order summary: " << error << "\n";
            return 1;
        }
        if (built)
            progress(QStringLiteral("order summary built in %1 ms").arg(timer.elapsed()), true);
        if (!opened.ok || !ensureOrderSummary(store, &error)) {
            QTextStream(stderr) << "cannot prepare " << paths.home << ": " << opened.error << error << store.lastError() << "\n";
            return 1;
        }
        QTextStream(stdout) << "shop opened and checked in " << timer.elapsed() << " ms\n";
        return 0;
    }
    const int orders = args.size() > 2 ? args.at(2).toInt() : 1000000;
    const int dishes = args.size() > 3 ? args.at(3).toInt() : 2000;
    const int customers = args.size() > 4 ? args.at(4).toInt() : 50000;
    if (orders < 1 || dishes < 1 || customers < 1) {
        QTextStream(stderr) << "orders, dishes and customers must be positive\n";
        return 2;
    }
    if (args.at(1) == QStringLiteral("--describe")) {
        QTextStream(stdout) << QStringLiteral("make_shop v%1 seed %2 orders %3 dishes %4 customers %5 days %6..%7\n")
                                   .arg(kGeneratorVersion)
                                   .arg(kSeed)
                                   .arg(orders)
                                   .arg(dishes)
                                   .arg(customers)
                                   .arg(kFirstDay.toString(Qt::ISODate), kEndDay.addDays(-1).toString(Qt::ISODate));
        return 0;
    }
    const ProgramPaths paths{QDir(args.at(1)).absolutePath()};
    if (QFileInfo::exists(paths.databasePath())) {
        QTextStream(stderr) << paths.databasePath() << " exists already; make the shop in a new folder\n";
        return 2;
    }

    QDir().mkpath(paths.home);
    DataStore store(QStringLiteral("make_shop"));
    const OpenedStore opened = openDataStore(store, paths.dataDir(), paths.databasePath(), paths.configPath());
    if (!opened.ok) {
        QTextStream(stderr) << "cannot open: " << opened.error << "\n";
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    QRandomGenerator rng(kSeed);
    QSqlDatabase db = store.database();
    QSqlQuery q(db);
    q.exec(QStringLiteral("pragma synchronous=off"));
    const auto failed = [&](const QSqlQuery &query) {
        QTextStream(stderr) << "\nwrite failed: " << query.lastError().text() << "\n";
        return 1;
    };

    db.transaction();
    q.prepare(QStringLiteral("insert into 菜单 (代码,字母,菜名,价格,单位) values (?,?,?,?,?)"));
    QStringList dishNames;
    for (int i = 0; i < dishes; ++i) {
        const QString name = QStringLiteral("菜品%1号").arg(i + 1);
        dishNames.append(name);
        q.addBindValue(QString::number(1000 + i));
        q.addBindValue(QStringLiteral("cp%1").arg(i + 1));
        q.addBindValue(name);
        q.addBindValue(5 + (i % 60) * 0.5);
        q.addBindValue(QStringLiteral("份"));
        if (!q.exec())
            return failed(q);
    }
    db.commit();

    const QStringList payments = {QStringLiteral("现金支付"), QStringLiteral("微信支付"), QStringLiteral("支付宝支付"),
                                  QStringLiteral("到付")};
    const qint64 days = kFirstDay.daysTo(kEndDay);
    const int regular = customers / 4; // the customer with a few thousand orders
    std::vector<int> orderCount(customers, 0);
    std::vector<QString> lastOrder(customers);

    QSqlQuery order(db);
    order.prepare(QStringLiteral("insert into 存单 (编号,票头,店铺名称,时间,减免,减免份数,减免金额,合计,支付方式,已付,实付,"
                                 "桌号,电话,姓名,地址,是否结算,备注) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    QSqlQuery line(db);
    line.prepare(QStringLiteral("insert into 存单详单 (存单ID,销售时间,菜名,数量,单位,小计) values (?,?,?,?,?,?)"));
    qint64 day = -1;
    int number = 0;
    qint64 lineCount = 0;
    db.transaction();
    for (int i = 0; i < orders; ++i) {
        // The opening hours of all days laid end to end, shared out evenly.
        const qint64 at = qint64(i) * days * kOpenSeconds / orders;
        if (at / kOpenSeconds != day) {
            day = at / kOpenSeconds;
            number = 0;
        }
        const qint64 second = 9 * 3600 + at % kOpenSeconds;
        const QString time = isoDateTime(QDateTime(kFirstDay.addDays(day), QTime(int(second / 3600), int(second / 60 % 60))));
        const bool eatIn = i % 4 == 3;
        int c = -1;
        if (!eatIn && rng.bounded(5) != 0)
            c = rng.bounded(200) == 0 ? regular : static_cast<int>(rng.bounded(customers));
        double total = 0;
        const int lines = 1 + static_cast<int>(rng.bounded(5)); // three on average
        QList<QPair<QString, double>> picked;
        for (int l = 0; l < lines; ++l) {
            const int d = static_cast<int>(rng.bounded(dishes));
            const double amount = 5 + (d % 60) * 0.5;
            picked.append({dishNames.at(d), amount});
            total += amount;
        }
        order.addBindValue(++number);
        order.addBindValue(QStringLiteral("微信点餐"));
        order.addBindValue(QStringLiteral("白云快餐"));
        order.addBindValue(time);
        order.addBindValue(QString());
        order.addBindValue(0);
        order.addBindValue(0);
        order.addBindValue(total);
        order.addBindValue(payments.at(i % payments.size()));
        order.addBindValue(total);
        order.addBindValue(total);
        order.addBindValue(eatIn ? QStringLiteral("桌号 2楼%1桌").arg(1 + i % 4) : QString());
        order.addBindValue(c < 0 ? QString() : phoneOf(c));
        order.addBindValue(c < 0 ? QString() : QStringLiteral("顾客%1").arg(c));
        order.addBindValue(c < 0 ? QString() : QStringLiteral("幸福路%1号").arg(c % 900));
        order.addBindValue(1);
        order.addBindValue(QString());
        if (!order.exec())
            return failed(order);
        if (c >= 0) {
            ++orderCount[c];
            lastOrder[c] = time;
        }
        const qlonglong id = order.lastInsertId().toLongLong();
        for (const auto &[name, amount] : picked) {
            line.addBindValue(id);
            line.addBindValue(time);
            line.addBindValue(name);
            line.addBindValue(1.0);
            line.addBindValue(QStringLiteral("份"));
            line.addBindValue(amount);
            if (!line.exec())
                return failed(line);
        }
        lineCount += lines;
        if (i % 20000 == 19999 || i + 1 == orders) {
            db.commit();
            db.transaction();
            progress(QStringLiteral("orders %1 of %2 (%3%), %4 lines, %5 s")
                         .arg(i + 1)
                         .arg(orders)
                         .arg(qint64(i + 1) * 100 / orders)
                         .arg(lineCount)
                         .arg(timer.elapsed() / 1000));
        }
    }
    db.commit();
    progress(QStringLiteral("orders %1, lines %2 in %3 s").arg(orders).arg(lineCount).arg(timer.elapsed() / 1000), true);

    db.transaction();
    q.prepare(QStringLiteral("insert into 客户 (电话,姓名,地址,最近订餐日期,订餐次数) values (?,?,?,?,?)"));
    for (int i = 0; i < customers; ++i) {
        q.addBindValue(phoneOf(i));
        q.addBindValue(QStringLiteral("顾客%1").arg(i));
        q.addBindValue(QStringLiteral("幸福路%1号").arg(i % 900));
        q.addBindValue(lastOrder[i].isEmpty() ? QStringLiteral("2016-11-30 12:00:00") : lastOrder[i]);
        q.addBindValue(orderCount[i]);
        if (!q.exec())
            return failed(q);
    }
    db.commit();

    // What the windows would otherwise build the first time they open this folder.
    progress(QStringLiteral("order summary and indexes ..."));
    QString error;
    if (!ensureOrderSummary(store, &error)) {
        QTextStream(stderr) << "\ncannot build the summary or the indexes: " << error << store.lastError() << "\n";
        return 1;
    }
    q.exec(QStringLiteral("analyze"));
    q.exec(QStringLiteral("pragma wal_checkpoint(truncate)"));
    progress(QStringLiteral("done: %1 orders, %2 lines, %3 customers (regular %4 with %5 orders) in %6 s at %7")
                 .arg(orders)
                 .arg(lineCount)
                 .arg(customers)
                 .arg(phoneOf(regular))
                 .arg(orderCount[regular])
                 .arg(timer.elapsed() / 1000)
                 .arg(paths.home),
             true);
    return 0;
}
