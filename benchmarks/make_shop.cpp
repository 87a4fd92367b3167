// Builds a program folder holding a large synthetic shop: years of orders with their
// lines, many customers and a big catalog. Later benchmarks open it.
//
//   make_shop DIR [orders=1000000] [dishes=2000] [customers=50000]

#include "core/datastore.h"
#include "core/dates.h"
#include "core/paths.h"
#include "core/schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTextStream>

using namespace vorlan;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        QTextStream(stderr) << "usage: make_shop DIR [orders] [dishes] [customers]\n";
        return 2;
    }
    const ProgramPaths paths{QDir(args.at(1)).absolutePath()};
    const int orders = args.size() > 2 ? args.at(2).toInt() : 1000000;
    const int dishes = args.size() > 3 ? args.at(3).toInt() : 2000;
    const int customers = args.size() > 4 ? args.at(4).toInt() : 50000;

    QDir().mkpath(paths.home);
    DataStore store(QStringLiteral("make_shop"));
    const OpenedStore opened = openDataStore(store, paths.dataDir(), paths.databasePath(), paths.configPath());
    if (!opened.ok) {
        QTextStream(stderr) << "cannot open: " << opened.error << "\n";
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    QRandomGenerator rng(20261209);
    QSqlDatabase db = store.database();
    QSqlQuery q(db);
    q.exec(QStringLiteral("pragma synchronous=off"));

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
        q.exec();
    }
    q.prepare(QStringLiteral("insert into 客户 (电话,姓名,地址,最近订餐日期,订餐次数) values (?,?,?,?,?)"));
    for (int i = 0; i < customers; ++i) {
        q.addBindValue(QStringLiteral("139%1").arg(i, 8, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("顾客%1").arg(i));
        q.addBindValue(QStringLiteral("幸福路%1号").arg(i % 900));
        q.addBindValue(QStringLiteral("2026-12-01 12:00:00"));
        q.addBindValue(1 + i % 40);
        q.exec();
    }
    db.commit();

    // Orders spread evenly over the years before today, numbered per day.
    const QDateTime end(QDate::currentDate(), QTime(0, 0));
    const qint64 span = 3LL * 365 * 24 * 3600;
    const QDateTime begin = end.addSecs(-span);
    const QStringList payments = {QStringLiteral("现金支付"), QStringLiteral("微信支付"), QStringLiteral("支付宝支付"),
                                  QStringLiteral("到付")};
    QSqlQuery order(db);
    order.prepare(QStringLiteral("insert into 存单 (编号,票头,店铺名称,时间,减免,减免份数,减免金额,合计,支付方式,已付,实付,"
                                 "桌号,电话,姓名,地址,是否结算,备注) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    QSqlQuery line(db);
    line.prepare(QStringLiteral("insert into 存单详单 (存单ID,销售时间,菜名,数量,单位,小计) values (?,?,?,?,?,?)"));
    QDate day;
    int number = 0;
    db.transaction();
    for (int i = 0; i < orders; ++i) {
        const QDateTime t = begin.addSecs(span * i / orders + 60);
        if (t.date() != day) {
            day = t.date();
            number = 0;
        }
        const QString time = isoDateTime(QDateTime(t.date(), QTime(t.time().hour(), t.time().minute())));
        const int c = static_cast<int>(rng.bounded(customers));
        // One order in four is eaten in: a table, no customer.
        const bool eatIn = i % 4 == 3;
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
        order.addBindValue(eatIn ? QString() : QStringLiteral("139%1").arg(c, 8, 10, QLatin1Char('0')));
        order.addBindValue(eatIn ? QString() : QStringLiteral("顾客%1").arg(c));
        order.addBindValue(eatIn ? QString() : QStringLiteral("幸福路%1号").arg(c % 900));
        order.addBindValue(1);
        order.addBindValue(QString());
        order.exec();
        const qlonglong id = order.lastInsertId().toLongLong();
        for (const auto &[name, amount] : picked) {
            line.addBindValue(id);
            line.addBindValue(time);
            line.addBindValue(name);
            line.addBindValue(1.0);
            line.addBindValue(QStringLiteral("份"));
            line.addBindValue(amount);
            line.exec();
        }
        if (i % 100000 == 99999) {
            db.commit();
            db.transaction();
            QTextStream(stdout) << (i + 1) << " orders, " << timer.elapsed() / 1000 << " s\n" << Qt::flush;
        }
    }
    db.commit();
    q.exec(QStringLiteral("analyze"));
    QTextStream(stdout) << "done: " << orders << " orders in " << timer.elapsed() / 1000 << " s at " << paths.home << "\n";
    return 0;
}
