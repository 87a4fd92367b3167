#include "weborderserver.h"

#include "weborderrequest.h"
#include "weborders.h"

#include "core/datastore.h"

#include <QAbstractHttpServer>
#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>

namespace vorlan {

// Hands every request to the server's one dispatcher.
class WebOrderHttp final : public QAbstractHttpServer
{
public:
    explicit WebOrderHttp(WebOrderServer &owner) : m_owner(owner) {}

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override
    {
        const QString method = request.method() == QHttpServerRequest::Method::Post ? QStringLiteral("POST")
                               : request.method() == QHttpServerRequest::Method::Get ? QStringLiteral("GET")
                                                                                     : QStringLiteral("OTHER");
        const auto reply = m_owner.answer(method, request.url().path(), request.query().queryItemValue(QStringLiteral("t")),
                                          request.remoteAddress().toString(), request.body());
        makeResponder(request, socket)
            .write(reply.body,
                   {{"Content-Type", reply.contentType}, {"Cache-Control", "no-store"}},
                   QHttpServerResponder::StatusCode(reply.status));
        return true;
    }
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override
    {
        makeResponder(request, socket).write(QHttpServerResponder::StatusCode::NotFound);
    }

private:
    WebOrderServer &m_owner;
};

namespace {

QByteArray json(const QJsonObject &o)
{
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QByteArray errorBody(const QString &message)
{
    return json({{QStringLiteral("error"), message}});
}

const QByteArray kJson = "application/json; charset=utf-8";

} // namespace

WebOrderServer::WebOrderServer(DataStore &store, QObject *parent) : QObject(parent), m_store(store)
{
    m_clock.start();
}

WebOrderServer::~WebOrderServer() = default;

bool WebOrderServer::start(quint16 port, const QString &token, int requestsPerMinute, const QHostAddress &address)
{
    stop();
    m_error.clear();
    if (token.trimmed().isEmpty()) {
        m_error = QStringLiteral("扫码点餐口令为空，扫码点餐没有启动。");
        return false;
    }
    if (!ensureWebOrderTable(m_store)) {
        m_error = QStringLiteral("无法建立网络订单表（%1），扫码点餐没有启动。").arg(m_store.lastError());
        return false;
    }
    auto http = std::make_unique<WebOrderHttp>(*this);
    if (http->listen(address, port) == 0) {
        m_error = QStringLiteral("端口 %1 无法使用（可能已被占用），扫码点餐没有启动。").arg(port);
        return false;
    }
    m_http = std::move(http);
    m_token = token;
    m_limit = qMax(1, requestsPerMinute);
    m_windows.clear();
    return true;
}

void WebOrderServer::stop()
{
    m_http.reset();
}

bool WebOrderServer::isRunning() const
{
    return m_http != nullptr;
}

quint16 WebOrderServer::port() const
{
    if (!m_http)
        return 0;
    const auto ports = m_http->serverPorts();
    return ports.isEmpty() ? 0 : ports.first();
}

bool WebOrderServer::allowed(const QString &client)
{
    const qint64 now = m_clock.elapsed();
    // Forget the addresses whose minute is over, so the table stays small.
    if (m_windows.size() > 1000)
        m_windows.removeIf([now](const auto &entry) { return now - entry.value().start >= 60000; });
    Window &w = m_windows[client];
    if (w.count == 0 || now - w.start >= 60000) {
        w.start = now;
        w.count = 0;
    }
    return ++w.count <= m_limit;
}

WebOrderServer::Reply WebOrderServer::answer(const QString &method, const QString &path, const QString &token,
                                             const QString &client, const QByteArray &body)
{
    if (!allowed(client))
        return {429, errorBody(QStringLiteral("请求太频繁，请稍后再试。")), kJson};
    if (token != m_token) {
        const QString message = QStringLiteral("二维码已失效，请重新扫描桌上的二维码。");
        // The phone's browser shows the page's refusal as a page.
        if (path == QLatin1String("/"))
            return {403,
                    QStringLiteral("<!DOCTYPE html><meta charset=\"utf-8\"><meta name=\"viewport\" "
                                   "content=\"width=device-width\"><title>扫码点餐</title><p>%1</p>")
                        .arg(message)
                        .toUtf8(),
                    "text/html; charset=utf-8"};
        return {403, errorBody(message), kJson};
    }

    if (path == QLatin1String("/")) {
        if (method != QLatin1String("GET"))
            return {405, errorBody(QStringLiteral("不支持的请求。")), kJson};
        QFile page(QStringLiteral(":/webordering/page.html"));
        if (!page.open(QIODevice::ReadOnly))
            return {500, QByteArray("page missing"), "text/plain"};
        return {200, page.readAll(), "text/html; charset=utf-8"};
    }
    if (path == QLatin1String("/api/catalog") && method == QLatin1String("GET")) {
        QJsonArray dishes;
        for (const WebCatalogDish &dish : readWebCatalog(m_store))
            dishes.append(QJsonObject{{QStringLiteral("code"), dish.code},
                                      {QStringLiteral("name"), dish.name},
                                      {QStringLiteral("price"), dish.price},
                                      {QStringLiteral("unit"), dish.unit}});
        return {200, QJsonDocument(dishes).toJson(QJsonDocument::Compact), kJson};
    }
    if (path == QLatin1String("/api/orders") && method == QLatin1String("POST")) {
        ParsedWebOrder parsed = parseWebOrderRequest(body, readWebCatalog(m_store));
        if (!parsed.error.isEmpty())
            return {400, errorBody(parsed.error), kJson};
        parsed.order.time = QDateTime::currentDateTime();
        const auto id = addWebOrder(m_store, parsed.order);
        if (!id)
            return {500, errorBody(QStringLiteral("订单没有保存成功，请稍后再试或告诉店员。")), kJson};
        const qint64 newId = *id;
        QTimer::singleShot(0, this, [this, newId] { emit orderArrived(newId); });
        return {201, json({{QStringLiteral("id"), newId}}), kJson};
    }
    static const QRegularExpression orderPath(QStringLiteral("^/api/orders/(\\d{1,18})$"));
    if (const auto match = orderPath.match(path); match.hasMatch() && method == QLatin1String("GET")) {
        const auto order = readWebOrder(m_store, match.captured(1).toLongLong());
        if (!order)
            return {404, errorBody(QStringLiteral("没有找到这个订单。")), kJson};
        return {200,
                json({{QStringLiteral("state"), webOrderStateText(order->state)},
                      {QStringLiteral("reason"), order->reason},
                      {QStringLiteral("total"), order->total}}),
                kJson};
    }
    return {404, errorBody(QStringLiteral("没有这个页面。")), kJson};
}

} // namespace vorlan
