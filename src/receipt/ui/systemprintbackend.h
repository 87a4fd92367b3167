#pragma once

#include "receipt/printbackend.h"

class QWidget;

namespace vorlan {

// Prints on a real printer: the first copy of a receipt shows the system print dialog,
// the further copies go to the printer chosen there without asking again.
class SystemPrintBackend final : public QPrinterBackend
{
public:
    explicit SystemPrintBackend(QWidget *owner) : m_owner(owner) {}

protected:
    bool preparePrinter(QPrinter &printer, bool firstCopy) override;

private:
    QWidget *m_owner;
};

} // namespace vorlan
