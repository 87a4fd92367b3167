#pragma once

#include <QDialog>

class QTableWidget;

namespace vorlan {

class CallLog;
class DataStore;

// 最近来电: the last calls of this run, newest first (time, number, customer). The list
// follows new calls while the window is open.
class RecentCallsWindow final : public QDialog
{
    Q_OBJECT
public:
    RecentCallsWindow(CallLog &log, DataStore *store, QWidget *parent = nullptr);
    QTableWidget *table() const { return m_table; }
    void fill();

private:
    CallLog &m_log;
    DataStore *m_store;
    QTableWidget *m_table = nullptr;
};

} // namespace vorlan
