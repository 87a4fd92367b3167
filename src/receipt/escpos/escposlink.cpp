#include "escposlink.h"

#include "escposencoder.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

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

    std::optional<quint8> requestStatus(int n, int timeoutMs) override
    {
        if (!connected())
            return std::nullopt;
        m_socket.readAll(); // anything unasked for is stale
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
                    m_error = QStringLiteral("打印机 %1 长时间不接收数据。").arg(m_target.describe());
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
        const int flags = O_NONBLOCK | O_CLOEXEC | (S_ISREG(info.st_mode) ? O_APPEND : 0);
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
        const char *at = data.constData();
        qsizetype left = data.size();
        while (left > 0) {
            const ssize_t n = ::write(m_fd, at, size_t(left));
            if (n > 0) {
                at += n;
                left -= n;
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                const int code = errno;
                m_error = code == EPIPE || code == ENODEV || code == EIO
                              ? QStringLiteral("打印机设备 %1 断开了连接。").arg(m_target.device)
                              : QStringLiteral("向打印机设备 %1 写入失败（%2）。").arg(m_target.device, systemError(code));
                return false;
            }
            if (!waitFor(POLLOUT, m_target.writeTimeoutMs)) {
                if (m_error.isEmpty())
                    m_error = QStringLiteral("打印机设备 %1 长时间不接收数据。").arg(m_target.device);
                return false;
            }
        }
        return true;
    }

    bool readsBack() const override { return m_readsBack; }

    std::optional<quint8> requestStatus(int n, int timeoutMs) override
    {
        if (!m_readsBack)
            return std::nullopt;
        char stale[64];
        while (::read(m_fd, stale, sizeof stale) > 0) {
        }
        if (!write(escpos::statusRequest(n)))
            return std::nullopt;
        QDeadlineTimer deadline(timeoutMs);
        while (!deadline.hasExpired()) {
            if (!waitFor(POLLIN, int(deadline.remainingTime())))
                return std::nullopt;
            char byte = 0;
            const ssize_t got = ::read(m_fd, &byte, 1);
            if (got == 1)
                return quint8(byte);
            if (got < 0 && errno != EAGAIN && errno != EINTR)
                return std::nullopt;
            if (got == 0)
                ::usleep(10000); // end of data for now; the reply may still come
        }
        return std::nullopt;
    }

private:
    bool waitFor(short events, int timeoutMs)
    {
        pollfd p{m_fd, events, 0};
        for (;;) {
            const int ready = ::poll(&p, 1, std::max(timeoutMs, 0));
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready <= 0)
                return false;
            if (p.revents & (POLLERR | POLLHUP | POLLNVAL)) {
                if (!(p.revents & events)) {
                    m_error = QStringLiteral("打印机设备 %1 断开了连接。").arg(m_target.device);
                    return false;
                }
            }
            return true;
        }
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
