#pragma once

#include "receiptcanvas.h"

#include <QPageLayout>
#include <QString>

#include <memory>

class QPainter;
class QPdfWriter;

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

// The page of one receipt job: paper width × receipt length, no margins.
QPageLayout receiptPageLayout(int paperWidth, int layoutWidth, int length);
// Prepares a painter that has begun on a page of receiptPageLayout() at `dotsPerInch`:
// one painter unit is 0.1 mm and the layout width is centred on the paper.
void setUpReceiptPainter(QPainter &painter, int dotsPerInch, int paperWidth, int layoutWidth);

// Writes every job as a PDF file into one folder: for shops without a receipt printer,
// or to keep a copy of what was printed. Draws through QPdfWriter, so it needs no
// printing support and no widgets.
class PdfFolderBackend final : public PrintBackend
{
public:
    explicit PdfFolderBackend(const QString &folder);
    ~PdfFolderBackend() override;

    ReceiptCanvas *beginJob(bool firstCopy, int paperWidth, int layoutWidth, int length) override;
    bool endJob() override;

    QString folder() const { return m_folder; }
    // The file the last started job writes.
    QString lastFile() const { return m_lastFile; }

private:
    QString m_folder;
    QString m_lastFile;
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<QPainter> m_painter;
    std::unique_ptr<ReceiptCanvas> m_canvas;
};

} // namespace vorlan
