#include "backup.h"

#include "datastore.h"
#include "paths.h"
#include "prompter.h"
#include "schema.h"
#include "sqlitelibrary.h"
#include "zstdfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDriver>
#include <QStorageInfo>
#include <QTemporaryFile>

#include <sqlite3.h>

#include <algorithm>
#include <memory>
#include <optional>

#include <unistd.h>

namespace vorlan {

namespace {

const QString kPrefix = QStringLiteral("data-");
const QString kSuffix = QStringLiteral(".db");
const QString kCompressed = QStringLiteral(".zst");
const QString kPart = QStringLiteral(".part");

QMutex probeMutex;
FreeSpaceProbe freeSpaceProbe = nullptr;

qint64 freeSpace(const QString &folder)
{
    {
        const QMutexLocker lock(&probeMutex);
        if (freeSpaceProbe)
            return freeSpaceProbe(folder);
    }
    const QStorageInfo storage(folder);
    return storage.isValid() ? storage.bytesAvailable() : -1;
}

QString megabytes(qint64 bytes) { return QString::number(qMax<qint64>(0, bytes) / (1024 * 1024)); }

// What a copy's name says: the moment, why, and the number that tells apart copies of the
// same second (data-20261209-093000-daily-2.db.zst).
struct CopyName {
    QDateTime time;
    QString reason;
    int number = 1;
    bool compressed = false;
};

std::optional<CopyName> parseCopyName(const QString &fileName)
{
    static const QRegularExpression pattern(
        QStringLiteral("^data-(\\d{8}-\\d{6})-([a-z]+)(?:-(\\d+))?\\.db(\\.zst)?$"));
    const QRegularExpressionMatch m = pattern.match(fileName);
    if (!m.hasMatch())
        return std::nullopt;
    CopyName name;
    name.time = QDateTime::fromString(m.captured(1), QStringLiteral("yyyyMMdd-HHmmss"));
    if (!name.time.isValid())
        return std::nullopt;
    name.reason = m.captured(2);
    name.number = m.captured(3).isEmpty() ? 1 : m.captured(3).toInt();
    name.compressed = !m.captured(4).isEmpty();
    return name;
}

bool isCompressed(const QString &path) { return path.endsWith(kCompressed); }

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// The SQLite connection under Qt's driver; nullptr when the driver carries another SQLite.
sqlite3 *nativeHandle(DataStore &store) { return linkedSqliteHandle(store.database()); }

QString sqliteMessage(sqlite3 *db, int rc)
{
    return QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
}

// Copies database `from` into the file at `toPath` with the online backup API, in one step,
// so the copy is one consistent state. The destination is written in one transaction.
// A `standalone` copy leaves WAL mode, so it is one self-contained file that can be
// renamed, copied and opened read-only without companions.
bool copyWithBackupApi(sqlite3 *from, const QString &toPath, QString *error, bool standalone = false)
{
    sqlite3 *to = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(toPath).constData(), &to, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                             nullptr);
    if (rc != SQLITE_OK) {
        setError(error, sqliteMessage(to, rc));
        sqlite3_close(to);
        return false;
    }
    sqlite3_busy_timeout(to, 2000);
    sqlite3_backup *backup = sqlite3_backup_init(to, "main", from, "main");
    if (!backup) {
        setError(error, sqliteMessage(to, sqlite3_errcode(to)));
        sqlite3_close(to);
        return false;
    }
    rc = sqlite3_backup_step(backup, -1);
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE) {
        setError(error, QString::fromUtf8(sqlite3_errstr(rc)));
        sqlite3_close(to);
        return false;
    }
    if (standalone) {
        rc = sqlite3_exec(to, "pragma journal_mode=delete", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            setError(error, sqliteMessage(to, rc));
            sqlite3_close(to);
            return false;
        }
    }
    rc = sqlite3_close(to);
    if (rc != SQLITE_OK) {
        setError(error, QString::fromUtf8(sqlite3_errstr(rc)));
        return false;
    }
    return true;
}

// Runs one statement on the file at `path` (read-only) and gives its answers joined.
bool askFile(const QString &path, const char *sql, QString *answer, QString *error)
{
    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *statement = nullptr;
    if (rc == SQLITE_OK)
        rc = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    if (rc == SQLITE_OK) {
        answer->clear();
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
            *answer += QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
        if (rc == SQLITE_DONE)
            rc = SQLITE_OK;
    }
    if (rc != SQLITE_OK)
        setError(error, sqliteMessage(db, rc));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rc == SQLITE_OK;
}

bool quickCheck(const QString &path, QString *error)
{
    QString answer;
    if (!askFile(path, "pragma quick_check(5)", &answer, error))
        return false;
    if (answer != QLatin1String("ok")) {
        setError(error, answer.left(200));
        return false;
    }
    return true;
}

QString uniqueStem(const QDir &dir, const QDateTime &now, const QString &reason)
{
    const QString base = kPrefix + now.toString(QStringLiteral("yyyyMMdd-HHmmss")) + QLatin1Char('-') + reason;
    auto taken = [&](const QString &candidate) {
        for (const QString &suffix : {kSuffix, kSuffix + kCompressed, kSuffix + kPart, kSuffix + kCompressed + kPart})
            if (dir.exists(candidate + suffix))
                return true;
        return false;
    };
    QString stem = base;
    for (int i = 2; taken(stem); ++i)
        stem = base + QLatin1Char('-') + QString::number(i);
    return stem;
}

void removeDatabaseFiles(const QString &path)
{
    for (const char *suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

// Makes the folder's new entry durable (the rename of a finished copy).
void syncFolder(const QString &folder)
{
    QFile dir(folder);
    if (dir.open(QIODevice::ReadOnly))
        ::fsync(dir.handle());
}

// The bytes the database behind `db` holds; -1 when it cannot tell.
qint64 databaseSize(sqlite3 *db)
{
    qint64 size = -1;
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, "select page_count * page_size from pragma_page_count(), pragma_page_size()", -1,
                           &statement, nullptr)
            == SQLITE_OK
        && sqlite3_step(statement) == SQLITE_ROW)
        size = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    return size;
}

bool enoughSpace(const QString &folder, qint64 size, const QString &reason, QString *error)
{
    const qint64 available = freeSpace(folder);
    if (available < 0 || size < 0)
        return true; // nothing to judge by: every write is checked anyway
    const qint64 needed = 2 * size; // the working file and, at most as large, the compressed copy
    const qint64 reserve = reason == u"daily" ? qMax(2 * size, kMinimumSpaceLeft) : size;
    if (available - needed >= reserve)
        return true;
    setError(error, QStringLiteral("磁盘空间不足：备份需要约 %1 MB，之后磁盘只剩 %2 MB，至少要留 %3 MB。"
                                   "这次没有备份数据库，请清理磁盘。")
                        .arg(megabytes(needed), megabytes(available - needed), megabytes(reserve)));
    return false;
}

} // namespace

QStringList listBackups(const QString &folder)
{
    struct Entry {
        QString path;
        std::optional<CopyName> name;
    };
    QList<Entry> entries;
    const QDir dir(folder);
    for (const QString &file :
         dir.entryList({kPrefix + QStringLiteral("*") + kSuffix, kPrefix + QStringLiteral("*") + kSuffix + kCompressed},
                       QDir::Files))
        entries.append({dir.filePath(file), parseCopyName(file)});
    // By the moment read as a date, then the number within the same second; names that
    // carry no moment come last.
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        if (a.name.has_value() != b.name.has_value())
            return a.name.has_value();
        if (!a.name)
            return a.path > b.path;
        if (a.name->time != b.name->time)
            return a.name->time > b.name->time;
        if (a.name->number != b.name->number)
            return a.name->number > b.name->number;
        return a.path > b.path;
    });
    QStringList result;
    for (const Entry &entry : entries)
        result.append(entry.path);
    return result;
}

QDateTime backupTime(const QString &path)
{
    const auto name = parseCopyName(QFileInfo(path).fileName());
    return name ? name->time : QDateTime();
}

void pruneBackups(const QString &folder, const QDateTime &now)
{
    const QDate today = now.date();
    const QDate monthsFrom = today.addDays(-35).addMonths(-6);
    QSet<int> weeks;
    QSet<int> months;
    int newest = 0;
    for (const QString &path : listBackups(folder)) { // newest first
        const auto name = parseCopyName(QFileInfo(path).fileName());
        if (!name || name->time > now)
            continue; // not a copy's name, or dated by a clock that ran ahead
        if (newest < 2) {
            ++newest;
            continue;
        }
        const QDate day = name->time.date();
        const qint64 age = day.daysTo(today);
        bool keep = age < 7;
        if (!keep && age < 35) {
            int year = 0;
            const int week = day.weekNumber(&year);
            keep = !weeks.contains(year * 100 + week);
            weeks.insert(year * 100 + week);
        } else if (!keep && day >= monthsFrom) {
            const int month = day.year() * 100 + day.month();
            keep = !months.contains(month) && months.size() < 6;
            months.insert(month);
        }
        if (!keep)
            QFile::remove(path);
    }
}

void removeUnfinishedCopies(const QString &folder)
{
    QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral("*.part"), QStringLiteral("*.part-*")}, QDir::Files))
        dir.remove(name);
}

void setFreeSpaceProbe(FreeSpaceProbe probe)
{
    const QMutexLocker lock(&probeMutex);
    freeSpaceProbe = probe;
}

namespace {

// Copies the database behind `from` into `folder` under a new name: the online backup into
// a working file, its check, then the compressed copy, read back before it is renamed into
// place; then prunes the copies.
QString copyInto(sqlite3 *from, const QString &folder, const QDateTime &now, const QString &reason, QString *error,
                 BackupFailure *failure)
{
    auto fail = [&](BackupFailure kind) {
        if (failure)
            *failure = kind;
        return QString();
    };
    if (failure)
        *failure = BackupFailure::None;
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("."))) {
        setError(error, QStringLiteral("无法创建文件夹 %1").arg(QDir::toNativeSeparators(folder)));
        return fail(BackupFailure::Other);
    }
    if (!enoughSpace(folder, databaseSize(from), reason, error))
        return fail(BackupFailure::NoSpace);
    const QString stem = dir.filePath(uniqueStem(dir, now, reason));
    const QString working = stem + kSuffix + kPart;
    const QString packed = stem + kSuffix + kCompressed + kPart;
    const QString path = stem + kSuffix + kCompressed;
    auto removeWork = [&] {
        removeDatabaseFiles(working);
        QFile::remove(packed);
    };
    if (!copyWithBackupApi(from, working, error, true)) {
        removeWork();
        return fail(BackupFailure::Other);
    }
    // The copy holds every page of the database, so checking it checks the database
    // without holding up the program's own connection.
    QString damage;
    if (!quickCheck(working, &damage)) {
        removeWork();
        setError(error, QStringLiteral("数据库文件可能已损坏（%1）。这份备份没有保存，以免替换较早的完好备份；"
                                       "请用“设置菜单”中的“恢复备份”恢复最近的完好备份。")
                            .arg(damage));
        return fail(BackupFailure::Other);
    }
    // The compressed copy is read back (its checksum) before it counts.
    if (!compressFile(working, packed, kBackupCompressionLevel, error) || !decompressFile(packed, {}, error)) {
        removeWork();
        return fail(BackupFailure::Other);
    }
    if (!QFile::rename(packed, path)) {
        removeWork();
        setError(error, QStringLiteral("无法写入 %1").arg(QDir::toNativeSeparators(path)));
        return fail(BackupFailure::Other);
    }
    removeDatabaseFiles(working);
    syncFolder(folder);
    pruneBackups(folder, now);
    return path;
}

// A copy as a plain database file: the copy itself, or for a compressed copy a working
// file unpacked into `workFolder`, deleted with this object.
class PlainCopy
{
public:
    bool unpack(const QString &path, const QString &workFolder, QString *error)
    {
        if (!isCompressed(path)) {
            m_path = path;
            return true;
        }
        const QString folder = workFolder.isEmpty() ? QFileInfo(path).absolutePath() : workFolder;
        if (!QDir().mkpath(folder)) {
            setError(error, QStringLiteral("无法创建文件夹 %1").arg(QDir::toNativeSeparators(folder)));
            return false;
        }
        m_temporary = std::make_unique<QTemporaryFile>(folder + QStringLiteral("/unpacked-XXXXXX") + kSuffix + kPart);
        if (!m_temporary->open()) {
            setError(error, QStringLiteral("无法写入 %1（%2）")
                                .arg(QDir::toNativeSeparators(folder), m_temporary->errorString()));
            return false;
        }
        m_path = m_temporary->fileName();
        m_temporary->close();
        return decompressFile(path, m_path, error);
    }
    const QString &path() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QTemporaryFile> m_temporary;
};

// Writes the database file at `source` into the database file at `target` with the
// online backup API, in one transaction of the target: a failure leaves it as it was.
bool writeBack(const QString &source, const QString &target, QString *error)
{
    sqlite3 *from = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(source).constData(), &from, SQLITE_OPEN_READONLY, nullptr);
    bool written = false;
    if (rc == SQLITE_OK)
        written = copyWithBackupApi(from, target, error);
    else
        setError(error, sqliteMessage(from, rc));
    sqlite3_close(from);
    return written;
}

bool isUsablePlainCopy(const QString &path, QString *error)
{
    QString answer;
    QString reason;
    if (!askFile(path, "pragma integrity_check", &answer, &reason)) {
        setError(error, QStringLiteral("这不是数据库文件：%1").arg(reason));
        return false;
    }
    if (answer != QLatin1String("ok")) {
        setError(error, QStringLiteral("备份文件已损坏"));
        return false;
    }
    if (!askFile(path, "select count(*) from sqlite_master where type='table' and name in ('存单','存单详单','记录')",
                 &answer, &reason)
        || answer != QLatin1String("3")) {
        setError(error, QStringLiteral("这不是本程序的数据库"));
        return false;
    }
    return true;
}

} // namespace

QString backupDatabase(DataStore &store, const QString &folder, const QDateTime &now, const QString &reason,
                       QString *error, BackupFailure *failure)
{
    if (failure)
        *failure = BackupFailure::Other;
    if (!sqldialect::isFile(store.engine())) {
        setError(error, sqldialect::fileOnlyMessage(QStringLiteral("程序自己的数据库备份")));
        return {};
    }
    sqlite3 *from = nativeHandle(store);
    if (!from && store.isOpen() && !sameSqliteAsDriver(store.database())) // copy through a connection of our own
        return backupDatabaseFile(store.database().databaseName(), folder, now, reason, error, failure);
    if (!from) {
        setError(error, QStringLiteral("数据库没有打开"));
        return {};
    }
    // Our own unfinished transaction would go into the copy: never in the middle of one.
    if (!sqlite3_get_autocommit(from)) {
        setError(error, QStringLiteral("数据库正在写入，稍后再备份"));
        return {};
    }
    store.closeQuery();
    return copyInto(from, folder, now, reason, error, failure);
}

QString backupDatabaseFile(const QString &databasePath, const QString &folder, const QDateTime &now,
                           const QString &reason, QString *error, BackupFailure *failure)
{
    if (failure)
        *failure = BackupFailure::Other;
    sqlite3 *from = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(databasePath).constData(), &from, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK) {
        setError(error, sqliteMessage(from, rc));
        sqlite3_close(from);
        return {};
    }
    sqlite3_busy_timeout(from, 5000);
    const QString path = copyInto(from, folder, now, reason, error, failure);
    sqlite3_close(from);
    return path;
}

bool dailyBackupDue(const QString &folder, const QDateTime &now)
{
    for (const QString &path : listBackups(folder)) {
        const auto name = parseCopyName(QFileInfo(path).fileName());
        if (name && name->reason == u"daily" && name->time.date() == now.date())
            return false;
    }
    return true;
}

bool isUsableBackup(const QString &path, QString *error, const QString &workFolder)
{
    PlainCopy plain;
    return plain.unpack(path, workFolder, error) && isUsablePlainCopy(plain.path(), error);
}

RestoreResult restoreBackup(DataStore &store, const QString &backupPath, const QString &dataDir,
                            const QString &databasePath, const QString &configPath, const QDateTime &now)
{
    RestoreResult result;
    const QString backupDir = dataDir + QStringLiteral("/backup");
    PlainCopy source;
    if (!source.unpack(backupPath, backupDir, &result.error) || !isUsablePlainCopy(source.path(), &result.error)) {
        result.reopened = store.isOpen();
        return result;
    }
    result.safetyCopy = backupDatabase(store, backupDir, now, QStringLiteral("restore"), &result.error);
    if (result.safetyCopy.isEmpty()) {
        result.error = QStringLiteral("无法先保存当前数据：%1").arg(result.error);
        result.reopened = store.isOpen();
        return result;
    }

    store.close();
    result.restored = writeBack(source.path(), databasePath, &result.error);
    if (!result.restored)
        result.error = QStringLiteral("无法写回备份（%1）").arg(result.error);
    OpenedStore opened = openDataStore(store, dataDir, databasePath, configPath);
    if (!opened.ok && result.restored) {
        // The restored data cannot be used: the replaced state goes back.
        result.error = QStringLiteral("恢复后的数据库无法打开（%1）").arg(opened.error);
        PlainCopy replaced;
        QString error;
        if (replaced.unpack(result.safetyCopy, backupDir, &error) && writeBack(replaced.path(), databasePath, &error)) {
            result.restored = false;
            result.putBack = true;
            opened = openDataStore(store, dataDir, databasePath, configPath);
        } else {
            result.error += QStringLiteral("；也无法放回原来的数据（%1）").arg(error);
        }
    }
    result.reopened = opened.ok;
    result.decimalPlaces = opened.decimalPlaces;
    if (!opened.ok && !result.restored)
        result.error += (result.putBack ? QStringLiteral("；原来的数据已放回，但也无法打开（%1）")
                                        : QStringLiteral("；数据库也无法重新打开（%1）"))
                            .arg(opened.error);
    return result;
}

RestoreOutcome askAndRestoreBackup(Prompter &prompter, QWidget *owner, DataStore &store, const ProgramPaths &paths,
                                   const QDateTime &now)
{
    const QString chosen = prompter.openFile(owner, QStringLiteral("选择要恢复的备份"), paths.backupDir(),
                                             QStringLiteral("数据库备份 (*.db.zst *.db)"));
    if (chosen.isEmpty())
        return RestoreOutcome::NothingChanged;
    if (!prompter.ask(owner, PromptIcon::Question, QString(),
                      QStringLiteral("用备份“%1”替换现在的全部数据吗？\n\n现在的数据会先另存为一份备份，以后仍可恢复。")
                          .arg(QFileInfo(chosen).fileName()),
                      PromptDefault::Yes))
        return RestoreOutcome::NothingChanged;
    const RestoreResult r =
        restoreBackup(store, chosen, paths.dataDir(), paths.databasePath(), paths.configPath(), now);
    if (!r.reopened) {
        const QString state = r.restored ? QStringLiteral("数据库文件现在是备份的内容。")
                                         : QStringLiteral("数据库文件仍是原来的数据。");
        prompter.message(owner, PromptIcon::Critical, QStringLiteral("提示"),
                         QStringLiteral("数据库无法重新打开：%1\n\n%2程序将退出。替换前的数据已另存为：\n%3")
                             .arg(r.error, state, QDir::toNativeSeparators(r.safetyCopy)));
        return RestoreOutcome::StoreClosed;
    }
    if (!r.restored) {
        prompter.message(owner, PromptIcon::Warning, QStringLiteral("提示"),
                         QStringLiteral("恢复没有完成：%1\n\n%2")
                             .arg(r.error, r.putBack ? QStringLiteral("原来的数据已放回，没有丢失。")
                                                     : QStringLiteral("现在的数据没有被改动。")));
        return RestoreOutcome::NothingChanged;
    }
    prompter.message(owner, PromptIcon::Information, QStringLiteral("提示"),
                     QStringLiteral("数据已从备份恢复。\n替换前的数据已另存为：\n%1")
                         .arg(QDir::toNativeSeparators(r.safetyCopy)));
    return RestoreOutcome::Restored;
}

bool offerRestoreAtStart(Prompter &prompter, QWidget *owner, const ProgramPaths &paths, const QString &reason,
                         const QDateTime &now)
{
    // Only a damaged file is replaced; one that is busy or read-only is not.
    const QString database = paths.databasePath();
    if (!QFileInfo(database).isFile()
        || !(reason.contains(QStringLiteral("这不是数据库文件")) || reason.contains(QStringLiteral("数据库文件已损坏"))))
        return false;
    removeUnfinishedCopies(paths.backupDir());
    QString newest;
    PlainCopy plain;
    for (const QString &copy : listBackups(paths.backupDir())) {
        PlainCopy candidate;
        if (candidate.unpack(copy, paths.backupDir(), nullptr) && isUsablePlainCopy(candidate.path(), nullptr)) {
            newest = copy;
            plain = std::move(candidate);
            break;
        }
    }
    if (newest.isEmpty())
        return false;
    const QString aside = database + QStringLiteral(".damaged-") + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (!prompter.ask(owner, PromptIcon::Question, QString(),
                      QStringLiteral("数据库文件无法打开：%1\n\n是否用最近的备份“%2”恢复数据？\n"
                                     "备份之后保存的订单不在其中；无法打开的文件会保留为：\n%3")
                          .arg(reason, QFileInfo(newest).fileName(), QDir::toNativeSeparators(aside)),
                      PromptDefault::Yes))
        return false;

    // The failed file and its write-ahead log move aside together; nothing is deleted.
    bool moved = QFile::rename(database, aside);
    for (const char *companion : {"-wal", "-shm"}) {
        const QString from = database + QLatin1String(companion);
        if (moved && QFile::exists(from))
            moved = QFile::rename(from, aside + QLatin1String(companion));
    }
    QString error;
    const bool copied = moved ? writeBack(plain.path(), database, &error) : false;
    if (!moved)
        error = QStringLiteral("无法移动 %1").arg(QDir::toNativeSeparators(database));
    if (!copied) {
        prompter.message(owner, PromptIcon::Warning, QStringLiteral("提示"),
                         QStringLiteral("恢复没有完成：%1").arg(error));
        return false;
    }
    return true;
}

} // namespace vorlan
