#include "weborderrequest.h"

#include "core/numbers.h"
#include "order/dishcatalog.h"

#include <QHash>
#include <QSet>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace vorlan {

namespace {

ParsedWebOrder refused(const QString &message)
{
    ParsedWebOrder parsed;
    parsed.error = message;
    return parsed;
}

// A missing text is empty; anything but a string is refused (nullopt).
std::optional<QString> textField(const QJsonObject &o, const QString &key)
{
    const QJsonValue v = o.value(key);
    if (v.isUndefined() || v.isNull())
        return QString();
    if (!v.isString())
        return std::nullopt;
    return v.toString().trimmed();
}

} // namespace

QList<WebCatalogDish> readWebCatalog(DataStore &store)
{
    const DishCatalog catalog = readDishCatalog(store);
    QList<WebCatalogDish> dishes;
    QSet<QString> seen;
    for (int i = 0; i < catalog.size(); ++i) {
        const QString code = catalog.codes.at(i).trimmed();
        if (code.isEmpty() || seen.contains(code))
            continue;
        seen.insert(code);
        dishes.append({code, catalog.names.at(i), catalog.units.at(i), parseNumber(catalog.prices.at(i))});
    }
    return dishes;
}

ParsedWebOrder parseWebOrderRequest(const QByteArray &body, const QList<WebCatalogDish> &catalog)
{
    if (body.size() > kWebOrderMaxBody)
        return refused(QStringLiteral("订单内容太长。"));
    QJsonParseError jsonError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &jsonError);
    if (jsonError.error != QJsonParseError::NoError || !document.isObject())
        return refused(QStringLiteral("订单格式不对，请刷新页面后重试。"));
    const QJsonObject o = document.object();

    ParsedWebOrder parsed;
    const auto table = textField(o, QStringLiteral("table"));
    const auto phone = textField(o, QStringLiteral("phone"));
    const auto remark = textField(o, QStringLiteral("remark"));
    if (!table || !phone || !remark)
        return refused(QStringLiteral("订单格式不对，请刷新页面后重试。"));
    if (table->size() > kWebOrderTableLength)
        return refused(QStringLiteral("桌号太长（最多%1个字）。").arg(kWebOrderTableLength));
    if (phone->size() > kWebOrderPhoneLength)
        return refused(QStringLiteral("电话太长（最多%1位）。").arg(kWebOrderPhoneLength));
    if (remark->size() > kWebOrderRemarkLength)
        return refused(QStringLiteral("备注太长（最多%1个字）。").arg(kWebOrderRemarkLength));
    parsed.order.table = *table;
    parsed.order.phone = *phone;
    parsed.order.remark = *remark;

    const QJsonValue linesValue = o.value(QStringLiteral("lines"));
    if (!linesValue.isArray())
        return refused(QStringLiteral("订单格式不对，请刷新页面后重试。"));
    const QJsonArray lines = linesValue.toArray();
    if (lines.isEmpty())
        return refused(QStringLiteral("请先选择菜品。"));
    if (lines.size() > kWebOrderMaxLines)
        return refused(QStringLiteral("一次最多点%1种菜品。").arg(kWebOrderMaxLines));

    QHash<QString, const WebCatalogDish *> byCode;
    for (const WebCatalogDish &dish : catalog)
        byCode.insert(dish.code, &dish);
    double total = 0;
    for (const QJsonValue &value : lines) {
        const QJsonObject line = value.toObject();
        const QJsonValue code = line.value(QStringLiteral("code"));
        const QJsonValue qty = line.value(QStringLiteral("qty"));
        if (!value.isObject() || !code.isString() || !qty.isDouble())
            return refused(QStringLiteral("订单格式不对，请刷新页面后重试。"));
        const WebCatalogDish *dish = byCode.value(code.toString().trimmed());
        if (!dish)
            return refused(QStringLiteral("菜品“%1”已下架，请刷新页面后重新点。").arg(code.toString().left(16)));
        const double q = qty.toDouble();
        if (q != std::floor(q) || q < 1 || q > kWebOrderMaxQuantity)
            return refused(QStringLiteral("“%1”的数量应在1到%2之间。").arg(dish->name).arg(kWebOrderMaxQuantity));
        parsed.order.lines.append({dish->code, dish->name, dish->unit, dish->price, int(q)});
        total += dish->price * q;
    }
    parsed.order.total = roundHalfUp(total, 2);
    return parsed;
}

} // namespace vorlan
