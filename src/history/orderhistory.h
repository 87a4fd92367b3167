#pragma once

#include "core/paging.h"
#include "historyfilter.h"

#include <QList>
#include <QString>

namespace vorlan {

class DataStore;

inline constexpr int kHistoryPageSize = kListPageSize;

// One order as the history list shows it.
struct HistoryRow {
    qint64 id = 0;
    QString number;
    QString date; // "2017年10月21日"
    QString total, paid;
    QString table, phone, name, address;
};

// What showing a history page produces. `listed` is false when the page asked for was
// neither -1 nor 1 or above: the list and the page labels then stay as they are (the
// list is still emptied when no order matches).
struct HistoryPage {
    qint64 count = 0;
    double totalSum = 0; // 合计
    double paidSum = 0;  // 实付
    int pageCount = 0;
    int page = 0;
    bool listed = false;
    bool summarised = false; // counted through the order summary, not the order table
    QList<HistoryRow> rows; // ascending ID, top row first
};

// Pages of `count` rows, 200 a page, rounded up.
int historyPageCount(qint64 count);

// The integer part of a money total for the status bar ("1234.9" → 1234). A total that
// only misses a whole number by the rounding of binary fractions counts as that number.
qint64 truncatedTotal(double sum);

// Orders are ranked by ascending ID; page p holds ranks (p−1)×200+1 … p×200. `page` -1
// asks for the last page; a page beyond the last gives the last (0 when nothing matches).
// Reads through the order summary when it is in place (every filter but the phone), else
// counts from the order table: slower on a big history, but the same result.
HistoryPage fetchHistoryPage(DataStore &store, const HistoryFilter &filter, int page);

// Deletes the order with its lines in one transaction.
bool deleteOrder(DataStore &store, qint64 id, QString *error = nullptr);

} // namespace vorlan
