#include "zstdfile.h"

#include <QFile>

#include <memory>
#include <vector>

#include <unistd.h>
#include <zstd.h>

namespace vorlan {

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

QString zstdMessage(size_t code) { return QString::fromUtf8(ZSTD_getErrorName(code)); }

QString writeFailed(const QFile &file)
{
    return QStringLiteral("无法写入 %1（%2）").arg(file.fileName(), file.errorString());
}

// Flushes Qt's buffer and the system's: a copy renamed into place after a power cut is whole.
bool syncAndClose(QFile &file, QString *error)
{
    if (!file.flush() || ::fsync(file.handle()) != 0) {
        setError(error, writeFailed(file));
        return false;
    }
    file.close();
    return true;
}

} // namespace

bool compressFile(const QString &from, const QString &to, int level, QString *error)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("无法读取 %1（%2）").arg(from, in.errorString()));
        return false;
    }
    QFile out(to);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        setError(error, writeFailed(out));
        return false;
    }
    const std::unique_ptr<ZSTD_CCtx, size_t (*)(ZSTD_CCtx *)> cctx(ZSTD_createCCtx(), ZSTD_freeCCtx);
    if (!cctx) {
        setError(error, QStringLiteral("内存不足"));
        return false;
    }
    ZSTD_CCtx_setParameter(cctx.get(), ZSTD_c_compressionLevel, level);
    ZSTD_CCtx_setParameter(cctx.get(), ZSTD_c_checksumFlag, 1);
    ZSTD_CCtx_setPledgedSrcSize(cctx.get(), static_cast<unsigned long long>(in.size()));

    std::vector<char> inBlock(ZSTD_CStreamInSize());
    std::vector<char> outBlock(ZSTD_CStreamOutSize());
    for (;;) {
        const qint64 read = in.read(inBlock.data(), qint64(inBlock.size()));
        if (read < 0) {
            setError(error, QStringLiteral("无法读取 %1（%2）").arg(from, in.errorString()));
            return false;
        }
        const ZSTD_EndDirective mode = read == 0 ? ZSTD_e_end : ZSTD_e_continue;
        ZSTD_inBuffer input{inBlock.data(), size_t(read), 0};
        bool done = false;
        while (!done) {
            ZSTD_outBuffer output{outBlock.data(), outBlock.size(), 0};
            const size_t left = ZSTD_compressStream2(cctx.get(), &output, &input, mode);
            if (ZSTD_isError(left)) {
                setError(error, zstdMessage(left));
                return false;
            }
            if (out.write(outBlock.data(), qint64(output.pos)) != qint64(output.pos)) {
                setError(error, writeFailed(out));
                return false;
            }
            done = mode == ZSTD_e_end ? left == 0 : input.pos == input.size;
        }
        if (mode == ZSTD_e_end)
            break;
    }
    return syncAndClose(out, error);
}

bool decompressFile(const QString &from, const QString &to, QString *error)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("无法读取 %1（%2）").arg(from, in.errorString()));
        return false;
    }
    QFile out(to);
    if (!to.isEmpty() && !out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        setError(error, writeFailed(out));
        return false;
    }
    const std::unique_ptr<ZSTD_DCtx, size_t (*)(ZSTD_DCtx *)> dctx(ZSTD_createDCtx(), ZSTD_freeDCtx);
    if (!dctx) {
        setError(error, QStringLiteral("内存不足"));
        return false;
    }
    std::vector<char> inBlock(ZSTD_DStreamInSize());
    std::vector<char> outBlock(ZSTD_DStreamOutSize());
    size_t frameLeft = 1; // 0 once the last frame read is complete
    bool any = false;
    for (;;) {
        const qint64 read = in.read(inBlock.data(), qint64(inBlock.size()));
        if (read < 0) {
            setError(error, QStringLiteral("无法读取 %1（%2）").arg(from, in.errorString()));
            return false;
        }
        if (read == 0)
            break;
        any = true;
        ZSTD_inBuffer input{inBlock.data(), size_t(read), 0};
        while (input.pos < input.size) {
            ZSTD_outBuffer output{outBlock.data(), outBlock.size(), 0};
            frameLeft = ZSTD_decompressStream(dctx.get(), &output, &input);
            if (ZSTD_isError(frameLeft)) {
                setError(error, QStringLiteral("压缩的备份已损坏（%1）").arg(zstdMessage(frameLeft)));
                return false;
            }
            if (out.isOpen() && out.write(outBlock.data(), qint64(output.pos)) != qint64(output.pos)) {
                setError(error, writeFailed(out));
                return false;
            }
        }
    }
    if (!any || frameLeft != 0) {
        setError(error, QStringLiteral("压缩的备份不完整"));
        return false;
    }
    return !out.isOpen() || syncAndClose(out, error);
}

} // namespace vorlan
