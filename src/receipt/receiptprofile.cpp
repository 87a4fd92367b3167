#include "receiptprofile.h"
#include "core/recordkeys.h"

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
    const int type = integerValue(records.read(recordkey::ProfileType));

    const QString one = QStringLiteral("1");
    if (records.read(recordkey::Extra1On) == one) {
        profile.switches[SwitchExtra1].on = true;
        profile.switches[SwitchExtra1].text = records.read(recordkey::Extra1);
    }
    if (records.read(recordkey::Extra2On) == one) {
        profile.switches[SwitchExtra2].on = true;
        profile.switches[SwitchExtra2].text = records.read(recordkey::Extra2);
    }

    if (type == 0) {
        for (FontSlot &slot : profile.fonts)
            slot = FontSlot{9, false};
        return profile;
    }

    profile.switches[SwitchTopPicture].on = records.read(recordkey::TopPictureOn) == one;
    profile.switches[SwitchBottomPicture].on = records.read(recordkey::BottomPictureOn) == one;
    const QStringList sizes = profileParts(records.read(recordkey::FontSizes), ReceiptSlotCount);
    const QStringList bolds = profileParts(records.read(recordkey::FontBolds), ReceiptSlotCount);
    for (int i = 0; i < ReceiptSlotCount; ++i) {
        profile.fonts[i].size = integerValue(sizes.at(i));
        profile.fonts[i].bold = integerValue(bolds.at(i)) != 0;
    }
    return profile;
}

} // namespace vorlan
