#include "core/gbk.h"
#include "core/numbers.h"
#include "core/paths.h"

#include <QTest>

using namespace vorlan;

class TestNumbers : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "15.5" << 15.5;
        QTest::newRow("blanks before") << "  7" << 7.0;
        QTest::newRow("prefix only") << "12abc" << 12.0;
        QTest::newRow("no number") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("full-width digit") << "５" << 5.0;
        QTest::newRow("full-width sign and point") << "－１２．５" << -12.5;
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("lone point") << "." << 0.0;
        QTest::newRow("exponent") << "1e2" << 100.0;
        QTest::newRow("dangling exponent") << "3e" << 3.0;
        QTest::newRow("huge is not infinity") << "1e999" << 0.0;
        QTest::newRow("hex is not decimal") << "0x10" << 0.0;
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(parseNumber(text), value);
    }

    void format_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("integer") << 31.0 << "31";
        QTest::newRow("half") << 12.5 << "12.5";
        QTest::newRow("sum of tenths") << 0.1 + 0.2 << "0.3";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("negative") << -2.5 << "-2.5";
        QTest::newRow("large") << 1260.0 << "1260";
        QTest::newRow("negative half") << -0.5 << "-0.5";
        QTest::newRow("thirteen digits") << 123456789012.3 << "123456789012.3";
        QTest::newRow("beyond thirteen digits") << 1e13 << "1e+13";
        QTest::newRow("hundredths") << 12.25 << "12.25";
    }
    void format()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(formatDouble(value), text);
    }

    // Whole numbers and tenths take a shorter road; it must write what printf writes.
    void formatMatchesPrintf()
    {
        for (qint64 k = -20000; k <= 20000; k += 7) {
            for (const double value : {k / 10.0, k / 100.0, k * 1.0, k * 123456.7, k / 3.0}) {
                const QString expected = value == 0.0 ? QStringLiteral("0") : QString::asprintf("%.13g", value);
                QCOMPARE(formatDouble(value), expected);
            }
        }
    }

    void formatSinglePrecision()
    {
        QCOMPARE(formatSingle(15.5f), QStringLiteral("15.5"));
        QCOMPARE(formatSingle(18.0f), QStringLiteral("18"));
        QCOMPARE(formatSingle(0.1f), QStringLiteral("0.1"));
        QCOMPARE(formatSingle(static_cast<float>(toSingle(38.3))), QStringLiteral("38.3"));
    }

    void storedNumbersShowTheirExactValue()
    {
        // Whatever the text, reading it back gives the stored value.
        for (double v : {12345.67, 98765.4321, 0.1 + 0.2, 1e15 + 0.5, 2.345, 15.3, -7.25})
            QVERIFY2(parseNumber(formatStoredNumber(v)) == v, qPrintable(formatStoredNumber(v)));
        QCOMPARE(formatStoredNumber(12345.67), QStringLiteral("12345.67"));
        // written by an older version through single precision: shown as it was typed
        QCOMPARE(formatStoredNumber(double(15.3f)), QStringLiteral("15.3"));
        QCOMPARE(formatStoredNumber(0.0), QStringLiteral("0"));
    }

    void rounding_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("places");
        QTest::addColumn<double>("rounded");
        QTest::newRow("zero") << 0.0 << 1 << 0.0;
        QTest::newRow("up") << 2.25 << 1 << 2.3;
        QTest::newRow("negative up") << -2.25 << 1 << -2.3;
        QTest::newRow("1.25 one place") << 1.25 << 1 << 1.3;
        QTest::newRow("0.04 one place") << 0.04 << 1 << 0.0;
        QTest::newRow("binary 1.005") << 1.005 << 2 << 1.01;
        QTest::newRow("no places") << 2.5 << 0 << 3.0;
        QTest::newRow("tens") << 15.0 << -1 << 20.0;
        // Huge values have nothing left to round; scaling them must not overflow.
        QTest::newRow("huge two places") << 2e306 << 2 << 2e306;
        QTest::newRow("largest double") << -1.7976931348623157e308 << 7 << -1.7976931348623157e308;
        QTest::newRow("beyond 2^53") << 9007199254740993.0 << 1 << 9007199254740993.0;
    }
    void rounding()
    {
        QFETCH(double, value);
        QFETCH(int, places);
        QFETCH(double, rounded);
        QCOMPARE(roundHalfUp(value, places), rounded);
    }

    void zeroTest()
    {
        QVERIFY(isZero(0.0));
        QVERIFY(isZero(1e-7));
        QVERIFY(isZero(-1e-7));
        QVERIFY(!isZero(1.1e-7));
        QVERIFY(isZero(0.1 + 0.2 - 0.3));
    }

    void gbkWidths()
    {
        QCOMPARE(gbk::byteWidth(QStringLiteral("abc")), 3);
        QCOMPARE(gbk::byteWidth(QStringLiteral("红烧排骨饭")), 10);
        QCOMPARE(gbk::byteWidth(QStringLiteral("x2份")), 4);
        QCOMPARE(gbk::encode(QStringLiteral("中文，测试")).toHex(), QByteArray("d6d0cec4a3acb2e2cad4"));
        QCOMPARE(gbk::decode(gbk::encode(QStringLiteral("老王's ￥5"))), QStringLiteral("老王's ￥5"));
    }

    void programFolder()
    {
        const QStringList noArgs{"vorlan"};
        QCOMPARE(chooseHome({"vorlan", "--home", "/srv/shop"}, "/env", "/opt", true, "/appdata"), QStringLiteral("/srv/shop"));
        QCOMPARE(chooseHome({"vorlan", "--home=/srv/x/"}, "", "/opt", true, "/appdata"), QStringLiteral("/srv/x"));
        QCOMPARE(chooseHome(noArgs, "/env", "/opt", true, "/appdata"), QStringLiteral("/env"));
        QCOMPARE(chooseHome(noArgs, "", "/opt/vorlan", true, "/appdata"), QStringLiteral("/opt/vorlan"));
        QCOMPARE(chooseHome(noArgs, "", "/usr/bin", false, "/home/a/.local/share/Vorlan"),
                 QStringLiteral("/home/a/.local/share/Vorlan"));
        // Root may write /usr/bin; an installed program still keeps its data in the user's folder.
        QCOMPARE(chooseHome(noArgs, "", "/usr/local/bin/", true, "/root/.local/share/Vorlan"),
                 QStringLiteral("/root/.local/share/Vorlan"));
        QCOMPARE(chooseHome(noArgs, "", "/srv/unpacked/usr/bin", true, "/appdata"), QStringLiteral("/srv/unpacked/usr/bin"));
        QVERIFY(isInsideFolder("/tmp/vorlan", "/tmp"));
        QVERIFY(isInsideFolder("/TMP/x", "/tmp"));
        QVERIFY(!isInsideFolder("/tmpfoo/x", "/tmp"));
        QVERIFY(!isInsideFolder("/home/shop", "/tmp"));
        QVERIFY(!isInsideFolder("/home/shop", "/"));
        QVERIFY(!isInsideFolder("/home/shop", ""));
    }
};

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
