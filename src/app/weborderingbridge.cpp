#include "weborderingbridge.h"

#include "mainwindow.h"
#include "webordering/ui/weborderfunctions.h"
#include "webordering/ui/weborderpage.h"
#include "webordering/ui/weborderpanel.h"
#include "webordering/ui/weborderswindow.h"
#include "webordering/weborderserver.h"
#include "webordering/webordersettings.h"

#include "core/prompter.h"
#include "core/recordtable.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace vorlan {

WebOrderLink::WebOrderLink(MainWindow &window)
    : QObject(&window)
    , m_window(window)
{
    QToolBar *bar = m_window.toolBar();
    m_action = new QAction(QStringLiteral("网络订单"), this);
    m_action->setObjectName(QStringLiteral("按钮_网络订单"));
    // Before the settings menu, after the windows of the day's work.
    QAction *before = nullptr;
    for (QAction *a : bar->actions())
        if (a->menu() == m_window.settingsMenu())
            before = a;
    bar->insertAction(before, m_action);
    bar->insertSeparator(before);
    if (QToolButton *b = button())
        b->setObjectName(QStringLiteral("按钮_网络订单"));
    connect(m_action, &QAction::triggered, this, &WebOrderLink::openWindow);

    QMenu *menu = m_window.settingsMenu();
    menu->addSeparator();
    menu->addAction(QStringLiteral("扫码点餐"), this, &WebOrderLink::openSettings);
}

QToolButton *WebOrderLink::button() const
{
    return qobject_cast<QToolButton *>(m_window.toolBar()->widgetForAction(m_action));
}

void WebOrderLink::restartServer()
{
    // The one place where the ordering page's server is (re)started with the settings
    // stored in 记录, after start-up and after the 扫码点餐 page is confirmed.
    if (m_server)
        m_server->stop();
    if (DataStore *store = m_window.context().store) {
        RecordTable records(*store);
        const WebOrderSettings settings = readWebOrderSettings(records);
        if (settings.port != 0) {
            if (!m_server) {
                m_server = new WebOrderServer(*store, this);
                connect(m_server, &WebOrderServer::orderArrived, this, &WebOrderLink::refreshCount);
            }
            // a port in use is told; the till works on without the page
            if (!m_server->start(settings.port, settings.token, settings.requestsPerMinute))
                m_window.context().prompter->info(&m_window, m_server->errorText());
        }
    }
    refreshCount();
}

WebOrderFunctions WebOrderLink::orderFunctions() const
{
    if (m_functions)
        return *m_functions;
    DataStore *store = m_window.context().store;
    return store ? storedWebOrderFunctions(*store) : WebOrderFunctions();
}

void WebOrderLink::refreshCount()
{
    m_waiting = orderFunctions().waitingCount();
    showCount(QColor());
}

void WebOrderLink::onClockTick(const QColor &colour)
{
    if (++m_ticks >= kCountEveryTicks) {
        m_ticks = 0;
        refreshCount();
    }
    showCount(colour);
}

void WebOrderLink::showCount(const QColor &colour)
{
    m_action->setText(m_waiting > 0 ? QStringLiteral("网络订单(%1)").arg(m_waiting) : QStringLiteral("网络订单"));
    QToolButton *b = button();
    if (!b)
        return;
    if (m_waiting > 0 && colour.isValid())
        b->setStyleSheet(QStringLiteral("QToolButton { background: %1; color: black; font-weight: bold; }")
                             .arg(colour.name()));
    else if (m_waiting == 0)
        b->setStyleSheet(QString());
}

std::unique_ptr<WebOrdersWindow> WebOrderLink::makeWindow()
{
    AppContext &context = m_window.context();
    auto owner = std::make_shared<QWidget *>(nullptr);
    WebOrdersWindow::Hooks hooks;
    hooks.orders = orderFunctions();
    hooks.makeRoom = [this, &context, owner] { return makeRoomForWebOrder(*m_window.orderPanel(), context, *owner); };
    hooks.load = [this, &context, owner](const WebOrder &order) {
        putWebOrderOnPanel(*m_window.orderPanel(), context, order, *owner);
        m_window.refreshPreview();
        refreshCount();
    };
    auto window = std::make_unique<WebOrdersWindow>(*context.prompter, std::move(hooks), &m_window);
    *owner = window.get();
    connect(window.get(), &QDialog::finished, this, &WebOrderLink::refreshCount);
    return window;
}

void WebOrderLink::openWindow()
{
    if (m_window.context().store)
        makeWindow()->exec();
}

void WebOrderLink::openSettings()
{
    AppContext &context = m_window.context();
    WebOrderDialog::Hooks hooks;
    hooks.pictureChanged = [this] { m_window.refreshPreview(); };
    WebOrderDialog dialog(context, {m_window.tableCodes(), m_window.tableNames()}, std::move(hooks), &m_window);
    if (dialog.exec() == QDialog::Accepted)
        restartServer();
}

} // namespace vorlan
