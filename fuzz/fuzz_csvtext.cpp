// The CSV export's text cleaning and its UTF-8 to GBK converter: a cleaned field never
// holds a field or line separator, and the fast converter writes exactly the bytes the
// program's GBK encoder writes.
#include "core/gbk.h"
#include "history/csvexport.h"
#include "history/utf8togbk.h"

#include <QString>

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace vorlan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = QString::fromUtf8(bytes);

    const QString cleaned = cleanCsvText(text);
    if (cleaned.contains(QLatin1Char('\n')) || cleaned.contains(QLatin1Char(',')))
        std::abort();
    if (cleaned.size() != text.size() + text.count(QLatin1Char('\n')))
        std::abort(); // nothing lost, nothing else added

    std::string out;
    appendUtf8AsGbk(out, bytes.constData(), size_t(bytes.size()));
    if (text.toUtf8() == bytes) { // valid UTF-8: the same bytes as the general encoder
        const QByteArray expected = gbk::encode(text);
        if (out != std::string(expected.constData(), size_t(expected.size())))
            std::abort();
    }
    return 0;
}
