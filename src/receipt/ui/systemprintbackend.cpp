#include "systemprintbackend.h"

#include <QPrintDialog>
#include <QPrinter>

namespace vorlan {

bool SystemPrintBackend::preparePrinter(QPrinter &printer, bool firstCopy)
{
    if (!firstCopy)
        return true;
    QPrintDialog dialog(&printer, m_owner);
    dialog.setWindowTitle(QStringLiteral("打印小票"));
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace vorlan
