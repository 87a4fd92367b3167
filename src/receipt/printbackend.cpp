#include "printbackend.h"

#include "paintercanvas.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace vorlan {

std::unique_ptr<ReceiptCanvas> PrintBackend::measuringCanvas()
{
    return std::make_unique<PainterReceiptCanvas>(PainterReceiptCanvas::forPrinter(nullptr));
}

QPageLayout receiptPageLayout(int paperWidth, int layoutWidth, int length)
{
    const int pageWidth = std::max(paperWidth, layoutWidth);
    const QPageSize size(QSizeF(pageWidth / 10.0, std::max(length, 1) / 10.0), QPageSize::Millimeter,
                         QStringLiteral("Receipt"), QPageSize::ExactMatch);
    return QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

void setUpReceiptPainter(QPainter &painter, int dotsPerInch, int paperWidth, int layoutWidth)
{
    const int pageWidth = std::max(paperWidth, layoutWidth);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const double dotsPerUnit = dotsPerInch / 254.0;
    painter.scale(dotsPerUnit, dotsPerUnit);
    painter.translate((pageWidth - layoutWidth) / 2.0, 0);
    painter.setPen(Qt::black);
}

PdfFolderBackend::PdfFolderBackend(const QString &folder) : m_folder(folder) {}

PdfFolderBackend::~PdfFolderBackend()
{
    m_canvas.reset();
    if (m_painter && m_painter->isActive())
        m_painter->end();
}

ReceiptCanvas *PdfFolderBackend::beginJob(bool, int paperWidth, int layoutWidth, int length)
{
    m_canvas.reset();
    m_painter.reset();
    m_writer.reset();
    if (m_folder.isEmpty() || !QDir().mkpath(m_folder))
        return nullptr;
    const QString stem = QStringLiteral("receipt-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = m_folder + QLatin1Char('/') + stem + QStringLiteral(".pdf");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = m_folder + QLatin1Char('/') + stem + QStringLiteral("-%1.pdf").arg(n);
    m_lastFile = path;

    m_writer = std::make_unique<QPdfWriter>(path);
    m_writer->setCreator(QStringLiteral("Vorlan"));
    m_writer->setResolution(1200);
    m_writer->setPageLayout(receiptPageLayout(paperWidth, layoutWidth, length));
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_writer.get())) {
        m_painter.reset();
        m_writer.reset();
        return nullptr;
    }
    setUpReceiptPainter(*m_painter, m_writer->resolution(), paperWidth, layoutWidth);
    m_canvas = std::make_unique<PainterReceiptCanvas>(PainterReceiptCanvas::forPrinter(m_painter.get()));
    return m_canvas.get();
}

bool PdfFolderBackend::endJob()
{
    m_canvas.reset();
    if (!m_painter)
        return false;
    const bool ok = m_painter->end();
    m_painter.reset();
    m_writer.reset(); // closes the file
    return ok && QFileInfo(m_lastFile).size() > 0;
}

} // namespace vorlan
