// The ordering page under load: ORDERS orders posted by CLIENTS phones at once (each
// posting its next order when the last was answered), against the server running on the
// program's event loop, with the limit of requests a minute raised. Prints the requests a
// second and how late a 10-ms timer on that event loop fired meanwhile (what the operator
// feels as the window's responsiveness), and checks that every order was stored once.
// Beside it, the same orders written straight into the table: the baseline.
//
//   bench_weborders DIR [orders=1000] [clients=10]

#include "benchsupport.h"

#include "core/datastore.h"
#include "core/paths.h"
#include "core/schema.h"
#include "webordering/weborderrequest.h"
#include "webordering/weborders.h"
#include "webordering/weborderserver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSet>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <mutex>

using namespace vorlan;
using namespace vorlan::bench;

namespace {

const QByteArray kOrder = R"({"table":"101","phone":"13812345678","remark":"少辣",)"
                          R"("lines":[{"code":"001","qty":2},{"code":"003","qty":1},{"code":"101","qty":4}]})";

// One phone: posts its orders one after the other on its own thread.
class Client : public QObject
{
public:
    Client(quint16 port, int orders, std::mutex &mutex, QList<qint64> &ids, std::atomic<int> &failures)
        : m_port(port), m_left(orders), m_mutex(mutex), m_ids(ids), m_failures(failures)
    {
    }
    void post()
    {
        if (m_left-- == 0) {
            thread()->quit();
            return;
        }
        QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1/api/orders?t=bench").arg(m_port)));
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
        QNetworkReply *reply = m_net.post(request, kOrder);
        connect(reply, &QNetworkReply::finished, this, [this, reply] {
            const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            const qint64 id = QJsonDocument::fromJson(reply->readAll()).object().value("id").toInteger();
            reply->deleteLater();
            if (status != 201 || id <= 0)
                ++m_failures;
            else {
                std::lock_guard lock(m_mutex);
                m_ids.append(id);
            }
            post();
        });
    }

private:
    QNetworkAccessManager m_net{this};
    quint16 m_port;
    int m_left;
    std::mutex &m_mutex;
    QList<qint64> &m_ids;
    std::atomic<int> &m_failures;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        QTextStream(stderr) << "usage: bench_weborders DIR [orders] [clients]\n";
        return 2;
    }
    const int orders = args.size() > 2 ? args.at(2).toInt() : 1000;
    const int clients = args.size() > 3 ? args.at(3).toInt() : 10;
    const ProgramPaths paths{args.at(1)};
    DataStore store;
    const OpenedStore opened = openDataStore(store, paths.dataDir(), paths.databasePath(), paths.configPath());
    if (!opened.ok || !store.execute(QStringLiteral("delete from 网络订单"))) {
        QTextStream(stderr) << opened.error << store.lastError() << "\n";
        return 1;
    }

    // The baseline: the same orders checked against the catalog and written directly.
    Stopwatch direct;
    for (int i = 0; i < orders; ++i) {
        ParsedWebOrder parsed = parseWebOrderRequest(kOrder, readWebCatalog(store));
        parsed.order.time = QDateTime::currentDateTime();
        if (!addWebOrder(store, parsed.order))
            return 1;
    }
    const Timing directTime = direct.elapsed();
    if (!store.execute(QStringLiteral("delete from 网络订单")))
        return 1;

    WebOrderServer server(store);
    if (!server.start(0, QStringLiteral("bench"), orders * 10, QHostAddress::LocalHost)) {
        QTextStream(stderr) << server.errorText() << "\n";
        return 1;
    }
    int arrived = 0;
    QObject::connect(&server, &WebOrderServer::orderArrived, [&] { ++arrived; });

    // How late a 10-ms timer fires on the server's event loop.
    std::vector<double> lateMs;
    QElapsedTimer tick;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        lateMs.push_back(std::max(0.0, tick.nsecsElapsed() / 1e6 - 10));
        tick.restart();
    });

    std::mutex mutex;
    QList<qint64> ids;
    std::atomic<int> failures{0};
    std::vector<std::unique_ptr<QThread>> threads;
    int running = clients;
    Stopwatch loaded;
    for (int c = 0; c < clients; ++c) {
        auto thread = std::make_unique<QThread>();
        auto *client = new Client(server.port(), orders / clients + (c < orders % clients ? 1 : 0), mutex, ids, failures);
        client->moveToThread(thread.get());
        QObject::connect(thread.get(), &QThread::started, client, &Client::post);
        QObject::connect(thread.get(), &QThread::finished, client, &QObject::deleteLater);
        QObject::connect(thread.get(), &QThread::finished, &app, [&] {
            if (--running == 0)
                app.quit();
        });
        thread->start();
        threads.push_back(std::move(thread));
    }
    tick.start();
    probe.start();
    app.exec();
    const Timing loadedTime = loaded.elapsed();
    probe.stop();
    for (auto &thread : threads)
        thread->wait();
    QCoreApplication::processEvents();

    const int stored = waitingWebOrderCount(store);
    const bool once = failures == 0 && ids.size() == orders && QSet<qint64>(ids.begin(), ids.end()).size() == orders
                      && stored == orders && arrived == orders;
    std::sort(lateMs.begin(), lateMs.end());
    const double medianLate = lateMs.empty() ? 0 : lateMs[lateMs.size() / 2];
    const double p99Late = lateMs.empty() ? 0 : lateMs[lateMs.size() * 99 / 100];
    const double worstLate = lateMs.empty() ? 0 : lateMs.back();

    const QString label = QStringLiteral("ordering page: %1 orders by %2 clients").arg(orders).arg(clients);
    bool met = report(QStringLiteral("web order, written directly (baseline)"),
                      {directTime.wallMs / orders, directTime.cpuMs / orders});
    // CPU time here includes the clients' threads, which share the process.
    met = report(QStringLiteral("web order, posted over HTTP under load"), {loadedTime.wallMs / orders, loadedTime.cpuMs / orders},
                 std::nullopt, Goal::within(4, {directTime.wallMs / orders, directTime.cpuMs / orders},
                                            QStringLiteral("written directly")))
          && met;
    note(QStringLiteral("%1: %2 requests/s; event-loop delay median %3 ms, 99th percentile %4 ms, worst %5 ms; "
                        "%6 stored, %7 failed, %8")
             .arg(label)
             .arg(orders * 1000.0 / loadedTime.wallMs, 0, 'f', 0)
             .arg(medianLate, 0, 'f', 1)
             .arg(p99Late, 0, 'f', 1)
             .arg(worstLate, 0, 'f', 1)
             .arg(stored)
             .arg(int(failures))
             .arg(once ? QStringLiteral("each once") : QStringLiteral("NOT each once")));
    if (!once)
        return 1;
    return met ? 0 : 3;
}
