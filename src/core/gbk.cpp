#include "gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace vorlan::gbk {

QByteArray encode(const QString &text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

QString decode(const QByteArray &bytes)
{
    QStringDecoder decoder("GB18030");
    return decoder.decode(bytes);
}

int byteWidth(const QString &text)
{
    int width = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x80) {
            width += 1;
        } else if (c.isHighSurrogate() && i + 1 < text.size()) {
            width += 4; // GB18030 four-byte sequence
            ++i;
        } else {
            width += 2;
        }
    }
    return width;
}

} // namespace vorlan::gbk
