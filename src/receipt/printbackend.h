#pragma once

#include "receiptcanvas.h"

#include <QString>

#include <memory>

class QPainter;
class QPrinter;

namespace vorlan {

// Where printed receipts go. One job is one page whose width is the paper's and whose
// length is the receipt's, in layout units of 0.1 mm.
class PrintBackend
{
public:
    virtual ~PrintBackend() = default;

    // Starts a job. `firstCopy` is the job that may ask the operator for the printer
    // (the system print dialog); the further copies of the same receipt go silently to
    // the printer chosen then. Returns the canvas to draw on, or null when the job could
    // not start or the operator cancelled.
    virtual ReceiptCanvas *beginJob(bool firstCopy, int paperWidth, int layoutWidth, int length) = 0;
    // Finishes the page and hands the job over. False when the output failed.
    virtual bool endJob() = 0;
    // A canvas with the metrics of the job canvas, used to measure the receipt first.
    virtual std::unique_ptr<ReceiptCanvas> measuringCanvas();
    // The width the receipt is laid out at, in the job canvas's units, given the width
    // configured for the paper in units of 0.1 mm. Backends that draw in other units
    // (printer dots) answer with their own.
    virtual int layoutWidth(int configuredWidth) { return configuredWidth; }
};

// Drives a QPrinter: sets the page to paper width × receipt length (margins centre the
// layout width on the paper) and maps one painter unit to 0.1 mm. Subclasses decide how
// the printer is chosen.
class QPrinterBackend : public PrintBackend
{
public:
    ReceiptCanvas *beginJob(bool firstCopy, int paperWidth, int layoutWidth, int length) override;
    bool endJob() override;

protected:
    QPrinterBackend();
    ~QPrinterBackend() override;
    // Prepares m_printer for this job; false stops printing.
    virtual bool preparePrinter(QPrinter &printer, bool firstCopy) = 0;

private:
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_painter;
    std::unique_ptr<ReceiptCanvas> m_canvas;
};

// Writes every job as a PDF file into one folder: for shops without a receipt printer,
// or to keep a copy of what was printed.
class PdfFolderBackend final : public QPrinterBackend
{
public:
    explicit PdfFolderBackend(const QString &folder);
    QString folder() const { return m_folder; }
    // The file the last started job writes.
    QString lastFile() const { return m_lastFile; }

protected:
    bool preparePrinter(QPrinter &printer, bool firstCopy) override;

private:
    QString m_folder;
    QString m_lastFile;
};

} // namespace vorlan
