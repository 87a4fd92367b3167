// The receipt line wrapper: whatever the text and width, no character is lost or added
// and no line is wider than the paper unless it holds a single character.
#include "core/gbk.h"
#include "receipt/receiptlayout.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

using namespace vorlan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int columns = int(data[0] % 64) - 2; // includes nonsense widths below one
    // Half of the inputs are read as GBK bytes (the printer's text), half as UTF-8.
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QString text = (data[0] & 0x80) ? gbk::decode(bytes) : QString::fromUtf8(bytes);

    const QString wrapped = wrapReceiptText(text, columns);
    const QString crlf = QStringLiteral("\r\n");
    if (QString(wrapped).remove(crlf) != QString(text).remove(crlf))
        std::abort();
    const int limit = std::max(columns, 1);
    for (const QString &line : wrapped.split(crlf)) {
        const bool oneCharacter = line.size() == 1 || (line.size() == 2 && line.at(0).isHighSurrogate());
        if (gbk::byteWidth(line) > limit && !oneCharacter)
            std::abort();
    }
    return 0;
}
