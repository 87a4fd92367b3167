#include "calleridsettings.h"

#include "core/recordkeys.h"
#include "core/recordtable.h"

namespace vorlan {

QList<int> callerIdBaudRates() { return {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200}; }

CallerIdSettings readCallerIdSettings(DataStore &store)
{
    RecordTable records(store);
    CallerIdSettings settings;
    settings.port = records.read(recordkey::CallerIdPort).trimmed();
    settings.mode = records.read(recordkey::CallerIdMode) == u"1" ? CallerIdMode::Plain : CallerIdMode::Modem;
    const int baud = records.read(recordkey::CallerIdBaudRate).toInt();
    if (callerIdBaudRates().contains(baud))
        settings.baudRate = baud;
    return settings;
}

bool saveCallerIdSettings(DataStore &store, const CallerIdSettings &settings)
{
    RecordTable records(store);
    return records.write(recordkey::CallerIdPort, settings.port.trimmed())
        && records.write(recordkey::CallerIdMode, settings.mode == CallerIdMode::Plain ? QStringLiteral("1")
                                                                                     : QStringLiteral("0"))
        && records.write(recordkey::CallerIdBaudRate, QString::number(settings.baudRate));
}

} // namespace vorlan
