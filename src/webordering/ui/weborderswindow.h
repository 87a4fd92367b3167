#pragma once

#include "weborderfunctions.h"

#include <QDialog>

class QTreeWidget;

namespace vorlan {

class Prompter;

// The window 网络订单: the orders sent from the customers' phones that wait for the
// operator (列表_网络订单: time, table, phone, items, total), oldest first. 接单 takes the
// selected one onto the order panel and closes the window; 拒单 asks for the reason the
// customer's page shows.
class WebOrdersWindow final : public QDialog
{
    Q_OBJECT
public:
    enum Column { TimeColumn, TableColumn, PhoneColumn, ItemsColumn, TotalColumn };
    struct Hooks {
        WebOrderFunctions orders;
        // Asks when the panel holds an unfinished order; false keeps it.
        std::function<bool()> makeRoom = [] { return true; };
        // Puts the accepted order on the panel.
        std::function<void(const WebOrder &)> load = [](const WebOrder &) {};
    };

    WebOrdersWindow(Prompter &prompter, Hooks hooks, QWidget *parent = nullptr);

    // Lists the waiting orders again, keeping the selected one when it still waits.
    void refresh();
    QTreeWidget *list() const { return m_list; }
    const QList<WebOrder> &orders() const { return m_orders; }

    void acceptSelected();
    void rejectSelected();

private:
    const WebOrder *selectedOrder();

    Prompter &m_prompter;
    Hooks m_hooks;
    QTreeWidget *m_list = nullptr;
    QList<WebOrder> m_orders;
};

// "红烧排骨饭×2 米饭": the items of an order in short.
QString webOrderItemsText(const WebOrder &order);

} // namespace vorlan
