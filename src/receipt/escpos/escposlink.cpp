#include "escposlink.h"

#include "escposencoder.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlan {

QString EscPosTarget::describe() const
{
    if (kind == Kind::Device)
        return device;
    return QStringLiteral("%1:%2").arg(host).arg(port);
}

namespace {

QString systemError(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

long systemWrite(int fd, const void *data, unsigned long size) { return long(::write(fd, data, size)); }

DeviceWriteCall deviceWrite = systemWrite;

class TcpLink final : public EscPosLink
{
public:
    explicit TcpLink(const EscPosTarget &target) : m_target(target) {}

    bool open() override
    {
        m_socket.connectToHost(m_target.host, m_target.port);
        if (m_socket.waitForConnected(m_target.connectTimeoutMs))
            return true;
        const QString where = m_target.describe();
        switch (m_socket.error()) {
        case QAbstractSocket::ConnectionRefusedError:
            m_error = QStringLiteral("无法连接打印机 %1：连接被拒绝（地址或端口不对，或打印机没有开机）。").arg(where);
            break;
        case QAbstractSocket::HostNotFoundError:
            m_error = QStringLiteral("找不到打印机 %1，请检查打印机地址。").arg(where);
            break;
        case QAbstractSocket::SocketTimeoutError:
            m_error = QStringLiteral("连接打印机 %1 超时，请检查网线和打印机电源。").arg(where);
            break;
        default:
            m_error = QStringLiteral("无法连接打印机 %1（%2）。").arg(where, m_socket.errorString());
        }
        m_socket.abort();
        return false;
    }

    bool write(const QByteArray &data) override
    {
        // Hand the data over in slices so a printer that stops reading is noticed
        // within the timeout, not after the whole receipt sat in a buffer.
        constexpr qsizetype slice = 16 * 1024;
        for (qsizetype at = 0; at < data.size(); at += slice) {
            if (!connected())
                return false;
            m_socket.write(data.constData() + at, std::min(slice, data.size() - at));
            if (!flush())
                return false;
        }
        return connected();
    }

    bool readsBack() const override { return true; }

    bool finish() override
    {
        // Every byte is in the socket; the printer's reply to a later status request is
        // what tells that it arrived.
        return flush() && connected();
    }

    std::optional<quint8> requestStatus(int n, int timeoutMs) override
    {
        if (!connected())
            return std::nullopt;
        // Anything unasked for is stale (a late reply, a byte the printer sent on its
        // own): fetch what has come in so far and drop it, so it is not read as the reply.
        for (int round = 0; round < 64 && m_socket.waitForReadyRead(0); ++round) {
        }
        m_socket.readAll();
        m_socket.write(escpos::statusRequest(n));
        if (!flush())
            return std::nullopt;
        QDeadlineTimer deadline(timeoutMs);
        while (m_socket.bytesAvailable() < 1) {
            if (!m_socket.waitForReadyRead(int(std::max<qint64>(deadline.remainingTime(), 0)))) {
                if (!connected())
                    return std::nullopt;
                if (deadline.hasExpired())
                    return std::nullopt;
            }
        }
        char byte = 0;
        m_socket.getChar(&byte);
        return quint8(byte);
    }

private:
    bool connected()
    {
        if (m_socket.state() == QAbstractSocket::ConnectedState)
            return true;
        if (m_error.isEmpty())
            m_error = QStringLiteral("打印机 %1 断开了连接。").arg(m_target.describe());
        return false;
    }

    bool flush()
    {
        while (m_socket.bytesToWrite() > 0) {
            if (!m_socket.waitForBytesWritten(m_target.writeTimeoutMs)) {
                if (connected() && m_socket.error() == QAbstractSocket::SocketTimeoutError)
                    m_error = printerNotTakingData(m_target.describe());
                else if (m_error.isEmpty())
                    m_error = QStringLiteral("打印机 %1 断开了连接。").arg(m_target.describe());
                m_socket.abort();
                return false;
            }
        }
        return true;
    }

    EscPosTarget m_target;
    QTcpSocket m_socket;
};

class DeviceLink final : public EscPosLink
{
public:
    explicit DeviceLink(const EscPosTarget &target) : m_target(target) {}
    ~DeviceLink() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    bool open() override
    {
        // A reader that goes away must give a failed write, not end the program.
        static const bool pipeSignalIgnored = [] { return std::signal(SIGPIPE, SIG_IGN) != SIG_ERR; }();
        Q_UNUSED(pipeSignalIgnored);

        const QByteArray path = m_target.device.toLocal8Bit();
        struct stat info {};
        if (path.isEmpty() || ::stat(path.constData(), &info) != 0) {
            m_error = QStringLiteral("找不到打印机设备 %1，请检查打印机是否连接并开机。").arg(m_target.device);
            return false;
        }
        // Only a character device answers; a FIFO opened for reading and writing would
        // read back our own requests.
        m_readsBack = S_ISCHR(info.st_mode);
        const int flags = O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (S_ISREG(info.st_mode) ? O_APPEND : 0);
        if (m_readsBack)
            m_fd = ::open(path.constData(), O_RDWR | flags);
        if (m_fd < 0) {
            m_readsBack = false;
            m_fd = ::open(path.constData(), O_WRONLY | flags);
        }
        if (m_fd >= 0)
            return true;
        const int code = errno;
        if (code == ENXIO)
            m_error = QStringLiteral("打印机设备 %1 没有连接。").arg(m_target.device);
        else if (code == EACCES || code == EPERM)
            m_error = QStringLiteral("没有权限写打印机设备 %1，请把当前用户加入 lp 组。").arg(m_target.device);
        else
            m_error = QStringLiteral("无法打开打印机设备 %1（%2）。").arg(m_target.device, systemError(code));
        return false;
    }

    bool write(const QByteArray &data) override
    {
        m_error.clear();
        const char *at = data.constData();
        qsizetype left = data.size();
        // The deadline runs from the last byte the port took: a busy printer takes data at
        // paper speed, a stuck one never does.
        QDeadlineTimer stalled(m_target.writeTimeoutMs);
        bool roomReported = false;
        while (left > 0) {
            const ssize_t n = ssize_t(deviceWrite(m_fd, at, size_t(left)));
            if (n > 0) {
                at += n;
                left -= n;
                stalled.setRemainingTime(m_target.writeTimeoutMs);
                roomReported = false;
                continue;
            }
            const int code = n < 0 ? errno : EAGAIN;
            if (code != EINTR && code != EAGAIN && code != EWOULDBLOCK) {
                m_error = code == EPIPE || code == ENODEV || code == EIO
                              ? QStringLiteral("打印机设备 %1 断开了连接。").arg(m_target.device)
                              : QStringLiteral("向打印机设备 %1 写入失败（%2）。").arg(m_target.device, systemError(code));
                return false;
            }
            if (stalled.hasExpired()) {
                m_error = printerNotTakingData(m_target.device);
                return false;
            }
            // A port without poll support (the parallel port driver) always says it has
            // room; when it then takes nothing, ask again after a pause, not in a spin.
            if (roomReported)
                pause(stalled);
            if (!waitFor(POLLOUT, stalled)) {
                if (m_error.isEmpty())
                    m_error = printerNotTakingData(m_target.device);
                return false;
            }
            roomReported = true;
        }
        return true;
    }

    bool finish() override
    {
        // usblp returns from a non-blocking write once the last block is handed to the
        // USB core, and its release kills a block still in flight: closing now would cut
        // off the end of the receipt (the last rows, the feed and the cut) and leave the
        // printer inside a raster command. It reports POLLOUT only when that block has
        // completed, so wait for it. (A FIFO says so when its buffer has room, a plain
        // file at once.)
        m_error.clear();
        if (m_fd < 0)
            return false;
        if (waitFor(POLLOUT, QDeadlineTimer(m_target.writeTimeoutMs)))
            return true;
        if (m_error.isEmpty())
            m_error = printerNotTakingData(m_target.device);
        return false;
    }

    bool readsBack() const override { return m_readsBack; }

    std::optional<quint8> requestStatus(int n, int timeoutMs) override
    {
        if (!m_readsBack)
            return std::nullopt;
        // Bytes the printer sent unasked are stale; a device that never stops sending is
        // not read for ever.
        char stale[64];
        for (int round = 0; round < 64 && ::read(m_fd, stale, sizeof stale) > 0; ++round) {
        }
        if (!write(escpos::statusRequest(n)))
            return std::nullopt;
        QDeadlineTimer deadline(timeoutMs);
        while (!deadline.hasExpired()) {
            if (!waitFor(POLLIN, deadline))
                return std::nullopt;
            char byte = 0;
            const ssize_t got = ::read(m_fd, &byte, 1);
            if (got == 1)
                return quint8(byte);
            if (got < 0 && errno != EAGAIN && errno != EINTR)
                return std::nullopt; // usblp on a printer without a way back: EINVAL
            pause(deadline); // nothing yet although the poll said so; the reply may still come
        }
        return std::nullopt;
    }

private:
    // False when the deadline passed first or the device went away (then error() says so).
    bool waitFor(short events, const QDeadlineTimer &deadline)
    {
        pollfd p{m_fd, events, 0};
        for (;;) {
            const int ready = ::poll(&p, 1, int(std::clamp<qint64>(deadline.remainingTime(), 0, 60000)));
            if (ready < 0 && errno == EINTR) {
                if (deadline.hasExpired())
                    return false;
                continue;
            }
            if (ready <= 0) {
                if (ready == 0 && !deadline.hasExpired())
                    continue; // a wait longer than one poll allows
                return false;
            }
            if ((p.revents & (POLLERR | POLLHUP | POLLNVAL)) && !(p.revents & events)) {
                m_error = QStringLiteral("打印机设备 %1 断开了连接。").arg(m_target.device);
                return false;
            }
            return true;
        }
    }

    static void pause(const QDeadlineTimer &deadline)
    {
        const qint64 left = deadline.remainingTime();
        ::usleep(useconds_t(std::clamp<qint64>(left, 0, 10) * 1000));
    }

    EscPosTarget m_target;
    int m_fd = -1;
    bool m_readsBack = false;
};

} // namespace

std::unique_ptr<EscPosLink> makeEscPosLink(const EscPosTarget &target)
{
    if (target.kind == EscPosTarget::Kind::Device)
        return std::make_unique<DeviceLink>(target);
    return std::make_unique<TcpLink>(target);
}

EscPosTarget escPosTarget(const EscPosSettings &settings)
{
    EscPosTarget target;
    target.kind = settings.network ? EscPosTarget::Kind::Network : EscPosTarget::Kind::Device;
    target.device = settings.device.trimmed();
    target.host = settings.host.trimmed();
    target.port = escPosPort(settings);
    return target;
}

QString printerNotTakingData(const QString &where)
{
    return QStringLiteral("打印机长时间不接收数据（%1），请检查打印机是否缺纸、卡纸或脱机。").arg(where);
}

void setDeviceWriteCall(DeviceWriteCall call) { deviceWrite = call ? call : systemWrite; }

PrinterState readPrinterState(EscPosLink &link, int timeoutMs)
{
    const std::optional<quint8> printer = link.requestStatus(1, timeoutMs);
    if (!printer || !isStatusByte(*printer))
        return {};
    std::optional<quint8> cause;
    if (*printer & 0x08)
        cause = link.requestStatus(2, timeoutMs);
    const std::optional<quint8> paper = link.requestStatus(4, timeoutMs);
    return printerStateFrom(printer, cause, paper);
}

} // namespace vorlan
