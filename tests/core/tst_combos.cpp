#include "core/ui/combos.h"
#include "testhome.h"

#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

using namespace vorlan;

class TestCombos : public QObject
{
    Q_OBJECT
private slots:
    void fillOnEmptyTable()
    {
        TestHome home;
        QVERIFY(home.store->execute("delete from 减免"));
        QComboBox combo;
        fillComboFromQuery(&combo, *home.store, "select * from 减免", "减免名称");
        QCOMPARE(combo.count(), 1);
        QCOMPARE(combo.itemText(0), QString());
        QCOMPARE(combo.currentIndex(), -1);
    }

    void refillKeepsTheChoice()
    {
        TestHome home;
        QComboBox combo;
        fillComboFromQuery(&combo, *home.store, "select * from 店名", "店铺名称");
        QCOMPARE(combo.count(), 6);
        QCOMPARE(combo.itemData(1).toInt(), 0);
        combo.setCurrentIndex(4);
        QVERIFY(home.store->execute("insert into 店名 (店铺名称) values ('新店')"));
        fillComboFromQuery(&combo, *home.store, "select * from 店名", "店铺名称");
        QCOMPARE(combo.count(), 7);
        QCOMPARE(combo.currentText(), QStringLiteral("白云快餐"));
        QVERIFY(home.store->execute("delete from 店名 where 店铺名称='白云快餐'"));
        fillComboFromQuery(&combo, *home.store, "select * from 店名", "店铺名称");
        QCOMPARE(combo.currentIndex(), -1);
    }

    void selectByText()
    {
        QComboBox combo;
        combo.addItems({"", "现金支付", "到付"});
        selectComboByText(&combo, "到付");
        QCOMPARE(combo.currentIndex(), 2);
        selectComboByText(&combo, "不存在");
        QCOMPARE(combo.currentIndex(), 2);
        selectComboByText(&combo, "无");
        QCOMPARE(combo.currentIndex(), -1);
        selectComboByText(&combo, "现金支付");
        QSignalSpy spy(&combo, &QComboBox::currentIndexChanged);
        selectComboByText(&combo, "现金支付");
        QCOMPARE(spy.count(), 0);
        selectComboByText(&combo, "");
        QCOMPARE(combo.currentIndex(), -1);
    }

    void storedChoiceMissingFromTheList()
    {
        TestHome home;
        QComboBox combo;
        const QString sql = QStringLiteral("select * from 店名 order by ID");
        fillComboFromQuery(&combo, *home.store, sql, "店铺名称");
        const int listed = combo.count();
        showStoredChoice(&combo, "已关的店");
        QCOMPARE(combo.currentText(), QStringLiteral("已关的店"));
        // a refill before the list drops down keeps it while it is the choice
        fillComboFromQuery(&combo, *home.store, sql, "店铺名称");
        QCOMPARE(combo.currentText(), QStringLiteral("已关的店"));
        QCOMPARE(combo.count(), listed + 1);
        // a name that is listed is simply selected, and the kept one goes
        showStoredChoice(&combo, "白云快餐");
        QCOMPARE(combo.count(), listed);
        QCOMPARE(combo.currentText(), QStringLiteral("白云快餐"));
        showStoredChoice(&combo, "已关的店");
        dropStoredChoices(&combo);
        QCOMPARE(combo.count(), listed);
        QCOMPARE(combo.currentIndex(), -1);
        // the table itself was never touched
        QCOMPARE(home.store->scalar("select count(*) from 店名 where 店铺名称='已关的店'").toInt(), 0);
    }
};

QTEST_MAIN(TestCombos)
#include "tst_combos.moc"
