#include "escposreader.h"
#include "scriptedprompter.h"

#include "receipt/escpos/ui/escpossettingspanel.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace vorlan;

namespace {

template<typename T>
T *child(QWidget *window, const QString &name)
{
    T *widget = window->findChild<T *>(name);
    if (!widget)
        qFatal("no control %s", qPrintable(name));
    return widget;
}

} // namespace

class TestEscPosPanel : public QObject
{
    Q_OBJECT
private slots:
    void fieldsFollowTheConnectionAndRoundTrip()
    {
        ScriptedPrompter prompter;
        QWidget window;
        auto *panel = new EscPosSettingsPanel(prompter, &window);
        window.show();
        EscPosSettings s;
        s.network = true;
        s.host = "10.0.0.7";
        s.port = "9101";
        s.dotWidth = "512";
        s.density = 3;
        panel->setSettings(s);
        QVERIFY(child<QLineEdit>(&window, "编辑框_打印机地址")->isVisible());
        QVERIFY(!child<QComboBox>(&window, "组合框_热敏设备")->isVisible());
        QCOMPARE(child<QComboBox>(&window, "组合框_打印浓度")->currentText(), QString("+3"));
        const EscPosSettings back = panel->settings();
        QCOMPARE(back.host, s.host);
        QCOMPARE(back.port, s.port);
        QCOMPARE(back.dotWidth, s.dotWidth);
        QCOMPARE(back.density, 3);
        QVERIFY(back.network);

        child<QComboBox>(&window, "组合框_热敏连接")->setCurrentIndex(0);
        QVERIFY(!child<QLineEdit>(&window, "编辑框_打印机地址")->isVisible());
        QVERIFY(child<QComboBox>(&window, "组合框_热敏设备")->isVisible());
        // The device is kept as typed, even as the prefix of a listed one.
        auto *device = child<QComboBox>(&window, "组合框_热敏设备");
        device->insertItem(0, "/dev/usb/lp10");
        device->setCurrentIndex(-1);
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        device->setFocus(); // the operator types into the focused box
        QTest::keyClicks(device->lineEdit(), "/dev/usb/lp1");
        QCOMPARE(panel->settings().device, QString("/dev/usb/lp1"));
        QVERIFY(!panel->settings().network);
    }

    void refusalsFocusTheField_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("field");
        QTest::newRow("host") << "192.168.1.256" << "9100" << "" << "编辑框_打印机地址";
        QTest::newRow("port") << "192.168.1.5" << "70000" << "" << "编辑框_打印机端口";
        QTest::newRow("width") << "192.168.1.5" << "9100" << "100" << "编辑框_打印点宽";
    }
    void refusalsFocusTheField()
    {
        QFETCH(QString, host);
        QFETCH(QString, port);
        QFETCH(QString, width);
        QFETCH(QString, field);
        ScriptedPrompter prompter;
        QWidget window;
        auto *panel = new EscPosSettingsPanel(prompter, &window);
        window.show();
        QApplication::setActiveWindow(&window);
        child<QComboBox>(&window, "组合框_热敏连接")->setCurrentIndex(1);
        child<QLineEdit>(&window, "编辑框_打印机地址")->setText(host);
        child<QLineEdit>(&window, "编辑框_打印机端口")->setText(port);
        child<QLineEdit>(&window, "编辑框_打印点宽")->setText(width);
        // 测试打印 checks first and sends nothing.
        QTest::mouseClick(child<QPushButton>(&window, "按钮_测试打印"), Qt::LeftButton);
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown.first().caption, QString("提示"));
        QCOMPARE(prompter.shown.first().icon, PromptIcon::Information);
        auto *edit = child<QLineEdit>(&window, field);
        QVERIFY(edit->hasFocus());
        QCOMPARE(edit->selectedText(), edit->text());
        QVERIFY(!panel->validate());
    }

    void testPrintShowsThePrinterState()
    {
        FakeNetworkPrinter printer;
        QVERIFY(printer.listen());
        ScriptedPrompter prompter;
        QWidget window;
        auto *panel = new EscPosSettingsPanel(prompter, &window);
        panel->narrowPaper = [] { return true; };
        EscPosSettings s;
        s.network = true;
        s.host = "127.0.0.1";
        s.port = QString::number(printer.port());
        panel->setSettings(s);
        QTest::mouseClick(child<QPushButton>(&window, "按钮_测试打印"), Qt::LeftButton);
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown.first().caption, QString("测试打印"));
        QCOMPARE(prompter.shown.first().icon, PromptIcon::Information);
        QVERIFY(prompter.shown.first().text.startsWith("打印机就绪\n"));
        const EscPosReading reading = readEscPos(printer.received());
        QCOMPARE(reading.copies.size(), 1);
        QCOMPARE(reading.copies.first().width(), 384); // 58 mm paper, automatic width

        prompter.clear();
        s.port = QString::number(closedLoopbackPort());
        panel->setSettings(s);
        panel->testPrint();
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown.first().icon, PromptIcon::Warning);
        QVERIFY(prompter.shown.first().text.contains("连接被拒绝"));
        QVERIFY(child<QPushButton>(&window, "按钮_测试打印")->isEnabled());
    }
};

QTEST_MAIN(TestEscPosPanel)
#include "tst_escpospanel.moc"
