#include "backup.h"

#include "datastore.h"
#include "paths.h"
#include "prompter.h"
#include "schema.h"
#include "sqlitelibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>

#include <sqlite3.h>

namespace vorlan {

namespace {

const QString kPrefix = QStringLiteral("data-");
const QString kSuffix = QStringLiteral(".db");

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

QString uniqueName(const QDir &dir, const QDateTime &now, const QString &reason)
{
    const QString stem = kPrefix + now.toString(QStringLiteral("yyyyMMdd-HHmmss")) + QLatin1Char('-') + reason;
    QString name = stem + kSuffix;
    for (int i = 2; dir.exists(name) || dir.exists(name + QStringLiteral(".part")); ++i)
        name = stem + QLatin1Char('-') + QString::number(i) + kSuffix;
    return name;
}

void keepNewest(const QString &folder, int keep)
{
    const QStringList copies = listBackups(folder);
    for (qsizetype i = keep; i < copies.size(); ++i)
        QFile::remove(copies.at(i));
}

} // namespace

QStringList listBackups(const QString &folder)
{
    QDir dir(folder);
    QStringList result;
    const QStringList names =
        dir.entryList({kPrefix + QStringLiteral("*") + kSuffix}, QDir::Files, QDir::Name | QDir::Reversed);
    for (const QString &name : names)
        result.append(dir.filePath(name));
    return result;
}

namespace {

// Copies the database behind `from` into `folder` under a new name, checks the copy and
// keeps the newest `keep` copies.
QString copyInto(sqlite3 *from, const QString &folder, const QDateTime &now, const QString &reason, QString *error,
                 int keep)
{
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("."))) {
        setError(error, QStringLiteral("无法创建文件夹 %1").arg(QDir::toNativeSeparators(folder)));
        return {};
    }
    const QString path = dir.filePath(uniqueName(dir, now, reason));
    const QString partial = path + QStringLiteral(".part");
    auto removePartial = [&] {
        for (const char *suffix : {"", "-journal", "-wal", "-shm"})
            QFile::remove(partial + QLatin1String(suffix));
    };
    removePartial();
    if (!copyWithBackupApi(from, partial, error, true)) {
        removePartial();
        return {};
    }
    // The copy holds every page of the database, so checking it checks the database
    // without holding up the program's own connection.
    QString damage;
    if (!quickCheck(partial, &damage)) {
        removePartial();
        setError(error, QStringLiteral("数据库文件可能已损坏（%1）。这份备份没有保存，以免替换较早的完好备份；"
                                       "请用“设置菜单”中的“恢复备份”恢复最近的完好备份。")
                            .arg(damage));
        return {};
    }
    if (!QFile::rename(partial, path)) {
        removePartial();
        setError(error, QStringLiteral("无法写入 %1").arg(QDir::toNativeSeparators(path)));
        return {};
    }
    keepNewest(folder, keep);
    return path;
}

} // namespace

QString backupDatabase(DataStore &store, const QString &folder, const QDateTime &now, const QString &reason,
                       QString *error, int keep)
{
    sqlite3 *from = nativeHandle(store);
    if (!from && store.isOpen() && !sameSqliteAsDriver(store.database())) // copy through a connection of our own
        return backupDatabaseFile(store.database().databaseName(), folder, now, reason, error, keep);
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
    return copyInto(from, folder, now, reason, error, keep);
}

QString backupDatabaseFile(const QString &databasePath, const QString &folder, const QDateTime &now,
                           const QString &reason, QString *error, int keep)
{
    sqlite3 *from = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(databasePath).constData(), &from, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK) {
        setError(error, sqliteMessage(from, rc));
        sqlite3_close(from);
        return {};
    }
    sqlite3_busy_timeout(from, 5000);
    const QString path = copyInto(from, folder, now, reason, error, keep);
    sqlite3_close(from);
    return path;
}

bool dailyBackupDue(const QString &folder, const QDateTime &now)
{
    const QString today = kPrefix + now.date().toString(QStringLiteral("yyyyMMdd")) + QLatin1Char('-');
    for (const QString &path : listBackups(folder)) {
        const QString name = QFileInfo(path).fileName();
        if (name.startsWith(today) && name.contains(QStringLiteral("-daily")))
            return false;
    }
    return true;
}

bool isUsableBackup(const QString &path, QString *error)
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

RestoreResult restoreBackup(DataStore &store, const QString &backupPath, const QString &dataDir,
                            const QString &databasePath, const QString &configPath, const QDateTime &now)
{
    RestoreResult result;
    if (!isUsableBackup(backupPath, &result.error)) {
        result.reopened = store.isOpen();
        return result;
    }
    result.safetyCopy =
        backupDatabase(store, dataDir + QStringLiteral("/backup"), now, QStringLiteral("restore"), &result.error);
    if (result.safetyCopy.isEmpty()) {
        result.error = QStringLiteral("无法先保存当前数据：%1").arg(result.error);
        result.reopened = store.isOpen();
        return result;
    }

    store.close();
    sqlite3 *from = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(backupPath).constData(), &from, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK)
        result.restored = copyWithBackupApi(from, databasePath, &result.error);
    else
        result.error = sqliteMessage(from, rc);
    sqlite3_close(from);

    const OpenedStore opened = openDataStore(store, dataDir, databasePath, configPath);
    result.reopened = opened.ok;
    result.decimalPlaces = opened.decimalPlaces;
    if (!opened.ok) {
        result.restored = false;
        result.error = opened.error;
    }
    return result;
}

RestoreOutcome askAndRestoreBackup(Prompter &prompter, QWidget *owner, DataStore &store, const ProgramPaths &paths,
                                   const QDateTime &now)
{
    const QString chosen = prompter.openFile(owner, QStringLiteral("选择要恢复的备份"), paths.backupDir(),
                                             QStringLiteral("数据库备份 (*.db)"));
    if (chosen.isEmpty())
        return RestoreOutcome::NothingChanged;
    if (!prompter.ask(owner, PromptIcon::Question, QString(),
                      QStringLiteral("用备份“%1”替换现在的全部数据吗？\n\n现在的数据会先另存为一份备份，以后仍可恢复。")
                          .arg(QFileInfo(chosen).fileName())))
        return RestoreOutcome::NothingChanged;
    const RestoreResult r =
        restoreBackup(store, chosen, paths.dataDir(), paths.databasePath(), paths.configPath(), now);
    if (!r.reopened) {
        prompter.message(owner, PromptIcon::Critical, QStringLiteral("提示"),
                         QStringLiteral("数据库无法重新打开：%1\n\n程序将退出。替换前的数据已另存为：\n%2")
                             .arg(r.error, QDir::toNativeSeparators(r.safetyCopy)));
        return RestoreOutcome::StoreClosed;
    }
    if (!r.restored) {
        prompter.message(owner, PromptIcon::Warning, QStringLiteral("提示"),
                         QStringLiteral("恢复没有完成：%1\n\n现在的数据没有被改动。").arg(r.error));
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
    QString newest;
    for (const QString &copy : listBackups(paths.backupDir()))
        if (isUsableBackup(copy)) {
            newest = copy;
            break;
        }
    if (newest.isEmpty())
        return false;
    const QString aside = database + QStringLiteral(".damaged-") + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (!prompter.ask(owner, PromptIcon::Question, QString(),
                      QStringLiteral("数据库文件无法打开：%1\n\n是否用最近的备份“%2”恢复数据？\n"
                                     "备份之后保存的订单不在其中；无法打开的文件会保留为：\n%3")
                          .arg(reason, QFileInfo(newest).fileName(), QDir::toNativeSeparators(aside))))
        return false;

    // The failed file and its write-ahead log move aside together; nothing is deleted.
    bool moved = QFile::rename(database, aside);
    for (const char *companion : {"-wal", "-shm"}) {
        const QString from = database + QLatin1String(companion);
        if (moved && QFile::exists(from))
            moved = QFile::rename(from, aside + QLatin1String(companion));
    }
    QString error;
    bool copied = false;
    if (moved) {
        sqlite3 *from = nullptr;
        if (sqlite3_open_v2(QFile::encodeName(newest).constData(), &from, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK)
            copied = copyWithBackupApi(from, database, &error);
        else
            error = sqliteMessage(from, SQLITE_CANTOPEN);
        sqlite3_close(from);
    } else {
        error = QStringLiteral("无法移动 %1").arg(QDir::toNativeSeparators(database));
    }
    if (!copied) {
        prompter.message(owner, PromptIcon::Warning, QStringLiteral("提示"),
                         QStringLiteral("恢复没有完成：%1").arg(error));
        return false;
    }
    return true;
}

} // namespace vorlan
