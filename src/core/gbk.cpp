#include "gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>

namespace vorlan::gbk {

namespace {

constexpr auto kCodec = "GB18030";

// Byte count of one BMP character in GB18030 (2 or 4), worked out once per character.
int bmpWidth(char16_t c)
{
    static std::array<quint8, 0x10000> widths{};
    quint8 &width = widths[c];
    if (width == 0) {
        QStringEncoder encoder(kCodec);
        const QChar ch(c);
        const QByteArray bytes = encoder.isValid() ? encoder.encode(QStringView(&ch, 1)) : QByteArray();
        width = quint8(bytes.size() == 2 ? 2 : 4);
    }
    return width;
}

} // namespace

bool available()
{
    static const bool valid = QStringEncoder(kCodec).isValid() && QStringDecoder(kCodec).isValid();
    return valid;
}

QByteArray encode(const QString &text)
{
    QStringEncoder encoder(kCodec);
    if (!encoder.isValid())
        return QByteArray();
    return encoder.encode(text);
}

QString decode(const QByteArray &bytes)
{
    QStringDecoder decoder(kCodec);
    if (!decoder.isValid())
        return QString();
    return decoder.decode(bytes);
}

std::optional<QString> decodeStrict(const QByteArray &bytes)
{
    // Stateless: a sequence cut off at the end counts as an error, not as pending input.
    QStringDecoder decoder(kCodec, QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder.decode(bytes);
    // A text cut inside a character is no error to the decoder, which keeps the last
    // byte for the next call: the text must give back every byte.
    if (decoder.hasError() || encode(text) != bytes)
        return std::nullopt;
    return text;
}

int byteWidth(const QString &text)
{
    int width = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x80) {
            width += 1;
        } else if (c.isSurrogate()) {
            width += 4; // a character beyond the BMP, or half of one
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                ++i;
        } else {
            width += bmpWidth(c.unicode());
        }
    }
    return width;
}

} // namespace vorlan::gbk
