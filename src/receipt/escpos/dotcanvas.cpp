#include "dotcanvas.h"

#include "receipt/paintercanvas.h"
#include "receipt/receiptlayout.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace vorlan {

DotReceiptCanvas::DotReceiptCanvas(QImage *target) : m_font(receiptFontFamily())
{
    // Thermal paper has no grey: a glyph drawn with antialiasing would lose its soft
    // edges at the threshold unevenly. Hinted, unsmoothed glyphs keep strokes whole.
    m_font.setStyleStrategy(QFont::NoAntialias);
    m_font.setHintingPreference(QFont::PreferFullHinting);
    if (target && !target->isNull()) {
        m_painter = std::make_unique<QPainter>(target);
        m_painter->setPen(Qt::black);
    }
    setFont(9, false);
}

DotReceiptCanvas::~DotReceiptCanvas() = default;

void DotReceiptCanvas::setFont(int points, bool bold)
{
    // A size below one point (only a damaged profile gives one) draws at one point.
    const int pixels = std::max(1, int(std::lround(std::max(points, 1) * kDotsPerInch / 72.0)));
    if (m_metrics && m_font.pixelSize() == pixels && m_font.bold() == bold)
        return;
    m_font.setPixelSize(pixels);
    m_font.setBold(bold);
    m_metrics.emplace(m_font);
    if (m_painter)
        m_painter->setFont(m_font);
}

int DotReceiptCanvas::textWidth(const QString &text)
{
    return text.isEmpty() ? 0 : m_metrics->horizontalAdvance(text);
}

int DotReceiptCanvas::textHeight(const QString &text)
{
    return text.isEmpty() ? 0 : m_metrics->height();
}

void DotReceiptCanvas::drawText(int x, int y, const QString &text)
{
    if (m_painter && !text.isEmpty())
        m_painter->drawText(QPoint(x, y + m_metrics->ascent()), text);
}

// Pictures keep the size they have on a 96 dpi screen; the layout scales them to the
// paper width anyway.
int DotReceiptCanvas::pictureWidth(const QImage &picture)
{
    return picture.isNull() ? 0 : int(picture.width() * kDotsPerInch / 96.0);
}

int DotReceiptCanvas::pictureHeight(const QImage &picture)
{
    return picture.isNull() ? 0 : int(picture.height() * kDotsPerInch / 96.0);
}

void DotReceiptCanvas::drawPicture(const QImage &picture, int x, int y, int w, int h)
{
    if (!m_painter || picture.isNull() || w <= 0 || h <= 0)
        return;
    m_painter->drawImage(QPoint(x, y), ditheredPicture(picture, w, h));
}

QImage blankDotPage(int width, int height)
{
    QImage page(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    page.fill(Qt::white);
    return page;
}

QImage ditheredPicture(const QImage &picture, int w, int h)
{
    QImage out(w, h, QImage::Format_RGB32);
    if (picture.isNull() || w <= 0 || h <= 0)
        return out;
    const QImage scaled = picture.convertToFormat(QImage::Format_ARGB32)
                              .scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                              .convertToFormat(QImage::Format_ARGB32);

    // Grey levels in 1/16 steps so the error shares stay integers; two rows of error.
    std::vector<int> current(size_t(w) + 2, 0);
    std::vector<int> next(size_t(w) + 2, 0);
    for (int row = 0; row < h; ++row) {
        const QRgb *in = reinterpret_cast<const QRgb *>(scaled.constScanLine(row));
        QRgb *dst = reinterpret_cast<QRgb *>(out.scanLine(row));
        std::fill(next.begin(), next.end(), 0);
        // Serpentine order keeps the diffusion from drawing diagonal streaks.
        const bool leftToRight = row % 2 == 0;
        for (int i = 0; i < w; ++i) {
            const int col = leftToRight ? i : w - 1 - i;
            const QRgb p = in[col];
            const int alpha = qAlpha(p);
            const int grey = (qGray(p) * alpha + 255 * (255 - alpha)) / 255; // laid on white
            const int value = grey * 16 + current[size_t(col) + 1];
            const bool black = value < 128 * 16;
            dst[col] = black ? 0xff000000u : 0xffffffffu;
            const int error = value - (black ? 0 : 255 * 16);
            const int ahead = leftToRight ? 1 : -1;
            current[size_t(col + ahead) + 1] += error * 7 / 16;
            next[size_t(col - ahead) + 1] += error * 3 / 16;
            next[size_t(col) + 1] += error * 5 / 16;
            next[size_t(col + ahead) + 1] += error / 16;
        }
        std::swap(current, next);
    }
    return out;
}

QImage monoBitmap(const QImage &page)
{
    const QImage rgb = page.format() == QImage::Format_RGB32 || page.format() == QImage::Format_ARGB32
                           ? page
                           : page.convertToFormat(QImage::Format_RGB32);
    QImage mono(rgb.width(), rgb.height(), QImage::Format_Mono);
    mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int row = 0; row < rgb.height(); ++row) {
        const QRgb *in = reinterpret_cast<const QRgb *>(rgb.constScanLine(row));
        uchar *bits = mono.scanLine(row);
        std::fill(bits, bits + mono.bytesPerLine(), uchar(0));
        for (int col = 0; col < rgb.width(); ++col)
            if (qGray(in[col]) < 128)
                bits[col >> 3] |= uchar(0x80 >> (col & 7));
    }
    return mono;
}

QImage renderReceiptBitmap(const ReceiptProfile &profile, const ReceiptSnapshot &order, int dotWidth,
                           const QImage *topPicture, const QImage *bottomPicture)
{
    DotReceiptCanvas ruler;
    const int length = renderReceipt(ruler, profile, dotWidth, order, topPicture, bottomPicture);
    QImage page = blankDotPage(dotWidth, length);
    {
        DotReceiptCanvas canvas(&page);
        renderReceipt(canvas, profile, dotWidth, order, topPicture, bottomPicture);
    }
    return monoBitmap(page);
}

} // namespace vorlan
