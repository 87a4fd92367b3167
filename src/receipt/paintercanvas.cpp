#include "paintercanvas.h"

#include "core/fonts.h"

#include <QPainter>

#include <cmath>

namespace vorlan {

QString receiptFontFamily() { return chineseFontFamily(); }

PainterReceiptCanvas::PainterReceiptCanvas(QPainter *painter, SeparatorStyle style, double unitsPerPoint,
                                           double unitsPerPixel)
    : m_painter(painter)
    , m_style(style)
    , m_unitsPerPoint(unitsPerPoint)
    , m_unitsPerPixel(unitsPerPixel)
    , m_font(receiptFontFamily())
{
    m_font.setStyleStrategy(QFont::PreferAntialias);
    setFont(9, false);
}

PainterReceiptCanvas PainterReceiptCanvas::forScreen(QPainter *painter)
{
    return PainterReceiptCanvas(painter, SeparatorStyle::Preview, 96.0 / 72.0, 1.0);
}

PainterReceiptCanvas PainterReceiptCanvas::forPrinter(QPainter *painter)
{
    // Pictures keep the size they have on a 96 dpi screen; the layout scales them to
    // the paper width anyway.
    return PainterReceiptCanvas(painter, SeparatorStyle::Printer, 254.0 / 72.0, 254.0 / 96.0);
}

void PainterReceiptCanvas::setFont(int points, bool bold)
{
    // Sizes are given in the surface's units, so the font does not depend on the DPI of
    // whatever device the painter draws on. A size below one point (only a damaged
    // profile gives one) draws at one point.
    const int pixels = std::max(1, int(std::lround(std::max(points, 1) * m_unitsPerPoint)));
    if (m_metrics && m_font.pixelSize() == pixels && m_font.bold() == bold)
        return;
    m_font.setPixelSize(pixels);
    m_font.setBold(bold);
    m_metrics.emplace(m_font);
    if (m_painter)
        m_painter->setFont(m_font);
}

int PainterReceiptCanvas::textWidth(const QString &text)
{
    return text.isEmpty() ? 0 : m_metrics->horizontalAdvance(text);
}

int PainterReceiptCanvas::textHeight(const QString &text)
{
    return text.isEmpty() ? 0 : m_metrics->height();
}

void PainterReceiptCanvas::drawText(int x, int y, const QString &text)
{
    if (m_painter && !text.isEmpty())
        m_painter->drawText(QPoint(x, y + m_metrics->ascent()), text);
}

int PainterReceiptCanvas::pictureWidth(const QImage &picture)
{
    return picture.isNull() ? 0 : int(picture.width() * m_unitsPerPixel);
}

int PainterReceiptCanvas::pictureHeight(const QImage &picture)
{
    return picture.isNull() ? 0 : int(picture.height() * m_unitsPerPixel);
}

void PainterReceiptCanvas::drawPicture(const QImage &picture, int x, int y, int w, int h)
{
    if (!m_painter || picture.isNull())
        return;
    m_painter->save();
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform);
    m_painter->drawImage(QRect(x, y, w, h), picture);
    m_painter->restore();
}

} // namespace vorlan
