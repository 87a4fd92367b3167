#pragma once

#include <QString>

#include <functional>

namespace vorlan {

class DataStore;

// The order summary table 存单汇总: counts and money totals of the orders per block of
// 1024 order IDs and per day, kept by triggers on 存单. A day runs from just after its
// starting midnight up to and including the next midnight.
inline constexpr int kSummaryBlockSize = 1024;

// True when the table and its three triggers are all there, so the summary is complete
// and kept along with every write.
bool orderSummaryInPlace(DataStore &store);

enum class SummaryBuild { Built, Cancelled, Failed };

// Hears the blocks done and the blocks in all, between steps; returning false cancels.
using SummaryProgress = std::function<bool(qint64 done, qint64 total)>;

// (Re)builds the summary from the stored orders in one transaction, `blocksPerStep` ID
// blocks a step. A cancelled or failed build leaves no summary behind (the state before
// it: none, or an incomplete one without its triggers, which is never trusted).
SummaryBuild buildOrderSummary(DataStore &store, const SummaryProgress &progress = {}, QString *error = nullptr,
                               int blocksPerStep = 64);

// Drops what is left of a summary that is not whole: triggers without their table would
// make every write of an order fail, a table without its triggers would go stale.
bool removeIncompleteOrderSummary(DataStore &store);

// Builds the summary when it is not in place; true when it is in place afterwards.
bool ensureOrderSummary(DataStore &store, QString *error = nullptr);

} // namespace vorlan
