#include "escposencoder.h"

#include <QImage>

#include <algorithm>

namespace vorlan {

namespace escpos {

QByteArray initialize() { return QByteArray("\x1b\x40", 2); }

QByteArray printDensity(int level)
{
    // m is a signed byte: 250 … 255 lighten, 1 … 6 darken.
    const int m = std::clamp(level, -6, 6);
    QByteArray bytes("\x1d\x28\x4b\x02\x00\x31", 6);
    bytes.append(char(m < 0 ? 256 + m : m));
    return bytes;
}

QByteArray rasterHeader(int bytesPerRow, int rows)
{
    QByteArray bytes("\x1d\x76\x30\x00", 4);
    bytes.append(char(bytesPerRow & 0xff));
    bytes.append(char((bytesPerRow >> 8) & 0xff));
    bytes.append(char(rows & 0xff));
    bytes.append(char((rows >> 8) & 0xff));
    return bytes;
}

QByteArray feedLines(int lines)
{
    QByteArray bytes("\x1b\x64", 2);
    bytes.append(char(std::clamp(lines, 0, 255)));
    return bytes;
}

QByteArray partialCut() { return QByteArray("\x1d\x56\x01", 3); }

QByteArray statusRequest(int n)
{
    QByteArray bytes("\x10\x04", 2);
    bytes.append(char(n));
    return bytes;
}

} // namespace escpos

namespace {

// Printers act on real-time commands wherever the bytes appear, even inside raster data:
// DLE EOT n makes them send a status byte nobody asked for, DLE ENQ n can clear their
// buffer, DLE DC4 fn pulses the drawer or switches the printer off. A picture's dots can
// spell them. Clearing the one dot of the DLE byte (0x10 becomes 0x00) breaks the
// sequence, prints one dot lighter and cannot form a new one.
void breakRealTimeCommands(char *data, qsizetype size)
{
    for (qsizetype i = 0; i + 1 < size; ++i) {
        if (data[i] != escpos::DLE)
            continue;
        const char next = data[i + 1];
        if (next == escpos::EOT || next == 0x05 || next == 0x14)
            data[i] = 0;
    }
}

// The bitmap's rows as raster bytes, one set bit a printed dot, cut into bands of at most
// `bandRows` rows: each band's bytes as they are sent.
struct RasterBands {
    QImage mono;
    int bytesPerRow = 0;
    int rows = 0;
    int band = 1;

    RasterBands(const QImage &bitmap, int bandRows)
        : mono(bitmap.format() == QImage::Format_Mono ? bitmap : bitmap.convertToFormat(QImage::Format_Mono))
        , bytesPerRow((mono.width() + 7) / 8)
        , rows(mono.isNull() || bytesPerRow == 0 ? 0 : mono.height())
        , band(std::clamp(bandRows, 1, 255))
    {
    }

    QByteArray bytes(int first, int count) const
    {
        // A colour table with white at index 1 would invert the receipt.
        const bool inverted = mono.colorCount() == 2 && qGray(mono.color(1)) > qGray(mono.color(0));
        // Bits past the width in the last byte of a row must not print.
        const uchar lastMask = mono.width() % 8 ? uchar(0xff << (8 - mono.width() % 8)) : uchar(0xff);
        QByteArray out(qsizetype(count) * bytesPerRow, Qt::Uninitialized);
        for (int row = 0; row < count; ++row) {
            const uchar *bits = mono.constScanLine(first + row);
            char *dst = out.data() + qsizetype(row) * bytesPerRow;
            for (int i = 0; i < bytesPerRow; ++i)
                dst[i] = char(inverted ? ~bits[i] : bits[i]);
            dst[bytesPerRow - 1] = char(uchar(dst[bytesPerRow - 1]) & lastMask);
        }
        // The rows of a band follow each other without a break: a sequence may span two.
        breakRealTimeCommands(out.data(), out.size());
        return out;
    }
};

} // namespace

EscPosEncoding escPosEncoding(const EscPosSettings &settings)
{
    EscPosEncoding encoding;
    encoding.density = settings.density;
    return encoding;
}

QByteArray encodeEscPosCopy(const QImage &bitmap, const EscPosEncoding &encoding)
{
    const RasterBands raster(bitmap, encoding.bandRows);
    QByteArray out;
    out.reserve(16 + qsizetype(raster.rows) * raster.bytesPerRow + (raster.rows / raster.band + 1) * 8);
    out += escpos::initialize();
    if (encoding.density != 0)
        out += escpos::printDensity(encoding.density);
    for (int first = 0; first < raster.rows; first += raster.band) {
        const int count = std::min(raster.band, raster.rows - first);
        out += escpos::rasterHeader(raster.bytesPerRow, count);
        out += raster.bytes(first, count);
    }
    out += escpos::feedLines(encoding.feedLines);
    out += escpos::partialCut();
    return out;
}

QImage sentEscPosBitmap(const QImage &bitmap, const EscPosEncoding &encoding)
{
    const RasterBands raster(bitmap, encoding.bandRows);
    QImage sent(raster.bytesPerRow * 8, raster.rows, QImage::Format_Mono);
    sent.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int first = 0; first < raster.rows; first += raster.band) {
        const int count = std::min(raster.band, raster.rows - first);
        const QByteArray bytes = raster.bytes(first, count);
        for (int row = 0; row < count; ++row)
            std::copy_n(bytes.constData() + qsizetype(row) * raster.bytesPerRow, raster.bytesPerRow,
                        reinterpret_cast<char *>(sent.scanLine(first + row)));
    }
    return sent;
}

} // namespace vorlan
