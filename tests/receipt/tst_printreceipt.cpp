#include "recordingcanvas.h"
#include "testhome.h"

#include "core/gbk.h"
#include "core/recordtable.h"
#include "receipt/defaultpictures.h"
#include "receipt/printbackend.h"
#include "receipt/printreceipt.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace vorlan;

namespace {

ReceiptSnapshot order()
{
    ReceiptSnapshot o;
    o.orderNumber = "7";
    o.header = "美团外卖";
    o.shopName = "白云快餐";
    o.paymentMethod = "现金支付";
    o.orderTime = "08-05 09:07";
    o.lines = {{"宫保鸡丁", "2", "份", "36"}, {"米饭", "1", "碗", "2"}};
    o.total = "38";
    o.paid = "38";
    return o;
}

void writePictures(TestHome &home)
{
    QDir().mkpath(home.paths.dataDir());
    QVERIFY(defaultTopPicture().save(home.paths.topPicture()));
    QVERIFY(defaultBottomPicture().save(home.paths.bottomPicture()));
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestPrintReceipt : public QObject
{
    Q_OBJECT
private slots:
    void copiesAndPictures()
    {
        TestHome home;
        RecordTable records(*home.store);
        records.write("设置类型", "1");
        records.write("打印份数", "3");
        records.write("顶部图片勾选", "1");
        records.write("底部图片勾选", "1");
        writePictures(home);

        RecordingBackend backend;
        QVERIFY(printReceipt(*home.store, home.paths, order(), backend, false));
        QCOMPARE(backend.jobs.size(), 3);
        QVERIFY(backend.jobs.at(0).firstCopy);
        QCOMPARE(backend.jobs.at(0).canvas.pictures().size(), 2);
        for (int i = 1; i < 3; ++i) {
            const auto &job = backend.jobs.at(i);
            QVERIFY(!job.firstCopy);
            QVERIFY(job.ended);
            QVERIFY(job.canvas.pictures().isEmpty());
            QCOMPARE(job.canvas.texts(), backend.jobs.at(0).canvas.texts());
            QCOMPARE(job.canvas.ops.first().y, 0);
        }
        // Every page is exactly as long as what was drawn on it: the pictures add
        // 480 × 189 / 430 and 480 to the first.
        const int bodyLength = backend.jobs.at(1).length;
        QCOMPARE(backend.jobs.at(0).length, bodyLength + 210 + 480);
        const auto &last = backend.jobs.at(1).canvas.ops.last();
        QCOMPARE(bodyLength, last.y + RecordingCanvas::lineHeight(last.size) + 6);
        QCOMPARE(backend.jobs.at(0).layoutWidth, 480);
        QCOMPARE(backend.jobs.at(0).paperWidth, 580);
    }

    void singleCopyAndBadCopies_data()
    {
        QTest::addColumn<QString>("copies");
        QTest::addColumn<bool>("single");
        QTest::addColumn<int>("jobs");
        QTest::newRow("single with 4") << "4" << true << 1;
        QTest::newRow("4") << "4" << false << 4;
        QTest::newRow("not a number") << "x" << false << 1;
        QTest::newRow("0") << "0" << false << 1;
        QTest::newRow("hand-edited 999 prints at most 4") << "999" << false << 4;
        QTest::newRow("single with 999") << "999" << true << 1;
    }
    void singleCopyAndBadCopies()
    {
        QFETCH(QString, copies);
        QFETCH(bool, single);
        QFETCH(int, jobs);
        TestHome home;
        RecordTable(*home.store).write("打印份数", copies);
        RecordingBackend backend;
        QVERIFY(printReceipt(*home.store, home.paths, order(), backend, single));
        QCOMPARE(backend.jobs.size(), jobs);
    }

    void cancelledDialogPrintsNothing()
    {
        TestHome home;
        RecordTable(*home.store).write("打印份数", "3");
        RecordingBackend backend;
        backend.cancelDialog = true;
        QVERIFY(!printReceipt(*home.store, home.paths, order(), backend, false));
        QVERIFY(backend.jobs.isEmpty());
        QCOMPARE(backend.attempts, 1);
    }

    void failedFurtherCopyStops()
    {
        TestHome home;
        RecordTable(*home.store).write("打印份数", "4");
        RecordingBackend backend;
        backend.failJob = 2;
        QVERIFY(!printReceipt(*home.store, home.paths, order(), backend, false));
        QCOMPARE(backend.jobs.size(), 2);
        QCOMPARE(backend.attempts, 3);
    }

    void missingPicturesAreNotCreated()
    {
        TestHome home;
        RecordTable records(*home.store);
        records.write("设置类型", "1");
        records.write("顶部图片勾选", "1");
        records.write("底部图片勾选", "1");
        RecordingBackend backend;
        QVERIFY(printReceipt(*home.store, home.paths, order(), backend, true));
        QVERIFY(backend.jobs.at(0).canvas.pictures().isEmpty());
        QCOMPARE(backend.jobs.at(0).canvas.ops.first().y, 0);
        QVERIFY(!QFile::exists(home.paths.topPicture()));
        QVERIFY(!QFile::exists(home.paths.bottomPicture()));
    }

    void paperWidthEntriesCreated_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("width");
        QTest::newRow("58") << "0" << "58小票打印宽度" << 480;
        QTest::newRow("80") << "1" << "80小票打印宽度" << 700;
    }
    void paperWidthEntriesCreated()
    {
        QFETCH(QString, type);
        QFETCH(QString, key);
        QFETCH(int, width);
        TestHome home;
        RecordTable(*home.store).write("小票类型", type);
        const QByteArray before = fileBytes(home.paths.configPath());
        QVERIFY(!gbk::decode(before).contains(key));

        RecordingBackend backend;
        QVERIFY(printReceipt(*home.store, home.paths, order(), backend, true));
        QCOMPARE(backend.jobs.at(0).layoutWidth, width);
        const QByteArray after = fileBytes(home.paths.configPath());
        QCOMPARE(after, before + gbk::encode(key + QStringLiteral(" = {%1}\r\n").arg(width)));

        // The operator's own width is used from then on; a damaged one falls back.
        QFile file(home.paths.configPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(gbk::encode(key + " = {520}\r\n"));
        file.close();
        QCOMPARE(receiptPaperWidth(*home.store, home.paths.configPath()), 520);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(gbk::encode(key + " = {abc}\r\n"));
        file.close();
        QCOMPARE(receiptPaperWidth(*home.store, home.paths.configPath()), width);
    }

    void pdfFolderWritesOnePagePerCopy()
    {
        TestHome home;
        RecordTable records(*home.store);
        records.write("小票类型", "1");
        records.write("打印份数", "2");
        const QString folder = home.dir.filePath("pdf");
        PdfFolderBackend backend(folder);
        QVERIFY(printReceipt(*home.store, home.paths, order(), backend, false));
        const QStringList files = QDir(folder).entryList({"*.pdf"}, QDir::Files);
        QCOMPARE(files.size(), 2);
        const QByteArray pdf = fileBytes(QDir(folder).filePath(files.first()));
        QVERIFY(pdf.startsWith("%PDF"));
        // One page, 80 mm wide (226.8 pt), as long as the receipt.
        const auto match = QRegularExpression(R"(/MediaBox \[0 0 ([0-9.]+) ([0-9.]+)\])").match(QString::fromLatin1(pdf));
        QVERIFY(match.hasMatch());
        QVERIFY(qAbs(match.captured(1).toDouble() - 226.77) < 0.5);
        QVERIFY(match.captured(2).toDouble() > 100);
        QCOMPARE(QString::fromLatin1(pdf).count(QRegularExpression("/Type\\s*/Page[^s]")), 1);
    }

    void unwritablePdfFolderFails()
    {
        TestHome home;
        QFile blocker(home.dir.filePath("blocked"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        PdfFolderBackend backend(home.dir.filePath("blocked/pdf"));
        QVERIFY(!printReceipt(*home.store, home.paths, order(), backend, true));
    }
};

QTEST_MAIN(TestPrintReceipt)
#include "tst_printreceipt.moc"
