#pragma once

#include "webordering/weborders.h"

#include <functional>

namespace vorlan {

class DataStore;

// What the till's windows do with the waiting orders, as functions, so that a window can
// be shown on any source of orders.
struct WebOrderFunctions {
    std::function<QList<WebOrder>()> waiting = [] { return QList<WebOrder>(); };
    std::function<int()> waitingCount = [] { return 0; };
    std::function<bool(qint64 id)> accept = [](qint64) { return false; };
    std::function<bool(qint64 id, const QString &reason)> reject = [](qint64, const QString &) { return false; };
};

// The functions on the table 网络订单 of `store`.
WebOrderFunctions storedWebOrderFunctions(DataStore &store);

} // namespace vorlan
