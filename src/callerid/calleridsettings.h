#pragma once

#include "callerid/callerlines.h"

#include <QList>
#include <QString>

namespace vorlan {

class DataStore;

// Where the caller-ID device is and how it speaks, kept in 记录 (来电显示端口,
// 来电显示模式, 来电显示波特率). An empty port means the shop has no device.
struct CallerIdSettings {
    QString port; // a name such as ttyUSB0 or a full device path
    CallerIdMode mode = CallerIdMode::Modem;
    int baudRate = 9600;

    bool enabled() const { return !port.trimmed().isEmpty(); }
    bool operator==(const CallerIdSettings &) const = default;
};

// The baud rates offered; 9600 when the stored one is not among them.
QList<int> callerIdBaudRates();

CallerIdSettings readCallerIdSettings(DataStore &store);
// False (with the store's error) when a write failed.
bool saveCallerIdSettings(DataStore &store, const CallerIdSettings &settings);

} // namespace vorlan
