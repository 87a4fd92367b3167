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

// Sends one copy, already encoded. On the network the printer's state is read first (a
// printer without paper, with its cover open, offline or silent gets nothing) and a
// status reply after the data confirms that all of it arrived.
EscPosOutcome sendEscPosCopy(const EscPosTarget &target, const QByteArray &payload);

// "测试打印": reads the printer's state where the link answers and, when it can print,
// sends `page`. The message starts with the state ("打印机就绪", "缺纸", …).
EscPosOutcome escPosTestPrint(const EscPosTarget &target, const QByteArray &page);

// A short page that shows the connection, the dot width (a frame from the first dot to
// the last), the density and a dithered grey ramp.
QImage escPosTestPageBitmap(int dotWidth, const QString &where, int density);

// Runs `work` on a thread of its own while this thread keeps painting its windows under
// a busy cursor; input waits until the work is done, so nothing can start a second job.
void runOffGuiThread(const std::function<void()> &work);

} // namespace vorlan
