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

EscPosEncoding escPosEncoding(const EscPosSettings &settings)
{
    EscPosEncoding encoding;
    encoding.density = settings.density;
    return encoding;
}

QByteArray encodeEscPosCopy(const QImage &bitmap, const EscPosEncoding &encoding)
{
    const QImage mono = bitmap.format() == QImage::Format_Mono ? bitmap : bitmap.convertToFormat(QImage::Format_Mono);
    // A colour table with white at index 1 would invert the receipt.
    const bool inverted = mono.colorCount() == 2 && qGray(mono.color(1)) > qGray(mono.color(0));
    const int bytesPerRow = (mono.width() + 7) / 8;
    const int band = std::clamp(encoding.bandRows, 1, 255);
    const int rows = mono.isNull() || bytesPerRow == 0 ? 0 : mono.height();

    QByteArray out;
    out.reserve(16 + rows * bytesPerRow + (rows / band + 1) * 8);
    out += escpos::initialize();
    if (encoding.density != 0)
        out += escpos::printDensity(encoding.density);
    // Bits past the width in the last byte of a row must not print.
    const uchar lastMask = mono.width() % 8 ? uchar(0xff << (8 - mono.width() % 8)) : uchar(0xff);
    for (int first = 0; first < rows; first += band) {
        const int count = std::min(band, rows - first);
        out += escpos::rasterHeader(bytesPerRow, count);
        for (int row = first; row < first + count; ++row) {
            const uchar *bits = mono.constScanLine(row);
            const int at = out.size();
            out.append(reinterpret_cast<const char *>(bits), bytesPerRow);
            char *dst = out.data() + at;
            if (inverted)
                for (int i = 0; i < bytesPerRow; ++i)
                    dst[i] = char(~uchar(dst[i]));
            dst[bytesPerRow - 1] = char(uchar(dst[bytesPerRow - 1]) & lastMask);
        }
    }
    out += escpos::feedLines(encoding.feedLines);
    out += escpos::partialCut();
    return out;
}

} // namespace vorlan
