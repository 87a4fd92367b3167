#include "calleridbridge.h"

#include "mainwindow.h"

#include "callerid/calleridport.h"
#include "callerid/calllog.h"
#include "callerid/ui/callbar.h"
#include "callerid/ui/calleridpage.h"
#include "callerid/ui/calltexts.h"
#include "callerid/ui/recentcallswindow.h"
#include "core/prompter.h"
#include "order/ui/keyboardflow.h"

#include <QLineEdit>
#include <QMenu>
#include <QHBoxLayout>
#include <QToolBar>

namespace vorlan {

CallerIdLink::CallerIdLink(MainWindow &window)
    : QObject(&window)
    , m_window(window)
{
    m_port = new CallerIdPort(this);
    m_log = new CallLog(this);

    CallBar::Hooks hooks;
    // A name or address typed without a phone would be overwritten by the lookup.
    hooks.orderOpen = [this] {
        const OrderPanel *panel = m_window.orderPanel();
        return panel->holdsUnfinishedOrder() || panel->isModifying() || !panel->form().name->text().isEmpty()
            || !panel->form().address->text().isEmpty();
    };
    hooks.fillPhone = [this](const QString &number) { fillPhone(number); };
    hooks.bringToFront = [this] { bringToFront(); };
    hooks.customerName = [this](const CallerIdCall &call) { return callCustomerName(m_window.context().store, call); };

    // The bar sits above the order form, in the toolbar's row: the window keeps its size.
    auto *row = new QToolBar(&m_window);
    row->setObjectName(QStringLiteral("来电工具条"));
    row->setMovable(false);
    row->setFloatable(false);
    row->setContextMenuPolicy(Qt::PreventContextMenu);
    row->setStyleSheet(QStringLiteral("QToolBar#来电工具条 { border: none; padding: 0; spacing: 0; }"));
    auto *room = new QWidget(row);
    room->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto *roomLayout = new QHBoxLayout(room);
    roomLayout->setContentsMargins(6, 0, 4, 0);
    m_bar = new CallBar(std::move(hooks), room);
    roomLayout->addWidget(m_bar, 1);
    row->addWidget(room);
    m_window.addToolBar(Qt::TopToolBarArea, row);

    m_window.keyboardFlow()->setSpareFunctionKey(8, [this] { return m_bar->takeOffer(); });

    connect(m_port, &CallerIdPort::callArrived, this, [this](const CallerIdCall &call) {
        m_log->add(call);
        m_bar->onCall(call);
    });
    // Told after the port's own signal has returned.
    connect(m_port, &CallerIdPort::problem, this,
            [this](const QString &text) { m_window.context().prompter->info(&m_window, text); },
            Qt::QueuedConnection);

    QMenu *menu = m_window.settingsMenu();
    menu->addSeparator();
    menu->addAction(QStringLiteral("来电显示"), this,
                    [this] { openCallerIdSettings(m_window.context(), *m_port, &m_window); });
    menu->addSeparator();
    menu->addAction(QStringLiteral("最近来电"), this, [this] {
        RecentCallsWindow window(*m_log, m_window.context().store, &m_window);
        window.exec();
    });
}

void CallerIdLink::start()
{
    if (DataStore *store = m_window.context().store)
        m_port->start(readCallerIdSettings(*store));
}

void CallerIdLink::fillPhone(const QString &number)
{
    // As if typed: the phone box's edit signals look the customer up.
    QLineEdit *phone = m_window.orderPanel()->form().phone;
    phone->selectAll();
    phone->insert(number);
    m_window.refreshPreview();
}

void CallerIdLink::bringToFront()
{
    if (m_window.isMinimized())
        m_window.showNormal();
    m_window.raise();
    m_window.activateWindow();
}

} // namespace vorlan
