#include "app/mainwindow.h"
#include "core/datastore.h"
#include "masterdata/dishcatalogmodel.h"
#include "masterdata/ui/dishcatalogwindow.h"
#include "masterdata/ui/namelistwindow.h"
#include "order/dishlistmodel.h"
#include "order/ui/orderentry.h"
#include "programfolder.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace vorlan;

namespace {

// The real main window; the catalog and name-list windows are opened from its toolbar
// and settings menu as the operator does.
struct Shop : ProgramFolder {
    std::unique_ptr<MainWindow> window;
    Shop()
    {
        window = std::make_unique<MainWindow>(context);
        if (!window->start())
            qFatal("main window did not start");
    }
    // Triggers the action; `work` runs inside the modal window it opens, which is then closed.
    template<typename Window>
    void inModalWindow(const QString &action, std::function<void(Window &)> work)
    {
        bool ran = false;
        QTimer timer; // goes with this call, should no window open
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            auto *modal = qobject_cast<Window *>(QApplication::activeModalWidget());
            if (modal) {
                work(*modal);
                ran = true;
                modal->close();
            }
        });
        timer.start(0);
        QAction *entry = window->menuAction(action);
        QVERIFY(entry && entry->isEnabled());
        entry->trigger();
        QVERIFY(ran);
    }
    QStringList listedNames()
    {
        const DishListModel *model = window->orderEntry()->dishListModel();
        QStringList names;
        for (int row = 0; row < model->rowCount(); ++row)
            names.append(model->data(model->index(row, DishListModel::NameColumn)).toString());
        return names;
    }
};

} // namespace

class TestMasterDataMain : public QObject
{
    Q_OBJECT
private slots:
    void newItemIsFoundRightAfterTheCatalogCloses()
    {
        Shop shop;
        QLineEdit *code = shop.window->findChild<QLineEdit *>(QStringLiteral("编辑框_项目代号"));
        shop.inModalWindow<DishCatalogWindow>(QStringLiteral("商品管理"), [&](DishCatalogWindow &catalog) {
            QCOMPARE(catalog.parentWidget(), shop.window.get());
            QCOMPARE(catalog.model()->size(), 28);
            DishEntryWindow add(catalog, DishEntryWindow::Mode::Add);
            add.nameEdit()->setText(QStringLiteral("酸辣土豆丝"));
            add.codeEdit()->setText(QStringLiteral("301"));
            add.priceEdit()->setText(QStringLiteral("12"));
            add.unitCombo()->setCurrentIndex(0);
            add.confirm();
            // Not yet: the order window's catalog is reloaded when this window closes.
            QCOMPARE(shop.window->dishCatalog().size(), 28);
        });
        QCOMPARE(shop.prompter.texts(), QStringList{"保存完成。"});
        QCOMPARE(shop.window->dishCatalog().size(), 29);
        QTest::keyClicks(code, "301");
        QCOMPARE(shop.listedNames(), QStringList{"酸辣土豆丝"});
        code->clear();
        QTest::keyClicks(code, "sltds");
        QCOMPARE(shop.listedNames(), QStringList{"酸辣土豆丝"});
    }

    void deletedItemIsGoneFromTheListedDishes()
    {
        Shop shop;
        QLineEdit *code = shop.window->findChild<QLineEdit *>(QStringLiteral("编辑框_项目代号"));
        QTest::keyClicks(code, "wlj");
        QCOMPARE(shop.listedNames(), QStringList{"王老吉"});
        shop.prompter.answers.enqueue(true);
        shop.inModalWindow<DishCatalogWindow>(QStringLiteral("商品管理"), [&](DishCatalogWindow &catalog) {
            catalog.selectRow(catalog.model()->findName(QStringLiteral("王老吉")));
            catalog.deleteItem();
        });
        QVERIFY(shop.listedNames().isEmpty());
    }

    void nameListsRefillTheOrderCombos_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("combo");
        QTest::newRow("票头") << "票头设置" << "票头设置" << "组合框_票头";
        QTest::newRow("店名") << "店名设置" << "店铺名称设置" << "组合框_店铺名称";
        QTest::newRow("减免") << "减免设置" << "优惠减免设置" << "组合框_减免";
    }
    void nameListsRefillTheOrderCombos()
    {
        QFETCH(QString, item);
        QFETCH(QString, window);
        QFETCH(QString, combo);
        Shop shop;
        auto *box = shop.window->findChild<QComboBox *>(combo);
        const QString chosen = box->currentText();
        shop.inModalWindow<NameListWindow>(item, [&](NameListWindow &names) {
            QCOMPARE(names.objectName(), window);
            names.comboBox()->setEditText(QStringLiteral("新名字"));
            names.addName();
        });
        QCOMPARE(shop.prompter.texts(), QStringList{"保存完成"});
        QCOMPARE(box->itemText(box->count() - 1), QStringLiteral("新名字"));
        QCOMPARE(box->currentText(), chosen);
    }
};

QTEST_MAIN(TestMasterDataMain)
#include "tst_masterdatamain.moc"
