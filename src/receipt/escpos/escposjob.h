#pragma once

#include "escposlink.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>

namespace vorlan {

struct EscPosOutcome {
    bool sent = false;  // every byte reached the printer (confirmed where the link answers)
    QString message;    // why not, or the printer's state after a test print
    PrinterState state; // as last read, when the link reads back
};

// Sends one copy, already encoded. Where the link reads back, the printer's state is read
// first: a printer without paper, with its cover open or offline gets nothing, nor does a
// silent network printer (a silent device file is printed to). The copy counts as sent
// once the printer has taken every byte and, where it answers, a status reply after the
// data says it is still online.
EscPosOutcome sendEscPosCopy(const EscPosTarget &target, const QByteArray &payload);

// "测试打印": reads the printer's state where the link answers and, when it can print,
// sends `page`. The message starts with the state ("打印机就绪", "缺纸", …).
EscPosOutcome escPosTestPrint(const EscPosTarget &target, const QByteArray &page);

// A short page that shows the connection, the dot width (a frame from the first dot to
// the last), the density and a dithered grey ramp.
QImage escPosTestPageBitmap(int dotWidth, const QString &where, int density);

// Runs `work` on a thread of its own while this thread keeps painting its windows (and
// running its timers) under a busy cursor. Keys and clicks made meanwhile are dropped, not
// delivered after the work, so nothing typed blindly starts a second job or answers the
// next message; a request to close a window still reaches it.
void runOffGuiThread(const std::function<void()> &work);

} // namespace vorlan
