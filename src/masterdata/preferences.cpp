#include "preferences.h"

#include "core/datastore.h"
#include "core/dates.h"
#include "core/recordkeys.h"
#include "core/recordtable.h"

namespace vorlan {

std::optional<int> decimalPlacesFromText(const QString &text)
{
    const int places = text.toInt(); // an empty text reads as 0
    if (places < 0 || places > kMaxDecimalPlaces)
        return std::nullopt;
    return places;
}

int readTimeFormat(DataStore &store)
{
    const int format = RecordTable(store).read(recordkey::TimeFormat, QStringLiteral("0")).toInt();
    return format == 1 || format == 2 ? format : 0;
}

QTime readBusinessDayStart(DataStore &store)
{
    return parseBusinessDayStart(RecordTable(store).read(recordkey::BusinessDayStart, QStringLiteral("00:00")))
        .value_or(QTime(0, 0));
}

bool saveBusinessDayStart(DataStore &store, const QTime &start)
{
    return RecordTable(store).write(recordkey::BusinessDayStart, businessDayStartText(start));
}

bool saveDecimalPlaces(DataStore &store, int places)
{
    return RecordTable(store).write(recordkey::DecimalPlaces, QString::number(places));
}

bool saveTimeFormat(DataStore &store, int format)
{
    return RecordTable(store).write(recordkey::TimeFormat, QString::number(format));
}

} // namespace vorlan
