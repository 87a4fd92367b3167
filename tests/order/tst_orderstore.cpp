#include "core/datastore.h"
#include "order/orderstore.h"
#include "order/usualorders.h"
#include "testhome.h"

#include <QTest>

using namespace vorlan;

namespace {

OrderFormTexts threeLines(const QString &phone = QStringLiteral("13900001111"))
{
    OrderFormTexts t;
    t.number = QStringLiteral(" 5 ");
    t.header = QStringLiteral("微信点餐");
    t.shopName = QStringLiteral("白云快餐");
    t.time = QStringLiteral("2026-12-09 11:30");
    t.discount = QStringLiteral("立减优惠");
    t.discountPortions = QString();
    t.discountAmount = QStringLiteral("5");
    t.total = QStringLiteral("38.5");
    t.paymentMethod = QStringLiteral("现金支付");
    t.paid = QStringLiteral("38.5");
    t.actuallyPaid = QStringLiteral("38.5");
    t.phone = phone;
    t.name = QStringLiteral("张三");
    t.address = QStringLiteral("幸福路1号");
    t.remark = QStringLiteral("少辣");
    t.lines = {{"红烧排骨饭", "1", "份", "18"}, {"白菜肉水饺", "1", "份", "15.5"}, {"王老吉", "3", "瓶", "10.5"},
               {"", "", "", ""}};
    return t;
}

SettledOrder collect(const OrderFormTexts &t, int year = 2026)
{
    auto result = collectSettledOrder(t, year);
    if (auto *message = std::get_if<QString>(&result))
        qFatal("unexpected refusal: %s", qPrintable(*message));
    return std::get<SettledOrder>(result);
}

int count(DataStore &s, const QString &sql, const QVariantList &values = {})
{
    return s.scalar(sql, values).toInt();
}

} // namespace

class TestOrderStore : public QObject
{
    Q_OBJECT
private slots:
    void collectsNumbersAndLines()
    {
        const SettledOrder o = collect(threeLines());
        QCOMPARE(o.number, 5);
        QCOMPARE(o.discountPortions, 0); // empty portions are stored as 0
        QCOMPARE(o.discountAmount, 5.0);
        QCOMPARE(o.lines.size(), 3);
        QCOMPARE(o.lines.at(2).quantity, 3.0);
        QCOMPARE(o.time, QDateTime(QDate(2026, 12, 9), QTime(11, 30)));
        QVERIFY(o.settled);

        OrderFormTexts zero = threeLines();
        zero.actuallyPaid = QStringLiteral("0");
        QVERIFY(!collect(zero).settled);
        zero.actuallyPaid = QString();
        QVERIFY(!collect(zero).settled);
        zero.actuallyPaid = QStringLiteral("０.５");
        QVERIFY(collect(zero).settled);
    }

    void refusesWhatCannotBeStored_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("portions");
        QTest::newRow("number not a number") << "A12" << "12-09 11:30" << "0";
        QTest::newRow("empty number") << "" << "12-09 11:30" << "0";
        QTest::newRow("time unreadable") << "3" << "明天中午" << "0";
        QTest::newRow("no such date") << "3" << "02-30 11:30" << "0";
        QTest::newRow("portions too big") << "3" << "12-09 11:30" << "40000";
    }
    void refusesWhatCannotBeStored()
    {
        QFETCH(QString, number);
        QFETCH(QString, time);
        QFETCH(QString, portions);
        OrderFormTexts t = threeLines();
        t.number = number;
        t.time = time;
        t.discountPortions = portions;
        QVERIFY(std::holds_alternative<QString>(collectSettledOrder(t, 2026)));
    }

    void timeWithoutYearTakesTheGivenYear()
    {
        OrderFormTexts t = threeLines();
        t.time = QStringLiteral("08-05 09:07");
        QCOMPARE(collect(t, 2017).time, QDateTime(QDate(2017, 8, 5), QTime(9, 7)));
    }

    void newOrderWithLinesAndCustomer()
    {
        TestHome home;
        DataStore &s = *home.store;
        const auto id = insertOrder(s, collect(threeLines()));
        QVERIFY(id);
        QCOMPARE(count(s, "select count(*) from 存单"), 1);
        QCOMPARE(count(s, "select count(*) from 存单详单 where 存单ID=?", {*id}), 3);
        QCOMPARE(s.scalar("select 时间 from 存单").toString(), QStringLiteral("2026-12-09 11:30:00"));
        QCOMPARE(s.scalar("select 销售时间 from 存单详单 limit 1").toString(), QStringLiteral("2026-12-09 11:30:00"));
        QCOMPARE(s.scalar("select 是否结算 from 存单").toInt(), 1);
        QCOMPARE(s.scalar("select 减免份数 from 存单").toInt(), 0);
        QCOMPARE(s.scalar("select 备注 from 存单").toString(), QStringLiteral("少辣"));
        QCOMPARE(s.scalar("select 订餐次数 from 客户 where 电话='13900001111'").toInt(), 1);
        QCOMPARE(s.scalar("select 姓名 from 客户").toString(), QStringLiteral("张三"));

        // a second order of the same customer counts up and keeps the stored name
        OrderFormTexts second = threeLines();
        second.name = QStringLiteral("张先生");
        second.time = QStringLiteral("2026-12-10 18:05");
        QVERIFY(insertOrder(s, collect(second)));
        QCOMPARE(count(s, "select count(*) from 客户"), 1);
        QCOMPARE(s.scalar("select 订餐次数 from 客户").toInt(), 2);
        QCOMPARE(s.scalar("select 姓名 from 客户").toString(), QStringLiteral("张三"));
        QCOMPARE(s.scalar("select 最近订餐日期 from 客户").toString(), QStringLiteral("2026-12-10 18:05:00"));
    }

    void emptyPhoneStoresNoCustomer()
    {
        TestHome home;
        QVERIFY(insertOrder(*home.store, collect(threeLines(QStringLiteral("  ")))));
        QCOMPARE(count(*home.store, "select count(*) from 客户"), 0);
        QCOMPARE(home.store->scalar("select 电话 from 存单").toString(), QString());
    }

    void linesBelongToTheInsertedOrderEvenWithTwins()
    {
        TestHome home;
        DataStore &s = *home.store;
        // same minute, same overtyped number: each order keeps its own lines
        const auto first = insertOrder(s, collect(threeLines()));
        OrderFormTexts twin = threeLines();
        twin.lines = {{"酸菜鱼", "1", "份", "16"}};
        const auto second = insertOrder(s, collect(twin));
        QVERIFY(first && second && *first != *second);
        QCOMPARE(count(s, "select count(*) from 存单详单 where 存单ID=?", {*first}), 3);
        QCOMPARE(count(s, "select count(*) from 存单详单 where 存单ID=?", {*second}), 1);
    }

    void interruptedSettleLeavesNothing()
    {
        TestHome home;
        DataStore &s = *home.store;
        // a line that cannot be stored (its table is broken) takes the whole order with it
        QVERIFY(breakInserts(s, "存单详单", "菜名", "王老吉"));
        QString error;
        QVERIFY(!insertOrder(s, collect(threeLines()), &error));
        QVERIFY(error.contains(QStringLiteral("disk full")));
        QCOMPARE(count(s, "select count(*) from 存单"), 0);
        QCOMPARE(count(s, "select count(*) from 存单详单"), 0);
        QCOMPARE(count(s, "select count(*) from 客户"), 0);
    }

    void quotesAreStoredAsTyped()
    {
        TestHome home;
        DataStore &s = *home.store;
        OrderFormTexts t = threeLines(QStringLiteral("139'1"));
        t.header = QStringLiteral("老王's");
        t.shopName = QStringLiteral("店'铺");
        t.discount = QStringLiteral("减'免");
        t.paymentMethod = QStringLiteral("现'金");
        t.table = QStringLiteral("桌'1");
        t.name = QStringLiteral("O'Brien");
        t.address = QStringLiteral("1' or '1'='1");
        t.remark = QStringLiteral("'); drop table 存单; --");
        t.lines = {{"老王's 饺子", "1", "份'", "10"}};
        const auto id = insertOrder(s, collect(t));
        QVERIFY(id);
        const auto stored = readStoredOrder(s, *id);
        QVERIFY(stored);
        QCOMPARE(stored->header, t.header);
        QCOMPARE(stored->shopName, t.shopName);
        QCOMPARE(stored->discount, t.discount);
        QCOMPARE(stored->paymentMethod, t.paymentMethod);
        QCOMPARE(stored->table, t.table);
        QCOMPARE(stored->phone, t.phone);
        QCOMPARE(stored->name, t.name);
        QCOMPARE(stored->address, t.address);
        QCOMPARE(stored->remark, t.remark);
        QCOMPARE(stored->lines.first(), (OrderLine{"老王's 饺子", "1", "份'", "10"}));
        QCOMPARE(s.scalar("select 姓名 from 客户 where 电话=?", {t.phone}).toString(), t.name);
    }

    void modificationReplacesLinesAndLeavesTheCustomer()
    {
        TestHome home;
        DataStore &s = *home.store;
        const auto id = insertOrder(s, collect(threeLines()));
        QVERIFY(id);
        OrderFormTexts changed = threeLines();
        changed.remark = QStringLiteral("不要葱");
        changed.total = QStringLiteral("16");
        changed.lines = {{"酸菜鱼", "1", "份", "16"}};
        QVERIFY(replaceOrder(s, *id, collect(changed)));
        QCOMPARE(count(s, "select count(*) from 存单"), 1);
        QCOMPARE(count(s, "select count(*) from 存单详单"), 1);
        QCOMPARE(s.scalar("select 菜名 from 存单详单 where 存单ID=?", {*id}).toString(), QStringLiteral("酸菜鱼"));
        QCOMPARE(s.scalar("select 备注 from 存单").toString(), QStringLiteral("不要葱"));
        QCOMPARE(s.scalar("select 合计 from 存单").toDouble(), 16.0);
        QCOMPARE(s.scalar("select 订餐次数 from 客户").toInt(), 1);

        // a failing line leaves the old order and its lines untouched
        QVERIFY(breakInserts(s, "存单详单", "菜名", "坏"));
        OrderFormTexts broken = threeLines();
        broken.lines = {{"坏", "1", "份", "1"}};
        QVERIFY(!replaceOrder(s, *id, collect(broken)));
        QCOMPARE(s.scalar("select 菜名 from 存单详单 where 存单ID=?", {*id}).toString(), QStringLiteral("酸菜鱼"));
        QCOMPARE(s.scalar("select 备注 from 存单").toString(), QStringLiteral("不要葱"));

        QString error;
        QVERIFY(!replaceOrder(s, *id + 100, collect(changed), &error));
        QVERIFY(!error.isEmpty());
    }

    void storedOrderReadsBack()
    {
        TestHome home;
        OrderFormTexts t = threeLines();
        t.discountPortions = QStringLiteral("2");
        t.lines = {{"白菜肉水饺", "1.5", "份", "23.25"}};
        const auto id = insertOrder(*home.store, collect(t));
        const auto o = readStoredOrder(*home.store, *id);
        QVERIFY(o);
        QCOMPARE(o->number, QStringLiteral("5"));
        QCOMPARE(o->time, QDateTime(QDate(2026, 12, 9), QTime(11, 30)));
        QCOMPARE(o->discountPortions, QStringLiteral("2"));
        QCOMPARE(o->total, QStringLiteral("38.5"));
        QCOMPARE(o->lines, QList<OrderLine>({{"白菜肉水饺", "1.5", "份", "23.25"}}));
        QVERIFY(!readStoredOrder(*home.store, 999));
    }

    void moneyIsStoredAsTyped()
    {
        // Through single precision 15.3 became 15.300000190734863, and sums over many
        // orders drifted.
        TestHome home;
        OrderFormTexts t = threeLines();
        t.total = QStringLiteral("15.3");
        t.lines = {{"白菜肉水饺", "1", "份", "15.3"}};
        const auto id = insertOrder(*home.store, collect(t));
        QVERIFY(id);
        QVERIFY(home.store->scalar("select 合计 from 存单").toDouble() == 15.3);
        QVERIFY(home.store->scalar("select 小计 from 存单详单").toDouble() == 15.3);
        QVERIFY(home.store->scalar("select sum(小计) from 存单详单").toDouble() == 15.3);
    }

    void storedNumbersReadBackExactly_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("paid, beyond single precision") << "已付" << QVariant(12345.67) << "12345.67";
        QTest::newRow("actually paid") << "实付" << QVariant(98765.43) << "98765.43";
        QTest::newRow("total") << "合计" << QVariant(1234.56) << "1234.56";
        QTest::newRow("older single-precision total") << "合计" << QVariant(double(15.3f)) << "15.3";
        QTest::newRow("discount amount") << "减免金额" << QVariant(2.5) << "2.5";
    }
    void storedNumbersReadBackExactly()
    {
        QFETCH(QString, column);
        QFETCH(QVariant, stored);
        QFETCH(QString, shown);
        TestHome home;
        QVERIFY(home.store->execute(QStringLiteral("insert into 存单 (编号, 时间, %1) values (1, '2026-12-09 11:30:00', ?)")
                                        .arg(column),
                                    {stored}));
        const int id = home.store->scalar("select ID from 存单").toInt();
        QVERIFY(home.store->execute("insert into 存单详单 (存单ID, 菜名, 数量, 小计) values (?, '饺子', ?, ?)",
                                    {id, 2.345, 12345.67}));
        const auto o = readStoredOrder(*home.store, id);
        QVERIFY(o);
        const QString text = column == u"已付"   ? o->paid
                           : column == u"实付"   ? o->actuallyPaid
                           : column == u"合计"   ? o->total
                                                 : o->discountAmount;
        QCOMPARE(text, shown);
        QCOMPARE(o->lines.first().quantity, QStringLiteral("2.345"));
        QCOMPARE(o->lines.first().amount, QStringLiteral("12345.67"));
    }
};

QTEST_GUILESS_MAIN(TestOrderStore)
#include "tst_orderstore.moc"
    // Seven orders of one customer (entered out of time order), one of a customer whose
    // phone holds a quote, one whose customer was deleted, one without a phone.
    void usualOrdersOfAPhone_data()
    {
        QTest::addColumn<QString>("phone");
        QTest::addColumn<QStringList>("times");
        QTest::newRow("newest five by time") << "13900001111"
                                             << QStringList{"12-09 19:00", "12-09 11:30", "12-08 12:00",
                                                            "12-07 12:00", "12-06 12:00"};
        QTest::newRow("blanks around") << " 13900001111 " << QStringList{"12-09 19:00", "12-09 11:30", "12-08 12:00",
                                                                          "12-07 12:00", "12-06 12:00"};
        QTest::newRow("one order, a quote") << "139'00 2" << QStringList{"12-01 09:05"};
        QTest::newRow("customer deleted") << "13900003333" << QStringList{};
        QTest::newRow("empty phone") << "" << QStringList{};
        QTest::newRow("part of a phone") << "1390000" << QStringList{};
    }
    void usualOrdersOfAPhone()
    {
        QFETCH(QString, phone);
        QFETCH(QStringList, times);
        TestHome home;
        DataStore &s = *home.store;
        const auto add = [&](const QString &phone, const QString &time) {
            OrderFormTexts t = threeLines(phone);
            t.time = time;
            QVERIFY(insertOrder(s, collect(t)));
        };
        for (const char *time : {"2026-12-09 11:30", "2026-12-05 12:00", "2026-12-06 12:00", "2026-12-09 19:00",
                                 "2026-12-04 12:00", "2026-12-07 12:00", "2026-12-08 12:00"})
            add("13900001111", time);
        add("139'00 2", "2026-12-01 09:05");
        add("13900003333", "2026-12-02 10:00");
        QVERIFY(s.execute("delete from 客户 where 电话=?", {"13900003333"}));
        add("", "2026-12-03 10:00");

        QStringList got;
        for (const UsualOrder &order : readUsualOrders(s, phone)) {
            got.append(order.time.mid(5, 11));
            QCOMPARE(order.lines.size(), 3);
            QCOMPARE(order.total, 38.5);
        }
        QCOMPARE(got, times);
    }

    void repeatedOrderTakesTodaysPricesAndMarksGoneDishes()
    {
        DishCatalog catalog;
        catalog.append("红烧排骨饭", "18", "001", "hspgf", "份");
        catalog.append("王老吉", "3.5", "105", "wlj", "罐");
        UsualOrder order{1, "2025-06-01 12:00:00", 61,
                         {{"红烧排骨饭", "2", "碗", "30"}, {"停售的鸭", "1.5", "只", "27"}, {"王老吉", "1", "瓶", "3"}}};
        const QList<RepeatedLine> lines = repeatUsualOrder(order, catalog, 0);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(0).line, (OrderLine{"红烧排骨饭", "2", "份", "36"}));
        QVERIFY(!lines.at(0).missing);
        QCOMPARE(lines.at(1).line, (OrderLine{"停售的鸭", "1.5", "只", "27"})); // stored, not rounded away
        QVERIFY(lines.at(1).missing);
        QCOMPARE(lines.at(2).line, (OrderLine{"王老吉", "1", "罐", "3.5"}));

        QCOMPARE(usualOrderDate(order, 2026), QStringLiteral("2025-06-01"));
        QCOMPARE(usualOrderDate(order, 2025), QStringLiteral("06-01"));
        QCOMPARE(usualOrderItems(order), QStringLiteral("红烧排骨饭×2 停售的鸭×1.5 王老吉"));
        QCOMPARE(usualOrderItems(order, 8), QStringLiteral("红烧排骨饭×2…"));
    }

