#include "qrcode.h"

#include <QPainter>

#include <qrencode.h>

#include <memory>

namespace vorlan {

QImage qrCodeModules(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    if (utf8.isEmpty())
        return {};
    std::unique_ptr<QRcode, decltype(&QRcode_free)> code(QRcode_encodeData(int(utf8.size()),
                                                                            reinterpret_cast<const unsigned char *>(utf8.constData()),
                                                                            0, QR_ECLEVEL_M),
                                                         &QRcode_free);
    if (!code || code->width <= 0)
        return {};
    const int width = code->width;
    QImage image(width, width, QImage::Format_Grayscale8);
    for (int y = 0; y < width; ++y) {
        uchar *row = image.scanLine(y);
        for (int x = 0; x < width; ++x)
            row[x] = (code->data[y * width + x] & 1) ? 0 : 255; // bit 0: a dark module
    }
    return image;
}

QImage qrCodePicture(const QString &text, int pixelsPerModule)
{
    const QImage modules = qrCodeModules(text);
    if (modules.isNull() || pixelsPerModule < 1)
        return {};
    constexpr int kQuietZone = 4;
    const int side = (modules.width() + 2 * kQuietZone) * pixelsPerModule;
    QImage picture(side, side, QImage::Format_Grayscale8);
    picture.fill(255);
    QPainter painter(&picture);
    const int offset = kQuietZone * pixelsPerModule;
    painter.drawImage(QRect(offset, offset, modules.width() * pixelsPerModule, modules.height() * pixelsPerModule),
                      modules);
    return picture;
}

} // namespace vorlan
