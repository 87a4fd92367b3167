#include "weborderswindow.h"

#include "core/numbers.h"
#include "core/prompter.h"
#include "core/ui/named.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vorlan {

namespace {

constexpr int kReasonMaxChars = 100;

} // namespace

QString webOrderItemsText(const WebOrder &order)
{
    QStringList items;
    for (const WebOrderLine &line : order.lines)
        items.append(line.quantity == 1 ? line.name : line.name + QStringLiteral("×") + QString::number(line.quantity));
    return items.join(QLatin1Char(' '));
}

WebOrdersWindow::WebOrdersWindow(Prompter &prompter, Hooks hooks, QWidget *parent)
    : QDialog(parent)
    , m_prompter(prompter)
    , m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("网络订单"));
    setWindowTitle(QStringLiteral("网络订单"));

    m_list = named(new QTreeWidget(this), QStringLiteral("列表_网络订单"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setHeaderLabels({QStringLiteral("时间"), QStringLiteral("桌号"), QStringLiteral("电话"),
                             QStringLiteral("商品"), QStringLiteral("金额")});
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(ItemsColumn, QHeaderView::Stretch);
    m_list->setColumnWidth(TimeColumn, 120);
    m_list->setColumnWidth(TableColumn, 60);
    m_list->setColumnWidth(PhoneColumn, 110);
    m_list->setColumnWidth(TotalColumn, 70);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &WebOrdersWindow::acceptSelected);

    auto *acceptButton = named(new QPushButton(QStringLiteral("接单"), this), QStringLiteral("按钮_接单"));
    auto *rejectButton = named(new QPushButton(QStringLiteral("拒单"), this), QStringLiteral("按钮_拒单"));
    auto *refreshButton = named(new QPushButton(QStringLiteral("刷新"), this), QStringLiteral("按钮_刷新"));
    auto *closeButton = named(new QPushButton(QStringLiteral("关闭"), this), QStringLiteral("按钮_关闭"));
    for (QPushButton *b : {acceptButton, rejectButton, refreshButton, closeButton}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(80);
    }
    connect(acceptButton, &QPushButton::clicked, this, &WebOrdersWindow::acceptSelected);
    connect(rejectButton, &QPushButton::clicked, this, &WebOrdersWindow::rejectSelected);
    connect(refreshButton, &QPushButton::clicked, this, &WebOrdersWindow::refresh);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(acceptButton);
    buttons->addWidget(rejectButton);
    buttons->addStretch(1);
    buttons->addWidget(refreshButton);
    buttons->addWidget(closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(640, 380);
    refresh();
}

void WebOrdersWindow::refresh()
{
    const qint64 selected = m_list->currentItem() && m_list->currentItem()->isSelected()
                                ? m_list->currentItem()->data(TimeColumn, Qt::UserRole).toLongLong()
                                : 0;
    m_orders = m_hooks.orders.waiting();
    m_list->clear();
    const QDate today = QDate::currentDate();
    for (const WebOrder &order : std::as_const(m_orders)) {
        const QString time = order.time.toString(order.time.date() == today ? QStringLiteral("HH:mm:ss")
                                                                             : QStringLiteral("MM-dd HH:mm"));
        auto *item = new QTreeWidgetItem(m_list, {time, order.table, order.phone, webOrderItemsText(order),
                                                  formatDouble(roundHalfUp(order.total, 2))});
        item->setData(TimeColumn, Qt::UserRole, order.id);
        item->setTextAlignment(TotalColumn, Qt::AlignRight | Qt::AlignVCenter);
        if (!order.remark.isEmpty())
            for (int c = 0; c <= TotalColumn; ++c)
                item->setToolTip(c, QStringLiteral("备注：") + order.remark);
        if (order.id == selected) {
            m_list->setCurrentItem(item);
            item->setSelected(true);
        }
    }
    if (!m_list->currentItem() && m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
}

const WebOrder *WebOrdersWindow::selectedOrder()
{
    QTreeWidgetItem *item = m_list->currentItem();
    if (!item || !item->isSelected()) {
        m_prompter.info(this, QStringLiteral("请选择一张网络订单。"));
        return nullptr;
    }
    const qint64 id = item->data(TimeColumn, Qt::UserRole).toLongLong();
    for (const WebOrder &order : std::as_const(m_orders))
        if (order.id == id)
            return &order;
    return nullptr;
}

void WebOrdersWindow::acceptSelected()
{
    const WebOrder *chosen = selectedOrder();
    if (!chosen || !m_hooks.makeRoom())
        return;
    const WebOrder order = *chosen;
    // Marked accepted first: an order on the panel is never offered a second time.
    if (!m_hooks.orders.accept(order.id)) {
        m_prompter.info(this, QStringLiteral("接单没有成功：这张订单已不在等待中，或者数据库写入失败。"));
        refresh();
        return;
    }
    m_hooks.load(order);
    accept();
}

void WebOrdersWindow::rejectSelected()
{
    const WebOrder *chosen = selectedOrder();
    if (!chosen)
        return;
    const qint64 id = chosen->id;
    for (;;) {
        const std::optional<QString> reason =
            m_prompter.input(this, QStringLiteral("拒单"), QStringLiteral("请输入拒单原因（顾客的手机上会显示）："),
                             QString(), InputKind::Text);
        if (!reason)
            return;
        const QString text = reason->trimmed();
        if (text.isEmpty()) {
            m_prompter.info(this, QStringLiteral("请填写拒单原因。"));
            continue;
        }
        if (text.size() > kReasonMaxChars) {
            m_prompter.info(this, QStringLiteral("拒单原因最多 %1 个字。").arg(kReasonMaxChars));
            continue;
        }
        if (!m_hooks.orders.reject(id, text))
            m_prompter.info(this, QStringLiteral("拒单没有成功：这张订单已不在等待中，或者数据库写入失败。"));
        refresh();
        return;
    }
}

} // namespace vorlan
