#include "printbackend.h"

#include "paintercanvas.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

namespace vorlan {

std::unique_ptr<ReceiptCanvas> PrintBackend::measuringCanvas()
{
    return std::make_unique<PainterReceiptCanvas>(PainterReceiptCanvas::forPrinter(nullptr));
}

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

    // The page: paper width × receipt length, in millimetres; the layout is centred.
    const int pageWidth = std::max(paperWidth, layoutWidth);
    const double left = (pageWidth - layoutWidth) / 20.0;
    const QPageSize size(QSizeF(pageWidth / 10.0, std::max(length, 1) / 10.0), QPageSize::Millimeter,
                         QStringLiteral("Receipt"), QPageSize::ExactMatch);
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));

    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(&printer)) {
        m_painter.reset();
        return nullptr;
    }
    m_painter->setRenderHint(QPainter::Antialiasing);
    m_painter->setRenderHint(QPainter::TextAntialiasing);
    const double dotsPerUnit = printer.resolution() / 254.0;
    m_painter->scale(dotsPerUnit, dotsPerUnit);
    m_painter->translate(left * 10.0, 0);
    m_painter->setPen(Qt::black);
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

PdfFolderBackend::PdfFolderBackend(const QString &folder) : m_folder(folder) {}

bool PdfFolderBackend::preparePrinter(QPrinter &printer, bool)
{
    if (m_folder.isEmpty() || !QDir().mkpath(m_folder))
        return false;
    const QString stem = QStringLiteral("receipt-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = m_folder + QLatin1Char('/') + stem + QStringLiteral(".pdf");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = m_folder + QLatin1Char('/') + stem + QStringLiteral("-%1.pdf").arg(n);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setCreator(QStringLiteral("Vorlan"));
    m_lastFile = path;
    return true;
}

} // namespace vorlan
