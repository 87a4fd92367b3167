#include "weborders.h"

#include "core/datastore.h"
#include "core/dates.h"
#include "core/sqldialect.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace vorlan {

namespace {

// 明细 holds the lines as a JSON array; 合计 the total from the catalog's prices.
const QString kCreateTable = QStringLiteral(
    "create table if not exists 网络订单 (ID INTEGER PRIMARY KEY AUTOINCREMENT, 时间 DATETIME, "
    "桌号 VARCHAR(32), 电话 VARCHAR(16), 备注 VARCHAR(255), 明细 TEXT, 合计 DOUBLE, "
    "状态 VARCHAR(16), 原因 VARCHAR(255))");
const QString kColumns = QStringLiteral("ID, 时间, 桌号, 电话, 备注, 明细, 合计, 状态, 原因");

QString linesText(const QList<WebOrderLine> &lines)
{
    QJsonArray array;
    for (const WebOrderLine &line : lines)
        array.append(QJsonObject{{QStringLiteral("code"), line.code},
                                 {QStringLiteral("name"), line.name},
                                 {QStringLiteral("unit"), line.unit},
                                 {QStringLiteral("price"), line.price},
                                 {QStringLiteral("qty"), line.quantity}});
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

QList<WebOrderLine> linesFromText(const QString &text)
{
    QList<WebOrderLine> lines;
    const QJsonArray array = QJsonDocument::fromJson(text.toUtf8()).array();
    for (const QJsonValue &value : array) {
        const QJsonObject o = value.toObject();
        lines.append({o.value(QStringLiteral("code")).toString(), o.value(QStringLiteral("name")).toString(),
                      o.value(QStringLiteral("unit")).toString(), o.value(QStringLiteral("price")).toDouble(),
                      o.value(QStringLiteral("qty")).toInt()});
    }
    return lines;
}

WebOrderState stateFromText(const QString &text)
{
    if (text == webOrderStateText(WebOrderState::Accepted))
        return WebOrderState::Accepted;
    if (text == webOrderStateText(WebOrderState::Rejected))
        return WebOrderState::Rejected;
    return WebOrderState::Waiting;
}

// The order on the cursor's current row.
WebOrder readCurrent(DataStore &store)
{
    WebOrder order;
    order.id = store.readValue(0).toLongLong();
    order.time = store.readDateTime(1);
    order.table = store.readText(2);
    order.phone = store.readText(3);
    order.remark = store.readText(4);
    order.lines = linesFromText(store.readText(5));
    order.total = store.readDouble(6);
    order.state = stateFromText(store.readText(7));
    order.reason = store.readText(8);
    return order;
}

// Changes a waiting order only. The one statement both checks and changes it, so of two
// tills on one server accepting the same order at once, one is told it is gone.
bool finishWaiting(DataStore &store, qint64 id, WebOrderState state, const QString &reason)
{
    bool changed = false;
    const bool written = inTransaction(store, [&] {
        if (!store.query(QStringLiteral("update 网络订单 set 状态=?, 原因=? where ID=? and 状态=? returning ID"),
                         {webOrderStateText(state), reason, id, webOrderStateText(WebOrderState::Waiting)}))
            return false;
        changed = !store.atEnd();
        store.closeQuery();
        return true;
    });
    return written && changed;
}

} // namespace

QString webOrderStateText(WebOrderState state)
{
    switch (state) {
    case WebOrderState::Accepted:
        return QStringLiteral("accepted");
    case WebOrderState::Rejected:
        return QStringLiteral("rejected");
    case WebOrderState::Waiting:
        break;
    }
    return QStringLiteral("waiting");
}

bool ensureWebOrderTable(DataStore &store)
{
    return store.execute(sqldialect::tableDefinition(store.engine(), kCreateTable));
}

std::optional<qint64> addWebOrder(DataStore &store, const WebOrder &order)
{
    qint64 id = 0;
    const bool stored = inTransaction(store, [&] {
        const auto newId = store.insertReturningId(
            QStringLiteral("insert into 网络订单 (时间, 桌号, 电话, 备注, 明细, 合计, 状态, 原因) values (?,?,?,?,?,?,?,?)"),
            {isoDateTime(order.time), order.table, order.phone, order.remark, linesText(order.lines), order.total,
             webOrderStateText(WebOrderState::Waiting), QString()});
        id = newId.value_or(0);
        return id > 0;
    });
    if (!stored)
        return std::nullopt;
    return id;
}

std::optional<WebOrder> readWebOrder(DataStore &store, qint64 id)
{
    std::optional<WebOrder> order;
    if (store.query(QStringLiteral("select %1 from 网络订单 where ID=?").arg(kColumns), {id}) && !store.atEnd())
        order = readCurrent(store);
    store.closeQuery();
    return order;
}

QList<WebOrder> waitingWebOrders(DataStore &store)
{
    QList<WebOrder> orders;
    store.query(QStringLiteral("select %1 from 网络订单 where 状态=? order by ID").arg(kColumns),
                {webOrderStateText(WebOrderState::Waiting)});
    while (!store.atEnd()) {
        orders.append(readCurrent(store));
        store.next();
    }
    store.closeQuery();
    return orders;
}

int waitingWebOrderCount(DataStore &store)
{
    return store.scalar(QStringLiteral("select count(*) from 网络订单 where 状态=?"),
                        {webOrderStateText(WebOrderState::Waiting)})
        .toInt();
}

bool acceptWebOrder(DataStore &store, qint64 id)
{
    return finishWaiting(store, id, WebOrderState::Accepted, QString());
}

bool rejectWebOrder(DataStore &store, qint64 id, const QString &reason)
{
    return finishWaiting(store, id, WebOrderState::Rejected, reason.trimmed().left(255));
}

} // namespace vorlan
