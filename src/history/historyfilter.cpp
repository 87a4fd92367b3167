#include "historyfilter.h"

#include "core/dates.h"

namespace vorlan {

QString HistoryFilter::condition() const
{
    switch (kind) {
    case Kind::All: return {};
    case Kind::Takeout: return QStringLiteral("地址 <> ''");
    case Kind::Phone: return QStringLiteral("电话 = ?");
    case Kind::Day:
    case Kind::Period: return QStringLiteral("时间 > ? and 时间 <= ?");
    }
    return {};
}

QVariantList HistoryFilter::values() const
{
    switch (kind) {
    case Kind::Phone: return {phone};
    case Kind::Day:
    case Kind::Period: return {dayRange(firstDay).from, dayRange(lastDay).to};
    default: return {};
    }
}

QString HistoryFilter::description() const
{
    switch (kind) {
    case Kind::All: return QStringLiteral("正在浏览全部数据");
    case Kind::Takeout: return QStringLiteral("正在浏览外卖数据");
    case Kind::Phone: return QStringLiteral("正在浏览客户：%1 的数据").arg(phone);
    case Kind::Day: return QStringLiteral("正在浏览：%1 的数据").arg(chineseDate(firstDay));
    case Kind::Period:
        return QStringLiteral("正在浏览从：%1到%2 的数据").arg(chineseDate(firstDay), chineseDate(lastDay));
    }
    return {};
}

} // namespace vorlan
