// Text to number as the operator types it, and the number texts shown and stored.
#include "core/numbers.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>

using namespace vorlan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const double value = parseNumber(text);
    if (!std::isfinite(value))
        std::abort(); // never an infinity or NaN from typed text

    // The shown text reads back as the same shown text.
    const QString shown = formatDouble(value);
    if (formatDouble(parseNumber(shown)) != shown)
        std::abort();
    const QString single = formatSingle(float(value));
    if (std::isfinite(float(value)) && formatSingle(float(parseNumber(single))) != single)
        std::abort();

    // Rounding never turns a finite value into a non-finite one or flips its sign.
    const int places = size > 0 ? int(data[0] % 8) : 2;
    const double rounded = roundHalfUp(value, places);
    if (!std::isfinite(rounded) || (rounded != 0 && (rounded < 0) != (value < 0)))
        std::abort();
    (void)isZero(value);
    return 0;
}
