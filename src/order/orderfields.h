#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace vorlan {

class DataStore;

struct CustomerContact {
    QString name;
    QString address;
};

// The first stored customer whose phone equals `phone` once the blanks around it are
// removed; nullopt when there is none (or the query fails).
std::optional<CustomerContact> findCustomerByPhone(DataStore &store, const QString &phone);

// Index of the first table whose code equals `code` exactly (not trimmed), or -1.
int matchTableCode(const QStringList &tableCodes, const QString &code);

} // namespace vorlan
