#include "settingsfile.h"

#include "savefile.h"

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

struct FileText {
    bool exists = false;
    QByteArray bytes;
    QString text;
    QString problem;   // non-empty: the file cannot be used at all
    QString notGbk;    // non-empty: entries are read, but the file is not rewritten
};

FileText readFileText(const QString &path)
{
    FileText result;
    QFile file(path);
    result.exists = file.exists();
    if (!result.exists)
        return result;
    if (!file.open(QIODevice::ReadOnly)) {
        result.problem = QStringLiteral("无法读取配置文件 %1（%2）").arg(path, file.errorString());
        return result;
    }
    result.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.problem = QStringLiteral("无法读取配置文件 %1（%2）").arg(path, file.errorString());
        return result;
    }
    if (!gbk::available()) {
        result.problem = QStringLiteral("缺少 GBK 编码支持，无法读取配置文件 %1").arg(path);
        return result;
    }
    // A file with stray bytes is still read, as its entries are found textually; but it
    // is not rewritten, as what it holds is not known.
    if (const auto strict = gbk::decodeStrict(result.bytes)) {
        result.text = *strict;
    } else {
        result.text = gbk::decode(result.bytes);
        result.notGbk = QStringLiteral("配置文件 %1 不是 GBK 文本，程序不会改写它").arg(path);
    }
    return result;
}

} // namespace

std::optional<QString> settingsFileProblem(const QString &path)
{
    const FileText file = readFileText(path);
    if (!file.problem.isEmpty())
        return file.problem;
    if (!file.notGbk.isEmpty())
        return file.notGbk;
    return std::nullopt;
}

QString readSetting(const QString &path, const QString &key, const QString &fallback, bool create,
                    const QString &trailer, QString *problem)
{
    const FileText file = readFileText(path);
    if (!file.problem.isEmpty()) {
        if (problem)
            *problem = file.problem;
        return fallback;
    }
    const QString &text = file.text;
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

    if (!file.notGbk.isEmpty()) {
        if (problem)
            *problem = file.notGbk;
        return fallback;
    }

    // The file's own bytes stay as they were; the new entry is appended.
    QSaveFile out(path);
    const QByteArray entry =
        gbk::encode(startMarker + fallback + QStringLiteral("}") + trailer + QStringLiteral("\r\n"));
    if (!out.open(QIODevice::WriteOnly) || out.write(file.bytes) != file.bytes.size()
        || out.write(entry) != entry.size() || !commitSaveFile(out)) {
        if (problem)
            *problem = QStringLiteral("无法写入配置文件 %1（%2）").arg(path, out.errorString());
    }
    return fallback;
}

} // namespace vorlan
