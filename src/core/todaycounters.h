#pragma once

#include <QDate>

namespace vorlan {

class DataStore;

// What the status bar shows for one day, and the highest order number of that day.
// A day runs after its own start (midnight, or the business day start) up to and
// including the next one.
struct DayCounters {
    int highestNumber = 0;
    int orderCount = 0;
    double income = 0.0;
};

DayCounters readDayCounters(DataStore &store, const QDate &day);

} // namespace vorlan
