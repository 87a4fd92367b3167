#pragma once

#include "core/datastore.h"
#include "core/schema.h"
#include "core/todaycounters.h"
#include "order/ui/orderpanel.h"
#include "programfolder.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <functional>
#include <memory>

namespace vorlan {

// The order panel in a window of its own on a fresh program folder, as the main window
// holds it: the store opened as start-up opens it, today's counters and the clock under
// the test's control, printing through whatever `print` does.
struct OrderShop : ProgramFolder {
    DataStore database{QStringLiteral("order-shop")};
    std::unique_ptr<QWidget> window;
    OrderPanel *panel = nullptr;
    QWidget preview; // stands in for the receipt preview window
    QDateTime now{QDate(2026, 12, 9), QTime(11, 30)};
    DayCounters counters;
    int previewRedraws = 0;
    std::function<bool(bool singleCopy)> print = [](bool) { return true; };

    OrderShop()
    {
        const OpenedStore opened = openDataStore(database, context.paths.dataDir(), context.paths.databasePath(),
                                                 context.paths.configPath());
        if (!opened.ok)
            qFatal("store did not open: %s", qPrintable(opened.error));
        context.store = &database;
        context.decimalPlaces = opened.decimalPlaces;

        window = std::make_unique<QWidget>();
        OrderPanel::Hooks hooks;
        hooks.refreshTodayCounters = [this] {
            counters = readDayCounters(database, now.date());
            return counters.highestNumber + 1;
        };
        hooks.printReceipt = [this](bool singleCopy) { return print(singleCopy); };
        hooks.now = [this] { return now; };
        hooks.refreshPreview = [this] { ++previewRedraws; };
        hooks.previewWindow = [this] { return &preview; };
        panel = new OrderPanel(context, std::move(hooks), window.get());
        auto *layout = new QVBoxLayout(window.get());
        layout->addWidget(panel);
        window->resize(791, 700);
        panel->start();
    }

    ~OrderShop()
    {
        window.reset();
        context.store = nullptr;
    }

    // Shows the window and makes it the active one, as the operator's window is.
    void activate()
    {
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qFatal("order window not active");
    }

    template<typename T = QLineEdit>
    T *control(const char *name) const
    {
        T *found = window->findChild<T *>(QString::fromUtf8(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QLineEdit *edit(const char *name) const { return control<QLineEdit>(name); }
    QComboBox *combo(const char *name) const { return control<QComboBox>(name); }
    DataStore &store() { return database; }
    int rows(const char *table)
    {
        return database.scalar(QStringLiteral("select count(*) from %1").arg(QString::fromUtf8(table))).toInt();
    }
};

} // namespace vorlan
