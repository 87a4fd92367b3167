#pragma once

#include "core/orderlinetexts.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace vorlan {

class DataStore;

// The texts of the main window's fields at the moment the order is settled.
struct OrderFormTexts {
    QString number, header, shopName, time, discount, discountPortions, discountAmount, total, paymentMethod,
        paid, actuallyPaid, table, phone, name, address, remark;
    QList<OrderLine> lines; // in grid order

};

struct StoredLine {
    QString name;
    double quantity = 0;
    QString unit;
    double amount = 0;
};

// The values of one 存单 row with its lines.
struct SettledOrder {
    int number = 0;
    QString header, shopName;
    QDateTime time;
    QString discount;
    int discountPortions = 0;
    double discountAmount = 0;
    double total = 0;
    QString paymentMethod;
    double paid = 0, actuallyPaid = 0;
    QString table, phone, name, address;
    bool settled = false;
    QString remark;
    QList<StoredLine> lines;
};

// Reads the order from the field texts. Numbers follow the program's number rules (an
// empty field is 0); the time text takes `yearIfMissing` when it carries no year. What
// cannot be stored faithfully gives a message for the operator instead.
std::variant<SettledOrder, QString> collectSettledOrder(const OrderFormTexts &texts, int yearIfMissing);

// Stores a new order, its lines and the customer's statistics in one transaction and
// returns the new order's ID; nullopt (with `error`) stores nothing.
std::optional<int> insertOrder(DataStore &store, const SettledOrder &order, QString *error = nullptr);

// Rewrites order `id` and replaces all its lines in one transaction; the customer's
// statistics stay as they are.
bool replaceOrder(DataStore &store, int id, const SettledOrder &order, QString *error = nullptr);

// Adds one order to the customer of this phone, or creates the customer. The stored name
// and address of a known customer stay. Runs inside the caller's transaction.
bool updateCustomerStats(DataStore &store, const QString &phone, const QString &name, const QString &address,
                         const QDateTime &time);

// One stored order as the main window shows it again for modification. Every number is
// the text that gives back exactly the stored value, so settling the order again without
// an edit stores the same values.
struct StoredOrder {
    int id = 0;
    QString number, header, shopName;
    QDateTime time;
    QString discount, discountPortions, discountAmount, total, paymentMethod, paid, actuallyPaid, table, phone,
        name, address, remark;
    QList<OrderLine> lines;
};

std::optional<StoredOrder> readStoredOrder(DataStore &store, int id);

} // namespace vorlan
