#pragma once

#include "backup.h"

#include <QDateTime>
#include <QObject>
#include <QString>

class QThread;

namespace vorlan {

// The day's copy of the database, made on a thread of its own from a connection of its
// own: on a shop with years of orders the copy takes seconds, and the operator must not
// wait for it at start-up.
class DailyBackup final : public QObject
{
    Q_OBJECT
public:
    explicit DailyBackup(QObject *parent = nullptr);
    ~DailyBackup() override; // waits for a copy under way

    // Starts the copy of `databasePath` into `folder` when the day's copy is due. False
    // when there is nothing to do. A copy skipped for lack of disk space is tried again at
    // the next start but told only once a day.
    bool start(const QString &databasePath, const QString &folder, const QDateTime &now);
    // Waits for a copy under way; `failed` has been emitted when it failed.
    void wait();

signals:
    void failed(const QString &error);

private:
    void deliver();

    QThread *m_thread = nullptr;
    QString m_error;
    QString m_folder;
    QDate m_day;
    BackupFailure m_failure = BackupFailure::None;
    bool m_delivered = true;
};

} // namespace vorlan
