// Kills a process that settles orders at random moments and checks after every kill that
// the database holds exactly what was committed: nothing lost, nothing half stored.
//
// The child (this program started with --child HOME) opens the program folder the way
// start-up does and then settles and modifies orders through the order store, forever.
// After each commit it writes one line to its standard output; the parent keeps what was
// reported and, after SIGKILL, compares it with the database.
//
// Every start of the child also makes the day's copy of the database in the background
// (a new day each round), so kills land in the copy too; a second test kills the opening
// of an older database, which upgrades it after a copy. After every kill the next start
// must be clean: no unfinished copy left, the database opens, every copy is whole.
//
// VORLAN_KILLS sets the number of kills (50 by default, 1,000 for the long run). The seed
// of the random moments is printed; VORLAN_KILL_SEED=N replays its choices (the moments
// the kills land still depend on the machine's timing).

#include "core/backup.h"
#include "core/dailybackup.h"
#include "core/datastore.h"
#include "core/dates.h"
#include "core/paths.h"
#include "core/schema.h"
#include "order/orderstore.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <unistd.h>

using namespace vorlan;

namespace {

// The content of order `number` after `generation` modifications; the checker recomputes
// it from the two numbers the stored order carries (编号 and 备注).
SettledOrder orderContent(int number, int generation)
{
    SettledOrder o;
    o.number = number;
    o.header = QStringLiteral("微信点餐 \"%1\" 50% \\").arg(number);
    o.shopName = QStringLiteral("老王's 快餐");
    o.time = QDateTime(QDate(2026, 12, 9), QTime(10, 0)).addSecs(number);
    o.paymentMethod = QStringLiteral("现金支付");
    o.phone = QStringLiteral("1390000%1").arg(number % 7, 4, 10, QLatin1Char('0'));
    o.name = QStringLiteral("顾客%1").arg(number % 7);
    o.address = QStringLiteral("幸福路%1号 😀").arg(number % 7);
    o.remark = QString::number(generation);
    const int lineCount = 1 + (number + generation) % 6;
    double total = 0;
    for (int i = 0; i < lineCount; ++i) {
        const double quantity = 1 + (i + generation) % 3;
        const double amount = quantity * (10 + i) + generation * 0.5;
        o.lines.append({QStringLiteral("菜%1-%2").arg((number * 7 + i + generation) % 30).arg(i), quantity,
                        QStringLiteral("份"), amount});
        total += amount;
    }
    o.total = total;
    o.paid = o.actuallyPaid = total;
    o.settled = true;
    return o;
}

void report(const QByteArray &line)
{
    // One write per line: a pipe keeps writes below PIPE_BUF whole.
    const QByteArray bytes = line + '\n';
    if (::write(STDOUT_FILENO, bytes.constData(), size_t(bytes.size())) != bytes.size())
        ::_exit(3);
}

// The day of the child's copy in round `round`: a new day each round.
QDateTime copyDay(int round) { return QDateTime(QDate(2026, 12, 9), QTime(9, 0)).addDays(round); }

QStringList unfinishedCopies(const ProgramPaths &paths)
{
    return QDir(paths.backupDir()).entryList({QStringLiteral("*.part*")}, QDir::Files);
}

// Opens the folder as start-up does; with `settle`, then makes the day's copy in the
// background and settles orders without end.
int runChild(const QString &home, quint32 seed, int round, bool settle)
{
    ProgramPaths paths{home};
    DataStore store(QStringLiteral("kill-child"));
    const OpenedStore opened = openDataStore(store, paths.dataDir(), paths.databasePath(), paths.configPath());
    if (!opened.ok) {
        report("E " + opened.error.toUtf8());
        return 2;
    }
    if (const QStringList left = unfinishedCopies(paths); !left.isEmpty()) {
        report("E unfinished copies left after opening: " + left.join(QLatin1Char(' ')).toUtf8());
        return 7;
    }
    if (!settle) {
        report("ready");
        for (;;)
            QThread::sleep(1);
    }
    int next = store.scalar(QStringLiteral("select coalesce(max(编号),0) from 存单")).toInt() + 1;
    DailyBackup daily;
    QObject::connect(&daily, &DailyBackup::failed, [](const QString &error) { report("E copy " + error.toUtf8()); });
    daily.start(paths.databasePath(), paths.backupDir(), copyDay(round));
    report("ready");
    QRandomGenerator generator(seed);
    auto *random = &generator;
    for (;;) {
        if (next > 1 && random->bounded(4) == 0) {
            const int number = 1 + int(random->bounded(next - 1));
            if (!store.query(QStringLiteral("select ID, 备注 from 存单 where 编号=?"), {number}) || store.atEnd())
                return 4;
            const int id = store.readInt(0);
            const int generation = store.readInt(1) + 1;
            store.closeQuery();
            QString error;
            if (!replaceOrder(store, id, orderContent(number, generation), &error)) {
                report("E " + error.toUtf8());
                return 5;
            }
            report(QByteArray("R ") + QByteArray::number(number) + ' ' + QByteArray::number(generation));
        } else {
            QString error;
            const auto id = insertOrder(store, orderContent(next, 0), &error);
            if (!id) {
                report("E " + error.toUtf8());
                return 6;
            }
            report(QByteArray("I ") + QByteArray::number(next) + ' ' + QByteArray::number(*id));
            ++next;
        }
    }
}

// What the parent knows to be committed: number → (ID, generation).
struct Committed {
    int id = 0;
    int generation = 0;
};

// A start that has not reported "ready" by then hangs.
constexpr int kStartDeadlineMs = 30000;

quint32 chooseSeed()
{
    const quint32 seed = qEnvironmentVariableIsSet("VORLAN_KILL_SEED")
        ? quint32(qEnvironmentVariable("VORLAN_KILL_SEED").toULong())
        : QRandomGenerator::system()->generate();
    qInfo("seed %u (replay with VORLAN_KILL_SEED=%u)", seed, seed);
    return seed;
}

bool startChild(QProcess &child, const QStringList &arguments)
{
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    return child.waitForStarted();
}

// Waits until the child reports "ready"; false when it does not within the deadline.
bool waitUntilReady(QProcess &child)
{
    const QDeadlineTimer deadline(kStartDeadlineMs);
    QByteArray seen;
    while (!seen.contains("ready\n") && !deadline.hasExpired()) {
        if (child.state() == QProcess::NotRunning)
            return false;
        child.waitForReadyRead(int(qMin<qint64>(deadline.remainingTime(), 1000)));
        seen = child.peek(1 << 20);
    }
    return seen.contains("ready\n");
}

QString startFailure(QProcess &child, int round, quint32 seed)
{
    return QStringLiteral("round %1 (seed %2): the restarted program did not open its folder within %3 s%4: %5")
        .arg(round)
        .arg(seed)
        .arg(kStartDeadlineMs / 1000)
        .arg(child.state() == QProcess::NotRunning ? QStringLiteral(" (it ended)") : QString(),
             QString::fromUtf8(child.peek(1 << 20) + child.readAllStandardError()).trimmed());
}

void killChild(QProcess &child)
{
    child.kill();
    QVERIFY(child.waitForFinished(5000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
}

// The start after the last kill: clean, and every copy left is whole.
void checkNextStart(const ProgramPaths &paths)
{
    DataStore store(QStringLiteral("kill-next-start"));
    const OpenedStore opened = openDataStore(store, paths.dataDir(), paths.databasePath(), paths.configPath());
    QVERIFY2(opened.ok, qPrintable(opened.error));
    QCOMPARE(unfinishedCopies(paths), QStringList());
    for (const QString &copy : listBackups(paths.backupDir())) {
        QString error;
        QVERIFY2(isUsableBackup(copy, &error), qPrintable(copy + QStringLiteral(": ") + error));
    }
}

} // namespace

class TestKill : public QObject
{
    Q_OBJECT
private slots:
    void settledOrdersSurviveKills();
    void upgradeSurvivesKills();
};

void TestKill::settledOrdersSurviveKills()
{
    const int kills = qEnvironmentVariableIsSet("VORLAN_KILLS") ? qEnvironmentVariableIntValue("VORLAN_KILLS") : 50;
    const quint32 seed = chooseSeed();
    QRandomGenerator generator(seed);
    auto *random = &generator;
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const ProgramPaths paths{home.path()};
    QHash<int, Committed> committed;
    int lastNumber = 0;
    int killedBeforeReady = 0;
    int killedInCopy = 0;
    int operations = 0;

    for (int round = 0; round < kills; ++round) {
        QProcess child;
        QVERIFY2(startChild(child, {QStringLiteral("--child"), home.path(), QString::number(random->generate()),
                                    QString::number(round)}),
                 qPrintable(child.errorString()));
        // One kill in five falls at any moment from the start (opening, creating, upgrading);
        // the others once the child has opened its folder and begun the day's copy and
        // settling orders, whatever the machine's load.
        if (random->bounded(5) != 0) {
            QVERIFY2(waitUntilReady(child), qPrintable(startFailure(child, round, seed)));
            QThread::msleep(random->bounded(60));
        } else {
            QThread::msleep(random->bounded(25));
        }
        killChild(child);
        if (!unfinishedCopies(paths).isEmpty())
            ++killedInCopy;

        bool ready = false;
        for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> f = line.split(' ');
            if (line.isEmpty())
                continue;
            if (line == "ready") {
                ready = true;
            } else if (f.value(0) == "I") {
                const int number = f.value(1).toInt();
                QCOMPARE(number, lastNumber + 1);
                committed[number] = {f.value(2).toInt(), 0};
                lastNumber = number;
                ++operations;
            } else if (f.value(0) == "R") {
                QVERIFY(committed.contains(f.value(1).toInt()));
                committed[f.value(1).toInt()].generation = f.value(2).toInt();
                ++operations;
            } else {
                QFAIL(qPrintable(QStringLiteral("child failed in round %1: %2").arg(round).arg(QString::fromUtf8(line))));
            }
        }
        if (!ready)
            ++killedBeforeReady;

        // Check the database as the next start would find it.
        if (!QFileInfo::exists(paths.databasePath())) {
            QCOMPARE(lastNumber, 0); // killed before the database file was made
            continue;
        }
        DataStore store(QStringLiteral("kill-check"));
        QString error;
        QVERIFY2(store.open(paths.databasePath(), &error), qPrintable(error));
        QCOMPARE(store.scalar(QStringLiteral("pragma integrity_check")).toString(), QStringLiteral("ok"));
        if (store.scalar(QStringLiteral("select count(*) from sqlite_master where name='存单'")).toInt() == 0) {
            QCOMPARE(lastNumber, 0); // killed before the template was stored
            continue;
        }

        // Every order stored is whole and one of: reported as committed, or the one
        // operation in flight when the kill came (committed, not yet reported).
        int unreported = 0;
        int highest = 0;
        // Two statements read everything: the orders, then all lines grouped by order.
        struct Row {
            int number, id, generation;
            double total;
            QString phone, shopName, header;
            QString time;
            QList<QVariantList> lines;
        };
        QList<Row> rows;
        QHash<int, qsizetype> rowOfId;
        store.query(QStringLiteral("select 编号, ID, 备注, 合计, 电话, 店铺名称, 票头, 时间 from 存单 order by 编号"));
        for (; !store.atEnd(); store.next()) {
            rowOfId.insert(store.readInt(1), rows.size());
            rows.append({store.readInt(0), store.readInt(1), store.readText(2).toInt(), store.readDouble(3),
                         store.readText(4), store.readText(5), store.readText(6), store.readText(7), {}});
        }
        store.query(QStringLiteral("select 存单ID, 菜名, 数量, 单位, 小计, 销售时间 from 存单详单 order by ID"));
        for (; !store.atEnd(); store.next()) {
            const auto row = rowOfId.constFind(store.readInt(0));
            QVERIFY2(row != rowOfId.constEnd(), "a line without its order");
            rows[*row].lines.append({store.readText(1), store.readDouble(2), store.readText(3), store.readDouble(4),
                                     store.readText(5)});
        }
        store.closeQuery();

        for (const Row &row : rows) {
            QCOMPARE(row.number, highest + 1); // no gap, no duplicate
            highest = row.number;
            const auto known = committed.constFind(row.number);
            if (known == committed.constEnd()) {
                QCOMPARE(row.number, lastNumber + 1);
                QCOMPARE(row.generation, 0);
                ++unreported;
                committed[row.number] = {row.id, 0};
                lastNumber = row.number;
            } else {
                QCOMPARE(row.id, known->id);
                if (row.generation != known->generation) {
                    QCOMPARE(row.generation, known->generation + 1);
                    ++unreported;
                    committed[row.number].generation = row.generation;
                }
            }

            const SettledOrder expected = orderContent(row.number, row.generation);
            QCOMPARE(row.total, expected.total);
            QCOMPARE(row.phone, expected.phone);
            const QString time = isoDateTime(expected.time);
            QCOMPARE(row.time, time);
            QCOMPARE(row.shopName, expected.shopName);
            QCOMPARE(row.header, expected.header);
            QVERIFY2(row.lines.size() == expected.lines.size(),
                     qPrintable(QStringLiteral("order %1 has %2 lines instead of %3")
                                    .arg(row.number)
                                    .arg(row.lines.size())
                                    .arg(expected.lines.size())));
            for (qsizetype i = 0; i < row.lines.size(); ++i) {
                const StoredLine &line = expected.lines.at(i);
                const QVariantList &got = row.lines.at(i);
                QCOMPARE(got.at(0).toString(), line.name);
                QCOMPARE(got.at(1).toDouble(), line.quantity);
                QCOMPARE(got.at(2).toString(), line.unit);
                QCOMPARE(got.at(3).toDouble(), line.amount);
                QCOMPARE(got.at(4).toString(), time);
            }
        }
        QVERIFY2(unreported <= 1, "more than one operation was in flight");
        QCOMPARE(highest, lastNumber); // every reported order is there

        // One customer per phone, counting exactly the orders of that phone.
        QHash<QString, int> ordersPerPhone;
        for (const Row &row : rows)
            ++ordersPerPhone[orderContent(row.number, 0).phone];
        store.query(QStringLiteral("select 电话, count(*), sum(订餐次数) from 客户 group by 电话"));
        int customers = 0;
        for (; !store.atEnd(); store.next(), ++customers) {
            QCOMPARE(store.readInt(1), 1);
            QCOMPARE(store.readInt(2), ordersPerPhone.value(store.readText(0)));
        }
        store.closeQuery();
        QCOMPARE(customers, int(ordersPerPhone.size()));
    }
    qInfo("%d kills, %d orders, %d operations reported, %d kills before the store was open, %d left an unfinished copy",
          kills, lastNumber, operations, killedBeforeReady, killedInCopy);
    QVERIFY(lastNumber > 0);
    checkNextStart(paths);
}

// Kills the opening of a database of the first layout: the copy before the upgrade, the
// upgrade itself. The next start upgrades it with every order kept.
void TestKill::upgradeSurvivesKills()
{
    const int kills = qMax(5, (qEnvironmentVariableIsSet("VORLAN_KILLS") ? qEnvironmentVariableIntValue("VORLAN_KILLS")
                                                                          : 50)
                                  / 5);
    const quint32 seed = chooseSeed();
    QRandomGenerator random(seed);
    constexpr int orders = 300;
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString old = work.filePath(QStringLiteral("old.db"));
    {
        DataStore store(QStringLiteral("kill-old"));
        QVERIFY(store.open(old));
        QVERIFY(createTemplateDatabase(store));
        QVERIFY(store.transaction());
        for (int i = 1; i <= orders; ++i)
            QVERIFY(store.execute(QStringLiteral("insert into 存单 (编号, 时间, 姓名) values (?, '2026-12-09 10:00:00', ?)"),
                                  {i, QStringLiteral("顾客%1").arg(i)}));
        QVERIFY(store.commit());
    }
    int upgradedBeforeKill = 0;
    int copiesCutShort = 0;
    for (int round = 0; round < kills; ++round) {
        const ProgramPaths paths{work.filePath(QStringLiteral("home%1").arg(round))};
        QVERIFY(QDir().mkpath(paths.dataDir()));
        QVERIFY(QFile::copy(old, paths.databasePath()));
        QProcess child;
        QVERIFY2(startChild(child, {QStringLiteral("--open"), paths.home}), qPrintable(child.errorString()));
        QThread::msleep(random.bounded(80));
        killChild(child);
        if (child.readAllStandardOutput().contains("ready"))
            ++upgradedBeforeKill;
        copiesCutShort += !unfinishedCopies(paths).isEmpty();

        checkNextStart(paths);
        DataStore store(QStringLiteral("kill-upgraded"));
        QVERIFY(store.open(paths.databasePath()));
        QCOMPARE(store.scalar(QStringLiteral("pragma integrity_check")).toString(), QStringLiteral("ok"));
        QCOMPARE(store.scalar(QStringLiteral("select count(*) from 存单")).toInt(), orders);
        QCOMPARE(store.scalar(QStringLiteral("select count(*) from pragma_table_info('存单') where name='备注'")).toInt(), 1);
        QVERIFY(QDir(paths.home).removeRecursively());
    }
    qInfo("%d kills while opening an older database: %d after it was open, %d left an unfinished copy",
          kills, upgradedBeforeKill, copiesCutShort);
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The long run takes minutes; Qt Test's watchdog would end it after five.
    if (!qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT", "86400000");
    if (argc == 5 && qstrcmp(argv[1], "--child") == 0)
        return runChild(QString::fromLocal8Bit(argv[2]), quint32(QByteArray(argv[3]).toULong()), QByteArray(argv[4]).toInt(), true);
    if (argc == 3 && qstrcmp(argv[1], "--open") == 0)
        return runChild(QString::fromLocal8Bit(argv[2]), 0, 0, false);
    TestKill test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_killtest.moc"
