#include "core/backup.h"
#include "core/dailybackup.h"
#include "core/datastore.h"
#include "core/recordtable.h"
#include "core/schema.h"
#include "testhome.h"

#include "scriptedprompter.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <sys/mount.h>
#include <unistd.h>

using namespace vorlan;

namespace {

const QDateTime kNoon(QDate(2026, 12, 9), QTime(12, 0));

// A compressed copy as a person gets it back: `zstd -d`.
QString unpackWithZstd(const QString &path, const QString &to)
{
    QProcess zstd;
    zstd.start(QStringLiteral("zstd"), {QStringLiteral("-d"), QStringLiteral("-q"), QStringLiteral("-f"), path,
                                         QStringLiteral("-o"), to});
    if (!zstd.waitForFinished(30000) || zstd.exitStatus() != QProcess::NormalExit || zstd.exitCode() != 0) {
        qWarning() << "zstd failed:" << zstd.errorString() << zstd.readAllStandardError();
        return {};
    }
    return to;
}

// One answer from a database file or, unpacked, from a compressed copy.
QVariant peek(const QString &path, const QString &sql)
{
    const QString plain = path.endsWith(".zst") ? unpackWithZstd(path, path + ".peek") : path;
    QVariant answer;
    {
        DataStore s(QStringLiteral("peek"));
        if (!plain.isEmpty() && s.open(plain))
            answer = s.scalar(sql);
    }
    if (plain != path)
        for (const char *suffix : {"", "-wal", "-shm"})
            QFile::remove(plain + suffix);
    return answer;
}

int ordersIn(const QString &path) { return peek(path, "select count(*) from 存单").toInt(); }

bool hasRemarks(const QString &path)
{
    return peek(path, "select count(*) from pragma_table_info('存单') where name='备注'").toInt() == 1;
}

qint64 fakeFreeSpace = 0;
qint64 fakeProbe(const QString &) { return fakeFreeSpace; }

bool addOrders(DataStore &s, int count)
{
    for (int i = 0; i < count; ++i)
        if (!s.execute(QStringLiteral("insert into 存单 (编号, 时间, 姓名) values (?, '2026-12-09 10:00:00', ?)"),
                       {i + 1, QStringLiteral("老王's \"%1\"").arg(i)}))
            return false;
    return true;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A database as the first released layout left it (no 备注, no version record).
void makeOldDatabase(TestHome &home, int orders)
{
    DataStore old(QStringLiteral("old"));
    QVERIFY(QDir().mkpath(home.paths.dataDir()));
    QVERIFY(old.open(home.paths.databasePath()));
    QVERIFY(createTemplateDatabase(old));
    QVERIFY(addOrders(old, orders));
}

// Runs statements on a database file outside the program's own opening sequence.
bool onFile(const QString &path, const QStringList &statements)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        db.setDatabaseName(path);
        ok = db.open();
        QSqlQuery q(db);
        for (const QString &sql : statements)
            ok = ok && q.exec(sql);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    return ok;
}

// Empty files named as copies: the age rule reads names only.
void touchCopies(const QString &folder, const QStringList &names)
{
    QVERIFY(QDir().mkpath(folder));
    for (const QString &name : names)
        writeFile(folder + "/" + name, {});
}

QStringList namesIn(const QString &folder)
{
    QStringList names;
    for (const QString &path : listBackups(folder))
        names.append(QFileInfo(path).fileName());
    return names;
}

QString dailyName(const QDate &day) { return "data-" + day.toString("yyyyMMdd") + "-093000-daily.db.zst"; }

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT
private slots:
    void copyIsTheStateAtThatMoment()
    {
        TestHome home;
        QVERIFY(addOrders(*home.store, 3));
        QString error;
        const QString first = backupDatabase(*home.store, home.paths.backupDir(), kNoon, "daily", &error);
        QVERIFY2(!first.isEmpty(), qPrintable(error));
        QCOMPARE(QFileInfo(first).fileName(), QStringLiteral("data-20261209-120000-daily.db.zst"));
        QVERIFY(addOrders(*home.store, 2));
        // A copy taken while another connection is writing holds the committed state only.
        DataStore writer(QStringLiteral("writer"));
        QVERIFY(writer.open(home.paths.databasePath()));
        QVERIFY(writer.transaction());
        QVERIFY(addOrders(writer, 7));
        const QString second = backupDatabase(*home.store, home.paths.backupDir(), kNoon, "daily", &error);
        QVERIFY2(!second.isEmpty(), qPrintable(error));
        QVERIFY(writer.commit());
        QVERIFY(second != first);
        // each copy is one self-contained file, and checking it adds none
        QVERIFY(isUsableBackup(first, &error));
        QCOMPARE(QDir(home.paths.backupDir()).entryList(QDir::Files).size(), 2);
        QCOMPARE(ordersIn(first), 3);
        QCOMPARE(ordersIn(second), 5);
        QVERIFY(isUsableBackup(first, &error));
        QVERIFY(isUsableBackup(second, &error));
        QCOMPARE(listBackups(home.paths.backupDir()).size(), 2);
        // the store goes on working after a copy
        QVERIFY(addOrders(*home.store, 1));
    }

    void noCopyInTheMiddleOfOwnTransaction()
    {
        TestHome home;
        QVERIFY(home.store->transaction());
        QVERIFY(addOrders(*home.store, 1));
        QString error;
        QVERIFY(backupDatabase(*home.store, home.paths.backupDir(), kNoon, "daily", &error).isEmpty());
        QVERIFY(!error.isEmpty());
        QVERIFY(home.store->commit());
        QVERIFY(listBackups(home.paths.backupDir()).isEmpty());
    }

    // A year and a month of daily copies, pruned after each one as the program does.
    void keepsCopiesByAge()
    {
        TestHome home(false);
        const QString folder = home.paths.backupDir();
        const QDate today(2026, 12, 9);
        for (QDate day(2025, 11, 1); day <= today; day = day.addDays(1)) {
            touchCopies(folder, {dailyName(day)});
            pruneBackups(folder, QDateTime(day, QTime(9, 30)));
        }
        QList<QDate> kept;
        for (const QString &path : listBackups(folder))
            kept.append(backupTime(path).date());
        for (int i = 0; i < 7; ++i) // every day of the last week
            QCOMPARE(kept.value(i), today.addDays(-i));
        // then one a week for four weeks, then one a month for six months, nothing older
        int weekly = 0;
        QSet<int> months;
        for (qsizetype i = 7; i < kept.size(); ++i) {
            const qint64 gap = kept.at(i).daysTo(kept.at(i - 1));
            const bool inWeeks = kept.at(i).daysTo(today) < 35;
            weekly += inWeeks;
            if (!inWeeks)
                months.insert(kept.at(i).year() * 100 + kept.at(i).month());
            QVERIFY2(gap >= 1 && gap <= (inWeeks ? 7 : 37),
                     qPrintable(kept.at(i).toString(Qt::ISODate) + " follows after " + QString::number(gap)));
        }
        QVERIFY2(weekly >= 4 && weekly <= 5, qPrintable(QString::number(weekly)));
        QCOMPARE(months.size(), 6);
        QCOMPARE(kept.size(), 7 + weekly + 6);
        QVERIFY(kept.last() >= today.addDays(-35).addMonths(-6));
    }

    // Pruning reads the moment in each name as a date; a wrong clock keeps the newest copy.
    void pruningReadsDatesNotNames_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QStringList>("kept"); // newest first
        const QDate today = kNoon.date();
        QStringList lastTenDays;
        for (int i = 0; i < 10; ++i)
            lastTenDays.append(dailyName(today.addDays(-i)));
        QTest::newRow("copies of one second")
            << QStringList{"data-20261001-093000-daily.db.zst", "data-20261001-093000-daily-2.db.zst",
                           dailyName(today), dailyName(today.addDays(-1))}
            << kNoon
            << QStringList{dailyName(today), dailyName(today.addDays(-1)), "data-20261001-093000-daily-2.db.zst"};
        QTest::newRow("clock set years ahead")
            << (lastTenDays + QStringList{"data-20260915-093000-daily.db.zst", "data-20310601-120000-daily.db.zst"})
            << QDateTime(QDate(2031, 6, 1), QTime(12, 0))
            << QStringList{"data-20310601-120000-daily.db.zst", dailyName(today)};
        QTest::newRow("clock set back")
            << (lastTenDays + QStringList{"data-20200101-120000-daily.db.zst"})
            << QDateTime(QDate(2020, 1, 1), QTime(12, 0))
            << (lastTenDays + QStringList{"data-20200101-120000-daily.db.zst"});
        QTest::newRow("copies older versions left, other names")
            << QStringList{dailyName(today), "data-20260101-120000-upgrade.db", "data-20261205-120000-restore.db",
                           "data-copy.db"}
            << kNoon << QStringList{dailyName(today), "data-20261205-120000-restore.db", "data-copy.db"};
    }
    void pruningReadsDatesNotNames()
    {
        QFETCH(QStringList, names);
        QFETCH(QDateTime, now);
        QFETCH(QStringList, kept);
        TestHome home(false);
        touchCopies(home.paths.backupDir(), names);
        pruneBackups(home.paths.backupDir(), now);
        QCOMPARE(namesIn(home.paths.backupDir()), kept);
    }

    void onceADay()
    {
        TestHome home;
        // what a kill during the day's copy left is no copy, and the next start removes it
        const QStringList unfinished = {"data-20261209-110000-daily.db.zst.part", "data-20261209-110000-daily.db.part",
                                        "data-20261209-110000-daily.db.part-journal", "unpacked-a1b2c3.db.part"};
        touchCopies(home.paths.backupDir(), unfinished);
        QVERIFY(dailyBackupDue(home.paths.backupDir(), kNoon));
        QVERIFY(home.reopen());
        QVERIFY(QDir(home.paths.backupDir()).entryList(QDir::Files).isEmpty());
        DailyBackup daily;
        QSignalSpy failures(&daily, &DailyBackup::failed);
        QVERIFY(daily.start(home.paths.databasePath(), home.paths.backupDir(), kNoon));
        daily.wait();
        QVERIFY(!daily.start(home.paths.databasePath(), home.paths.backupDir(), kNoon.addSecs(3600)));
        QCOMPARE(listBackups(home.paths.backupDir()).size(), 1);
        QVERIFY(daily.start(home.paths.databasePath(), home.paths.backupDir(), kNoon.addDays(1)));
        daily.wait();
        QCOMPARE(listBackups(home.paths.backupDir()).size(), 2);
        QCOMPARE(failures.count(), 0);
    }

    // The day's copy runs on its own thread and connection while the program writes on:
    // it holds one committed state, a whole number of the writer's transactions.
    void dailyCopyBesideTheProgram()
    {
        TestHome home;
        QVERIFY(addOrders(*home.store, 50));
        DailyBackup daily;
        QSignalSpy failures(&daily, &DailyBackup::failed);
        QVERIFY(daily.start(home.paths.databasePath(), home.paths.backupDir(), kNoon));
        for (int i = 0; i < 4; ++i) { // writes go on meanwhile, five orders a transaction
            QVERIFY(home.store->transaction());
            QVERIFY(addOrders(*home.store, 5));
            QVERIFY(home.store->commit());
        }
        daily.wait();
        QCOMPARE(failures.count(), 0);
        const QStringList copies = listBackups(home.paths.backupDir());
        QCOMPARE(copies.size(), 1);
        QVERIFY(isUsableBackup(copies.first()));
        const int copied = ordersIn(copies.first());
        QVERIFY2(copied >= 50 && copied <= 70 && copied % 5 == 0, qPrintable(QString::number(copied)));
        QCOMPARE(ordersIn(home.paths.databasePath()), 70);
    }

    // Before a copy, the free space: a day's copy leaves twice the database (at least 1 GB),
    // one before an upgrade or a restore the database's size.
    void spaceIsCheckedBeforeEveryCopy_data()
    {
        QTest::addColumn<QString>("reason");
        QTest::addColumn<qint64>("freeBeyondNeed"); // bytes beyond the copy and what it must leave
        QTest::addColumn<bool>("made");
        QTest::newRow("day's copy, just enough") << "daily" << qint64(0) << true;
        QTest::newRow("day's copy, a byte short") << "daily" << qint64(-1) << false;
        QTest::newRow("upgrade, just enough") << "upgrade" << qint64(0) << true;
        QTest::newRow("restore, a byte short") << "restore" << qint64(-1) << false;
    }
    void spaceIsCheckedBeforeEveryCopy()
    {
        QFETCH(QString, reason);
        QFETCH(qint64, freeBeyondNeed);
        QFETCH(bool, made);
        TestHome home;
        QVERIFY(addOrders(*home.store, 20));
        const qint64 size =
            home.store->scalar("select page_count * page_size from pragma_page_count(), pragma_page_size()").toLongLong();
        const qint64 reserve = reason == "daily" ? qMax(2 * size, qint64(1) << 30) : size;
        fakeFreeSpace = 2 * size + reserve + freeBeyondNeed;
        setFreeSpaceProbe(fakeProbe);
        QString error;
        BackupFailure failure = BackupFailure::Other;
        const QString copy = backupDatabase(*home.store, home.paths.backupDir(), kNoon, reason, &error, &failure);
        setFreeSpaceProbe(nullptr);
        QCOMPARE(!copy.isEmpty(), made);
        QCOMPARE(failure, made ? BackupFailure::None : BackupFailure::NoSpace);
        QCOMPARE(error.contains("磁盘空间不足"), !made);
        QCOMPARE(QDir(home.paths.backupDir()).entryList(QDir::Files).size(), made ? 1 : 0);
    }

    void lackOfSpaceIsToldOnceADay()
    {
        TestHome home;
        fakeFreeSpace = 100 << 20;
        setFreeSpaceProbe(fakeProbe);
        DailyBackup daily;
        QSignalSpy failures(&daily, &DailyBackup::failed);
        for (const QDateTime &start : {kNoon, kNoon.addSecs(3600), kNoon.addDays(1)}) {
            QVERIFY(daily.start(home.paths.databasePath(), home.paths.backupDir(), start)); // skipped, still due
            daily.wait();
        }
        setFreeSpaceProbe(nullptr);
        QCOMPARE(failures.count(), 2); // the first start of each day
        QVERIFY(failures.first().first().toString().contains("磁盘空间不足"));
        QVERIFY(listBackups(home.paths.backupDir()).isEmpty());
        // with room again the day's copy is made
        QVERIFY(daily.start(home.paths.databasePath(), home.paths.backupDir(), kNoon.addDays(1).addSecs(60)));
        daily.wait();
        QCOMPARE(failures.count(), 2);
        QCOMPARE(listBackups(home.paths.backupDir()).size(), 1);
    }

    // The real free space of a small disk (a tmpfs of 8 MB, under 1 GB) stops the day's copy.
    void realSmallDisk()
    {
        if (::geteuid() != 0)
            QSKIP("mounting a small disk needs root (CI runs as root)");
        TestHome home;
        QVERIFY(QDir().mkpath(home.paths.backupDir()));
        const QByteArray target = QFile::encodeName(home.paths.backupDir());
        QVERIFY2(::mount("tmpfs", target.constData(), "tmpfs", 0, "size=8m") == 0,
                 qPrintable(QStringLiteral("cannot mount a tmpfs on %1: %2").arg(home.paths.backupDir(),
                                                                                 QString::fromLocal8Bit(strerror(errno)))));
        struct Unmount {
            QByteArray target;
            ~Unmount() { ::umount(target.constData()); }
        } unmount{target};
        DailyBackup daily;
        QSignalSpy failures(&daily, &DailyBackup::failed);
        QVERIFY(daily.start(home.paths.databasePath(), home.paths.backupDir(), kNoon));
        daily.wait();
        QCOMPARE(failures.count(), 1);
        QVERIFY(failures.first().first().toString().contains("磁盘空间不足"));
        // a copy before an upgrade needs only room beside the database
        QVERIFY(!backupDatabase(*home.store, home.paths.backupDir(), kNoon, "upgrade").isEmpty());
    }

    void failedCopyIsReported()
    {
        TestHome home;
        QVERIFY(QDir().mkpath(home.paths.dataDir()));
        writeFile(home.paths.backupDir(), "a file where the folder belongs");
        DailyBackup daily;
        QSignalSpy failures(&daily, &DailyBackup::failed);
        QVERIFY(daily.start(home.paths.databasePath(), home.paths.backupDir(), kNoon));
        daily.wait();
        QCOMPARE(failures.count(), 1);
        QVERIFY(failures.first().first().toString().contains("backup"));
        QVERIFY(addOrders(*home.store, 1)); // the store is untouched
    }

    void upgradeIsPrecededByACopy()
    {
        TestHome home(false);
        makeOldDatabase(home, 4);
        QVERIFY(home.reopen());
        const QStringList copies = listBackups(home.paths.backupDir());
        QCOMPARE(copies.size(), 1);
        QVERIFY(copies.first().endsWith("-upgrade.db.zst"));
        QVERIFY(!hasRemarks(copies.first())); // the state before the upgrade
        QCOMPARE(ordersIn(copies.first()), 4);
        // neither a new database nor a second start makes one
        QVERIFY(home.reopen());
        QCOMPARE(listBackups(home.paths.backupDir()).size(), 1);
        TestHome fresh;
        QVERIFY(listBackups(fresh.paths.backupDir()).isEmpty());
    }

    void noUpgradeWithoutACopy()
    {
        TestHome home(false);
        makeOldDatabase(home, 2);
        writeFile(home.paths.backupDir(), "x");
        QVERIFY(!home.reopen());
        QVERIFY(home.opened.error.contains("升级数据库前无法备份"));
        QVERIFY(!hasRemarks(home.paths.databasePath()));
        QCOMPARE(ordersIn(home.paths.databasePath()), 2);
    }

    void restoreBringsBackTheCopyAndKeepsTheReplacedState()
    {
        TestHome home;
        QVERIFY(addOrders(*home.store, 3));
        const QString copy = backupDatabase(*home.store, home.paths.backupDir(), kNoon, "daily");
        QVERIFY(addOrders(*home.store, 5));
        RecordTable(*home.store).write("打印份数", "4");

        const RestoreResult r = restoreBackup(*home.store, copy, home.paths.dataDir(), home.paths.databasePath(),
                                              home.paths.configPath(), kNoon.addSecs(60));
        QVERIFY2(r.restored, qPrintable(r.error));
        QVERIFY(r.reopened);
        QCOMPARE(home.store->scalar("select count(*) from 存单").toInt(), 3);
        QCOMPARE(home.store->scalar("select 姓名 from 存单 where 编号=1").toString(), QStringLiteral("老王's \"0\""));
        QCOMPARE(RecordTable(*home.store).read("打印份数"), QStringLiteral("1"));
        QCOMPARE(ordersIn(r.safetyCopy), 8);
        QVERIFY(r.safetyCopy.endsWith("-restore.db.zst"));
        QCOMPARE(home.store->scalar("pragma integrity_check").toString(), QStringLiteral("ok"));
        QVERIFY(addOrders(*home.store, 1));
        // the restored state survives a restart
        QVERIFY(home.reopen());
        QCOMPARE(home.store->scalar("select count(*) from 存单").toInt(), 4);
    }

    void copyFromElsewhereKeepsTheSafetyCopyInTheBackupFolder()
    {
        TestHome home;
        QVERIFY(addOrders(*home.store, 2));
        const QString usb = home.dir.filePath("usb");
        const QString copy = backupDatabase(*home.store, usb, kNoon, "daily");
        QVERIFY(!copy.isEmpty());
        QVERIFY(addOrders(*home.store, 3));
        const RestoreResult r = restoreBackup(*home.store, copy, home.paths.dataDir(), home.paths.databasePath(),
                                              home.paths.configPath(), kNoon);
        QVERIFY2(r.restored, qPrintable(r.error));
        QCOMPARE(home.store->scalar("select count(*) from 存单").toInt(), 2);
        QCOMPARE(QFileInfo(r.safetyCopy).absolutePath(), QFileInfo(home.paths.backupDir()).absoluteFilePath());
        QCOMPARE(QDir(usb).entryList(QDir::Files), QStringList{QFileInfo(copy).fileName()}); // left alone
        QCOMPARE(QDir(home.paths.backupDir()).entryList(QDir::Files).size(), 1); // no unpacked file left

        // an uncompressed copy older versions left is listed and restored alike
        const QString old = unpackWithZstd(copy, home.paths.backupDir() + "/data-20261201-093000-daily.db");
        QVERIFY(!old.isEmpty());
        QVERIFY(QFile::remove(copy));
        QCOMPARE(listBackups(home.paths.backupDir()).last(), old);
        QVERIFY(addOrders(*home.store, 1));
        QVERIFY(restoreBackup(*home.store, old, home.paths.dataDir(), home.paths.databasePath(),
                              home.paths.configPath(), kNoon.addSecs(1))
                    .restored);
        QCOMPARE(home.store->scalar("select count(*) from 存单").toInt(), 2);
    }

    void olderCopyIsUpgradedOnRestore()
    {
        TestHome home(false);
        makeOldDatabase(home, 2);
        QVERIFY(home.reopen());
        const QString old = listBackups(home.paths.backupDir()).first();
        const RestoreResult r = restoreBackup(*home.store, old, home.paths.dataDir(), home.paths.databasePath(),
                                              home.paths.configPath(), kNoon);
        QVERIFY2(r.restored, qPrintable(r.error));
        QVERIFY(hasRemarks(home.paths.databasePath()));
    }

    void unusableCopiesChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not a database") << QByteArray(8192, 'x');
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("damaged") << QByteArray("damaged"); // a real copy with its pages overwritten
        QTest::newRow("compressed copy damaged") << QByteArray("damaged.zst");
        QTest::newRow("compressed copy cut short") << QByteArray("cut.zst");
        QTest::newRow("another program's database") << QByteArray("foreign");
    }
    void unusableCopiesChangeNothing()
    {
        QFETCH(QByteArray, content);
        TestHome home;
        QVERIFY(addOrders(*home.store, 2));
        const QString path = home.dir.filePath(content.endsWith(".zst") ? "chosen.db.zst" : "chosen.db");
        if (content.startsWith("damaged") || content == "cut.zst") {
            const QString copy = backupDatabase(*home.store, home.paths.backupDir(), kNoon, "daily");
            QFile f(content == "damaged" ? unpackWithZstd(copy, copy + ".plain") : copy);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QByteArray bytes = f.readAll();
            if (content == "cut.zst")
                bytes.chop(bytes.size() / 3);
            for (qsizetype i = content == "damaged" ? 4096 : bytes.size() / 2; i < bytes.size() && content != "cut.zst";
                 i += 7)
                bytes[i] = char(0xA5);
            f.close();
            QFile::remove(copy);
            QFile::remove(copy + ".plain");
            writeFile(path, bytes);
        } else if (content == "foreign") {
            DataStore other(QStringLiteral("other"));
            QVERIFY(other.open(path));
            QVERIFY(other.execute("create table t (x)"));
        } else {
            writeFile(path, content);
        }
        const RestoreResult r = restoreBackup(*home.store, path, home.paths.dataDir(), home.paths.databasePath(),
                                              home.paths.configPath(), kNoon);
        QVERIFY(!r.restored);
        QVERIFY(r.reopened);
        QVERIFY(!r.error.isEmpty());
        QCOMPARE(home.store->scalar("select count(*) from 存单").toInt(), 2);
        QVERIFY(addOrders(*home.store, 1));
    }

    // Each failure of a restore leaves one whole state, tells which, and the program runs on.
    void restoreFailuresLoseNothing_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("told");
        QTest::newRow("safety copy cannot be made") << "no safety copy" << "无法先保存当前数据";
        QTest::newRow("write-back fails: another page size") << "page size" << "无法写回备份";
        QTest::newRow("restored data cannot be opened") << "unopenable" << "恢复后的数据库无法打开";
    }
    void restoreFailuresLoseNothing()
    {
        QFETCH(QString, fault);
        QFETCH(QString, told);
        TestHome home;
        QVERIFY(addOrders(*home.store, 1));
        const QString chosen = unpackWithZstd(backupDatabase(*home.store, home.dir.filePath("usb"), kNoon, "daily"),
                                              home.dir.filePath("data-20261209-120000-daily.db"));
        QVERIFY(!chosen.isEmpty());
        QVERIFY(addOrders(*home.store, 2));
        if (fault == "no safety copy")
            writeFile(home.paths.backupDir(), "a file where the folder belongs");
        else if (fault == "page size")
            QVERIFY(onFile(chosen, {"pragma page_size=1024", "vacuum"}));
        else
            QVERIFY(onFile(chosen, {"alter table 存单 rename column 时间 to 时刻"}));
        QVERIFY(isUsableBackup(chosen));

        ScriptedPrompter prompter;
        prompter.files.enqueue(chosen);
        prompter.answers.enqueue(true);
        QCOMPARE(askAndRestoreBackup(prompter, nullptr, *home.store, home.paths, kNoon.addSecs(60)),
                 RestoreOutcome::NothingChanged);
        const QString message = prompter.texts().last();
        QVERIFY2(message.contains(told), qPrintable(message));
        QVERIFY2(message.contains(fault == "unopenable" ? "原来的数据已放回" : "现在的数据没有被改动"),
                 qPrintable(message));
        QCOMPARE(home.store->scalar("select count(*) from 存单").toInt(), 3);
        QCOMPARE(home.store->scalar("pragma integrity_check").toString(), QStringLiteral("ok"));
        QVERIFY(addOrders(*home.store, 1));
        QVERIFY(home.reopen());
        QCOMPARE(home.store->scalar("select count(*) from 存单").toInt(), 4);
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
