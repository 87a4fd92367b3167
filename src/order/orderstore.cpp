#include "orderstore.h"

#include "core/datastore.h"
#include "core/dates.h"
#include "core/numbers.h"

#include <cmath>
#include <limits>

namespace vorlan {

namespace {

constexpr int kSmallIntMax = std::numeric_limits<qint16>::max();

std::optional<int> wholeNumber(const QString &text, int limit)
{
    const double value = roundHalfUp(parseNumber(text), 0);
    if (std::fabs(value) > limit)
        return std::nullopt;
    return static_cast<int>(value);
}

QVariantList orderValues(const SettledOrder &o)
{
    return {o.number, o.header, o.shopName, isoDateTime(o.time), o.discount, o.discountPortions, o.discountAmount,
            o.total, o.paymentMethod, o.paid, o.actuallyPaid, o.table, o.phone, o.name, o.address,
            o.settled ? 1 : 0, o.remark};
}

bool insertLines(DataStore &store, int orderId, const SettledOrder &order)
{
    const QString time = isoDateTime(order.time);
    for (const StoredLine &line : order.lines)
        if (!store.execute(QStringLiteral("insert into 存单详单 (存单ID,销售时间,菜名,数量,单位,小计) values (?,?,?,?,?,?)"),
                           {orderId, time, line.name, line.quantity, line.unit, line.amount}))
            return false;
    return true;
}

void setError(QString *error, const DataStore &store)
{
    if (error)
        *error = store.lastError();
}

} // namespace

std::variant<SettledOrder, QString> collectSettledOrder(const OrderFormTexts &t, int yearIfMissing)
{
    SettledOrder o;
    bool ok = false;
    o.number = t.number.trimmed().toInt(&ok);
    if (!ok)
        return QStringLiteral("编号必须是整数，请修改编号后再结算。");
    const auto time = parseOrderTime(t.time, yearIfMissing);
    if (!time)
        return QStringLiteral("下单时间“%1”无法识别，请修改下单时间后再结算。").arg(t.time);
    o.time = *time;
    const auto portions = wholeNumber(t.discountPortions, kSmallIntMax);
    if (!portions)
        return QStringLiteral("减免份数太大，请修改后再结算。");
    o.discountPortions = *portions;
    o.header = t.header;
    o.shopName = t.shopName;
    o.discount = t.discount;
    o.discountAmount = parseNumber(t.discountAmount);
    // Money is stored as the operator saw it; single precision would turn 15.3 into
    // 15.300000190734863 and let sums over many orders drift.
    o.total = parseNumber(t.total);
    o.paymentMethod = t.paymentMethod;
    o.paid = parseNumber(t.paid);
    o.actuallyPaid = parseNumber(t.actuallyPaid);
    o.table = t.table;
    o.phone = t.phone.trimmed();
    o.name = t.name;
    o.address = t.address;
    o.settled = !isZero(o.actuallyPaid);
    o.remark = t.remark;
    for (const OrderLine &line : t.lines) {
        if (line.name.trimmed().isEmpty())
            continue;
        o.lines.append({line.name.trimmed(), parseNumber(line.quantity.trimmed()), line.unit.trimmed(),
                        parseNumber(line.amount.trimmed())});
    }
    return o;
}

bool updateCustomerStats(DataStore &store, const QString &phone, const QString &name, const QString &address,
                         const QDateTime &time)
{
    if (phone.isEmpty())
        return true;
    const QString when = isoDateTime(time);
    const QVariant count = store.scalar(QStringLiteral("select 订餐次数 from 客户 where 电话=? order by ID limit 1"), {phone});
    if (count.isValid()) {
        const int next = std::min(count.toInt() + 1, kSmallIntMax);
        return store.execute(QStringLiteral("update 客户 set 最近订餐日期=?, 订餐次数=? where 电话=?"), {when, next, phone});
    }
    return store.execute(QStringLiteral("insert into 客户 (电话,姓名,地址,最近订餐日期,订餐次数) values (?,?,?,?,1)"),
                         {phone, name, address, when});
}

std::optional<int> insertOrder(DataStore &store, const SettledOrder &order, QString *error)
{
    int id = 0;
    const bool stored = inTransaction(store, [&] {
        const auto newId = store.insertReturningId(
            QStringLiteral("insert into 存单 (编号,票头,店铺名称,时间,减免,减免份数,减免金额,合计,支付方式,"
                           "已付,实付,桌号,电话,姓名,地址,是否结算,备注) "
                           "values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
            orderValues(order));
        id = newId.value_or(0);
        return id > 0 && insertLines(store, id, order)
            && updateCustomerStats(store, order.phone, order.name, order.address, order.time);
    });
    if (!stored) {
        setError(error, store);
        return std::nullopt;
    }
    return id;
}

bool replaceOrder(DataStore &store, int id, const SettledOrder &order, QString *error)
{
    const bool stored = inTransaction(store, [&] {
        if (store.scalar(QStringLiteral("select count(*) from 存单 where ID=?"), {id}).toInt() != 1) {
            if (error)
                *error = QStringLiteral("该订单已不存在");
            return false;
        }
        QVariantList values = orderValues(order);
        values.append(id);
        return store.execute(QStringLiteral("delete from 存单详单 where 存单ID=?"), {id})
            && store.execute(QStringLiteral("update 存单 set 编号=?,票头=?,店铺名称=?,时间=?,减免=?,减免份数=?,减免金额=?,"
                                            "合计=?,支付方式=?,已付=?,实付=?,桌号=?,电话=?,姓名=?,地址=?,是否结算=?,"
                                            "备注=? where ID=?"),
                             values)
            && insertLines(store, id, order);
    });
    if (!stored && error && error->isEmpty())
        setError(error, store);
    return stored;
}

std::optional<StoredOrder> readStoredOrder(DataStore &store, int id)
{
    StoredOrder o;
    if (!store.query(QStringLiteral("select * from 存单 where ID=?"), {id}) || store.atEnd()) {
        store.closeQuery();
        return std::nullopt;
    }
    o.id = id;
    o.number = store.readText(QStringLiteral("编号"));
    o.header = store.readText(QStringLiteral("票头"));
    o.shopName = store.readText(QStringLiteral("店铺名称"));
    o.time = store.readDateTime(QStringLiteral("时间"));
    o.discount = store.readText(QStringLiteral("减免"));
    o.discountPortions = QString::number(store.readInt(QStringLiteral("减免份数")));
    o.discountAmount = formatStoredNumber(store.readDouble(QStringLiteral("减免金额")));
    o.total = formatStoredNumber(store.readDouble(QStringLiteral("合计")));
    o.paymentMethod = store.readText(QStringLiteral("支付方式"));
    o.paid = formatStoredNumber(store.readDouble(QStringLiteral("已付")));
    o.actuallyPaid = formatStoredNumber(store.readDouble(QStringLiteral("实付")));
    o.table = store.readText(QStringLiteral("桌号"));
    o.phone = store.readText(QStringLiteral("电话"));
    o.name = store.readText(QStringLiteral("姓名"));
    o.address = store.readText(QStringLiteral("地址"));
    o.remark = store.readText(QStringLiteral("备注"));
    store.closeQuery();

    store.query(QStringLiteral("select 菜名, 数量, 单位, 小计 from 存单详单 where 存单ID=? order by ID"), {id});
    while (!store.atEnd()) {
        o.lines.append({store.readText(0), formatStoredNumber(store.readDouble(1)), store.readText(2),
                        formatStoredNumber(store.readDouble(3))});
        store.next();
    }
    store.closeQuery();
    return o;
}

} // namespace vorlan
