#include "ordersummarytable.h"

#include "datastore.h"

#include <QStringList>

#include <algorithm>
#include <optional>

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

// One order ID (min or max) read by `sql`; false when the statement failed.
bool readId(DataStore &store, const QString &sql, const QVariantList &values, std::optional<qint64> &id)
{
    if (!store.query(sql, values))
        return false;
    const QVariant v = store.readValue(0);
    store.closeQuery();
    id = v.isNull() || !v.isValid() ? std::nullopt : std::optional(v.toLongLong());
    return true;
}

} // namespace

bool orderSummaryInPlace(DataStore &store)
{
    if (!sqldialect::isFile(store.engine()))
        return false;
    const int found = store.scalar(QStringLiteral("select count(*) from sqlite_master where (type='table' and name=?) "
                                                  "or (type='trigger' and name in (?,?,?))"),
                                   {kTable, kTriggers.at(0), kTriggers.at(1), kTriggers.at(2)})
                          .toInt();
    return found == 4;
}

SummaryBuild buildOrderSummary(DataStore &store, const SummaryProgress &progress, QString *error, int blocksPerStep)
{
    if (!sqldialect::isFile(store.engine())) {
        if (error)
            *error = sqldialect::fileOnlyMessage(QStringLiteral("订单汇总表"));
        return SummaryBuild::Failed;
    }
    blocksPerStep = std::max(blocksPerStep, 1);
    bool cancelled = false;
    const bool ok = inTransaction(store, [&] {
        for (const QString &trigger : kTriggers)
            if (!store.execute(QStringLiteral("drop trigger if exists %1").arg(trigger)))
                return false;
        if (!store.execute(QStringLiteral("drop table if exists 存单汇总"))
            || !store.execute(QStringLiteral(
                "create table 存单汇总 (块 INTEGER NOT NULL, 日 TEXT NOT NULL, 单数 INTEGER NOT NULL, "
                "合计 REAL NOT NULL, 实付 REAL NOT NULL, 外卖单数 INTEGER NOT NULL, 外卖合计 REAL NOT NULL, "
                "外卖实付 REAL NOT NULL, primary key (块, 日)) without rowid")))
            return false;

        // Steps are whole ID blocks, so no (block, day) row spans two steps.
        const QString fill = QStringLiteral("insert into 存单汇总 select ID/%1, %2, count(*), total(合计), total(实付), "
                                            "total(%3), total(%3*coalesce(合计,0)), total(%3*coalesce(实付,0)) "
                                            "from 存单 where ID >= ? and ID < ? group by 1, 2")
                                 .arg(kSummaryBlockSize)
                                 .arg(dayOf(QStringLiteral("存单")), takeoutOf(QStringLiteral("存单")));
        std::optional<qint64> lowest, highest;
        if (!readId(store, QStringLiteral("select min(ID) from 存单"), {}, lowest)
            || !readId(store, QStringLiteral("select max(ID) from 存单"), {}, highest))
            return false;
        if (lowest) {
            const qint64 first = std::max<qint64>(*lowest, 0) / kSummaryBlockSize;
            const qint64 total = std::max<qint64>(*highest, 0) / kSummaryBlockSize - first + 1;
            // The first step also takes any IDs below zero (never written by this program):
            // SQLite puts them in block 0 too.
            std::optional<qint64> from = lowest;
            while (from) {
                const qint64 block = std::max<qint64>(*from, 0) / kSummaryBlockSize;
                const qint64 end = (block + blocksPerStep) * kSummaryBlockSize;
                if (!store.execute(fill, {*from, end}))
                    return false;
                if (progress && !progress(std::min(end / kSummaryBlockSize - first, total), total)) {
                    cancelled = true;
                    return false;
                }
                // Gaps in the IDs are skipped, not walked block by block.
                if (!readId(store, QStringLiteral("select min(ID) from 存单 where ID >= ?"), {end}, from))
                    return false;
            }
        }
        return store.execute(QStringLiteral("create trigger %1 after insert on 存单 begin %2 end")
                                 .arg(kTriggers.at(0), addRow(QStringLiteral("new"))))
            && store.execute(QStringLiteral("create trigger %1 after delete on 存单 begin %2 end")
                                 .arg(kTriggers.at(1), removeRow(QStringLiteral("old"))))
            && store.execute(QStringLiteral("create trigger %1 after update of ID, 时间, 合计, 实付, 地址 on 存单 "
                                            "begin %2 %3 end")
                                 .arg(kTriggers.at(2), removeRow(QStringLiteral("old")), addRow(QStringLiteral("new"))));
    });
    if (ok)
        return SummaryBuild::Built;
    if (cancelled)
        return SummaryBuild::Cancelled;
    if (error)
        *error = store.lastError();
    return SummaryBuild::Failed;
}

bool removeIncompleteOrderSummary(DataStore &store)
{
    if (!sqldialect::isFile(store.engine()) || orderSummaryInPlace(store))
        return true;
    for (const QString &trigger : kTriggers)
        if (!store.execute(QStringLiteral("drop trigger if exists %1").arg(trigger)))
            return false;
    return store.execute(QStringLiteral("drop table if exists 存单汇总"));
}

bool ensureOrderSummary(DataStore &store, QString *error)
{
    return orderSummaryInPlace(store) || buildOrderSummary(store, {}, error) == SummaryBuild::Built;
}

} // namespace vorlan
