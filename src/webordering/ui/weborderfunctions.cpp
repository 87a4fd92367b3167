#include "weborderfunctions.h"

namespace vorlan {

WebOrderFunctions storedWebOrderFunctions(DataStore &store)
{
    WebOrderFunctions f;
    f.waiting = [&store] { return waitingWebOrders(store); };
    f.waitingCount = [&store] { return waitingWebOrderCount(store); };
    f.accept = [&store](qint64 id) { return acceptWebOrder(store, id); };
    f.reject = [&store](qint64 id, const QString &reason) { return rejectWebOrder(store, id, reason); };
    return f;
}

} // namespace vorlan
