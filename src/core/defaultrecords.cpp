#include "defaultrecords.h"

#include "recordtable.h"
#include "settingsfile.h"

namespace vorlan {

void createDefaultRecords(DataStore &store, const QString &configPath)
{
    RecordTable records(store);
    if (!records.exists(QStringLiteral("字体大小"))) {
        records.insert(QStringLiteral("小票类型"), QStringLiteral("0"));
        records.insert(QStringLiteral("设置类型"), QStringLiteral("1"));
        records.insert(QStringLiteral("字体大小"), QStringLiteral("9|9|9|9|9|9|12|9|9|12|12"));
        records.insert(QStringLiteral("勾选加粗"), QStringLiteral("0|0|0|0|0|0|1|0|0|1|1"));
        records.insert(QStringLiteral("票头"), QStringLiteral("微信点餐"));
        records.insert(QStringLiteral("店铺名称"), QStringLiteral("白云快餐"));
    }
    if (!records.exists(QStringLiteral("附带信息1勾选"))) {
        records.insert(QStringLiteral("附带信息1勾选"), QStringLiteral("1"));
        const QString tx = readSetting(configPath, QStringLiteral("TX"), {}, false);
        records.insert(QStringLiteral("附带信息2勾选"), tx == QLatin1String("Y") ? QStringLiteral("1") : QStringLiteral("0"));
        const QString dhh = readSetting(configPath, QStringLiteral("DHH"), {}, false);
        records.insert(QStringLiteral("附带信息1"), dhh.isEmpty() ? QStringLiteral("订餐电话:1590000****") : dhh);
        records.insert(QStringLiteral("附带信息2"), readSetting(configPath, QStringLiteral("QQ"), {}, false));
    }
    for (const char *key : {"顶部图片勾选", "底部图片勾选", "打印份数"}) {
        const QString k = QString::fromUtf8(key);
        if (!records.exists(k))
            records.write(k, QStringLiteral("1"));
    }
}

} // namespace vorlan
