#pragma once

#include <QString>

namespace vorlan {

// The one face the program draws Chinese text in, on screen and on the receipt: it
// carries the GBK repertoire, has the simplified glyph forms whatever the locale, and
// looks the same on every machine of the shop.
inline QString chineseFontFamily() { return QStringLiteral("WenQuanYi Micro Hei"); }

} // namespace vorlan
