#include "dailybackup.h"

#include "backup.h"

#include <QFile>
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
    m_failure = BackupFailure::None;
    m_error.clear();
    m_folder = folder;
    m_day = now.date();
    m_thread = QThread::create([this, databasePath, folder, now] {
        backupDatabaseFile(databasePath, folder, now, QStringLiteral("daily"), &m_error, &m_failure);
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
    if (m_failure == BackupFailure::NoSpace) {
        // The day the operator was last told of a full disk is kept beside the copies.
        QFile told(m_folder + QStringLiteral("/space-warning.txt"));
        const QByteArray today = m_day.toString(Qt::ISODate).toLatin1();
        if (told.open(QIODevice::ReadOnly) && told.readAll().trimmed() == today)
            return;
        told.close();
        if (told.open(QIODevice::WriteOnly | QIODevice::Truncate))
            told.write(today + '\n');
    }
    if (m_failure != BackupFailure::None)
        emit failed(m_error);
}

} // namespace vorlan
