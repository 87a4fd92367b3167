#pragma once

#include "core/paging.h"

#include <QList>
#include <QString>

#include <optional>

namespace vorlan {

class DataStore;

inline constexpr int kCustomerPageSize = kListPageSize;

struct CustomerRow {
    qint64 id = 0;
    QString phone, name, address;
};

// A page of the customer list, with the same rules as the order history: customers are
// ranked by ascending ID, `page` -1 is the last page, a page beyond the last gives the
// last, other values below 1 only count (`listed` false).
struct CustomerPage {
    qint64 count = 0;
    int pageCount = 0;
    int page = 0;
    bool listed = false;
    QList<CustomerRow> rows;
};

// `search` empty lists every customer; otherwise the customers whose whole name or whole
// phone equals it (through the indexes on 电话 and 姓名 the schema keeps).
CustomerPage fetchCustomerPage(DataStore &store, const QString &search, int page);

struct StoredCustomer {
    QString name, address;
};
// The first customer with this phone.
std::optional<StoredCustomer> findCustomer(DataStore &store, const QString &phone);

bool insertCustomer(DataStore &store, const QString &phone, const QString &name, const QString &address);
// Sets name and address of every customer with this phone.
bool updateCustomer(DataStore &store, const QString &phone, const QString &name, const QString &address);
// Deletes every customer with this phone; their orders stay.
bool deleteCustomer(DataStore &store, const QString &phone);

} // namespace vorlan
