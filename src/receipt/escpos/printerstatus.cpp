#include "printerstatus.h"

namespace vorlan {

PrinterState printerStateFrom(std::optional<quint8> printer, std::optional<quint8> offlineCause,
                              std::optional<quint8> paper)
{
    PrinterState state;
    if (!printer || !isStatusByte(*printer))
        return state;
    state.answered = true;
    state.offline = *printer & 0x08;
    if (offlineCause && isStatusByte(*offlineCause)) {
        state.coverOpen = *offlineCause & 0x04;
        state.paperEnd = *offlineCause & 0x20;
    }
    if (paper && isStatusByte(*paper)) {
        state.paperEnd = state.paperEnd || (*paper & 0x60) == 0x60;
        state.nearEnd = (*paper & 0x0c) == 0x0c;
    }
    return state;
}

QString printerStateText(const PrinterState &state)
{
    if (!state.answered)
        return QStringLiteral("打印机无响应");
    if (state.coverOpen)
        return QStringLiteral("上盖打开");
    if (state.paperEnd)
        return QStringLiteral("缺纸");
    if (state.offline)
        return QStringLiteral("打印机脱机");
    if (state.nearEnd)
        return QStringLiteral("纸将尽");
    return QStringLiteral("打印机就绪");
}

} // namespace vorlan
