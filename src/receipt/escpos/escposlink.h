#pragma once

#include "printerstatus.h"

#include "receipt/escpossettings.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

namespace vorlan {

// Where the thermal printer is: a device file (/dev/usb/lp0 …) or a network printer.
struct EscPosTarget {
    enum class Kind { Device, Network };
    Kind kind = Kind::Network;
    QString device;
    QString host;
    quint16 port = 9100;
    int connectTimeoutMs = 3000;
    // Longest wait for the printer to take more data; a busy printer drains its buffer
    // at paper speed, a dead one never does.
    int writeTimeoutMs = 10000;
    int statusTimeoutMs = 2000;
    // A device file may belong to a printer that never answers (many cheap ones do not):
    // it is asked briefly and, when silent, printed to anyway.
    int deviceStatusTimeoutMs = 500;

    // "/dev/usb/lp0" or "192.168.1.80:9100", for messages.
    QString describe() const;
};

// One open connection to the printer. Blocking calls with timeouts: use it off the GUI
// thread. After a failure error() says what happened, in the operator's words.
class EscPosLink
{
public:
    virtual ~EscPosLink() = default;

    virtual bool open() = 0;
    // Writes everything; false when the printer stopped taking data or went away.
    virtual bool write(const QByteArray &data) = 0;
    // Waits until the printer has taken everything written, within the write timeout, so
    // that closing the link loses nothing; false (with error() set) when it did not.
    virtual bool finish() = 0;
    // Whether the printer's replies can be read back on this link (a network printer
    // or a character device; not a FIFO or a plain file).
    virtual bool readsBack() const = 0;
    // Sends DLE EOT n and waits for the one-byte reply; nullopt when none came in time
    // or the link broke (then error() is set).
    virtual std::optional<quint8> requestStatus(int n, int timeoutMs) = 0;

    QString error() const { return m_error; }

protected:
    QString m_error;
};

std::unique_ptr<EscPosLink> makeEscPosLink(const EscPosTarget &target);

// The printer the operator set up, with the default timeouts.
EscPosTarget escPosTarget(const EscPosSettings &settings);

// Asks DLE EOT 1, then DLE EOT 2 when the printer is offline, then DLE EOT 4.
PrinterState readPrinterState(EscPosLink &link, int timeoutMs);

// "打印机长时间不接收数据（where）。"
QString printerNotTakingData(const QString &where);

// The write(2) device links call, replaceable (nullptr restores it) so that tests can
// play a port that claims room and then takes nothing.
using DeviceWriteCall = long (*)(int fd, const void *data, unsigned long size);
void setDeviceWriteCall(DeviceWriteCall call);

} // namespace vorlan
