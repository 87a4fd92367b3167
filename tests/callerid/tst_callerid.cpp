#include "callerid/calleridport.h"
#include "callerid/calleridsettings.h"
#include "callerid/callerlines.h"
#include "callerid/calllog.h"
#include "core/recordtable.h"
#include "fakemodem.h"
#include "testhome.h"

#include <QTemporaryDir>
#include <QTest>

using namespace vorlan;

namespace {

// A call as one text: the number, or P / O, with name, date and time when sent.
QString describe(const CallerIdCall &call)
{
    const QString who = call.kind == CallerIdCall::Kind::Private       ? QStringLiteral("P")
                        : call.kind == CallerIdCall::Kind::Unavailable ? QStringLiteral("O")
                                                                       : call.number;
    QStringList parts{who};
    if (!call.name.isEmpty() || !call.lineDate.isEmpty() || !call.lineTime.isEmpty())
        parts << call.name << call.lineDate << call.lineTime;
    return parts.join(u'|');
}

QStringList decode(CallerIdMode mode, const QByteArray &stream, int chunk)
{
    LineSplitter splitter;
    CallDecoder decoder(mode);
    QStringList calls;
    for (qsizetype at = 0; at < stream.size(); at += chunk)
        for (const QByteArray &line : splitter.feed(stream.mid(at, chunk)))
            if (const auto call = decoder.take(line))
                calls.append(describe(*call));
    return calls;
}

// The port under test with short intervals, collecting what it reports.
struct Listener {
    CallerIdPort port;
    QStringList calls, problems;
    int opened = 0;
    QString ready = QStringLiteral("-");

    Listener()
    {
        port.setRetryInterval(40);
        port.setAnswerTimeout(150);
        QObject::connect(&port, &CallerIdPort::callArrived, [this](const CallerIdCall &c) { calls.append(describe(c)); });
        QObject::connect(&port, &CallerIdPort::problem, [this](const QString &t) { problems.append(t); });
        QObject::connect(&port, &CallerIdPort::opened, [this] { ++opened; });
        QObject::connect(&port, &CallerIdPort::modemReady, [this](const QString &c) { ready = c; });
    }
};

const QByteArray kCall = "RING\r\n\r\nDATE = 1210\r\nTIME = 1132\r\nNMBR = 138-1234-5678\r\n\r\nRING\r\n";

} // namespace

class TestCallerId : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_devices = 0;
    // Each device its own name: the serial port's lock file is named after it.
    QString devicePath() { return m_dir.filePath(QStringLiteral("modem-%1-%2").arg(getpid()).arg(++m_devices)); }

private slots:
    void phoneNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("number");
        QTest::newRow("plain") << "13812345678" << "13812345678";
        QTest::newRow("blanks and dashes") << " 138 1234-5678 " << "13812345678";
        QTest::newRow("landline with area code") << "(010) 8888.6666" << "01088886666";
        QTest::newRow("country code") << "+86 138 1234 5678" << "13812345678";
        QTest::newRow("long-distance 0 before a mobile") << "013812345678" << "13812345678";
        QTest::newRow("foreign") << "+1 212 555 0100" << "0012125550100";
        QTest::newRow("letters") << "138O1234567" << "";
        QTest::newRow("too short, plus inside") << "+" << "";
    }
    void phoneNumbers()
    {
        QFETCH(QString, text);
        QFETCH(QString, number);
        QCOMPARE(normalizedPhoneNumber(text), number);
    }

    void decoding_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QStringList>("calls");
        const int modem = int(CallerIdMode::Modem), plain = int(CallerIdMode::Plain);
        QTest::newRow("modem, formatted number") << modem << kCall << QStringList{"13812345678||1210|1132"};
        QTest::newRow("modem, name before number")
            << modem << QByteArray("NAME = LI\nNMBR = 02088886666\n") << QStringList{"02088886666|LI||"};
        QTest::newRow("modem, private")
            << modem << QByteArray("DATE = 1210\r\nTIME = 0901\r\nNMBR = P\r\nNAME = P\r\n") << QStringList{"P||1210|0901"};
        QTest::newRow("modem, unavailable") << modem << QByteArray("RING\r\nNMBR = O\r\n") << QStringList{"O"};
        QTest::newRow("modem, DDN_NMBR") << modem << QByteArray("DDN_NMBR=13900001111\r\n") << QStringList{"13900001111"};
        QTest::newRow("modem, rings only") << modem << QByteArray("RING\r\n\r\nRING\r\nOK\r\n") << QStringList{};
        QTest::newRow("modem ignores bare numbers") << modem << QByteArray("0\r\n13812345678\r\n") << QStringList{};
        QTest::newRow("modem, a new report drops an unfinished one")
            << modem << QByteArray("DATE = 1210\r\nNAME = OLD\r\nDATE = 1211\r\nNMBR = 13812345678\r\n")
            << QStringList{"13812345678||1211|"};
        QTest::newRow("plain numbers")
            << plain << QByteArray("13812345678\r\n020-8888-6666\n") << QStringList{"13812345678", "02088886666"};
        QTest::newRow("plain, ring and garbage")
            << plain << QByteArray("RING\r\n\x01\x02##!!\xff\xfe\r\n138 1234 5678\r\n") << QStringList{"13812345678"};
        QTest::newRow("control bytes inside a line")
            << modem << QByteArray("NM\0BR = 1381234\x10" "5678\r\n", 22) << QStringList{"13812345678"};
        QTest::newRow("overlong line thrown away")
            << plain << QByteArray(500, '1') + "\r\n13812345678\r\n" << QStringList{"13812345678"};
        QTest::newRow("unfinished last line waits") << plain << QByteArray("13812345678") << QStringList{};
    }
    void decoding()
    {
        QFETCH(int, mode);
        QFETCH(QByteArray, stream);
        QFETCH(QStringList, calls);
        // Whole, and cut into reads of every size, which splits lines anywhere.
        for (int chunk : {int(stream.size()), 1, 2, 3, 7})
            QCOMPARE(decode(CallerIdMode(mode), stream, qMax(1, chunk)), calls);
    }

    void bufferStaysBounded()
    {
        LineSplitter splitter;
        const QByteArray noise(4096, 'x');
        for (int i = 0; i < 256; ++i) {
            QVERIFY(splitter.feed(noise).isEmpty());
            QVERIFY(splitter.pending() <= LineSplitter::kDefaultMaxLength);
        }
        QCOMPARE(splitter.feed("\r\nNMBR = 1\r\n"), QList<QByteArray>{"NMBR = 1"});
        QCOMPARE(splitter.pending(), 0);
    }

    void callLogKeepsTheNewest()
    {
        CallLog log;
        for (int i = 0; i < CallLog::kSize + 5; ++i)
            log.add(CallerIdCall{CallerIdCall::Kind::Number, QString::number(1000 + i), {}, {}, {}, {}});
        QCOMPARE(log.calls().size(), CallLog::kSize);
        QCOMPARE(log.calls().first().number, QStringLiteral("1024"));
        QCOMPARE(log.calls().last().number, QStringLiteral("1005"));
    }

    void settingsInRecords()
    {
        TestHome home;
        QCOMPARE(readCallerIdSettings(*home.store), CallerIdSettings());
        const CallerIdSettings s{QStringLiteral("/dev/ttyUSB0"), CallerIdMode::Plain, 1200};
        QVERIFY(saveCallerIdSettings(*home.store, s));
        QCOMPARE(readCallerIdSettings(*home.store), s);
        QCOMPARE(RecordTable(*home.store).read(QStringLiteral("来电显示模式")), QStringLiteral("1"));
        QVERIFY(RecordTable(*home.store).write(QStringLiteral("来电显示波特率"), QStringLiteral("12345")));
        QCOMPARE(readCallerIdSettings(*home.store).baudRate, 9600);
    }

    // The modem answers the caller-ID commands; the port tries them in turn.
    void modemCommands_data()
    {
        QTest::addColumn<QStringList>("accepts");
        QTest::addColumn<bool>("answers");
        QTest::addColumn<QStringList>("tried");
        QTest::addColumn<QString>("ready");
        QTest::newRow("takes AT+VCID=1") << QStringList{"AT+VCID=1"} << true << QStringList{"AT+VCID=1"} << "AT+VCID=1";
        QTest::newRow("takes AT#CID=1 only")
            << QStringList{"AT#CID=1"} << true << QStringList{"AT+VCID=1", "AT#CID=1"} << "AT#CID=1";
        QTest::newRow("takes none") << QStringList{} << true << ModemInit::commands() << "";
        QTest::newRow("silent") << QStringList{} << false << ModemInit::commands() << "";
    }
    void modemCommands()
    {
        QFETCH(QStringList, accepts);
        QFETCH(bool, answers);
        QFETCH(QStringList, tried);
        QFETCH(QString, ready);
        FakeModem modem(devicePath(), accepts);
        modem.answers = answers;
        QVERIFY(modem.open());
        Listener listener;
        listener.port.start({modem.path(), CallerIdMode::Modem, 115200});
        QVERIFY(listener.port.isOpen());
        QTRY_COMPARE(listener.ready, ready);
        QCOMPARE(modem.commands, tried);
        QCOMPARE(listener.port.triedCommands(), tried);
        QCOMPARE(listener.problems.size(), ready.isEmpty() ? 1 : 0);
        // A call still comes through, even in pieces.
        modem.play(kCall.left(30));
        QTest::qWait(20);
        modem.play(kCall.mid(30));
        QTRY_COMPARE(listener.calls, QStringList{"13812345678||1210|1132"});
    }

    void deviceVanishesMidCallAndReturns_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("commands");
        QTest::newRow("modem") << int(CallerIdMode::Modem) << QStringList{"AT+VCID=1"};
        QTest::newRow("box") << int(CallerIdMode::Plain) << QStringList{};
    }
    void deviceVanishesMidCallAndReturns()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, commands);
        FakeModem modem(devicePath(), {QStringLiteral("AT+VCID=1")});
        QVERIFY(modem.open());
        Listener listener;
        listener.port.start({modem.path(), CallerIdMode(mode), 9600});
        QTRY_COMPARE(modem.commands, commands);
        modem.play("RING\r\nDATE = 1210\r\nTIME = 1132\r\nNM");
        QTest::qWait(30);
        modem.vanish();
        QTRY_VERIFY(!listener.port.isOpen());
        QTest::qWait(300); // several retries while it is away: told once
        QCOMPARE(listener.problems.size(), 1);
        QVERIFY2(listener.problems.first().contains(QStringLiteral("已断开")), qPrintable(listener.problems.first()));

        modem.commands.clear();
        QVERIFY(modem.open());
        QTRY_COMPARE(listener.opened, 2);
        QTRY_COMPARE(modem.commands, commands); // a modem is set up again
        // The half line from before is gone; the new device's lines stand on their own.
        modem.play("BR = 13900000000\r\nNMBR = 13812345678\r\n");
        QTRY_COMPARE(listener.calls, QStringList{"13812345678"});
        QCOMPARE(listener.problems.size(), 1);
        QCOMPARE(modem.commands, commands); // a box is never sent commands

        // Gone again after it worked: told again.
        modem.vanish();
        QTRY_COMPARE(listener.problems.size(), 2);
    }

    void missingDeviceIsRetriedQuietly()
    {
        const QString path = devicePath();
        Listener listener;
        listener.port.start({path, CallerIdMode::Plain, 9600});
        QVERIFY(!listener.port.isOpen());
        QCOMPARE(listener.problems.size(), 1);
        QVERIFY(listener.problems.first().contains(QStringLiteral("打不开")));
        QTest::qWait(250);
        QCOMPARE(listener.problems.size(), 1);
        QCOMPARE(listener.opened, 0);

        FakeModem modem(path);
        QVERIFY(modem.open());
        QTRY_COMPARE(listener.opened, 1);
        modem.play("13812345678\n");
        QTRY_COMPARE(listener.calls, QStringList{"13812345678"});

        // Stopped, it no longer retries.
        listener.port.stop();
        modem.vanish();
        QTest::qWait(150);
        QCOMPARE(listener.opened, 1);
        QCOMPARE(listener.problems.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestCallerId)
#include "tst_callerid.moc"
