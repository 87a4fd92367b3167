#include "schema.h"

#include "backup.h"
#include "databasesetting.h"
#include "datastore.h"
#include "defaultrecords.h"
#include "ordersummarytable.h"
#include "recordkeys.h"
#include "recordtable.h"
#include "sqlitelibrary.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <optional>

namespace vorlan {

namespace {

const QString kOrdersColumnsHead = QStringLiteral(
    "ID INTEGER PRIMARY KEY AUTOINCREMENT, 编号 INTEGER, 票头 VARCHAR(32), 店铺名称 VARCHAR(32), "
    "时间 DATETIME, 减免 VARCHAR(32), 减免份数 SMALLINT, 减免金额 DECIMAL(18,0), 合计 FLOAT, "
    "支付方式 VARCHAR(255), ");
const QString kOrdersColumnsTail = QStringLiteral(
    "桌号 VARCHAR(32), 电话 VARCHAR(16), 姓名 VARCHAR(16), 地址 VARCHAR(255), 是否结算 BOOLEAN");

QString ordersTable(const QString &name, bool current)
{
    return QStringLiteral("create table %1 (").arg(name) + kOrdersColumnsHead
        + (current ? QStringLiteral("已付 DOUBLE, 实付 DOUBLE, ")
                   : QStringLiteral("已付 DECIMAL(18,0), 实付 DECIMAL(18,0), "))
        + kOrdersColumnsTail + (current ? QStringLiteral(", 备注 VARCHAR(255))") : QStringLiteral(")"));
}

QString orderLinesTable(const QString &name, bool current)
{
    return QStringLiteral("create table %1 (ID INTEGER PRIMARY KEY AUTOINCREMENT, 存单ID INTEGER, "
                          "销售时间 DATETIME, 菜名 VARCHAR(32), 数量 %2, 单位 VARCHAR(8), 小计 FLOAT)")
        .arg(name, current ? QStringLiteral("DOUBLE") : QStringLiteral("SMALLINT"));
}

const QStringList kIndexes = {
    QStringLiteral("create index if not exists 存单_时间 on 存单(时间)"),
    QStringLiteral("create index if not exists 存单_电话 on 存单(电话)"),
    QStringLiteral("create index if not exists 存单详单_存单ID on 存单详单(存单ID)"),
    QStringLiteral("create index if not exists 存单详单_销售时间 on 存单详单(销售时间)"),
    QStringLiteral("create index if not exists 客户_电话 on 客户(电话)"),
    // The customer window's search by name finds its customers without reading them all.
    QStringLiteral("create index if not exists 客户_姓名 on 客户(姓名)"),
    // The reports sum amounts over time ranges; these carry the amount beside the time so
    // a year of lines is summed from the index alone, and a single dish is found directly.
    QStringLiteral("create index if not exists 存单_时间_实付 on 存单(时间, 实付)"),
    QStringLiteral("create index if not exists 存单详单_销售时间_小计 on 存单详单(销售时间, 小计)"),
    QStringLiteral("create index if not exists 存单详单_菜名_销售时间 on 存单详单(菜名, 销售时间, 小计)"),
    // A customer's last orders, newest first, read without sorting all his orders.
    QStringLiteral("create index if not exists 存单_电话_时间 on 存单(电话, 时间)"),
    // The orders sent from the ordering page wait here (the same statement as ensureWebOrderTable).
    QStringLiteral("create table if not exists 网络订单 (ID INTEGER PRIMARY KEY AUTOINCREMENT, 时间 DATETIME, 桌号 VARCHAR(32), 电话 VARCHAR(16), 备注 VARCHAR(255), 明细 TEXT, 合计 DOUBLE, 状态 VARCHAR(16), 原因 VARCHAR(255))"),
};

struct Dish {
    const char *code, *letters, *name;
    double price;
    const char *unit;
};

const Dish kDishes[] = {
    {"001", "hspgf", "红烧排骨饭", 18, "份"},     {"002", "qzdj", "茄子豆角", 14, "份"},
    {"003", "xhscd", "西红柿炒蛋", 13, "份"},     {"004", "jzgrp", "金针菇肉片", 16, "份"},
    {"005", "bcrsj", "白菜肉水饺", 15.5, "份"},   {"006", "xgzrsj", "香菇猪肉水饺", 16, "碗"},
    {"007", "dczrsj", "大葱猪肉水饺", 16, "份"},  {"008", "yxxg", "攸县香干", 14, "份"},
    {"009", "mdrp", "毛豆肉片", 15, "份"},        {"010", "wslr", "莴笋腊肉", 16, "份"},
    {"011", "qcxg", "芹菜香干", 15, "份"},        {"012", "zzmy", "支竹焖鸭", 18, "份"},
    {"013", "htsd", "火腿双蛋", 14, "份"},        {"014", "hsyk", "红烧鱼块", 16, "份"},
    {"015", "scy", "酸菜鱼", 16, "份"},           {"016", "hcrp", "花菜肉片", 15, "碗"},
    {"017", "gbsjd", "干煸四季度", 13, "份"},     {"018", "njywx", "农家一碗香", 15, "份"},
    {"019", "yxrs", "鱼香肉丝", 13, "份"},        {"101", "xhcs", "雪花纯生", 8, "瓶"},
    {"102", "qdcs", "青岛纯生", 8, "瓶"},         {"103", "xplj", "小瓶郎酒", 15, "瓶"},
    {"104", "wznn", "旺仔牛奶", 5, "瓶"},         {"201", "frwxyhs", "芙蓉王香烟黄色", 25, "包"},
    {"202", "frwxylsyh", "芙蓉王香烟蓝色硬盒", 35, "包"}, {"203", "jpfrw", "极品芙蓉王", 65, "包"},
    {"105", "wlj", "王老吉", 3.5, "瓶"},          {"108", "kxc", "空心菜", 18, "份"},
};

bool insertNames(DataStore &store, const QString &table, const QString &column, const QStringList &names)
{
    for (const QString &name : names)
        if (!store.execute(QStringLiteral("insert into %1 (%2) values (?)").arg(table, column), {name}))
            return false;
    return true;
}

// The declared type of a column, upper case; nullopt when the table lacks it.
std::optional<QString> columnType(DataStore &store, const QString &table, const QString &column)
{
    std::optional<QString> type;
    store.query(sqldialect::columnsQuery(store.engine()), {table});
    while (!store.atEnd()) {
        if (!type && store.readText(0).compare(column, Qt::CaseInsensitive) == 0)
            type = store.readText(1).trimmed().toUpper();
        store.next();
    }
    store.closeQuery();
    return type;
}

bool tableHasColumn(DataStore &store, const QString &table, const QString &column)
{
    return columnType(store, table, column).has_value();
}

// True when any of the columns is present with another type than DOUBLE.
bool needsWidening(DataStore &store, const QString &table, const QStringList &columns)
{
    for (const QString &column : columns) {
        const auto type = columnType(store, table, column);
        if (type && !sqldialect::isDoubleType(store.engine(), *type))
            return true;
    }
    return false;
}

// SQLite cannot change a column's type in place: build the table anew and copy the rows.
bool rebuildTable(DataStore &store, const QString &table, const QString &createStatement)
{
    const QString temporary = table + QStringLiteral("_新");
    return store.execute(QStringLiteral("drop table if exists %1").arg(temporary))
        && store.execute(createStatement.arg(temporary))
        && store.execute(QStringLiteral("insert into %1 select * from %2").arg(temporary, table))
        && store.execute(QStringLiteral("drop table %1").arg(table))
        && store.execute(QStringLiteral("alter table %1 rename to %2").arg(temporary, table));
}

// True when opening will change the layout of an existing database.
bool upgradeDue(DataStore &store)
{
    return !tableHasColumn(store, QStringLiteral("存单"), QStringLiteral("备注"))
        || needsWidening(store, QStringLiteral("存单详单"), {QStringLiteral("数量")})
        || needsWidening(store, QStringLiteral("存单"), {QStringLiteral("已付"), QStringLiteral("实付")});
}

} // namespace

bool createTemplateDatabase(DataStore &store)
{
    // The file starts in the first released layout, which the upgrade then brings up to
    // date; a server has no older layout and starts in the current one.
    const bool current = store.engine() != SqlEngine::Sqlite;
    return inTransaction(store, [&] {
        const QStringList tables = {
            ordersTable(QStringLiteral("存单"), current),
            orderLinesTable(QStringLiteral("存单详单"), current),
            QStringLiteral("create table 客户 (ID INTEGER PRIMARY KEY AUTOINCREMENT, 电话 VARCHAR(16), "
                           "姓名 VARCHAR(16), 地址 VARCHAR(255), 最近订餐日期 DATETIME, 订餐次数 SMALLINT)"),
            QStringLiteral("create table 菜单 (ID INTEGER PRIMARY KEY AUTOINCREMENT, 代码 VARCHAR(8), "
                           "字母 VARCHAR(16), 菜名 VARCHAR(32), 价格 DOUBLE, 单位 VARCHAR(8))"),
            QStringLiteral("create table 单位 (ID INTEGER PRIMARY KEY AUTOINCREMENT, 单位名称 VARCHAR(8))"),
            QStringLiteral("create table 店名 (ID INTEGER PRIMARY KEY AUTOINCREMENT, 店铺名称 VARCHAR(32))"),
            QStringLiteral("create table 票头设置 (ID INTEGER PRIMARY KEY AUTOINCREMENT, 票头 VARCHAR(32))"),
            QStringLiteral("create table 减免 (ID INTEGER PRIMARY KEY AUTOINCREMENT, 减免名称 VARCHAR(16))"),
            QStringLiteral("create table 桌号 (ID INTEGER PRIMARY KEY AUTOINCREMENT, 代号 VARCHAR(8), "
                           "桌号名称 VARCHAR(24))"),
            QStringLiteral("create table 记录 (记录内容 VARCHAR(16), 记录信息 VARCHAR(255))"),
        };
        for (const QString &sql : tables)
            if (!store.execute(sqldialect::tableDefinition(store.engine(), sql)))
                return false;

        for (const Dish &d : kDishes)
            if (!store.execute(QStringLiteral("insert into 菜单 (代码,字母,菜名,价格,单位) values (?,?,?,?,?)"),
                               {QString::fromUtf8(d.code), QString::fromUtf8(d.letters),
                                QString::fromUtf8(d.name), d.price, QString::fromUtf8(d.unit)}))
                return false;

        if (!insertNames(store, QStringLiteral("单位"), QStringLiteral("单位名称"),
                         {"份", "碗", "碟", "瓶", "罐", "包", "箱", "串", "个", "盒"})
            || !insertNames(store, QStringLiteral("店名"), QStringLiteral("店铺名称"),
                            {"山东手工水饺", "老北方饺子馆", "农家大碗茶", "白云快餐", "微信外卖"})
            || !insertNames(store, QStringLiteral("票头设置"), QStringLiteral("票头"),
                            {"饿了么(第1联)", "美团(第1联)", "百度外卖(第1联)", "淘点点", "自助快餐",
                             "微信点餐", "欢迎光临"})
            || !insertNames(store, QStringLiteral("减免"), QStringLiteral("减免名称"),
                            {"立减优惠", "整单折扣", "开业酬宾", "开学优惠"}))
            return false;

        QList<QPair<QString, QString>> tablesRows;
        for (int i = 1; i <= 10; ++i)
            tablesRows.append({QString::number(i), QStringLiteral("号牌 %1").arg(i)});
        tablesRows += {{"101", "桌号 2楼1桌"}, {"102", "桌号 2楼2桌"}, {"103", "桌号 2楼3桌"},
                       {"104", "桌号 2楼4桌"}, {"201", "包厢 滕王阁"}, {"202", "包厢 岳阳楼"},
                       {"203", "包厢 黄鹤楼"}, {"204", "包厢 蓬莱阁"}};
        for (const auto &[code, name] : tablesRows)
            if (!store.execute(QStringLiteral("insert into 桌号 (代号,桌号名称) values (?,?)"), {code, name}))
                return false;
        return true;
    });
}

bool upgradeSchema(DataStore &store)
{
    const QString orders = QStringLiteral("存单");
    const QString lines = QStringLiteral("存单详单");
    return inTransaction(store, [&] {
        if (!tableHasColumn(store, orders, QStringLiteral("备注"))
            && !store.execute(sqldialect::tableDefinition(store.engine(), QStringLiteral("alter table 存单 add 备注 VARCHAR(255)"))))
            return false;
        // Each rebuild copies every row; it runs only while a column still has its old type.
        if (needsWidening(store, lines, {QStringLiteral("数量")})
            && !rebuildTable(store, lines, sqldialect::tableDefinition(store.engine(), orderLinesTable(QStringLiteral("%1"), true))))
            return false;
        if (needsWidening(store, orders, {QStringLiteral("已付"), QStringLiteral("实付")})
            && !rebuildTable(store, orders, sqldialect::tableDefinition(store.engine(), ordersTable(QStringLiteral("%1"), true))))
            return false;
        for (const QString &sql : kIndexes)
            if (!store.execute(sqldialect::tableDefinition(store.engine(), sql)))
                return false;
        return removeIncompleteOrderSummary(store);
    });
}

OpenedStore openDataStore(DataStore &store, const QString &dataDir, const QString &databasePath,
                          const QString &configPath, const DatabaseSetting &database)
{
    OpenedStore result;
    if (!QDir().mkpath(dataDir)) {
        result.error = QStringLiteral("无法创建文件夹 %1").arg(QDir::toNativeSeparators(dataDir));
        return result;
    }
    // What a copy cut short by a kill or a power cut left is no copy.
    removeUnfinishedCopies(dataDir + QStringLiteral("/backup"));
    QString error;
    const bool onFile = database.engine == SqlEngine::Sqlite;
    if (!(onFile ? store.open(databasePath, &error) : store.openServer(database, &error))) {
        result.error = error;
        return result;
    }
    // Settled once, at the first open: whether Qt's SQLite is the one linked here, so that
    // its connection handle may be handed to it (export, backups).
    if (onFile)
        sameSqliteAsDriver(store.database());
    const int tableCount = store.scalar(sqldialect::tableCountQuery(store.engine())).toInt();
    if (tableCount == 0 && !createTemplateDatabase(store)) {
        result.error = store.lastError();
        store.close();
        return result;
    }
    if (!tableHasColumn(store, QStringLiteral("存单"), QStringLiteral("时间"))
        || !tableHasColumn(store, QStringLiteral("记录"), QStringLiteral("记录内容"))) {
        result.error = QStringLiteral("这不是本程序的数据库");
        store.close();
        return result;
    }
    // An upgrade rewrites the order tables: a copy of the old state comes first.
    if (tableCount > 0 && upgradeDue(store)) {
        QString backupError;
        if (backupDatabase(store, dataDir + QStringLiteral("/backup"), QDateTime::currentDateTime(),
                           QStringLiteral("upgrade"), &backupError)
                .isEmpty()) {
            result.error = QStringLiteral("升级数据库前无法备份（%1），数据库没有被改动。").arg(backupError);
            store.close();
            return result;
        }
    }
    if (!upgradeSchema(store)) {
        result.error = store.lastError();
        store.close();
        return result;
    }

    if (!createDefaultRecords(store, configPath)) {
        result.error = store.lastError();
        store.close();
        return result;
    }

    // The version record stays as older versions kept it: the version that last opened
    // the file. A first start of a new version also turns 0 decimal places into 1.
    RecordTable records(store);
    result.decimalPlaces = records.read(recordkey::DecimalPlaces).toInt();
    const QString version = QString::fromLatin1(kVersionText);
    if (records.read(recordkey::DatabaseVersion) != version) {
        const bool raise = result.decimalPlaces == 0;
        const bool written = inTransaction(store, [&] {
            return records.write(recordkey::DatabaseVersion, version)
                && (!raise || records.write(recordkey::DecimalPlaces, QStringLiteral("1")));
        });
        if (!written) {
            result.error = store.lastError();
            store.close();
            return result;
        }
        if (raise)
            result.decimalPlaces = 1;
    }
    result.ok = true;
    return result;
}

} // namespace vorlan
