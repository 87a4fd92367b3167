#pragma once

#include <QByteArray>
#include <QString>

namespace vorlan::gbk {

// Every file edge of the program (settings file, CSV export) speaks GBK; GB18030 is its
// superset, so every QString round-trips.
QByteArray encode(const QString &text);
QString decode(const QByteArray &bytes);

// Width of a text as the receipt counts it: bytes of its GBK form (a Chinese character
// is two, an ASCII character one).
int byteWidth(const QString &text);

} // namespace vorlan::gbk
