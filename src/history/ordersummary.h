#pragma once

#include "historyfilter.h"

#include <QList>
#include <QString>

namespace vorlan {

class DataStore;

// Counts and money totals of the orders, kept per block of 1024 order IDs and per day by
// triggers on 存单, so that a history page finds its orders and the totals of any filter
// but the phone without reading the order table. A day runs from just after its starting
// midnight up to and including the next midnight, as the day and period filters count.
inline constexpr int kSummaryBlockSize = 1024;

// Creates the summary table and its triggers when they are missing (filling it from the
// stored orders, once) and returns whether the summary is in place.
bool ensureOrderSummary(DataStore &store, QString *error = nullptr);

struct SummaryBlock {
    qint64 block = 0; // order IDs block × 1024 … block × 1024 + 1023
    qint64 count = 0;
    double totalSum = 0; // 合计
    double paidSum = 0;  // 实付
};

// The blocks holding orders of the filter, in ascending order. Not for phone filters.
QList<SummaryBlock> summaryBlocks(DataStore &store, const HistoryFilter &filter);

} // namespace vorlan
