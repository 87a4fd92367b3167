#include "core/backup.h"
#include "core/dailybackup.h"
#include "core/datastore.h"
#include "core/recordtable.h"
#include "core/schema.h"
#include "testhome.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

using namespace vorlan;

namespace {

const QDateTime kNoon(QDate(2026, 12, 9), QTime(12, 0));

int ordersIn(const QString &path)
{
    DataStore s(QStringLiteral("peek"));
    if (!s.open(path))
        return -1;
    return s.scalar(QStringLiteral("select count(*) from 存单")).toInt();
}

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

bool hasColumn(const QString &path, const QString &table, const QString &column)
{
    DataStore s(QStringLiteral("peek-columns"));
    return s.open(path)
        && s.scalar(QStringLiteral("select count(*) from pragma_table_info(?) where name=?"), {table, column}).toInt()
        == 1;
}

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
        QCOMPARE(QFileInfo(first).fileName(), QStringLiteral("data-20261209-120000-daily.db"));
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

    void keepsTheNewestThirty()
    {
        TestHome home;
        for (int i = 0; i < 35; ++i)
            QVERIFY(!backupDatabase(*home.store, home.paths.backupDir(), kNoon.addDays(i), "daily").isEmpty());
        const QStringList copies = listBackups(home.paths.backupDir());
        QCOMPARE(copies.size(), 30);
        QVERIFY(copies.first().contains("20270112")); // day 34, newest first
        QVERIFY(copies.last().contains("20261214"));  // days 0–4 are gone
    }

    void onceADay()
    {
        TestHome home;
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

    // The day's copy runs on its own thread and connection while the program writes on.
    void dailyCopyBesideTheProgram()
    {
        TestHome home;
        QVERIFY(addOrders(*home.store, 50));
        DailyBackup daily;
        QSignalSpy failures(&daily, &DailyBackup::failed);
        QVERIFY(daily.start(home.paths.databasePath(), home.paths.backupDir(), kNoon));
        QVERIFY(addOrders(*home.store, 20)); // writes go on meanwhile
        daily.wait();
        QCOMPARE(failures.count(), 0);
        const QStringList copies = listBackups(home.paths.backupDir());
        QCOMPARE(copies.size(), 1);
        QVERIFY(isUsableBackup(copies.first()));
        const int copied = ordersIn(copies.first());
        QVERIFY2(copied == 50 || copied == 70, qPrintable(QString::number(copied))); // one committed state
        QCOMPARE(ordersIn(home.paths.databasePath()), 70);
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
        QVERIFY(copies.first().endsWith("-upgrade.db"));
        QVERIFY(!hasColumn(copies.first(), "存单", "备注")); // the state before the upgrade
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
        QVERIFY(!hasColumn(home.paths.databasePath(), "存单", "备注"));
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
        QVERIFY(r.safetyCopy.endsWith("-restore.db"));
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
        const QString copy = backupDatabase(*home.store, home.dir.filePath("usb"), kNoon, "daily");
        QVERIFY(!copy.isEmpty());
        const RestoreResult r = restoreBackup(*home.store, copy, home.paths.dataDir(), home.paths.databasePath(),
                                              home.paths.configPath(), kNoon);
        QVERIFY2(r.restored, qPrintable(r.error));
        QCOMPARE(QFileInfo(r.safetyCopy).absolutePath(), QFileInfo(home.paths.backupDir()).absoluteFilePath());
        QCOMPARE(listBackups(home.dir.filePath("usb")).size(), 1); // the chosen folder is left alone
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
        QVERIFY(hasColumn(home.paths.databasePath(), "存单", "备注"));
    }

    void unusableCopiesChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not a database") << QByteArray(8192, 'x');
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("damaged") << QByteArray("damaged"); // a real copy with its pages overwritten
        QTest::newRow("another program's database") << QByteArray("foreign");
    }
    void unusableCopiesChangeNothing()
    {
        QFETCH(QByteArray, content);
        TestHome home;
        QVERIFY(addOrders(*home.store, 2));
        const QString path = home.dir.filePath("chosen.db");
        if (content == "damaged") {
            const QString copy = backupDatabase(*home.store, home.paths.backupDir(), kNoon, "daily");
            QFile f(copy);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QByteArray bytes = f.readAll();
            for (qsizetype i = 4096; i < bytes.size(); i += 7)
                bytes[i] = char(0xA5);
            QFile::remove(copy);
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
};

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
