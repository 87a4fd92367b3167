#include "core/backup.h"
#include "core/databasesetting.h"
#include "core/datastore.h"
#include "core/gbk.h"
#include "core/numbers.h"
#include "core/recordtable.h"
#include "core/schema.h"
#include "core/sqlitelibrary.h"
#include "testhome.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace vorlan;

namespace {

QStringList columnsOf(DataStore &store, const QString &table)
{
    QStringList columns;
    store.query(sqldialect::columnsQuery(store.engine()), {table});
    while (!store.atEnd()) {
        columns.append(store.readText(0) + QLatin1Char(' ') + store.readText(1).toUpper());
        store.next();
    }
    store.closeQuery();
    return columns;
}

QStringList column(DataStore &store, const QString &sql)
{
    QStringList values;
    store.query(sql);
    while (!store.atEnd()) {
        values.append(store.readText(0));
        store.next();
    }
    store.closeQuery();
    return values;
}

QByteArray hashOf(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

} // namespace

class TestDataStore : public QObject
{
    Q_OBJECT
private slots:
    // The driver's handle goes to the linked SQLite only when both are the same library;
    // otherwise the backup copies through a connection of its own.
    void driverHandleOnlyForTheSameSqlite()
    {
        SKIP_ON_SERVER();
        TestHome home;
        QVERIFY(home.store->execute(QStringLiteral("insert into 存单 (编号, 时间) values (1, '2017-10-21 09:00:00')")));
        QVERIFY(sameSqliteAsDriver(home.store->database())); // Debian's Qt uses the system SQLite
        QVERIFY(linkedSqliteHandle(home.store->database()));
        pretendDriverSqliteDiffers(true);
        const bool refused = !linkedSqliteHandle(home.store->database());
        QString error;
        const QString copy = backupDatabase(*home.store, home.dir.filePath(QStringLiteral("copies")),
                                            QDateTime(QDate(2026, 12, 9), QTime(9, 30)), QStringLiteral("test"), &error);
        pretendDriverSqliteDiffers(false);
        QVERIFY(refused);
        QVERIFY2(!copy.isEmpty(), qPrintable(error));
        QVERIFY2(isUsableBackup(copy, &error), qPrintable(error));
    }

    void firstStartCreatesUpgradedTemplate()
    {
        TestHome home;
        QVERIFY2(home.opened.ok, qPrintable(home.opened.error));
        DataStore &s = *home.store;
        // The server has the same tables and columns, in its own words for the types.
        const auto columnsOf = [&s](const QString &table) {
            QStringList columns = ::columnsOf(s, table);
            if (s.engine() != SqlEngine::Sqlite)
                for (QString &c : columns)
                    c = c.section(QLatin1Char(' '), 0, 0).toUpper();
            return columns;
        };
        const auto expected = [&s](QStringList sqliteColumns) {
            if (s.engine() != SqlEngine::Sqlite)
                for (QString &c : sqliteColumns)
                    c = c.section(QLatin1Char(' '), 0, 0).toUpper();
            return sqliteColumns;
        };
        QCOMPARE(columnsOf("存单"),
                 expected({"ID INTEGER", "编号 INTEGER", "票头 VARCHAR(32)", "店铺名称 VARCHAR(32)", "时间 DATETIME",
                              "减免 VARCHAR(32)", "减免份数 SMALLINT", "减免金额 DECIMAL(18,0)", "合计 FLOAT",
                              "支付方式 VARCHAR(255)", "已付 DOUBLE", "实付 DOUBLE", "桌号 VARCHAR(32)",
                              "电话 VARCHAR(16)", "姓名 VARCHAR(16)", "地址 VARCHAR(255)", "是否结算 BOOLEAN",
                              "备注 VARCHAR(255)"}));
        QCOMPARE(columnsOf("存单详单"),
                 expected({"ID INTEGER", "存单ID INTEGER", "销售时间 DATETIME", "菜名 VARCHAR(32)", "数量 DOUBLE",
                              "单位 VARCHAR(8)", "小计 FLOAT"}));
        QCOMPARE(columnsOf("客户"),
                 expected({"ID INTEGER", "电话 VARCHAR(16)", "姓名 VARCHAR(16)", "地址 VARCHAR(255)",
                              "最近订餐日期 DATETIME", "订餐次数 SMALLINT"}));
        QCOMPARE(columnsOf("菜单"), expected({"ID INTEGER", "代码 VARCHAR(8)", "字母 VARCHAR(16)",
                                                    "菜名 VARCHAR(32)", "价格 DOUBLE", "单位 VARCHAR(8)"}));
        QCOMPARE(columnsOf("桌号"), expected({"ID INTEGER", "代号 VARCHAR(8)", "桌号名称 VARCHAR(24)"}));
        QCOMPARE(columnsOf("记录"), expected({"记录内容 VARCHAR(16)", "记录信息 VARCHAR(255)"}));

        QStringList indexes = column(
            s, s.engine() == SqlEngine::Sqlite
                   ? "select name from sqlite_master where type='index' and sql is not null order by name"
                   : "select indexname from pg_indexes where schemaname=current_schema() and indexname not like '%_pkey' "
                     "order by indexname");
        if (s.engine() != SqlEngine::Sqlite) // the server folds the names' Latin letters
            for (QString &name : indexes)
                name = name.toUpper();
        QCOMPARE(indexes, QStringList({"存单_时间", "存单_时间_实付", "存单_电话", "存单_电话_时间", "存单详单_存单ID",
                                          "存单详单_菜名_销售时间", "存单详单_销售时间", "存单详单_销售时间_小计", "客户_姓名",
                                          "客户_电话"}));

        RecordTable records(s);
        QCOMPARE(records.read("数据库版本"), QStringLiteral("3.51"));
        QCOMPARE(records.read("小数位数"), QStringLiteral("1"));
        QCOMPARE(home.opened.decimalPlaces, 1);
        if (s.engine() != SqlEngine::Sqlite)
            return;
        QVERIFY(QFile::exists(home.paths.databasePath()));
        QCOMPARE(s.scalar("pragma journal_mode").toString(), QStringLiteral("wal"));
        QCOMPARE(s.scalar("pragma synchronous").toInt(), 2);
    }

    void templateContents()
    {
        TestHome home;
        DataStore &s = *home.store;
        QStringList dishes;
        for (s.query("select 代码, 字母, 菜名, 价格, 单位 from 菜单 order by ID"); !s.atEnd(); s.next())
            dishes.append(QStringList{s.readText(0), s.readText(1), s.readText(2), QString::number(s.readDouble(3), 'f', 1),
                                      s.readText(4)}
                              .join(QLatin1Char(' ')));
        QCOMPARE(dishes.size(), 28);
        QCOMPARE(dishes.first(), QStringLiteral("001 hspgf 红烧排骨饭 18.0 份"));
        QCOMPARE(dishes.at(4), QStringLiteral("005 bcrsj 白菜肉水饺 15.5 份"));
        QCOMPARE(dishes.at(24), QStringLiteral("202 frwxylsyh 芙蓉王香烟蓝色硬盒 35.0 包"));
        QCOMPARE(dishes.at(26), QStringLiteral("105 wlj 王老吉 3.5 瓶"));
        QCOMPARE(dishes.last(), QStringLiteral("108 kxc 空心菜 18.0 份"));
        QCOMPARE(column(s, "select 单位名称 from 单位 order by ID"),
                 QStringList({"份", "碗", "碟", "瓶", "罐", "包", "箱", "串", "个", "盒"}));
        QCOMPARE(column(s, "select 店铺名称 from 店名 order by ID"),
                 QStringList({"山东手工水饺", "老北方饺子馆", "农家大碗茶", "白云快餐", "微信外卖"}));
        QCOMPARE(column(s, "select 票头 from 票头设置 order by ID"),
                 QStringList({"饿了么(第1联)", "美团(第1联)", "百度外卖(第1联)", "淘点点", "自助快餐", "微信点餐", "欢迎光临"}));
        QCOMPARE(column(s, "select 减免名称 from 减免 order by ID"), QStringList({"立减优惠", "整单折扣", "开业酬宾", "开学优惠"}));
        const QStringList tables = column(s, "select 代号||'='||桌号名称 from 桌号 order by ID");
        QCOMPARE(tables.size(), 18);
        QCOMPARE(tables.at(0), QStringLiteral("1=号牌 1"));
        QCOMPARE(tables.at(9), QStringLiteral("10=号牌 10"));
        QCOMPARE(tables.at(11), QStringLiteral("102=桌号 2楼2桌"));
        QCOMPARE(tables.at(17), QStringLiteral("204=包厢 蓬莱阁"));
        for (const char *empty : {"存单", "存单详单", "客户"})
            QCOMPARE(s.scalar(QStringLiteral("select count(*) from %1").arg(QString::fromUtf8(empty))).toInt(), 0);
    }

    void defaultRecordsOnFirstStart()
    {
        TestHome home;
        RecordTable r(*home.store);
        QCOMPARE(r.read("小票类型"), QStringLiteral("0"));
        QCOMPARE(r.read("设置类型"), QStringLiteral("1"));
        QCOMPARE(r.read("字体大小"), QStringLiteral("9|9|9|9|9|9|12|9|9|12|12"));
        QCOMPARE(r.read("勾选加粗"), QStringLiteral("0|0|0|0|0|0|1|0|0|1|1"));
        QCOMPARE(r.read("票头"), QStringLiteral("微信点餐"));
        QCOMPARE(r.read("店铺名称"), QStringLiteral("白云快餐"));
        QCOMPARE(r.read("附带信息1勾选"), QStringLiteral("1"));
        QCOMPARE(r.read("附带信息1"), QStringLiteral("订餐电话:1590000****"));
        QCOMPARE(r.read("附带信息2勾选"), QStringLiteral("0"));
        QCOMPARE(r.read("附带信息2", "none"), QStringLiteral("none"));
        QVERIFY(r.exists("附带信息2"));
        QCOMPARE(r.read("顶部图片勾选"), QStringLiteral("1"));
        QCOMPARE(r.read("底部图片勾选"), QStringLiteral("1"));
        QCOMPARE(r.read("打印份数"), QStringLiteral("1"));
    }

    void olderSettingsAreCarriedOver()
    {
        TestHome home(false);
        QFile ini(home.paths.configPath());
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(gbk::encode(QStringLiteral("TX = {Y}\r\nDHH = {电话:123}\r\nQQ = {}\r\n")));
        ini.close();
        QVERIFY(home.reopen());
        RecordTable r(*home.store);
        QCOMPARE(r.read("附带信息2勾选"), QStringLiteral("1"));
        QCOMPARE(r.read("附带信息1"), QStringLiteral("电话:123"));
        QCOMPARE(r.read("附带信息2"), QString());
    }

    void secondStartRunsNoUpgrade()
    {
        SKIP_ON_SERVER();
        TestHome home;
        DataStore &s = *home.store;
        // a row stored between the two starts survives, and no table is rebuilt again
        QVERIFY(s.execute("insert into 存单 (编号, 实付) values (?, ?)", {7, 12.25}));
        const QString before = s.scalar("select group_concat(sql, ';') from sqlite_master").toString();
        QVERIFY(s.execute("create table 标记 (x)"));
        QVERIFY(s.execute("insert into 标记 values (1)"));
        QVERIFY(home.reopen());
        DataStore &t = *home.store;
        QCOMPARE(t.scalar("select group_concat(sql, ';') from sqlite_master where name<>'标记'").toString(), before);
        QCOMPARE(t.scalar("select 实付 from 存单 where 编号=7").toDouble(), 12.25);
        QCOMPARE(t.scalar("select count(*) from 记录 where 记录内容='数据库版本'").toInt(), 1);
        QCOMPARE(t.scalar("select count(*) from 记录 where 记录内容='字体大小'").toInt(), 1);
    }

    void olderDatabaseIsUpgradedOnce()
    {
        SKIP_ON_SERVER();
        TestHome home(false);
        {
            DataStore old(QStringLiteral("old"));
            QVERIFY(QDir().mkpath(home.paths.dataDir()));
            QVERIFY(old.open(home.paths.databasePath()));
            QVERIFY(createTemplateDatabase(old));
            QVERIFY(old.execute("insert into 存单 (编号, 时间, 实付, 已付) values (3, '2016-05-01 10:00:00', 12, 12)"));
            QVERIFY(old.execute("insert into 存单详单 (存单ID, 数量) values (1, 2)"));
            QVERIFY(old.execute("insert into 记录 values ('小数位数', '2')"));
        }
        QVERIFY(home.reopen());
        DataStore &s = *home.store;
        QVERIFY(columnsOf(s, "存单").contains("实付 DOUBLE"));
        QVERIFY(columnsOf(s, "存单").contains("备注 VARCHAR(255)"));
        QVERIFY(columnsOf(s, "存单详单").contains("数量 DOUBLE"));
        QCOMPARE(s.scalar("select 实付 from 存单 where 编号=3").toDouble(), 12.0);
        QCOMPARE(s.scalar("select 时间 from 存单 where 编号=3").toString(), QStringLiteral("2016-05-01 10:00:00"));
        QCOMPARE(s.scalar("select count(*) from 存单详单").toInt(), 1);
        QCOMPARE(home.opened.decimalPlaces, 2);
        QCOMPARE(RecordTable(s).read("小数位数"), QStringLiteral("2"));
        // the autonumber goes on after the rebuilt rows
        QVERIFY(s.execute("insert into 存单 (编号) values (4)"));
        QCOMPARE(s.scalar("select ID from 存单 where 编号=4").toInt(), 2);
    }

    void zeroDecimalPlacesBecomesOne()
    {
        TestHome home;
        RecordTable r(*home.store);
        r.write("小数位数", "0");
        r.write("数据库版本", "3.50");
        QVERIFY(home.reopen());
        QCOMPARE(home.opened.decimalPlaces, 1);
        QCOMPARE(RecordTable(*home.store).read("小数位数"), QStringLiteral("1"));
    }

    void recordTableReadsAndWrites()
    {
        TestHome home;
        RecordTable r(*home.store);
        QVERIFY(r.insert("空值", ""));
        QCOMPARE(r.read("空值", "默认"), QStringLiteral("默认"));
        QCOMPARE(r.read("没有", "默认"), QStringLiteral("默认"));
        QVERIFY(!r.exists("没有"));
        r.write("店铺名称", "老王's 店");
        QCOMPARE(r.read("店铺名称"), QStringLiteral("老王's 店"));
        QCOMPARE(home.store->scalar("select count(*) from 记录 where 记录内容='店铺名称'").toInt(), 1);
        r.write("x' or '1'='1", "v");
        QCOMPARE(r.read("x' or '1'='1"), QStringLiteral("v"));
        QCOMPARE(r.read("店铺名称"), QStringLiteral("老王's 店"));
    }

    void cursorReads()
    {
        TestHome home;
        DataStore &s = *home.store;
        QVERIFY(s.execute("insert into 存单 (编号, 时间, 合计, 姓名) values (?,?,?,?)",
                          {1, "2017-08-05 09:07:00", toSingle(15.3), QVariant()}));
        QVERIFY(s.query("select 编号, 时间, 合计, 姓名 from 存单"));
        QVERIFY(!s.atEnd());
        QCOMPARE(s.readInt("编号"), 1);
        QCOMPARE(s.readDateTime(1), QDateTime(QDate(2017, 8, 5), QTime(9, 7)));
        QCOMPARE(s.readSingle("合计"), 15.3f);
        QCOMPARE(s.readText("姓名"), QString());
        s.next();
        QVERIFY(s.atEnd());
        QCOMPARE(s.readText(0), QString());
        QVERIFY(!s.query("select nothing from nowhere"));
        QVERIFY(s.atEnd());
        QVERIFY(s.query("select 菜名 from 菜单 order by ID"));
        QVERIFY(s.find("菜名", QStringLiteral("王老吉")));
        QCOMPARE(s.readText(0), QStringLiteral("王老吉"));
        QVERIFY(!s.find("菜名", QStringLiteral("不存在")));
    }

    // Either engine keeps what the program stores: amounts with their decimals, texts of
    // any length, the 0/1 flag, the time as written.
    void valuesKeepTheirMeaning()
    {
        TestHome home;
        DataStore &s = *home.store;
        const QString longName = QString(40, QChar(u'名'));
        const auto id = s.insertReturningId("insert into 存单 (编号, 时间, 减免金额, 姓名, 是否结算) values (?,?,?,?,?)",
                                            {3, "2026-12-09 11:30:00", 2.5, longName, 1});
        QVERIFY2(id, qPrintable(s.lastError()));
        QVERIFY(s.query("select 减免金额, 姓名, 是否结算, 时间 from 存单 where ID=?", {*id}));
        QCOMPARE(s.readDouble(0), 2.5);
        QCOMPARE(s.readText(1), longName);
        QCOMPARE(s.readInt(2), 1);
        QCOMPARE(s.readDateTime(3), QDateTime(QDate(2026, 12, 9), QTime(11, 30)));
        s.closeQuery();
        QCOMPARE(s.insertReturningId("insert into 存单 (编号) values (?)", {4}), std::optional<qint64>(*id + 1));
    }

    void databaseSettings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("parsed"); // host:port user database options; empty: refused
        QTest::newRow("file") << "SQLite" << ":5432   ";
        QTest::newRow("server") << "postgresql://vorlan@127.0.0.1:5433/shop" << "127.0.0.1:5433 vorlan shop ";
        QTest::newRow("libpq options") << " postgres://db.local/店?sslmode=require&connect_timeout=5 "
                                       << "db.local:5432  店 sslmode=require;connect_timeout=5";
        QTest::newRow("password in the URL") << "postgresql://u:secret@h/shop" << "";
        QTest::newRow("password as option") << "postgresql://u@h/shop?password=x" << "";
        QTest::newRow("no database") << "postgresql://u@h:5432/" << "";
        QTest::newRow("other engine") << "mysql://u@h/shop" << "";
        QTest::newRow("empty") << "" << "";
    }

    void databaseSettings()
    {
        QFETCH(QString, text);
        QFETCH(QString, parsed);
        const auto setting = parseDatabaseSetting(text);
        const auto *accepted = std::get_if<DatabaseSetting>(&setting);
        QCOMPARE(accepted != nullptr, !parsed.isEmpty());
        if (!accepted)
            return;
        QCOMPARE(QStringLiteral("%1:%2 %3 %4 %5").arg(accepted->host).arg(accepted->port).arg(accepted->user,
                                                                                             accepted->databaseName,
                                                                                             accepted->options),
                 parsed);
        // kept in the program folder; the file's setting leaves no file behind
        QTemporaryDir dir;
        const QString path = ProgramPaths{dir.path() + QStringLiteral("/new")}.databaseSettingPath();
        QString error;
        QVERIFY2(writeDatabaseSetting(path, *accepted, &error), qPrintable(error));
        QCOMPARE(QFile::exists(path), accepted->engine != SqlEngine::Sqlite);
        const auto reread = readDatabaseSetting(path);
        QCOMPARE(std::get<DatabaseSetting>(reread).url, accepted->url);
    }

    void transactionsAreAllOrNothing()
    {
        TestHome home;
        DataStore &s = *home.store;
        const bool ok = inTransaction(s, [&] {
            return s.execute("insert into 客户 (电话) values ('1')") && s.execute("insert into 无此表 values (1)");
        });
        QVERIFY(!ok);
        QCOMPARE(s.scalar("select count(*) from 客户").toInt(), 0);
    }

    void notADatabaseIsRefusedAndKept()
    {
        SKIP_ON_SERVER();
        TestHome home(false);
        QVERIFY(QDir().mkpath(home.paths.dataDir()));
        QFile f(home.paths.databasePath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
        f.close();
        const QByteArray before = hashOf(home.paths.databasePath());
        QVERIFY(!home.reopen());
        QVERIFY(!home.opened.error.isEmpty());
        QCOMPARE(hashOf(home.paths.databasePath()), before);
    }

    void foreignDatabaseIsRefused()
    {
        SKIP_ON_SERVER();
        TestHome home(false);
        {
            QVERIFY(QDir().mkpath(home.paths.dataDir()));
            DataStore other(QStringLiteral("other"));
            QVERIFY(other.open(home.paths.databasePath()));
            QVERIFY(other.execute("create table t (x)"));
        }
        QVERIFY(!home.reopen());
        QCOMPARE(home.opened.error, QStringLiteral("这不是本程序的数据库"));
    }

    void dataFolderThatCannotBeMadeIsReported()
    {
        SKIP_ON_SERVER();
        // A file where the data folder must go: refused for root as for anyone, unlike a
        // read-only folder, into which root writes anyway.
        TestHome home(false);
        QFile blocker(home.paths.dataDir());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.write("not a folder");
        blocker.close();
        QVERIFY(!home.reopen());
        QVERIFY(home.opened.error.contains(QDir::toNativeSeparators(home.paths.dataDir())));
        QVERIFY(QFileInfo(home.paths.dataDir()).isFile());
    }

    void upgradeRunTwiceChangesNothingMore()
    {
        SKIP_ON_SERVER();
        TestHome home(false);
        QVERIFY(QDir().mkpath(home.paths.dataDir()));
        DataStore old(QStringLiteral("twice"));
        QVERIFY(old.open(home.paths.databasePath()));
        QVERIFY(createTemplateDatabase(old));
        QVERIFY(old.execute("insert into 存单 (编号, 时间, 实付) values (3, '2016-05-01 10:00:00', 12.5)"));
        QVERIFY(upgradeSchema(old));
        QVERIFY(columnsOf(old, "存单").contains("实付 DOUBLE"));
        QVERIFY(columnsOf(old, "存单详单").contains("数量 DOUBLE"));
        // a trigger dies with its table, so it tells whether the table was rebuilt again
        QVERIFY(old.execute("create trigger 标记 after insert on 存单 begin select 1; end"));
        const QString schema = old.scalar("select group_concat(sql, ';') from sqlite_master").toString();
        QVERIFY(upgradeSchema(old));
        QCOMPARE(old.scalar("select group_concat(sql, ';') from sqlite_master").toString(), schema);
        QCOMPARE(old.scalar("select 实付 from 存单").toDouble(), 12.5);
    }

    void newerProgramLeavesAWidenedFileAlone()
    {
        SKIP_ON_SERVER();
        TestHome home;
        DataStore &s = *home.store;
        QVERIFY(s.execute("insert into 存单 (编号, 实付) values (1, 9.5)"));
        QVERIFY(s.execute("create trigger 标记 after insert on 存单 begin select 1; end"));
        // the file was last opened by another version: only the version record follows
        QVERIFY(RecordTable(s).write("数据库版本", "3.40"));
        QVERIFY(home.reopen());
        DataStore &t = *home.store;
        QCOMPARE(t.scalar("select count(*) from sqlite_master where type='trigger' and name='标记'").toInt(), 1);
        QCOMPARE(t.scalar("select 实付 from 存单").toDouble(), 9.5);
        QCOMPARE(RecordTable(t).read("数据库版本"), QStringLiteral(VORLAN_VERSION));
        QCOMPARE(t.scalar("select count(*) from 记录 where 记录内容='数据库版本'").toInt(), 1);
    }

    void missingRecordsAreAddedEachOnItsOwn()
    {
        TestHome home;
        DataStore &s = *home.store;
        // the first key of a group is there, others of it are not
        QVERIFY(s.execute("delete from 记录 where 记录内容 in ('打印份数', '票头', '附带信息2')"));
        QVERIFY(home.reopen());
        RecordTable r(*home.store);
        QCOMPARE(r.read("打印份数"), QStringLiteral("1"));
        QCOMPARE(r.read("票头"), QStringLiteral("微信点餐"));
        QVERIFY(r.exists("附带信息2"));
    }

    void defaultRecordsAreOneTransaction()
    {
        SKIP_ON_SERVER();
        TestHome home;
        DataStore &s = *home.store;
        QVERIFY(s.execute("delete from 记录 where 记录内容 in ('小票类型', '打印份数')"));
        QVERIFY(s.execute("create trigger 满 before insert on 记录 when new.记录内容='打印份数' "
                          "begin select raise(abort, 'disk full'); end"));
        const int before = s.scalar("select count(*) from 记录").toInt();
        QVERIFY(!home.reopen());
        QVERIFY(home.opened.error.contains(QStringLiteral("disk full")));
        DataStore check(QStringLiteral("check"));
        QVERIFY(check.open(home.paths.databasePath()));
        QCOMPARE(check.scalar("select count(*) from 记录").toInt(), before);
        QVERIFY(!RecordTable(check).exists("小票类型"));
    }
};

QTEST_GUILESS_MAIN(TestDataStore)
#include "tst_datastore.moc"
