#include "core/datastore.h"
#include "testhome.h"
#include "webordering/weborders.h"
#include "webordering/weborderserver.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace vorlan;

// The page in headless Chromium at phone size, driven by tools/browser/drive-ordering-page.js:
// the customer orders two dishes, the till accepts, the page follows.
class TestWebOrderPage : public QObject
{
    Q_OBJECT
private slots:
    void orderFromPhoneUntilAccepted()
    {
        TestHome home;
        QVERIFY(home.opened.ok);
        WebOrderServer server(*home.store);
        QVERIFY(server.start(0, QStringLiteral("t0ken"), 1000, QHostAddress::LocalHost));
        const QString script = QStringLiteral(VORLAN_SOURCE_DIR "/tools/browser/drive-ordering-page.js");
        QVERIFY2(QFile::exists(QStringLiteral(VORLAN_SOURCE_DIR "/tools/browser/node_modules/puppeteer-core")),
                 "puppeteer-core is missing: run tools/install-deps.sh");
        const QString shots = qEnvironmentVariable("VORLAN_SHOT_DIR", home.dir.path());

        QProcess node;
        QStringList seen;
        connect(&node, &QProcess::readyReadStandardOutput, this, [&] {
            while (node.canReadLine()) {
                const QString line = QString::fromUtf8(node.readLine()).trimmed();
                seen.append(line);
                if (line.startsWith(QLatin1String("waiting ")))
                    QVERIFY(acceptWebOrder(*home.store, line.mid(8).toLongLong()));
            }
        });
        node.start(QStringLiteral("node"),
                   {script, QStringLiteral("http://127.0.0.1:%1/?t=t0ken&table=101").arg(server.port()), shots});
        QSignalSpy finished(&node, &QProcess::finished);
        QVERIFY(finished.wait(90000));
        QVERIFY2(node.exitCode() == 0, node.readAllStandardError().constData());
        QCOMPARE(seen.first(), "total 49");
        QCOMPARE(seen.at(1), "width 360"); // nothing sticks out sideways on a 360-px screen
        QCOMPARE(seen.last(), "accepted");

        const auto order = readWebOrder(*home.store, seen.at(2).mid(8).toLongLong());
        QVERIFY(order);
        QCOMPARE(order->state, WebOrderState::Accepted);
        QCOMPARE(order->table, "101");
        QCOMPARE(order->phone, "13812345678");
        QCOMPARE(order->remark, "少辣");
        QCOMPARE(order->lines.size(), 2);
        QCOMPARE(order->lines.at(0).name, "红烧排骨饭");
        QCOMPARE(order->lines.at(0).quantity, 2);
        QCOMPARE(order->lines.at(1).name, "西红柿炒蛋");
        QCOMPARE(order->total, 49.0);
        QVERIFY(QFile::exists(shots + QStringLiteral("/web-page.png")));
    }
};

QTEST_GUILESS_MAIN(TestWebOrderPage)
#include "tst_weborderpage.moc"
