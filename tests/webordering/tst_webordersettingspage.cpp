#include "app/mainwindow.h"
#include "core/datastore.h"
#include "core/recordkeys.h"
#include "core/recordtable.h"
#include "programfolder.h"
#include "webordering/ui/weborderpage.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTest>

using namespace vorlan;

namespace {

// A started program with seven tables; the page opened on it.
struct Shop {
    ProgramFolder home;
    std::unique_ptr<MainWindow> window;

    Shop()
    {
        window = std::make_unique<MainWindow>(home.context);
        QVERIFY(window->start());
        store().execute("delete from 桌号");
        for (int i = 1; i <= 7; ++i)
            QVERIFY(store().execute("insert into 桌号 (代号, 桌号名称) values (?, ?)", {QString("A%1").arg(i), QString("大厅%1").arg(i)}));
    }
    DataStore &store() { return *home.context.store; }
    QString record(const QString &key) { return RecordTable(store()).read(key); }
    std::unique_ptr<WebOrderDialog> page()
    {
        auto dialog = std::make_unique<WebOrderDialog>(home.context, readTableList(store()), WebOrderDialog::Hooks());
        dialog->addressEdit()->setText("192.168.1.20");
        return dialog;
    }
    // A page switched on and stored, with its token.
    std::unique_ptr<WebOrderDialog> enabledPage()
    {
        auto dialog = page();
        dialog->enabledBox()->setChecked(true);
        dialog->confirm();
        return dialog;
    }
};

int pdfPages(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return int(QString::fromLatin1(file.readAll()).count(QRegularExpression("/Type\\s*/Page\\b")));
}

} // namespace

class TestWebOrderSettingsPage : public QObject
{
    Q_OBJECT
private slots:
    void storesSettingsAndToken_data()
    {
        QTest::addColumn<bool>("enable");
        QTest::addColumn<int>("regenerate"); // -1 not clicked, else the answer (0 No, 1 Yes)
        QTest::addColumn<QString>("port");
        QTest::addColumn<bool>("newToken");
        QTest::newRow("switched on") << true << -1 << "8123" << false;
        QTest::newRow("switched off keeps the token") << false << -1 << "" << false;
        QTest::newRow("regenerate refused") << true << 0 << "8123" << false;
        QTest::newRow("regenerated") << true << 1 << "8123" << true;
    }
    void storesSettingsAndToken()
    {
        QFETCH(bool, enable);
        QFETCH(int, regenerate);
        QFETCH(QString, port);
        QFETCH(bool, newToken);
        Shop shop;
        QString first;
        {
            auto page = shop.page();
            QVERIFY(!page->enabledBox()->isChecked());
            QVERIFY(page->tokenEdit()->text().isEmpty());
            page->enabledBox()->setChecked(true); // the first switch-on makes the token
            first = page->tokenEdit()->text();
            QVERIFY(QRegularExpression("^[A-Za-z0-9]{16}$").match(first).hasMatch());
            page->portBox()->setValue(8123);
            page->limitBox()->setValue(30);
            QVERIFY(page->confirm());
        }
        auto page = shop.page();
        QCOMPARE(page->tokenEdit()->text(), first);
        QCOMPARE(page->portBox()->value(), 8123);
        page->enabledBox()->setChecked(enable);
        if (regenerate >= 0) {
            shop.home.prompter.answers.enqueue(regenerate == 1);
            page->regenerateToken();
            QCOMPARE(shop.home.prompter.shown.last().defaultButton, PromptDefault::No);
        }
        QVERIFY(page->confirm());
        QCOMPARE(shop.record(recordkey::WebOrderPort), port);
        QCOMPARE(shop.record(recordkey::WebOrderRateLimit), QStringLiteral("30"));
        QCOMPARE(shop.record(recordkey::WebOrderToken) != first, newToken);
        QCOMPARE(shop.record(recordkey::WebOrderToken).size(), 16);
    }

    void exportsTableCards_data()
    {
        QTest::addColumn<QList<int>>("rows"); // selected rows; row 0 is pick-up
        QTest::addColumn<int>("pages");
        QTest::newRow("all seven") << QList<int>{} << 2;
        QTest::newRow("pick-up and one table") << QList<int>{0, 3} << 1;
    }
    void exportsTableCards()
    {
        QFETCH(QList<int>, rows);
        QFETCH(int, pages);
        Shop shop;
        auto page = shop.enabledPage();
        for (int row : rows)
            page->tableList()->item(row)->setSelected(true);
        const QList<TableCard> cards = page->selectedCards();
        QCOMPARE(cards.size(), rows.isEmpty() ? 7 : rows.size());
        const QString token = shop.record(recordkey::WebOrderToken);
        QCOMPARE(cards.last().url, QString("http://192.168.1.20:8080/?t=%1&table=%2").arg(token, rows.isEmpty() ? "A7" : "A3"));
        const QString path = shop.home.dir.filePath("cards.pdf");
        shop.home.prompter.files.enqueue(path);
        page->exportPdf();
        QCOMPARE(pdfPages(path), pages);
    }

    void refusesCardsOfAnUnsavedToken()
    {
        Shop shop;
        auto page = shop.enabledPage();
        shop.home.prompter.answers.enqueue(true);
        page->regenerateToken();
        const QString path = shop.home.dir.filePath("cards.pdf");
        shop.home.prompter.files.enqueue(path);
        page->exportPdf();
        QVERIFY(!QFile::exists(path));
        QVERIFY(shop.home.prompter.texts().last().contains("确定"));
    }

    void makesTheReceiptPicture_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("replaced") << true;
        QTest::newRow("kept") << false;
    }
    void makesTheReceiptPicture()
    {
        QFETCH(bool, answer);
        Shop shop;
        auto page = shop.enabledPage();
        const QString file = shop.home.context.paths.bottomPicture();
        QFile::remove(file);
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        page->tableList()->setCurrentRow(2);
        shop.home.prompter.answers.enqueue(answer);
        page->useAsBottomPicture();
        QImage picture(file);
        QCOMPARE(picture.isNull(), !answer);
        if (!answer)
            return;
        QCOMPARE(shop.record(recordkey::BottomPictureOn), QStringLiteral("1"));
        QVERIFY(picture.width() <= 430);
        if (QStandardPaths::findExecutable("zbarimg").isEmpty())
            QSKIP("zbarimg (zbar-tools) is not installed");
        QProcess zbar;
        zbar.start("zbarimg", {"--raw", "-q", file});
        QVERIFY(zbar.waitForFinished(20000));
        QCOMPARE(QString::fromUtf8(zbar.readAllStandardOutput()).trimmed(),
                 QString("http://192.168.1.20:8080/?t=%1&table=A2").arg(shop.record(recordkey::WebOrderToken)));
    }
};

QTEST_MAIN(TestWebOrderSettingsPage)
#include "tst_webordersettingspage.moc"
