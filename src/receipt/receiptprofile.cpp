#include "receiptprofile.h"

#include "core/numbers.h"
#include "core/recordtable.h"

#include <cmath>
#include <limits>

namespace vorlan {

QStringList splitPieces(const QString &text, const QString &delimiter)
{
    if (text.isEmpty())
        return {};
    QStringList pieces = text.split(delimiter);
    if (!pieces.isEmpty() && pieces.last().isEmpty())
        pieces.removeLast();
    return pieces;
}

QStringList profileParts(const QString &joined, int count)
{
    QStringList parts = splitPieces(joined, QStringLiteral("|"));
    while (parts.size() < count)
        parts.append(QString());
    return parts.mid(0, count);
}

int integerValue(const QString &text)
{
    const double value = std::trunc(parseNumber(text));
    if (!std::isfinite(value))
        return 0;
    if (value >= std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (value <= std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

ReceiptProfile loadReceiptProfile(RecordTable &records)
{
    ReceiptProfile profile;
    const int type = integerValue(records.read(QStringLiteral("设置类型")));

    const QString one = QStringLiteral("1");
    if (records.read(QStringLiteral("附带信息1勾选")) == one) {
        profile.switches[SwitchExtra1].on = true;
        profile.switches[SwitchExtra1].text = records.read(QStringLiteral("附带信息1"));
    }
    if (records.read(QStringLiteral("附带信息2勾选")) == one) {
        profile.switches[SwitchExtra2].on = true;
        profile.switches[SwitchExtra2].text = records.read(QStringLiteral("附带信息2"));
    }

    if (type == 0) {
        for (FontSlot &slot : profile.fonts)
            slot = FontSlot{9, false};
        return profile;
    }

    profile.switches[SwitchTopPicture].on = records.read(QStringLiteral("顶部图片勾选")) == one;
    profile.switches[SwitchBottomPicture].on = records.read(QStringLiteral("底部图片勾选")) == one;
    const QStringList sizes = profileParts(records.read(QStringLiteral("字体大小")), ReceiptSlotCount);
    const QStringList bolds = profileParts(records.read(QStringLiteral("勾选加粗")), ReceiptSlotCount);
    for (int i = 0; i < ReceiptSlotCount; ++i) {
        profile.fonts[i].size = integerValue(sizes.at(i));
        profile.fonts[i].bold = integerValue(bolds.at(i)) != 0;
    }
    return profile;
}

} // namespace vorlan
