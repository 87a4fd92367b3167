#pragma once

#include <QByteArray>
#include <QStringList>

namespace vorlan {

// Switches a modem to caller-ID reporting. Modems differ in the command: AT+VCID=1
// (voice modems), AT#CID=1 and AT+CID=1 are tried in turn; the first one the modem
// answers OK to is kept. ERROR, or no answer in time, moves on to the next.
class ModemInit final
{
public:
    enum class Step { Waiting, SendNext, Accepted, Refused };

    static QStringList commands();

    // Begins again with the first command; returns it, ready to write (ends in CR).
    QByteArray start();
    // A line from the modem while a command waits for its answer.
    Step onLine(const QByteArray &line);
    // The answer did not come in time.
    Step onTimeout();

    bool running() const { return m_running; }
    // The command to write after SendNext.
    QByteArray currentCommand() const;
    QString accepted() const { return m_accepted; }
    QStringList tried() const { return m_tried; }

private:
    Step next();

    int m_index = 0;
    bool m_running = false;
    QString m_accepted;
    QStringList m_tried;
};

} // namespace vorlan
