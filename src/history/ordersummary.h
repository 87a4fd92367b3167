#pragma once

#include "core/ordersummarytable.h"
#include "historyfilter.h"

#include <QList>
#include <QString>

#include <optional>

namespace vorlan {

class DataStore;

// The order summary (core/ordersummarytable.h) lets a history page find its orders and
// the totals of any filter but the phone without reading the order table.
struct SummaryBlock {
    qint64 block = 0; // order IDs block × 1024 … block × 1024 + 1023
    qint64 count = 0;
    double totalSum = 0; // 合计
    double paidSum = 0;  // 实付
};

// The blocks holding orders of the filter, in ascending order. Not for phone filters.
// Nullopt when the summary is not in place or cannot be read, or for days while the
// business day does not start at midnight: the caller then counts from the order table.
std::optional<QList<SummaryBlock>> summaryBlocks(DataStore &store, const HistoryFilter &filter);

} // namespace vorlan
