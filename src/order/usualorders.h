#pragma once

#include "core/orderlinetexts.h"
#include "dishcatalog.h"

#include <QList>
#include <QString>

namespace vorlan {

class DataStore;

// One of a customer's recent orders, as the main window lists it for ordering again.
struct UsualOrder {
    int id = 0;
    QString time;  // stored text, "YYYY-MM-DD HH:MM:SS"
    double total = 0;
    QList<OrderLine> lines; // as stored: quantity and amount in their exact texts
};

inline constexpr int kUsualOrderCount = 5;

// The newest `limit` orders (by time, then entry) of the customer whose phone equals
// `phone` once the blanks around it are removed. A phone no customer has gives none, and
// so does an empty one. Runs on the index of the order phone.
QList<UsualOrder> readUsualOrders(DataStore &store, const QString &phone, int limit = kUsualOrderCount);

// The list's texts: the date ("12-08", with the year when it is not `currentYear`), the
// items in short ("红烧排骨饭×2 西红柿炒蛋", cut at `maxChars` with "…") and the total.
QString usualOrderDate(const UsualOrder &order, int currentYear);
QString usualOrderItems(const UsualOrder &order, int maxChars = 40);

// A line put on the window again: a dish still in the catalog takes today's unit and
// price for its stored quantity; one that is gone keeps the stored unit and amount and is
// marked `missing`.
struct RepeatedLine {
    OrderLine line;
    bool missing = false;
};
QList<RepeatedLine> repeatUsualOrder(const UsualOrder &order, const DishCatalog &catalog, int decimalPlaces);

} // namespace vorlan
