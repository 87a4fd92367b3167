#include "usualorders.h"

#include "dishlookup.h"
#include "orderfields.h"
#include "orderline.h"

#include "core/datastore.h"
#include "core/numbers.h"

#include <QHash>

namespace vorlan {

QList<UsualOrder> readUsualOrders(DataStore &store, const QString &phone, int limit)
{
    QList<UsualOrder> orders;
    const QString key = phone.trimmed();
    if (key.isEmpty() || limit <= 0 || !findCustomerByPhone(store, key))
        return orders;
    if (store.query(QStringLiteral("select ID, 时间, 合计 from 存单 where 电话=? order by 时间 desc, ID desc limit ?"),
                    {key, limit}))
        for (; !store.atEnd(); store.next())
            orders.append({store.readInt(0), store.readText(1), store.readDouble(2), {}});
    store.closeQuery();
    if (orders.isEmpty())
        return orders;

    QHash<int, qsizetype> position;
    QStringList marks;
    QVariantList ids;
    for (qsizetype i = 0; i < orders.size(); ++i) {
        position.insert(orders.at(i).id, i);
        marks.append(QStringLiteral("?"));
        ids.append(orders.at(i).id);
    }
    if (store.query(QStringLiteral("select 存单ID, 菜名, 数量, 单位, 小计 from 存单详单 where 存单ID in (%1) order by ID")
                        .arg(marks.join(QLatin1Char(','))),
                    ids))
        for (; !store.atEnd(); store.next()) {
            const auto at = position.constFind(store.readInt(0));
            if (at != position.constEnd())
                orders[*at].lines.append({store.readText(1), formatStoredNumber(store.readDouble(2)), store.readText(3),
                                          formatStoredNumber(store.readDouble(4))});
        }
    store.closeQuery();
    return orders;
}

QString usualOrderDate(const UsualOrder &order, int currentYear)
{
    // "YYYY-MM-DD ..." as stored; anything else is shown as it is.
    const QString day = order.time.left(10);
    if (day.size() != 10 || day.at(4) != QLatin1Char('-'))
        return order.time;
    return day.left(4).toInt() == currentYear ? day.mid(5) : day;
}

QString usualOrderItems(const UsualOrder &order, int maxChars)
{
    QStringList items;
    for (const OrderLine &line : order.lines) {
        const double quantity = parseNumber(line.quantity);
        items.append(isZero(quantity - 1.0) ? line.name : line.name + QStringLiteral("×") + line.quantity);
    }
    QString text = items.join(QLatin1Char(' '));
    if (maxChars > 1 && text.size() > maxChars)
        text = text.left(maxChars - 1) + QStringLiteral("…");
    return text;
}

QList<RepeatedLine> repeatUsualOrder(const UsualOrder &order, const DishCatalog &catalog, int decimalPlaces)
{
    QList<RepeatedLine> lines;
    for (const OrderLine &stored : order.lines) {
        if (findDish(catalog, stored.name.trimmed()) < 0)
            lines.append({stored, true});
        else
            lines.append({recalcLine(catalog, stored, false, decimalPlaces), false});
    }
    return lines;
}

} // namespace vorlan
