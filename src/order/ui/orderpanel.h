#pragma once

#include "core/appcontext.h"
#include "order/dishcatalog.h"
#include "order/lastselections.h"
#include "order/ui/mainform.h"
#include "receipt/receiptsnapshot.h"

#include <QDateTime>
#include <QWidget>

#include <functional>

namespace vorlan {

class KeyboardFlow;
class OrderActions;
class OrderEntry;
class UsualOrderList;

// The order being composed, as one widget: the order controls (with their specified
// object names), the dish catalog and table list they read, the order entry handlers,
// the settle/modify/print/clear actions and the keyboard flow. The window that holds it
// supplies what lies outside the order through Hooks. Other windows reach the order
// through the members below (reopen an order, ask whether one is unfinished, reload the
// catalog and the name lists, take a receipt snapshot).
class OrderPanel final : public QWidget
{
    Q_OBJECT
public:
    struct Hooks {
        // Today's counters recomputed (status bar); returns the next order number.
        std::function<int()> refreshTodayCounters = [] { return 1; };
        // Prints the order's receipt; true when printing completed.
        std::function<bool(bool singleCopy)> printReceipt = [](bool) { return false; };
        std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
        // Redraws the receipt preview, if one is shown.
        std::function<void()> refreshPreview;
        // The preview window, in which the function keys work as well (may give null).
        std::function<QWidget *()> previewWindow;
    };

    // `parent` is the window the panel goes into; the controls' messages are owned by it.
    OrderPanel(AppContext &context, Hooks hooks, QWidget *parent = nullptr);
    ~OrderPanel() override;

    // Fills the panel from the opened store (context.store): name lists, table list, the
    // last selections, the next order number, the catalog, the time.
    void start();

    // Clears the panel and loads stored order `id` for modification; false when it no
    // longer exists (the panel is then cleared, in new mode).
    bool loadOrderForModification(int id);
    // Lines or a phone number the operator would lose by clearing.
    bool holdsUnfinishedOrder() const;
    bool isModifying() const;

    // Reads the catalog again (after the catalog window changed it) and relists the dishes.
    void loadDishCatalog();
    void loadTableList();
    // Refills the header, shop, discount and table lists from their tables, keeping the
    // current choices.
    void refillNameLists();

    // What the receipt prints for the order on the panel now.
    ReceiptSnapshot receiptSnapshot() const;

    void restoreLastSelections();
    // Stores the current header, shop, discount and payment choices; false (told to the
    // operator) when the store refused them.
    bool saveLastSelections();

    // The clock: a new day gets the next number of that day; the time field follows the
    // clock except while a stored order is modified.
    void showTime(const QDateTime &now);
    void startNewDay();

    // The customer's last orders under the phone field (列表_常点), read again for the
    // phone now typed; hidden for a phone no customer has.
    void refreshUsualOrders();
    // Puts the lines of listed order `index` on the window with today's prices, after
    // asking when lines are there already. False when nothing was put.
    bool repeatUsualOrder(int index);
    UsualOrderList *usualOrderList() const { return m_usualOrders; }

    MainForm &form() { return m_form; }
    const MainForm &form() const { return m_form; }
    const DishCatalog &dishCatalog() const { return m_catalog; }
    QStringList tableCodes() const { return m_tables.codes; }
    QStringList tableNames() const { return m_tables.names; }
    OrderEntry *orderEntry() const { return m_orderEntry; }
    OrderActions *orderActions() const { return m_orderActions; }
    KeyboardFlow *keyboardFlow() const { return m_keyboardFlow; }

private:
    void buildForm();

    AppContext &m_context;
    Hooks m_hooks;
    MainForm m_form;
    DishCatalog m_catalog;
    TableList m_tables;
    OrderEntry *m_orderEntry = nullptr;
    OrderActions *m_orderActions = nullptr;
    KeyboardFlow *m_keyboardFlow = nullptr;
    UsualOrderList *m_usualOrders = nullptr;
};

// The receipt's view of an order form: the texts its controls hold now.
ReceiptSnapshot receiptSnapshotFromForm(const MainForm &form);

} // namespace vorlan
