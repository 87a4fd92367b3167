#include "webordersettings.h"

#include "core/datastore.h"
#include "core/recordkeys.h"
#include "core/recordtable.h"

#include <QNetworkInterface>
#include <QUrl>
#include <QUrlQuery>

namespace vorlan {

WebOrderPreferences readWebOrderPreferences(DataStore &store)
{
    RecordTable records(store);
    WebOrderPreferences s;
    bool ok = false;
    const int port = records.read(recordkey::WebOrderPort).trimmed().toInt(&ok);
    s.enabled = ok && port > 0 && port <= 65535;
    if (s.enabled)
        s.port = port;
    const int limit = records.read(recordkey::WebOrderRateLimit).trimmed().toInt(&ok);
    if (ok && limit > 0)
        s.limitPerMinute = limit;
    s.token = records.read(recordkey::WebOrderToken).trimmed();
    return s;
}

bool saveWebOrderPreferences(DataStore &store, const WebOrderPreferences &s)
{
    RecordTable records(store);
    return inTransaction(store, [&] {
        return records.write(recordkey::WebOrderPort, s.enabled ? QString::number(s.port) : QString())
            && records.write(recordkey::WebOrderRateLimit, QString::number(s.limitPerMinute))
            && records.write(recordkey::WebOrderToken, s.token);
    });
}

QString tableCardUrl(const QString &address, int port, const QString &token, const QString &tableCode)
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(address.trimmed());
    url.setPort(port);
    url.setPath(QStringLiteral("/"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("t"), token);
    query.addQueryItem(QStringLiteral("table"), QString::fromUtf8(QUrl::toPercentEncoding(tableCode)));
    url.setQuery(query);
    return url.toString(QUrl::FullyEncoded);
}

QString shopNetworkAddress()
{
    for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!(flags & QNetworkInterface::IsUp) || (flags & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
            const QHostAddress ip = entry.ip();
            if (ip.protocol() == QAbstractSocket::IPv4Protocol && !ip.isLoopback())
                return ip.toString();
        }
    }
    return {};
}

} // namespace vorlan
