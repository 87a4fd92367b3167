#include "core/datastore.h"
#include "core/recordkeys.h"
#include "core/recordtable.h"
#include "testhome.h"
#include "webordering/weborders.h"
#include "webordering/weborderserver.h"
#include "webordering/webordersettings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>

using namespace vorlan;

namespace {

const QString kToken = QStringLiteral("s3cret");

struct Answer {
    int status = 0;
    QJsonDocument json;
    QByteArray body;
    QByteArray contentType;
};

QNetworkReply *send(QNetworkAccessManager &net, quint16 port, const QByteArray &method, const QString &pathAndQuery,
                    const QByteArray &body = {})
{
    QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(pathAndQuery)));
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
    return method == "POST" ? net.post(request, body) : net.sendCustomRequest(request, method);
}

Answer wait(QNetworkReply *reply)
{
    if (!reply->isFinished())
        QSignalSpy(reply, &QNetworkReply::finished).wait(10000);
    Answer a;
    a.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    a.body = reply->readAll();
    a.json = QJsonDocument::fromJson(a.body);
    a.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    reply->deleteLater();
    return a;
}

QByteArray order(const QJsonArray &lines, const QString &table = QStringLiteral("5"),
                 const QString &phone = QStringLiteral("13812345678"), const QString &remark = {})
{
    return QJsonDocument(QJsonObject{{"table", table}, {"phone", phone}, {"remark", remark}, {"lines", lines}})
        .toJson(QJsonDocument::Compact);
}

QJsonObject line(const QString &code, const QJsonValue &qty) { return {{"code", code}, {"qty", qty}}; }

QJsonArray manyLines(int n)
{
    QJsonArray lines;
    for (int i = 0; i < n; ++i)
        lines.append(line(QStringLiteral("00%1").arg(i % 9 + 1), 1));
    return lines;
}

} // namespace

class TestWebOrderServer : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<WebOrderServer> m_server;
    QNetworkAccessManager m_net;

    bool startServer(int limit = 100000)
    {
        m_server = std::make_unique<WebOrderServer>(*m_home->store);
        return m_server->start(0, kToken, limit, QHostAddress::LocalHost);
    }
    Answer call(const QByteArray &method, const QString &path, const QByteArray &body = {}, const QString &token = kToken)
    {
        return wait(send(m_net, m_server->port(), method, path + QStringLiteral("?t=") + token, body));
    }

private slots:
    void init()
    {
        m_home = std::make_unique<TestHome>();
        QVERIFY(m_home->opened.ok);
        QVERIFY(startServer());
    }
    void cleanup()
    {
        m_server.reset();
        m_home.reset();
    }

    void pageAndCatalog()
    {
        const Answer page = wait(send(m_net, m_server->port(), "GET", QStringLiteral("/?t=%1&table=101").arg(kToken)));
        QCOMPARE(page.status, 200);
        QVERIFY(page.contentType.startsWith("text/html"));
        QVERIFY(QString::fromUtf8(page.body).contains(QStringLiteral("提交订单")));

        const Answer catalog = call("GET", QStringLiteral("/api/catalog"));
        QCOMPARE(catalog.status, 200);
        const QJsonArray dishes = catalog.json.array();
        QCOMPARE(dishes.size(), 28);
        QCOMPARE(dishes.at(0).toObject(), (QJsonObject{{"code", "001"}, {"name", "红烧排骨饭"}, {"price", 18}, {"unit", "份"}}));
        QCOMPARE(dishes.at(4).toObject().value("price").toDouble(), 15.5);
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("token");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message"); // part of the error text, for the refusals

        const QString orders = QStringLiteral("/api/orders");
        QTest::newRow("wrong token, catalog") << QByteArray("GET") << "/api/catalog" << "other" << QByteArray() << 403 << "二维码";
        QTest::newRow("no token, page") << QByteArray("GET") << "/" << "" << QByteArray() << 403 << "二维码";
        QTest::newRow("wrong token, order")
            << QByteArray("POST") << orders << "S3CRET" << order({line("001", 1)}) << 403 << "二维码";
        QTest::newRow("malformed json") << QByteArray("POST") << orders << kToken << QByteArray("{\"lines\": [") << 400 << "格式";
        QTest::newRow("not an object") << QByteArray("POST") << orders << kToken << QByteArray("[1,2]") << 400 << "格式";
        QTest::newRow("lines not a list") << QByteArray("POST") << orders << kToken << QByteArray("{\"lines\":{}}") << 400 << "格式";
        QTest::newRow("table not a text")
            << QByteArray("POST") << orders << kToken << QByteArray("{\"table\":5,\"lines\":[{\"code\":\"001\",\"qty\":1}]}")
            << 400 << "格式";
        QTest::newRow("no lines") << QByteArray("POST") << orders << kToken << order({}) << 400 << "选择";
        QTest::newRow("unknown code") << QByteArray("POST") << orders << kToken << order({line("001", 1), line("999", 1)}) << 400 << "999";
        QTest::newRow("quantity 0") << QByteArray("POST") << orders << kToken << order({line("001", 0)}) << 400 << "1到99";
        QTest::newRow("quantity 100") << QByteArray("POST") << orders << kToken << order({line("001", 100)}) << 400 << "1到99";
        QTest::newRow("quantity -1") << QByteArray("POST") << orders << kToken << order({line("001", -1)}) << 400 << "1到99";
        QTest::newRow("quantity 1.5") << QByteArray("POST") << orders << kToken << order({line("001", 1.5)}) << 400 << "1到99";
        QTest::newRow("quantity as text") << QByteArray("POST") << orders << kToken << order({line("001", "2")}) << 400 << "格式";
        QTest::newRow("51 lines") << QByteArray("POST") << orders << kToken << order(manyLines(51)) << 400 << "50";
        QTest::newRow("table of 33") << QByteArray("POST") << orders << kToken
                                     << order({line("001", 1)}, QString(33, u'桌')) << 400 << "桌号";
        QTest::newRow("phone of 17") << QByteArray("POST") << orders << kToken
                                     << order({line("001", 1)}, "1", QString(17, u'1')) << 400 << "电话";
        QTest::newRow("remark of 256") << QByteArray("POST") << orders << kToken
                                       << order({line("001", 1)}, "1", "", QString(256, u'辣')) << 400 << "备注";
        QByteArray big = order({line("001", 1)});
        big.insert(1, "\"padding\":\"" + QByteArray(16 * 1024, 'x') + "\",");
        QTest::newRow("body over 16 KiB") << QByteArray("POST") << orders << kToken << big << 400 << "太长";
        QTest::newRow("unknown order") << QByteArray("GET") << "/api/orders/12345" << kToken << QByteArray() << 404 << "没有";
        QTest::newRow("unknown path") << QByteArray("GET") << "/admin" << kToken << QByteArray() << 404 << "没有";
        // The limits themselves are accepted.
        QJsonArray fifty = manyLines(49);
        fifty.prepend(line("001", 99));
        QTest::newRow("quantity 99, 50 lines") << QByteArray("POST") << orders << kToken << order(fifty) << 201 << "";
        QTest::newRow("texts at their lengths")
            << QByteArray("POST") << orders << kToken
            << order({line(" 001 ", 1)}, QString(32, u'桌'), QString(16, u'1'), QString(255, u'辣')) << 201 << "";
    }
    void refusals()
    {
        QFETCH(QByteArray, method);
        QFETCH(QString, path);
        QFETCH(QString, token);
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, message);
        const Answer a = call(method, path, body, token);
        QCOMPARE(a.status, status);
        if (path == QLatin1String("/")) {
            QVERIFY(a.contentType.startsWith("text/html"));
            QVERIFY(QString::fromUtf8(a.body).contains(message));
        } else if (status == 201) {
            QCOMPARE(waitingWebOrderCount(*m_home->store), 1);
            QCOMPARE(readWebOrder(*m_home->store, a.json.object().value("id").toInteger())->lines.first().code, "001");
        } else {
            QVERIFY(a.contentType.startsWith("application/json"));
            QVERIFY2(a.json.object().value("error").toString().contains(message), a.body.constData());
            QCOMPARE(waitingWebOrderCount(*m_home->store), 0);
        }
    }

    // The request's names and prices count for nothing; the state follows the till.
    void forgedPriceIgnoredAndStateFollowsTill()
    {
        QJsonArray lines{QJsonObject{{"code", "001"}, {"qty", 2}, {"price", 0.01}, {"name", "白送"}}, line("005", 1)};
        QSignalSpy arrived(m_server.get(), &WebOrderServer::orderArrived);
        const Answer posted = call("POST", "/api/orders",
                                   QJsonDocument(QJsonObject{{"lines", lines}, {"total", 0.01}, {"remark", "不要葱"}}).toJson());
        QCOMPARE(posted.status, 201);
        const qint64 id = posted.json.object().value("id").toInteger();
        QTRY_COMPARE(arrived.size(), 1);
        QCOMPARE(arrived.first().first().toLongLong(), id);

        const auto stored = readWebOrder(*m_home->store, id);
        QVERIFY(stored);
        QCOMPARE(stored->total, 51.5);
        QCOMPARE(stored->lines.size(), 2);
        QCOMPARE(stored->lines.first().name, "红烧排骨饭");
        QCOMPARE(stored->lines.first().price, 18.0);
        QCOMPARE(stored->lines.first().quantity, 2);
        QCOMPARE(stored->remark, "不要葱");
        QCOMPARE(call("GET", QStringLiteral("/api/orders/%1").arg(id)).json.object(),
                 (QJsonObject{{"state", "waiting"}, {"reason", ""}, {"total", 51.5}}));

        QVERIFY(rejectWebOrder(*m_home->store, id, QStringLiteral("今天卖完了")));
        QVERIFY(!acceptWebOrder(*m_home->store, id));
        QVERIFY(!acceptWebOrder(*m_home->store, id + 1));
        QCOMPARE(call("GET", QStringLiteral("/api/orders/%1").arg(id)).json.object(),
                 (QJsonObject{{"state", "rejected"}, {"reason", "今天卖完了"}, {"total", 51.5}}));
        QCOMPARE(call("GET", QStringLiteral("/api/orders/%1").arg(id), {}, "x").status, 403);
    }

    void rateLimitPerAddress()
    {
        QVERIFY(startServer(3));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(call("GET", "/api/catalog").status, 200);
        QCOMPARE(call("GET", "/api/catalog").status, 429);
        QCOMPARE(call("POST", "/api/orders", order({line("001", 1)})).status, 429);
        QCOMPARE(call("GET", "/api/catalog", {}, "guess").status, 429);
        QCOMPARE(waitingWebOrderCount(*m_home->store), 0);
    }

    void concurrentPosts()
    {
        QSignalSpy arrived(m_server.get(), &WebOrderServer::orderArrived);
        std::vector<std::unique_ptr<QNetworkAccessManager>> clients;
        QList<QNetworkReply *> replies;
        for (int c = 0; c < 10; ++c) {
            clients.push_back(std::make_unique<QNetworkAccessManager>());
            for (int i = 0; i < 20; ++i)
                replies.append(send(*clients.back(), m_server->port(), "POST", "/api/orders?t=" + kToken,
                                    order({line("003", c + 1)}, QString::number(c))));
        }
        QSet<qint64> ids;
        for (QNetworkReply *reply : replies) {
            const Answer a = wait(reply);
            QCOMPARE(a.status, 201);
            ids.insert(a.json.object().value("id").toInteger());
        }
        QCOMPARE(ids.size(), 200);
        const QList<WebOrder> waiting = waitingWebOrders(*m_home->store);
        QCOMPARE(waiting.size(), 200);
        for (const WebOrder &o : waiting)
            QCOMPARE(o.lines.first().quantity, o.table.toInt() + 1);
        QTRY_COMPARE(arrived.size(), 200);
    }

    void restartWithOrdersWaiting()
    {
        const qint64 first = call("POST", "/api/orders", order({line("001", 1)}, "101")).json.object().value("id").toInteger();
        const qint64 second = call("POST", "/api/orders", order({line("002", 3)}, "102")).json.object().value("id").toInteger();
        QVERIFY(first > 0 && second > first);
        QVERIFY(acceptWebOrder(*m_home->store, first));
        m_server.reset();
        QVERIFY(m_home->reopen());
        QVERIFY(startServer());

        const QList<WebOrder> waiting = waitingWebOrders(*m_home->store);
        QCOMPARE(waiting.size(), 1);
        QCOMPARE(waiting.first().id, second);
        QCOMPARE(waiting.first().table, "102");
        QCOMPARE(waiting.first().lines.first().name, "茄子豆角");
        QCOMPARE(waiting.first().total, 42.0);
        QVERIFY(qAbs(waiting.first().time.secsTo(QDateTime::currentDateTime())) < 60);
        QCOMPARE(call("GET", QStringLiteral("/api/orders/%1").arg(first)).json.object().value("state"), "accepted");
        // New ids follow the old ones.
        QVERIFY(call("POST", "/api/orders", order({line("001", 1)})).json.object().value("id").toInteger() > second);
    }

    void settings_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("limit");
        QTest::addColumn<int>("readPort");
        QTest::addColumn<int>("readLimit");
        QTest::newRow("unset") << "" << "" << 0 << 60;
        QTest::newRow("set") << " 8080 " << "200" << 8080 << 200;
        QTest::newRow("port too big, limit 0") << "70000" << "0" << 0 << 60;
        QTest::newRow("not numbers") << "abc" << "-5" << 0 << 60;
    }
    void settings()
    {
        QFETCH(QString, port);
        QFETCH(QString, limit);
        RecordTable records(*m_home->store);
        QVERIFY(records.write(recordkey::WebOrderPort, port) && records.write(recordkey::WebOrderRateLimit, limit));
        const WebOrderSettings read = readWebOrderSettings(records);
        QTEST(int(read.port), "readPort");
        QTEST(read.requestsPerMinute, "readLimit");
        const QString token = newWebOrderToken();
        QCOMPARE(token.size(), 16);
        QVERIFY(token != newWebOrderToken());
        QCOMPARE(QUrl::toPercentEncoding(token), token.toLatin1());
    }

    void startRefusals()
    {
        WebOrderServer second(*m_home->store);
        QVERIFY(!second.start(m_server->port(), kToken, 60, QHostAddress::LocalHost));
        QVERIFY(second.errorText().contains(QString::number(m_server->port())));
        QVERIFY(!second.isRunning());
        QCOMPARE(call("GET", "/api/catalog").status, 200);
        QVERIFY(!second.start(0, QStringLiteral(" "), 60, QHostAddress::LocalHost));
        QVERIFY(second.errorText().contains(QStringLiteral("口令")));
        m_server->stop();
        QCOMPARE(m_server->port(), 0);
        QVERIFY(second.start(0, kToken, 60, QHostAddress::LocalHost));
    }
};

QTEST_GUILESS_MAIN(TestWebOrderServer)
#include "tst_weborderserver.moc"
