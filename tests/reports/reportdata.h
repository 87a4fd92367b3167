#pragma once

#include "core/datastore.h"

#include <QTest>

namespace vorlan {

// Stored orders and order lines for the report tests; times are ISO texts.
inline void addOrder(DataStore &store, const QString &time, double paid)
{
    QVERIFY(store.execute(QStringLiteral("insert into 存单 (编号, 时间, 实付) values (1, ?, ?)"), {time, paid}));
}

inline void addLine(DataStore &store, const QString &time, const QString &dish, double quantity, double amount)
{
    QVERIFY(store.execute(QStringLiteral("insert into 存单详单 (存单ID, 销售时间, 菜名, 数量, 小计) values (1, ?, ?, ?, ?)"),
                          {time, dish, quantity, amount}));
}

// The 2016 example: 56 lines worth 1234.5 in January, 40 worth 800 in February.
inline void addSales2016(DataStore &store)
{
    QVERIFY(store.transaction());
    for (int i = 0; i < 56; ++i)
        addLine(store, QStringLiteral("2016-01-%1 12:00:00").arg(1 + i % 28, 2, 10, QLatin1Char('0')),
                i % 2 ? QStringLiteral("红烧排骨饭") : QStringLiteral("酸菜鱼"), 1, i == 0 ? 1234.5 - 55 * 22 : 22);
    for (int i = 0; i < 40; ++i)
        addLine(store, QStringLiteral("2016-02-%1 18:30:00").arg(1 + i % 28, 2, 10, QLatin1Char('0')),
                QStringLiteral("酸菜鱼"), 1, 20);
    QVERIFY(store.commit());
}

// The February 2016 income example: three orders on the 1st (90.5), one on the 3rd (20).
inline void addIncomeFebruary2016(DataStore &store)
{
    addOrder(store, QStringLiteral("2016-02-01 11:00:00"), 30);
    addOrder(store, QStringLiteral("2016-02-01 12:30:00"), 30.25);
    addOrder(store, QStringLiteral("2016-02-01 19:05:00"), 30.25);
    addOrder(store, QStringLiteral("2016-02-03 12:00:00"), 20);
}

} // namespace vorlan
