#include "webordering/qrcode.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace vorlan;

namespace {

// What a phone's camera reads from the picture, through zbarimg.
QString scanned(const QImage &picture)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("qr.png");
    if (!picture.save(path))
        return "(not saved)";
    QProcess zbar;
    zbar.start("zbarimg", {"--raw", "-q", path});
    zbar.waitForFinished(20000);
    return QString::fromUtf8(zbar.readAllStandardOutput()).chopped(1);
}

} // namespace

class TestQrCode : public QObject
{
    Q_OBJECT
private slots:
    void encodesAndDecodes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width"); // 17 + 4 × the smallest version holding the bytes at level M
        QTest::newRow("short") << "http://10.0.0.5:8080/" << 25;
        QTest::newRow("table link") << "http://192.168.1.20:8080/?t=ABCDEFGHIJKLMNOP&table=A12" << 33;
        QTest::newRow("chinese") << "扫码点餐 桌号 大厅3" << 29; // 27 bytes: one over version 2
        QTest::newRow("long") << QString(300, 'x') << 69;
    }
    void encodesAndDecodes()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        const QImage modules = qrCodeModules(text);
        QCOMPARE(modules.width(), width);
        QCOMPARE(modules.height(), width);
        // The finder pattern's corner modules: dark, with its white ring inside.
        QCOMPARE(qGray(modules.pixel(0, 0)), 0);
        QCOMPARE(qGray(modules.pixel(1, 1)), 255);
        QCOMPARE(qGray(modules.pixel(width - 1, 0)), 0);

        const QImage picture = qrCodePicture(text, 4);
        QCOMPARE(picture.width(), (width + 8) * 4);
        QCOMPARE(qGray(picture.pixel(15, 15)), 255); // quiet zone
        QCOMPARE(qGray(picture.pixel(16, 16)), 0);
        if (QStandardPaths::findExecutable("zbarimg").isEmpty())
            QSKIP("zbarimg (zbar-tools) is not installed; the matrix was checked above");
        QCOMPARE(scanned(picture), text);
    }

    void refusesWhatDoesNotFit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("over 2331 bytes") << QString(2400, 'x');
    }
    void refusesWhatDoesNotFit()
    {
        QFETCH(QString, text);
        QVERIFY(qrCodeModules(text).isNull());
        QVERIFY(qrCodePicture(text, 4).isNull());
    }
};

QTEST_GUILESS_MAIN(TestQrCode)
#include "tst_qrcode.moc"
