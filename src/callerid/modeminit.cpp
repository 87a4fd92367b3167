#include "modeminit.h"

namespace vorlan {

QStringList ModemInit::commands()
{
    return {QStringLiteral("AT+VCID=1"), QStringLiteral("AT#CID=1"), QStringLiteral("AT+CID=1")};
}

QByteArray ModemInit::start()
{
    m_index = 0;
    m_running = true;
    m_accepted.clear();
    m_tried = {commands().first()};
    return currentCommand();
}

QByteArray ModemInit::currentCommand() const { return commands().value(m_index).toLatin1() + '\r'; }

ModemInit::Step ModemInit::onLine(const QByteArray &line)
{
    if (!m_running)
        return Step::Waiting;
    const QByteArray answer = line.trimmed().toUpper();
    if (answer == "OK" || answer == "0") {
        m_running = false;
        m_accepted = commands().at(m_index);
        return Step::Accepted;
    }
    if (answer == "ERROR" || answer == "4")
        return next();
    return Step::Waiting; // the echo of the command, a ring, noise
}

ModemInit::Step ModemInit::onTimeout() { return m_running ? next() : Step::Waiting; }

ModemInit::Step ModemInit::next()
{
    if (++m_index >= commands().size()) {
        m_running = false;
        return Step::Refused;
    }
    m_tried.append(commands().at(m_index));
    return Step::SendNext;
}

} // namespace vorlan
