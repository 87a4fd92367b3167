#include "orderhistory.h"

#include "ordersummary.h"

#include "core/datastore.h"
#include "core/dates.h"
#include "core/numbers.h"

#include <cmath>

namespace vorlan {

int historyPageCount(qint64 count) { return listPageCount(count); }

qint64 truncatedTotal(double sum)
{
    // Totals of single-precision amounts land a hair below a whole number now and then
    // (0.1 + 0.2 + 0.7 gives 0.99999999…); money has at most four decimals that matter.
    return static_cast<qint64>(std::trunc(std::round(sum * 1e4) / 1e4));
}

namespace {

const QString kRowColumns = QStringLiteral("select ID, 编号, 时间, 合计, 实付, 桌号, 电话, 姓名, 地址 from 存单");

QString dateText(const QString &time)
{
    // Stored times are "YYYY-MM-DD HH:MM:SS"; only the day shows.
    const QDate d = QDate::fromString(time.left(10), Qt::ISODate);
    return d.isValid() ? chineseDate(d) : QString();
}

void readRows(DataStore &store, const QString &sql, const QVariantList &values, QList<HistoryRow> &rows)
{
    store.query(sql, values);
    while (!store.atEnd()) {
        rows.append({store.readValue(0).toLongLong(), store.readText(1), dateText(store.readText(2)),
                     formatSingle(store.readSingle(3)), formatSingle(store.readSingle(4)), store.readText(5),
                     store.readText(6), store.readText(7), store.readText(8)});
        store.next();
    }
    store.closeQuery();
}

// Fills page.count and the sums; through the summary when it serves the filter (then
// also the blocks), else from the order table.
void readTotals(DataStore &store, const HistoryFilter &filter, HistoryPage &page, QList<SummaryBlock> &blocks)
{
    if (filter.kind != HistoryFilter::Kind::Phone) {
        if (auto summary = summaryBlocks(store, filter)) {
            page.summarised = true;
            blocks = std::move(*summary);
            for (const SummaryBlock &b : blocks) {
                page.count += b.count;
                page.totalSum += b.totalSum;
                page.paidSum += b.paidSum;
            }
            return;
        }
    }
    const QString where = filter.isEmpty() ? QString() : QStringLiteral(" where ") + filter.condition();
    store.query(QStringLiteral("select count(*), sum(合计), sum(实付) from 存单") + where, filter.values());
    page.count = store.readValue(0).toLongLong();
    page.totalSum = store.readDouble(1);
    page.paidSum = store.readDouble(2);
    store.closeQuery();
}

} // namespace

HistoryPage fetchHistoryPage(DataStore &store, const HistoryFilter &filter, int page)
{
    HistoryPage result;
    QList<SummaryBlock> blocks;
    readTotals(store, filter, result, blocks);
    const PagePlace place = placePage(result.count, page);
    result.pageCount = place.pageCount;
    result.page = place.page;
    result.listed = place.listed;
    if (result.page == 0)
        return result;

    const qint64 first = qint64(result.page - 1) * kHistoryPageSize; // rank of the top row, from 0
    const qint64 rows = std::min<qint64>(kHistoryPageSize, result.count - first);
    const QString condition = filter.condition();
    QVariantList values = filter.values();

    if (!result.summarised) {
        // The phone index lists a customer's orders in ID order; without the summary the
        // other filters are read the same way, walking the orders ahead of the page.
        values << rows << first;
        readRows(store,
                 kRowColumns + (condition.isEmpty() ? QString() : QStringLiteral(" where ") + condition)
                     + QStringLiteral(" order by ID limit ? offset ?"),
                 values, result.rows);
        return result;
    }

    // Find the blocks holding the first and the last row of the page, then read only the
    // order IDs of those blocks.
    qint64 before = 0; // orders in the blocks ahead of the first block
    int firstBlock = 0;
    while (firstBlock < blocks.size() && before + blocks.at(firstBlock).count <= first)
        before += blocks.at(firstBlock++).count;
    if (firstBlock == blocks.size())
        return result;
    int lastBlock = firstBlock;
    qint64 through = before + blocks.at(lastBlock).count;
    while (lastBlock + 1 < blocks.size() && through < first + rows)
        through += blocks.at(++lastBlock).count;

    QString sql = kRowColumns + QStringLiteral(" where ID >= ? and ID < ?");
    QVariantList bound = {blocks.at(firstBlock).block * kSummaryBlockSize,
                          (blocks.at(lastBlock).block + 1) * kSummaryBlockSize};
    if (!condition.isEmpty()) {
        sql += QStringLiteral(" and ") + condition;
        bound += values;
    }
    sql += QStringLiteral(" order by ID limit ? offset ?");
    bound << rows << (first - before);
    readRows(store, sql, bound, result.rows);
    return result;
}

bool deleteOrder(DataStore &store, qint64 id, QString *error)
{
    const bool ok = inTransaction(store, [&] {
        return store.execute(QStringLiteral("delete from 存单详单 where 存单ID = ?"), {id})
            && store.execute(QStringLiteral("delete from 存单 where ID = ?"), {id});
    });
    if (!ok && error)
        *error = store.lastError();
    return ok;
}

} // namespace vorlan
