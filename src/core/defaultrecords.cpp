#include "defaultrecords.h"

#include "datastore.h"
#include "recordkeys.h"
#include "recordtable.h"
#include "settingsfile.h"

#include <functional>

namespace vorlan {

bool createDefaultRecords(DataStore &store, const QString &configPath)
{
    using namespace recordkey;
    // The older settings file is read only for the keys that are actually missing.
    auto setting = [&](const char *key) {
        return [&configPath, key] { return readSetting(configPath, QString::fromLatin1(key), {}, false); };
    };
    const QString one = QStringLiteral("1");
    const std::pair<QString, std::function<QString()>> defaults[] = {
        {PaperType, [] { return QStringLiteral("0"); }},
        {ProfileType, [] { return QStringLiteral("1"); }},
        {FontSizes, [] { return QStringLiteral("9|9|9|9|9|9|12|9|9|12|12"); }},
        {FontBolds, [] { return QStringLiteral("0|0|0|0|0|0|1|0|0|1|1"); }},
        {Header, [] { return QStringLiteral("微信点餐"); }},
        {ShopName, [] { return QStringLiteral("白云快餐"); }},
        {Extra1On, [] { return QStringLiteral("1"); }},
        {Extra2On, [tx = setting("TX")] { return tx() == QLatin1String("Y") ? QStringLiteral("1") : QStringLiteral("0"); }},
        {Extra1, [dhh = setting("DHH")] {
             const QString text = dhh();
             return text.isEmpty() ? QStringLiteral("订餐电话:1590000****") : text;
         }},
        {Extra2, setting("QQ")},
        {TopPictureOn, [one] { return one; }},
        {BottomPictureOn, [one] { return one; }},
        {Copies, [one] { return one; }},
        {BusinessDayStart, [] { return QStringLiteral("00:00"); }},
    };
    RecordTable records(store);
    return inTransaction(store, [&] {
        for (const auto &[key, value] : defaults)
            if (!records.exists(key) && !records.insert(key, value()))
                return false;
        return true;
    });
}

} // namespace vorlan
