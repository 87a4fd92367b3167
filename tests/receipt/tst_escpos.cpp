#include "escposreader.h"
#include "scriptedprompter.h"
#include "testhome.h"

#include "core/recordtable.h"
#include "receipt/defaultpictures.h"
#include "receipt/escpos/dotcanvas.h"
#include "receipt/escpos/escposbackend.h"
#include "receipt/escpos/escposencoder.h"
#include "receipt/escpos/escposjob.h"
#include "receipt/escpossettings.h"
#include "receipt/previewrender.h"
#include "receipt/printreceipt.h"
#include "receipt/receiptlayout.h"

#include <QDir>
#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QTimer>
#include <QTest>

#include <atomic>
#include <cerrno>

#include <sys/stat.h>

using namespace vorlan;

namespace {

bool writeSettings(RecordTable &records, const EscPosSettings &settings)
{
    for (const auto &[key, value] : escPosSettingsRecords(settings))
        if (!records.write(key, value))
            return false;
    return true;
}

ReceiptSnapshot order()
{
    ReceiptSnapshot o;
    o.orderNumber = "7";
    o.header = "美团外卖";
    o.shopName = "白云快餐";
    o.paymentMethod = "现金支付";
    o.orderTime = "08-05 09:07";
    o.lines = {{"宫保鸡丁", "2", "份", "36"}, {"米饭", "1", "碗", "2"}, {"招牌秘制红烧排骨套餐加煎蛋", "1", "份", "28"}};
    o.discountName = "满减";
    o.discountPortions = "1";
    o.discountAmount = "5";
    o.total = "61";
    o.paid = "61";
    o.customerName = "王先生";
    o.phone = "13812345678";
    o.address = "幸福路88号阳光花园3栋2单元501室";
    return o;
}

// A shop that prints both pictures on 80 mm paper, `copies` times.
void setUpShop(TestHome &home, const QString &copies, const QString &paper = "1")
{
    RecordTable records(*home.store);
    QVERIFY(records.write("设置类型", "1"));
    QVERIFY(records.write("小票类型", paper));
    QVERIFY(records.write("打印份数", copies));
    QVERIFY(records.write("顶部图片勾选", "1"));
    QVERIFY(records.write("底部图片勾选", "1"));
    QDir().mkpath(home.paths.dataDir());
    QVERIFY(defaultTopPicture().save(home.paths.topPicture()));
    QVERIFY(defaultBottomPicture().save(home.paths.bottomPicture()));
}

// The 1-bit rendering of the preview of `order` at `dotWidth` as it is sent: with the
// pictures for the first copy, without for the others.
QImage expectedCopy(TestHome &home, int dotWidth, bool withPictures)
{
    RecordTable records(*home.store);
    const ReceiptProfile profile = loadReceiptProfile(records);
    const QImage top(home.paths.topPicture());
    const QImage bottom(home.paths.bottomPicture());
    return sentEscPosBitmap(renderReceiptBitmap(profile, order(), dotWidth, withPictures ? &top : nullptr,
                                                withPictures ? &bottom : nullptr),
                            {});
}

// A stand-in for write(2) on a port that never takes anything.
std::atomic<int> refusedWrites{0};
long refuseWrite(int, const void *, unsigned long)
{
    ++refusedWrites;
    errno = EAGAIN;
    return -1;
}
long takeNothing(int, const void *, unsigned long)
{
    ++refusedWrites;
    return 0;
}

std::optional<quint8> paperOut(int n) { return quint8(n == 1 ? 0x1a : n == 2 ? 0x32 : 0x72); }
std::optional<quint8> coverOpen(int n) { return quint8(n == 1 ? 0x1a : n == 2 ? 0x16 : 0x12); }

EscPosTarget network(quint16 port)
{
    EscPosTarget target;
    target.kind = EscPosTarget::Kind::Network;
    target.host = "127.0.0.1";
    target.port = port;
    target.connectTimeoutMs = 2000;
    target.writeTimeoutMs = 3000;
    target.statusTimeoutMs = 300;
    return target;
}

EscPosTarget device(const QString &path)
{
    EscPosTarget target;
    target.kind = EscPosTarget::Kind::Device;
    target.device = path;
    target.writeTimeoutMs = 2000;
    return target;
}

QImage pattern(int width, int height)
{
    QImage mono(width, height, QImage::Format_Mono);
    mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            mono.setPixel(x, y, (x * 7 + y * 3) % 5 == 0 ? 1 : 0);
    return mono;
}

qint64 blackPixels(const QImage &image)
{
    qint64 n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qGray(image.pixel(x, y)) < 128;
    return n;
}

} // namespace

class TestEscPos : public QObject
{
    Q_OBJECT
private slots:
    void encoderWritesBandsFeedAndCut_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("bandRows");
        QTest::addColumn<QList<int>>("bands");
        QTest::newRow("576 × 600 in 255-row bands") << 576 << 600 << 255 << QList<int>{255, 255, 90};
        QTest::newRow("exactly one band") << 384 << 255 << 255 << QList<int>{255};
        QTest::newRow("printer limit of 100 rows") << 384 << 230 << 100 << QList<int>{100, 100, 30};
        QTest::newRow("limit above 255 is held to 255") << 384 << 300 << 1000 << QList<int>{255, 45};
    }
    void encoderWritesBandsFeedAndCut()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, bandRows);
        QFETCH(QList<int>, bands);
        const QImage bitmap = pattern(width, height);
        EscPosEncoding encoding;
        encoding.bandRows = bandRows;
        const QByteArray bytes = encodeEscPosCopy(bitmap, encoding);
        QVERIFY(bytes.startsWith(QByteArray("\x1b\x40", 2)));
        QVERIFY(bytes.endsWith(QByteArray("\x1b\x64\x04\x1d\x56\x01", 6)));
        const EscPosReading reading = readEscPos(bytes);
        QVERIFY2(reading.error.isEmpty(), qPrintable(reading.error));
        QCOMPARE(reading.bandRows, bands);
        for (int b : reading.bandBytesPerRow)
            QCOMPARE(b, width / 8);
        QVERIFY(reading.densities.isEmpty());
        QCOMPARE(reading.copies.size(), 1);
        QCOMPARE(differingPixels(reading.copies.first(), bitmap), 0);
    }

    void encoderDensityPaddingAndColourTable()
    {
        // Density goes after ESC @ (which would reset it), as a signed byte.
        EscPosEncoding encoding;
        encoding.density = -3;
        QByteArray bytes = encodeEscPosCopy(pattern(384, 10), encoding);
        QCOMPARE(bytes.mid(2, 7), QByteArray("\x1d\x28\x4b\x02\x00\x31\xfd", 7));
        QCOMPARE(readEscPos(bytes).densities, QList<int>{-3});

        // A width that is not a whole number of bytes: the padding bits never print.
        QImage odd(20, 3, QImage::Format_Mono);
        odd.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
        odd.fill(1);
        bytes = encodeEscPosCopy(odd, {});
        EscPosReading reading = readEscPos(bytes);
        QCOMPARE(reading.bandBytesPerRow, QList<int>{3});
        QCOMPARE(uchar(bytes.at(2 + 8 + 2)), uchar(0xf0));
        QCOMPARE(blackPixels(reading.copies.first()), 60);

        // A bitmap whose colour table has black first still prints black as black.
        QImage swapped = pattern(64, 8);
        swapped.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        reading = readEscPos(encodeEscPosCopy(swapped, {}));
        QCOMPARE(differingPixels(reading.copies.first(), swapped), 0);
    }

    void picturesAreDitheredTextStaysCrisp()
    {
        // Grey comes out as a dot pattern of about its darkness; transparent parts and
        // white print nothing, black prints solid.
        QImage grey(100, 100, QImage::Format_ARGB32);
        grey.fill(qRgb(128, 128, 128));
        const qint64 dots = blackPixels(ditheredPicture(grey, 100, 100));
        QVERIFY2(dots > 4500 && dots < 5500, QByteArray::number(dots));
        QImage clear(50, 50, QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        QCOMPARE(blackPixels(ditheredPicture(clear, 80, 80)), 0);
        // Dark ink prints solid, light paper tones print nothing.
        QImage ink(10, 10, QImage::Format_RGB32);
        ink.fill(qRgb(0x1a, 0x1a, 0x1a));
        QCOMPARE(blackPixels(ditheredPicture(ink, 30, 20)), 600);
        QImage paper(10, 10, QImage::Format_RGB32);
        paper.fill(qRgb(0xf0, 0xf0, 0xf0));
        QCOMPARE(blackPixels(ditheredPicture(paper, 30, 20)), 0);

        // The page before thresholding holds only pure black and pure white: text is
        // drawn without grey edges, pictures are already dithered.
        QImage page = blankDotPage(576, 400);
        {
            DotReceiptCanvas canvas(&page);
            canvas.setFont(12, true);
            canvas.drawText(0, 0, "合计 ￥61 Total");
            const QImage top = defaultTopPicture();
            canvas.drawPicture(top, 0, 60, 576, 253);
        }
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) {
                const QRgb p = page.pixel(x, y) & 0xffffff;
                QVERIFY2(p == 0 || p == 0xffffff, qPrintable(QString("grey at %1,%2").arg(x).arg(y)));
            }
        QVERIFY(blackPixels(page.copy(0, 0, 576, 40)) > 100);
    }

    void statusRepliesReadAsStates_data()
    {
        QTest::addColumn<int>("printer");
        QTest::addColumn<int>("cause");
        QTest::addColumn<int>("paper");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("printable");
        QTest::newRow("ready") << 0x12 << -1 << 0x12 << "打印机就绪" << true;
        QTest::newRow("paper near end") << 0x12 << -1 << 0x1e << "纸将尽" << true;
        QTest::newRow("paper end") << 0x1a << 0x32 << 0x72 << "缺纸" << false;
        QTest::newRow("paper end from the sensor only") << 0x12 << -1 << 0x7e << "缺纸" << false;
        QTest::newRow("cover open") << 0x1a << 0x16 << 0x12 << "上盖打开" << false;
        QTest::newRow("offline, no cause given") << 0x1a << -1 << 0x12 << "打印机脱机" << false;
        QTest::newRow("no reply") << -1 << -1 << -1 << "打印机无响应" << false;
        QTest::newRow("not a status byte") << 0xff << -1 << 0x12 << "打印机无响应" << false;
    }
    void statusRepliesReadAsStates()
    {
        QFETCH(int, printer);
        QFETCH(int, cause);
        QFETCH(int, paper);
        QFETCH(QString, text);
        QFETCH(bool, printable);
        auto byte = [](int v) { return v < 0 ? std::nullopt : std::optional<quint8>(quint8(v)); };
        const PrinterState state = printerStateFrom(byte(printer), byte(cause), byte(paper));
        QCOMPARE(printerStateText(state), text);
        QCOMPARE(state.canPrint(), printable);
    }

    void networkPrintMatchesThePreviewPixelForPixel()
    {
        TestHome home;
        setUpShop(home, "3");
        FakeNetworkPrinter printer;
        QVERIFY(printer.listen());
        ScriptedPrompter prompter;
        EscPosBackend backend(network(printer.port()), kWideDotWidth, {}, &prompter, nullptr);
        QVERIFY(printReceipt(*home.store, home.paths, order(), backend, false));
        QVERIFY(prompter.shown.isEmpty());
        QCOMPARE(backend.copiesSent(), 3);
        QCOMPARE(printer.connections(), 3);

        const EscPosReading reading = readEscPos(printer.received());
        QVERIFY2(reading.error.isEmpty(), qPrintable(reading.error));
        QCOMPARE(realTimeCommandsInRaster(printer.received()), 0); // the pictures' dots spell some
        QCOMPARE(reading.resets, 3);
        QCOMPARE(reading.cuts, 3);
        QCOMPARE(reading.feeds, 3);
        // Before each copy the state (DLE EOT 1 and 4), after it the delivery check.
        QCOMPARE(reading.statusRequests, 9);
        for (int rows : reading.bandRows)
            QVERIFY(rows >= 1 && rows <= 255);
        QCOMPARE(reading.copies.size(), 3);
        const QImage first = expectedCopy(home, kWideDotWidth, true);
        const QImage further = expectedCopy(home, kWideDotWidth, false);
        QCOMPARE(first.width(), 576);
        QCOMPARE(reading.copies.at(0).size(), first.size());
        QCOMPARE(differingPixels(reading.copies.at(0), first), 0);
        QVERIFY(first.height() > further.height() + 500); // the pictures are on the first only
        QCOMPARE(differingPixels(reading.copies.at(1), further), 0);
        QCOMPARE(differingPixels(reading.copies.at(2), further), 0);
    }

    void theWindowKeepsRunningWhileAJobIsSent()
    {
        TestHome home;
        FakeNetworkPrinter printer;
        printer.replyDelayMs = 150; // three status replies: about half a second
        QVERIFY(printer.listen());
        int ticks = 0;
        bool busy = true;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            ++ticks;
            busy = busy && QGuiApplication::overrideCursor()
                && QGuiApplication::overrideCursor()->shape() == Qt::BusyCursor;
        });
        timer.start(20);
        EscPosBackend backend(network(printer.port()), kNarrowDotWidth, {}, nullptr, nullptr);
        QVERIFY(printReceipt(*home.store, home.paths, order(), backend, true));
        timer.stop();
        QVERIFY2(ticks >= 5, QByteArray::number(ticks));
        QVERIFY(busy);
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void devicePrintThroughFifo()
    {
        // The printer is slow and its driver loses what it has not taken at close: the
        // job counts as printed only once every byte has arrived.
        TestHome home;
        setUpShop(home, "2", "0");
        FifoPrinter fifo(home.dir.filePath("lp0"));
        QVERIFY(fifo.ok());
        ScriptedPrompter prompter;
        EscPosBackend backend(device(home.dir.filePath("lp0")), kNarrowDotWidth, {}, &prompter, nullptr);
        QVERIFY(printReceipt(*home.store, home.paths, order(), backend, false));
        const QByteArray taken = fifo.received();
        QVERIFY(prompter.shown.isEmpty());
        QCOMPARE(fifo.lost(), 0);
        const EscPosReading reading = readEscPos(taken);
        QVERIFY2(reading.error.isEmpty(), qPrintable(reading.error));
        QCOMPARE(reading.copies.size(), 2);
        QCOMPARE(reading.cuts, 2);
        QCOMPARE(reading.statusRequests, 0); // a FIFO cannot answer
        QCOMPARE(reading.bandBytesPerRow.first(), 48);
        QCOMPARE(differingPixels(reading.copies.at(0), expectedCopy(home, kNarrowDotWidth, true)), 0);
        QCOMPARE(differingPixels(reading.copies.at(1), expectedCopy(home, kNarrowDotWidth, false)), 0);
    }

    void deviceThatAnswersIsAskedAroundEachCopy()
    {
        // A character device that answers: its state before each copy, its reply after.
        TestHome home;
        setUpShop(home, "2", "0");
        PtyPrinter pty;
        QVERIFY(pty.ok());
        ScriptedPrompter prompter;
        EscPosBackend backend(device(pty.path()), kNarrowDotWidth, {}, &prompter, nullptr);
        QVERIFY(printReceipt(*home.store, home.paths, order(), backend, false));
        QVERIFY(prompter.shown.isEmpty());
        QCOMPARE(backend.copiesSent(), 2);
        const EscPosReading reading = readEscPos(pty.received());
        QVERIFY2(reading.error.isEmpty(), qPrintable(reading.error));
        QCOMPARE(reading.statusRequests, 6);
        QCOMPARE(reading.copies.size(), 2);
        QCOMPARE(differingPixels(reading.copies.at(1), expectedCopy(home, kNarrowDotWidth, false)), 0);
    }

    void printsIntoAPlainFile()
    {
        // A plain file stands in for a printer to capture what would be printed; each
        // copy is appended.
        TestHome home;
        setUpShop(home, "2");
        const QString path = home.dir.filePath("capture.bin");
        QFile capture(path);
        QVERIFY(capture.open(QIODevice::WriteOnly));
        capture.close();
        ScriptedPrompter prompter;
        EscPosEncoding encoding;
        encoding.density = 2;
        EscPosBackend backend(device(path), kWideDotWidth, encoding, &prompter, nullptr);
        QVERIFY(printReceipt(*home.store, home.paths, order(), backend, false));
        QVERIFY(capture.open(QIODevice::ReadOnly));
        const EscPosReading reading = readEscPos(capture.readAll());
        QVERIFY2(reading.error.isEmpty(), qPrintable(reading.error));
        QCOMPARE(reading.copies.size(), 2);
        QCOMPARE(reading.densities, (QList<int>{2, 2}));
        QCOMPARE(differingPixels(reading.copies.at(0), expectedCopy(home, kWideDotWidth, true)), 0);
        QCOMPARE(differingPixels(reading.copies.at(1), expectedCopy(home, kWideDotWidth, false)), 0);
        if (const QByteArray dump = qgetenv("VORLAN_ESCPOS_DUMP"); !dump.isEmpty()) {
            for (int i = 0; i < reading.copies.size(); ++i)
                reading.copies.at(i).save(QString::fromLocal8Bit(dump) + QStringLiteral("/file-copy%1.png").arg(i + 1));
            QImage preview; // to set beside the printed copy
            const int height = renderPreviewImage(preview, *home.store, home.paths, order(), 300);
            preview.copy(0, 0, preview.width(), height).save(QString::fromLocal8Bit(dump) + QStringLiteral("/preview.png"));
        }
    }

    void failuresAreToldAndNothingCountsAsPrinted_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("message");
        QTest::newRow("paper out") << "paper" << "小票没有打印：缺纸";
        QTest::newRow("cover open") << "cover" << "小票没有打印：上盖打开";
        QTest::newRow("no answer") << "silent" << "小票没有打印：打印机无响应";
        QTest::newRow("connection refused") << "refused" << "连接被拒绝";
        QTest::newRow("closed mid-job") << "hangup" << "断开了连接";
        QTest::newRow("stops taking data mid-job") << "stall" << "打印机";
        QTest::newRow("no device") << "nodevice" << "找不到打印机设备";
        QTest::newRow("device without reader") << "noreader" << "没有连接";
        QTest::newRow("device out of paper") << "devicepaper" << "小票没有打印：缺纸";
        QTest::newRow("device stops before the tail") << "tail" << "打印机长时间不接收数据";
        QTest::newRow("port claims room, refuses data") << "eagain" << "打印机长时间不接收数据";
        QTest::newRow("port claims room, takes nothing") << "zero" << "打印机长时间不接收数据";
    }
    void failuresAreToldAndNothingCountsAsPrinted()
    {
        QFETCH(QString, situation);
        QFETCH(QString, message);
        TestHome home;
        setUpShop(home, "2");
        FakeNetworkPrinter printer;
        if (situation == "paper")
            printer.answer = [](int, int n) { return std::optional<quint8>(n == 1 ? 0x1a : n == 2 ? 0x32 : 0x72); };
        else if (situation == "cover")
            printer.answer = [](int, int n) { return std::optional<quint8>(n == 1 ? 0x1a : n == 2 ? 0x16 : 0x12); };
        else if (situation == "silent")
            printer.answer = [](int, int) { return std::optional<quint8>(); };
        else if (situation == "hangup")
            printer.hangUpAfter = 5000;
        else if (situation == "stall")
            printer.stallAfter = 5000;
        QVERIFY(printer.listen());

        EscPosTarget target = network(situation == "refused" ? closedLoopbackPort() : printer.port());
        target.writeTimeoutMs = 600;
        if (situation == "nodevice")
            target = device(home.dir.filePath("usb/lp9"));
        if (situation == "noreader") {
            QVERIFY(::mkfifo(QFile::encodeName(home.dir.filePath("lp1")).constData(), 0600) == 0);
            target = device(home.dir.filePath("lp1"));
        }
        PtyPrinter pty;
        pty.answer = paperOut;
        if (situation == "devicepaper")
            target = device(pty.path());
        FifoPrinter fifo(home.dir.filePath("lp2"));
        if (situation == "tail" || situation == "eagain" || situation == "zero") {
            target = device(home.dir.filePath("lp2"));
            target.writeTimeoutMs = 600;
        }
        // The printer takes all but the last few bytes, which fit in the driver's buffer.
        if (situation == "tail")
            fifo.stallAfter = encodeEscPosCopy(expectedCopy(home, kWideDotWidth, true), {}).size() - 200;
        refusedWrites = 0;
        if (situation == "eagain" || situation == "zero")
            setDeviceWriteCall(situation == "eagain" ? refuseWrite : takeNothing);
        ScriptedPrompter prompter;
        EscPosBackend backend(target, kWideDotWidth, {}, &prompter, nullptr);
        const bool printed = printReceipt(*home.store, home.paths, order(), backend, false);
        setDeviceWriteCall(nullptr);
        QVERIFY(!printed);
        QCOMPARE(backend.copiesSent(), 0);
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown.first().caption, QString("提示"));
        QVERIFY2(prompter.shown.first().text.contains(message), qPrintable(prompter.shown.first().text));
        if (situation == "stall")
            QVERIFY(prompter.shown.first().text.contains("长时间不接收数据")
                    || prompter.shown.first().text.contains("无法确认小票已送到打印机"));
        if (situation == "paper" || situation == "cover" || situation == "silent") {
            // The state was asked; not one raster byte went out.
            QVERIFY(!printer.received().contains(QByteArray("\x1d\x76\x30", 3)));
            QCOMPARE(printer.connections(), 1);
        }
        if (situation == "devicepaper")
            QCOMPARE(pty.received(), escpos::statusRequest(1) + escpos::statusRequest(2) + escpos::statusRequest(4));
        // Asked again after a pause, not in a spin, until the deadline.
        if (situation == "eagain" || situation == "zero")
            QVERIFY2(refusedWrites > 0 && refusedWrites < 300, QByteArray::number(refusedWrites));
    }

    void aFailedCopySaysWhich_data()
    {
        QTest::addColumn<int>("failing");    // the connection (copy - 1) that fails
        QTest::addColumn<bool>("afterData"); // the printer reports it after the data
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("rasters"); // copies whose data went out
        QTest::newRow("paper out before the second copy")
            << 1 << false << "第 2 份小票没有打印：缺纸\n前 1 份已打印，其余各份不再打印。" << 1;
        QTest::newRow("offline, paper end, after the second copy")
            << 1 << true
            << "第 2 份小票没有打印：缺纸（打印机收到小票后报告此状态，这份小票可能没有打印完整）\n前 1 份已打印，其余各份不再打印。"
            << 2;
        QTest::newRow("cover opened after the first copy")
            << 0 << true << "小票没有打印：上盖打开（打印机收到小票后报告此状态，这份小票可能没有打印完整）" << 1;
    }
    void aFailedCopySaysWhich()
    {
        QFETCH(int, failing);
        QFETCH(bool, afterData);
        QFETCH(QString, message);
        QFETCH(int, rasters);
        TestHome home;
        setUpShop(home, "3");
        FakeNetworkPrinter printer;
        const auto fails = [failing](int connection, int n) {
            return connection == failing ? (failing == 0 ? coverOpen(n) : paperOut(n)) : std::optional<quint8>(0x12);
        };
        (afterData ? printer.answerAfterData : printer.answer) = fails;
        QVERIFY(printer.listen());
        ScriptedPrompter prompter;
        EscPosBackend backend(network(printer.port()), kWideDotWidth, {}, &prompter, nullptr);
        QVERIFY(!printReceipt(*home.store, home.paths, order(), backend, false));
        QCOMPARE(backend.copiesSent(), failing);
        QCOMPARE(prompter.texts(), QStringList{message});
        QCOMPARE(printer.connections(), failing + 1); // the copies after it are not tried
        QCOMPARE(readEscPos(printer.received()).copies.size(), rasters);
    }

    void realTimeCommandsNeverFormInRaster_data()
    {
        // Bytes planted at the end of row 0 and the start of row 1 of an 8-byte-wide picture.
        QTest::addColumn<QByteArray>("endOfFirstRow");
        QTest::addColumn<QByteArray>("startOfSecondRow");
        QTest::addColumn<int>("bandRows");
        QTest::addColumn<int>("dotsLeftOut");
        QTest::newRow("DLE EOT 1 in a row") << QByteArray("\x10\x04\x01", 3) << QByteArray() << 255 << 1;
        QTest::newRow("DLE DC4 drawer pulse") << QByteArray("\x10\x14\x01", 3) << QByteArray("\x00\x05", 2) << 255 << 1;
        QTest::newRow("DLE ENQ 2 clears the buffer") << QByteArray("\xff\x10\x05", 3) << QByteArray("\x02", 1) << 255 << 1;
        QTest::newRow("spanning two rows") << QByteArray("\x10", 1) << QByteArray("\x04\x02\x10\x04", 4) << 255 << 2;
        QTest::newRow("spanning two bands: a header between") << QByteArray("\x10", 1) << QByteArray("\x04\x02", 2) << 1 << 0;
        QTest::newRow("DLE before other data") << QByteArray("\x10\x10\x03\x10\x00", 5) << QByteArray() << 255 << 0;
    }
    void realTimeCommandsNeverFormInRaster()
    {
        QFETCH(QByteArray, endOfFirstRow);
        QFETCH(QByteArray, startOfSecondRow);
        QFETCH(int, bandRows);
        QFETCH(int, dotsLeftOut);
        QImage picture(64, 3, QImage::Format_Mono);
        picture.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
        picture.fill(0);
        std::copy(endOfFirstRow.cbegin(), endOfFirstRow.cend(),
                  reinterpret_cast<char *>(picture.scanLine(0)) + 8 - endOfFirstRow.size());
        std::copy(startOfSecondRow.cbegin(), startOfSecondRow.cend(), reinterpret_cast<char *>(picture.scanLine(1)));
        EscPosEncoding encoding;
        encoding.bandRows = bandRows;
        const QByteArray bytes = encodeEscPosCopy(picture, encoding);
        QCOMPARE(realTimeCommandsInRaster(bytes), 0);
        const EscPosReading reading = readEscPos(bytes);
        QVERIFY2(reading.error.isEmpty(), qPrintable(reading.error));
        const QImage sent = reading.copies.first();
        QCOMPARE(differingPixels(sent, picture), dotsLeftOut);
        QCOMPARE(blackPixels(picture) - blackPixels(sent), dotsLeftOut); // left out, none added
        QCOMPARE(differingPixels(sent, sentEscPosBitmap(picture, encoding)), 0);
    }

    void testPrintReportsTheState_data()
    {
        QTest::addColumn<int>("paper");
        QTest::addColumn<QString>("first");
        QTest::addColumn<bool>("printed");
        QTest::newRow("ready") << 0x12 << "打印机就绪" << true;
        QTest::newRow("near end") << 0x1e << "纸将尽" << true;
        QTest::newRow("paper out") << 0x72 << "缺纸" << false;
    }
    void testPrintReportsTheState()
    {
        QFETCH(int, paper);
        QFETCH(QString, first);
        QFETCH(bool, printed);
        FakeNetworkPrinter printer;
        printer.answer = [paper](int, int n) {
            const bool out = (paper & 0x60) == 0x60;
            return std::optional<quint8>(n == 4 ? paper : n == 2 ? 0x32 : out ? 0x1a : 0x12);
        };
        QVERIFY(printer.listen());
        const QImage page = escPosTestPageBitmap(576, "127.0.0.1:9100", 0);
        QCOMPARE(page.width(), 576);
        EscPosOutcome outcome;
        runOffGuiThread([&] { outcome = escPosTestPrint(network(printer.port()), encodeEscPosCopy(page, {})); });
        QCOMPARE(outcome.sent, printed);
        QCOMPARE(outcome.message.split('\n').first(), first);
        const EscPosReading reading = readEscPos(printer.received());
        QCOMPARE(reading.copies.size(), printed ? 1 : 0);
        if (printed) {
            QCOMPARE(differingPixels(reading.copies.first(), sentEscPosBitmap(page, {})), 0);
            // The frame marks the first and the last dot of the line.
            QVERIFY(qGray(page.pixel(0, 5)) < 128 && qGray(page.pixel(575, 5)) < 128);
        }
    }

    void testPrintOnASilentOrAbsentPrinter()
    {
        FakeNetworkPrinter printer;
        printer.answer = [](int, int) { return std::optional<quint8>(); };
        QVERIFY(printer.listen());
        const QByteArray page = encodeEscPosCopy(escPosTestPageBitmap(384, "x", 2), {});
        EscPosOutcome outcome = escPosTestPrint(network(printer.port()), page);
        QVERIFY(!outcome.sent);
        QCOMPARE(outcome.message, QString("打印机无响应"));
        QVERIFY(!printer.received().contains(QByteArray("\x1d\x76\x30", 3)));

        outcome = escPosTestPrint(network(closedLoopbackPort()), page);
        QVERIFY(!outcome.sent);
        QVERIFY(outcome.message.contains("连接被拒绝"));

        // A device file cannot answer: the page goes out and the message says so.
        QTemporaryDir dir;
        FifoPrinter fifo(dir.filePath("lp0"));
        outcome = escPosTestPrint(device(dir.filePath("lp0")), page);
        QVERIFY(outcome.sent);
        QVERIFY(outcome.message.contains("不回报打印机状态"));
        QCOMPARE(readEscPos(fifo.finish()).copies.size(), 1);
    }

    void settingsAreCheckedAndStoredAsTyped_data()
    {
        QTest::addColumn<bool>("net");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("width");
        QTest::addColumn<int>("field");
        using P = EscPosSettingsProblem;
        QTest::newRow("device ok") << false << "/dev/usb/lp0" << "" << "" << "" << int(P::None);
        QTest::newRow("device empty") << false << "" << "" << "" << "" << int(P::Device);
        QTest::newRow("device relative") << false << "lp0" << "" << "" << "" << int(P::Device);
        QTest::newRow("ip ok, default port") << true << "" << "192.168.1.80" << "" << "576" << int(P::None);
        QTest::newRow("host name ok") << true << "" << "printer-1.shop.lan" << "9100" << "384" << int(P::None);
        QTest::newRow("ipv6 ok") << true << "" << "fe80::1" << "9100" << "" << int(P::None);
        QTest::newRow("host empty") << true << "" << "" << "9100" << "" << int(P::Host);
        QTest::newRow("ip out of range") << true << "" << "192.168.1.300" << "9100" << "" << int(P::Host);
        QTest::newRow("host with blank") << true << "" << "bad host" << "9100" << "" << int(P::Host);
        QTest::newRow("host with trailing blank") << true << "" << "10.0.0.5 " << "9100" << "" << int(P::Host);
        QTest::newRow("port 0") << true << "" << "10.0.0.5" << "0" << "" << int(P::Port);
        QTest::newRow("port 65536") << true << "" << "10.0.0.5" << "65536" << "" << int(P::Port);
        QTest::newRow("port text") << true << "" << "10.0.0.5" << "91a" << "" << int(P::Port);
        QTest::newRow("port signed") << true << "" << "10.0.0.5" << "+9100" << "" << int(P::Port);
        QTest::newRow("width not whole bytes") << true << "" << "10.0.0.5" << "" << "580" << int(P::DotWidth);
        QTest::newRow("width too small") << false << "/dev/lp0" << "" << "" << "56" << int(P::DotWidth);
        QTest::newRow("width text") << false << "/dev/lp0" << "" << "" << "宽" << int(P::DotWidth);
    }
    void settingsAreCheckedAndStoredAsTyped()
    {
        QFETCH(bool, net);
        QFETCH(QString, device);
        QFETCH(QString, host);
        QFETCH(QString, port);
        QFETCH(QString, width);
        QFETCH(int, field);
        EscPosSettings s;
        s.network = net;
        s.device = device;
        s.host = host;
        s.port = port;
        s.dotWidth = width;
        s.density = -2;
        const EscPosSettingsProblem problem = checkEscPosSettings(s);
        QCOMPARE(int(problem.field), field);
        QCOMPARE(problem.message.isEmpty(), field == int(EscPosSettingsProblem::None));

        TestHome home;
        RecordTable records(*home.store);
        QVERIFY(writeSettings(records, s));
        const EscPosSettings back = loadEscPosSettings(records);
        QCOMPARE(back.network, net);
        QCOMPARE(back.device, device);
        QCOMPARE(back.host, host);
        QCOMPARE(back.port, port);
        QCOMPARE(back.dotWidth, width);
        QCOMPARE(back.density, -2);
    }

    void settingsGiveTheTargetAndWidth()
    {
        EscPosSettings s;
        QCOMPARE(escPosDotWidth(s, true), 384);
        QCOMPARE(escPosDotWidth(s, false), 576);
        s.dotWidth = "512";
        QCOMPARE(escPosDotWidth(s, true), 512);
        s.network = true;
        s.host = "10.0.0.5";
        QCOMPARE(escPosTarget(s).port, quint16(9100));
        s.port = "9101";
        QCOMPARE(escPosTarget(s).port, quint16(9101));
        QCOMPARE(escPosTarget(s).describe(), QString("10.0.0.5:9101"));

        QTemporaryDir dev;
        QDir().mkpath(dev.filePath("usb"));
        for (const QString name : {"usb/lp0", "usb/lp1", "lp0", "tty0"}) {
            QFile f(dev.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QCOMPARE(presentPrinterDevices(dev.path()),
                 (QStringList{dev.filePath("usb/lp0"), dev.filePath("usb/lp1"), dev.filePath("lp0")}));
    }
};

QTEST_MAIN(TestEscPos)
#include "tst_escpos.moc"
