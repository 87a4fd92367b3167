#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

class QWidget;

namespace vorlan {

class DataStore;

// Copies of the database in data/backup/, made with SQLite's online backup while the
// program runs: each copy is one consistent state of the database, whatever is written
// at the same moment. A copy is made under a temporary name and renamed when complete,
// so a half-made copy never looks like a backup.
//
// Names carry the moment and why: data-20261209-093000-daily.db, …-upgrade.db,
// …-restore.db (the state replaced by a restore).

inline constexpr int kBackupsKept = 30;

// Copies the open database into `folder` and then deletes the oldest copies beyond
// `keep`. Returns the new copy's path; an empty text (and `error`) when it failed.
QString backupDatabase(DataStore &store, const QString &folder, const QDateTime &now, const QString &reason,
                       QString *error = nullptr, int keep = kBackupsKept);

// The same from the database file at `databasePath`, through a read-only connection of
// its own: safe on another thread while the program goes on writing (WAL readers see one
// committed state).
QString backupDatabaseFile(const QString &databasePath, const QString &folder, const QDateTime &now,
                           const QString &reason, QString *error = nullptr, int keep = kBackupsKept);

// True unless `folder` already holds a daily copy made on the day of `now`.
bool dailyBackupDue(const QString &folder, const QDateTime &now);

// The copies in `folder`, newest first.
QStringList listBackups(const QString &folder);

// Checks that `path` is a sound database of this program (integrity check, the order and
// records tables); otherwise `error` says why.
bool isUsableBackup(const QString &path, QString *error = nullptr);

struct RestoreResult {
    bool restored = false;   // the database now holds the backup's contents
    bool reopened = false;   // the store is open again (on the restored or the old data)
    QString safetyCopy;      // the copy of the replaced state
    QString error;
    int decimalPlaces = 0;
};

// Replaces the database with the backup at `backupPath`: checks the backup, copies the
// current state aside (reason "restore"), closes the store, copies the backup into the
// database file with the online backup (a failure midway leaves the old contents) and
// opens the store again through the ordinary opening sequence (which upgrades an older
// backup). Nothing is changed when the backup is unusable or the safety copy fails.
RestoreResult restoreBackup(DataStore &store, const QString &backupPath, const QString &dataDir,
                            const QString &databasePath, const QString &configPath, const QDateTime &now);

class Prompter;
struct ProgramPaths;

enum class RestoreOutcome { NothingChanged, Restored, StoreClosed };

// The restore as the operator runs it: picks a copy in data/backup/, asks first, restores
// and tells the result. StoreClosed means the database could not be opened again and
// the program must end (the operator has been told).
RestoreOutcome askAndRestoreBackup(Prompter &prompter, QWidget *owner, DataStore &store, const ProgramPaths &paths,
                                   const QDateTime &now);

// Start-up could not open the database (`reason`). When the file is damaged or not a
// database at all and a usable copy exists, offers the newest one. The file that failed is kept beside it (data.db.damaged-20261209-120000,
// with its -wal file), never deleted. True when the copy is in place and opening should
// be tried again.
bool offerRestoreAtStart(Prompter &prompter, QWidget *owner, const ProgramPaths &paths, const QString &reason,
                         const QDateTime &now);

} // namespace vorlan
