#include "recentcallswindow.h"

#include "callerid/calllog.h"
#include "callerid/ui/calltexts.h"
#include "core/ui/named.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vorlan {

RecentCallsWindow::RecentCallsWindow(CallLog &log, DataStore *store, QWidget *parent)
    : QDialog(parent)
    , m_log(log)
    , m_store(store)
{
    setObjectName(QStringLiteral("最近来电"));
    setWindowTitle(QStringLiteral("最近来电"));
    m_table = named(new QTableWidget(0, 3, this), QStringLiteral("表格_最近来电"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("时间"), QStringLiteral("号码"), QStringLiteral("顾客")});
    m_table->verticalHeader()->setVisible(false);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setColumnWidth(0, 130);
    m_table->setColumnWidth(1, 140);
    m_table->horizontalHeader()->setStretchLastSection(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    resize(460, 420);
    connect(&m_log, &CallLog::changed, this, &RecentCallsWindow::fill);
    fill();
}

void RecentCallsWindow::fill()
{
    const QList<CallerIdCall> &calls = m_log.calls();
    m_table->setRowCount(int(calls.size()));
    for (int row = 0; row < calls.size(); ++row) {
        const CallerIdCall &call = calls.at(row);
        const QString texts[] = {call.received.toString(QStringLiteral("MM-dd HH:mm:ss")), callNumberText(call),
                                 callCustomerName(m_store, call)};
        for (int column = 0; column < 3; ++column)
            m_table->setItem(row, column, new QTableWidgetItem(texts[column]));
    }
}

} // namespace vorlan
