#pragma once

#include "weborders.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace vorlan {

class DataStore;

// A dish as the ordering page offers it: the dishes that have a code, the first of each code.
struct WebCatalogDish {
    QString code;
    QString name;
    QString unit;
    double price = 0;
};

QList<WebCatalogDish> readWebCatalog(DataStore &store);

// The limits of an order from the page. The texts are as long as 存单's matching columns.
inline constexpr qsizetype kWebOrderMaxBody = 16 * 1024;
inline constexpr int kWebOrderMaxLines = 50;
inline constexpr int kWebOrderMaxQuantity = 99;
inline constexpr int kWebOrderTableLength = 32;
inline constexpr int kWebOrderPhoneLength = 16;
inline constexpr int kWebOrderRemarkLength = 255;

struct ParsedWebOrder {
    WebOrder order;   // names, units and prices from the catalog; time not set
    QString error;    // empty when the order is sound; else what the page shows
};

// Reads the body {table, phone, remark, lines: [{code, qty}]} against the catalog. Any
// price or name in the request is ignored.
ParsedWebOrder parseWebOrderRequest(const QByteArray &body, const QList<WebCatalogDish> &catalog);

} // namespace vorlan
