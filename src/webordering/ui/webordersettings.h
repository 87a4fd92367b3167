#pragma once

#include "webordering/webordersettings.h" // newWebOrderToken()

#include <QString>

namespace vorlan {

class DataStore;

// The 扫码点餐 preferences as kept in 记录. The ordering page is served while a port is
// stored; switching it off empties the port and keeps the token, so the printed table
// cards work again once it is switched back on.
struct WebOrderPreferences {
    static constexpr int kDefaultPort = 8080;
    static constexpr int kDefaultLimit = 60; // requests a minute from one address
    bool enabled = false;
    int port = kDefaultPort;
    int limitPerMinute = kDefaultLimit;
    QString token;
};

WebOrderPreferences readWebOrderPreferences(DataStore &store);
// One transaction; false (with the store's error) stores none of them.
bool saveWebOrderPreferences(DataStore &store, const WebOrderPreferences &settings);

// The link a table card's QR code holds.
QString tableCardUrl(const QString &address, int port, const QString &token, const QString &tableCode);
// This machine's address on the shop network: the first IPv4 address of an interface
// that is up and not the loopback; empty when there is none.
QString shopNetworkAddress();

} // namespace vorlan
