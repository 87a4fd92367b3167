#pragma once

#include "webordering/ui/weborderfunctions.h"

#include <QColor>
#include <QObject>

#include <memory>
#include <optional>

class QAction;
class QToolButton;

namespace vorlan {

class MainWindow;
class WebOrderServer;
class WebOrdersWindow;

// Orders from the customers' phones in the main window: the toolbar button 网络订单 with
// the number of waiting orders (blinking while any waits), its window, the 扫码点餐 entry
// of the settings menu and the ordering page's server.
class WebOrderLink final : public QObject
{
    Q_OBJECT
public:
    static constexpr int kCountEveryTicks = 5; // the number is read again every five seconds

    explicit WebOrderLink(MainWindow &window);

    // Serves the ordering page with the settings stored in 记录 (nothing when switched off).
    void restartServer();
    // Reads how many orders wait and shows it on the button.
    void refreshCount();
    // One tick of the main window's clock: the number blinks in `colour` while orders wait.
    void onClockTick(const QColor &colour);

    int waitingCount() const { return m_waiting; }
    QAction *action() const { return m_action; }
    QToolButton *button() const;
    // The window on the waiting orders, its 接单 putting them on the order panel.
    std::unique_ptr<WebOrdersWindow> makeWindow();
    void openWindow();
    // Tests read the orders from elsewhere; otherwise they are the store's.
    void setOrderFunctions(WebOrderFunctions functions) { m_functions = std::move(functions); }
    void openSettings();

private:
    void showCount(const QColor &colour);
    WebOrderFunctions orderFunctions() const;

    MainWindow &m_window;
    QAction *m_action = nullptr;
    int m_waiting = 0;
    int m_ticks = 0;
    std::optional<WebOrderFunctions> m_functions;
    WebOrderServer *m_server = nullptr; // made when the page is first served
};

} // namespace vorlan
