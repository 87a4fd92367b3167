#include "ordershop.h"
#include "core/datastore.h"
#include "core/recordtable.h"
#include "order/dishlistmodel.h"
#include "order/orderstore.h"
#include "order/ui/orderentry.h"
#include "programfolder.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace vorlan;

namespace {

// The order panel on a fresh program folder, reached through its controls' names.
struct Shop : OrderShop {
    QTableWidget *grid() const { return control<QTableWidget>("高级表格1"); }
    QTableView *dishList() const { return control<QTableView>("超级列表框2"); }
    OrderEntry *entry() const { return panel->orderEntry(); }

    void typeCode(const QString &code)
    {
        QLineEdit *box = edit("编辑框_项目代号");
        box->clear();
        QTest::keyClicks(box, code);
    }
    // Types a code, presses Enter and answers the quantity box.
    void order(const QString &code, const std::optional<QString> &quantity)
    {
        typeCode(code);
        prompter.inputs.enqueue(quantity);
        QTest::keyClick(edit("编辑框_项目代号"), Qt::Key_Return);
    }
    QString cell(int row, int column) const
    {
        const QTableWidgetItem *item = grid()->item(row, column);
        return item ? item->text() : QString();
    }
    QStringList line(int row) const { return {cell(row, 0), cell(row, 1), cell(row, 2), cell(row, 3)}; }
    // What the operator's finished edit of a cell writes.
    void editCell(int row, int column, const QString &text)
    {
        grid()->setCurrentCell(row, column);
        QTableWidgetItem *item = grid()->item(row, column);
        if (!item) {
            grid()->setItem(row, column, new QTableWidgetItem(text));
            return;
        }
        item->setText(text);
    }
    void choosePayment(const QString &method)
    {
        QComboBox *box = combo("组合框_付款方式");
        box->setCurrentIndex(box->findText(method));
    }
    QStringList money() const
    {
        return {edit("编辑框_合计")->text(), edit("编辑框_实付")->text(), edit("编辑框_已支付")->text()};
    }
    int selectedDishRow() const { return dishList()->selectionModel()->currentIndex().row(); }
};

QStringList comboTexts(QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts.append(combo->itemText(i));
    return texts;
}

} // namespace

class TestOrderEntry : public QObject
{
    Q_OBJECT
private slots:
    void typingZeroListsEveryDishAndArrowsMove()
    {
        Shop shop;
        QTableView *list = shop.dishList();
        QCOMPARE(list->model()->rowCount(), 0);
        shop.typeCode("0");
        QCOMPARE(list->model()->rowCount(), 28);
        const DishCatalog &catalog = shop.panel->dishCatalog();
        for (int row = 0; row < 28; ++row)
            QCOMPARE(list->model()->index(row, DishListModel::NameColumn).data().toString(), catalog.names.at(row));
        QCOMPARE(list->model()->index(4, DishListModel::PriceColumn).data().toString(), QStringLiteral("15.5"));
        QVERIFY(list->isColumnHidden(0));
        QCOMPARE(shop.selectedDishRow(), 0);

        QLineEdit *box = shop.edit("编辑框_项目代号");
        QTest::keyClick(box, Qt::Key_Up);
        QCOMPARE(shop.selectedDishRow(), 0);
        QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(shop.selectedDishRow(), 2);
        QTest::keyClick(box, Qt::Key_Up);
        QCOMPARE(shop.selectedDishRow(), 1);
        for (int i = 0; i < 40; ++i)
            QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(shop.selectedDishRow(), 27);
        // The arrows move the list, not the caret; the full stop key types nothing.
        QCOMPARE(box->text(), QStringLiteral("0"));
        QTest::keyClick(box, Qt::Key_Period);
        QCOMPARE(box->text(), QStringLiteral("0"));

        QTest::keyClicks(box, "5");
        QCOMPARE(list->model()->rowCount(), 2); // 005 and 105
        QCOMPARE(shop.selectedDishRow(), 0);
        QTest::keyClicks(box, "x");
        QCOMPARE(list->model()->rowCount(), 0);
        // Enter on an empty list asks nothing.
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(shop.prompter.shown.isEmpty());
    }

    void choosingADishAddsALine()
    {
        Shop shop;
        shop.choosePayment("现金支付");
        shop.window->show();
        QVERIFY(QTest::qWaitForWindowActive(shop.window.get()));
        shop.order("005", "2");
        QCOMPARE(shop.prompter.shown.size(), 1);
        const ScriptedPrompter::Shown &asked = shop.prompter.shown.first();
        QCOMPARE(asked.kind, QStringLiteral("input"));
        QCOMPARE(asked.caption, QStringLiteral("菜品选择"));
        QCOMPARE(asked.text, QStringLiteral("请输入菜品：白菜肉水饺 的数量。\r\n\r\n按 Esc键 取消选择。"));
        QCOMPARE(asked.initial, QStringLiteral("1"));
        QCOMPARE(asked.inputKind, InputKind::Decimal);

        QCOMPARE(shop.grid()->rowCount(), 2);
        QCOMPARE(shop.line(0), (QStringList{"白菜肉水饺", "2", "份", "31"}));
        QCOMPARE(shop.line(1), (QStringList{"", "", "", ""}));
        QCOMPARE(shop.money(), (QStringList{"31", "31", "31"}));
        QCOMPARE(shop.grid()->currentRow(), 0);
        QCOMPARE(shop.grid()->currentColumn(), 1);
        // Ready for the next code.
        QLineEdit *box = shop.edit("编辑框_项目代号");
        QCOMPARE(QApplication::focusWidget(), box);
        QCOMPARE(box->selectedText(), QStringLiteral("005"));

        // Esc in the quantity box adds nothing.
        shop.order("003", std::nullopt);
        QCOMPARE(shop.grid()->rowCount(), 2);

        // Enter in the list and a double click take the selected dish too.
        shop.typeCode("0");
        QTest::keyClick(box, Qt::Key_Down);
        shop.prompter.inputs.enqueue(QStringLiteral("1"));
        QTest::keyClick(shop.dishList(), Qt::Key_Return);
        QCOMPARE(shop.line(1), (QStringList{"茄子豆角", "1", "份", "14"}));
        shop.prompter.inputs.enqueue(QStringLiteral("3"));
        emit shop.dishList()->doubleClicked(shop.dishList()->model()->index(1, 3));
        QCOMPARE(shop.line(2), (QStringList{"茄子豆角", "3", "份", "42"}));
        QCOMPARE(shop.grid()->rowCount(), 4);
        QCOMPARE(shop.money(), (QStringList{"87", "87", "87"}));
    }

    void quantityRoundsToTheChosenPlaces()
    {
        Shop shop;
        shop.context.decimalPlaces = 1;
        shop.order("005", "1.25");
        QCOMPARE(shop.line(0), (QStringList{"白菜肉水饺", "1.3", "份", "20.2"}));
        shop.order("005", "0.04");
        QCOMPARE(shop.line(1), (QStringList{"白菜肉水饺", "1", "份", "15.5"}));
        shop.context.decimalPlaces = 0;
        shop.order("005", "");
        QCOMPARE(shop.line(2), (QStringList{"白菜肉水饺", "1", "份", "15.5"}));
        QCOMPARE(shop.edit("编辑框_合计")->text(), QStringLiteral("51.2"));
    }

    void correctingLinesInTheGrid()
    {
        Shop shop;
        shop.order("005", "2");
        shop.editCell(0, 1, "3");
        QCOMPARE(shop.line(0), (QStringList{"白菜肉水饺", "3", "份", "46.5"}));
        shop.editCell(0, 3, "0");
        QCOMPARE(shop.line(0), (QStringList{"白菜肉水饺", "3", "份", "0"}));
        QCOMPARE(shop.edit("编辑框_合计")->text(), QStringLiteral("0"));
        shop.editCell(0, 1, "");
        QCOMPARE(shop.line(0), (QStringList{"白菜肉水饺", "1", "份", "15.5"}));
        // A name typed into the empty row becomes a line with quantity 1 and a new empty row.
        shop.editCell(1, 0, "旺仔牛奶");
        QCOMPARE(shop.line(1), (QStringList{"旺仔牛奶", "1", "瓶", "5"}));
        QCOMPARE(shop.grid()->rowCount(), 3);
        // An unknown name prices the line at 0 unless the amount is typed.
        shop.editCell(1, 0, "黄焖鸡");
        QCOMPARE(shop.line(1), (QStringList{"黄焖鸡", "1", "瓶", "0"}));
        shop.editCell(1, 3, "25");
        QCOMPARE(shop.money(), (QStringList{"40.5", "40.5", ""}));
        QCOMPARE(shop.grid()->rowCount(), 3);
    }

    void nameCellOffersEveryDishAndUnitCellIsLocked()
    {
        Shop shop;
        shop.window->show();
        QVERIFY(QTest::qWaitForWindowActive(shop.window.get()));
        shop.order("005", "2");
        QTableWidget *grid = shop.grid();
        OrderEntry *entry = shop.entry();
        QVERIFY(entry->canEditCell(0, 0));
        QVERIFY(entry->canEditCell(0, 1));
        QVERIFY(!entry->canEditCell(0, 2));
        QVERIFY(entry->canEditCell(0, 3));
        QVERIFY(entry->canEditCell(1, 0));
        QVERIFY(!entry->canEditCell(1, 1));
        QVERIFY(!entry->canEditCell(1, 3));
        QVERIFY(!entry->canEditCell(5, 0));

        grid->setFocus();
        grid->setCurrentCell(0, 2);
        grid->edit(grid->currentIndex()); // F2 belongs to the table-code box
        QVERIFY(!qobject_cast<QLineEdit *>(QApplication::focusWidget()));

        grid->setCurrentCell(0, 0);
        grid->edit(grid->currentIndex()); // F2 belongs to the table-code box
        auto *names = qobject_cast<QComboBox *>(QApplication::focusWidget()->parentWidget());
        if (!names)
            names = qobject_cast<QComboBox *>(QApplication::focusWidget());
        QVERIFY(names);
        QCOMPARE(comboTexts(names), shop.panel->dishCatalog().names);
        QCOMPARE(names->currentText(), QStringLiteral("白菜肉水饺"));
        names->setCurrentIndex(names->findText("茄子豆角"));
        QTest::keyClick(names, Qt::Key_Return);
        QTRY_COMPARE(shop.line(0), (QStringList{"茄子豆角", "2", "份", "28"}));
        QCOMPARE(shop.edit("编辑框_合计")->text(), QStringLiteral("28"));

        // A typed name stays as typed, also the start of a dish's name; it is not that dish.
        grid->edit(grid->currentIndex());
        grid->findChild<QComboBox *>(QStringLiteral("品名下拉"))->lineEdit()->selectAll();
        for (const QString &typed : {QStringLiteral("茄"), QStringLiteral("子")})
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, typed, Qt::NoModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(shop.line(0), (QStringList{"茄子", "2", "份", "0"}));

        // Closing the window with an editor still open must not reach a catalog that is gone.
        grid->setCurrentCell(0, 0);
        grid->edit(grid->currentIndex()); // F2 belongs to the table-code box
        QVERIFY(QApplication::focusWidget() != grid);
        shop.window.reset();
    }

    void deletingLines()
    {
        Shop shop;
        shop.choosePayment("现金支付");
        shop.order("005", "2");
        QTableWidget *grid = shop.grid();
        // Delete on the empty row does nothing and asks nothing.
        grid->setCurrentCell(1, 0);
        QTest::keyClick(grid, Qt::Key_Delete);
        QVERIFY(shop.prompter.shown.size() == 1); // the quantity box only
        shop.prompter.clear();

        grid->setCurrentCell(0, 1);
        shop.prompter.answers.enqueue(false);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(shop.prompter.shown.size(), 1);
        QCOMPARE(shop.prompter.shown.first().text, QStringLiteral("是否删除光标所在的整行数据。"));
        QCOMPARE(shop.prompter.shown.first().icon, PromptIcon::Question);
        QCOMPARE(shop.prompter.shown.first().caption, QStringLiteral("信息："));
        QCOMPARE(grid->rowCount(), 2);

        shop.prompter.answers.enqueue(true);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(grid->rowCount(), 1);
        QCOMPARE(shop.line(0), (QStringList{"", "", "", ""}));
        QCOMPARE(shop.money(), (QStringList{"0", "0", "0"}));

        // Deleting a middle line keeps the other lines and their sum.
        shop.order("001", "1");
        shop.order("002", "1");
        shop.order("003", "1");
        grid->setCurrentCell(1, 3);
        shop.prompter.answers.enqueue(true);
        shop.entry()->deleteCurrentLine();
        QCOMPARE(grid->rowCount(), 3);
        QCOMPARE(shop.line(0).first(), QStringLiteral("红烧排骨饭"));
        QCOMPARE(shop.line(1).first(), QStringLiteral("西红柿炒蛋"));
        QCOMPARE(shop.money(), (QStringList{"31", "31", "31"}));
    }

    void rightClickMenuOnlyOnLines()
    {
        Shop shop;
        shop.window->show();
        QVERIFY(QTest::qWaitForWindowActive(shop.window.get()));
        shop.order("005", "2");
        shop.order("001", "1");
        QTableWidget *grid = shop.grid();
        QMenu *menu = shop.entry()->lineMenu();
        QCOMPARE(menu->objectName(), QStringLiteral("A菜单"));
        QCOMPARE(menu->actions().size(), 1);
        QCOMPARE(menu->actions().first()->text(), QStringLiteral("删除行"));

        auto rightClick = [&](int row, int column) {
            const QPoint pos = grid->visualRect(grid->model()->index(row, column)).center();
            QContextMenuEvent event(QContextMenuEvent::Mouse, pos, grid->viewport()->mapToGlobal(pos));
            QApplication::sendEvent(grid->viewport(), &event);
        };
        grid->setCurrentCell(0, 0);
        rightClick(2, 1); // the empty row
        QVERIFY(!menu->isVisible());
        QCOMPARE(grid->currentRow(), 2);

        rightClick(1, 3);
        QVERIFY(menu->isVisible());
        QCOMPARE(grid->currentRow(), 1);
        QCOMPARE(grid->currentColumn(), 3);
        menu->hide();
        // "删除行" removes the line that was right-clicked.
        shop.prompter.answers.enqueue(true);
        menu->actions().first()->trigger();
        QCOMPARE(grid->rowCount(), 2);
        QCOMPARE(shop.line(0).first(), QStringLiteral("白菜肉水饺"));
        QCOMPARE(shop.edit("编辑框_合计")->text(), QStringLiteral("31"));
    }

    void discountAndPayment()
    {
        Shop shop;
        QComboBox *discount = shop.combo("组合框_减免");
        QLineEdit *discountAmount = shop.edit("编辑框_减免金额");
        discount->setCurrentIndex(-1);
        discountAmount->clear();
        shop.choosePayment("现金支付");

        // Without lines a discount changes nothing.
        discount->setCurrentIndex(discount->findText("立减优惠"));
        discountAmount->setText("5");
        QCOMPARE(shop.money(), (QStringList{"", "", ""}));

        shop.order("005", "2");
        shop.order("003", "1");
        shop.editCell(1, 3, "12.5");
        QCOMPARE(shop.money(), (QStringList{"38.5", "38.5", "38.5"}));

        shop.choosePayment("到付");
        QCOMPARE(shop.money(), (QStringList{"38.5", "38.5", ""}));
        shop.choosePayment("微信支付");
        QCOMPARE(shop.money(), (QStringList{"38.5", "38.5", "38.5"}));
        shop.edit("编辑框_实付")->setText("40");
        QCOMPARE(shop.money(), (QStringList{"38.5", "40", "40"}));
        shop.edit("编辑框_实付")->setText("38.5");
        QCOMPARE(shop.money(), (QStringList{"38.5", "38.5", "38.5"}));

        discountAmount->setText(QStringLiteral("８"));
        QCOMPARE(shop.money(), (QStringList{"35.5", "35.5", "35.5"}));
        discountAmount->setText(QStringLiteral("５"));
        QCOMPARE(shop.money(), (QStringList{"38.5", "38.5", "38.5"}));
        discount->setCurrentIndex(0); // the empty item: no discount
        QCOMPARE(shop.money(), (QStringList{"43.5", "43.5", "43.5"}));

        // A line change with "到付" leaves paid empty.
        shop.choosePayment("到付");
        shop.editCell(0, 1, "1");
        QCOMPARE(shop.money(), (QStringList{"28", "28", ""}));
        // A line deletion sets paid and then applies the payment rule.
        shop.grid()->setCurrentCell(0, 0);
        shop.prompter.answers.enqueue(true);
        shop.entry()->deleteCurrentLine();
        QCOMPARE(shop.money(), (QStringList{"12.5", "12.5", ""}));
    }

    void customerFoundByPhone()
    {
        Shop shop;
        QVERIFY(shop.store().execute("insert into 客户 (电话,姓名,地址) values (?,?,?)",
                                     {"13800138000", "老王's", "幸福路1号"}));
        QLineEdit *phone = shop.edit("编辑框_电话");
        QLineEdit *name = shop.edit("编辑框_姓名");
        QLineEdit *address = shop.edit("编辑框_地址");
        const QString digits = "13800138000";
        for (int i = 0; i < digits.size(); ++i) {
            QTest::keyClick(phone, digits.at(i).toLatin1());
            QCOMPARE(name->text(), i < 10 ? QString() : QStringLiteral("老王's"));
            QCOMPARE(address->text(), i < 10 ? QString() : QStringLiteral("幸福路1号"));
        }
        QTest::keyClick(phone, '1');
        QCOMPARE(name->text(), QString());
        QCOMPARE(address->text(), QString());

        phone->setText("  13800138000 ");
        QCOMPARE(name->text(), QStringLiteral("老王's"));
        phone->clear();
        QCOMPARE(name->text(), QString());
        QCOMPARE(address->text(), QString());
    }

    void tableCodeSelectsTheTable()
    {
        Shop shop;
        QComboBox *table = shop.combo("组合框_桌号");
        QTest::keyClicks(shop.edit("编辑框_时间2"), "102");
        QCOMPARE(table->count(), 12);
        QCOMPARE(table->itemText(0), QStringLiteral("号牌 1"));
        QCOMPARE(table->itemText(11), QStringLiteral("桌号 2楼2桌"));
        QCOMPARE(table->currentText(), QStringLiteral("桌号 2楼2桌"));

        shop.edit("编辑框_时间2")->setText("999");
        QCOMPARE(table->count(), 18);
        QCOMPARE(table->currentIndex(), -1);
        shop.edit("编辑框_时间2")->setText(" 1");
        QCOMPARE(table->currentIndex(), -1);

        // Dropping the list down fills it again completely.
        shop.edit("编辑框_时间2")->setText("2");
        QCOMPARE(table->count(), 2);
        table->showPopup();
        QCOMPARE(table->count(), 19); // the empty item first
        QCOMPARE(table->currentText(), QStringLiteral("号牌 2"));
        table->hidePopup();
    }

    void listsRefillBeforeTheyDropDown()
    {
        Shop shop;
        QComboBox *shopName = shop.combo("组合框_店铺名称");
        shopName->setCurrentIndex(shopName->findText("白云快餐"));
        QVERIFY(shop.store().execute("insert into 店名 (店铺名称) values (?)", {"新开分店"}));
        QVERIFY(shop.store().execute("insert into 票头设置 (票头) values (?)", {"抖音外卖"}));
        QVERIFY(shop.store().execute("insert into 减免 (减免名称) values (?)", {"会员日"}));
        const int shops = shopName->count();
        shopName->showPopup();
        QCOMPARE(shopName->count(), shops + 1);
        QCOMPARE(shopName->itemText(shops), QStringLiteral("新开分店"));
        QCOMPARE(shopName->currentText(), QStringLiteral("白云快餐"));
        shopName->hidePopup();
        for (const char *name : {"组合框_票头", "组合框_减免"}) {
            QComboBox *box = shop.combo(name);
            const int before = box->count();
            box->showPopup();
            QCOMPARE(box->count(), before + 1);
            box->hidePopup();
        }
    }

    void previewFollowsFinishedEdits()
    {
        // A form of bare controls, so the preview refreshes can be counted.
        QWidget window;
        MainForm f;
        f.window = &window;
        for (QLineEdit **e : {&f.dishCode, &f.total, &f.paid, &f.actuallyPaid, &f.discountPortions,
                              &f.discountAmount, &f.phone, &f.name, &f.address, &f.tableCode})
            *e = new QLineEdit(&window);
        for (QComboBox **c : {&f.header, &f.shopName, &f.discount, &f.paymentMethod, &f.table})
            *c = new QComboBox(&window);
        f.paymentMethod->addItems({"现金支付", "到付"});
        f.discount->addItems({"", "立减优惠"});
        f.grid = new QTableWidget(1, 4, &window);
        f.dishList = new QTableView(&window);
        f.remark = new QPlainTextEdit(&window);
        ScriptedPrompter prompter;
        AppContext context;
        context.prompter = &prompter;
        DishCatalog catalog;
        catalog.append("白菜肉水饺", "15.5", "005", "bcrsj", "份");
        const QStringList noTables;
        int refreshes = 0;
        OrderEntry entry(f, context, catalog, noTables, noTables, [&] { ++refreshes; });

        f.dishCode->setText("005");
        prompter.inputs.enqueue(QStringLiteral("2"));
        entry.chooseDish();
        QCOMPARE(refreshes, 1);
        f.grid->setCurrentCell(1, 1);
        entry.recalcCurrentLine(); // the empty row: nothing happens
        QCOMPARE(refreshes, 1);
        f.paymentMethod->setCurrentIndex(1);
        QCOMPARE(refreshes, 2);
        f.discount->setCurrentIndex(1);
        QCOMPARE(refreshes, 3);
        f.discountAmount->setText("5"); // recomputed, drawn when the field is left
        QCOMPARE(refreshes, 3);
        QCOMPARE(f.total->text(), QStringLiteral("26"));
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        f.phone->setFocus();
        f.name->setFocus();
        QCOMPARE(refreshes, 4);
        f.grid->setCurrentCell(0, 0);
        prompter.answers.enqueue(true);
        entry.deleteCurrentLine();
        QCOMPARE(refreshes, 5); // the preview does not keep the deleted line
    }

    void oneRedrawPerFinishedEdit()
    {
        // With the keyboard flow installed, as on the real window: its application-wide
        // filter sees every focus change too, and must not redraw again.
        Shop shop;
        shop.activate();
        QVERIFY(shop.panel->keyboardFlow());
        shop.edit("编辑框_电话")->setFocus();
        QTest::keyClicks(shop.edit("编辑框_电话"), "139");
        const int typed = shop.previewRedraws;
        QTest::keyClick(shop.edit("编辑框_电话"), Qt::Key_Return); // on to the name field
        QTRY_COMPARE(QApplication::focusWidget(), shop.edit("编辑框_姓名"));
        QCOMPARE(shop.previewRedraws, typed + 1);
        shop.edit("编辑框_实付")->setFocus();
        QCOMPARE(shop.previewRedraws, typed + 2);
    }

    void lastSelectionsRoundTripAndFailuresAreTold()
    {
        Shop shop;
        shop.combo("组合框_票头")->setCurrentIndex(shop.combo("组合框_票头")->findText("美团(第1联)"));
        shop.edit("编辑框_减免份数")->setText("2");
        QVERIFY(shop.panel->saveLastSelections());
        QCOMPARE(readLastSelections(shop.store()).header, QStringLiteral("美团(第1联)"));
        QCOMPARE(readLastSelections(shop.store()).discountPortions, QStringLiteral("2"));

        QVERIFY(shop.store().execute("create trigger 满 before update on 记录 when new.记录内容='付款方式' "
                                     "begin select raise(abort, 'disk full'); end"));
        shop.combo("组合框_票头")->setCurrentIndex(shop.combo("组合框_票头")->findText("淘点点"));
        QVERIFY(!shop.panel->saveLastSelections());
        QCOMPARE(shop.prompter.shown.size(), 1);
        QVERIFY(shop.prompter.shown.first().text.contains(QStringLiteral("没有保存")));
        // all or nothing: the header written before the failing key is not kept either
        QCOMPARE(readLastSelections(shop.store()).header, QStringLiteral("美团(第1联)"));
    }

    void usualOrdersGoBackOnTheWindow()
    {
        Shop shop;
        const auto add = [&](const char *time, const QList<OrderLine> &lines) {
            OrderFormTexts t;
            t.number = "1";
            t.time = time;
            t.phone = "13900001111";
            t.name = "李四";
            t.lines = lines;
            auto order = collectSettledOrder(t, 2026);
            QVERIFY(std::holds_alternative<SettledOrder>(order) && insertOrder(shop.store(), std::get<SettledOrder>(order)));
        };
        add("2026-12-01 12:00", {{"红烧排骨饭", "1", "份", "16"}, {"停售的鸭", "2", "只", "40"}});
        add("2026-12-08 12:00", {{"王老吉", "2", "瓶", "6"}});
        shop.activate();
        auto *list = shop.control<QTreeWidget>("列表_常点");
        QLineEdit *phone = shop.edit("编辑框_电话");
        const QRect remarkBefore = shop.control<QWidget>("分组框7")->geometry();

        phone->setText("1390000111"); // not a customer (yet)
        QVERIFY(!list->isVisible());
        phone->setText("13900001111");
        QVERIFY(list->isVisible());
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("王老吉×2"));
        QCOMPARE(shop.control<QWidget>("分组框7")->geometry(), remarkBefore);

        // Ctrl+2: the older order at today's prices; the dish gone from the catalog keeps
        // its stored price and unit, marked, also when its quantity changes
        QTest::keyClick(phone, Qt::Key_2, Qt::ControlModifier);
        QCOMPARE(shop.line(0), (QStringList{"红烧排骨饭", "1", "份", "18"}));
        QCOMPARE(shop.line(1), (QStringList{"停售的鸭", "2", "只", "40"}));
        QVERIFY(!shop.entry()->isLineOutOfCatalog(0));
        QVERIFY(shop.entry()->isLineOutOfCatalog(1));
        QVERIFY(shop.grid()->item(1, 0)->background().style() != Qt::NoBrush);
        QCOMPARE(shop.money().first(), QStringLiteral("58"));
        shop.editCell(1, 1, "3");
        QCOMPARE(shop.line(1), (QStringList{"停售的鸭", "3", "只", "60"}));
        QCOMPARE(shop.money().first(), QStringLiteral("78"));

        // with lines on the window the operator is asked first; No keeps them
        QVERIFY(shop.prompter.shown.isEmpty());
        shop.prompter.answers.enqueue(false);
        emit list->itemDoubleClicked(list->topLevelItem(0), 0);
        QCOMPARE(shop.prompter.shown.size(), 1);
        QCOMPARE(shop.prompter.shown.first().defaultButton, PromptDefault::No);
        QCOMPARE(shop.line(1).at(0), QStringLiteral("停售的鸭"));
        shop.prompter.answers.enqueue(true);
        emit list->itemDoubleClicked(list->topLevelItem(0), 0);
        QCOMPARE(shop.line(0), (QStringList{"王老吉", "2", "瓶", "7"}));
        QCOMPARE(shop.line(1), (QStringList{"", "", "", ""}));
        QVERIFY(!shop.entry()->isLineOutOfCatalog(0));
        QCOMPARE(phone->text(), QStringLiteral("13900001111"));

        // a third, missing row does nothing; an unknown phone hides the list
        QTest::keyClick(phone, Qt::Key_3, Qt::ControlModifier);
        QCOMPARE(shop.line(0).at(0), QStringLiteral("王老吉"));
        phone->setText("139000011112");
        QVERIFY(!list->isVisible());
        QCOMPARE(list->topLevelItemCount(), 0);
    }
};

QTEST_MAIN(TestOrderEntry)
#include "tst_orderentry.moc"
