#include "ordersummary.h"

#include "core/datastore.h"
#include "core/dates.h"

namespace vorlan {

std::optional<QList<SummaryBlock>> summaryBlocks(DataStore &store, const HistoryFilter &filter)
{
    if (!orderSummaryInPlace(store))
        return std::nullopt;
    // The summary's days are calendar days; a business day that starts later is counted
    // from the order table.
    if (filter.isTimeRange() && businessDayStart() != QTime(0, 0))
        return std::nullopt;
    const bool takeout = filter.kind == HistoryFilter::Kind::Takeout;
    QString sql = takeout ? QStringLiteral("select 块, sum(外卖单数), sum(外卖合计), sum(外卖实付) from 存单汇总")
                          : QStringLiteral("select 块, sum(单数), sum(合计), sum(实付) from 存单汇总");
    QVariantList values;
    if (filter.isTimeRange()) {
        sql += QStringLiteral(" where 日 >= ? and 日 <= ?");
        values = {filter.firstDay.toString(Qt::ISODate), filter.lastDay.toString(Qt::ISODate)};
    }
    sql += QStringLiteral(" group by 块 order by 块");

    if (!store.query(sql, values))
        return std::nullopt;
    QList<SummaryBlock> blocks;
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
