#pragma once

#include "history/historyfilter.h"

#include <QDialog>

#include <functional>
#include <optional>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QStatusBar;
class QTreeWidget;

namespace vorlan {

struct AppContext;
class PageNavigation;

// What the browser needs from the order window.
struct OrderWindowHooks {
    // The order window holds lines or a phone the operator would lose.
    std::function<bool()> holdsUnfinishedOrder;
    // Clears the order window and loads stored order `id` for modification; false when
    // the order no longer exists.
    std::function<bool(int id)> loadOrderForModification;
    // Redraws the receipt preview.
    std::function<void()> refreshPreview;
};

// 历史订单: the stored orders 200 a page with their count and totals, the filters, delete,
// reopen for modification and the CSV export. Opened from the customer window it shows
// one customer's orders (customer mode: `customerPhone` set, the filter menu disabled).
class OrderHistoryWindow final : public QDialog
{
    Q_OBJECT
public:
    OrderHistoryWindow(AppContext &context, OrderWindowHooks hooks, std::optional<QString> customerPhone = {},
                       QWidget *parent = nullptr);

    // Before the window opens: builds the order summary when it is missing (the first open
    // of an older or big history), with a progress dialog over `parent`. A summary that
    // cannot be built is told; the window then counts from the order table. False when
    // the operator cancelled: the window is not opened then.
    static bool prepareSummary(AppContext &context, QWidget *parent);

    // Fills the list with page `page` (-1 the last; other values below 1 only refresh the
    // count and totals) and returns the page shown.
    int showHistoryPage(int page);
    void setFilter(const HistoryFilter &filter);
    const HistoryFilter &filter() const { return m_filter; }

    void deleteSelectedOrder();
    void reopenSelectedOrder();
    void exportHistoryCsv();

    // Menu and popup handlers.
    void chooseCustomer();
    void chooseDay();
    void choosePeriod();
    void showSelectedCustomerOrders();
    void openPopup(const QPoint &globalPos);

    QMenu *filterMenu() const { return m_filterMenu; }
    QMenu *popupMenu() const { return m_popup; }
    QAction *popupCustomerAction() const { return m_popupCustomer; }
    // Opens a picker; tests replace it to drive the picker without a modal loop.
    std::function<int(QDialog &)> execPicker = [](QDialog &dialog) { return dialog.exec(); };

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int result) override;

private:
    int currentPage() const;
    QString statusText(int panel) const;

    AppContext &m_context;
    OrderWindowHooks m_hooks;
    HistoryFilter m_filter;
    bool m_summaryLossTold = false; // the window has said it counts without the summary
    qint64 m_count = 0;

    QMenuBar *m_menuBar = nullptr;
    QMenu *m_filterMenu = nullptr;
    QMenu *m_popup = nullptr;
    QAction *m_popupCustomer = nullptr;
    QLabel *m_description = nullptr;
    QPushButton *m_allButton = nullptr;
    QTreeWidget *m_list = nullptr;
    PageNavigation *m_navigation = nullptr;
    QStatusBar *m_statusBar = nullptr;
    QLabel *m_panels[3] = {nullptr, nullptr, nullptr};
};

} // namespace vorlan
