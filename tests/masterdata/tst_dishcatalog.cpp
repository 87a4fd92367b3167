#include "core/datastore.h"
#include "masterdata/dishcatalogmodel.h"
#include "masterdata/dishrules.h"
#include "masterdata/ui/dishcatalogwindow.h"
#include "masterdata/ui/namelistwindow.h"
#include "scriptedprompter.h"
#include "testhome.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

using namespace vorlan;

namespace {

// A program folder with its template catalog and the catalog window open on it.
struct Catalog {
    TestHome home;
    ScriptedPrompter prompter;
    AppContext context;
    int closed = 0;
    std::unique_ptr<DishCatalogWindow> window;

    Catalog()
    {
        context.paths = home.paths;
        context.store = home.store.get();
        context.prompter = &prompter;
        window = std::make_unique<DishCatalogWindow>(context, [this] { ++closed; });
        window->show();
    }
    DataStore &store() { return *home.store; }
    DishCatalogModel &model() { return *window->model(); }
    int rows() { return model().size(); }
    QStringList row(int index)
    {
        const CatalogRow &r = model().row(index);
        return {r.code, r.letters, r.name, r.price, r.unit};
    }
    // The stored item of this name: code, letters, price and unit, or nothing.
    QStringList stored(const QString &name)
    {
        QStringList values;
        store().query(QStringLiteral("select 代码, 字母, 价格, 单位 from 菜单 where 菜名 = ?"), {name});
        if (!store().atEnd())
            values = {store().readText(0), store().readText(1), QString::number(store().readDouble(2)),
                      store().readText(3)};
        store().closeQuery();
        return values;
    }
    int storedCount() { return store().scalar(QStringLiteral("select count(*) from 菜单")).toInt(); }
    void select(const QString &name) { window->selectRow(model().findName(name)); }
    QString selectedName() { return window->selectedRow() < 0 ? QString() : model().row(window->selectedRow()).name; }
    QStringList messages() const { return prompter.texts(); }
};

// The add or modify window of the catalog, shown but not modal, so a test can drive it.
std::unique_ptr<DishEntryWindow> entryWindow(Catalog &c, DishEntryWindow::Mode mode)
{
    auto window = std::make_unique<DishEntryWindow>(*c.window, mode);
    window->show();
    return window;
}

// Types text as keystrokes, Chinese included.
void typeText(QWidget *widget, const QString &text)
{
    for (QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

void fill(DishEntryWindow &w, const QString &name, const QString &code, const QString &price, const QString &unit)
{
    w.nameEdit()->setText(name);
    w.codeEdit()->setText(code);
    w.priceEdit()->setText(price);
    w.unitCombo()->setCurrentIndex(w.unitCombo()->findText(unit));
}

QStringList itemTexts(QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts.append(combo->itemText(i));
    return texts;
}

} // namespace

class TestDishCatalog : public QObject
{
    Q_OBJECT
private slots:
    void listWindowShowsTheCatalog()
    {
        Catalog c;
        DishCatalogWindow &w = *c.window;
        QCOMPARE(w.objectName(), QStringLiteral("菜单设置"));
        QCOMPARE(w.windowTitle(), QStringLiteral("商品设置"));
        QCOMPARE(w.size(), QSize(491, 492));
        QTableView *list = w.findChild<QTableView *>(QStringLiteral("超级列表框1"));
        QVERIFY(list);
        QVERIFY(list->isColumnHidden(0));
        QStringList headers;
        for (int col = 1; col < 6; ++col)
            headers.append(list->model()->headerData(col, Qt::Horizontal).toString());
        QCOMPARE(headers, QStringList({"数字代号", "字母代号", "品名", "价格", "单位"}));
        QCOMPARE(list->columnWidth(1), 90);
        QCOMPARE(list->columnWidth(3), 130);
        QCOMPARE(w.findChild<QPushButton *>(QStringLiteral("按钮1"))->text(), QStringLiteral("添加"));
        QCOMPARE(w.findChild<QPushButton *>(QStringLiteral("按钮2"))->text(), QStringLiteral("删除"));
        QCOMPARE(w.findChild<QPushButton *>(QStringLiteral("按钮3"))->text(), QStringLiteral("修改"));
        QMenu *menu = w.findChild<QMenu *>(QStringLiteral("菜单"));
        QCOMPARE(menu->actions().size(), 3);
        QCOMPARE(menu->actions().at(0)->text(), QStringLiteral("修改"));
        QVERIFY(menu->actions().at(1)->isSeparator());
        QCOMPARE(menu->actions().at(2)->text(), QStringLiteral("删除"));

        QCOMPARE(c.rows(), 28);
        QCOMPARE(c.row(0), QStringList({"001", "hspgf", "红烧排骨饭", "18", "份"}));
        QCOMPARE(c.row(4), QStringList({"005", "bcrsj", "白菜肉水饺", "15.5", "份"}));
        QCOMPARE(list->model()->data(list->model()->index(4, 0)).toString(), QString());
        QCOMPARE(w.selectedRow(), -1);
    }

    void pricesAreListedInTheirShortestForm()
    {
        TestHome home;
        QVERIFY(home.store->execute(QStringLiteral("delete from 菜单")));
        int n = 0;
        for (const QVariant &price : {QVariant(12.5), QVariant(8.0), QVariant(QStringLiteral("12.50")), QVariant(0.1),
                                      QVariant(double(15.3f))})
            QVERIFY(home.store->execute(QStringLiteral("insert into 菜单 (代码,菜名,价格,单位) values (?,?,?,'份')"),
                                        {QString::number(++n), QString::number(n), price}));
        DishCatalogModel model;
        QVERIFY(model.load(*home.store));
        QStringList prices;
        for (int i = 0; i < model.size(); ++i)
            prices.append(model.row(i).price);
        QCOMPARE(prices, QStringList({"12.5", "8", "12.5", "0.1", "15.3"}));
    }

    void letterCodeFollowsTheTypedName()
    {
        Catalog c;
        auto w = entryWindow(c, DishEntryWindow::Mode::Add);
        QCOMPARE(w->objectName(), QStringLiteral("项目或菜品添加"));
        QCOMPARE(w->windowTitle(), QStringLiteral("项目添加"));
        QCOMPARE(w->size(), QSize(380, 251));
        QCOMPARE(w->findChild<QLabel *>(QStringLiteral("透明标签3"))->text(), QStringLiteral("商品名称"));
        QCOMPARE(w->findChild<QPushButton *>(QStringLiteral("按钮1"))->text(), QStringLiteral("添加"));
        QCOMPARE(w->findChild<QPushButton *>(QStringLiteral("按钮8"))->text(), QStringLiteral("…"));

        QStringList seen;
        for (const QString &ch : {QStringLiteral("酸"), QStringLiteral("辣"), QStringLiteral("土"), QStringLiteral("豆"),
                                 QStringLiteral("丝")}) {
            typeText(w->nameEdit(), ch);
            seen.append(w->lettersEdit()->text());
        }
        QCOMPARE(w->nameEdit()->text(), QStringLiteral("酸辣土豆丝"));
        QCOMPARE(seen, QStringList({"s", "sl", "slt", "sltd", "sltds"}));
        // The operator may change the letter code; a later change of the name derives it anew.
        w->lettersEdit()->setText(QStringLiteral("tds"));
        typeText(w->nameEdit(), QStringLiteral("2"));
        QCOMPARE(w->lettersEdit()->text(), QStringLiteral("sltds2"));
    }

    void addedItemIsStoredListedAndTheFieldsEmptied()
    {
        Catalog c;
        auto w = entryWindow(c, DishEntryWindow::Mode::Add);
        // Nothing chosen, but the units are offered.
        QCOMPARE(w->unitCombo()->currentIndex(), -1);
        QCOMPARE(itemTexts(w->unitCombo()).first(), QStringLiteral("份"));
        fill(*w, QStringLiteral("  酸辣土豆丝　"), QStringLiteral(" 301 "), QStringLiteral("12.34"), QStringLiteral("碟"));
        w->findChild<QPushButton *>(QStringLiteral("按钮1"))->click();

        QCOMPARE(c.prompter.shown.size(), 1);
        QCOMPARE(c.prompter.shown.first().text, QStringLiteral("保存完成。"));
        QCOMPARE(c.prompter.shown.first().icon, PromptIcon::None);
        QCOMPARE(c.stored(QStringLiteral("酸辣土豆丝")), QStringList({"301", "sltds", "12.3", "碟"}));
        QCOMPARE(c.rows(), 29);
        QCOMPARE(c.row(28), QStringList({"301", "sltds", "酸辣土豆丝", "12.3", "碟"}));
        QCOMPARE(c.window->selectedRow(), 28);
        for (QLineEdit *e : {w->codeEdit(), w->lettersEdit(), w->nameEdit(), w->priceEdit()})
            QVERIFY2(e->text().isEmpty(), qPrintable(e->objectName()));
        QCOMPARE(w->unitCombo()->currentText(), QStringLiteral("碟"));
        QVERIFY(w->isVisible());

        // 0.05 rounds up to 0.1.
        fill(*w, QStringLiteral("葱花"), QStringLiteral("302"), QStringLiteral("0.05"), QStringLiteral("碟"));
        w->confirm();
        QCOMPARE(c.stored(QStringLiteral("葱花")), QStringList({"302", "ch", "0.1", "碟"}));
        QCOMPARE(c.row(29).at(3), QStringLiteral("0.1"));
    }

    void addRefusals_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("message");
        QTest::newRow("no code") << "" << "烧饼" << "3" << "个" << "数字代号不能为空，请输入代号后重试。";
        QTest::newRow("blank code") << " \u3000 " << "烧饼" << "3" << "个" << "数字代号不能为空，请输入代号后重试。";
        QTest::newRow("blank name") << "401" << "\u3000 " << "3" << "个" << "名称不能为空，请输入名称后重试。";
        QTest::newRow("price 0.04") << "401" << "烧饼" << "0.04" << "个" << "价格不能小于或者等于0，请输入价格后重试。";
        QTest::newRow("no price") << "401" << "烧饼" << "" << "个" << "价格不能小于或者等于0，请输入价格后重试。";
        QTest::newRow("no unit") << "401" << "烧饼" << "3" << "" << "没有选择项目的计量单位，请选择后重试。";
        // The first broken rule is told.
        QTest::newRow("all empty") << "" << "" << "" << "" << "数字代号不能为空，请输入代号后重试。";
    }
    void addRefusals()
    {
        QFETCH(QString, code);
        QFETCH(QString, name);
        QFETCH(QString, price);
        QFETCH(QString, unit);
        QFETCH(QString, message);
        Catalog c;
        auto w = entryWindow(c, DishEntryWindow::Mode::Add);
        fill(*w, name, code, price, unit);
        w->confirm();
        QCOMPARE(c.messages(), QStringList{message});
        QCOMPARE(c.prompter.shown.first().caption, QStringLiteral("提示"));
        QCOMPARE(c.prompter.shown.first().icon, PromptIcon::Information);
        QCOMPARE(c.storedCount(), 28);
        QCOMPARE(c.rows(), 28);
        // The fields keep what was typed.
        QCOMPARE(w->nameEdit()->text(), name);
        QCOMPARE(w->priceEdit()->text(), price);
    }

    void duplicateCodeOrNameSelectsTheExistingRow()
    {
        Catalog c;
        auto w = entryWindow(c, DishEntryWindow::Mode::Add);
        fill(*w, QStringLiteral("新菜"), QStringLiteral("015"), QStringLiteral("10"), QStringLiteral("份"));
        w->confirm();
        QCOMPARE(c.messages(), QStringList{"代号已经存在，不能重复添加。"});
        QCOMPARE(c.selectedName(), QStringLiteral("酸菜鱼"));

        c.prompter.clear();
        fill(*w, QStringLiteral("王老吉"), QStringLiteral("999"), QStringLiteral("10"), QStringLiteral("份"));
        w->confirm();
        QCOMPARE(c.messages(), QStringList{"名称已经存在，不能重复添加。"});
        QCOMPARE(c.window->selectedRow(), 26);
        QCOMPARE(c.storedCount(), 28);

        // The code is compared exactly: 15 is not 015.
        c.prompter.clear();
        fill(*w, QStringLiteral("新菜"), QStringLiteral("15"), QStringLiteral("10"), QStringLiteral("份"));
        w->confirm();
        QCOMPARE(c.messages(), QStringList{"保存完成。"});
    }

    void namesWithQuotesAreStoredAsTyped()
    {
        Catalog c;
        auto w = entryWindow(c, DishEntryWindow::Mode::Add);
        const QString name = QStringLiteral("老王's 'special' 面");
        fill(*w, name, QStringLiteral("501"), QStringLiteral("9"), QStringLiteral("碗"));
        w->confirm();
        QCOMPARE(c.messages(), QStringList{"保存完成。"});
        QCOMPARE(c.stored(name), QStringList({"501", "lw's 'special' m", "9", "碗"}));

        c.prompter.clear();
        c.prompter.answers.enqueue(true);
        c.select(name);
        c.window->deleteItem();
        QCOMPARE(c.messages().last(), QStringLiteral("处理成功。"));
        QVERIFY(c.stored(name).isEmpty());
    }

    void modifyWindowStartsFromTheSelectedRow()
    {
        Catalog c;
        c.window->modifyItem();
        QCOMPARE(c.messages(), QStringList{"请选择要修改的项目。"});
        QCOMPARE(c.prompter.shown.first().icon, PromptIcon::Information);

        c.select(QStringLiteral("香菇猪肉水饺"));
        auto w = entryWindow(c, DishEntryWindow::Mode::Modify);
        QCOMPARE(w->objectName(), QStringLiteral("项目或菜品修改"));
        QCOMPARE(w->windowTitle(), QStringLiteral("项目修改"));
        QCOMPARE(w->findChild<QLabel *>(QStringLiteral("透明标签3"))->text(), QStringLiteral("商品名称"));
        QCOMPARE(w->findChild<QPushButton *>(QStringLiteral("按钮1"))->text(), QStringLiteral("修改"));
        QCOMPARE(w->codeEdit()->text(), QStringLiteral("006"));
        QCOMPARE(w->lettersEdit()->text(), QStringLiteral("xgzrsj"));
        QCOMPARE(w->nameEdit()->text(), QStringLiteral("香菇猪肉水饺"));
        QCOMPARE(w->priceEdit()->text(), QStringLiteral("16"));
        QCOMPARE(w->unitCombo()->currentText(), QStringLiteral("碗"));
        QCOMPARE(itemTexts(w->unitCombo()), QStringList({"份", "碗", "碟", "瓶", "罐", "包", "箱", "串", "个", "盒"}));
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QVERIFY(w->codeEdit()->hasFocus());
        QCOMPARE(w->codeEdit()->cursorPosition(), 3);
        QVERIFY(!w->codeEdit()->hasSelectedText());
        // The modify window derives no letter code.
        w->nameEdit()->setText(QStringLiteral("香菇猪肉水饺"));
        QCOMPARE(w->lettersEdit()->text(), QStringLiteral("xgzrsj"));
    }

    void modifyRewritesTheItem()
    {
        Catalog c;
        c.select(QStringLiteral("香菇猪肉水饺"));
        auto w = entryWindow(c, DishEntryWindow::Mode::Modify);
        // Another item's code is accepted here.
        w->codeEdit()->setText(QStringLiteral("001"));
        w->lettersEdit()->setText(QStringLiteral("xgsj"));
        w->priceEdit()->setText(QStringLiteral("17.25"));
        w->unitCombo()->setCurrentIndex(w->unitCombo()->findText(QStringLiteral("盒")));
        w->findChild<QPushButton *>(QStringLiteral("按钮1"))->click();
        QCOMPARE(c.messages(), QStringList{"修改完成。"});
        QCOMPARE(c.prompter.shown.first().icon, PromptIcon::None);
        QCOMPARE(c.stored(QStringLiteral("香菇猪肉水饺")), QStringList({"001", "xgsj", "17.3", "盒"}));
        QCOMPARE(c.row(5), QStringList({"001", "xgsj", "香菇猪肉水饺", "17.3", "盒"}));
        QCOMPARE(c.window->selectedRow(), 5);
        QVERIFY(!w->isVisible());
        QCOMPARE(w->result(), int(QDialog::Accepted));
        QCOMPARE(c.stored(QStringLiteral("红烧排骨饭")).first(), QStringLiteral("001"));
    }

    void modifyRefusals()
    {
        Catalog c;
        c.select(QStringLiteral("香菇猪肉水饺"));
        auto w = entryWindow(c, DishEntryWindow::Mode::Modify);
        w->priceEdit()->setText(QStringLiteral("0.04"));
        w->confirm();
        QCOMPARE(c.messages(), QStringList{"价格不能小于或者等于0，请输入价格后重试。"});

        c.prompter.clear();
        w->priceEdit()->setText(QStringLiteral("16"));
        w->nameEdit()->setText(QStringLiteral("香菇水饺"));
        w->confirm();
        QCOMPARE(c.messages(), QStringList{"名称不存在，无法完成修改。"});
        QCOMPARE(c.prompter.shown.first().icon, PromptIcon::Information);
        QVERIFY(w->isVisible());
        QCOMPARE(c.stored(QStringLiteral("香菇猪肉水饺")).at(2), QStringLiteral("16"));
        QVERIFY(c.stored(QStringLiteral("香菇水饺")).isEmpty());
    }

    // A name changed to another item's would rewrite that other item: the operator is asked.
    void renamingToAnotherItemAsksFirst()
    {
        Catalog c;
        c.select(QStringLiteral("香菇猪肉水饺"));
        auto w = entryWindow(c, DishEntryWindow::Mode::Modify);
        w->nameEdit()->setText(QStringLiteral("大葱猪肉水饺"));
        w->priceEdit()->setText(QStringLiteral("20"));
        w->confirm(); // answered No
        QCOMPARE(c.prompter.shown.size(), 1);
        QCOMPARE(c.prompter.shown.first().kind, QStringLiteral("ask"));
        QCOMPARE(c.prompter.shown.first().icon, PromptIcon::Question);
        QCOMPARE(c.prompter.shown.first().defaultButton, PromptDefault::No); // Enter keeps the other item
        QVERIFY(c.prompter.shown.first().text.contains(QStringLiteral("大葱猪肉水饺")));
        QCOMPARE(c.stored(QStringLiteral("大葱猪肉水饺")), QStringList({"007", "dczrsj", "16", "份"}));
        QCOMPARE(c.stored(QStringLiteral("香菇猪肉水饺")), QStringList({"006", "xgzrsj", "16", "碗"}));
        QVERIFY(w->isVisible());

        c.prompter.clear();
        c.prompter.answers.enqueue(true);
        w->confirm();
        QCOMPARE(c.messages().last(), QStringLiteral("修改完成。"));
        QCOMPARE(c.stored(QStringLiteral("大葱猪肉水饺")), QStringList({"006", "xgzrsj", "20", "碗"}));
        QCOMPARE(c.row(6), QStringList({"006", "xgzrsj", "大葱猪肉水饺", "20", "碗"}));
        QCOMPARE(c.selectedName(), QStringLiteral("大葱猪肉水饺"));
    }

    void deleteAsksAndRemovesTheRow()
    {
        Catalog c;
        c.window->deleteItem();
        QCOMPARE(c.messages(), QStringList{"请选择要删除的项目。"});
        QCOMPARE(c.prompter.shown.first().icon, PromptIcon::Information);

        c.prompter.clear();
        c.select(QStringLiteral("酸菜鱼"));
        c.window->findChild<QPushButton *>(QStringLiteral("按钮2"))->click(); // answered No
        QCOMPARE(c.messages(), QStringList{"是否删除：酸菜鱼 ?"});
        QCOMPARE(c.prompter.shown.first().caption, QStringLiteral("信息："));
        QCOMPARE(c.prompter.shown.first().icon, PromptIcon::Question);
        QCOMPARE(c.rows(), 28);
        QCOMPARE(c.storedCount(), 28);

        c.prompter.clear();
        c.prompter.answers.enqueue(true);
        c.window->deleteItem();
        QCOMPARE(c.messages(), QStringList({"是否删除：酸菜鱼 ?", "处理成功。"}));
        QCOMPARE(c.prompter.shown.last().icon, PromptIcon::None);
        QCOMPARE(c.rows(), 27);
        QVERIFY(c.stored(QStringLiteral("酸菜鱼")).isEmpty());
        // The row that took its place is selected.
        QCOMPARE(c.selectedName(), QStringLiteral("花菜肉片"));
    }

    void deletingTheLastRowSelectsTheNewLastRow()
    {
        Catalog c;
        c.window->selectRow(27);
        c.prompter.answers.enqueue(true);
        c.window->deleteItem();
        QCOMPARE(c.rows(), 27);
        QCOMPARE(c.window->selectedRow(), 26);
        QCOMPARE(c.selectedName(), QStringLiteral("王老吉"));

        // Down to an empty list: nothing left to select.
        for (int i = 0; i < 27; ++i) {
            c.prompter.answers.enqueue(true);
            c.window->deleteItem();
        }
        QCOMPARE(c.rows(), 0);
        QCOMPARE(c.storedCount(), 0);
        QCOMPARE(c.window->selectedRow(), -1);
    }

    // Only the item with both the code and the name is deleted.
    void deleteKeepsItemsSharingTheCode()
    {
        Catalog c;
        c.select(QStringLiteral("香菇猪肉水饺"));
        auto w = entryWindow(c, DishEntryWindow::Mode::Modify);
        w->codeEdit()->setText(QStringLiteral("001"));
        w->confirm();
        c.select(QStringLiteral("红烧排骨饭"));
        c.prompter.answers.enqueue(true);
        c.window->deleteItem();
        QVERIFY(c.stored(QStringLiteral("红烧排骨饭")).isEmpty());
        QCOMPARE(c.stored(QStringLiteral("香菇猪肉水饺")).first(), QStringLiteral("001"));
    }

    void deleteKeyAndPopupMenu()
    {
        Catalog c;
        QTableView *list = c.window->list();
        QVERIFY(QTest::qWaitForWindowExposed(c.window.get()));
        const QPoint onRow = list->visualRect(c.model().index(2, 3)).center();

        // A right click with nothing selected opens nothing.
        emit list->customContextMenuRequested(onRow);
        QVERIFY(!c.window->popupMenu()->isVisible());

        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onRow);
        QCOMPARE(c.window->selectedRow(), 2);
        emit list->customContextMenuRequested(onRow);
        QVERIFY(c.window->popupMenu()->isVisible());
        c.window->popupMenu()->hide();

        // The menu's 删除 and the Delete key both delete.
        c.prompter.answers.enqueue(true);
        c.window->popupMenu()->actions().at(2)->trigger();
        QCOMPARE(c.messages(), QStringList({"是否删除：西红柿炒蛋 ?", "处理成功。"}));
        c.prompter.clear();
        c.prompter.answers.enqueue(true);
        QTest::keyRelease(list, Qt::Key_Delete);
        QCOMPARE(c.messages(), QStringList({"是否删除：金针菇肉片 ?", "处理成功。"}));
        QCOMPARE(c.rows(), 26);
    }

    void doubleClickAndButtonOpenTheirWindows()
    {
        Catalog c;
        QVERIFY(QTest::qWaitForWindowExposed(c.window.get()));
        QStringList opened;
        // Notes the modal window that opens next and closes it; the timer goes with the test.
        QTimer timer;
        timer.setSingleShot(true);
        connect(&timer, &QTimer::timeout, this, [&] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                opened.append(modal->objectName());
                if (auto *entry = qobject_cast<DishEntryWindow *>(modal))
                    opened.append(entry->nameEdit()->text());
                static_cast<QDialog *>(modal)->reject();
            }
        });
        timer.start(0);
        c.window->findChild<QPushButton *>(QStringLiteral("按钮1"))->click();
        QTableView *list = c.window->list();
        const QPoint onRow = list->visualRect(c.model().index(1, 3)).center();
        timer.start(0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onRow);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, onRow);
        QCOMPARE(opened, QStringList({"项目或菜品添加", "", "项目或菜品修改", "茄子豆角"}));
        QVERIFY(c.prompter.shown.isEmpty());
    }

    void closingRunsTheCallback()
    {
        Catalog c;
        QCOMPARE(c.closed, 0);
        c.window->close();
        QCOMPARE(c.closed, 1);
    }

    // A unit added through 按钮8 is offered at once; the add window's choice is cleared,
    // the modify window chooses the item's unit again.
    void unitWindowRefillsTheEntryWindows()
    {
        Catalog c;
        auto add = entryWindow(c, DishEntryWindow::Mode::Add);
        add->unitCombo()->setCurrentIndex(add->unitCombo()->findText(QStringLiteral("碗")));
        QTimer timer;
        timer.setSingleShot(true);
        connect(&timer, &QTimer::timeout, this, [&] {
            auto *units = qobject_cast<NameListWindow *>(QApplication::activeModalWidget());
            QVERIFY(units);
            QCOMPARE(units->objectName(), QStringLiteral("计量单位设置"));
            QCOMPARE(units->parentWidget(), c.window.get());
            units->comboBox()->setEditText(QStringLiteral("斤"));
            units->addName();
            units->reject();
        });
        timer.start(0);
        add->findChild<QPushButton *>(QStringLiteral("按钮8"))->click();
        QCOMPARE(c.messages(), QStringList{"保存完成"});
        QCOMPARE(itemTexts(add->unitCombo()).last(), QStringLiteral("斤"));
        QCOMPARE(add->unitCombo()->currentIndex(), -1);

        c.select(QStringLiteral("香菇猪肉水饺"));
        auto modify = entryWindow(c, DishEntryWindow::Mode::Modify);
        modify->unitCombo()->setCurrentIndex(0);
        QVERIFY(c.store().execute(QStringLiteral("insert into 单位 (单位名称) values ('两')")));
        modify->refillUnits();
        QCOMPARE(itemTexts(modify->unitCombo()).last(), QStringLiteral("两"));
        QCOMPARE(modify->unitCombo()->currentText(), QStringLiteral("碗"));
    }

    void addWindowRefillsItsUnitsWhenTheyDropDown()
    {
        Catalog c;
        auto w = entryWindow(c, DishEntryWindow::Mode::Add);
        w->unitCombo()->setCurrentIndex(w->unitCombo()->findText(QStringLiteral("串")));
        QVERIFY(c.store().execute(QStringLiteral("insert into 单位 (单位名称) values ('斤')")));
        QVERIFY(!itemTexts(w->unitCombo()).contains(QStringLiteral("斤")));
        w->unitCombo()->showPopup();
        w->unitCombo()->hidePopup();
        QCOMPARE(itemTexts(w->unitCombo()).last(), QStringLiteral("斤"));
        QCOMPARE(w->unitCombo()->currentText(), QStringLiteral("串"));
    }

    // A write the database refuses is told, and the list stays as the table is.
    void refusedWritesAreTold()
    {
        Catalog c;
        auto w = entryWindow(c, DishEntryWindow::Mode::Add);
        c.select(QStringLiteral("酸菜鱼"));
        auto modify = entryWindow(c, DishEntryWindow::Mode::Modify);
        QVERIFY(c.store().execute(QStringLiteral("create trigger 只读 before insert on 菜单 begin select raise(abort, 'read only'); end")));
        QVERIFY(c.store().execute(QStringLiteral("create trigger 只读2 before update on 菜单 begin select raise(abort, 'read only'); end")));
        QVERIFY(c.store().execute(QStringLiteral("create trigger 只读3 before delete on 菜单 begin select raise(abort, 'read only'); end")));

        fill(*w, QStringLiteral("烧饼"), QStringLiteral("401"), QStringLiteral("3"), QStringLiteral("个"));
        w->confirm();
        QCOMPARE(c.messages(), QStringList{"保存失败，请重试。"});
        QCOMPARE(c.rows(), 28);
        QCOMPARE(w->nameEdit()->text(), QStringLiteral("烧饼"));

        c.prompter.clear();
        modify->priceEdit()->setText(QStringLiteral("30"));
        modify->confirm();
        QCOMPARE(c.messages(), QStringList{"修改失败，请重试。"});
        QCOMPARE(c.row(14).at(3), QStringLiteral("16"));
        QVERIFY(modify->isVisible());

        c.prompter.clear();
        c.prompter.answers.enqueue(true);
        c.window->deleteItem();
        QCOMPARE(c.messages(), QStringList({"是否删除：酸菜鱼 ?", "删除失败，请重试。"}));
        QCOMPARE(c.rows(), 28);
    }
};

QTEST_MAIN(TestDishCatalog)
#include "tst_dishcatalog.moc"
