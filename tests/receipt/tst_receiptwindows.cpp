#include "scriptedprompter.h"
#include "testhome.h"

#include "core/recordtable.h"
#include "receipt/defaultpictures.h"
#include "receipt/ui/previewwindow.h"
#include "receipt/ui/printsettingswindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

using namespace vorlan;

namespace {

ReceiptSnapshot order(int lines)
{
    ReceiptSnapshot o;
    o.orderNumber = "3";
    o.shopName = "白云快餐";
    o.orderTime = "08-05 09:07";
    for (int i = 0; i < lines; ++i)
        o.lines.append({QStringLiteral("菜品%1").arg(i), "1", "份", "10"});
    o.total = QString::number(10 * lines);
    return o;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

template<typename T>
T *child(QWidget *window, const QString &name)
{
    T *widget = window->findChild<T *>(name);
    if (!widget)
        qFatal("no control %s", qPrintable(name));
    return widget;
}

} // namespace

class TestReceiptWindows : public QObject
{
    Q_OBJECT
private slots:
    void previewWidthsFollowThePaper()
    {
        TestHome home;
        PreviewWindow preview(*home.store, home.paths, [] { return order(2); }, nullptr);
        QCOMPARE(preview.objectName(), QStringLiteral("PreviewWindow"));
        QCOMPARE(preview.windowTitle(), QStringLiteral("打印预览"));
        QCOMPARE(preview.width(), 233);
        QCOMPARE(preview.visibleCanvas()->width(), 194);
        QCOMPARE(preview.offscreenCanvas().width(), 194);
        QCOMPARE(preview.frame()->width(), 215);

        RecordTable(*home.store).write("小票类型", "1");
        preview.renderPreview();
        QCOMPARE(preview.width(), 306);
        QCOMPARE(preview.visibleCanvas()->width(), 267);
        QCOMPARE(preview.offscreenCanvas().width(), 267);
        QCOMPARE(preview.scrollBar()->x(), 269);
        QCOMPARE(preview.frame()->width(), 288);
    }

    void scrollMaximum()
    {
        TestHome home;
        int lines = 2;
        PreviewWindow preview(*home.store, home.paths, [&] { return order(lines); }, nullptr);
        const int shortReceipt = preview.receiptHeight();
        // A window whose visible canvas is exactly as tall as the receipt: nothing to scroll.
        preview.resize(preview.width(), shortReceipt + 43);
        preview.renderPreview();
        QCOMPARE(preview.visibleCanvas()->height(), shortReceipt);
        QCOMPARE(preview.scrollBar()->maximum(), 0);
        // Thirty pixels taller than the visible canvas.
        preview.resize(preview.width(), shortReceipt + 43 - 30);
        preview.renderPreview();
        QCOMPARE(preview.scrollBar()->maximum(), 30);
        // An edit after scrolling redraws from the top.
        preview.scrollBar()->setValue(20);
        lines = 40;
        preview.renderPreview();
        QCOMPARE(preview.scrollBar()->value(), 0);
        QVERIFY(preview.scrollBar()->maximum() > 30);
    }

    void missingPicturesAreCreated()
    {
        TestHome home;
        RecordTable records(*home.store);
        records.write("设置类型", "1");
        records.write("顶部图片勾选", "1");
        records.write("底部图片勾选", "0");
        QVERIFY(!QFile::exists(home.paths.topPicture()));
        PreviewWindow preview(*home.store, home.paths, [] { return order(1); }, nullptr);
        QCOMPARE(QImage(home.paths.topPicture()).size(), QSize(430, 189));
        QVERIFY(!QFile::exists(home.paths.bottomPicture()));
        const int withPicture = preview.receiptHeight();

        // A picture that can be neither written nor read (a folder in its place) is left out.
        QFile::remove(home.paths.topPicture());
        QVERIFY(QDir().mkpath(home.paths.topPicture()));
        preview.renderPreview();
        QCOMPARE(preview.receiptHeight(), withPicture - 189 * 194 / 430);
    }

    void docking()
    {
        TestHome home;
        QWidget main;
        main.setGeometry(100, 100, 791, 723);
        main.show();
        PreviewWindow preview(*home.store, home.paths, [] { return order(1); }, &main);
        preview.show();
        QCOMPARE(preview.pos(), QPoint(main.frameGeometry().right() + 1, main.frameGeometry().top()));
        QCOMPARE(preview.height(), 728);
        const QPoint mainBefore = main.frameGeometry().topLeft();
        preview.move(preview.x() + 50, preview.y() + 20);
        QTRY_COMPARE(main.frameGeometry().topLeft(), mainBefore + QPoint(50, 20));
    }

    void settingsWindowLoads()
    {
        TestHome home;
        ScriptedPrompter prompter;
        RecordTable records(*home.store);
        records.write("设置类型", "0");
        records.write("附带信息2", "");
        records.write("打印份数", "2");
        PrintSettingsWindow window(*home.store, home.paths, prompter, {}, nullptr);
        QCOMPARE(window.objectName(), QStringLiteral("打印设置"));
        QCOMPARE(child<QComboBox>(&window, "组合框_设置类型")->currentIndex(), 0);
        QCOMPARE(child<QLineEdit>(&window, "编辑框2")->text(), QStringLiteral("订餐微信号:qmpt****"));
        QCOMPARE(child<QLineEdit>(&window, "编辑框份数")->text(), QStringLiteral("2"));
        QCOMPARE(child<QLineEdit>(&window, "编辑框字体大小7")->text(), QStringLiteral("12"));
        QVERIFY(child<QCheckBox>(&window, "选择框_加粗_7")->isChecked());
        // The default profile disables the picture and font controls but not the buttons.
        QVERIFY(!child<QCheckBox>(&window, "选择框3")->isEnabled());
        QVERIFY(!child<QLineEdit>(&window, "编辑框字体大小1")->isEnabled());
        QVERIFY(!child<QCheckBox>(&window, "选择框_加粗_11")->isEnabled());
        QVERIFY(child<QPushButton>(&window, "顶部图片选择按钮1")->isEnabled());
        child<QComboBox>(&window, "组合框_设置类型")->setCurrentIndex(1);
        QVERIFY(child<QLineEdit>(&window, "编辑框字体大小1")->isEnabled());
    }

    void sizeValidation_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("size");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("paid 0") << 10 << "0" << true;
        QTest::newRow("title 0") << 1 << "0" << false;
        QTest::newRow("6") << 3 << "6" << false;
        QTest::newRow("31") << 11 << "31" << false;
        QTest::newRow("7") << 4 << "7" << true;
        QTest::newRow("30") << 5 << "30" << true;
        QTest::newRow("paid 6") << 10 << "6" << false;
        QTest::newRow("not a number") << 2 << "abc" << false;
    }
    void sizeValidation()
    {
        QFETCH(int, row);
        QFETCH(QString, size);
        QFETCH(bool, accepted);
        TestHome home;
        ScriptedPrompter prompter;
        int refreshed = 0;
        PrintSettingsWindow window(*home.store, home.paths, prompter, [&] { ++refreshed; }, nullptr);
        auto *edit = child<QLineEdit>(&window, QStringLiteral("编辑框字体大小%1").arg(row));
        edit->setText(size);
        QCOMPARE(window.apply(), accepted);
        QCOMPARE(refreshed, accepted ? 1 : 0);
        if (accepted) {
            QVERIFY(prompter.shown.isEmpty());
            return;
        }
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown.first().caption, QStringLiteral("提示"));
        QCOMPARE(prompter.shown.first().icon, PromptIcon::Information);
        QCOMPARE(prompter.shown.first().text,
                 row == 10 ? QStringLiteral("已支付 字体大小超出设定，请将字体大小控制在数值 7-30 的范围内。\r\n"
                                            "注意：已支付 字体大小数值设置为 0 时打印及预览将不显示 已支付 ")
                           : QStringLiteral("字体大小超出设定，请将字体大小控制在数值 7-30 的范围内。"));
        QCOMPARE(edit->selectedText(), size);
        QCOMPARE(RecordTable(*home.store).read("字体大小"), QStringLiteral("9|9|9|9|9|9|12|9|9|12|12"));
    }

    void copiesAreCorrected()
    {
        TestHome home;
        ScriptedPrompter prompter;
        PrintSettingsWindow window(*home.store, home.paths, prompter, {}, nullptr);
        auto *copies = child<QLineEdit>(&window, "编辑框份数");
        copies->setText("0");
        QCOMPARE(copies->text(), QStringLiteral("1"));
        copies->setText("9");
        QVERIFY(window.apply());
        QCOMPARE(copies->text(), QStringLiteral("4"));
        QCOMPARE(RecordTable(*home.store).read("打印份数"), QStringLiteral("4"));
    }

    void applyStoresEverything()
    {
        TestHome home;
        ScriptedPrompter prompter;
        RecordTable records(*home.store);
        PrintSettingsWindow window(*home.store, home.paths, prompter, {}, nullptr);
        child<QComboBox>(&window, "组合框_小票类型")->setCurrentIndex(1);
        child<QComboBox>(&window, "组合框_设置类型")->setCurrentIndex(0);
        child<QCheckBox>(&window, "选择框1")->setChecked(false);
        child<QCheckBox>(&window, "选择框2")->setChecked(true);
        child<QLineEdit>(&window, "编辑框2")->setText("微信:shop");
        child<QCheckBox>(&window, "选择框3")->setChecked(true);
        child<QCheckBox>(&window, "选择框4")->setChecked(false);
        child<QLineEdit>(&window, "编辑框份数")->setText("3");
        child<QLineEdit>(&window, "编辑框字体大小1")->setText("09");
        child<QLineEdit>(&window, "编辑框字体大小10")->setText("0");
        child<QCheckBox>(&window, "选择框_加粗_2")->setChecked(true);
        child<QComboBox>(&window, "组合框_打印输出")->setCurrentIndex(1);
        child<QLineEdit>(&window, "编辑框_PDF文件夹")->setText(home.dir.filePath("pdf"));
        QVERIFY(window.apply());

        QCOMPARE(records.read("小票类型"), QStringLiteral("1"));
        QCOMPARE(records.read("设置类型"), QStringLiteral("0"));
        QCOMPARE(records.read("附带信息1勾选"), QStringLiteral("0"));
        QCOMPARE(records.read("附带信息2勾选"), QStringLiteral("1"));
        QCOMPARE(records.read("附带信息2"), QStringLiteral("微信:shop"));
        QCOMPARE(records.read("顶部图片勾选"), QStringLiteral("1"));
        QCOMPARE(records.read("底部图片勾选"), QStringLiteral("0"));
        QCOMPARE(records.read("打印份数"), QStringLiteral("3"));
        QCOMPARE(records.read("字体大小"), QStringLiteral("9|9|9|9|9|9|12|9|9|0|12"));
        QCOMPARE(records.read("勾选加粗"), QStringLiteral("0|1|0|0|0|0|1|0|0|1|1"));
        QCOMPARE(records.read(printOutputKey()), QStringLiteral("1"));
        QCOMPARE(records.read(pdfFolderKey()), home.dir.filePath("pdf"));
        // No picture was chosen: the files stay as they were (absent here).
        QVERIFY(!QFile::exists(home.paths.topPicture()));
    }

    void thermalPrinterIsCheckedAndStored()
    {
        TestHome home;
        ScriptedPrompter prompter;
        RecordTable records(*home.store);
        {
            PrintSettingsWindow window(*home.store, home.paths, prompter, {}, nullptr);
            window.show();
            QApplication::setActiveWindow(&window);
            auto *output = child<QComboBox>(&window, "组合框_打印输出");
            QCOMPARE(output->count(), 3);
            QCOMPARE(output->itemText(2), QString("热敏打印机 (ESC/POS)"));
            output->setCurrentIndex(2);
            child<QTabWidget>(&window, "选择夹1")->setCurrentIndex(2);
            QVERIFY(child<QPushButton>(&window, "按钮_测试打印")->isVisibleTo(&window));
            QVERIFY(!child<QLineEdit>(&window, "编辑框_PDF文件夹")->isVisibleTo(&window));
            child<QComboBox>(&window, "组合框_热敏连接")->setCurrentIndex(1);
            auto *host = child<QLineEdit>(&window, "编辑框_打印机地址");
            host->setText("192.168.1.");
            child<QLineEdit>(&window, "编辑框份数")->setText("2");

            // Refused: nothing stored, the operator is sent to the field.
            child<QTabWidget>(&window, "选择夹1")->setCurrentIndex(0);
            QVERIFY(!window.apply());
            QCOMPARE(prompter.shown.size(), 1);
            QVERIFY(prompter.shown.first().text.startsWith("打印机地址“192.168.1.”无效"));
            QCOMPARE(child<QTabWidget>(&window, "选择夹1")->currentIndex(), 2);
            QVERIFY(host->hasFocus());
            QCOMPARE(records.read(printOutputKey()), QString());
            QCOMPARE(records.read("打印份数"), QString("1"));

            host->setText("192.168.1.80");
            child<QLineEdit>(&window, "编辑框_打印机端口")->setText("9101");
            child<QLineEdit>(&window, "编辑框_打印点宽")->setText("512");
            child<QComboBox>(&window, "组合框_打印浓度")->setCurrentText("-2");
            QVERIFY(window.apply());
        }
        QCOMPARE(records.read(printOutputKey()), QString("2"));
        QCOMPARE(records.read("热敏打印连接"), QString("1"));
        QCOMPARE(records.read("热敏打印机地址"), QString("192.168.1.80"));
        QCOMPARE(records.read("热敏打印机端口"), QString("9101"));
        QCOMPARE(records.read("热敏打印点宽"), QString("512"));
        QCOMPARE(records.read("热敏打印浓度"), QString("-2"));

        // Opened again, the window shows what was stored.
        PrintSettingsWindow again(*home.store, home.paths, prompter, {}, nullptr);
        QCOMPARE(child<QComboBox>(&again, "组合框_打印输出")->currentIndex(), 2);
        QCOMPARE(child<QLineEdit>(&again, "编辑框_打印机地址")->text(), QString("192.168.1.80"));
        QCOMPARE(child<QComboBox>(&again, "组合框_打印浓度")->currentText(), QString("-2"));
        // Back to the PDF folder: the thermal fields are kept, not checked.
        child<QComboBox>(&again, "组合框_打印输出")->setCurrentIndex(1);
        child<QLineEdit>(&again, "编辑框_打印机地址")->setText("");
        QVERIFY(again.apply());
        QCOMPARE(records.read(printOutputKey()), QString("1"));
    }

    void chosenPictureIsCopiedByteForByte()
    {
        TestHome home;
        ScriptedPrompter prompter;
        QDir().mkpath(home.paths.dataDir());
        QVERIFY(defaultTopPicture().save(home.paths.topPicture()));
        const QByteArray oldTop = fileBytes(home.paths.topPicture());
        const QString big = home.dir.filePath("big.png");
        QImage picture(600, 200, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(big));

        PrintSettingsWindow window(*home.store, home.paths, prompter, {}, nullptr);
        child<QComboBox>(&window, "组合框_设置类型")->setCurrentIndex(1);
        prompter.files.enqueue(home.dir.filePath("missing.png"));
        QTest::mouseClick(child<QPushButton>(&window, "顶部图片选择按钮2"), Qt::LeftButton);
        QCOMPARE(child<QLineEdit>(&window, "编辑框_底部图片")->text(), QString());
        prompter.files.enqueue(big);
        QTest::mouseClick(child<QPushButton>(&window, "顶部图片选择按钮2"), Qt::LeftButton);
        QCOMPARE(prompter.shown.size(), 3); // two file dialogs, one advice
        QCOMPARE(prompter.shown.last().kind, QStringLiteral("message"));
        QCOMPARE(prompter.shown.last().text, QStringLiteral("选用图片时建议选用较低清晰度的图片，图片过于清晰将影响您的打印速度。"));
        QCOMPARE(prompter.shown.last().icon, PromptIcon::Warning);
        QVERIFY(window.apply());
        QCOMPARE(fileBytes(home.paths.bottomPicture()), fileBytes(big));
        QCOMPARE(fileBytes(home.paths.topPicture()), oldTop);
    }

    void failedSaveChangesNothingAndKeepsTheWindowOpen()
    {
        TestHome home;
        ScriptedPrompter prompter;
        QDir().mkpath(home.paths.dataDir());
        QVERIFY(defaultTopPicture().save(home.paths.topPicture()));
        const QByteArray oldTop = fileBytes(home.paths.topPicture());
        const QString chosen = home.dir.filePath("new.png");
        QImage picture(50, 20, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QVERIFY(picture.save(chosen));
        QVERIFY(home.store->execute("create trigger 满 before update on 记录 when new.记录内容='打印份数' "
                                    "begin select raise(abort, 'disk full'); end"));

        PrintSettingsWindow window(*home.store, home.paths, prompter, {}, nullptr);
        child<QComboBox>(&window, "组合框_设置类型")->setCurrentIndex(1);
        prompter.files.enqueue(chosen);
        QTest::mouseClick(child<QPushButton>(&window, "顶部图片选择按钮1"), Qt::LeftButton);
        child<QLineEdit>(&window, "编辑框份数")->setText("3");
        child<QComboBox>(&window, "组合框_小票类型")->setCurrentIndex(1);
        prompter.clear();
        window.show();
        QTest::mouseClick(child<QPushButton>(&window, "按钮1"), Qt::LeftButton); // 确认
        QVERIFY(window.isVisible()); // the edits are still there to try again
        QCOMPARE(prompter.shown.size(), 1);
        QVERIFY(prompter.shown.first().text.contains(QStringLiteral("保存失败")));
        RecordTable records(*home.store);
        QCOMPARE(records.read("打印份数"), QStringLiteral("1"));
        QCOMPARE(records.read("小票类型"), QStringLiteral("0"));
        QCOMPARE(fileBytes(home.paths.topPicture()), oldTop);
    }

    void pictureThatCannotBeWrittenLeavesTheRecords()
    {
        TestHome home;
        ScriptedPrompter prompter;
        // something that is not a file where the bottom picture goes
        QVERIFY(QDir().mkpath(home.paths.bottomPicture()));
        const QString chosen = home.dir.filePath("new.png");
        QImage picture(50, 20, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QVERIFY(picture.save(chosen));
        PrintSettingsWindow window(*home.store, home.paths, prompter, {}, nullptr);
        child<QComboBox>(&window, "组合框_设置类型")->setCurrentIndex(1);
        prompter.files.enqueue(chosen);
        QTest::mouseClick(child<QPushButton>(&window, "顶部图片选择按钮2"), Qt::LeftButton);
        child<QLineEdit>(&window, "编辑框份数")->setText("3");
        QVERIFY(!window.apply());
        QVERIFY(prompter.texts().last().contains(QDir::toNativeSeparators(home.paths.bottomPicture())));
        QCOMPARE(RecordTable(*home.store).read("打印份数"), QStringLiteral("1"));
    }

    void uninitialisedProfileIsRefused()
    {
        TestHome home;
        ScriptedPrompter prompter;
        QVERIFY(home.store->execute("delete from 记录 where 记录内容=?", {QStringLiteral("字体大小")}));
        int refreshed = 0;
        PrintSettingsWindow window(*home.store, home.paths, prompter, [&] { ++refreshed; }, nullptr);
        for (int n = 1; n <= 11; ++n)
            child<QLineEdit>(&window, QStringLiteral("编辑框字体大小%1").arg(n))->setText("9");
        child<QLineEdit>(&window, "编辑框份数")->setText("2");
        QVERIFY(window.apply());
        QCOMPARE(prompter.texts(), QStringList{"设置失败.错误7763"});
        QCOMPARE(prompter.shown.first().icon, PromptIcon::None);
        QCOMPARE(refreshed, 1);
        QVERIFY(!RecordTable(*home.store).exists("字体大小"));
        QCOMPARE(RecordTable(*home.store).read("打印份数"), QStringLiteral("1"));
    }
};

QTEST_MAIN(TestReceiptWindows)
#include "tst_receiptwindows.moc"
