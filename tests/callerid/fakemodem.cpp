#include "fakemodem.h"

#include <QFile>
#include <QSocketNotifier>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace vorlan {

FakeModem::~FakeModem() { vanish(); }

bool FakeModem::open()
{
    vanish();
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
        return false;
    termios tio{};
    ::tcgetattr(m_slave, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(m_slave, TCSANOW, &tio);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    if (!QFile::link(QString::fromLocal8Bit(name), m_path))
        return false;
    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &FakeModem::onReadable);
    return true;
}

void FakeModem::vanish()
{
    delete m_notifier;
    m_notifier = nullptr;
    for (int *fd : {&m_master, &m_slave}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    m_input.clear();
    // As an unplugged device's node goes; the terminal's own number is soon another's.
    QFile::remove(m_path);
}

void FakeModem::play(const QByteArray &bytes)
{
    if (m_master >= 0 && ::write(m_master, bytes.constData(), bytes.size()) != bytes.size())
        qWarning("FakeModem: short write");
}

void FakeModem::onReadable()
{
    char buffer[256];
    const ssize_t n = ::read(m_master, buffer, sizeof buffer);
    if (n <= 0)
        return;
    m_input.append(buffer, n);
    qsizetype end;
    while ((end = m_input.indexOf('\r')) >= 0) {
        const QString command = QString::fromLatin1(m_input.left(end)).trimmed();
        m_input.remove(0, end + 1);
        if (command.isEmpty())
            continue;
        commands.append(command);
        if (answers)
            play(command.toLatin1() + "\r\r\n" + (accepts.contains(command) ? "OK" : "ERROR") + "\r\n");
    }
}

} // namespace vorlan
