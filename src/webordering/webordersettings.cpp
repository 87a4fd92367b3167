#include "webordersettings.h"

#include "core/recordkeys.h"
#include "core/recordtable.h"

#include <QRandomGenerator>

namespace vorlan {

WebOrderSettings readWebOrderSettings(RecordTable &records)
{
    WebOrderSettings settings;
    bool ok = false;
    const uint port = records.read(recordkey::WebOrderPort).trimmed().toUInt(&ok);
    settings.port = ok && port <= 65535 ? quint16(port) : 0;
    settings.token = records.read(recordkey::WebOrderToken).trimmed();
    const int limit = records.read(recordkey::WebOrderRateLimit).trimmed().toInt(&ok);
    settings.requestsPerMinute = ok && limit > 0 ? limit : kWebOrderDefaultRateLimit;
    return settings;
}

QString newWebOrderToken()
{
    static const char kAlphabet[] = "abcdefghijkmnpqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789";
    QString token;
    for (int i = 0; i < 16; ++i)
        token.append(QLatin1Char(kAlphabet[QRandomGenerator::system()->bounded(int(sizeof kAlphabet - 1))]));
    return token;
}

} // namespace vorlan
