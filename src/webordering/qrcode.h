#pragma once

#include <QImage>
#include <QString>

namespace vorlan {

// The QR code of `text` (UTF-8, error correction level M) as an image of its modules:
// one pixel a module, black on white, without the quiet zone. A null image when the
// text does not fit in a QR code or the encoder failed.
QImage qrCodeModules(const QString &text);

// The same code ready to print or scan: `pixelsPerModule` pixels a module and a white
// quiet zone of four modules around it.
QImage qrCodePicture(const QString &text, int pixelsPerModule);

} // namespace vorlan
