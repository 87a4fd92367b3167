#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace vorlan {

class DataStore;

// An order a customer sent from the ordering page. It waits in the table 网络订单 until
// the operator accepts it (its lines go onto the order panel) or rejects it with a reason.
// Names, units and prices are the catalog's at the moment the order arrived.
struct WebOrderLine {
    QString code;
    QString name;
    QString unit;
    double price = 0;
    int quantity = 0;
};

enum class WebOrderState { Waiting, Accepted, Rejected };

struct WebOrder {
    qint64 id = 0;
    QDateTime time;
    QString table;
    QString phone;
    QString remark;
    QList<WebOrderLine> lines;
    double total = 0;
    WebOrderState state = WebOrderState::Waiting;
    QString reason; // why it was rejected
};

// "waiting", "accepted", "rejected": the texts of the page's API and of the table.
QString webOrderStateText(WebOrderState state);

// Creates the table when it is missing; true when it is there.
bool ensureWebOrderTable(DataStore &store);

// Stores a new waiting order; its id, or nullopt when the write failed.
std::optional<qint64> addWebOrder(DataStore &store, const WebOrder &order);
std::optional<WebOrder> readWebOrder(DataStore &store, qint64 id);
// The waiting orders, oldest first.
QList<WebOrder> waitingWebOrders(DataStore &store);
int waitingWebOrderCount(DataStore &store);
// Both only change a waiting order; false when it is no longer waiting or the write failed.
bool acceptWebOrder(DataStore &store, qint64 id);
bool rejectWebOrder(DataStore &store, qint64 id, const QString &reason);

} // namespace vorlan
