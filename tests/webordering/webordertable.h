#pragma once

#include "core/datastore.h"
#include "webordering/ui/weborderfunctions.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace vorlan {

// A table of waiting orders in plain SQL and the till's functions on it, standing in for
// the ordering page's own storage in the window tests.
struct WebOrderTable {
    DataStore &store;

    explicit WebOrderTable(DataStore &s)
        : store(s)
    {
        store.execute(QStringLiteral("create table 测试网络订单 (ID INTEGER PRIMARY KEY AUTOINCREMENT, 时间 DATETIME, "
                                     "桌号 TEXT, 电话 TEXT, 备注 TEXT, 明细 TEXT, 金额 DOUBLE, 状态 TEXT, 原因 TEXT)"));
    }

    qint64 add(const QString &table, const QString &phone, const QString &remark, const QList<WebOrderLine> &lines)
    {
        QJsonArray items;
        double total = 0;
        for (const WebOrderLine &l : lines) {
            items.append(QJsonObject{{"code", l.code}, {"name", l.name}, {"unit", l.unit}, {"price", l.price}, {"qty", l.quantity}});
            total += l.price * l.quantity;
        }
        store.execute(QStringLiteral("insert into 测试网络订单 (时间,桌号,电话,备注,明细,金额,状态) values (?,?,?,?,?,?,'waiting')"),
                      {QDateTime::currentDateTime(), table, phone, remark,
                       QString::fromUtf8(QJsonDocument(items).toJson(QJsonDocument::Compact)), total});
        return store.scalar(QStringLiteral("select max(ID) from 测试网络订单")).toLongLong();
    }
    QString state(qint64 id) { return store.scalar(QStringLiteral("select 状态 from 测试网络订单 where ID = ?"), {id}).toString(); }
    QString reason(qint64 id) { return store.scalar(QStringLiteral("select 原因 from 测试网络订单 where ID = ?"), {id}).toString(); }

    WebOrderFunctions functions()
    {
        WebOrderFunctions f;
        f.waiting = [this] {
            QList<WebOrder> orders;
            store.query(QStringLiteral("select ID,时间,桌号,电话,备注,明细,金额 from 测试网络订单 where 状态='waiting' order by ID"));
            while (!store.atEnd()) {
                WebOrder o{store.readValue(0).toLongLong(), store.readValue(1).toDateTime(), store.readText(2),
                           store.readText(3), store.readText(4), {}, store.readValue(6).toDouble(), WebOrderState::Waiting, {}};
                for (const QJsonValue &v : QJsonDocument::fromJson(store.readText(5).toUtf8()).array()) {
                    const QJsonObject l = v.toObject();
                    o.lines.append({l["code"].toString(), l["name"].toString(), l["unit"].toString(),
                                    l["price"].toDouble(), l["qty"].toInt()});
                }
                orders.append(o);
                store.next();
            }
            store.closeQuery();
            return orders;
        };
        f.waitingCount = [this] { return int(f_count()); };
        f.accept = [this](qint64 id) { return change(id, QStringLiteral("accepted"), QString()); };
        f.reject = [this](qint64 id, const QString &why) { return change(id, QStringLiteral("rejected"), why); };
        return f;
    }

private:
    qint64 f_count() { return store.scalar(QStringLiteral("select count(*) from 测试网络订单 where 状态='waiting'")).toLongLong(); }
    bool change(qint64 id, const QString &to, const QString &why)
    {
        return state(id) == u"waiting"
            && store.execute(QStringLiteral("update 测试网络订单 set 状态=?, 原因=? where ID=?"), {to, why, id});
    }
};

} // namespace vorlan
