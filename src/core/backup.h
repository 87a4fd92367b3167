#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class QWidget;

namespace vorlan {

class DataStore;

// Copies of the database in data/backup/, made with SQLite's online backup while the
// program runs: each copy is one consistent state of the database, whatever is written
// at the same moment. The copy is checked, compressed with zstd and renamed when complete,
// so a half-made copy (a name ending in .part) never looks like a backup.
//
// Names carry the moment and why: data-20261209-093000-daily.db.zst, …-upgrade.db.zst,
// …-restore.db.zst (the state replaced by a restore). Copies older versions left
// uncompressed (….db) are listed, restored and pruned alike.
//
// Kept by age, read from the name: every copy of the last 7 days, then the newest of each
// week for 4 weeks, then the newest of each month for 6 months. The two newest copies and
// any dated after the clock are never deleted, so a clock set wrong cannot take the
// newest good copy.

// zstd level of the copies, compressed on one thread: fast enough for a background copy
// on two cores (higher levels cost up to twice the time for copies 2% smaller).
inline constexpr int kBackupCompressionLevel = 1;

// Before a copy the free space of its folder is checked: the copy needs room for the
// uncompressed working file and the compressed copy (counted as the database's size
// each). A day's copy is skipped when less than twice the database's size (at least
// 1 GB) would be left; the copies before an upgrade or a restore need the database's
// size left (room for the change they guard).
inline constexpr qint64 kMinimumSpaceLeft = qint64(1) << 30;

// The free bytes of the disk holding `folder`; tests replace it (a null probe
// restores the real figure). Set it while no copy is under way.
using FreeSpaceProbe = qint64 (*)(const QString &folder);
void setFreeSpaceProbe(FreeSpaceProbe probe);

enum class BackupFailure { None, NoSpace, Other };

// Copies the open database into `folder` and then prunes the copies by age. Returns the
// new copy's path; an empty text (and `error`, `failure`) when it failed.
QString backupDatabase(DataStore &store, const QString &folder, const QDateTime &now, const QString &reason,
                       QString *error = nullptr, BackupFailure *failure = nullptr);

// The same from the database file at `databasePath`, through a read-only connection of
// its own: safe on another thread while the program goes on writing (WAL readers see one
// committed state).
QString backupDatabaseFile(const QString &databasePath, const QString &folder, const QDateTime &now,
                           const QString &reason, QString *error = nullptr, BackupFailure *failure = nullptr);

// True unless `folder` already holds a daily copy made on the day of `now`.
bool dailyBackupDue(const QString &folder, const QDateTime &now);

// The copies in `folder`, newest first by the moment in their names.
QStringList listBackups(const QString &folder);

// The moment a copy's file name carries; invalid when the name is not a copy's.
QDateTime backupTime(const QString &path);

// Deletes the copies the age rule does not keep.
void pruneBackups(const QString &folder, const QDateTime &now);

// Deletes what a copy or a restore cut short by a kill or a power cut left in `folder`
// (names ending in .part). Run at start-up, before any copy begins.
void removeUnfinishedCopies(const QString &folder);

// Checks that `path` is a sound database of this program (integrity check, the order and
// records tables); otherwise `error` says why. A compressed copy is unpacked into
// `workFolder` (default: its own folder) and the result checked.
bool isUsableBackup(const QString &path, QString *error = nullptr, const QString &workFolder = {});

struct RestoreResult {
    bool restored = false;   // the database file holds the backup's contents
    bool reopened = false;   // the store is open again (on the restored or the old data)
    bool putBack = false;    // the restored data could not be opened; the old state is back
    QString safetyCopy;      // the copy of the replaced state
    QString error;
    int decimalPlaces = 0;
};

// Replaces the database with the backup at `backupPath`: unpacks a compressed copy, checks
// it, copies the current state aside (reason "restore"), closes the store, copies the
// backup into the database file with the online backup (a failure midway leaves the old
// contents) and opens the store again through the ordinary opening sequence (which
// upgrades an older backup). When the restored data cannot be opened, the replaced state
// is written back and opened instead. Nothing is changed when the backup is unusable or
// the safety copy fails.
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
