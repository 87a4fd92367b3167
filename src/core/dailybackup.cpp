#include "dailybackup.h"

#include "backup.h"

#include <QThread>

namespace vorlan {

DailyBackup::DailyBackup(QObject *parent)
    : QObject(parent)
{
}

DailyBackup::~DailyBackup()
{
    if (m_thread)
        m_thread->wait();
}

bool DailyBackup::start(const QString &databasePath, const QString &folder, const QDateTime &now)
{
    wait();
    if (!dailyBackupDue(folder, now))
        return false;
    delete m_thread;
    m_delivered = false;
    m_ok = true;
    m_error.clear();
    m_thread = QThread::create([this, databasePath, folder, now] {
        m_ok = !backupDatabaseFile(databasePath, folder, now, QStringLiteral("daily"), &m_error).isEmpty();
    });
    m_thread->setParent(this);
    connect(m_thread, &QThread::finished, this, &DailyBackup::deliver);
    m_thread->start(QThread::LowPriority);
    return true;
}

void DailyBackup::wait()
{
    if (!m_thread)
        return;
    m_thread->wait();
    deliver();
}

void DailyBackup::deliver()
{
    if (m_delivered)
        return;
    m_delivered = true;
    if (!m_ok)
        emit failed(m_error);
}

} // namespace vorlan
