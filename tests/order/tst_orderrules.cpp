#include "core/numbers.h"
#include "order/amounts.h"
#include "order/dishcatalog.h"
#include "order/dishlistmodel.h"
#include "order/dishlookup.h"
#include "order/orderfields.h"
#include "order/orderline.h"
#include "testhome.h"

#include <QTest>

using namespace vorlan;

namespace {

DishCatalog smallCatalog()
{
    DishCatalog c;
    c.append("白菜肉水饺", "15.5", "005", "bcrsj", "份");
    c.append("七喜", "4", "7ab", "ab", "瓶");
    c.append("白菜肉水饺", "99", "900", "bcrsj2", "碗"); // same name again: the first one counts
    return c;
}

} // namespace

class TestOrderRules : public QObject
{
    Q_OBJECT
private slots:
    void templateCatalogIsReadInOrder()
    {
        TestHome home;
        const DishCatalog catalog = readDishCatalog(*home.store);
        QCOMPARE(catalog.size(), 28);
        for (const QStringList *list : {&catalog.prices, &catalog.codes, &catalog.letters, &catalog.units})
            QCOMPARE(list->size(), 28);
        QCOMPARE(catalog.names.at(4), QStringLiteral("白菜肉水饺"));
        QCOMPARE(catalog.prices.at(4), QStringLiteral("15.5"));
        QCOMPARE(catalog.prices.at(0), QStringLiteral("18"));
        QCOMPARE(catalog.prices.at(26), QStringLiteral("3.5"));
        QCOMPARE(catalog.units.at(5), QStringLiteral("碗"));
    }

    void zeroListsTheWholeTemplateCatalogInOrder()
    {
        TestHome home;
        const DishCatalog catalog = readDishCatalog(*home.store);
        QList<int> all;
        for (int i = 0; i < 28; ++i)
            all.append(i);
        QCOMPARE(matchDishes(catalog, "0"), all);
        // Blanks around the code, the full-width one included, do not count.
        QCOMPARE(matchDishes(catalog, QStringLiteral("\u3000 0\t")), all);
        QCOMPARE(matchDishes(catalog, "10"), (QList<int>{9, 19, 20, 21, 22, 26, 27}));
    }

    void lettersMatchCaseSensitively()
    {
        TestHome home;
        const DishCatalog catalog = readDishCatalog(*home.store);
        QCOMPARE(matchDishes(catalog, "hs"), (QList<int>{0, 2, 13, 23}));
        QVERIFY(matchDishes(catalog, "HS").isEmpty());
        QVERIFY(matchDishes(catalog, "").isEmpty());
        QVERIFY(matchDishes(catalog, QStringLiteral(" \u3000 ")).isEmpty());
    }

    void dishListedTwiceWhenBothCodesMatch()
    {
        const DishCatalog catalog = smallCatalog();
        QCOMPARE(matchDishes(catalog, "ab"), (QList<int>{1, 1}));
        QCOMPARE(matchDishes(catalog, "7"), (QList<int>{1}));
    }

    void dishListModelShowsTheListedDishes()
    {
        DishCatalog catalog = smallCatalog();
        DishListModel model(catalog);
        QCOMPARE(model.columnCount(), 6);
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("数字代号"));
        QCOMPARE(model.headerData(5, Qt::Horizontal).toString(), QStringLiteral("单位"));
        model.setMatches(matchDishes(catalog, "ab"));
        QCOMPARE(model.rowCount(), 2);
        QStringList row;
        for (int c = 0; c < 6; ++c)
            row.append(model.index(1, c).data().toString());
        QCOMPARE(row, (QStringList{"", "7ab", "ab", "七喜", "4", "瓶"}));
        // A catalog reloaded with fewer dishes must not be read past its end.
        catalog.clear();
        QCOMPARE(model.dishAt(0), -1);
        QVERIFY(!model.index(0, 3).data().isValid());
    }

    void recalcLine_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<bool>("amountEdited");
        QTest::addColumn<int>("places");
        QTest::addColumn<QString>("wantQuantity");
        QTest::addColumn<QString>("wantUnit");
        QTest::addColumn<QString>("wantAmount");

        QTest::newRow("2 x 15.5") << "白菜肉水饺" << "2" << "" << false << 1 << "2" << "份" << "31";
        QTest::newRow("1.25 rounds up") << "白菜肉水饺" << "1.25" << "" << false << 1 << "1.3" << "份" << "20.2";
        QTest::newRow("0.04 rounds to 0, becomes 1") << "白菜肉水饺" << "0.04" << "" << false << 1 << "1" << "份" << "15.5";
        QTest::newRow("empty quantity") << "白菜肉水饺" << "" << "77" << false << 1 << "1" << "份" << "15.5";
        QTest::newRow("not a number") << "白菜肉水饺" << "abc" << "" << false << 1 << "1" << "份" << "15.5";
        QTest::newRow("full-width digits") << "白菜肉水饺" << "３" << "" << false << 0 << "3" << "份" << "46.5";
        QTest::newRow("no decimals") << "白菜肉水饺" << "2.5" << "" << false << 0 << "3" << "份" << "46.5";
        QTest::newRow("three decimals, binary edge") << "七喜" << "1.2345" << "" << false << 3 << "1.235" << "瓶" << "4.9";
        QTest::newRow("name with blanks") << " 七喜 " << "2" << "" << false << 1 << "2" << "瓶" << "8";
        QTest::newRow("first of two equal names") << "白菜肉水饺" << "1" << "" << false << 1 << "1" << "份" << "15.5";
        QTest::newRow("amount typed as 0 stays 0") << "白菜肉水饺" << "2" << "0" << true << 1 << "2" << "份" << "0";
        QTest::newRow("amount typed is rounded") << "白菜肉水饺" << "2" << "12.25" << true << 1 << "2" << "份" << "12.3";
        QTest::newRow("unknown name keeps unit, amount 0") << "黄焖鸡" << "2" << "" << false << 1 << "2" << "盒" << "0";
        QTest::newRow("unknown name, amount typed") << "黄焖鸡" << "2" << "25" << true << 1 << "2" << "盒" << "25";
        QTest::newRow("negative quantity") << "七喜" << "-2" << "" << false << 1 << "-2" << "瓶" << "-8";
    }

    void recalcLine()
    {
        QFETCH(QString, name);
        QFETCH(QString, quantity);
        QFETCH(QString, amount);
        QFETCH(bool, amountEdited);
        QFETCH(int, places);
        const OrderLine line = vorlan::recalcLine(smallCatalog(), {name, quantity, "盒", amount}, amountEdited, places);
        QTEST(line.quantity, "wantQuantity");
        QTEST(line.unit, "wantUnit");
        QTEST(line.amount, "wantAmount");
        QCOMPARE(line.name, name);
    }

    void editableCells()
    {
        QVERIFY(canEditLineCell(NameColumn, ""));
        QVERIFY(canEditLineCell(NameColumn, "七喜"));
        QVERIFY(canEditLineCell(QuantityColumn, "七喜"));
        QVERIFY(canEditLineCell(AmountColumn, "七喜"));
        QVERIFY(!canEditLineCell(UnitColumn, "七喜"));
        QVERIFY(!canEditLineCell(QuantityColumn, "  "));
        QVERIFY(!canEditLineCell(AmountColumn, ""));
    }

    void totals()
    {
        // The header text and the empty row count as 0.
        const double sum = lineSum({"小计", "31", "12.5", ""});
        QCOMPARE(sum, 43.5);
        QCOMPARE(formatDouble(orderTotal(sum, "立减优惠", "5")), QStringLiteral("38.5"));
        QCOMPARE(formatDouble(orderTotal(sum, "立减优惠", QStringLiteral("５"))), QStringLiteral("38.5"));
        QCOMPARE(formatDouble(orderTotal(sum, "无", "5")), QStringLiteral("43.5"));
        QCOMPARE(formatDouble(orderTotal(sum, "", "5")), QStringLiteral("43.5"));
        QCOMPARE(formatDouble(orderTotal(sum, "立减优惠", "")), QStringLiteral("43.5"));
        // A discount above the line sum is shown as it is.
        QCOMPARE(formatDouble(orderTotal(3, "立减优惠", "5")), QStringLiteral("-2"));
        // Amounts rounded to one place still add up without binary noise in the text.
        QCOMPARE(formatDouble(lineSum({"0.1", "0.2"})), QStringLiteral("0.3"));
        QCOMPARE(formatDouble(lineSum({})), QStringLiteral("0"));
    }

    void paymentRule_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("actuallyPaid");
        QTest::addColumn<QString>("total");
        QTest::addColumn<QString>("paid");
        QTest::newRow("cash, same") << "现金支付" << "38.5" << "38.5" << "38.5";
        QTest::newRow("wechat, more typed") << "微信支付" << "40" << "38.5" << "40";
        QTest::newRow("typed back") << "微信支付" << "38.50" << "38.5" << "38.5";
        QTest::newRow("pay on delivery") << "到付" << "38.5" << "38.5" << "";
        QTest::newRow("no method") << "" << "38.5" << "38.5" << "";
        QTest::newRow("full-width equal") << "预付" << QStringLiteral("３８.５") << "38.5" << "38.5";
    }

    void paymentRule()
    {
        QFETCH(QString, method);
        QFETCH(QString, actuallyPaid);
        QFETCH(QString, total);
        QTEST(paidText(method, actuallyPaid, total), "paid");
    }

    void customerByPhone()
    {
        TestHome home;
        QVERIFY(home.store->execute("insert into 客户 (电话,姓名,地址) values (?,?,?)",
                                    {"13800138000", "老王's", "幸福路1号"}));
        QVERIFY(home.store->execute("insert into 客户 (电话,姓名,地址) values (?,?,?)",
                                    {"13800138000", "第二个", "别处"}));
        auto found = findCustomerByPhone(*home.store, " 13800138000\u3000");
        QVERIFY(found);
        QCOMPARE(found->name, QStringLiteral("老王's"));
        QCOMPARE(found->address, QStringLiteral("幸福路1号"));
        QVERIFY(!findCustomerByPhone(*home.store, "1380013800"));
        QVERIFY(!findCustomerByPhone(*home.store, "138001380001"));
        QVERIFY(!findCustomerByPhone(*home.store, ""));
        // A quote in the typed phone is a value, not SQL.
        QVERIFY(!findCustomerByPhone(*home.store, "' or ''='"));
        // The cursor is free again for the next statement.
        QVERIFY(home.store->execute("delete from 客户"));
    }

    void tableCodes()
    {
        const QStringList codes = {"1", "2", "101", "102"};
        QCOMPARE(matchTableCode(codes, "102"), 3);
        QCOMPARE(matchTableCode(codes, "10"), -1);
        QCOMPARE(matchTableCode(codes, " 102"), -1);
        QCOMPARE(matchTableCode(codes, ""), -1);
    }
};

QTEST_GUILESS_MAIN(TestOrderRules)
#include "tst_orderrules.moc"
