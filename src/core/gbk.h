#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace vorlan::gbk {

// Every file edge of the program (settings file, CSV export) speaks GBK, written through
// GB18030, its superset, so every QString round-trips. A character GBK lacks is written
// as a four-byte GB18030 sequence.

// False when this Qt build has no GB18030 codec (built without ICU): nothing could then
// be read or written faithfully.
bool available();

// The GB18030 bytes of `text`; empty when the codec is missing.
QByteArray encode(const QString &text);
// Decodes GBK/GB18030 bytes; characters of invalid sequences become U+FFFD.
QString decode(const QByteArray &bytes);
// Decodes, or nullopt when the bytes are not valid GB18030 (or the codec is missing).
std::optional<QString> decodeStrict(const QByteArray &bytes);

// Width of a text as the receipt counts it: the bytes of its GB18030 form. An ASCII
// character is one, a GBK character two, anything GBK cannot hold four.
int byteWidth(const QString &text);

} // namespace vorlan::gbk
