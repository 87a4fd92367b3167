#include "app/mainwindow.h"
#include "app/weborderingbridge.h"
#include "core/datastore.h"
#include "core/numbers.h"
#include "masterdata/namelists.h"
#include "order/ui/orderactions.h"
#include "order/ui/orderentry.h"
#include "receipt/printbackend.h"
#include "programfolder.h"
#include "webordering/ui/weborderswindow.h"
#include "webordertable.h"

#include "core/recordkeys.h"
#include "core/recordtable.h"

#include <QComboBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

using namespace vorlan;

namespace {

// A started main window whose waiting orders are those of a test table: one for table
// A3 with two dishes of the catalog and one that is gone from it, one for pick-up.
struct Shop {
    ProgramFolder home;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<WebOrderTable> table;
    qint64 dineIn = 0, pickUp = 0;

    Shop()
    {
        window = std::make_unique<MainWindow>(home.context);
        window->show();
        QVERIFY(window->start());
        QVERIFY(home.context.store->execute("insert into 桌号 (代号, 桌号名称) values ('A3', '大厅3')"));
        window->loadTableList();
        table = std::make_unique<WebOrderTable>(*home.context.store);
        const DishCatalog &c = window->dishCatalog();
        dineIn = table->add("A3", "", "少辣", {{c.codes[0], c.names[0], c.units[0], c.prices[0].toDouble(), 2},
                                              {c.codes[1], c.names[1], c.units[1], c.prices[1].toDouble(), 1},
                                              {"999", "已下架的菜", "份", 9.5, 1}});
        pickUp = table->add("", "13812345678", "", {{c.codes[2], c.names[2], c.units[2], c.prices[2].toDouble(), 3}});
        window->webOrders()->setOrderFunctions(table->functions());
        window->webOrders()->refreshCount();
    }
    ScriptedPrompter &prompter() { return home.prompter; }
    const MainForm &form() const { return window->form(); }
};

} // namespace

class TestWebOrdersWindow : public QObject
{
    Q_OBJECT
private slots:
    void storedSettingsServeThePage_data()
    {
        QTest::addColumn<bool>("portTaken");
        QTest::newRow("free port") << false;
        QTest::newRow("port in use") << true;
    }

    // The main window serves the page on the stored port; a port another program holds
    // is told once and the till works on.
    void storedSettingsServeThePage()
    {
        QFETCH(bool, portTaken);
        Shop shop;
        QTcpServer other;
        QVERIFY(other.listen(QHostAddress::Any));
        const quint16 port = other.serverPort();
        if (!portTaken)
            other.close();
        RecordTable records(*shop.home.context.store);
        QVERIFY(records.write(recordkey::WebOrderPort, QString::number(port)));
        QVERIFY(records.write(recordkey::WebOrderToken, QStringLiteral("abcdEFGH23456789")));
        shop.prompter().clear();
        shop.window->webOrders()->restartServer();
        QCOMPARE(shop.prompter().shown.size(), portTaken ? 1 : 0);
        if (portTaken)
            return;
        QTcpSocket client;
        client.connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(client.waitForConnected(3000));
        client.write("GET /api/catalog?t=wrong HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(client.bytesAvailable() > 0 || client.state() != QAbstractSocket::ConnectedState, 3000);
        QVERIFY(client.readAll().startsWith("HTTP/1.1 403"));
        // switched off: nothing listens any more
        QVERIFY(records.write(recordkey::WebOrderPort, QString()));
        shop.window->webOrders()->restartServer();
        QTcpSocket late;
        late.connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(!late.waitForConnected(1000));
    }

    void buttonCountsAndBlinks()
    {
        Shop shop;
        QToolButton *button = shop.window->findChild<QToolButton *>("按钮_网络订单");
        QVERIFY(button);
        QCOMPARE(button->text(), QStringLiteral("网络订单(2)"));
        QStringList styles;
        for (int i = 0; i < 2; ++i) {
            shop.window->onClockTick();
            styles.append(button->styleSheet());
        }
        QVERIFY(!styles[0].isEmpty() && styles[0] != styles[1]); // it blinks
        shop.table->functions().reject(shop.dineIn, "x");
        shop.table->functions().reject(shop.pickUp, "x");
        for (int i = 0; i < WebOrderLink::kCountEveryTicks; ++i)
            shop.window->onClockTick();
        QCOMPARE(button->text(), QStringLiteral("网络订单"));
        QVERIFY(button->styleSheet().isEmpty());
    }

    void listsWaitingOrders()
    {
        Shop shop;
        shop.table->functions().reject(shop.table->add("B1", "", "", {{"1", "面", "碗", 8, 1}}), "卖完了");
        auto window = shop.window->webOrders()->makeWindow();
        QTreeWidget *list = window->findChild<QTreeWidget *>("列表_网络订单");
        QCOMPARE(window->objectName(), QStringLiteral("网络订单"));
        QCOMPARE(list->topLevelItemCount(), 2); // the rejected one is not listed
        const DishCatalog &c = shop.window->dishCatalog();
        QTreeWidgetItem *first = list->topLevelItem(0);
        QCOMPARE(first->text(WebOrdersWindow::TableColumn), QStringLiteral("A3"));
        QCOMPARE(first->text(WebOrdersWindow::ItemsColumn), c.names[0] + "×2 " + c.names[1] + " 已下架的菜");
        QCOMPARE(first->text(WebOrdersWindow::TotalColumn),
                 formatDouble(c.prices[0].toDouble() * 2 + c.prices[1].toDouble() + 9.5));
        QCOMPARE(list->topLevelItem(1)->text(WebOrdersWindow::PhoneColumn), QStringLiteral("13812345678"));
        QVERIFY(!first->text(WebOrdersWindow::TimeColumn).isEmpty());
    }

    void acceptFillsOrderPanel_data()
    {
        QTest::addColumn<bool>("unfinished");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("taken");
        QTest::newRow("empty panel") << false << false << true;
        QTest::newRow("unfinished, cleared") << true << true << true;
        QTest::newRow("unfinished, kept") << true << false << false;
    }
    void acceptFillsOrderPanel()
    {
        QFETCH(bool, unfinished);
        QFETCH(bool, answer);
        QFETCH(bool, taken);
        Shop shop;
        if (unfinished)
            shop.form().phone->setText("13900000000");
        shop.prompter().answers.enqueue(answer);
        auto window = shop.window->webOrders()->makeWindow();
        window->show();
        window->acceptSelected();
        QCOMPARE(shop.prompter().shown.size(), unfinished ? 1 : 0);
        if (unfinished)
            QCOMPARE(shop.prompter().shown[0].defaultButton, PromptDefault::No);
        QCOMPARE(shop.table->state(shop.dineIn), taken ? QStringLiteral("accepted") : QStringLiteral("waiting"));
        QCOMPARE(window->isVisible(), !taken);
        if (!taken) {
            QCOMPARE(shop.form().phone->text(), QStringLiteral("13900000000"));
            return;
        }
        const DishCatalog &c = shop.window->dishCatalog();
        QCOMPARE(shop.form().header->currentText(), QStringLiteral("扫码点餐"));
        QCOMPARE(shop.form().tableCode->text(), QStringLiteral("A3"));
        QCOMPARE(shop.form().table->currentText(), QStringLiteral("大厅3")); // printed and stored
        QCOMPARE(shop.form().phone->text(), QString());
        QCOMPARE(shop.form().remark->toPlainText(), QStringLiteral("少辣"));
        OrderEntry *entry = shop.window->orderEntry();
        QCOMPARE(entry->lines().size(), 3);
        QCOMPARE(entry->lines()[0], (OrderLine{c.names[0], "2", c.units[0], formatDouble(c.prices[0].toDouble() * 2)}));
        QVERIFY(!entry->isLineOutOfCatalog(0));
        QVERIFY(entry->isLineOutOfCatalog(2));
        QCOMPARE(shop.form().total->text(), formatDouble(c.prices[0].toDouble() * 2 + c.prices[1].toDouble() + 9.5));
        QCOMPARE(shop.window->webOrders()->waitingCount(), 1);
        // Settled as usual, the order is stored under its header and table.
        PdfFolderBackend pdf(shop.home.dir.filePath("pdf"));
        shop.home.context.printBackend = &pdf;
        shop.window->orderActions()->settleOrder();
        DataStore &store = *shop.home.context.store;
        QCOMPARE(store.scalar("select 票头 || '/' || 桌号 || '/' || 备注 from 存单 order by ID desc limit 1").toString(),
                 QStringLiteral("扫码点餐/大厅3/少辣"));

        // The second order reuses the header the first one added to the list.
        shop.prompter().answers.clear();
        shop.prompter().answers.enqueue(true);
        auto again = shop.window->webOrders()->makeWindow();
        again->acceptSelected();
        QCOMPARE(shop.form().phone->text(), QStringLiteral("13812345678"));
        const QStringList headers = readListNames(*shop.home.context.store, nameList(NameListKind::Headers));
        QCOMPARE(headers.count("扫码点餐"), 1);
    }

    void rejectAsksForReason_data()
    {
        QTest::addColumn<QList<std::optional<QString>>>("inputs");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("messages");
        using Inputs = QList<std::optional<QString>>;
        QTest::newRow("reason") << Inputs{" 今天不做外卖 "} << "rejected" << "今天不做外卖" << 0;
        QTest::newRow("cancelled") << Inputs{std::nullopt} << "waiting" << "" << 0;
        QTest::newRow("empty, then a reason") << Inputs{"  ", "卖完了"} << "rejected" << "卖完了" << 1;
        QTest::newRow("too long, then cancelled") << Inputs{QString(101, u'长'), std::nullopt} << "waiting" << "" << 1;
    }
    void rejectAsksForReason()
    {
        QFETCH(QList<std::optional<QString>>, inputs);
        QFETCH(QString, state);
        QFETCH(QString, reason);
        QFETCH(int, messages);
        Shop shop;
        for (const auto &input : inputs)
            shop.prompter().inputs.enqueue(input);
        auto window = shop.window->webOrders()->makeWindow();
        window->rejectSelected();
        QCOMPARE(shop.table->state(shop.dineIn), state);
        QCOMPARE(shop.table->reason(shop.dineIn), reason);
        int told = 0;
        for (const auto &shown : shop.prompter().shown)
            told += shown.kind == u"message";
        QCOMPARE(told, messages);
        QCOMPARE(window->list()->topLevelItemCount(), state == u"rejected" ? 1 : 2);
    }
};

QTEST_MAIN(TestWebOrdersWindow)
#include "tst_weborderswindow.moc"
