// The settings file reader on any file contents: it never changes the bytes already in
// the file, and an entry it appended is found at the next read (the file does not grow
// at every start).
#include "core/settingsfile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

using namespace vorlan;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Memory-backed when possible: the reader saves through QSaveFile, which syncs.
    static const QString path = (QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath())
        + QStringLiteral("/vorlan-fuzz-settings-%1.ini").arg(qint64(::getpid()));
    // Input: one byte for the key (a letter or two), then the file's bytes.
    if (size < 1)
        return 0;
    const QString key = QStringLiteral("K%1").arg(data[0] % 16, 0, 16).toUpper();
    const QByteArray original(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(original) != original.size())
            std::abort();
    }
    const QString fallback = QStringLiteral("默认值");
    const QString first = readSetting(path, key, fallback, true, QStringLiteral(" //说明"));
    const QByteArray after = readAll(path);
    if (!after.startsWith(original))
        std::abort(); // the file's own bytes must stay
    const QString second = readSetting(path, key, fallback, true);
    if (second != first || readAll(path) != after)
        std::abort(); // read again: same value, nothing appended twice
    return 0;
}
