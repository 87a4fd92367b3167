#include "app/calleridbridge.h"
#include "app/mainwindow.h"
#include "callerid/calleridport.h"
#include "callerid/calllog.h"
#include "callerid/ui/callbar.h"
#include "callerid/ui/calleridpage.h"
#include "callerid/ui/recentcallswindow.h"
#include "core/recordtable.h"
#include "fakemodem.h"
#include "masterdata/customers.h"
#include "order/ui/keyboardflow.h"
#include "order/ui/orderentry.h"
#include "programfolder.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <unistd.h>

using namespace vorlan;

namespace {

// A started main window whose caller-ID device is `modem` (a box, one number a line),
// with one known customer.
struct Shop {
    ProgramFolder home;
    std::unique_ptr<MainWindow> window;
    FakeModem modem;

    explicit Shop(const QString &device)
        : modem(device)
    {
        QVERIFY(modem.open());
        window = std::make_unique<MainWindow>(home.context);
        window->callerId()->port()->setRetryInterval(40);
        window->show();
        QVERIFY(window->start());
        QVERIFY(insertCustomer(*home.context.store, QStringLiteral("13812345678"), QStringLiteral("张三"),
                               QStringLiteral("幸福路8号")));
        QVERIFY(saveCallerIdSettings(*home.context.store, {device, CallerIdMode::Plain, 9600}));
        window->callerId()->start();
        QVERIFY(window->callerId()->port()->isOpen());
    }
    const MainForm &form() const { return window->form(); }
    CallBar *bar() const { return window->callerId()->bar(); }
};

} // namespace

class TestCallerWindow : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_devices = 0;
    QString devicePath() { return m_dir.filePath(QStringLiteral("callbox-%1-%2").arg(getpid()).arg(++m_devices)); }

private slots:
    // No order on the form: the number is typed in for the operator. An order open: the
    // bar offers the number and F8 fills it in.
    void callReachesThePhoneBox_data()
    {
        QTest::addColumn<QString>("typedPhone");
        QTest::addColumn<QString>("typedName");
        QTest::addColumn<bool>("withDish");
        QTest::newRow("empty form") << "" << "" << false;
        QTest::newRow("phone typed") << "13900001111" << "" << false;
        QTest::newRow("only a name typed") << "" << "李四" << false;
        QTest::newRow("dish on the order") << "" << "" << true;
    }
    void callReachesThePhoneBox()
    {
        QFETCH(QString, typedPhone);
        QFETCH(QString, typedName);
        QFETCH(bool, withDish);
        Shop shop(devicePath());
        const MainForm &f = shop.form();
        if (withDish) {
            shop.home.prompter.inputs.enqueue(QStringLiteral("1"));
            f.dishCode->setText(QStringLiteral("005"));
            shop.window->orderEntry()->chooseDish();
            QVERIFY(shop.window->orderPanel()->holdsUnfinishedOrder());
        }
        f.phone->setText(typedPhone);
        f.name->setText(typedName);
        f.remark->setPlainText(QStringLiteral("少辣"));
        const bool orderOpen = withDish || !typedPhone.isEmpty() || !typedName.isEmpty();
        QSignalSpy typed(f.phone, &QLineEdit::textEdited);

        shop.window->showMinimized();
        shop.modem.play("138 1234 5678\r\n");
        QTRY_VERIFY(!shop.bar()->isHidden());
        QVERIFY(!shop.window->isMinimized());
        QCOMPARE(shop.window->callerId()->log()->calls().size(), 1);
        if (!orderOpen) {
            QCOMPARE(shop.bar()->text(), QStringLiteral("来电：13812345678（张三），已填入电话"));
            QCOMPARE(f.phone->text(), QStringLiteral("13812345678"));
            QCOMPARE(f.name->text(), QStringLiteral("张三"));
            QCOMPARE(f.address->text(), QStringLiteral("幸福路8号"));
            QCOMPARE(typed.size(), 1);
            QVERIFY(!shop.window->keyboardFlow()->onFunctionKey(8)); // nothing on offer
            return;
        }
        QCOMPARE(shop.bar()->text(), QStringLiteral("来电：13812345678（张三），按 F8 填入"));
        QCOMPARE(f.phone->text(), typedPhone);
        QCOMPARE(f.name->text(), typedName);
        QCOMPARE(f.remark->toPlainText(), QStringLiteral("少辣"));
        QCOMPARE(shop.window->orderEntry()->hasLines(), withDish);

        QVERIFY(QTest::qWaitForWindowActive(shop.window.get()));
        f.remark->setFocus();
        QTest::keyClick(f.remark, Qt::Key_F8);
        QCOMPARE(f.phone->text(), QStringLiteral("13812345678"));
        QCOMPARE(f.name->text(), QStringLiteral("张三"));
        QCOMPARE(f.remark->toPlainText(), QStringLiteral("少辣")); // F8 typed nothing there
        QCOMPARE(shop.window->orderEntry()->hasLines(), withDish);
        QCOMPARE(shop.bar()->offeredNumber(), QString());
        QCOMPARE(shop.bar()->text(), QStringLiteral("来电：13812345678（张三），已填入电话"));
        QVERIFY(!shop.window->keyboardFlow()->onFunctionKey(8));
    }

    void numberlessCallsKeepTheForm()
    {
        Shop shop(devicePath());
        shop.modem.play("NMBR = P\r\n");
        QTRY_COMPARE(shop.bar()->text(), QStringLiteral("来电：私密号码"));
        QVERIFY(shop.form().phone->text().isEmpty());
        shop.form().phone->setText(QStringLiteral("1"));
        shop.modem.play("13812345678\r\nNMBR = O\r\n");
        QTRY_COMPARE(shop.bar()->text(), QStringLiteral("来电：号码不可用；上一个来电 13812345678，按 F8 填入"));
        QCOMPARE(shop.bar()->offeredNumber(), QStringLiteral("13812345678"));

        auto *recent = new RecentCallsWindow(*shop.window->callerId()->log(), shop.home.context.store);
        QTableWidget *table = recent->table();
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->item(0, 1)->text(), QStringLiteral("号码不可用"));
        QCOMPARE(table->item(1, 1)->text(), QStringLiteral("13812345678"));
        QCOMPARE(table->item(1, 2)->text(), QStringLiteral("张三"));
        QCOMPARE(table->item(2, 1)->text(), QStringLiteral("私密号码"));
        shop.modem.play("02088886666\r\n");
        QTRY_COMPARE(table->rowCount(), 4); // follows new calls
        delete recent;

        QVERIFY(shop.home.prompter.shown.isEmpty());
        shop.modem.vanish();
        QTRY_COMPARE(shop.home.prompter.texts().size(), 1);
        QVERIFY(shop.home.prompter.texts().first().contains(QStringLiteral("已断开")));
        QCOMPARE(shop.home.prompter.shown.first().caption, QStringLiteral("提示"));
    }

    // The page lets go of the device for its test; 确定 stores the settings, and the
    // window listens with them afterwards.
    void preferencesPageTestsAndStores()
    {
        Shop shop(devicePath());
        FakeModem modem(devicePath(), {QStringLiteral("AT#CID=1")});
        QVERIFY(modem.open());
        bool checked = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<CallerIdDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QVERIFY(!shop.window->callerId()->port()->isOpen());
            CallerIdPage *page = dialog->page();
            QCOMPARE(page->settings(), readCallerIdSettings(*shop.home.context.store));
            page->findChild<QComboBox *>(QStringLiteral("组合框_来电端口"))->setEditText(modem.path());
            auto *mode = page->findChild<QComboBox *>(QStringLiteral("组合框_来电模式"));
            mode->setCurrentIndex(mode->findData(int(CallerIdMode::Modem)));
            page->setTestDuration(1000);
            page->findChild<QPushButton *>(QStringLiteral("按钮_测试"))->click();
            QTRY_VERIFY(page->testLog().contains(QStringLiteral("接受 AT#CID=1")));
            modem.play("NMBR = 13812345678\r\n");
            QTRY_VERIFY(!page->testRunning());
            const QString log = page->testLog();
            for (const char *expected : {"发送：AT+VCID=1", "收到：ERROR", "发送：AT#CID=1", "收到：NMBR = 13812345678",
                                         "识别出来电：13812345678", "测试结束：收到 5 行，识别出 1 个来电。"})
                QVERIFY2(log.contains(QString::fromUtf8(expected)), qPrintable(log));
            dialog->findChild<QPushButton *>(QStringLiteral("按钮_确定"))->click();
            checked = true;
        });
        QAction *entry = nullptr;
        for (QAction *a : shop.window->settingsMenu()->actions())
            if (a->text() == QStringLiteral("来电显示"))
                entry = a;
        QVERIFY(entry);
        entry->trigger();
        QVERIFY(checked);
        RecordTable records(*shop.home.context.store);
        QCOMPARE(records.read(QStringLiteral("来电显示端口")), modem.path());
        QCOMPARE(records.read(QStringLiteral("来电显示模式")), QStringLiteral("0"));
        QCOMPARE(records.read(QStringLiteral("来电显示波特率")), QStringLiteral("9600"));
        CallerIdPort *port = shop.window->callerId()->port();
        QVERIFY(port->isOpen());
        QCOMPARE(port->settings().port, modem.path());
        QTRY_COMPARE(port->acceptedCommand(), QStringLiteral("AT#CID=1"));
        QVERIFY(shop.home.prompter.shown.isEmpty());
    }
};

QTEST_MAIN(TestCallerWindow)
#include "tst_callerwindow.moc"
