#include "usualorderlist.h"

#include "core/numbers.h"

#include <QHeaderView>
#include <QVBoxLayout>

namespace vorlan {

UsualOrderList::UsualOrderList(QWidget *parent)
    : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("列表_常点"));
    setColumnCount(3);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    setFocusPolicy(Qt::ClickFocus);
    setToolTip(QStringLiteral("常点：双击或按 Ctrl+1 … Ctrl+5 再点一次"));
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    header()->setSectionResizeMode(1, QHeaderView::Stretch);
    header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    // Five rows, no scrolling.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *probe = new QTreeWidgetItem(this, {QStringLiteral("1 12-31"), QStringLiteral("茶"), QStringLiteral("￥1")});
    const int rowHeight = qMax(sizeHintForRow(0), fontMetrics().height());
    delete probe;
    setFixedHeight(kUsualOrderCount * rowHeight + 2 * frameWidth());
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem *item) { emit chosen(indexOfTopLevelItem(item)); });
    hide();
}

void UsualOrderList::showOrders(const QList<UsualOrder> &orders, int currentYear)
{
    m_orders = orders;
    clear();
    for (qsizetype i = 0; i < orders.size(); ++i) {
        const UsualOrder &order = orders.at(i);
        auto *item = new QTreeWidgetItem(this);
        item->setText(0, QStringLiteral("%1 %2").arg(i + 1).arg(usualOrderDate(order, currentYear)));
        item->setText(1, usualOrderItems(order));
        item->setText(2, QStringLiteral("￥") + formatDouble(order.total));
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        QStringList lines;
        for (const OrderLine &line : order.lines)
            lines.append(line.name + QStringLiteral(" ×") + line.quantity + QLatin1Char(' ') + line.unit);
        item->setToolTip(1, order.time + QLatin1Char('\n') + lines.join(QLatin1Char('\n')));
    }
    setVisible(!orders.isEmpty());
}

} // namespace vorlan

namespace vorlan {

QWidget *reservedSpaceFor(QWidget *widget, QWidget *parent)
{
    auto *space = new QWidget(parent);
    auto *layout = new QVBoxLayout(space);
    layout->setContentsMargins(0, 0, 0, 0);
    widget->setParent(space);
    layout->addWidget(widget);
    space->setFixedHeight(widget->height());
    return space;
}

} // namespace vorlan
