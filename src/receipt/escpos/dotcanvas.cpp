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
    // One byte a dot: the page is only ever black or white, and it is big.
    QImage page(std::max(width, 1), std::max(height, 1), QImage::Format_Grayscale8);
    page.fill(255);
    return page;
}

namespace {

// Grey levels at or below kInkLevel print solid, at or above kPaperLevel print nothing:
// a logo's dark ink or a QR code must not come out speckled. The tones between are
// spread over the whole range.
constexpr int kInkLevel = 40;
constexpr int kPaperLevel = 215;

} // namespace

QImage ditheredPicture(const QImage &picture, int w, int h)
{
    QImage out(std::max(w, 1), std::max(h, 1), QImage::Format_Grayscale8);
    out.fill(255);
    if (picture.isNull() || w <= 0 || h <= 0)
        return out;

    // Transparent parts print nothing: lay the picture on white at its own size, which
    // is cheaper than at the printed size. Scaling stays in 32 bits, Qt's fast path.
    QImage base;
    if (picture.hasAlphaChannel()) {
        base = QImage(picture.size(), QImage::Format_RGB32);
        base.fill(Qt::white);
        QPainter painter(&base);
        painter.drawImage(0, 0, picture);
    } else {
        base = picture.convertToFormat(QImage::Format_RGB32);
    }
    if (base.size() != QSize(w, h))
        base = base.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    int level[256];
    for (int g = 0; g < 256; ++g)
        level[g] = std::clamp((g - kInkLevel) * 255 / (kPaperLevel - kInkLevel), 0, 255) * 16;

    // Floyd–Steinberg in 1/16 grey steps so the error shares stay integers; two rows of
    // error with a guard cell at either end.
    std::vector<int> current(size_t(w) + 2, 0);
    std::vector<int> next(size_t(w) + 2, 0);
    for (int row = 0; row < h; ++row) {
        const QRgb *in = reinterpret_cast<const QRgb *>(base.constScanLine(row));
        uchar *dst = out.scanLine(row);
        std::fill(next.begin(), next.end(), 0);
        // Serpentine order keeps the diffusion from drawing diagonal streaks.
        const bool leftToRight = row % 2 == 0;
        const int ahead = leftToRight ? 1 : -1;
        for (int i = 0; i < w; ++i) {
            const int col = leftToRight ? i : w - 1 - i;
            const int value = level[qGray(in[col])] + current[size_t(col) + 1];
            const bool black = value < 128 * 16;
            dst[col] = black ? 0 : 255;
            const int error = value - (black ? 0 : 255 * 16);
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
    const QImage grey = page.format() == QImage::Format_Grayscale8 ? page : page.convertToFormat(QImage::Format_Grayscale8);
    QImage mono(grey.width(), grey.height(), QImage::Format_Mono);
    mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    const int width = grey.width();
    for (int row = 0; row < grey.height(); ++row) {
        const uchar *in = grey.constScanLine(row);
        uchar *bits = mono.scanLine(row);
        int col = 0;
        for (int byte = 0; col < width; ++byte) {
            uchar packed = 0;
            for (int bit = 0; bit < 8; ++bit, ++col)
                packed = uchar(packed << 1) | uchar(col < width && in[col] < 128);
            bits[byte] = packed;
        }
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
