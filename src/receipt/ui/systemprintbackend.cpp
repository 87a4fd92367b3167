#include "systemprintbackend.h"

#include "core/paths.h"
#include "receipt/paintercanvas.h"
#include "core/recordkeys.h"
#include "core/recordtable.h"
#include "receipt/escpos/escposbackend.h"
#include "receipt/printsettings.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace vorlan {

QPrinterBackend::QPrinterBackend() = default;
QPrinterBackend::~QPrinterBackend() = default;

ReceiptCanvas *QPrinterBackend::beginJob(bool firstCopy, int paperWidth, int layoutWidth, int length)
{
    m_canvas.reset();
    m_painter.reset();
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrinter &printer = *m_printer;
    if (!preparePrinter(printer, firstCopy))
        return nullptr;

    printer.setFullPage(true);
    printer.setPageLayout(receiptPageLayout(paperWidth, layoutWidth, length));
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(&printer)) {
        m_painter.reset();
        return nullptr;
    }
    setUpReceiptPainter(*m_painter, printer.resolution(), paperWidth, layoutWidth);
    m_canvas = std::make_unique<PainterReceiptCanvas>(PainterReceiptCanvas::forPrinter(m_painter.get()));
    return m_canvas.get();
}

bool QPrinterBackend::endJob()
{
    m_canvas.reset();
    if (!m_painter)
        return false;
    const bool ok = m_painter->end();
    m_painter.reset();
    return ok;
}

bool SystemPrintBackend::preparePrinter(QPrinter &printer, bool firstCopy)
{
    if (!firstCopy)
        return true;
    QPrintDialog dialog(&printer, m_owner);
    dialog.setWindowTitle(QStringLiteral("打印小票"));
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
}

std::unique_ptr<PrintBackend> makePrintBackend(DataStore &store, const ProgramPaths &paths, Prompter &prompter,
                                               QWidget *owner)
{
    RecordTable records(store);
    if (receiptOutput(records.read(recordkey::PrintOutput)) == ReceiptOutput::ThermalPrinter) {
        const EscPosSettings settings = loadEscPosSettings(records);
        const bool narrow = integerValue(records.read(recordkey::PaperType)) == 0;
        return std::make_unique<EscPosBackend>(escPosTarget(settings), escPosDotWidth(settings, narrow),
                                               escPosEncoding(settings), &prompter, owner);
    }
    if (records.read(recordkey::PrintOutput) == QStringLiteral("1"))
        return std::make_unique<PdfFolderBackend>(
            records.read(recordkey::PdfFolder, paths.home + QStringLiteral("/receipts")));
    return std::make_unique<SystemPrintBackend>(owner);
}

} // namespace vorlan
