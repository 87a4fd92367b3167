#include "historybridge.h"

#include "mainwindow.h"

#include "masterdata/ui/customerwindow.h"
#include "order/ui/orderactions.h"

#include <QAction>
#include <QToolBar>

namespace vorlan {

OrderWindowHooks orderWindowHooks(MainWindow &window)
{
    return {[&window] { return window.orderActions()->holdsUnfinishedOrder(); },
            [&window](int id) { return window.orderActions()->loadOrderForModification(id); },
            [&window] { window.refreshPreview(); }};
}

void connectHistoryWindows(MainWindow &window)
{
    for (QAction *action : window.toolBar()->actions()) {
        if (action->text() == QStringLiteral("历史单据")) {
            action->setEnabled(true);
            QObject::connect(action, &QAction::triggered, &window, [&window] {
                if (!OrderHistoryWindow::prepareSummary(window.context(), &window))
                    return;
                OrderHistoryWindow history(window.context(), orderWindowHooks(window), std::nullopt, &window);
                history.exec();
            });
        } else if (action->text() == QStringLiteral("顾客管理")) {
            action->setEnabled(true);
            QObject::connect(action, &QAction::triggered, &window, [&window] {
                CustomerWindow customers(
                    window.context(),
                    [&window](QWidget *owner, const QString &phone) {
                        // One customer's orders are read through the phone index, not the summary.
                        OrderHistoryWindow history(window.context(), orderWindowHooks(window), phone, owner);
                        history.exec();
                    },
                    &window);
                customers.exec();
            });
        }
    }
}

} // namespace vorlan
