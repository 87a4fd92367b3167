#pragma once

#include <QString>
#include <QStringList>

namespace vorlan {

class DataStore;

// The operator's last choices on the order window, kept in 记录 from one run to the next.
struct LastSelections {
    QString header, shopName, discount, discountPortions, discountAmount, paymentMethod;
};

LastSelections readLastSelections(DataStore &store);
// One transaction; false (with the store's error) stores none of them.
bool saveLastSelections(DataStore &store, const LastSelections &selections);

// The table list 桌号: codes and names in list order.
struct TableList {
    QStringList codes;
    QStringList names;
};
TableList readTableList(DataStore &store);

} // namespace vorlan
