#pragma once

#include <QByteArray>

#include <string>

namespace vorlan {

// Appends UTF-8 text as GBK (its GB18030 superset for what GBK lacks) without building
// a QString: a table of every character's GBK bytes, made once, keeps the CSV export
// fast. Invalid UTF-8 bytes become '?'.
void appendUtf8AsGbk(std::string &out, const char *utf8, size_t size);

} // namespace vorlan
