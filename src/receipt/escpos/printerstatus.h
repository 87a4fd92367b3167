#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace vorlan {

// What a printer says about itself through DLE EOT (real-time status transmission).
struct PrinterState {
    bool answered = false;  // a valid reply came back in time
    bool offline = false;   // DLE EOT 1, bit 3
    bool coverOpen = false; // DLE EOT 2, bit 2
    bool paperEnd = false;  // DLE EOT 4, bits 5 and 6 (or DLE EOT 2, bit 5)
    bool nearEnd = false;   // DLE EOT 4, bits 2 and 3

    // A receipt sent now would come out: the printer answered and nothing stops it. A
    // roll near its end still prints.
    bool canPrint() const { return answered && !offline && !coverOpen && !paperEnd; }
};

// Every status byte has bits 1 and 4 set and bits 0 and 7 clear; anything else is not a
// status reply (noise, or the printer echoing something else).
inline bool isStatusByte(quint8 byte) { return (byte & 0x93) == 0x12; }

// Combines the replies to DLE EOT 1 (printer), 2 (offline cause, asked only when offline)
// and 4 (paper sensors). A missing or malformed reply to DLE EOT 1 means no answer.
PrinterState printerStateFrom(std::optional<quint8> printer, std::optional<quint8> offlineCause,
                              std::optional<quint8> paper);

// "打印机就绪", "缺纸", "纸将尽", "上盖打开", "打印机脱机" or "打印机无响应", the most
// urgent first.
QString printerStateText(const PrinterState &state);

} // namespace vorlan
