#pragma once

#include "core/appcontext.h"
#include "order/orderstore.h"
#include "order/ui/mainform.h"

#include <QDateTime>
#include <QObject>

#include <functional>

namespace vorlan {

class OrderEntry;

// Settling, modifying, printing without storing and clearing the order on the main
// window. New mode composes a new order; modify mode holds an order reopened from the
// history (the settle button then reads "修改(F12)"). The mode is kept here, not read
// back from the button.
class OrderActions final : public QObject
{
    Q_OBJECT
public:
    struct Hooks {
        std::function<int()> refreshTodayCounters;  // next order number of the day
        std::function<bool(bool singleCopy)> printReceipt; // true when printing completed
        std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
    };

    OrderActions(MainForm &form, AppContext &context, OrderEntry &entry, Hooks hooks, QObject *parent = nullptr);

    void settleOrder();
    void printOnly();
    void confirmClear();
    void clearOrder();
    // Clears the window and loads stored order `id` for modification. False when the
    // order no longer exists (the window is then left cleared, in new mode).
    bool loadOrderForModification(int id);

    bool isModifying() const { return m_editingOrderId != 0; }
    int editingOrderId() const { return m_editingOrderId; }
    // An order whose lines or phone the operator would lose by clearing.
    bool holdsUnfinishedOrder() const;
    // A receipt is being printed: settling, printing and clearing do nothing
    // meanwhile, and their buttons are disabled.
    bool isPrinting() const { return m_printing; }

private:
    OrderFormTexts formTexts() const;
    bool warnNoDish();
    void tellStoreFailure(const QString &reason);
    bool print(bool singleCopy);

    MainForm &m_form;
    AppContext &m_context;
    OrderEntry &m_entry;
    Hooks m_hooks;
    bool m_printing = false;
    int m_editingOrderId = 0;       // the order being modified; 0 in new mode
    QDateTime m_storedTime;         // its stored time, seconds included
    QString m_storedTimeText;       // and how the time field showed it
};

} // namespace vorlan
