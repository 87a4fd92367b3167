#pragma once

#include "core/orderlinetexts.h"

#include <QList>
#include <QString>

namespace vorlan {

// One order line as the receipt prints it: the grid's cell texts, unchanged.
using ReceiptLine = OrderLine;

// What the receipt reads from the main window, taken as plain texts at the moment of
// drawing, so the layout never touches a widget.
struct ReceiptSnapshot {
    QString orderNumber;      // 编辑框_编号
    QString header;           // 组合框_票头
    QString shopName;         // 组合框_店铺名称
    QString paymentMethod;    // 组合框_付款方式
    QString orderTime;        // 编辑框_时间
    QList<ReceiptLine> lines; // 高级表格1, in grid order (rows without a name are kept; the layout skips them)
    QString discountName;     // 组合框_减免
    QString discountPortions; // 编辑框_减免份数
    QString discountAmount;   // 编辑框_减免金额
    QString total;            // 编辑框_合计
    QString paid;             // 编辑框_已支付
    QString table;            // 组合框_桌号
    QString customerName;     // 编辑框_姓名
    QString phone;            // 编辑框_电话
    QString address;          // 编辑框_地址
    QString remark;           // 编辑框_备注, lines separated by CR LF
};

} // namespace vorlan
