#pragma once

#include "receipt/printbackend.h"

#include <memory>

class QPainter;
class QPrinter;
class QWidget;

namespace vorlan {

class DataStore;
class Prompter;
struct ProgramPaths;

// Drives a QPrinter: sets the page to paper width × receipt length (the layout width
// centred on the paper) and maps one painter unit to 0.1 mm. Subclasses decide how the
// printer is chosen.
class QPrinterBackend : public PrintBackend
{
public:
    ReceiptCanvas *beginJob(bool firstCopy, int paperWidth, int layoutWidth, int length) override;
    bool endJob() override;

protected:
    QPrinterBackend();
    ~QPrinterBackend() override;
    // Prepares the printer for this job; false stops printing.
    virtual bool preparePrinter(QPrinter &printer, bool firstCopy) = 0;

private:
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_painter;
    std::unique_ptr<ReceiptCanvas> m_canvas;
};

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

// The output the operator chose in 打印设置: the system print dialog, PDF files in a
// folder (the program folder's "receipts" when none was given), or a thermal printer
// spoken to directly (which tells its own failures through `prompter`).
std::unique_ptr<PrintBackend> makePrintBackend(DataStore &store, const ProgramPaths &paths, Prompter &prompter,
                                               QWidget *owner);

} // namespace vorlan
