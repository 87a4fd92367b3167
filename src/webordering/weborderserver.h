#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QString>

#include <memory>

namespace vorlan {

class DataStore;
class WebOrderHttp;

// Serves the ordering page and its API to the phones on the shop's network:
//   GET  /?t=TOKEN&table=CODE        the page
//   GET  /api/catalog?t=TOKEN        [{code, name, price, unit}]
//   POST /api/orders?t=TOKEN         {table, phone, remark, lines: [{code, qty}]} -> 201 {id}
//   GET  /api/orders/ID?t=TOKEN      {state, reason, total}
// Refusals answer {error: text}: 400 for an unsound order, 403 for a wrong token, 429 past
// the requests a minute allowed to one address. Runs on the event loop of the thread that
// owns it; each request does at most one small write.
class WebOrderServer : public QObject
{
    Q_OBJECT
public:
    explicit WebOrderServer(DataStore &store, QObject *parent = nullptr);
    ~WebOrderServer() override;

    // Listens on `port` (0: any free port) of `address`; a running server is stopped first.
    // False when the token is empty, the port is taken or the table cannot be made;
    // errorText() then says why in a sentence for the operator. Never fatal.
    bool start(quint16 port, const QString &token, int requestsPerMinute,
               const QHostAddress &address = QHostAddress::Any);
    void stop();
    bool isRunning() const;
    quint16 port() const; // the port listened on, 0 when stopped
    QString errorText() const { return m_error; }

signals:
    // A new order waits in 网络订单 (sent after the phone has its answer).
    void orderArrived(qint64 id);

private:
    friend class WebOrderHttp;
    struct Reply {
        int status = 200;
        QByteArray body;
        QByteArray contentType;
    };
    Reply answer(const QString &method, const QString &path, const QString &token, const QString &client,
                 const QByteArray &body);
    bool allowed(const QString &client);

    DataStore &m_store;
    std::unique_ptr<WebOrderHttp> m_http;
    QString m_token;
    int m_limit = 60;
    QString m_error;
    struct Window {
        qint64 start = 0;
        int count = 0;
    };
    QHash<QString, Window> m_windows;
    QElapsedTimer m_clock;
};

} // namespace vorlan
