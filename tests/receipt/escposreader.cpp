#include "escposreader.h"

#include <QMutex>

#include <atomic>
#include <chrono>
#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlan {

namespace {

int byteAt(const QByteArray &bytes, qsizetype at) { return at < bytes.size() ? uchar(bytes.at(at)) : -1; }

bool isRealTimePair(char first, char second)
{
    return first == 0x10 && (second == 0x04 || second == 0x05 || second == 0x14);
}

// Answers the status requests found at command boundaries of `buffer` from `parsed` on,
// in order, through `send`; `sawRaster` turns true once a raster command has passed.
// False when a reply could not be sent.
bool answerStatusRequests(const QByteArray &buffer, qsizetype &parsed, bool &sawRaster,
                          const std::function<std::optional<quint8>(int n)> &answer,
                          const std::function<bool(char)> &send)
{
    for (int length; parsed < buffer.size() && (length = escPosCommandLength(buffer, parsed)) != 0;) {
        if (length < 0) {
            ++parsed;
            continue;
        }
        if (uchar(buffer.at(parsed)) == 0x10) {
            if (const std::optional<quint8> reply = answer(uchar(buffer.at(parsed + 2))); reply && !send(char(*reply)))
                return false;
        } else if (uchar(buffer.at(parsed)) == 0x1d && uchar(buffer.at(parsed + 1)) == 0x76) {
            sawRaster = true;
        }
        parsed += length;
    }
    return true;
}

} // namespace

int escPosCommandLength(const QByteArray &b, qsizetype at)
{
    const qsizetype left = b.size() - at;
    const int c0 = byteAt(b, at);
    const int c1 = byteAt(b, at + 1);
    if (left < 2)
        return 0;
    if (c0 == 0x1b && c1 == 0x40)
        return 2;
    if (c0 == 0x1b && c1 == 0x64)
        return left >= 3 ? 3 : 0;
    if (c0 == 0x10 && c1 == 0x04)
        return left >= 3 ? 3 : 0;
    if (c0 == 0x1d && c1 == 0x56) {
        if (left < 3)
            return 0;
        const int m = byteAt(b, at + 2);
        return m >= 65 ? (left >= 4 ? 4 : 0) : 3;
    }
    if (c0 == 0x1d && c1 == 0x28) {
        if (left < 5)
            return 0;
        const int n = byteAt(b, at + 3) | (byteAt(b, at + 4) << 8);
        return left >= 5 + n ? int(5 + n) : 0;
    }
    if (c0 == 0x1d && c1 == 0x76) {
        if (left < 8)
            return 0;
        const qint64 x = byteAt(b, at + 4) | (byteAt(b, at + 5) << 8);
        const qint64 y = byteAt(b, at + 6) | (byteAt(b, at + 7) << 8);
        return left >= 8 + x * y ? int(8 + x * y) : 0;
    }
    return -1;
}

EscPosReading readEscPos(const QByteArray &b)
{
    EscPosReading r;
    QList<QByteArray> rows; // of the copy being read
    int rowBytes = -1;
    bool inCopy = false;
    for (qsizetype at = 0; at < b.size();) {
        const int length = escPosCommandLength(b, at);
        if (length <= 0) {
            r.error = QStringLiteral("%1 at byte %2").arg(length == 0 ? "truncated command" : "unknown byte").arg(at);
            return r;
        }
        const int c0 = uchar(b.at(at));
        const int c1 = uchar(b.at(at + 1));
        if (c0 == 0x1b && c1 == 0x40) {
            if (inCopy && !rows.isEmpty()) {
                r.error = QStringLiteral("ESC @ inside a copy at byte %1").arg(at);
                return r;
            }
            ++r.resets;
            inCopy = true;
            rows.clear();
            rowBytes = -1;
        } else if (c0 == 0x1b) {
            ++r.feeds;
        } else if (c0 == 0x10) {
            ++r.statusRequests;
        } else if (c1 == 0x28) {
            const int m = uchar(b.at(at + 6));
            r.densities.append(m > 127 ? m - 256 : m);
        } else if (c1 == 0x76) {
            if (!inCopy) {
                r.error = QStringLiteral("raster before ESC @ at byte %1").arg(at);
                return r;
            }
            const int x = uchar(b.at(at + 4)) | (uchar(b.at(at + 5)) << 8);
            const int y = uchar(b.at(at + 6)) | (uchar(b.at(at + 7)) << 8);
            if (rowBytes >= 0 && rowBytes != x) {
                r.error = QStringLiteral("band width changes inside a copy at byte %1").arg(at);
                return r;
            }
            rowBytes = x;
            r.bandRows.append(y);
            r.bandBytesPerRow.append(x);
            for (int row = 0; row < y; ++row)
                rows.append(b.mid(at + 8 + qsizetype(row) * x, x));
        } else if (c1 == 0x56) {
            ++r.cuts;
            if (!inCopy) {
                r.error = QStringLiteral("cut outside a copy at byte %1").arg(at);
                return r;
            }
            QImage copy(std::max(rowBytes, 0) * 8, int(rows.size()), QImage::Format_Mono);
            copy.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
            for (int row = 0; row < rows.size(); ++row)
                std::copy(rows.at(row).cbegin(), rows.at(row).cend(), reinterpret_cast<char *>(copy.scanLine(row)));
            r.copies.append(copy);
            rows.clear();
            inCopy = false;
        }
        at += length;
    }
    if (inCopy)
        r.error = QStringLiteral("the last copy has no cut");
    return r;
}

qint64 differingPixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return qint64(std::max(a.width(), b.width())) * std::max(a.height(), b.height()) + 1;
    auto black = [](const QImage &image, int x, int y) { return qGray(image.pixel(x, y)) < 128; };
    qint64 count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += black(a, x, y) != black(b, x, y);
    return count;
}

int realTimeCommandsInRaster(const QByteArray &b)
{
    int found = 0;
    for (qsizetype at = 0; at < b.size();) {
        const int length = escPosCommandLength(b, at);
        if (length <= 0)
            break;
        if (uchar(b.at(at)) == 0x1d && uchar(b.at(at + 1)) == 0x76)
            for (qsizetype i = at + 8; i + 1 < at + length; ++i)
                found += isRealTimePair(b.at(i), b.at(i + 1));
        at += length;
    }
    return found;
}

struct FakeNetworkPrinter::State {
    int listener = -1;
    std::thread thread;
    std::atomic<bool> stop{false};
    mutable QMutex mutex;
    QByteArray received;
    int connections = 0;
};

FakeNetworkPrinter::FakeNetworkPrinter() : d(new State)
{
    answer = [](int, int) { return std::optional<quint8>(0x12); };
}

FakeNetworkPrinter::~FakeNetworkPrinter()
{
    d->stop = true;
    if (d->thread.joinable())
        d->thread.join();
    if (d->listener >= 0)
        ::close(d->listener);
    delete d;
}

bool FakeNetworkPrinter::listen()
{
    d->listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(d->listener, reinterpret_cast<sockaddr *>(&address), size) != 0 || ::listen(d->listener, 4) != 0
        || ::getsockname(d->listener, reinterpret_cast<sockaddr *>(&address), &size) != 0)
        return false;
    m_port = ntohs(address.sin_port);
    d->thread = std::thread([this] {
        while (!d->stop) {
            pollfd p{d->listener, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            const int client = ::accept(d->listener, nullptr, nullptr);
            if (client < 0)
                continue;
            int index = 0;
            {
                QMutexLocker lock(&d->mutex);
                index = d->connections++;
            }
            QByteArray buffer;
            qsizetype parsed = 0;
            bool sawRaster = false;
            bool open = true;
            while (open && !d->stop) {
                pollfd c{client, POLLIN, 0};
                if (::poll(&c, 1, 20) <= 0)
                    continue;
                char chunk[8192];
                const ssize_t got = ::read(client, chunk, sizeof chunk);
                if (got <= 0)
                    break;
                buffer.append(chunk, got);
                {
                    QMutexLocker lock(&d->mutex);
                    d->received.append(chunk, got);
                }
                if (hangUpAfter >= 0 && buffer.size() >= hangUpAfter)
                    break;
                if (stallAfter >= 0 && buffer.size() >= stallAfter) {
                    while (!d->stop)
                        std::this_thread::sleep_for(std::chrono::milliseconds(10));
                    break;
                }
                // Answer status requests found at command boundaries, in order.
                auto reply = [&](int n) {
                    if (replyDelayMs > 0)
                        std::this_thread::sleep_for(std::chrono::milliseconds(replyDelayMs));
                    return sawRaster && answerAfterData ? answerAfterData(index, n) : answer(index, n);
                };
                auto send = [&](char byte) { return ::send(client, &byte, 1, MSG_NOSIGNAL) == 1; };
                if (!answerStatusRequests(buffer, parsed, sawRaster, reply, send))
                    open = false;
            }
            ::close(client);
        }
    });
    return true;
}

QByteArray FakeNetworkPrinter::received() const
{
    QMutexLocker lock(&d->mutex);
    return d->received;
}

int FakeNetworkPrinter::connections() const
{
    QMutexLocker lock(&d->mutex);
    return d->connections;
}

struct FifoPrinter::State {
    std::thread thread;
    std::atomic<bool> stop{false};
    mutable QMutex mutex;
    QByteArray received;
    qint64 lost = 0;
};

FifoPrinter::FifoPrinter(const QString &path) : d(new State)
{
    const QByteArray name = path.toLocal8Bit();
    if (::mkfifo(name.constData(), 0600) != 0)
        return;
    // Opened before any writer, so the program's open finds a reader.
    m_fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return;
    // One page: the pipe reports room only once the reader has emptied it.
    if (::fcntl(m_fd, F_SETPIPE_SZ, 4096) < 0) {
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    d->thread = std::thread([this] {
        char chunk[1024];
        while (!d->stop) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 10) <= 0)
                continue;
            if (!(p.revents & POLLIN)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2)); // no writer at the moment
                continue;
            }
            QMutexLocker lock(&d->mutex);
            if (p.revents & POLLHUP) {
                // The writer closed before the printer took this: it never arrives.
                for (ssize_t got; (got = ::read(m_fd, chunk, sizeof chunk)) > 0;)
                    d->lost += got;
                continue;
            }
            const qint64 room = stallAfter < 0 ? qint64(sizeof chunk) : stallAfter - d->received.size();
            if (room > 0)
                d->received.append(chunk, std::max<ssize_t>(::read(m_fd, chunk, size_t(std::min<qint64>(room, sizeof chunk))), 0));
            lock.unlock();
            std::this_thread::sleep_for(std::chrono::microseconds(room > 0 ? 500 : 5000)); // paper speed
        }
    });
}

FifoPrinter::~FifoPrinter()
{
    finish();
    if (m_fd >= 0)
        ::close(m_fd);
    delete d;
}

QByteArray FifoPrinter::received() const
{
    QMutexLocker lock(&d->mutex);
    return d->received;
}

qint64 FifoPrinter::lost() const
{
    QMutexLocker lock(&d->mutex);
    return d->lost;
}

QByteArray FifoPrinter::finish()
{
    d->stop = true;
    if (d->thread.joinable())
        d->thread.join();
    return received();
}

struct PtyPrinter::State {
    std::thread thread;
    std::atomic<bool> stop{false};
    mutable QMutex mutex;
    QByteArray received;
};

PtyPrinter::PtyPrinter() : d(new State)
{
    answer = [](int) { return std::optional<quint8>(0x12); };
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        m_master = -1;
        return;
    }
    m_path = QString::fromLocal8Bit(::ptsname(m_master));
    // Held open so the program's close does not hang the line up; raw, so bytes pass
    // unchanged and are not echoed.
    m_slave = ::open(::ptsname(m_master), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw {};
    if (m_slave < 0 || ::tcgetattr(m_slave, &raw) != 0) {
        m_master = -1;
        return;
    }
    ::cfmakeraw(&raw);
    ::tcsetattr(m_slave, TCSANOW, &raw);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    d->thread = std::thread([this] {
        QByteArray buffer;
        qsizetype parsed = 0;
        bool sawRaster = false;
        char chunk[4096];
        while (!d->stop) {
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, 10) <= 0 || !(p.revents & POLLIN))
                continue;
            const ssize_t got = ::read(m_master, chunk, sizeof chunk);
            if (got <= 0)
                continue;
            buffer.append(chunk, got);
            {
                QMutexLocker lock(&d->mutex);
                d->received.append(chunk, got);
            }
            auto send = [this](char byte) { return ::write(m_master, &byte, 1) == 1; };
            answerStatusRequests(buffer, parsed, sawRaster, answer, send);
        }
    });
}

PtyPrinter::~PtyPrinter()
{
    d->stop = true;
    if (d->thread.joinable())
        d->thread.join();
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    delete d;
}

QByteArray PtyPrinter::received() const
{
    QMutexLocker lock(&d->mutex);
    return d->received;
}

quint16 closedLoopbackPort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(s, reinterpret_cast<sockaddr *>(&address), size);
    ::getsockname(s, reinterpret_cast<sockaddr *>(&address), &size);
    ::close(s);
    return ntohs(address.sin_port);
}

} // namespace vorlan
