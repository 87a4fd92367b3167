#pragma once

#include "order/usualorders.h"

#include <QTreeWidget>

namespace vorlan {

// 列表_常点: the known customer's last orders in the delivery box, one row each (date,
// items in short, total), numbered for Ctrl+1 … Ctrl+5; hidden while it has no rows.
class UsualOrderList final : public QTreeWidget
{
    Q_OBJECT
public:
    explicit UsualOrderList(QWidget *parent = nullptr);

    void showOrders(const QList<UsualOrder> &orders, int currentYear);
    const QList<UsualOrder> &orders() const { return m_orders; }

signals:
    // Row `index` was double-clicked or its Ctrl+number pressed.
    void chosen(int index);

private:
    QList<UsualOrder> m_orders;
};

// A box of the widget's fixed height holding it, so that hiding the widget leaves the
// controls around the box where they are.
QWidget *reservedSpaceFor(QWidget *widget, QWidget *parent);

} // namespace vorlan
