#include "escposreader.h"
#include "recordingcanvas.h"
#include "programfolder.h"

#include "app/mainwindow.h"
#include "order/ui/orderpanel.h"
#include "core/recordtable.h"
#include "receipt/escpossettings.h"
#include "receipt/ui/printsettingswindow.h"
#include "receipt/ui/previewwindow.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace vorlan;

namespace {

bool writeSettings(RecordTable &records, const EscPosSettings &settings)
{
    for (const auto &[key, value] : escPosSettingsRecords(settings))
        if (!records.write(key, value))
            return false;
    return true;
}

using Home = ProgramFolder;

void fillOrder(const MainForm &f)
{
    f.grid->setRowCount(3);
    const QStringList first = {"宫保鸡丁", "2", "份", "36"};
    for (int c = 0; c < 4; ++c)
        f.grid->setItem(0, c, new QTableWidgetItem(first.at(c)));
    auto *falseCell = new QTableWidgetItem;
    falseCell->setData(Qt::DisplayRole, false);
    f.grid->setItem(1, 0, new QTableWidgetItem("米饭"));
    f.grid->setItem(1, 1, falseCell);
    f.total->setText("36");
    f.phone->setText("13800000000");
    f.remark->setPlainText("少辣\n多饭");
}

} // namespace

class TestReceiptMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void snapshotReadsTheForm()
    {
        // The bare controls, without the order-entry handlers that would fill in cells.
        QWidget window;
        MainForm f;
        f.orderNumber = new QLineEdit("1", &window);
        f.header = new QComboBox(&window);
        f.shopName = new QComboBox(&window);
        f.paymentMethod = new QComboBox(&window);
        f.orderTime = new QLineEdit(&window);
        f.grid = new QTableWidget(0, 4, &window);
        f.discount = new QComboBox(&window);
        f.discountPortions = new QLineEdit(&window);
        f.discountAmount = new QLineEdit(&window);
        f.total = new QLineEdit(&window);
        f.paid = new QLineEdit(&window);
        f.table = new QComboBox(&window);
        f.name = new QLineEdit(&window);
        f.phone = new QLineEdit(&window);
        f.address = new QLineEdit(&window);
        f.remark = new QPlainTextEdit(&window);
        fillOrder(f);
        const ReceiptSnapshot order = receiptSnapshotFromForm(f);
        QCOMPARE(order.lines.size(), 3);
        QCOMPARE(order.lines.at(0).amount, QStringLiteral("36"));
        QCOMPARE(order.lines.at(1).quantity, QString()); // a false cell reads as empty
        QCOMPARE(order.lines.at(2).name, QString());
        QCOMPARE(order.remark, QStringLiteral("少辣\r\n多饭"));
        QCOMPARE(order.orderNumber, QStringLiteral("1"));
    }

    void previewOpensDocksAndToggles()
    {
        Home home;
        MainWindow w(home.context);
        QVERIFY(w.start());
        w.show();
        PreviewWindow *preview = w.previewWindow();
        QVERIFY(preview);
        QVERIFY(preview->isVisible());
        QTRY_COMPARE(preview->x(), w.frameGeometry().right() + 1);

        w.move(w.pos() + QPoint(30, 10));
        QTRY_COMPARE(preview->pos(), QPoint(w.frameGeometry().right() + 1, w.frameGeometry().top()));

        const int before = preview->receiptHeight();
        fillOrder(w.form());
        w.refreshPreview();
        QVERIFY(preview->receiptHeight() > before);

        QTest::mouseClick(w.form().previewButton, Qt::LeftButton);
        QVERIFY(!preview->isVisible());
        const QImage drawn = preview->offscreenCanvas();
        w.form().total->setText("99");
        w.refreshPreview(); // closed: nothing is drawn
        QCOMPARE(preview->offscreenCanvas(), drawn);
        QTest::mouseClick(w.form().previewButton, Qt::LeftButton);
        QVERIFY(preview->isVisible());
        QVERIFY(preview->offscreenCanvas() != drawn); // opened again: drawn with the new total
        QVERIFY(w.menuAction(QStringLiteral("打印设置"))->isEnabled());
    }

    void printsThroughTheContextBackend()
    {
        Home home;
        RecordingBackend backend;
        home.context.printBackend = &backend;
        MainWindow w(home.context);
        QVERIFY(w.start());
        RecordTable(*home.context.store).write("打印份数", "2");
        fillOrder(w.form());
        QVERIFY(w.printReceipt(false));
        QCOMPARE(backend.jobs.size(), 2);
        QVERIFY(backend.jobs.at(0).canvas.texts().contains(QStringLiteral("宫保鸡丁")));
        backend.cancelDialog = true;
        QVERIFY(!w.printReceipt(true));
        QCOMPARE(backend.jobs.size(), 2);
    }

    void printsToTheThermalPrinterChosenInSettings()
    {
        Home home;
        FakeNetworkPrinter printer;
        QVERIFY(printer.listen());
        MainWindow w(home.context);
        QVERIFY(w.start());
        RecordTable records(*home.context.store);
        records.write("打印份数", "2");
        records.write(printOutputKey(), "2");
        EscPosSettings settings;
        settings.network = true;
        settings.host = "127.0.0.1";
        settings.port = QString::number(printer.port());
        QVERIFY(writeSettings(records, settings));
        fillOrder(w.form());
        QVERIFY(w.printReceipt(false));
        EscPosReading reading = readEscPos(printer.received());
        QCOMPARE(reading.copies.size(), 2);
        QCOMPARE(reading.cuts, 2);
        QCOMPARE(reading.copies.first().width(), 384); // 58 mm paper
        QVERIFY(home.prompter.shown.isEmpty());

        // A printer that cannot be reached: the operator is told, and the order is not
        // reported as printed.
        settings.port = QString::number(closedLoopbackPort());
        QVERIFY(writeSettings(records, settings));
        QVERIFY(!w.printReceipt(true));
        QCOMPARE(home.prompter.shown.size(), 1);
        QVERIFY(home.prompter.shown.first().text.contains("连接被拒绝"));
    }

    void keysAndClosingWaitWhileAReceiptPrints()
    {
        Home home;
        FakeNetworkPrinter printer;
        printer.replyDelayMs = 200; // three replies: the job takes over half a second
        QVERIFY(printer.listen());
        MainWindow w(home.context);
        QVERIFY(w.start());
        w.show();
        QApplication::setActiveWindow(&w);
        RecordTable records(*home.context.store);
        records.write("打印份数", "1");
        records.write(printOutputKey(), "2");
        EscPosSettings settings;
        settings.network = true;
        settings.host = "127.0.0.1";
        settings.port = QString::number(printer.port());
        QVERIFY(writeSettings(records, settings));
        fillOrder(w.form());

        bool buttonsDisabled = false;
        bool closeRefused = false;
        QTimer::singleShot(150, &w, [&] {
            buttonsDisabled = !w.form().printOnlyButton->isEnabled() && !w.form().clearButton->isEnabled();
            QTest::keyClick(w.form().dishCode, Qt::Key_F12);
            QTest::keyClick(w.form().dishCode, Qt::Key_F11);
            closeRefused = !w.close() && w.isVisible();
        });
        QTest::keyClick(w.form().dishCode, Qt::Key_F12);
        QVERIFY(buttonsDisabled);
        QVERIFY(closeRefused);
        QCOMPARE(printer.connections(), 1); // neither key started a second job
        QCOMPARE(readEscPos(printer.received()).copies.size(), 1);
        QVERIFY(home.prompter.shown.isEmpty());
        QCOMPARE(w.statusSection(0)->text(), QStringLiteral("今日打单数量：1"));
        QVERIFY(w.form().printOnlyButton->isEnabled());
        QTRY_VERIFY(!w.isVisible()); // the close asked for meanwhile, once the job is done
    }
};

QTEST_MAIN(TestReceiptMainWindow)
#include "tst_receiptmainwindow.moc"
