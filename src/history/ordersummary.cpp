#include "ordersummary.h"

#include "core/datastore.h"

#include <QStringList>

namespace vorlan {

namespace {

const QString kTable = QStringLiteral("存单汇总");
const QStringList kTriggers = {QStringLiteral("存单汇总_新增"), QStringLiteral("存单汇总_删除"),
                               QStringLiteral("存单汇总_修改")};

// The day an order counts for: an order stamped exactly at midnight belongs to the day
// that ends there. Orders without a time count for no day ('').
QString dayOf(const QString &row)
{
    return QStringLiteral("coalesce(case when substr(%1.时间,12,8)='00:00:00' then date(%1.时间,'-1 day') "
                          "else substr(%1.时间,1,10) end,'')")
        .arg(row);
}

QString takeoutOf(const QString &row) { return QStringLiteral("coalesce(%1.地址 <> '',0)").arg(row); }

QString addRow(const QString &row)
{
    const QString t = takeoutOf(row);
    return QStringLiteral("insert into 存单汇总 values (%1.ID/%2, %3, 1, coalesce(%1.合计,0), coalesce(%1.实付,0), "
                          "%4, %4*coalesce(%1.合计,0), %4*coalesce(%1.实付,0)) "
                          "on conflict(块,日) do update set 单数=单数+1, 合计=合计+excluded.合计, "
                          "实付=实付+excluded.实付, 外卖单数=外卖单数+excluded.外卖单数, "
                          "外卖合计=外卖合计+excluded.外卖合计, 外卖实付=外卖实付+excluded.外卖实付;")
        .arg(row)
        .arg(kSummaryBlockSize)
        .arg(dayOf(row), t);
}

QString removeRow(const QString &row)
{
    const QString t = takeoutOf(row);
    const QString where = QStringLiteral(" where 块=%1.ID/%2 and 日=%3").arg(row).arg(kSummaryBlockSize).arg(dayOf(row));
    return QStringLiteral("update 存单汇总 set 单数=单数-1, 合计=合计-coalesce(%1.合计,0), 实付=实付-coalesce(%1.实付,0), "
                          "外卖单数=外卖单数-%2, 外卖合计=外卖合计-%2*coalesce(%1.合计,0), "
                          "外卖实付=外卖实付-%2*coalesce(%1.实付,0)")
               .arg(row, t)
        + where + QStringLiteral("; delete from 存单汇总") + where + QStringLiteral(" and 单数<=0;");
}

bool summaryInPlace(DataStore &store)
{
    const int found = store.scalar(QStringLiteral("select count(*) from sqlite_master where (type='table' and name=?) "
                                                  "or (type='trigger' and name in (?,?,?))"),
                                   {kTable, kTriggers.at(0), kTriggers.at(1), kTriggers.at(2)})
                          .toInt();
    return found == 4;
}

} // namespace

bool ensureOrderSummary(DataStore &store, QString *error)
{
    if (summaryInPlace(store))
        return true;
    const bool ok = inTransaction(store, [&] {
        for (const QString &trigger : kTriggers)
            if (!store.execute(QStringLiteral("drop trigger if exists %1").arg(trigger)))
                return false;
        return store.execute(QStringLiteral("drop table if exists 存单汇总"))
            && store.execute(QStringLiteral(
                "create table 存单汇总 (块 INTEGER NOT NULL, 日 TEXT NOT NULL, 单数 INTEGER NOT NULL, "
                "合计 REAL NOT NULL, 实付 REAL NOT NULL, 外卖单数 INTEGER NOT NULL, 外卖合计 REAL NOT NULL, "
                "外卖实付 REAL NOT NULL, primary key (块, 日)) without rowid"))
            && store.execute(QStringLiteral("insert into 存单汇总 select ID/%1, %2, count(*), total(合计), total(实付), "
                                            "total(%3), total(%3*coalesce(合计,0)), total(%3*coalesce(实付,0)) "
                                            "from 存单 group by 1, 2")
                                 .arg(kSummaryBlockSize)
                                 .arg(dayOf(QStringLiteral("存单")), takeoutOf(QStringLiteral("存单"))))
            && store.execute(QStringLiteral("create trigger %1 after insert on 存单 begin %2 end")
                                 .arg(kTriggers.at(0), addRow(QStringLiteral("new"))))
            && store.execute(QStringLiteral("create trigger %1 after delete on 存单 begin %2 end")
                                 .arg(kTriggers.at(1), removeRow(QStringLiteral("old"))))
            && store.execute(QStringLiteral("create trigger %1 after update of ID, 时间, 合计, 实付, 地址 on 存单 "
                                            "begin %2 %3 end")
                                 .arg(kTriggers.at(2), removeRow(QStringLiteral("old")), addRow(QStringLiteral("new"))));
    });
    if (!ok && error)
        *error = store.lastError();
    return ok;
}

QList<SummaryBlock> summaryBlocks(DataStore &store, const HistoryFilter &filter)
{
    const bool takeout = filter.kind == HistoryFilter::Kind::Takeout;
    QString sql = takeout ? QStringLiteral("select 块, sum(外卖单数), sum(外卖合计), sum(外卖实付) from 存单汇总")
                          : QStringLiteral("select 块, sum(单数), sum(合计), sum(实付) from 存单汇总");
    QVariantList values;
    if (filter.isTimeRange()) {
        sql += QStringLiteral(" where 日 >= ? and 日 <= ?");
        values = {filter.firstDay.toString(Qt::ISODate), filter.lastDay.toString(Qt::ISODate)};
    }
    sql += QStringLiteral(" group by 块 order by 块");

    QList<SummaryBlock> blocks;
    store.query(sql, values);
    while (!store.atEnd()) {
        const SummaryBlock b{store.readValue(0).toLongLong(), store.readValue(1).toLongLong(), store.readDouble(2),
                             store.readDouble(3)};
        if (b.count > 0)
            blocks.append(b);
        store.next();
    }
    store.closeQuery();
    return blocks;
}

} // namespace vorlan
