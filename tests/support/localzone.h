#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <time.h>

namespace vorlan {

// Switches the process's local time zone for the life of the object (TZ, then tzset, so
// QDateTime's local time follows), and back afterwards.
class LocalZone
{
public:
    explicit LocalZone(const QByteArray &zone)
        : m_had(qEnvironmentVariableIsSet("TZ"))
        , m_old(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~LocalZone()
    {
        if (m_had)
            qputenv("TZ", m_old);
        else
            qunsetenv("TZ");
        tzset();
    }
    LocalZone(const LocalZone &) = delete;
    LocalZone &operator=(const LocalZone &) = delete;

private:
    bool m_had;
    QByteArray m_old;
};

} // namespace vorlan
