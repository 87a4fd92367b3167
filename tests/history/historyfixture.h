#pragma once

#include "core/datastore.h"
#include "testhome.h"

#include <QDateTime>
#include <QStringList>

namespace vorlan {

// One stored order as the tests write it straight into the tables.
struct TestOrder {
    QString time = QStringLiteral("2017-10-21 09:05:00");
    double total = 25;
    double paid = 25;
    QString phone = {};
    QString name = {};
    QString address = {};
    QString remark = {};
    int number = 1;
    QList<QStringList> lines = {{QStringLiteral("红烧排骨饭"), QStringLiteral("1"), QStringLiteral("份"), QStringLiteral("18")}};
};

inline qint64 addOrder(DataStore &store, const TestOrder &o)
{
    const bool ok = store.execute(
        QStringLiteral("insert into 存单 (编号,票头,店铺名称,时间,减免,减免份数,减免金额,合计,支付方式,已付,实付,桌号,电话,姓名,地址,"
                       "是否结算,备注) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
        {o.number, QStringLiteral("微信点餐"), QStringLiteral("白云快餐"), o.time, QStringLiteral("无"), 0, 0,
         double(float(o.total)), QStringLiteral("现金支付"), o.paid, o.paid, QString(), o.phone, o.name, o.address, 1,
         o.remark});
    if (!ok)
        return 0;
    const qint64 id = store.scalar(QStringLiteral("select max(ID) from 存单")).toLongLong();
    for (const QStringList &l : o.lines)
        store.execute(QStringLiteral("insert into 存单详单 (存单ID,销售时间,菜名,数量,单位,小计) values (?,?,?,?,?,?)"),
                      {id, o.time, l.value(0), l.value(1).toDouble(), l.value(2), double(float(l.value(3).toDouble()))});
    return id;
}

// `count` orders a minute apart from 2017-10-21 08:00, in one transaction; every third
// one eaten in (no phone, no address), phones cycling over five customers.
inline void addOrders(DataStore &store, int count, const QDateTime &start = QDateTime(QDate(2017, 10, 21), QTime(8, 0)))
{
    store.transaction();
    for (int i = 0; i < count; ++i) {
        TestOrder o;
        o.time = start.addSecs(60LL * i).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        o.number = i + 1;
        o.total = o.paid = 10 + i % 7 * 0.5;
        if (i % 3 != 2) {
            o.phone = QStringLiteral("1390000000%1").arg(i % 5);
            o.address = QStringLiteral("幸福路%1号").arg(i % 5);
        }
        addOrder(store, o);
    }
    store.commit();
}

} // namespace vorlan
