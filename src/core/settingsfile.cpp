#include "settingsfile.h"

#include "gbk.h"

#include <QFile>
#include <QSaveFile>

namespace vorlan {

namespace {

char16_t foldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? c + (u'a' - u'A') : c; }

qsizetype indexOfAsciiCaseless(const QString &haystack, const QString &needle, qsizetype from)
{
    if (needle.isEmpty())
        return from <= haystack.size() ? from : -1;
    const qsizetype last = haystack.size() - needle.size();
    for (qsizetype i = from; i <= last; ++i) {
        qsizetype j = 0;
        while (j < needle.size()
               && foldAscii(haystack.at(i + j).unicode()) == foldAscii(needle.at(j).unicode()))
            ++j;
        if (j == needle.size())
            return i;
    }
    return -1;
}

QString marker(QString text)
{
    return text.replace(QStringLiteral("#引号"), QStringLiteral("\""));
}

} // namespace

QString readSetting(const QString &path, const QString &key, const QString &fallback, bool create,
                    const QString &trailer)
{
    QByteArray bytes;
    {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
    }
    const QString text = gbk::decode(bytes);
    const QString startMarker = marker(key + QStringLiteral(" = {"));
    const QString endMarker = marker(QStringLiteral("}"));

    const qsizetype start = indexOfAsciiCaseless(text, startMarker, 0);
    if (start >= 0) {
        const qsizetype valueStart = start + startMarker.size();
        const qsizetype end = indexOfAsciiCaseless(text, endMarker, valueStart);
        return end >= 0 ? text.mid(valueStart, end - valueStart) : QString();
    }
    if (!create)
        return fallback;

    // The file's own bytes stay as they were; the new entry is appended.
    // The entry goes right after the file's last byte. When that byte opens a two-byte
    // character, the two would read as one and the entry would never be found again (and
    // be appended anew at every start): then it starts on a line of its own.
    QByteArray entry = gbk::encode(startMarker + fallback + QStringLiteral("}") + trailer + QStringLiteral("\r\n"));
    if (!gbk::decode(bytes + entry).endsWith(gbk::decode(entry)))
        entry.prepend("\r\n");
    QSaveFile out(path);
    if (out.open(QIODevice::WriteOnly)) {
        out.write(bytes);
        out.write(entry);
        out.commit();
    }
    return fallback;
}

} // namespace vorlan
