#include "ordershop.h"
#include "receipt/printreceipt.h"
#include "core/datastore.h"
#include "core/recordtable.h"
#include "order/ui/keyboardflow.h"
#include "order/ui/orderactions.h"
#include "order/ui/orderentry.h"
#include "recordingcanvas.h"
#include "programfolder.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace vorlan;

namespace {

// Every column of every row of a table, reals with all their digits.
QStringList tableRows(DataStore &store, const QString &table)
{
    QStringList columns;
    store.query(QStringLiteral("select name from pragma_table_info(?)"), {table});
    while (!store.atEnd()) {
        const QString c = store.readText(0);
        columns.append(QStringLiteral("case typeof(%1) when 'real' then printf('%.17g', %1) else quote(%1) end").arg(c));
        store.next();
    }
    store.closeQuery();
    QStringList rows;
    store.query(QStringLiteral("select %1 from %2 order by ID").arg(columns.join(QStringLiteral("||'|'||")), table));
    while (!store.atEnd()) {
        rows.append(store.readText(0));
        store.next();
    }
    store.closeQuery();
    return rows;
}

// The order panel on a fresh program folder, printing into a recording backend.
struct Shop : OrderShop {
    RecordingBackend printer;

    Shop()
    {
        print = [this](bool singleCopy) {
            return printReceipt(database, context.paths, panel->receiptSnapshot(), printer, singleCopy);
        };
        activate();
    }

    QPushButton *settleButton() const { return control<QPushButton>("按钮_打单结算"); }
    OrderActions &actions() const { return *panel->orderActions(); }

    // Keys go to whatever has the focus, as the operator's keyboard does.
    void key(Qt::Key k)
    {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        QTest::keyClick(target, k);
    }
    void type(const QString &text) { QTest::keyClicks(QApplication::focusWidget(), text); }

    // F1, a code, Enter, the quantity answered in the quantity box.
    void order(const QString &code, const QString &quantity)
    {
        key(Qt::Key_F1);
        QApplication::focusWidget() == edit("编辑框_项目代号") ? void() : qFatal("F1 did not reach the code box");
        edit("编辑框_项目代号")->clear();
        type(code);
        prompter.inputs.enqueue(quantity);
        key(Qt::Key_Return);
    }
};

} // namespace

class TestSettle : public QObject
{
    Q_OBJECT
private slots:
    void wholeOrderFromTheKeyboard()
    {
        Shop shop;
        QVERIFY(shop.store().execute("insert into 客户 (电话,姓名,地址,最近订餐日期,订餐次数) "
                                     "values ('13900001111','李四','幸福路8号','2026-12-01 12:00:00',3)"));
        RecordTable(shop.store()).write("打印份数", "2");

        shop.order("001", "2");
        shop.order("005", "1");
        QCOMPARE(shop.edit("编辑框_合计")->text(), QStringLiteral("51.5"));

        shop.key(Qt::Key_F3);
        QCOMPARE(QApplication::focusWidget(), shop.edit("编辑框_电话"));
        shop.type("13900001111");
        QCOMPARE(shop.edit("编辑框_姓名")->text(), QStringLiteral("李四"));
        QCOMPARE(shop.edit("编辑框_地址")->text(), QStringLiteral("幸福路8号"));
        shop.key(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), shop.edit("编辑框_姓名"));
        shop.key(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), shop.edit("编辑框_地址"));
        shop.key(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), shop.control<QPlainTextEdit>("编辑框_备注"));

        shop.key(Qt::Key_F5);
        QCOMPARE(QApplication::focusWidget(), shop.combo("组合框_付款方式"));
        shop.combo("组合框_付款方式")->setCurrentText(QStringLiteral("微信支付"));
        shop.key(Qt::Key_F12);

        QCOMPARE(shop.rows("存单"), 1);
        QCOMPARE(shop.rows("存单详单"), 2);
        QCOMPARE(shop.store().scalar("select 编号||'|'||时间||'|'||合计||'|'||支付方式||'|'||实付||'|'||是否结算 from 存单").toString(),
                 QStringLiteral("1|2026-12-09 11:30:00|51.5|微信支付|51.5|1"));
        QCOMPARE(shop.store().scalar("select group_concat(菜名||'x'||数量||'='||小计, ';') from 存单详单").toString(),
                 QStringLiteral("红烧排骨饭x2.0=36.0;白菜肉水饺x1.0=15.5"));
        QCOMPARE(shop.store().scalar("select 订餐次数 from 客户").toInt(), 4);
        QCOMPARE(shop.store().scalar("select 姓名 from 客户").toString(), QStringLiteral("李四"));
        QCOMPARE(shop.printer.jobs.size(), 2);
        QVERIFY(shop.printer.jobs.at(0).firstCopy && !shop.printer.jobs.at(1).firstCopy);

        // the window is ready for the next order
        QCOMPARE(shop.edit("编辑框_编号")->text(), QStringLiteral("2"));
        QVERIFY(!shop.panel->orderEntry()->hasLines());
        QCOMPARE(shop.edit("编辑框_电话")->text(), QString());
        QCOMPARE(shop.edit("编辑框_合计")->text(), QString());
        QCOMPARE(shop.combo("组合框_付款方式")->currentText(), QStringLiteral("微信支付"));
        QCOMPARE(shop.counters.orderCount, 1);
        QCOMPARE(shop.counters.income, 51.5);
        QCOMPARE(QApplication::focusWidget(), shop.edit("编辑框_项目代号"));
        QVERIFY(shop.prompter.shown.size() == 2); // the two quantity boxes, nothing else
    }

    void nothingToSettle()
    {
        Shop shop;
        shop.key(Qt::Key_F12);
        shop.key(Qt::Key_F11);
        QCOMPARE(shop.prompter.shown.size(), 2);
        for (const auto &shown : shop.prompter.shown) {
            QCOMPARE(shown.text, QStringLiteral("无法完成，还没有选择任何菜品。"));
            QCOMPARE(shown.caption, QStringLiteral("提示"));
            QCOMPARE(shown.icon, PromptIcon::Information);
        }
        QCOMPARE(shop.rows("存单"), 0);
        QVERIFY(shop.printer.jobs.isEmpty());
    }

    void printOnlyStoresNothing()
    {
        Shop shop;
        RecordTable(shop.store()).write("打印份数", "3");
        shop.order("002", "1");
        shop.key(Qt::Key_F11);
        QCOMPARE(shop.printer.jobs.size(), 1);
        QCOMPARE(shop.rows("存单"), 0);
        QVERIFY(shop.panel->orderEntry()->hasLines());
    }

    void cancelledPrintKeepsTheStoredOrderOnce()
    {
        Shop shop;
        shop.order("003", "1");
        shop.printer.cancelDialog = true;
        shop.key(Qt::Key_F12);
        QCOMPARE(shop.rows("存单"), 1);
        QVERIFY(shop.settleButton()->isHidden());
        QVERIFY(shop.panel->orderEntry()->hasLines());
        // F12 and the button cannot store it a second time
        shop.key(Qt::Key_F12);
        shop.settleButton()->click();
        QCOMPARE(shop.rows("存单"), 1);
        // printing it again is allowed
        shop.printer.cancelDialog = false;
        shop.key(Qt::Key_F11);
        QCOMPARE(shop.printer.jobs.size(), 1);

        shop.prompter.answers.enqueue(false);
        shop.key(Qt::Key_F10);
        QCOMPARE(shop.prompter.shown.last().text, QStringLiteral("是否清空点单数据？"));
        QCOMPARE(shop.prompter.shown.last().icon, PromptIcon::Question);
        QVERIFY(shop.panel->orderEntry()->hasLines());
        shop.prompter.answers.enqueue(true);
        shop.key(Qt::Key_F10);
        QVERIFY(!shop.settleButton()->isHidden());
        QVERIFY(!shop.panel->orderEntry()->hasLines());
        QCOMPARE(shop.edit("编辑框_编号")->text(), QStringLiteral("2"));
    }

    void refusedOrderStaysOnTheWindow()
    {
        Shop shop;
        shop.order("004", "1");
        shop.edit("编辑框_编号")->setText(QStringLiteral("十二"));
        shop.key(Qt::Key_F12);
        QCOMPARE(shop.rows("存单"), 0);
        QCOMPARE(shop.prompter.shown.last().caption, QStringLiteral("提示"));
        QVERIFY(shop.prompter.shown.last().text.contains(QStringLiteral("编号")));
        QVERIFY(shop.panel->orderEntry()->hasLines());
        QVERIFY(!shop.settleButton()->isHidden());

        // an unreadable time is refused too; the clock is stopped so the text stays
        shop.edit("编辑框_编号")->setText(QStringLiteral("7"));
        shop.edit("编辑框_时间")->setText(QStringLiteral("13-45 10:00"));
        shop.key(Qt::Key_F12);
        QCOMPARE(shop.rows("存单"), 0);
        QVERIFY(shop.prompter.shown.last().text.contains(QStringLiteral("13-45 10:00")));

        // a broken database is told, and the order is kept
        QVERIFY(shop.store().execute("create trigger 满 before insert on 存单 begin select raise(abort, 'disk full'); end"));
        shop.edit("编辑框_时间")->setText(QStringLiteral("12-09 11:30"));
        shop.key(Qt::Key_F12);
        QVERIFY(shop.prompter.shown.last().text.contains(QStringLiteral("disk full")));
        QVERIFY(shop.panel->orderEntry()->hasLines());
        QCOMPARE(shop.rows("存单"), 0);
        QCOMPARE(shop.rows("存单详单"), 0);
    }

    void modifyingAnOrder()
    {
        Shop shop;
        shop.order("001", "1");
        shop.order("019", "1");
        shop.edit("编辑框_电话")->setText(QStringLiteral("13800002222"));
        shop.edit("编辑框_姓名")->setText(QStringLiteral("王五"));
        shop.control<QPlainTextEdit>("编辑框_备注")->setPlainText(QStringLiteral("多放醋"));
        shop.key(Qt::Key_F12);
        QCOMPARE(shop.rows("存单"), 1);
        const int id = shop.store().scalar("select ID from 存单").toInt();
        // the order was from another year; the time field shows no year
        QVERIFY(shop.store().execute("update 存单 set 时间='2024-03-02 19:05:00' where ID=?", {id}));

        QVERIFY(shop.actions().loadOrderForModification(id));
        QCOMPARE(shop.settleButton()->text(), QStringLiteral("修改(F12)"));
        QCOMPARE(shop.edit("ID")->text(), QString::number(id));
        QCOMPARE(shop.edit("编辑框_编号")->text(), QStringLiteral("1"));
        QCOMPARE(shop.edit("编辑框_时间")->text(), QStringLiteral("03-02 19:05"));
        QCOMPARE(shop.edit("编辑框_电话")->text(), QStringLiteral("13800002222"));
        QCOMPARE(shop.edit("编辑框_姓名")->text(), QStringLiteral("王五"));
        QCOMPARE(shop.edit("编辑框_合计")->text(), QStringLiteral("31"));
        QCOMPARE(shop.control<QPlainTextEdit>("编辑框_备注")->toPlainText(), QStringLiteral("多放醋"));
        QCOMPARE(shop.panel->orderEntry()->lines().size(), 2);
        // the clock leaves the stored time alone
        shop.panel->showTime(shop.now);
        QCOMPARE(shop.edit("编辑框_时间")->text(), QStringLiteral("03-02 19:05"));

        shop.order("015", "2");
        shop.control<QPlainTextEdit>("编辑框_备注")->setPlainText(QStringLiteral("不要醋"));
        shop.prompter.answers.enqueue(false);
        const int jobsBefore = int(shop.printer.jobs.size());
        shop.key(Qt::Key_F12);
        QCOMPARE(shop.prompter.shown.last().text, QStringLiteral("修改成功。是否打印小票？"));
        QCOMPARE(shop.prompter.shown.last().icon, PromptIcon::Question);
        QCOMPARE(shop.printer.jobs.size(), jobsBefore);
        QCOMPARE(shop.rows("存单"), 1);
        QCOMPARE(shop.rows("存单详单"), 3);
        QCOMPARE(shop.store().scalar("select count(*) from 存单详单 where 存单ID=?", {id}).toInt(), 3);
        QCOMPARE(shop.store().scalar("select 时间 from 存单").toString(), QStringLiteral("2024-03-02 19:05:00"));
        QCOMPARE(shop.store().scalar("select 备注 from 存单").toString(), QStringLiteral("不要醋"));
        QCOMPARE(shop.store().scalar("select 合计 from 存单").toDouble(), 63.0);
        QCOMPARE(shop.store().scalar("select 订餐次数 from 客户").toInt(), 1);
        QCOMPARE(shop.settleButton()->text(), QStringLiteral("打单结算(F12)"));
        QCOMPARE(shop.edit("ID")->text(), QString());
        QVERIFY(!shop.panel->orderEntry()->hasLines());
    }

    void reopenedOrderRoundTripsExactly()
    {
        Shop shop;
        DataStore &s = shop.store();
        // An order as an earlier day stored it: seconds in its time, money beyond single
        // precision, paid and actually paid apart, and names no longer in their lists.
        QVERIFY(s.execute("insert into 存单 (编号,票头,店铺名称,时间,减免,减免份数,减免金额,合计,支付方式,已付,实付,"
                          "桌号,电话,姓名,地址,是否结算,备注) values (7,'旧票头','旧店名','2025-03-02 19:05:37',"
                          "'旧减免',2,5,12345.67,'混合支付',100.25,12345.67,NULL,'13800001111','王五','老街1号',1,"
                          "'多放醋')"));
        const int id = s.scalar("select ID from 存单").toInt();
        QVERIFY(s.execute("insert into 存单详单 (存单ID,销售时间,菜名,数量,单位,小计) values "
                          "(?,'2025-03-02 19:05:37','白菜肉水饺',2.345,'份',12345.67),"
                          "(?,'2025-03-02 19:05:37','已下架菜',1,'碗',0.1)",
                          {id, id}));
        const QStringList orderBefore = tableRows(s, "存单");
        const QStringList linesBefore = tableRows(s, "存单详单");
        const QStringList headersBefore = tableRows(s, "票头设置");

        QVERIFY(shop.panel->loadOrderForModification(id));
        QVERIFY(shop.panel->isModifying());
        QCOMPARE(shop.combo("组合框_票头")->currentText(), QStringLiteral("旧票头"));
        QCOMPARE(shop.combo("组合框_店铺名称")->currentText(), QStringLiteral("旧店名"));
        QCOMPARE(shop.combo("组合框_减免")->currentText(), QStringLiteral("旧减免"));
        QCOMPARE(shop.edit("编辑框_实付")->text(), QStringLiteral("12345.67"));
        QCOMPARE(shop.edit("编辑框_已支付")->text(), QStringLiteral("100.25"));
        // a list dropped down keeps the order's own name
        shop.combo("组合框_票头")->showPopup();
        shop.combo("组合框_票头")->hidePopup();
        QCOMPARE(shop.combo("组合框_票头")->currentText(), QStringLiteral("旧票头"));

        shop.prompter.answers.enqueue(false); // no receipt
        shop.key(Qt::Key_F12);
        QCOMPARE(shop.prompter.shown.last().text, QStringLiteral("修改成功。是否打印小票？"));
        QCOMPARE(tableRows(s, "存单"), orderBefore);
        QCOMPARE(tableRows(s, "存单详单").size(), linesBefore.size());
        // the lines are stored anew (new IDs); everything else is the same
        QStringList linesAfter = tableRows(s, "存单详单");
        for (QString &row : linesAfter)
            row = row.section(u'|', 1);
        QStringList linesExpected = linesBefore;
        for (QString &row : linesExpected)
            row = row.section(u'|', 1);
        QCOMPARE(linesAfter, linesExpected);
        // the old names were shown, not added to their lists, and are not offered afterwards
        QCOMPARE(tableRows(s, "票头设置"), headersBefore);
        QVERIFY(!shop.panel->isModifying());
        QCOMPARE(shop.combo("组合框_票头")->findText(QStringLiteral("旧票头")), -1);
        QCOMPARE(shop.combo("组合框_票头")->currentIndex(), -1); // not a neighbour of the dropped name
        QCOMPARE(shop.combo("组合框_付款方式")->currentText(), QStringLiteral("混合支付"));
    }

    void modeIsNotTheCaption()
    {
        Shop shop;
        shop.order("001", "1");
        shop.key(Qt::Key_F12);
        const int id = shop.store().scalar("select ID from 存单").toInt();
        QVERIFY(shop.panel->loadOrderForModification(id));
        // a caption changed by anything else does not turn the modification into a new order
        shop.settleButton()->setText(QStringLiteral("打单结算(F12)"));
        shop.prompter.answers.enqueue(false);
        shop.key(Qt::Key_F12);
        QCOMPARE(shop.rows("存单"), 1);
        QCOMPARE(shop.prompter.shown.last().text, QStringLiteral("修改成功。是否打印小票？"));
    }

    void modifyWithCancelledPrintStaysInModifyMode()
    {
        Shop shop;
        shop.order("001", "1");
        shop.key(Qt::Key_F12);
        const int id = shop.store().scalar("select ID from 存单").toInt();
        QVERIFY(shop.actions().loadOrderForModification(id));
        shop.printer.cancelDialog = true;
        shop.prompter.answers.enqueue(true);
        shop.key(Qt::Key_F12);
        QCOMPARE(shop.settleButton()->text(), QStringLiteral("修改(F12)"));
        QVERIFY(shop.actions().holdsUnfinishedOrder());
        QCOMPARE(shop.rows("存单"), 1);
    }

    void keysOnlyInTheProgramsWindows()
    {
        Shop shop;
        shop.order("001", "1");
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QTest::keyClick(&other, Qt::Key_F12);
        QCOMPARE(shop.rows("存单"), 0);

        QWidget *preview = &shop.preview;
        preview->show();
        preview->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(preview));
        QTest::keyClick(preview, Qt::Key_F12);
        QCOMPARE(shop.rows("存单"), 1);
    }

    void enterAndFocusRules()
    {
        Shop shop;
        shop.key(Qt::Key_F5);
        shop.key(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), shop.edit("编辑框_已支付"));
        shop.key(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), shop.edit("编辑框_实付"));
        shop.key(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), shop.edit("编辑框_实付"));

        shop.key(Qt::Key_F4);
        QCOMPARE(QApplication::focusWidget(), shop.combo("组合框_减免"));
        shop.key(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), shop.edit("编辑框_减免份数"));
        shop.key(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), shop.edit("编辑框_减免金额"));

        // F2 reaches the table code box although its group is hidden
        shop.edit("编辑框_时间2")->setText(QStringLiteral("102"));
        shop.key(Qt::Key_F2);
        QCOMPARE(shop.edit("编辑框_时间2")->selectedText(), QStringLiteral("102"));

        shop.key(Qt::Key_F6);
        QCOMPARE(QApplication::focusWidget(), shop.control<QTableWidget>("高级表格1"));
        shop.control<QPlainTextEdit>("编辑框_备注")->setPlainText(QStringLiteral("备注"));
        shop.key(Qt::Key_F7);
        QCOMPARE(shop.control<QPlainTextEdit>("编辑框_备注")->textCursor().selectedText(), QStringLiteral("备注"));

        shop.edit("编辑框_姓名")->setText(QStringLiteral("赵六"));
        shop.key(Qt::Key_F3);
        shop.key(Qt::Key_Return);
        QTRY_COMPARE(shop.edit("编辑框_姓名")->selectedText(), QStringLiteral("赵六"));
    }
};

QTEST_MAIN(TestSettle)
#include "tst_settle.moc"
