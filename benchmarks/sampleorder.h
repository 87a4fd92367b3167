#pragma once

// The order the receipt benchmarks print: `lines` lines of real dish names (one long
// enough to wrap), a discount, a customer with a long address and a two-line remark.

#include "receipt/receiptsnapshot.h"

#include <QStringList>

namespace vorlan::bench {

inline ReceiptSnapshot sampleReceiptOrder(int lines)
{
    const QStringList dishes = {"宫保鸡丁", "鱼香肉丝", "番茄炒蛋", "酸辣土豆丝", "红烧牛肉面（大碗）", "米饭",
                                "可乐", "招牌秘制红烧排骨套餐加煎蛋", "凉拌黄瓜", "扬州炒饭"};
    ReceiptSnapshot o;
    o.orderNumber = "18";
    o.header = "美团外卖";
    o.shopName = "白云快餐";
    o.paymentMethod = "在线支付";
    o.orderTime = "2024-03-08 12:05";
    double total = 0;
    for (int i = 0; i < lines; ++i) {
        const int quantity = 1 + i % 3;
        const double price = 8 + (i * 7) % 23 + (i % 2 ? 0.5 : 0);
        total += quantity * price;
        o.lines.append({dishes.at(i % dishes.size()), QString::number(quantity), i % 5 == 4 ? "碗" : "份",
                        QString::number(quantity * price)});
    }
    o.discountName = "满100减15";
    o.discountPortions = "1";
    o.discountAmount = "15";
    o.total = QString::number(total - 15);
    o.paid = o.total;
    o.customerName = "王先生";
    o.phone = "13812345678";
    o.address = "幸福路88号阳光花园3栋2单元501室（请放门口，谢谢）";
    o.remark = "少放辣，米饭多一份。\r\n餐具两套。";
    return o;
}

} // namespace vorlan::bench
