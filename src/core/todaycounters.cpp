#include "todaycounters.h"

#include "datastore.h"
#include "dates.h"

namespace vorlan {

DayCounters readDayCounters(DataStore &store, const QDate &day)
{
    const TimeRange range = dayRange(day);
    DayCounters counters;
    // One pass over the time index gives all three figures.
    if (store.query(QStringLiteral("select max(编号), count(*), sum(实付) from 存单 where 时间>? and 时间<=?"),
                    {range.from, range.to})) {
        counters.highestNumber = store.readInt(0);
        counters.orderCount = store.readInt(1);
        counters.income = store.readDouble(2);
    }
    store.closeQuery();
    return counters;
}

} // namespace vorlan
